#pragma once
// The byte transport of the link: the serial line or a raw TCP stream carrying the same
// RTU frames. One transport object serves one request: it is opened, carries the frames of that
// request one exchange at a time, and is closed. It is used only from the thread that made it;
// its waits block that thread (the link window runs it on a worker thread).

#include <QByteArray>
#include <QLoggingCategory>
#include <QString>
#include <memory>

Q_DECLARE_LOGGING_CATEGORY(lcEnlace)        // opening, closing, failures of the line
Q_DECLARE_LOGGING_CATEGORY(lcEnlaceTramas)  // hex dumps of every frame (off by default)

// The default remote host: a fixed private-network address. Nothing in the tests,
// benchmarks or demo ever connects to it; they set Host_1 themselves.
inline constexpr const char* kHostPredeterminado = "192.168.1.100";

inline constexpr int kEsperaRespuestaMs = 2000;  // answer wait per frame
inline constexpr int kEsperaConexionMs = 2000;   // TCP connection wait per request

struct AjustesLinea {
    int comunicacion = 0;  // 0 serial line, other TCP
    QString dispositivo;   // serial device path
    int baudios = 19200;   // bits per second
    QString host;
    quint16 puerto = 3000;
    int esperaMs = kEsperaRespuestaMs;         // injectable for tests
    int esperaConexionMs = kEsperaConexionMs;  // injectable for tests
};

// Comunicacion_1, Comm_1, Baudios_1, Host_1 and Port_1 with the link's defaults (0, 2, 4, the
// default host, 3000). Port number n becomes LeerConfig("Puertos", n) when set, else
// /dev/ttyS<n-1>. The environment variables BASCORA_ESPERA_MS and BASCORA_ESPERA_CONEXION_MS, when
// set, replace the two waits (a test hook for processes such as bascora-cli; never set in normal
// use).
AjustesLinea LeerAjustesLinea();

// Device path of serial port number n (1 = first port).
QString DispositivoDePuerto(int numero);
// Speed of baud code n: 1200 x 2^n (4 gives 19200).
int VelocidadDeCodigo(int codigo);

class Transporte {
  public:
    virtual ~Transporte();
    // Opens the port, or starts connecting and waits for the connection (at most the connection
    // wait). False when the line is not up; the request is carried out all the same and each of
    // its frames then runs out its answer wait.
    virtual bool Abrir() = 0;
    virtual void Cerrar() = 0;
    // Drops whatever is waiting in the receive buffer, sends trama, waits until `esperados` bytes
    // have arrived or the answer wait has passed, and returns all that arrived (possibly more or
    // fewer bytes than expected, or nothing).
    virtual QByteArray Intercambiar(const QByteArray& trama, int esperados) = 0;
};

std::unique_ptr<Transporte> CrearTransporte(const AjustesLinea& ajustes);

// "01 03 00 00" for the logs and the tools.
QString Hex(const QByteArray& bytes);
