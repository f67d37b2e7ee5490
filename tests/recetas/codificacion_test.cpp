// The key filter, the value encoding of a recipe and the set-point byte images.
#include <gtest/gtest.h>

#include "products/Recetas.h"
#include "products/ValidarTecla.h"

namespace {

TEST(ValidarTecla, EachModeLetsThroughOnlyItsKeys) {
    struct Caso {
        int modo;
        char tecla;
        const char* texto;
        int esperado;
    };
    const Caso casos[] = {
        {kTeclaLetras, 'Z', "", 'Z'},     {kTeclaLetras, '1', "", 0},
        {kTeclaDigitos, '7', "", '7'},    {kTeclaDigitos, '.', "", 0},
        {kTeclaDecimal, '0', "1.5", '0'}, {kTeclaDecimal, ',', "12", '.'},
        {kTeclaDecimal, '.', "1.2", 0},   {kTeclaDecimal, '.', "1,2", 0},
        {kTeclaDecimal, '-', "", 0},      {kTeclaDecimal, '\r', "", 0},
        {kTeclaLetras, '\b', "", 8},      {kTeclaDecimal, '\b', "1.2", 8},
    };
    for (const Caso& c : casos) {
        int tecla = c.tecla;
        const int devuelta = ValidarTecla(tecla, QString::fromLatin1(c.texto), c.modo);
        EXPECT_EQ(tecla, c.esperado) << c.modo << " '" << c.tecla << "' in " << c.texto;
        EXPECT_EQ(devuelta, tecla);
    }
}

TEST(ValorReceta, ScaledRoundedHalfToEvenAndRefusedOutsideSixteenBits) {
    struct Caso {
        const char* texto;
        int decimales;
        FalloValor fallo;
        int valor;
    };
    const Caso casos[] = {
        {"12.5", 1, FalloValor::Ninguno, 125},
        {" 7 ", 0, FalloValor::Ninguno, 7},
        {"0.25", 1, FalloValor::Ninguno, 2},   // tie: to even
        {"1.05", 1, FalloValor::Ninguno, 10},  // a tie in decimal, not in binary
        {"0.251", 1, FalloValor::Ninguno, 3},
        {"-0.25", 1, FalloValor::Ninguno, -2},
        {"-3276.8", 1, FalloValor::Ninguno, -32768},
        {"3276.7", 1, FalloValor::Ninguno, 32767},
        {"3276.75", 1, FalloValor::FueraDeRango, 0},  // rounds to 32768
        {"3276.8", 1, FalloValor::FueraDeRango, 0},
        {"99999999999999999999", 0, FalloValor::FueraDeRango, 0},
        {"12.5", 3, FalloValor::Ninguno, 12500},
        {"1250", -1, FalloValor::Ninguno, 125},
        {"+.5", 0, FalloValor::Ninguno, 0},
        {"", 1, FalloValor::Vacio, 0},
        {"12,5", 1, FalloValor::NoNumero, 0},
        {"1.2.3", 1, FalloValor::NoNumero, 0},
        {"1e3", 1, FalloValor::NoNumero, 0},
        {"-", 1, FalloValor::NoNumero, 0},
    };
    for (const Caso& c : casos) {
        qint16 v = 0;
        EXPECT_EQ(EscalarValor(QString::fromLatin1(c.texto), c.decimales, &v), c.fallo)
            << c.texto << " with " << c.decimales;
        if (c.fallo == FalloValor::Ninguno) {
            EXPECT_EQ(v, c.valor) << c.texto;
        }
    }
}

TEST(ValorReceta, ThreeBytesLowFirstNegativeAsTwentyFourBitComplementAndReadBackUnsigned) {
    EXPECT_EQ(BytesValor(125).toHex(), "7d0000");
    EXPECT_EQ(BytesValor(-1).toHex(), "ffffff");
    EXPECT_EQ(BytesValor(-32768).toHex(), "0080ff");

    EXPECT_DOUBLE_EQ(DecodificarValor(QByteArray::fromHex("008000"), 0, 1), 3276.8);
    EXPECT_DOUBLE_EQ(DecodificarValor(QByteArray::fromHex("aa7d0000"), 1, 1), 12.5);
    // A negative value written comes back as its unsigned 24-bit reading.
    EXPECT_DOUBLE_EQ(DecodificarValor(BytesValor(-1), 0, 0), 16777215.0);
    EXPECT_DOUBLE_EQ(DecodificarValor(BytesValor(1234), 0, 2), 12.34);
}

TEST(ValorReceta, RecipeBytesInComponentOrderOrTheFirstRefusedComponent) {
    RecetaCodificada c = CodificarReceta({"12.5", "0.1", "0", "0", "0", "0", "0", "0"}, 1);
    ASSERT_TRUE(c.ok());
    EXPECT_EQ(c.bytes.size(), 24);
    EXPECT_EQ(c.bytes.left(6).toHex(' '), "7d 00 00 01 00 00");
    EXPECT_EQ(DecodificarReceta(c.bytes, 8, 1), QList<double>({12.5, 0.1, 0, 0, 0, 0, 0, 0}));

    c = CodificarReceta({"1", "x", ""}, 1);
    EXPECT_EQ(c.componente, 2);
    EXPECT_EQ(c.fallo, FalloValor::NoNumero);
    EXPECT_TRUE(c.bytes.isEmpty());
    c = CodificarReceta({"1", "2", "", "5000"}, 1);
    EXPECT_EQ(c.componente, 3);
    EXPECT_EQ(c.fallo, FalloValor::Vacio);
}

TEST(ValorReceta, StoredValuesBecomePlainDecimalTextThatEncodesBack) {
    const std::pair<std::optional<double>, const char*> casos[] = {{0.1 + 0.2, "0.3"},
                                                                   {-0.0, "0"},
                                                                   {-3276.8, "-3276.8"},
                                                                   {1e6, "1000000"},
                                                                   {std::nullopt, ""}};
    for (const auto& [valor, texto] : casos) EXPECT_EQ(TextoValor(valor), texto);
    EXPECT_EQ(TextoValorFijo(12.5, 2), "12.50");
    EXPECT_EQ(TextoValorFijo(3276.8, 0), "3277");

    std::optional<double> v;
    EXPECT_TRUE(ValorDeTexto(" 1.25", &v));
    EXPECT_EQ(v, 1.25);
    EXPECT_TRUE(ValorDeTexto("", &v));
    EXPECT_FALSE(v.has_value());
    for (const char* malo : {"1,5", "1.5.", "1e5", "--1"})
        EXPECT_FALSE(ValorDeTexto(QString::fromLatin1(malo), &v)) << malo;
}

TEST(Recetas, AreaOfARecipeFollowsTheComponentCount) {
    EXPECT_EQ(DireccionReceta(3, 8), 14440);
    EXPECT_EQ(RegistrosReceta(8), 12);
    EXPECT_EQ(DireccionReceta(2, 16), 14452);
    EXPECT_EQ(DireccionReceta(2, 16) + RegistrosReceta(16) - 1, 14475);
    for (int n : {2, 12, 16}) EXPECT_TRUE(ComponentesValidos(n)) << n;
    for (int n : {0, 7, 17, 18, -8}) EXPECT_FALSE(ComponentesValidos(n)) << n;
    // The last recipe that fits below register 65536, and the first that does not.
    const int ultima = (65536 - 14404) / 12 - 1;
    EXPECT_TRUE(RecetaEnMemoria(ultima, 8));
    EXPECT_FALSE(RecetaEnMemoria(ultima + 1, 8));
    EXPECT_FALSE(RecetaEnMemoria(-1, 8));
}

TEST(Recetas, SetPointImagesAreTwelveBytesPerNameAndOneBytePerLetter) {
    QStringList nombres;
    QStringList letras;
    for (int n = 1; n <= 16; ++n) {
        nombres << QStringLiteral("Valor %1").arg(n);
        letras << QString::number(n);
    }
    nombres[0] = QStringLiteral("Azúcar moreno fino");  // cut to 12, Windows-1252
    nombres[1] = QString();
    letras[2] = QString();
    const QByteArray n = BytesNombresSP(nombres);
    ASSERT_EQ(n.size(), 192);
    EXPECT_EQ(n.left(12), QByteArray("Az\xFA"
                                     "car moren"));
    EXPECT_EQ(n.mid(12, 12), QByteArray(12, ' '));
    const QByteArray l = BytesLetrasSP(letras);
    EXPECT_EQ(l, QByteArray("12 4567891111111"));
}

}  // namespace
