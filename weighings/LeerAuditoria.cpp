#include "weighings/LeerAuditoria.h"

#include <QLoggingCategory>

#include "base/Bytes.h"
#include "base/Interaccion.h"
#include "link/Enlace.h"
#include "settings/Idioma.h"
#include "weighings/GuardarError.h"
#include "weighings/TextosDescarga.h"

Q_DECLARE_LOGGING_CATEGORY(lcDescarga)

namespace {

// Lines of one message box.
QString Lineas(std::initializer_list<QString> partes) {
    return QStringList(partes).join(QLatin1Char('\n'));
}

// A line of Datos.log, with the link's counts below it when the link keeps them.
void Registrar(const QString& texto, const Enlace& enlace) {
    const QString salud = enlace.ResumenSalud();
    const QString linea = salud.isEmpty() ? texto : texto + QStringLiteral("\r\n") + salud;
    if (!GuardarError(linea)) qCWarning(lcDescarga) << "Datos.log could not be written:" << linea;
}

// The download window's words for what happens along the way.
class AvisosVentana : public AvisosDescarga {
  public:
    AvisosVentana(Interaccion& op, const Enlace& enlace) : op_(op), enlace_(enlace) {}
    void Desborde(int perdidas) override {
        op_.Avisar(
            Lineas({TextoDesborde(TipoDescarga::Manual, perdidas),
                    T("008044",
                      "Realice comunicaciones mas frecuentes para evitar futuras perdidas")}),
            T("008045", "Atención"), Icono::Exclamacion);
    }
    void FalloPesadas(int cantidad, int registros, qsizetype bytes, int reintentos) override {
        Registrar(TextoFalloPesadas(TipoDescarga::Manual, cantidad, registros, bytes, reintentos),
                  enlace_);
    }
    void Almacenadas(const ResultadoDescarga&) override {}
    void FalloTotales() override {
        const QString texto = T("008048", "Error al bajar los totales por producto");
        Registrar(texto, enlace_);
        op_.Avisar(texto, T("008049", "Error"), Icono::Error);
    }

  private:
    Interaccion& op_;
    const Enlace& enlace_;
};

// The box that closes a download, by how it ended.
void InformarFin(Interaccion& op, const ResultadoDescarga& r, const Enlace& enlace) {
    switch (r.fin) {
        case FinDescarga::OtraDescarga:
            op.Avisar(T("008079",
                        "Hay otra descarga en curso en esta carpeta de datos. Intente "
                        "nuevamente en unos minutos."),
                      T("008032", "Atención"), Icono::Advertencia);
            break;
        case FinDescarga::SinCarpeta:
            op.Avisar(T("008084",
                        "No se puede escribir en la carpeta de datos (disco lleno o sin "
                        "permiso). Las pesadas quedan en el indicador."),
                      T("008034", "Error"), Icono::Error);
            break;
        case FinDescarga::SinSalida:
            op.Avisar(T("008080",
                        "No hay ninguna salida activa (libro, archivo de texto o tabla). "
                        "Las pesadas quedan en el indicador."),
                      T("008032", "Atención"), Icono::Advertencia);
            break;
        case FinDescarga::FalloBloqueo:
            op.Avisar(T("008033", "Error al iniciar comunicación"), T("008034", "Error"),
                      Icono::Error);
            break;
        case FinDescarga::FalloLectura:
        case FinDescarga::FalloPesadas:
            op.Avisar(T("008046", "Error al comunicar con el Indicador"), T("008047", "Error"),
                      Icono::Error);
            break;
        case FinDescarga::SinPesadas:
            op.Avisar(Lineas({T("008038", "Comunicación finalizada con éxito"),
                              T("008039", "No hay pesadas almacenadas"),
                              T("008040", "No se creo fichero")}),
                      T("008041", "Atención"), Icono::Informacion);
            break;
        case FinDescarga::FalloLote:
            Registrar(T("008081", "No se pudo guardar el número de lote") + QStringLiteral(": ") +
                          r.motivo,
                      enlace);
            op.Avisar(Lineas({T("008081", "No se pudo guardar el número de lote"), r.motivo,
                              T("008082", "No se guardó ninguna pesada; quedan en el indicador.")}),
                      T("008034", "Error"), Icono::Error);
            break;
        case FinDescarga::FalloAlmacenamiento:
            if (r.claveDuplicada)
                op.Avisar(T("008072", "Error en base de datos"), T("008073", "Error"),
                          Icono::Error);
            else
                op.Avisar(T("008074", "No se encuentra datos.mdb."), T("008075", "Error"),
                          Icono::Error);
            break;
        case FinDescarga::FalloEliminar:
            op.Avisar(Lineas({T("008050", "Error al eliminar pesadas en balanza"),
                              T("008051", "Elimine manualmente para evitar duplicados")}),
                      T("008052", "Error"), Icono::Error);
            break;
        case FinDescarga::FalloDesbloqueo:
            if (r.cantidad == 0)
                op.Avisar(Lineas({T("008035", "Error al desbloquear el indicador"),
                                  T("008036", "Presione Desbloquear para desbloquear")}),
                          T("008037", "Error"), Icono::Error);
            else
                op.Avisar(Lineas({T("008053", "Elimine manualmente para evitar duplicados"),
                                  T("008054", "Presione Eliminar para desbloquear")}),
                          T("008055", "Error"), Icono::Error);
            break;
        case FinDescarga::Completa: {
            if (r.reintentos > 0)
                Registrar(TextoReintentos(TipoDescarga::Manual, r.cantidad, r.reintentos), enlace);
            op.Avisar(TextoRecepcion(TipoDescarga::Manual, r), T("008062", "Atención"),
                      Icono::Informacion);
            if (r.totales)
                op.Avisar(T("008063", "Recepción de totales por producto finalizada con éxito"),
                          T("008064", "Atención"), Icono::Informacion);
            break;
        }
        case FinDescarga::Esperar:
        case FinDescarga::Ocupado:
        case FinDescarga::FalloEstado:
        case FinDescarga::SinEliminar:
            break;
    }
}

}  // namespace

EstadoIndicador LeerEstadoIndicador(Enlace& enlace) {
    QByteArray dato;
    if (!LeerRegistros(enlace, DirEstado, 1, &dato)) return EstadoIndicador::SinRespuesta;
    return ByteDe(dato, 0) == 0 ? EstadoIndicador::Libre : EstadoIndicador::Ocupado;
}

ResultadoDescarga LeerAuditoria(Enlace& enlace, Interaccion& op, const OpcionesCampos& campos,
                                MedidasDescarga* medidas) {
    ResultadoDescarga r;
    // The indicator must be idle.
    switch (LeerEstadoIndicador(enlace)) {
        case EstadoIndicador::SinRespuesta:
            op.Avisar(T("008028", "Error al leer el estado del equipo"), T("008029", "Error"),
                      Icono::Error);
            r.fin = FinDescarga::FalloEstado;
            return r;
        case EstadoIndicador::Ocupado: {
            const bool esperar = op.Preguntar(
                Lineas({T("008030",
                          "No se pueden descargar las pesadas en este momento porque el indicador "
                          "esta en proceso!"),
                        T("008031",
                          "Desea esperar la finalización del proceso y descargar las pesadas?")}),
                T("008032", "Atención"), Icono::Advertencia);
            r.fin = esperar ? FinDescarga::Esperar : FinDescarga::Ocupado;
            return r;
        }
        case EstadoIndicador::Libre:
            break;
    }
    ParametrosDescarga par;
    par.tipo = TipoDescarga::Manual;
    par.campos = campos;
    par.totales = true;
    par.medidas = medidas;
    AvisosVentana avisos(op, enlace);
    r = Descargar(enlace, par, avisos);
    InformarFin(op, r, enlace);
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
