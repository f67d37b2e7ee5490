#pragma once
// The byte transport of the link: the serial line or a raw TCP stream carrying the same
// RTU frames. A transport is used only from the thread that made it. Its waits run a local event
// loop on that thread that ends the moment the expected bytes are in, when the wait runs out, or
// when Interrumpir is called (from a queued call on the same thread): no polling, no sleeping.

#include <QByteArray>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

class QDeadlineTimer;
class QEventLoop;

Q_DECLARE_LOGGING_CATEGORY(lcEnlace)        // opening, closing, failures of the line
Q_DECLARE_LOGGING_CATEGORY(lcEnlaceTramas)  // hex dumps of every frame (off by default)

// The default remote host: a fixed private-network address. Nothing in the tests,
// benchmarks or demo ever connects to it; they set Host_1 themselves.
inline constexpr const char* kHostPredeterminado = "192.168.1.100";

inline constexpr int kEsperaRespuestaMs = 2000;  // answer wait per frame
inline constexpr int kEsperaConexionMs = 2000;   // TCP connection wait per request
// Serial line, after a try that timed out or was malformed: the line must have been quiet this long
// before the next frame, so that an answer arriving a few hundred ms after its wait is swallowed
// instead of being taken for the next frame's.
inline constexpr int kGuardaSerieMs = 800;

struct AjustesLinea {
    int comunicacion = 0;  // 0 serial line, other TCP
    QString dispositivo;   // serial device path
    int baudios = 19200;   // bits per second
    QString host;
    quint16 puerto = 3000;
    int esperaMs = kEsperaRespuestaMs;         // injectable for tests
    int esperaConexionMs = kEsperaConexionMs;  // injectable for tests
    int guardaMs = kGuardaSerieMs;             // injectable for tests
    bool operator==(const AjustesLinea&) const = default;
};

// Comunicacion_1, Comm_1, Baudios_1, Host_1 and Port_1 with the link's defaults (0, 2, 4, the
// default host, 3000). Port number n becomes LeerConfig("Puertos", n) when set, else
// /dev/ttyS<n-1>. The environment variables BASCORA_ESPERA_MS and BASCORA_ESPERA_CONEXION_MS, when
// set, replace the two waits (a test hook for processes such as bascora-cli; never set in normal
// use).
AjustesLinea LeerAjustesLinea();
// "TCP 127.0.0.1:3000" or "/dev/ttyS1 19200": the name of a connection in the link health.
QString NombreConexion(const AjustesLinea& ajustes);

// Device path of serial port number n (1 = first port).
QString DispositivoDePuerto(int numero);
// Speed of baud code n: 1200 x 2^n (4 gives 19200).
int VelocidadDeCodigo(int codigo);

// How an answer compared with its request (frame checks in Tramas).
enum class Veredicto {
    Buena,
    SinRespuesta,  // the wait ran out before the expected bytes were in
    CrcMalo,
    Malformada,  // too long, or a valid frame that does not answer the request
};

struct JuicioRespuesta {
    Veredicto veredicto = Veredicto::Buena;
    QString motivo;  // for the operator and the link health; empty when good
};

class Transporte {
  public:
    Transporte();
    virtual ~Transporte();
    // Opens the port, or starts connecting and waits for the connection (at most the connection
    // wait). False when the line is not up; the request is carried out all the same and each of
    // its frames then runs out its answer wait.
    virtual bool Abrir() = 0;
    virtual void Cerrar() = 0;
    // The line is open (serial) or connected (TCP).
    virtual bool EnLinea() const { return true; }
    // Drops whatever is waiting in the receive buffer, sends trama, waits until `esperados` bytes
    // have arrived or the answer wait has passed, and returns all that arrived (possibly more or
    // fewer bytes than expected, or nothing).
    virtual QByteArray Intercambiar(const QByteArray& trama, int esperados) = 0;

    // The verdict of the frame checks on the last exchange. A bad one makes the line untrusted:
    // the serial line waits for quiet before the next frame, TCP reconnects.
    void Juzgar(const JuicioRespuesta& juicio);
    void fijarObservador(std::function<void(const JuicioRespuesta&)> observador) {
        observador_ = std::move(observador);
    }
    // The reason of the last bad verdict since OlvidarFallo; empty when none.
    QString ultimoFallo() const { return ultimoFallo_; }
    void OlvidarFallo() { ultimoFallo_.clear(); }
    // The line that is down or could not be opened, in the operator's words; empty when up.
    QString motivoSinLinea() const { return motivoSinLinea_; }

    // Ends the wait in progress at once; every later wait ends at once too, until Reanudar.
    void Interrumpir();
    void Reanudar() { interrumpido_ = false; }
    bool Interrumpido() const { return interrumpido_; }

  protected:
    virtual void Desconfiar() {}
    // Waits in a local event loop until listo() holds (checked now and at every Revisar), the
    // deadline passes, or Interrumpir. Returns listo() at the end.
    bool Esperar(const QDeadlineTimer& plazo, const std::function<bool()>& listo);
    // Runs out the deadline (a line that is down answers nothing); Interrumpir ends it.
    void EsperarHasta(const QDeadlineTimer& plazo);
    // Something arrived or changed: the wait in progress checks its condition.
    void Revisar();

    QString motivoSinLinea_;

  private:
    std::function<void(const JuicioRespuesta&)> observador_;
    QString ultimoFallo_;
    std::unique_ptr<QEventLoop> espera_;  // made at the first wait, on this thread, then reused
    QEventLoop* bucle_ = nullptr;         // the wait in progress
    const std::function<bool()>* listo_ = nullptr;
    QTimer reloj_;
    bool interrumpido_ = false;
};

std::unique_ptr<Transporte> CrearTransporte(const AjustesLinea& ajustes);

// "01 03 00 00" for the logs and the tools.
QString Hex(const QByteArray& bytes);
