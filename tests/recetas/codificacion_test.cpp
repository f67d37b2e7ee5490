// Key filter, value encoding and set-point images at the edges the other runs do not reach.
#include <gtest/gtest.h>

#include "products/Recetas.h"
#include "products/ValidarTecla.h"

namespace {

TEST(ValidarTecla, LettersAndDigitsModesLetThroughOnlyTheirKeys) {
    const struct {
        int modo;
        char tecla;
        int esperado;
    } casos[] = {{kTeclaLetras, 'Z', 'Z'}, {kTeclaLetras, '1', 0},  {kTeclaDigitos, '7', '7'},
                 {kTeclaDigitos, '.', 0},  {kTeclaLetras, '\b', 8}, {kTeclaDecimal, '\r', 0}};
    for (const auto& c : casos) {
        int tecla = c.tecla;
        EXPECT_EQ(ValidarTecla(tecla, QString(), c.modo), c.esperado) << c.modo << c.tecla;
        EXPECT_EQ(tecla, c.esperado);
    }
}

TEST(ValorReceta, ScaledRoundedHalfToEvenAndRefusedOutsideSixteenBits) {
    const struct {
        const char* texto;
        int decimales;
        FalloValor fallo;
        int valor;
    } casos[] = {
        {"0.25", 1, FalloValor::Ninguno, 2},   // tie: to even
        {"1.05", 1, FalloValor::Ninguno, 10},  // a tie in decimal, not in binary
        {"-3276.8", 1, FalloValor::Ninguno, -32768},
        {"3276.7", 1, FalloValor::Ninguno, 32767},
        {"3276.75", 1, FalloValor::FueraDeRango, 0},  // rounds to 32768
        {"99999999999999999999", 0, FalloValor::FueraDeRango, 0},
        {"12.5", 3, FalloValor::Ninguno, 12500},
        {"1250", -1, FalloValor::Ninguno, 125},
        {"", 1, FalloValor::Vacio, 0},
        {"1e3", 1, FalloValor::NoNumero, 0},
        {"-", 1, FalloValor::NoNumero, 0},
    };
    for (const auto& c : casos) {
        qint16 v = 0;
        EXPECT_EQ(EscalarValor(QString::fromLatin1(c.texto), c.decimales, &v), c.fallo)
            << c.texto << " with " << c.decimales;
        EXPECT_EQ(v, c.valor) << c.texto;
    }
    EXPECT_EQ(BytesValor(-32768).toHex(), "0080ff");  // 24-bit complement, low byte first
    EXPECT_DOUBLE_EQ(DecodificarValor(BytesValor(1234), 0, 2), 12.34);
}

TEST(ValorReceta, StoredValuesBecomePlainDecimalTextThatEncodesBack) {
    const std::pair<std::optional<double>, const char*> casos[] = {
        {0.1 + 0.2, "0.3"}, {-0.0, "0"}, {1e6, "1000000"}, {std::nullopt, ""}};
    for (const auto& [valor, texto] : casos) EXPECT_EQ(TextoValor(valor), texto);
    EXPECT_EQ(TextoValorFijo(3276.8, 0), "3277");
    std::optional<double> v;
    for (const char* malo : {"1,5", "1.5.", "1e5", "--1"})
        EXPECT_FALSE(ValorDeTexto(QString::fromLatin1(malo), &v)) << malo;
}

TEST(Recetas, AreaOfARecipeAndSetPointImages) {
    for (int n : {0, 7, 17, -8}) EXPECT_FALSE(ComponentesValidos(n)) << n;
    // The last recipe that fits below register 65536, and the first that does not.
    const int ultima = (65536 - 14404) / 12 - 1;
    EXPECT_TRUE(RecetaEnMemoria(ultima, 8));
    EXPECT_FALSE(RecetaEnMemoria(ultima + 1, 8));
    QStringList nombres(16, QStringLiteral("x"));
    nombres[0] = QStringLiteral("Azúcar moreno fino");  // cut to 12, Windows-1252
    EXPECT_EQ(BytesNombresSP(nombres).left(12), QByteArray("Az\xFA"
                                                           "car moren"));
}

}  // namespace
