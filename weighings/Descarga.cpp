#include "weighings/Descarga.h"

#include <QElapsedTimer>
#include <QLockFile>
#include <QLoggingCategory>
#include <memory>

#include "base/Bytes.h"
#include "link/Enlace.h"
#include "products/NombresPLU.h"
#include "settings/Config.h"
#include "settings/ContextoCarpeta.h"
#include "weighings/LibroExcel.h"

Q_LOGGING_CATEGORY(lcDescarga, "bascora.descarga")

QByteArray DatoBloquear() {
    return QByteArray("\xFF\x00", 2);
}
QByteArray DatoDesbloquear() {
    return QByteArray(2, '\0');
}
QByteArray DatoEliminar() {
    return QByteArray("G\x00", 2);
}

QString MitadBytes(qsizetype bytes) {
    return bytes % 2 ? QString::number(bytes / 2) + QStringLiteral(".5")
                     : QString::number(bytes / 2);
}

namespace {

// A request timed into the measurements when they are asked for.
class EnlaceMedido : public Enlace {
  public:
    EnlaceMedido(Enlace& enlace, MedidasDescarga* medidas) : enlace_(enlace), medidas_(medidas) {}
    void Solicitar(PeticionEnlace& p) override {
        QElapsedTimer t;
        t.start();
        enlace_.Solicitar(p);
        if (medidas_) medidas_->enlaceNs += t.nsecsElapsed();
    }

  private:
    Enlace& enlace_;
    MedidasDescarga* medidas_;
};

// The lookup takes the codes indexed from 1.
void SustituirNombres(Pesada& p, const std::array<bool, 9>& alfa) {
    std::array<QString, 9> nombres;
    for (int j = 0; j < 5; ++j) nombres[j + 1] = p.Codigo[j];
    NombresPLU(nombres, alfa);
    for (int j = 0; j < 5; ++j) p.Codigo[j] = nombres[j + 1];
}

bool HaySalida(const OpcionesSalida& s) {
    return s.libro || s.plano || s.tabla;
}

// Count, overflow, counter and records, with the indicator locked.
struct Lectura {
    int cantidad = 0;
    int cuenta = 0;
    long long contador = 0;
    QByteArray pesadas;
};

// Batch number, sinks and totals. Throws ErrorAlmacenamiento; FalloLote is reported through *r.
bool Almacenar(const Lectura& l, const ParametrosDescarga& par, const OpcionesSalida& salida,
               Enlace& enlace, AvisosDescarga& avisos, ResultadoDescarga* r) {
    const int decimales = static_cast<int>(ValorEntero(LeerConfig("global", "Decimales_1", "0")));
    const bool guardarNombre = ValorEntero(LeerConfig("Global", "GuardarNombre", "0")) == 1;
    const bool bajarTotales =
        par.totales && ValorEntero(LeerConfig("Global", "BajarTotCod", "0")) == 1;

    Sumideros sumideros(par.tipo, salida);
    // The table's transaction is open from here, so the batch number is taken against the
    // highest one any PC stored in a shared table.
    sumideros.Preparar();
    QString error;
    r->lote = TomarLote(sumideros.loteMaximoTabla(), &error);
    if (r->lote <= 0) {
        sumideros.Abortar();
        r->motivo = error;
        r->lote = 0;
        r->fin = FinDescarga::FalloLote;
        return false;
    }

    QElapsedTimer t;
    t.start();
    sumideros.Abrir(r->lote);
    qint64 enSumideros = t.nsecsElapsed();
    qint64 decodificando = 0;
    const long long primera = PrimeraSecuencia(l.contador, l.cantidad);
    for (int i = 1; i <= l.cantidad; ++i) {
        t.restart();
        Pesada p = DecodificarPesada(l.pesadas.mid(LargoRegistro * (i - 1), LargoRegistro),
                                     par.campos.Texto, decimales, i, r->lote, primera + i - 1);
        if (guardarNombre) SustituirNombres(p, par.campos.Alfa);
        decodificando += t.nsecsElapsed();
        t.restart();
        if (!sumideros.Agregar(p)) ++r->yaGuardadas;
        enSumideros += t.nsecsElapsed();
    }
    t.restart();
    sumideros.Cerrar();
    enSumideros += t.nsecsElapsed();
    if (par.medidas) {
        par.medidas->decodificacionNs += decodificando;
        par.medidas->sumiderosNs += enSumideros;
        par.medidas->porSumidero = sumideros.tiempos();
    }

    // Totals by product, into the workbook just written.
    if (bajarTotales && !sumideros.rutaLibro().isEmpty()) {
        Reintentos = 0;
        QByteArray bloque;
        if (!LeerRegistros(enlace, DirTotales, CantidadTotales * LargoTotal / 2, &bloque)) {
            avisos.FalloTotales();
        } else {
            EscribirTotales(
                sumideros.rutaLibro(),
                EmparejarTotales(LeerFilasProductos(), DecodificarTotales(bloque, decimales)));
            r->totales = true;
        }
    }
    return true;
}

// Count, overflow, counter, records. False with r->fin set when something failed or there was
// nothing to read.
bool LeerMemoria(Enlace& enlace, AvisosDescarga& avisos, Lectura* l, ResultadoDescarga* r) {
    QByteArray dato;
    if (!LeerRegistros(enlace, DirAuditoria, 1, &dato)) {
        r->fin = FinDescarga::FalloLectura;
        return false;
    }
    l->cuenta = r->cuenta = Numero16(dato);
    l->cantidad = l->cuenta;
    if (l->cantidad == 0) {
        r->fin = EscribirRegistros(enlace, DirBloqueo, DatoDesbloquear())
                     ? FinDescarga::SinPesadas
                     : FinDescarga::FalloDesbloqueo;
        return false;
    }
    // The memory overflowed: the oldest ones are there, the rest is lost in the indicator.
    if (l->cantidad > CapacidadAuditoria) {
        avisos.Desborde(l->cantidad - CapacidadAuditoria);
        l->cantidad = CapacidadAuditoria;
    }
    r->cantidad = l->cantidad;
    if (!LeerRegistros(enlace, DirContador, 2, &dato)) {
        r->fin = FinDescarga::FalloLectura;
        return false;
    }
    l->contador = r->contador = Numero24(dato);

    const int registros = 13 * l->cantidad;
    Reintentos = 0;
    if (!LeerPesadas(enlace, registros, &l->pesadas)) {
        avisos.FalloPesadas(l->cantidad, registros, l->pesadas.size(), Reintentos.load());
        r->fin = FinDescarga::FalloPesadas;
        return false;
    }
    r->reintentos = Reintentos;
    return true;
}

}  // namespace

bool LeerPesadas(Enlace& enlace, int registros, QByteArray* dato) {
    dato->clear();
    int sinAvance = 0;
    for (;;) {
        // Only whole registers count; a block is never half read.
        const int leidos = int(dato->size() / 2);
        dato->truncate(2 * leidos);
        PeticionEnlace p;
        p.Modo = QStringLiteral("R");
        p.Direccion = QString::number(DirPesadas + leidos);
        p.Longitud = QString::number(registros - leidos);
        enlace.Solicitar(p);
        dato->append(p.Dato.left(2 * (registros - leidos)));
        if (p.Exito && dato->size() == 2 * registros) return true;
        if (p.Cancelado) return false;
        sinAvance = p.Dato.size() >= 2 ? 0 : sinAvance + 1;
        if (sinAvance >= 2) return false;
        qCInfo(lcDescarga) << "records read stopped at register" << DirPesadas + dato->size() / 2
                           << "- going on from there";
    }
}

ResultadoDescarga Descargar(Enlace& enlaceReal, const ParametrosDescarga& par,
                            AvisosDescarga& avisos) {
    EnlaceMedido enlace(enlaceReal, par.medidas);
    ResultadoDescarga r;
    bool sinEscritura = false;
    const std::unique_ptr<QLockFile> candado =
        ContextoCarpeta::actual().bloquearDescarga(&sinEscritura);
    if (!candado) {
        r.fin = sinEscritura ? FinDescarga::SinCarpeta : FinDescarga::OtraDescarga;
        return r;
    }
    // With no sink the weighings would be deleted and stored nowhere: the indicator is left alone.
    const OpcionesSalida salida = LeerOpcionesSalida();
    if (!HaySalida(salida)) {
        r.fin = FinDescarga::SinSalida;
        return r;
    }

    if (!EscribirRegistros(enlace, DirBloqueo, DatoBloquear())) {
        r.fin = FinDescarga::FalloBloqueo;
        return r;
    }
    Lectura l;
    if (!LeerMemoria(enlace, avisos, &l, &r)) return r;

    // A failure from here on keeps every record in the indicator.
    try {
        if (!Almacenar(l, par, salida, enlace, avisos, &r)) {
            qCWarning(lcDescarga) << "batch number not stored:" << r.motivo;
            if (!EscribirRegistros(enlace, DirBloqueo, DatoDesbloquear())) r.desbloqueado = false;
            return r;
        }
    } catch (const std::exception& e) {
        r.motivo = QString::fromUtf8(e.what());
        qCWarning(lcDescarga) << "storage failed in batch" << r.lote << ":" << e.what();
        r.fin = FinDescarga::FalloAlmacenamiento;
        r.desbloqueado = false;
        r.claveDuplicada = FalloPorClaveDuplicada(e);
        if (par.desbloquearTrasFallo)
            r.desbloqueado = EscribirRegistros(enlace, DirBloqueo, DatoDesbloquear());
        return r;
    }
    avisos.Almacenadas(r);

    // Delete the stored records, only now that every sink has them; then unlock.
    if (!EscribirRegistros(enlace, DirComando, DatoEliminar())) {
        r.fin = FinDescarga::FalloEliminar;
        return r;
    }
    r.fin = EscribirRegistros(enlace, DirBloqueo, DatoDesbloquear()) ? FinDescarga::Completa
                                                                     : FinDescarga::FalloDesbloqueo;
    return r;
}

FinDescarga EliminarSiSinCambios(Enlace& enlace, int cuenta, long long contador, QString* motivo) {
    bool sinEscritura = false;
    const std::unique_ptr<QLockFile> candado =
        ContextoCarpeta::actual().bloquearDescarga(&sinEscritura);
    if (!candado) return sinEscritura ? FinDescarga::SinCarpeta : FinDescarga::OtraDescarga;
    QByteArray dato;
    if (!LeerRegistros(enlace, DirAuditoria, 1, &dato)) return FinDescarga::FalloLectura;
    const int cuentaAhora = Numero16(dato);
    if (!LeerRegistros(enlace, DirContador, 2, &dato)) return FinDescarga::FalloLectura;
    const long long contadorAhora = Numero24(dato);
    if (cuentaAhora != cuenta || contadorAhora != contador) {
        *motivo = QStringLiteral("count %1 -> %2, counter %3 -> %4")
                      .arg(cuenta)
                      .arg(cuentaAhora)
                      .arg(contador)
                      .arg(contadorAhora);
        return EscribirRegistros(enlace, DirBloqueo, DatoDesbloquear())
                   ? FinDescarga::SinEliminar
                   : FinDescarga::FalloDesbloqueo;
    }
    if (!EscribirRegistros(enlace, DirComando, DatoEliminar())) return FinDescarga::FalloEliminar;
    return EscribirRegistros(enlace, DirBloqueo, DatoDesbloquear()) ? FinDescarga::Completa
                                                                    : FinDescarga::FalloDesbloqueo;
}
