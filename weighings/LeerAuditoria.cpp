#include "weighings/LeerAuditoria.h"

#include <QElapsedTimer>
#include <QLoggingCategory>

#include "base/Interaccion.h"
#include "data/CDatos.h"
#include "link/Enlace.h"
#include "products/NombresPLU.h"
#include "settings/Config.h"
#include "settings/Idioma.h"
#include "weighings/GuardarError.h"
#include "weighings/LibroExcel.h"
#include "weighings/Sumideros.h"

Q_LOGGING_CATEGORY(lcDescarga, "bascora.descarga")

namespace {

// Lines of one message box.
QString Lineas(std::initializer_list<QString> partes) {
    return QStringList(partes).join(QLatin1Char('\n'));
}

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

}  // namespace

// "12" or "12.5": half of the bytes received, as the log line counts registers.
QString MitadBytes(qsizetype bytes) {
    return bytes % 2 ? QString::number(bytes / 2) + QStringLiteral(".5")
                     : QString::number(bytes / 2);
}

namespace {

// The lookup takes the codes indexed from 1.
void SustituirNombres(Pesada& p, const std::array<bool, 9>& alfa) {
    std::array<QString, 9> nombres;
    for (int j = 0; j < 5; ++j) nombres[j + 1] = p.Codigo[j];
    NombresPLU(nombres, alfa);
    for (int j = 0; j < 5; ++j) p.Codigo[j] = nombres[j + 1];
}

void Registrar(const QString& texto) {
    if (!GuardarError(texto)) qCWarning(lcDescarga) << "Datos.log could not be written:" << texto;
}

}  // namespace

QByteArray DatoBloquear() {
    return QByteArray("\xFF\x00", 2);
}
QByteArray DatoDesbloquear() {
    return QByteArray(2, '\0');
}
QByteArray DatoEliminar() {
    return QByteArray("G\x00", 2);
}

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

EstadoIndicador LeerEstadoIndicador(Enlace& enlace) {
    QByteArray dato;
    if (!LeerRegistros(enlace, DirEstado, 1, &dato)) return EstadoIndicador::SinRespuesta;
    return ByteDe(dato, 0) == 0 ? EstadoIndicador::Libre : EstadoIndicador::Ocupado;
}

ResultadoDescarga LeerAuditoria(Enlace& enlaceReal, Interaccion& op, const OpcionesCampos& campos,
                                MedidasDescarga* medidas) {
    EnlaceMedido enlace(enlaceReal, medidas);
    ResultadoDescarga r;

    // 1. Settings of this download.
    const OpcionesSalida salida = LeerOpcionesSalida();
    const int decimales = static_cast<int>(ValorEntero(LeerConfig("global", "Decimales_1", "0")));
    const bool guardarNombre = ValorEntero(LeerConfig("Global", "GuardarNombre", "0")) == 1;
    const bool bajarTotales = ValorEntero(LeerConfig("Global", "BajarTotCod", "0")) == 1;

    // 2, 3. The indicator must be idle.
    QByteArray dato;
    if (!LeerRegistros(enlace, DirEstado, 1, &dato)) {
        op.Avisar(T("008028", "Error al leer el estado del equipo"), T("008029", "Error"),
                  Icono::Error);
        r.fin = FinDescarga::FalloEstado;
        return r;
    }
    if (ByteDe(dato, 0) != 0) {
        const bool esperar = op.Preguntar(
            Lineas({T("008030",
                      "No se pueden descargar las pesadas en este momento porque el indicador esta "
                      "en proceso!"),
                    T("008031",
                      "Desea esperar la finalización del proceso y descargar las pesadas?")}),
            T("008032", "Atención"), Icono::Advertencia);
        r.fin = esperar ? FinDescarga::Esperar : FinDescarga::Ocupado;
        return r;
    }

    // 4. Lock.
    if (!EscribirRegistros(enlace, DirBloqueo, DatoBloquear())) {
        op.Avisar(T("008033", "Error al iniciar comunicación"), T("008034", "Error"), Icono::Error);
        r.fin = FinDescarga::FalloBloqueo;
        return r;
    }

    // 5. Count.
    const auto falloLectura = [&] {
        op.Avisar(T("008046", "Error al comunicar con el Indicador"), T("008047", "Error"),
                  Icono::Error);
        r.fin = FinDescarga::FalloLectura;
        return r;
    };
    if (!LeerRegistros(enlace, DirAuditoria, 1, &dato)) return falloLectura();
    int cantidad = Numero16(dato);

    // 6. Nothing stored: unlock and tell.
    if (cantidad == 0) {
        if (EscribirRegistros(enlace, DirBloqueo, DatoDesbloquear())) {
            op.Avisar(Lineas({T("008038", "Comunicación finalizada con éxito"),
                              T("008039", "No hay pesadas almacenadas"),
                              T("008040", "No se creo fichero")}),
                      T("008041", "Atención"), Icono::Informacion);
            r.fin = FinDescarga::SinPesadas;
        } else {
            op.Avisar(Lineas({T("008035", "Error al desbloquear el indicador"),
                              T("008036", "Presione Desbloquear para desbloquear")}),
                      T("008037", "Error"), Icono::Error);
            r.fin = FinDescarga::FalloDesbloqueo;
        }
        return r;
    }

    // 7. The memory overflowed: the oldest 500 are there, the rest is lost in the indicator.
    if (cantidad > CapacidadAuditoria) {
        const int perdidas = cantidad - CapacidadAuditoria;
        cantidad = CapacidadAuditoria;
        op.Avisar(
            Lineas({T("008042", "El indicador no pudo almacenar ") + QString::number(perdidas) +
                        T("008043", " pesadas por falta de espacio"),
                    T("008044",
                      "Realice comunicaciones mas frecuentes para evitar futuras perdidas")}),
            T("008045", "Atención"), Icono::Exclamacion);
    }
    r.cantidad = cantidad;

    // 8. Counter.
    if (!LeerRegistros(enlace, DirContador, 2, &dato)) return falloLectura();
    const long long primera = PrimeraSecuencia(Numero24(dato), cantidad);

    // 9. All records in one request.
    const int registros = 13 * cantidad;
    Reintentos = 0;
    QByteArray pesadas;
    if (!LeerPesadas(enlace, registros, &pesadas)) {
        Registrar(T("008065", "Error al comunicar con el Indicador") + QStringLiteral("\r\n") +
                  T("008066", "No se pudo bajar las ") + QString::number(cantidad) +
                  T("008067", " pesadas (") + QString::number(registros) +
                  T("008068", ") - Long. Rx = ") + MitadBytes(pesadas.size()) +
                  T("008069", " - Reintentos = ") + QString::number(Reintentos.load()));
        op.Avisar(T("008070", "Error al comunicar con el Indicador"), T("008071", "Error"),
                  Icono::Error);
        r.fin = FinDescarga::FalloPesadas;
        return r;
    }

    // 10 to 12: storage. A failure here keeps every record in the indicator, which stays locked.
    r.reintentos = Reintentos;
    Sumideros sumideros(TipoDescarga::Manual, salida);
    try {
        // The batch number is taken and stored before anything is written, never given back.
        r.lote = TomarLote();

        QElapsedTimer t;
        t.start();
        sumideros.Abrir(r.lote);
        qint64 enSumideros = t.nsecsElapsed();
        qint64 decodificando = 0;
        for (int i = 1; i <= cantidad; ++i) {
            t.restart();
            Pesada p = DecodificarPesada(pesadas.mid(LargoRegistro * (i - 1), LargoRegistro),
                                         campos.Texto, decimales, i, r.lote, primera + i - 1);
            if (guardarNombre) SustituirNombres(p, campos.Alfa);
            decodificando += t.nsecsElapsed();
            t.restart();
            sumideros.Agregar(p);
            enSumideros += t.nsecsElapsed();
        }
        t.restart();
        sumideros.Cerrar();
        enSumideros += t.nsecsElapsed();
        if (medidas) {
            medidas->decodificacionNs += decodificando;
            medidas->sumiderosNs += enSumideros;
            medidas->porSumidero = sumideros.tiempos();
        }

        // 12. Totals by product, into the workbook just written.
        if (bajarTotales && salida.libro) {
            Reintentos = 0;
            QByteArray bloque;
            if (!LeerRegistros(enlace, DirTotales, CantidadTotales * LargoTotal / 2, &bloque)) {
                const QString texto = T("008048", "Error al bajar los totales por producto");
                Registrar(texto);
                op.Avisar(texto, T("008049", "Error"), Icono::Error);
            } else {
                EscribirTotales(
                    sumideros.rutaLibro(),
                    EmparejarTotales(LeerFilasProductos(), DecodificarTotales(bloque, decimales)));
                r.totales = true;
            }
        }
    } catch (const std::exception& e) {
        sumideros.Abortar();
        const bool duplicada = FalloPorClaveDuplicada(e);
        qCWarning(lcDescarga) << "storage failed in batch" << r.lote << ":" << e.what();
        if (duplicada)
            op.Avisar(T("008072", "Error en base de datos"), T("008073", "Error"), Icono::Error);
        else
            op.Avisar(T("008074", "No se encuentra datos.mdb."), T("008075", "Error"),
                      Icono::Error);
        r.fin = FinDescarga::FalloAlmacenamiento;
        return r;
    }

    // 13. Delete the stored records, only now that every sink has them.
    if (!EscribirRegistros(enlace, DirComando, DatoEliminar())) {
        op.Avisar(Lineas({T("008050", "Error al eliminar pesadas en balanza"),
                          T("008051", "Elimine manualmente para evitar duplicados")}),
                  T("008052", "Error"), Icono::Error);
        r.fin = FinDescarga::FalloEliminar;
        return r;
    }

    // 14. Unlock.
    if (!EscribirRegistros(enlace, DirBloqueo, DatoDesbloquear())) {
        op.Avisar(Lineas({T("008053", "Elimine manualmente para evitar duplicados"),
                          T("008054", "Presione Eliminar para desbloquear")}),
                  T("008055", "Error"), Icono::Error);
        r.fin = FinDescarga::FalloDesbloqueo;
        return r;
    }
    if (r.reintentos > 0)
        Registrar(QString::number(cantidad) + T("008056", " pesadas (") +
                  QString::number(registros) + T("008057", ") bajadas despues de ") +
                  QString::number(r.reintentos) + T("008058", " reintentos"));
    op.Avisar(Lineas({T("008059", "Recepción finalizada con éxito"),
                      T("008060", "Se han recibido ") + QString::number(cantidad) +
                          T("008061", " pesadas")}),
              T("008062", "Atención"), Icono::Informacion);
    if (r.totales)
        op.Avisar(T("008063", "Recepción de totales por producto finalizada con éxito"),
                  T("008064", "Atención"), Icono::Informacion);
    r.fin = FinDescarga::Completa;
    return r;
}

ResultadoComando CmdDesbloquear(Enlace& enlace, Interaccion& op) {
    if (!op.Preguntar(T("008009", "Desea desbloquear la balanza?"), T("008010", "Atencion"),
                      Icono::Pregunta))
        return ResultadoComando::Rechazado;
    if (EscribirRegistros(enlace, DirBloqueo, DatoDesbloquear())) {
        op.Avisar(Lineas({T("008011", "Comunicación finalizada con éxito"),
                          T("008012", "Balanza desbloqueada")}),
                  T("008013", "Atención"), Icono::Informacion);
        return ResultadoComando::Hecho;
    }
    op.Avisar(T("008014", "Error al desbloquear el indicador"), T("008015", "Error"), Icono::Error);
    return ResultadoComando::Fallo;
}

ResultadoComando CmdEliminar(Enlace& enlace, Interaccion& op) {
    if (!op.Preguntar(T("008016", "Desea eliminar las pesadas en la balanza?"),
                      T("008017", "Atencion"), Icono::Pregunta))
        return ResultadoComando::Rechazado;
    const bool eliminado = EscribirRegistros(enlace, DirComando, DatoEliminar());
    if (eliminado)
        op.Avisar(Lineas({T("008018", "Comunicación finalizada con éxito"),
                          T("008019", "No hay pesadas almacenadas en balanza")}),
                  T("008020", "Atención"), Icono::Informacion);
    else
        op.Avisar(T("008021", "Error al comunicar con el Indicador"), T("008022", "Error"),
                  Icono::Error);
    // The unlock goes out whatever the delete did.
    if (!EscribirRegistros(enlace, DirBloqueo, DatoDesbloquear())) {
        op.Avisar(Lineas({T("008023", "Error al desbloquear el indicador"),
                          T("008024", "Presione Eliminar para desbloquear")}),
                  T("008025", "Error"), Icono::Error);
        return ResultadoComando::Fallo;
    }
    return eliminado ? ResultadoComando::Hecho : ResultadoComando::Fallo;
}
