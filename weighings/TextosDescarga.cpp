#include "weighings/TextosDescarga.h"

#include "settings/Idioma.h"

namespace {

bool EsVentana(TipoDescarga tipo) {
    return tipo == TipoDescarga::Manual;
}

}  // namespace

QString TextoDesborde(TipoDescarga tipo, int perdidas) {
    const bool v = EsVentana(tipo);
    return Frase({v ? T("008042", "El indicador no pudo almacenar")
                    : T("001018", "El indicador no pudo almacenar"),
                  QString::number(perdidas),
                  v ? T("008043", "pesadas por falta de espacio")
                    : T("001019", "pesadas por falta de espacio")});
}

QString TextoFalloPesadas(TipoDescarga tipo, int cantidad, int registros, qsizetype bytes,
                          int reintentos) {
    const bool v = EsVentana(tipo);
    const QString error = v ? T("008065", "Error al comunicar con el Indicador")
                            : T("001028", "Error al comunicar con el Indicador");
    return error + QStringLiteral("\r\n") +
           Frase({v ? T("008066", "No se pudo bajar las") : T("001029", "No se pudo bajar las"),
                  QString::number(cantidad),
                  v ? T("008067", "pesadas (") : T("001030", "pesadas ("),
                  QString::number(registros),
                  v ? T("008068", ") - Long. Rx =") : T("001031", ") - Long. Rx ="),
                  MitadBytes(bytes),
                  v ? T("008069", "- Reintentos =") : T("001032", "- Reintentos ="),
                  QString::number(reintentos)});
}

QString TextoReintentos(TipoDescarga tipo, int cantidad, int reintentos) {
    const bool v = EsVentana(tipo);
    return Frase(
        {QString::number(cantidad), v ? T("008056", "pesadas (") : T("001025", "pesadas ("),
         QString::number(13 * cantidad),
         v ? T("008057", ") bajadas despues de") : T("001026", ") bajadas despues de"),
         QString::number(reintentos), v ? T("008058", "reintentos") : T("001027", "reintentos")});
}

QString TextoRecepcion(TipoDescarga tipo, const ResultadoDescarga& r) {
    const QString cantidad = QString::number(r.cantidad);
    const QString repetidas = QString::number(r.yaGuardadas);
    if (!EsVentana(tipo)) {
        const QString linea = Frase({T("001021", "Recepción finalizada con éxito. Se han recibido"),
                                     cantidad, T("001022", "pesadas.")});
        if (r.yaGuardadas == 0) return linea;
        return Frase({linea, repetidas, T("001040", "ya estaban guardadas y no se repitieron.")});
    }
    QStringList lineas{T("008059", "Recepción finalizada con éxito"),
                       Frase({T("008060", "Se han recibido"), cantidad, T("008061", "pesadas")})};
    if (r.yaGuardadas > 0)
        lineas << Frase({repetidas, T("008083", "ya estaban guardadas y no se repitieron")});
    return lineas.join(QLatin1Char('\n'));
}
