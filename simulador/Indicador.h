#pragma once
// The simulated weighing indicator: its register memory, the ":M" setup block, the audit memory
// with its count, counter and totals, and the injected faults. Every member is thread-safe, so a
// test can inspect and change the state while the server thread answers frames.

#include <QByteArray>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QList>
#include <QMutex>
#include <QString>
#include <array>
#include <deque>
#include <random>

namespace simulador {

// Register map of the indicator (register numbers).
inline constexpr int kRegPeso = 0;
inline constexpr int kRegComando = 6;
inline constexpr int kRegTotal = 7037;
inline constexpr int kRegCuenta = 7040;
inline constexpr int kRegPesadas = 7041;
inline constexpr int kRegBloqueo = 13541;
inline constexpr int kRegTotales = 13547;
inline constexpr int kRegEstado = 14396;
inline constexpr int kRegContador = 15705;
inline constexpr int kCapacidadPesadas = 500;
inline constexpr int kLargoPesada = 26;  // bytes, 13 registers
inline constexpr int kLargoSetup = 90;

enum class Fallo {
    Ninguno,
    Perder,     // no answer at all
    CrcMalo,    // last CRC byte inverted
    Cortar,     // last byte missing
    Alargar,    // one extra byte
    Tardar,     // answer after retardoMs; the indicator ignores what arrives meanwhile
    Excepcion,  // function 3/6 answered with exception 04
    Rezagar,    // answer after retardoMs while the indicator keeps answering the next frames
    // Well-formed answers (valid CRC) that do not answer the request:
    OtroId,       // another slave address
    OtraFuncion,  // another function code
    OtraCuenta,   // a read answer whose byte count is wrong (same length)
    EcoFalso,     // a write echo with another value (reads: answered normally)
};

Fallo FalloDeNombre(const QString& nombre, bool* ok = nullptr);  // "perder", "crc", ...
QString NombreDeFallo(Fallo f);

// Shares (0 to 1) of the answers that get each fault, drawn from a generator with a fixed seed.
struct AjustesFallos {
    double perder = 0;
    double crcMalo = 0;
    double cortar = 0;
    double alargar = 0;
    double tardar = 0;
    double excepcion = 0;
    double rezagar = 0;
    int retardoMs = 2500;  // for Tardar and Rezagar
};

struct Respuesta {
    bool hay = false;  // false: the indicator stays silent
    QByteArray bytes;
    int retardoMs = 0;
    bool ocupado = true;  // while a late answer is pending, what arrives is ignored
};

class Indicador {
  public:
    Indicador();

    // Slave address; frames for another address get no answer.
    void fijarId(int id);
    int id() const;

    // Register data, 2 bytes per register, low byte first (the link's order).
    QByteArray leerRegistros(int direccion, int cantidad) const;
    void escribirRegistros(int direccion, const QByteArray& datos);
    quint16 registro(int direccion) const;
    void fijarRegistro(int direccion, quint16 valor);

    // Audit memory. A new weighing raises the count and the counter and adds to the totals; a
    // record beyond the 500 places only raises the count (it is lost).
    void agregarPesada(const QByteArray& registro26);
    QList<QByteArray> pesadas() const;  // the stored records, oldest first
    int cuenta() const;
    void fijarCuenta(int cuenta);
    quint32 contador() const;  // 24-bit weighing counter
    void fijarContador(quint32 contador);
    bool bloqueado() const;  // the lock register holds FF 00

    // Status register: its stored value, or 1 while the indicator is busy.
    int estado() const;
    void fijarEstado(int estado);
    void fijarOcupado(int ms);  // busy (status 1) for this long from now

    QByteArray setup() const;
    void fijarSetup(const QByteArray& bytes90);

    // Weight block: gross, tare (net = gross - tare) and status flags; a variable weight moves a
    // little every half second, like a scale that is being loaded.
    void fijarPeso(qint32 bruto, quint32 tara, int estado, bool variable);

    // Faults.
    void fijarSemilla(quint32 semilla);
    void fijarFallos(const AjustesFallos& fallos);
    AjustesFallos fallos() const;
    void programarFallos(const QList<Fallo>& fallos);  // one per following answer, before shares
    // Appends one programmed fault; a late one (Tardar, Rezagar) with its own delay when >= 0.
    void agregarFallo(Fallo fallo, int retardoMs = -1);
    int fallosProgramadosPendientes() const;

    // Frames received with a valid CRC, by function (3, 6, ':' for commands); 0 = all of them.
    int tramasRecibidas(int funcion = 0) const;
    void reiniciarContadores();

    // One request frame (a complete RTU frame or ":...\r\n") -> what the indicator sends back.
    Respuesta Procesar(const QByteArray& trama);

    // Takes the next complete frame off the front of a received byte stream. Returns false when
    // more bytes are needed; bytes that cannot start a frame are dropped.
    static bool ExtraerTrama(QByteArray& flujo, QByteArray* trama);

    // State as JSON, every key optional:
    //   {"id": 0, "setup": "<90 bytes in hex>",
    //    "peso": {"bruto": 12340, "tara": 0, "estado": 8, "variable": true},
    //    "memoria": [{"direccion": 20, "hex": "<bytes, low byte of each register first>"},
    //                {"direccion": 6524, "texto": "Windows-1252 text"}],
    //    "pesadas": [{"hex": "<26 bytes>"},
    //                {"fecha": "24/12/05", "hora": "09:30", "peso": 12345,
    //                 "codigos": [7, "ABC"]}],   // numbers as 24 bits, texts as characters
    //    "cuenta": 36, "contador": 1234, "estado": 0, "bloqueo": 0}
    // Memory areas are applied first; the named values then take precedence over them.
    QJsonObject estadoJson() const;
    bool aplicarJson(const QJsonObject& estado, QString* error = nullptr);
    bool cargarEstado(const QString& ruta, QString* error = nullptr);
    bool guardarEstado(const QString& ruta, QString* error = nullptr) const;

  private:
    quint16 reg(int d) const;
    void setReg(int d, quint16 v);
    void agregarPesadaSinBloqueo(const QByteArray& r, bool pesada);
    QByteArray bloquePesoSinBloqueo() const;
    bool ocupadoSinBloqueo() const;
    bool sortear(double parte);
    struct Programado {
        Fallo fallo;
        int retardoMs;
    };
    Programado elegirFallo(bool admiteExcepcion);

    mutable QMutex mutex_;
    std::vector<quint16> memoria_;
    QByteArray setup_;
    int id_ = 0;
    qint32 bruto_ = 12340;
    quint32 tara_ = 0;
    int estadoPeso_ = 0;
    bool pesoVariable_ = true;
    QElapsedTimer reloj_;
    qint64 ocupadoHastaMs_ = -1;
    AjustesFallos fallos_;
    std::deque<Programado> programados_;
    std::mt19937 azar_{1};
    std::array<int, 256> tramas_{};
    int tramasTotal_ = 0;
};

}  // namespace simulador
