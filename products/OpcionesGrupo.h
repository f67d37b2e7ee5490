#pragma once
// The product-group configuration (the PLU_SETUP table): which code fields hold characters, refer
// to the product table or carry a tax number, and their names and letters. The downloads, the
// product window and the transfers read it.

#include <QString>
#include <QVariant>
#include <array>

struct OpcionesCampos {
    std::array<bool, 9> Texto{};    // code field j holds characters (index j - 1)
    std::array<bool, 9> Alfa{};     // code field j refers to the product table (index j - 1)
    std::array<bool, 9> Cuit{};     // code field j's products carry a tax number (index j - 1)
    std::array<QString, 9> Nombre;  // name of code field j (index j - 1); "" for a null column
    std::array<QString, 9> Letra;   // letter of code field j (index j - 1)
    int filas = 0;                  // rows read, at most 8: the groups the table describes
    bool leido = false;             // false: the configuration table could not be read
};

// The first eight rows of the product-group configuration table in Codigo order. A table that
// cannot be read leaves every flag false and `leido` false. Without an argument: the process-wide
// PLU_SETUP table.
OpcionesCampos Llena_Opciones();
OpcionesCampos Llena_Opciones(const QString& conexion, const QString& tabla);

// Reads a yes/no column the way the configuration table is read: the absolute value of the
// stored number, so -1 and 1 are both yes.
bool ValorSiNo(const QVariant& v);
