#include "weighings/BajadaAuto.h"

#include <QFile>
#include <QLoggingCategory>
#include <QTimer>

#include "app/Conectar.h"
#include "base/Globales.h"
#include "data/CDatos.h"
#include "link/Enlace.h"
#include "settings/Config.h"
#include "settings/Cp1252.h"
#include "settings/Idioma.h"
#include "weighings/GuardarError.h"
#include "weighings/LeerAuditoria.h"
#include "weighings/Sumideros.h"

Q_DECLARE_LOGGING_CATEGORY(lcDescarga)

namespace {

void Registrar(const QString& texto) {
    if (!GuardarError(texto, QStringLiteral("001009"), QStringLiteral("001010")))
        qCWarning(lcDescarga) << "Datos.log could not be written:" << texto;
}

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

void BajadaAuto::TRP(const QString& Dato) {
    const QDateTime ahora = reloj_();
    const QString hora = ahora.toString(QStringLiteral("HH:mm"));
    Q_EMIT reporte(hora + QStringLiteral(" - ") + Dato);
    QFile archivo(QStringLiteral("auto.txt"));
    if (!archivo.open(QIODevice::WriteOnly | QIODevice::Append)) {
        qCWarning(lcDescarga) << "auto.txt could not be opened:" << archivo.errorString();
        return;
    }
    archivo.write(AAnsi(ahora.toString(QStringLiteral("dd/MM/yy")) + QLatin1Char(' ') + hora +
                        QStringLiteral(" - ") + Dato + QStringLiteral("\r\n")));
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

void BajadaAuto::BajarAuditoria() {
    EnCurso enCurso(enCurso_, this);
    const OpcionesSalida salida = LeerOpcionesSalida();
    const int decimales = static_cast<int>(ValorEntero(LeerConfig("global", "Decimales_1", "0")));

    const auto desbloquear = [&] {
        if (EscribirRegistros(enlace_, DirBloqueo, DatoDesbloquear())) {
            BajadaPendiente = 0;
            EtapaBajada = 0;
            if (reintentosPendientes_ > 0)
                Registrar(QString::number(cantidadPendiente_) + T("001025", " pesadas (") +
                          QString::number(13 * cantidadPendiente_) +
                          T("001026", ") bajadas despues de ") +
                          QString::number(reintentosPendientes_) + T("001027", " reintentos"));
            cantidadPendiente_ = reintentosPendientes_ = 0;
            return true;
        }
        TRP(T("001024", "Error al desbloquear el indicador."));
        BajadaPendiente = 1;
        EtapaBajada = 1;
        return false;
    };
    const auto eliminar = [&] {
        if (!EscribirRegistros(enlace_, DirComando, DatoEliminar())) {
            TRP(T("001023", "Error al eliminar pesadas en balanza."));
            BajadaPendiente = 1;
            EtapaBajada = 2;
            return;
        }
        desbloquear();
    };

    // A retry resumes where the last run stopped, with the records already stored.
    if (EtapaBajada == 1) {
        desbloquear();
        return;
    }
    if (EtapaBajada == 2) {
        eliminar();
        return;
    }

    // Lock.
    if (!EscribirRegistros(enlace_, DirBloqueo, DatoBloquear())) {
        TRP(T("001015", "Error al iniciar comunicación"));
        BajadaPendiente = 1;
        return;
    }
    // Count.
    QByteArray dato;
    if (!LeerRegistros(enlace_, DirAuditoria, 1, &dato)) {
        TRP(T("001020", "Error al comunicar con el Indicador"));
        BajadaPendiente = 1;
        return;
    }
    int cantidad = Numero16(dato);
    if (cantidad == 0) {
        TRP(T("001016", "Comunicación finalizada con éxito. No hay pesadas almacenadas"));
        EtapaBajada = 0;
        cantidadPendiente_ = reintentosPendientes_ = 0;
        if (EscribirRegistros(enlace_, DirBloqueo, DatoDesbloquear())) {
            BajadaPendiente = 0;
            EtapaBajada = 0;
        } else {
            TRP(T("001017", "Error al desbloquear el indicador."));
            BajadaPendiente = 1;
            EtapaBajada = 1;
        }
        return;
    }
    if (cantidad > CapacidadAuditoria) {
        TRP(T("001018", "El indicador no pudo almacenar ") +
            QString::number(cantidad - CapacidadAuditoria) +
            T("001019", " pesadas por falta de espacio"));
        cantidad = CapacidadAuditoria;
    }
    // Counter. Nobody watches this window: a failure is reported and retried like the count's,
    // instead of waiting for an operator with the indicator locked.
    if (!LeerRegistros(enlace_, DirContador, 2, &dato)) {
        TRP(T("001020", "Error al comunicar con el Indicador"));
        BajadaPendiente = 1;
        return;
    }
    const long long primera = PrimeraSecuencia(Numero24(dato), cantidad);

    // Records.
    const int registros = 13 * cantidad;
    Reintentos = 0;
    QByteArray pesadas;
    if (!LeerPesadas(enlace_, registros, &pesadas)) {
        const qsizetype rx = pesadas.size();
        Registrar(T("001028", "Error al comunicar con el Indicador") + QStringLiteral("\r\n") +
                  T("001029", "No se pudo bajar las ") + QString::number(cantidad) +
                  T("001030", " pesadas (") + QString::number(registros) +
                  T("001031", ") - Long. Rx = ") + MitadBytes(rx) +
                  T("001032", " - Reintentos = ") + QString::number(Reintentos.load()));
        TRP(T("001028", "Error al comunicar con el Indicador"));
        BajadaPendiente = 1;
        return;
    }
    const int reintentos = Reintentos;

    // Storage.
    Sumideros sumideros(TipoDescarga::Programada, salida);
    try {
        const long long lote = TomarLote();
        sumideros.Abrir(lote);
        for (int i = 1; i <= cantidad; ++i)
            sumideros.Agregar(DecodificarPesada(pesadas.mid(LargoRegistro * (i - 1), LargoRegistro),
                                                campos_.Texto, decimales, i, lote,
                                                primera + i - 1));
        sumideros.Cerrar();
    } catch (const std::exception& e) {
        sumideros.Abortar();
        const bool duplicada = FalloPorClaveDuplicada(e);
        qCWarning(lcDescarga) << "scheduled download: storage failed:" << e.what();
        TRP(duplicada ? T("001033", "Error en base de datos")
                      : T("001034", "No se encuentra datos.mdb."));
        // The records stay in the indicator for the next scheduled download; retrying every
        // minute would store the same partial batch again and again. The indicator is released
        // so that it keeps weighing (a failed release is retried alone).
        cantidadPendiente_ = reintentosPendientes_ = 0;
        EtapaBajada = 0;
        BajadaPendiente = 0;
        if (!EscribirRegistros(enlace_, DirBloqueo, DatoDesbloquear())) {
            TRP(T("001017", "Error al desbloquear el indicador."));
            BajadaPendiente = 1;
            EtapaBajada = 1;
        }
        return;
    }
    cantidadPendiente_ = cantidad;
    reintentosPendientes_ = reintentos;
    TRP(T("001021", "Recepción finalizada con éxito. Se han recibido ") +
        QString::number(cantidad) + T("001022", " pesadas."));
    eliminar();
}
