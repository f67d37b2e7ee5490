#include "weighings/GuardarError.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>

#include "settings/ArchivoIni.h"
#include "settings/Cp1252.h"
#include "settings/Idioma.h"

bool GuardarError(const QString& Texto, const QString& idBanner, const QString& idEtiqueta) {
    const QString banner = TextoIdioma(
        idBanner,
        QStringLiteral(
            "****************************** Nuevo Registro ******************************"));
    const QString etiqueta = TextoIdioma(idEtiqueta, QStringLiteral("Fecha y Hora:"));
    const QDateTime ahora = QDateTime::currentDateTime();
    const QLocale local = QLocale::system();
    const QString fechaHora = local.toString(ahora.date(), QLocale::ShortFormat) + u' ' +
                              ahora.time().toString(QStringLiteral("HH:mm:ss"));
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
