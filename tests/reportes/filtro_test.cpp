// Filter criteria: the clause, its bound values and the description.
#include <gtest/gtest.h>

#include "reports/Filtro.h"

namespace {

struct CasoFiltro {
    const char* nombre;
    Filtro filtro;
    const char* clausula;
    QVariantList valores;
    const char* descripcion;
};

class Clausulas : public ::testing::TestWithParam<CasoFiltro> {};

TEST_P(Clausulas, ValoresAparteDelTexto) {
    const CasoFiltro& c = GetParam();
    EXPECT_TRUE(c.filtro.aceptado);
    EXPECT_EQ(TextoClausula(c.filtro, QStringLiteral("X")), QString::fromUtf8(c.clausula));
    EXPECT_EQ(c.filtro.valores, c.valores);
    EXPECT_EQ(c.filtro.descripcion, QString::fromUtf8(c.descripcion));
}

Filtro Numero(const char* desde, const char* hasta, TipoFiltro tipo = TipoFiltro::Numero) {
    return FiltroNumero("X", tipo, desde, hasta);
}
Filtro Marzo(int desde, int hasta) {
    return *FiltroFecha("X", QDate(2005, 3, desde), QDate(2005, 3, hasta), "DD/MM/YYYY");
}
const char* const kEntre = "(X BETWEEN ? AND ?)";

INSTANTIATE_TEST_SUITE_P(
    Tipos, Clausulas,
    ::testing::Values(
        CasoFiltro{"Comodin", FiltroTexto("X", "AB*"), "(X LIKE ?)", {"AB%"}, " = AB*"},
        CasoFiltro{"TextoVacio", FiltroTexto("X", ""), "(X LIKE ?)", {"%"}, " = "},
        CasoFiltro{"Comilla", FiltroTexto("X", "O'Br*"), "(X LIKE ?)", {"O'Br%"}, " = O'Br*"},
        CasoFiltro{
            "HastaVacioCopiaDesde", Numero("10", ""), kEntre, {10LL, 10LL}, " entre 10 y 10"},
        CasoFiltro{"NoNumeroEsCero", Numero("abc", "2.5"), kEntre, {0LL, 2.5}, " entre 0 y 2.5"},
        CasoFiltro{"NumeroComoTexto",
                   Numero("7", "12", TipoFiltro::NumeroTexto),
                   kEntre,
                   {"7", "12"},
                   " entre 7 y 12"},
        CasoFiltro{"Fechas",
                   Marzo(1, 5),
                   kEntre,
                   {"2005-03-01", "2005-03-05"},
                   " entre 01/03/2005 y 05/03/2005"},
        CasoFiltro{
            "MismaFecha", Marzo(1, 1), kEntre, {"2005-03-01", "2005-03-01"}, " = 01/03/2005"}),
    [](const auto& info) { return std::string(info.param.nombre); });

TEST(Filtro, RangoDeFechasInvertidoSeRechaza) {
    EXPECT_FALSE(FiltroFecha("F", QDate(2005, 3, 6), QDate(2005, 3, 5), "DD/MM/YYYY"));
}

TEST(Filtro, CajasDeNumeroComoLasDejaAceptar) {
    const struct {
        const char *desde, *hasta, *d, *h;
    } casos[] = {{"abc", "", "0", "0"},
                 {"3x", "9", "3", "9"},
                 {"", "", "0", "0"},
                 {"1.50", "-2", "1.5", "-2"}};
    for (const auto& c : casos) {
        const CajasNumero r = NormalizarCajas(c.desde, c.hasta);
        EXPECT_EQ(r.desde, c.d) << c.desde;
        EXPECT_EQ(r.hasta, c.h) << c.desde << " " << c.hasta;
    }
}

}  // namespace
