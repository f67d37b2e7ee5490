#pragma once
// The messages a download builds from texts and numbers, in the words of the window that tells
// them (the download window's boxes and Datos.log, or the scheduled download's report lines).

#include <QString>

#include "weighings/Descarga.h"

// "El indicador no pudo almacenar 5 pesadas por falta de espacio"
QString TextoDesborde(TipoDescarga tipo, int perdidas);
// Two log lines: the link error, then "No se pudo bajar las 5 pesadas (65) - Long. Rx = 30 -
// Reintentos = 2".
QString TextoFalloPesadas(TipoDescarga tipo, int cantidad, int registros, qsizetype bytes,
                          int reintentos);
// "20 pesadas (260) bajadas despues de 3 reintentos"
QString TextoReintentos(TipoDescarga tipo, int cantidad, int reintentos);
// A complete download: the window's box lines, or the scheduled download's one report line.
QString TextoRecepcion(TipoDescarga tipo, const ResultadoDescarga& r);
