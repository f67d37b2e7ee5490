#include "weighings/GuardarError.h"

#include <QDateTime>
#include <QFile>

#include "settings/ArchivoIni.h"
#include "settings/Cp1252.h"
#include "settings/Fechas.h"
#include "settings/Idioma.h"

bool GuardarError(const QString& Texto, const QString& idBanner, const QString& idEtiqueta) {
    const QString banner = TextoIdioma(
        idBanner,
        QStringLiteral(
            "****************************** Nuevo Registro ******************************"));
    const QString etiqueta = TextoIdioma(idEtiqueta, QStringLiteral("Fecha y Hora:"));
    // The program's date pattern and language: the log reads the same whatever the PC's locale.
    const QString fechaHora = FechaHoraDelPrograma(QDateTime::currentDateTime());
    const QString crlf = QStringLiteral("\r\n");
    const QByteArray entrada =
        AAnsi(banner + crlf + Frase({etiqueta, fechaHora}) + crlf + Texto + crlf + crlf);

    QFile log(RutaEnCarpetaDatos(QStringLiteral("Datos.log")));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
    const qint64 antes = log.size();
    // One write of the whole entry: a failure must not leave half an entry behind.
    if (log.write(entrada) != entrada.size() || !log.flush()) {
        log.resize(antes);
        return false;
    }
    return true;
}
