#pragma once
// A weighing table of many rows for the benchmarks: 500 to a batch, random dates over 2000-2025
// as "dd/mm/yy" text, times, weights and codes, in one transaction with the table's indexes
// dropped first (building them once afterwards is much faster: PrepararBase puts them back).

#include <QString>

bool LlenarPesadasAleatorias(const QString& cadena, int filas);
