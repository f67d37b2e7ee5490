#include "simulador/Servidor.h"

#include <errno.h>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QPointer>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <functional>

#include "simulador/Indicador.h"

namespace simulador {

// One line into the indicator: collects bytes into frames and sends the answers. While a late
// answer (Tardar) is pending the indicator is busy and ignores what arrives, as a half-duplex slave
// does; a straggling one (Rezagar) goes out late while the following frames are answered.
class Canal {
  public:
    Canal(Indicador& ind, std::function<void(const QByteArray&)> enviar)
        : ind_(ind), enviar_(std::move(enviar)) {
        silencio_.setSingleShot(true);
        silencio_.setInterval(100);
        // A pause in the middle of a frame ends it, like the silent gap of an RTU line.
        QObject::connect(&silencio_, &QTimer::timeout, [this] { flujo_.clear(); });
    }

    void recibir(const QByteArray& bytes) {
        if (ocupado_) return;
        flujo_ += bytes;
        QByteArray trama;
        while (!ocupado_ && Indicador::ExtraerTrama(flujo_, &trama)) {
            const Respuesta r = ind_.Procesar(trama);
            if (!r.hay) continue;
            if (r.retardoMs > 0 && !r.ocupado) {
                const QByteArray bytesRespuesta = r.bytes;
                QTimer::singleShot(r.retardoMs, Qt::PreciseTimer, &vida_,
                                   [this, bytesRespuesta] { enviar_(bytesRespuesta); });
                continue;
            }
            if (r.retardoMs > 0) {
                ocupado_ = true;
                flujo_.clear();
                const QByteArray bytesRespuesta = r.bytes;
                QTimer::singleShot(r.retardoMs, Qt::PreciseTimer, &vida_, [this, bytesRespuesta] {
                    enviar_(bytesRespuesta);
                    ocupado_ = false;
                });
                return;
            }
            enviar_(r.bytes);
        }
        if (!flujo_.isEmpty()) silencio_.start();
    }

  private:
    Indicador& ind_;
    QObject vida_;  // a late answer dies with its line
    std::function<void(const QByteArray&)> enviar_;
    QByteArray flujo_;
    QTimer silencio_;
    bool ocupado_ = false;
};

namespace {

// One TCP client; deleted with its socket.
class ConexionTcp : public QObject {
  public:
    ConexionTcp(Indicador& ind, QTcpSocket* s)
        : QObject(s), canal_(ind, [s](const QByteArray& b) {
              if (s->state() == QAbstractSocket::ConnectedState) {
                  s->write(b);
                  s->flush();
              }
          }) {
        s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(s, &QTcpSocket::readyRead, this, [this, s] { canal_.recibir(s->readAll()); });
        connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
        connect(s, &QTcpSocket::errorOccurred, s, [s] {
            s->abort();
            s->deleteLater();
        });
    }

  private:
    Canal canal_;
};

}  // namespace

Servidor::Servidor(Indicador& indicador, QObject* padre) : QObject(padre), indicador_(indicador) {}

Servidor::~Servidor() {
    cerrar();
}

bool Servidor::escucharTcp(quint16 puerto) {
    servidor_ = new QTcpServer(this);
    if (!servidor_->listen(QHostAddress::LocalHost, puerto)) {
        error_ = servidor_->errorString();
        delete servidor_;
        servidor_ = nullptr;
        return false;
    }
    connect(servidor_, &QTcpServer::newConnection, this, &Servidor::nuevaConexion);
    return true;
}

quint16 Servidor::puerto() const {
    return servidor_ ? servidor_->serverPort() : 0;
}

void Servidor::nuevaConexion() {
    while (QTcpSocket* s = servidor_->nextPendingConnection()) new ConexionTcp(indicador_, s);
}

bool Servidor::abrirPty() {
    char nombre[256] = {};
    if (openpty(&maestro_, &esclavo_, nombre, nullptr, nullptr) != 0) {
        error_ = QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    // Raw both ways: no echo, no line editing, no CR/LF translation.
    termios t{};
    tcgetattr(esclavo_, &t);
    cfmakeraw(&t);
    tcsetattr(esclavo_, TCSANOW, &t);
    fcntl(maestro_, F_SETFL, fcntl(maestro_, F_GETFL) | O_NONBLOCK);
    rutaPty_ = QString::fromLocal8Bit(nombre);
    const int fd = maestro_;
    canalPty_ = std::make_unique<Canal>(indicador_, [fd](const QByteArray& b) {
        qsizetype hecho = 0;
        while (hecho < b.size()) {
            const ssize_t n = ::write(fd, b.constData() + hecho, size_t(b.size() - hecho));
            if (n <= 0) break;
            hecho += n;
        }
    });
    notificador_ = new QSocketNotifier(maestro_, QSocketNotifier::Read, this);
    connect(notificador_, &QSocketNotifier::activated, this, &Servidor::leerPty);
    return true;
}

QString Servidor::rutaPty() const {
    return rutaPty_;
}

void Servidor::leerPty() {
    char buf[4096];
    QByteArray datos;
    while (true) {
        const ssize_t n = ::read(maestro_, buf, sizeof buf);
        if (n > 0) {
            datos.append(buf, n);
            continue;
        }
        break;
    }
    if (!datos.isEmpty()) canalPty_->recibir(datos);
}

void Servidor::cerrar() {
    if (servidor_) {
        servidor_->close();
        delete servidor_;
        servidor_ = nullptr;
    }
    delete notificador_;
    notificador_ = nullptr;
    canalPty_.reset();
    if (maestro_ >= 0) ::close(maestro_);
    if (esclavo_ >= 0) ::close(esclavo_);
    maestro_ = esclavo_ = -1;
}

}  // namespace simulador
