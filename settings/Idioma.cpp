#include "settings/Idioma.h"

#include "settings/ArchivoIni.h"
#include "settings/Config.h"

QString TextoIdioma(const QString& Id, const QString& Defecto) {
    return LeerValorPerfil(RutaEnCarpetaDatos(QStringLiteral("Idioma.cfg")),
                           QStringLiteral("Idioma"), Id, Defecto);
}
