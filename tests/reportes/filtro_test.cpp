// Filter criteria: the clause, its bound values and the description.
#include <gtest/gtest.h>

#include "reports/Filtro.h"

namespace {

TEST(Filtro, ValoresAparteDelTexto) {
    const auto marzo = [](int desde, int hasta) {
        return *FiltroFecha("X", QDate(2005, 3, desde), QDate(2005, 3, hasta), "DD/MM/YYYY");
    };
    const struct {
        Filtro filtro;
        const char* clausula;
        QVariantList valores;
        const char* descripcion;
    } casos[] = {
        {FiltroTexto("X", "O'Br*"), "(X LIKE ?)", {"O'Br%"}, " = O'Br*"},
        {FiltroNumero("X", TipoFiltro::Numero, "10", ""),
         "(X BETWEEN ? AND ?)",
         {10LL, 10LL},
         " entre 10 y 10"},
        {FiltroNumero("X", TipoFiltro::Numero, "abc", "2.5"),
         "(X BETWEEN ? AND ?)",
         {0LL, 2.5},
         " entre 0 y 2.5"},
        {FiltroNumero("X", TipoFiltro::NumeroTexto, "7", "12"),
         "(X BETWEEN ? AND ?)",
         {"7", "12"},
         " entre 7 y 12"},
        {marzo(1, 5),
         "(X BETWEEN ? AND ?)",
         {"2005-03-01", "2005-03-05"},
         " entre 01/03/2005 y 05/03/2005"},
        {marzo(1, 1), "(X BETWEEN ? AND ?)", {"2005-03-01", "2005-03-01"}, " = 01/03/2005"},
    };
    for (const auto& c : casos) {
        EXPECT_TRUE(c.filtro.aceptado) << c.clausula;
        EXPECT_EQ(TextoClausula(c.filtro, QStringLiteral("X")), QString::fromUtf8(c.clausula));
        EXPECT_EQ(c.filtro.valores, c.valores) << c.descripcion;
        EXPECT_EQ(c.filtro.descripcion, QString::fromUtf8(c.descripcion));
    }
    EXPECT_FALSE(FiltroFecha("F", QDate(2005, 3, 6), QDate(2005, 3, 5), "DD/MM/YYYY"));
}

}  // namespace
