#include "settings/Idioma.h"

#include "settings/Config.h"
#include "settings/ContextoCarpeta.h"

QString TextoIdioma(const QString& Id, const QString& Defecto) {
    const auto contexto = ContextoCarpeta::compartido();
    return LeerValorPerfil(contexto->ruta(QStringLiteral("Idioma.cfg")), QStringLiteral("Idioma"),
                           Id, Defecto);
}

namespace {

bool SinBlancoDespues(QChar c) {
    return c == u'(' || c == u'[' || c == u'\n' || c == u'\r';
}

bool SinBlancoAntes(QChar c) {
    return QStringView(u").],:;?!\n\r").contains(c);
}

}  // namespace

QString Frase(std::initializer_list<QString> partes) {
    QString frase;
    for (const QString& texto : partes) {
        QStringView parte(texto);
        if (!frase.isEmpty())
            while (parte.startsWith(u' ')) parte = parte.mid(1);
        if (parte.isEmpty()) continue;
        while (frase.endsWith(u' ')) frase.chop(1);
        if (!frase.isEmpty() && !SinBlancoDespues(frase.back()) && !SinBlancoAntes(parte.front()))
            frase += u' ';
        frase += parte;
    }
    return frase;
}
