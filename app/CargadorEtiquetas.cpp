#include "app/CargadorEtiquetas.h"

#include <sys/ioctl.h>
#include <termios.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSerialPort>
#include <QThread>
#include <limits>

#include "app/Opciones.h"
#include "base/Interaccion.h"
#include "link/Transporte.h"
#include "settings/Config.h"
#include "settings/Idioma.h"

namespace {

Q_LOGGING_CATEGORY(lcEtiquetas, "bascora.etiquetas", QtInfoMsg)

constexpr int kPasoEsperaMs = 100;  // how often Cancel and the deadline are looked at
constexpr int kPasoColaMs = 10;     // how often the kernel's queue is looked at

// Bytes still in the kernel's queue for the line (0 when the driver cannot tell).
qint64 EnColaDelSistema(QSerialPort& puerto) {
    int cola = 0;
    if (::ioctl(int(puerto.handle()), TIOCOUTQ, &cola) != 0) return 0;
    return cola;
}

bool Cancelado(const std::atomic<bool>* cancelado) {
    return cancelado && cancelado->load();
}

}  // namespace

AjustesImpresora LeerAjustesImpresora() {
    AjustesImpresora a;
    const QString global = QStringLiteral("Global");
    a.dispositivo = DispositivoDePuerto(
        int(ValorEntero(LeerConfig(global, QStringLiteral("Comm_1"), QStringLiteral("1")))));
    a.baudios = VelocidadDeCodigo(
        int(ValorEntero(LeerConfig(global, QStringLiteral("Baudios_1"), QStringLiteral("3")))));
    return a;
}

QByteArray DatosEtiqueta(const QByteArray& contenido) {
    return contenido + "\r\nFI\r\nGI\r\n";
}

int PlazoEnvioMs(qint64 bytes, int baudios) {
    const qint64 velocidad = baudios > 0 ? baudios : 1200;
    const qint64 enLinea = bytes * 10 * 1000 / velocidad;
    return int(qMin<qint64>(kEsperaRespuestaMs + 2 * enLinea, std::numeric_limits<int>::max()));
}

ResultadoEnvio EnviarAImpresora(const QByteArray& datos, const AjustesImpresora& ajustes,
                                const std::atomic<bool>* cancelado,
                                const std::function<void(int)>& progreso, int plazoMs) {
    ResultadoEnvio r;
    QSerialPort puerto;
    puerto.setPortName(ajustes.dispositivo);
    if (!puerto.open(QIODevice::ReadWrite)) {
        r.fin = FinEnvio::SinPuerto;
        r.error = puerto.errorString();
        qCWarning(lcEtiquetas) << "cannot open" << ajustes.dispositivo << ":" << r.error;
        return r;
    }
    // With hardware handshaking the driver owns RTS; the printer paces us through CTS.
    puerto.setBaudRate(ajustes.baudios);
    puerto.setDataBits(QSerialPort::Data8);
    puerto.setParity(QSerialPort::NoParity);
    puerto.setStopBits(QSerialPort::OneStop);
    if (!puerto.setFlowControl(QSerialPort::HardwareControl)) {
        qCDebug(lcEtiquetas) << "no RTS/CTS on" << ajustes.dispositivo << puerto.errorString();
        puerto.clearError();
    }

    const qint64 total = datos.size();
    const QDeadlineTimer plazo(plazoMs >= 0 ? plazoMs : PlazoEnvioMs(total, ajustes.baudios));
    puerto.write(datos);
    const auto pendientes = [&] { return puerto.bytesToWrite() + EnColaDelSistema(puerto); };
    int ultimo = -1;
    while (true) {
        const qint64 resto = pendientes();
        const int porcentaje = total > 0 ? int((total - qMin(resto, total)) * 100 / total) : 100;
        if (progreso && porcentaje != ultimo) progreso(ultimo = porcentaje);
        if (resto == 0) break;
        if (Cancelado(cancelado)) {
            r.fin = FinEnvio::Cancelado;
            break;
        }
        if (plazo.hasExpired()) {
            r.fin = FinEnvio::TiempoAgotado;
            break;
        }
        const int espera = int(qMin<qint64>(kPasoEsperaMs, plazo.remainingTime()));
        if (puerto.bytesToWrite() > 0) {
            if (!puerto.waitForBytesWritten(espera)) puerto.clearError();
        } else {
            // Only the kernel's queue is left; no event tells when it is empty (tcdrain would
            // wait without a limit), so it is looked at again shortly.
            QThread::msleep(kPasoColaMs);
        }
    }
    if (r.fin != FinEnvio::Enviado) {
        qCWarning(lcEtiquetas) << "label send ended with" << pendientes() << "bytes unsent";
        // What the printer did not take is dropped, so closing does not wait for it.
        puerto.clear(QSerialPort::Output);
    }
    puerto.close();
    return r;
}

FinCarga CargarEtiqueta(Interaccion& op, const std::atomic<bool>* cancelado,
                        const std::function<void(int)>& progreso) {
    if (!op.Preguntar(T("007035", "Desea Inicializar la impresora?"),
                      T("005035", "Enviar Formulario"), Icono::Pregunta))
        return FinCarga::NoEnviado;
    const QString archivo =
        op.ElegirArchivo(QStringLiteral("etiqueta"),
                         T("007036", "Archivos de Etiquetas") + QStringLiteral(" (*.ejf);;") +
                             T("007037", "Archivos de Logos") + QStringLiteral(" (*.bin)"));
    if (archivo.isEmpty()) return FinCarga::NoEnviado;

    QFile origen(archivo);
    if (!origen.open(QIODevice::ReadOnly)) {
        op.Avisar(T("007054", "No se puede leer el archivo %1.").arg(archivo), T("008015", "Error"),
                  Icono::Error);
        return FinCarga::Fallido;
    }
    const QByteArray datos = DatosEtiqueta(origen.readAll());
    origen.close();

    const AjustesImpresora ajustes = LeerAjustesImpresora();
    if (datos.size() > kBufferSalida)
        op.Avisar(T("007038", "Buffer de salida lleno"), T("008015", "Error"), Icono::Error);

    const ResultadoEnvio r = EnviarAImpresora(datos, ajustes, cancelado, progreso);
    switch (r.fin) {
        case FinEnvio::Enviado:
            return FinCarga::Enviado;
        case FinEnvio::Cancelado:
            return FinCarga::Cancelado;
        case FinEnvio::SinPuerto: {
            QString texto =
                T("007050", "No se puede abrir el puerto %1: %2").arg(ajustes.dispositivo, r.error);
            QString grupo;
            if (QFileInfo::exists(ajustes.dispositivo) &&
                !PuertoAccesible(ajustes.dispositivo, &grupo))
                texto += u'\n' + T("007044",
                                   "Sin permiso para abrir %1. Agregue su usuario al grupo %2 "
                                   "(sudo adduser $USER %2) y vuelva a iniciar la sesión.")
                                     .arg(ajustes.dispositivo, grupo);
            op.Avisar(texto, T("008015", "Error"), Icono::Error);
            return FinCarga::Fallido;
        }
        case FinEnvio::TiempoAgotado:
            op.Avisar(T("007051", "La impresora no recibió todos los datos a tiempo."),
                      T("008015", "Error"), Icono::Error);
            return FinCarga::Fallido;
    }
    return FinCarga::Fallido;
}
