#pragma once
// The label loader of the options dialog: a label form (.ejf) or a logo (.bin) is sent, followed by
// the printer's end-of-form commands, to a label printer on the serial port of the settings. The
// printer paces the line with RTS/CTS; the send is bounded in time so that a printer holding the
// line ends it with a message instead of hanging.

#include <QByteArray>
#include <QString>
#include <atomic>
#include <functional>

class Interaccion;

// The port's output buffer of the original loader; larger data is announced, then sent anyway.
inline constexpr int kBufferSalida = 8192;

struct AjustesImpresora {
    QString dispositivo;  // Comm_1 (default 1) through [Puertos]
    int baudios = 9600;   // Baudios_1 (default 3)
};

// The printer's line from the settings, with the loader's own defaults.
AjustesImpresora LeerAjustesImpresora();

// File content + CR LF "FI" CR LF "GI" CR LF.
QByteArray DatosEtiqueta(const QByteArray& contenido);

// Time allowed for `bytes` at `baudios`: the link's 2000 ms, plus twice the time the bytes take
// on the wire (10 bits a byte).
int PlazoEnvioMs(qint64 bytes, int baudios);

enum class FinEnvio { Enviado, Cancelado, SinPuerto, TiempoAgotado };

struct ResultadoEnvio {
    FinEnvio fin = FinEnvio::Enviado;
    QString error;  // the port's own text when it could not be opened
};

// Opens the port (8N1, RTS/CTS), writes the data, waits until it has left the port (at most
// PlazoEnvioMs, or `plazoMs` when given) and closes it. `cancelado` is looked at while waiting;
// `progreso` gets the percentage sent. Runs on the calling thread.
ResultadoEnvio EnviarAImpresora(const QByteArray& datos, const AjustesImpresora& ajustes,
                                const std::atomic<bool>* cancelado = nullptr,
                                const std::function<void(int)>& progreso = {}, int plazoMs = -1);

enum class FinCarga { NoEnviado, Enviado, Cancelado, Fallido };

// The whole command (cmdCargar): asks whether to initialise the printer, lets the operator pick
// the file, announces data larger than the output buffer, sends, and reports a port that cannot
// be opened or a printer that did not take the data in time.
FinCarga CargarEtiqueta(Interaccion& op, const std::atomic<bool>* cancelado = nullptr,
                        const std::function<void(int)>& progreso = {});
