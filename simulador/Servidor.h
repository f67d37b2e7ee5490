#pragma once
// The simulated indicator's lines: a TCP server on 127.0.0.1 and a pseudo-terminal, both carrying
// the same RTU frames. Lives in the thread that runs its event loop.

#include <QObject>
#include <QString>
#include <memory>

class QTcpServer;
class QSocketNotifier;

namespace simulador {

class Indicador;
class Canal;

class Servidor : public QObject {
    Q_OBJECT
  public:
    explicit Servidor(Indicador& indicador, QObject* padre = nullptr);
    ~Servidor() override;

    // Listens on 127.0.0.1:puerto (0 = a free port). False when the port cannot be had.
    bool escucharTcp(quint16 puerto);
    quint16 puerto() const;
    // Opens a pty; its slave side is the serial device the link opens.
    bool abrirPty();
    QString rutaPty() const;
    QString error() const { return error_; }

    void cerrar();

  private:
    void nuevaConexion();
    void leerPty();

    Indicador& indicador_;
    QTcpServer* servidor_ = nullptr;
    int maestro_ = -1;
    int esclavo_ = -1;  // kept open so the master never sees a hang-up between two requests
    QString rutaPty_;
    QSocketNotifier* notificador_ = nullptr;
    std::unique_ptr<Canal> canalPty_;
    QString error_;
};

}  // namespace simulador
