#include "link/Transporte.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QSerialPort>
#include <QTcpSocket>

#include "settings/Config.h"
#include "settings/Idioma.h"

Q_LOGGING_CATEGORY(lcEnlace, "bascora.enlace", QtInfoMsg)
Q_LOGGING_CATEGORY(lcEnlaceTramas, "bascora.enlace.tramas", QtInfoMsg)

namespace {

const QString kGlobal = QStringLiteral("Global");

int EsperaDeEntorno(const char* variable, int defecto) {
    bool ok = false;
    const int valor = qEnvironmentVariableIntValue(variable, &ok);
    return ok && valor >= 0 ? valor : defecto;
}

class TransporteSerie final : public Transporte {
  public:
    explicit TransporteSerie(const AjustesLinea& a) : a_(a) {}
    ~TransporteSerie() override { Cerrar(); }

    bool Abrir() override {
        Cerrar();
        puerto_ = std::make_unique<QSerialPort>();
        QSerialPort* p = puerto_.get();
        p->setPortName(a_.dispositivo);
        p->setBaudRate(a_.baudios);
        p->setDataBits(QSerialPort::Data8);
        p->setParity(QSerialPort::NoParity);
        p->setStopBits(QSerialPort::OneStop);
        p->setFlowControl(QSerialPort::NoFlowControl);
        // A device that disappears keeps raising read errors until the port is closed.
        QObject::connect(p, &QSerialPort::errorOccurred, p,
                         [this, p](QSerialPort::SerialPortError e) {
                             if ((e == QSerialPort::ResourceError || e == QSerialPort::ReadError) &&
                                 p->isOpen()) {
                                 qCWarning(lcEnlace) << "serial port lost:" << p->errorString();
                                 p->close();
                                 Revisar();
                             }
                         });
        QObject::connect(p, &QSerialPort::readyRead, p, [this] {
            actividad_.restart();
            Revisar();
        });
        if (!p->open(QIODevice::ReadWrite)) {
            qCWarning(lcEnlace) << "cannot open" << a_.dispositivo << ":" << p->errorString();
            motivoSinLinea_ = TextoIdioma(QStringLiteral("002015"),
                                          QStringLiteral("No se pudo abrir el puerto %1"))
                                  .arg(a_.dispositivo);
            return false;
        }
        motivoSinLinea_.clear();
        // A pty refuses the modem lines ("Inappropriate ioctl for device"); the request goes on.
        if (!p->setRequestToSend(true)) {
            qCDebug(lcEnlace) << "RTS not raised on" << a_.dispositivo << ":" << p->errorString();
            p->clearError();
        }
        p->clear(QSerialPort::Input);
        sucio_ = false;
        qCDebug(lcEnlace) << "opened" << a_.dispositivo << a_.baudios << "8N1";
        return true;
    }

    void Cerrar() override {
        if (puerto_ && puerto_->isOpen()) puerto_->close();
        puerto_.reset();
    }

    bool EnLinea() const override { return puerto_ && puerto_->isOpen(); }

    QByteArray Intercambiar(const QByteArray& trama, int esperados) override {
        QSerialPort* p = puerto_.get();
        if (sucio_ && p && p->isOpen()) EsperarSilencio(p);
        const QDeadlineTimer plazo(a_.esperaMs, Qt::PreciseTimer);
        if (!p || !p->isOpen()) {
            EsperarHasta(plazo);
            return {};
        }
        // Whatever is still in the buffer belongs to an earlier frame.
        p->clear(QSerialPort::Input);
        p->readAll();
        qCDebug(lcEnlaceTramas).noquote() << "->" << Hex(trama);
        p->write(trama);
        p->flush();
        Esperar(plazo, [p, esperados] { return !p->isOpen() || p->bytesAvailable() >= esperados; });
        // Bytes that came with the answer past the expected count make it too long; any later
        // straggler is flushed before the next frame.
        QByteArray respuesta = p->isOpen() ? p->readAll() : QByteArray();
        if (respuesta.size() != esperados) Desconfiar();
        // A port that went away mid-frame is silence: the wait runs out.
        if (respuesta.size() < esperados) EsperarHasta(plazo);
        qCDebug(lcEnlaceTramas).noquote() << "<-" << Hex(respuesta);
        return respuesta;
    }

  protected:
    void Desconfiar() override {
        sucio_ = true;
        actividad_.restart();
    }

  private:
    // Discards what keeps arriving until the line has been quiet for the guard interval (at most
    // one answer wait more, for a line that never stops talking).
    void EsperarSilencio(QSerialPort* p) {
        sucio_ = false;
        const QDeadlineTimer tope(a_.guardaMs + a_.esperaMs, Qt::PreciseTimer);
        qint64 descartados = 0;
        while (p->isOpen() && !Interrumpido() && !tope.hasExpired()) {
            descartados += p->readAll().size();
            const qint64 resto = a_.guardaMs - actividad_.elapsed();
            if (resto <= 0) break;
            Esperar(QDeadlineTimer(resto, Qt::PreciseTimer),
                    [p] { return !p->isOpen() || p->bytesAvailable() > 0; });
        }
        if (descartados > 0) qCDebug(lcEnlace) << "discarded" << descartados << "late bytes";
    }

    AjustesLinea a_;
    std::unique_ptr<QSerialPort> puerto_;
    QElapsedTimer actividad_;  // last byte in, or end of an untrusted exchange
    bool sucio_ = false;
};

class TransporteTcp final : public Transporte {
  public:
    explicit TransporteTcp(const AjustesLinea& a) : a_(a) {}
    ~TransporteTcp() override { Cerrar(); }

    bool Abrir() override {
        Cerrar();
        const QDeadlineTimer plazo(a_.esperaConexionMs, Qt::PreciseTimer);
        if (!Conectar(plazo)) {
            // The link waits its whole connection wait, as for a host that never answers.
            EsperarHasta(plazo);
            return false;
        }
        return true;
    }

    void Cerrar() override {
        if (socket_) {
            socket_->disconnect();
            socket_->abort();
            socket_.reset();
        }
    }

    bool EnLinea() const override {
        return socket_ && socket_->state() == QAbstractSocket::ConnectedState;
    }

    QByteArray Intercambiar(const QByteArray& trama, int esperados) override {
        const QDeadlineTimer plazo(a_.esperaMs, Qt::PreciseTimer);
        // After an exchange that did not end well, the indicator may still be answering it. RTU
        // frames carry nothing to tell that late answer from the next one, so the next frame goes
        // out on a fresh connection and the late answer dies with the old.
        if (sucio_ && socket_) {
            sucio_ = false;
            socket_->abort();
            Conectar(plazo);
        }
        QTcpSocket* s = socket_.get();
        if (!s || s->state() != QAbstractSocket::ConnectedState) {
            EsperarHasta(plazo);
            return {};
        }
        // Bytes at hand are not this frame's answer. Late answers cannot be on this connection: a
        // frame that did not end well is followed by a new one.
        s->readAll();
        qCDebug(lcEnlaceTramas).noquote() << "->" << Hex(trama);
        s->write(trama);
        s->flush();
        Esperar(plazo, [s, esperados] {
            return s->bytesAvailable() >= esperados ||
                   s->state() != QAbstractSocket::ConnectedState;
        });
        QByteArray respuesta = s->readAll();
        if (s->state() != QAbstractSocket::ConnectedState) {
            // The peer closed or the connection broke: the socket is closed.
            respuesta += s->readAll();
            s->abort();
        }
        if (respuesta.size() != esperados) sucio_ = true;
        if (respuesta.size() < esperados) EsperarHasta(plazo);
        qCDebug(lcEnlaceTramas).noquote() << "<-" << Hex(respuesta);
        return respuesta;
    }

  protected:
    void Desconfiar() override { sucio_ = true; }

  private:
    bool Conectar(const QDeadlineTimer& plazo) {
        if (!socket_) {
            socket_ = std::make_unique<QTcpSocket>();
            QTcpSocket* s = socket_.get();
            QObject::connect(s, &QTcpSocket::readyRead, s, [this] { Revisar(); });
            QObject::connect(s, &QTcpSocket::stateChanged, s, [this] { Revisar(); });
            QObject::connect(s, &QTcpSocket::errorOccurred, s, [this] { Revisar(); });
        }
        QTcpSocket* s = socket_.get();
        s->connectToHost(a_.host, a_.puerto);
        const qint64 resto = qMin<qint64>(plazo.remainingTime(), a_.esperaConexionMs);
        Esperar(QDeadlineTimer(qMax<qint64>(resto, 0), Qt::PreciseTimer), [s] {
            return s->state() == QAbstractSocket::ConnectedState ||
                   s->state() == QAbstractSocket::UnconnectedState;
        });
        if (s->state() != QAbstractSocket::ConnectedState) {
            qCWarning(lcEnlace) << "no connection to" << a_.host << a_.puerto << ":"
                                << s->errorString();
            s->abort();
            motivoSinLinea_ =
                TextoIdioma(QStringLiteral("002016"), QStringLiteral("Sin conexión con %1"))
                    .arg(QStringLiteral("%1:%2").arg(a_.host).arg(a_.puerto));
            return false;
        }
        motivoSinLinea_.clear();
        // Without it Nagle and delayed ACK stall every small request/answer pair for ~40 ms.
        s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        qCDebug(lcEnlace) << "connected to" << a_.host << a_.puerto;
        return true;
    }

    AjustesLinea a_;
    std::unique_ptr<QTcpSocket> socket_;
    bool sucio_ = false;
};

}  // namespace

Transporte::Transporte() {
    reloj_.setSingleShot(true);
    reloj_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&reloj_, &QTimer::timeout, &reloj_, [this] {
        if (bucle_) bucle_->quit();
    });
}

Transporte::~Transporte() = default;

void Transporte::Juzgar(const JuicioRespuesta& juicio) {
    if (juicio.veredicto != Veredicto::Buena) {
        ultimoFallo_ = juicio.motivo;
        Desconfiar();
    }
    if (observador_) observador_(juicio);
}

void Transporte::Interrumpir() {
    interrumpido_ = true;
    if (bucle_) bucle_->quit();
}

bool Transporte::Esperar(const QDeadlineTimer& plazo, const std::function<bool()>& listo) {
    if (listo()) return true;
    if (interrumpido_ || plazo.hasExpired() || bucle_) return false;
    if (!espera_) espera_ = std::make_unique<QEventLoop>();
    bucle_ = espera_.get();
    listo_ = &listo;
    reloj_.start(int(qMax<qint64>(plazo.remainingTime(), 0)));
    bucle_->exec(QEventLoop::ExcludeUserInputEvents);
    reloj_.stop();
    bucle_ = nullptr;
    listo_ = nullptr;
    return listo();
}

void Transporte::EsperarHasta(const QDeadlineTimer& plazo) {
    Esperar(plazo, [] { return false; });
}

void Transporte::Revisar() {
    if (bucle_ && listo_ && (*listo_)()) bucle_->quit();
}

QString DispositivoDePuerto(int numero) {
    const QString configurado =
        LeerConfig(QStringLiteral("Puertos"), QString::number(numero), QString());
    if (!configurado.isEmpty()) return configurado;
    return QStringLiteral("/dev/ttyS%1").arg(numero - 1);
}

int VelocidadDeCodigo(int codigo) {
    if (codigo < 0 || codigo > 20) return 0;
    return 1200 << codigo;
}

AjustesLinea LeerAjustesLinea() {
    AjustesLinea a;
    a.comunicacion = int(
        ValorEntero(LeerConfig(kGlobal, QStringLiteral("Comunicacion_1"), QStringLiteral("0"))));
    a.dispositivo = DispositivoDePuerto(
        int(ValorEntero(LeerConfig(kGlobal, QStringLiteral("Comm_1"), QStringLiteral("2")))));
    a.baudios = VelocidadDeCodigo(
        int(ValorEntero(LeerConfig(kGlobal, QStringLiteral("Baudios_1"), QStringLiteral("4")))));
    a.host =
        LeerConfig(kGlobal, QStringLiteral("Host_1"), QString::fromLatin1(kHostPredeterminado));
    const long long puerto =
        ValorEntero(LeerConfig(kGlobal, QStringLiteral("Port_1"), QStringLiteral("3000")));
    a.puerto = puerto > 0 && puerto < 65536 ? quint16(puerto) : quint16(0);
    a.esperaMs = EsperaDeEntorno("BASCORA_ESPERA_MS", kEsperaRespuestaMs);
    a.esperaConexionMs = EsperaDeEntorno("BASCORA_ESPERA_CONEXION_MS", kEsperaConexionMs);
    return a;
}

QString NombreConexion(const AjustesLinea& a) {
    if (a.comunicacion != 0) return QStringLiteral("TCP %1:%2").arg(a.host).arg(a.puerto);
    return QStringLiteral("%1 %2").arg(a.dispositivo).arg(a.baudios);
}

std::unique_ptr<Transporte> CrearTransporte(const AjustesLinea& ajustes) {
    if (ajustes.comunicacion == 0) return std::make_unique<TransporteSerie>(ajustes);
    return std::make_unique<TransporteTcp>(ajustes);
}

QString Hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}
