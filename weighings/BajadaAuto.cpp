#include "weighings/BajadaAuto.h"

#include <QFile>
#include <QLoggingCategory>
#include <QTimer>

#include "base/Globales.h"
#include "data/CDatos.h"
#include "link/Conectar.h"
#include "link/Enlace.h"
#include "settings/ArchivoIni.h"
#include "settings/Config.h"
#include "settings/Cp1252.h"
#include "settings/Fechas.h"
#include "settings/Idioma.h"
#include "weighings/Descarga.h"
#include "weighings/GuardarError.h"
#include "weighings/Sumideros.h"
#include "weighings/TextosDescarga.h"

Q_DECLARE_LOGGING_CATEGORY(lcDescarga)

namespace {

// Marks a connection test or download as running for as long as it lives.
class EnCurso {
  public:
    EnCurso(int& contador, BajadaAuto* b) : contador_(contador), b_(b) { ++contador_; }
    ~EnCurso() {
        if (--contador_ == 0) Q_EMIT b_->libre();
    }

  private:
    int& contador_;
    BajadaAuto* b_;
};

}  // namespace

BajadaAuto::BajadaAuto(Enlace& enlace, QObject* padre)
    : QObject(padre),
      Timer1(new QTimer(this)),
      TimerReconect(new QTimer(this)),
      enlace_(enlace),
      conectar_([](Enlace& e) { return conec(e); }),
      reloj_([] { return QDateTime::currentDateTime(); }) {
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(200);
    TimerReconect->setObjectName(QStringLiteral("TimerReconect"));
    TimerReconect->setInterval(60000);
    connect(Timer1, &QTimer::timeout, this, &BajadaAuto::Tick);
    connect(TimerReconect, &QTimer::timeout, this, &BajadaAuto::Reconectar);
}

BajadaAuto::~BajadaAuto() = default;

void BajadaAuto::fijarConectar(std::function<int(Enlace&)> conectar) {
    conectar_ = std::move(conectar);
}

void BajadaAuto::fijarReloj(std::function<QDateTime()> reloj) {
    reloj_ = std::move(reloj);
}

QString BajadaAuto::textoHora() const {
    return QStringLiteral("%1:%2:00")
        .arg(Hora, 2, 10, QLatin1Char('0'))
        .arg(Minuto, 2, 10, QLatin1Char('0'));
}

void BajadaAuto::Registrar(const QString& texto) {
    // The link's counts go below the line when the link keeps them.
    const QString salud = enlace_.ResumenSalud();
    const QString linea = salud.isEmpty() ? texto : texto + QStringLiteral("\r\n") + salud;
    if (!GuardarError(linea, QStringLiteral("001009"), QStringLiteral("001010")))
        qCWarning(lcDescarga) << "Datos.log could not be written:" << linea;
}

void BajadaAuto::TRP(const QString& Dato) {
    const QDateTime ahora = reloj_();
    const QString hora = ahora.toString(QStringLiteral("HH:mm"));
    Q_EMIT reporte(hora + QStringLiteral(" - ") + Dato);
    QFile archivo(RutaEnCarpetaDatos(QStringLiteral("auto.txt")));
    if (!archivo.open(QIODevice::WriteOnly | QIODevice::Append)) {
        qCWarning(lcDescarga) << "auto.txt could not be opened:" << archivo.errorString();
        return;
    }
    // The log's own fixed pattern, whatever Fecha_Frm or the machine's locale say.
    archivo.write(AAnsi(FormatearFecha(ahora.date(), QStringLiteral("DD/MM/YY")) +
                        QLatin1Char(' ') + hora + QStringLiteral(" - ") + Dato +
                        QStringLiteral("\r\n")));
}

void BajadaAuto::LeerHorario() {
    Hora = static_cast<int>(ValorEntero(LeerConfig("Global", "Hora", "0")));
    Minuto = static_cast<int>(ValorEntero(LeerConfig("Global", "Minuto", "0")));
}

void BajadaAuto::Iniciar() {
    LeerHorario();
    BajadaPendiente = static_cast<int>(ValorEntero(LeerConfig("Global", "InicioBajar", "0")));
    TRP(T("001013", "ON"));
    EtapaBajada = 0;
    Conectar();
    Disparado = false;
    Timer1->start();
}

void BajadaAuto::Terminar() {
    Timer1->stop();
    TimerReconect->stop();
    TRP(T("001014", "OFF"));
}

void BajadaAuto::Tick() {
    const QDateTime ahora = reloj_();
    Q_EMIT horaActual(ahora);
    if (ahora.time().hour() == Hora && ahora.time().minute() == Minuto) {
        if (!Disparado) {
            Disparado = true;
            BajadaPendiente = 1;
            // While a connection test or download runs (the link yields to the event loop), the
            // one running takes the pending download with it.
            if (!ocupado()) Reconectar();
        }
    } else {
        Disparado = false;
    }
}

void BajadaAuto::Reconectar() {
    TimerReconect->stop();
    Conectar();
}

void BajadaAuto::BajarAhora() {
    BajadaPendiente = 1;
    if (!ocupado()) Reconectar();
}

void BajadaAuto::Conectar() {
    EnCurso enCurso(enCurso_, this);
    Q_EMIT estadoConexion(T("001005", "Conectando..."));
    EstadoConexion = conectar_(enlace_);
    if (EstadoConexion != 1) {
        Q_EMIT estadoConexion(T("001007", "Desconectado"));
        TRP(T("001008", "Error al conectar"));
        TimerReconect->start();
        return;
    }
    Q_EMIT estadoConexion(T("001006", "Conectado"));
    TRP(T("001006", "Conectado"));
    if (BajadaPendiente == 1) {
        BajadaPendiente = 0;
        BajarAuditoria();
        if (BajadaPendiente == 1) TimerReconect->start();
    }
}

namespace {

// The scheduled download's words for what happens along the way: report lines and the log.
class AvisosProgramada : public AvisosDescarga {
  public:
    explicit AvisosProgramada(BajadaAuto& b) : b_(b) {}
    void Desborde(int perdidas) override {
        b_.TRP(TextoDesborde(TipoDescarga::Programada, perdidas));
    }
    void FalloPesadas(int cantidad, int registros, qsizetype bytes, int reintentos) override {
        b_.Registrar(
            TextoFalloPesadas(TipoDescarga::Programada, cantidad, registros, bytes, reintentos));
    }
    void Almacenadas(const ResultadoDescarga& r) override {
        b_.TRP(TextoRecepcion(TipoDescarga::Programada, r));
    }

  private:
    BajadaAuto& b_;
};

}  // namespace

void BajadaAuto::Desbloquear() {
    if (EscribirRegistros(enlace_, DirBloqueo, DatoDesbloquear())) {
        TerminarEtapas();
        return;
    }
    TRP(T("001024", "Error al desbloquear el indicador."));
    BajadaPendiente = 1;
    EtapaBajada = 1;
}

void BajadaAuto::TerminarEtapas() {
    BajadaPendiente = 0;
    EtapaBajada = 0;
    if (reintentosPendientes_ > 0)
        Registrar(
            TextoReintentos(TipoDescarga::Programada, cantidadPendiente_, reintentosPendientes_));
    cantidadPendiente_ = reintentosPendientes_ = 0;
}

// The follow-up of a download whose records are stored: the delete (and unlock) went wrong.
void BajadaAuto::SeguirEtapas(FinDescarga fin) {
    switch (fin) {
        case FinDescarga::Completa:
            TerminarEtapas();
            break;
        case FinDescarga::FalloDesbloqueo:
            TRP(T("001024", "Error al desbloquear el indicador."));
            BajadaPendiente = 1;
            EtapaBajada = 1;
            break;
        case FinDescarga::FalloLectura:
        case FinDescarga::FalloEliminar:
        case FinDescarga::OtraDescarga:
        case FinDescarga::SinCarpeta:
            TRP(T("001023", "Error al eliminar pesadas en balanza."));
            BajadaPendiente = 1;
            EtapaBajada = 2;
            break;
        default:  // SinEliminar: said by the caller
            TerminarEtapas();
            break;
    }
}

void BajadaAuto::BajarAuditoria() {
    EnCurso enCurso(enCurso_, this);

    // A retry resumes where the last run stopped, with the records already stored.
    if (EtapaBajada == 1) {
        Desbloquear();
        return;
    }
    if (EtapaBajada == 2) {
        QString motivo;
        const FinDescarga fin =
            EliminarSiSinCambios(enlace_, cuentaGuardada_, contadorGuardado_, &motivo);
        if (fin == FinDescarga::SinEliminar) {
            // Someone unlocked the indicator and it weighed since: deleting now would lose those.
            Registrar(T("001039",
                        "El indicador cambió desde la lectura: las pesadas quedan en él "
                        "para la próxima descarga") +
                      QStringLiteral(" (") + motivo + QLatin1Char(')'));
            TRP(T("001039",
                  "El indicador cambió desde la lectura: las pesadas quedan en él "
                  "para la próxima descarga"));
        }
        SeguirEtapas(fin);
        return;
    }

    ParametrosDescarga par;
    par.tipo = TipoDescarga::Programada;
    par.campos = campos_;
    // Nobody watches this window: after a storage failure the indicator is released so that it
    // keeps weighing, and the records stay in it for the next scheduled download (retrying every
    // minute would store the same partial batch again and again).
    par.desbloquearTrasFallo = true;
    AvisosProgramada avisos(*this);
    const ResultadoDescarga r = Descargar(enlace_, par, avisos);
    switch (r.fin) {
        case FinDescarga::OtraDescarga:
            TRP(T("001036", "Hay otra descarga en curso en esta carpeta de datos."));
            BajadaPendiente = 1;
            break;
        case FinDescarga::SinCarpeta:
            TRP(T("001041", "No se puede escribir en la carpeta de datos."));
            BajadaPendiente = 1;
            break;
        case FinDescarga::SinSalida:
            TRP(T("001037", "No hay ninguna salida activa: las pesadas quedan en el indicador."));
            BajadaPendiente = 0;
            break;
        case FinDescarga::FalloBloqueo:
            TRP(T("001015", "Error al iniciar comunicación"));
            BajadaPendiente = 1;
            break;
        case FinDescarga::FalloLectura:
            TRP(T("001020", "Error al comunicar con el Indicador"));
            BajadaPendiente = 1;
            break;
        case FinDescarga::FalloPesadas:
            TRP(T("001028", "Error al comunicar con el Indicador"));
            BajadaPendiente = 1;
            break;
        case FinDescarga::SinPesadas:
        case FinDescarga::FalloDesbloqueo:
            if (r.cantidad == 0) {
                TRP(T("001016", "Comunicación finalizada con éxito. No hay pesadas almacenadas"));
                cantidadPendiente_ = reintentosPendientes_ = 0;
                if (r.fin == FinDescarga::SinPesadas) {
                    BajadaPendiente = 0;
                    EtapaBajada = 0;
                } else {
                    TRP(T("001017", "Error al desbloquear el indicador."));
                    BajadaPendiente = 1;
                    EtapaBajada = 1;
                }
                break;
            }
            cantidadPendiente_ = r.cantidad;
            reintentosPendientes_ = r.reintentos;
            SeguirEtapas(r.fin);
            break;
        case FinDescarga::FalloLote:
            Registrar(T("001038",
                        "No se pudo guardar el número de lote: las pesadas quedan en el "
                        "indicador") +
                      QStringLiteral(" (") + r.motivo + QLatin1Char(')'));
            TRP(T("001038",
                  "No se pudo guardar el número de lote: las pesadas quedan en el "
                  "indicador"));
            BajadaPendiente = 1;
            if (!r.desbloqueado) {
                TRP(T("001017", "Error al desbloquear el indicador."));
                EtapaBajada = 1;
            }
            break;
        case FinDescarga::FalloAlmacenamiento:
            TRP(r.claveDuplicada ? T("001033", "Error en base de datos")
                                 : T("001034", "No se encuentra datos.mdb."));
            cantidadPendiente_ = reintentosPendientes_ = 0;
            EtapaBajada = 0;
            BajadaPendiente = 0;
            if (!r.desbloqueado) {
                TRP(T("001017", "Error al desbloquear el indicador."));
                BajadaPendiente = 1;
                EtapaBajada = 1;
            }
            break;
        case FinDescarga::FalloEliminar:
        case FinDescarga::Completa:
            cantidadPendiente_ = r.cantidad;
            reintentosPendientes_ = r.reintentos;
            cuentaGuardada_ = r.cuenta;
            contadorGuardado_ = r.contador;
            SeguirEtapas(r.fin);
            break;
        case FinDescarga::Esperar:
        case FinDescarga::Ocupado:
        case FinDescarga::FalloEstado:
        case FinDescarga::SinEliminar:
            break;
    }
}
