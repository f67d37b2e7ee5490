#include "link/Transporte.h"

#include <QDeadlineTimer>
#include <QSerialPort>
#include <QTcpSocket>
#include <QThread>

#include "settings/Config.h"

Q_LOGGING_CATEGORY(lcEnlace, "bascora.enlace", QtInfoMsg)
Q_LOGGING_CATEGORY(lcEnlaceTramas, "bascora.enlace.tramas", QtInfoMsg)

namespace {

const QString kGlobal = QStringLiteral("Global");

// A line that is down answers nothing: the exchange still lasts its whole wait, so every frame of
// a request on a dead line runs out its 2000 ms like silence would. One sleep to the deadline,
// never a polling loop.
void EsperarHasta(const QDeadlineTimer& plazo) {
    const qint64 resto = plazo.remainingTime();
    if (resto > 0) QThread::msleep(static_cast<unsigned long>(resto));
}

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
        QObject::connect(p, &QSerialPort::errorOccurred, p, [p](QSerialPort::SerialPortError e) {
            if ((e == QSerialPort::ResourceError || e == QSerialPort::ReadError) && p->isOpen()) {
                qCWarning(lcEnlace) << "serial port lost:" << p->errorString();
                p->close();
            }
        });
        if (!p->open(QIODevice::ReadWrite)) {
            qCWarning(lcEnlace) << "cannot open" << a_.dispositivo << ":" << p->errorString();
            return false;
        }
        // A pty refuses the modem lines ("Inappropriate ioctl for device"); the request goes on.
        if (!p->setRequestToSend(true)) {
            qCDebug(lcEnlace) << "RTS not raised on" << a_.dispositivo << ":" << p->errorString();
            p->clearError();
        }
        qCDebug(lcEnlace) << "opened" << a_.dispositivo << a_.baudios << "8N1";
        return true;
    }

    void Cerrar() override {
        if (puerto_ && puerto_->isOpen()) puerto_->close();
        puerto_.reset();
    }

    QByteArray Intercambiar(const QByteArray& trama, int esperados) override {
        const QDeadlineTimer plazo(a_.esperaMs);
        QSerialPort* p = puerto_.get();
        if (!p || !p->isOpen()) {
            EsperarHasta(plazo);
            return {};
        }
        // Whatever is still in the buffer belongs to an earlier frame.
        p->clear(QSerialPort::Input);
        if (p->isOpen()) p->readAll();
        if (!p->isOpen()) {
            EsperarHasta(plazo);
            return {};
        }
        qCDebug(lcEnlaceTramas).noquote() << "->" << Hex(trama);
        p->write(trama);
        while (p->isOpen() && p->bytesToWrite() > 0) {
            if (!p->waitForBytesWritten(int(plazo.remainingTime()))) break;
        }
        QByteArray respuesta;
        while (p->isOpen()) {
            respuesta += p->readAll();
            if (respuesta.size() >= esperados) {
                // Bytes already at hand past the expected count make the answer too long.
                if (p->waitForReadyRead(0)) respuesta += p->readAll();
                break;
            }
            if (plazo.hasExpired() || !p->waitForReadyRead(int(plazo.remainingTime()))) break;
        }
        if (respuesta.size() < esperados) EsperarHasta(plazo);
        qCDebug(lcEnlaceTramas).noquote() << "<-" << Hex(respuesta);
        return respuesta;
    }

  private:
    AjustesLinea a_;
    std::unique_ptr<QSerialPort> puerto_;
};

class TransporteTcp final : public Transporte {
  public:
    explicit TransporteTcp(const AjustesLinea& a) : a_(a) {}
    ~TransporteTcp() override { Cerrar(); }

    bool Abrir() override {
        Cerrar();
        const QDeadlineTimer plazo(a_.esperaConexionMs);
        if (!Conectar(plazo)) {
            // The link waits its whole connection wait, as for a host that never answers.
            EsperarHasta(plazo);
            return false;
        }
        return true;
    }

    void Cerrar() override {
        if (socket_) {
            socket_->close();
            socket_.reset();
        }
    }

    QByteArray Intercambiar(const QByteArray& trama, int esperados) override {
        const QDeadlineTimer plazo(a_.esperaMs);
        // After an exchange that did not end with the expected bytes, the indicator may still be
        // answering it. RTU frames carry nothing to tell that late answer from the next one, so
        // the next frame goes out on a fresh connection and the late answer dies with the old.
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
        // Late bytes of an earlier frame, in Qt's buffer or still in the kernel's, are dropped.
        s->readAll();
        for (int i = 0; i < 64 && s->waitForReadyRead(0); ++i) s->readAll();
        if (s->state() != QAbstractSocket::ConnectedState) {
            EsperarHasta(plazo);
            return {};
        }
        qCDebug(lcEnlaceTramas).noquote() << "->" << Hex(trama);
        s->write(trama);
        s->flush();
        QByteArray respuesta;
        while (true) {
            respuesta += s->readAll();
            if (respuesta.size() >= esperados) {
                if (s->waitForReadyRead(0)) respuesta += s->readAll();
                break;
            }
            if (plazo.hasExpired() || !s->waitForReadyRead(int(plazo.remainingTime()))) break;
        }
        if (s->state() != QAbstractSocket::ConnectedState) {
            // The peer closed or the connection broke: the socket is closed.
            respuesta += s->readAll();
            s->abort();
        }
        sucio_ = respuesta.size() != esperados;
        if (respuesta.size() < esperados) EsperarHasta(plazo);
        qCDebug(lcEnlaceTramas).noquote() << "<-" << Hex(respuesta);
        return respuesta;
    }

  private:
    bool Conectar(const QDeadlineTimer& plazo) {
        if (!socket_) socket_ = std::make_unique<QTcpSocket>();
        socket_->connectToHost(a_.host, a_.puerto);
        const qint64 resto = qMin<qint64>(plazo.remainingTime(), a_.esperaConexionMs);
        if (!socket_->waitForConnected(int(qMax<qint64>(resto, 0)))) {
            qCWarning(lcEnlace) << "no connection to" << a_.host << a_.puerto << ":"
                                << socket_->errorString();
            socket_->abort();
            return false;
        }
        // Without it Nagle and delayed ACK stall every small request/answer pair for ~40 ms.
        socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        qCDebug(lcEnlace) << "connected to" << a_.host << a_.puerto;
        return true;
    }

    AjustesLinea a_;
    std::unique_ptr<QTcpSocket> socket_;
    bool sucio_ = false;
};

}  // namespace

Transporte::~Transporte() = default;

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

std::unique_ptr<Transporte> CrearTransporte(const AjustesLinea& ajustes) {
    if (ajustes.comunicacion == 0) return std::make_unique<TransporteSerie>(ajustes);
    return std::make_unique<TransporteTcp>(ajustes);
}

QString Hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}
