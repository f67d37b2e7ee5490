#include "settings/Idioma.h"

#include "settings/Config.h"
#include "settings/ContextoCarpeta.h"

QString TextoIdioma(const QString& Id, const QString& Defecto) {
    const auto contexto = ContextoCarpeta::compartido();
    return LeerValorPerfil(contexto->ruta(QStringLiteral("Idioma.cfg")), QStringLiteral("Idioma"),
                           Id, Defecto);
}
