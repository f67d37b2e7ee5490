#pragma once
// The product-name lookup shared with the weighing download: codes become product names.

#include <QString>
#include <array>

// For each group g from 1 to 5 with Usar[g - 1] set, replaces Nombres[g] (a code) by the name of
// that code in group g of the product table, or by "" when there is none. A code that is not a
// whole number cannot be in the table and gives "". Entries 0 and 6 to 8 are left alone. Raises
// ErrorBase when the product table cannot be read.
void NombresPLU(std::array<QString, 9>& Nombres, const std::array<bool, 9>& Usar);
