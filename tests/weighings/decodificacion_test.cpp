#include <gtest/gtest.h>

#include "base/Globales.h"
#include "data/CDatos.h"
#include "products/NombresPLU.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/weighings/Auxiliares.h"
#include "weighings/Decodificacion.h"
#include "weighings/Sumideros.h"

namespace {

const std::array<bool, 9> kSinTexto{};

// A 26-byte audit record from its first bytes: date and time (5, BCD), weight (3), code 1 (6),
// codes 2 to 5 (3 each), all little-endian; the rest is zeros. Blanks are skipped.
QByteArray Registro(const char* hex) {
    return QByteArray::fromHex(hex).leftJustified(26, '\0');
}

// "date time weight code1|code2|code3|code4|code5" of a decoded record.
QString Describir(const Pesada& p) {
    return QStringLiteral("%1 %2 %3 ").arg(p.Fecha, p.Hora).arg(p.Peso, 0, 'f', 2) +
           QStringList(p.Codigo.begin(), p.Codigo.begin() + 5).join(u'|');
}

TEST(DecodificarPesada, CamposDelRegistro) {
    std::array<bool, 9> texto14{};
    texto14[0] = texto14[3] = true;
    const struct {
        const char* hex;
        std::array<bool, 9> texto;
        int decimales;
        const char* esperado;
    } casos[] = {
        {"2412053009 393000", kSinTexto, 2, "24/12/05 09:30 123.45 0|0|0|0|0"},
        {"2412053009 393000", kSinTexto, 0, "24/12/05 09:30 12345.00 0|0|0|0|0"},
        // Bytes that are not BCD come out as their hexadecimal form; the top weight is 24 bits.
        {"1AFF0B5C0A FFFFFF", kSinTexto, 0, "1A/FF/0B 0A:5C 16777215.00 0|0|0|0|0"},
        // Text codes in Windows-1252, a zero byte read as a blank.
        {"2412053009 010000 414243000000 010000 030201 80E900 FFFFFF", texto14, 0,
         "24/12/05 09:30 1.00 ABC   |1|66051|€é |16777215"},
        // Numbers are the first three bytes of each field only.
        {"2412053009 010000 393000AABBCC", kSinTexto, 0, "24/12/05 09:30 1.00 12345|0|0|0|0"},
    };
    for (const auto& c : casos)
        EXPECT_EQ(Describir(DecodificarPesada(Registro(c.hex), c.texto, c.decimales, 1, 1, 1)),
                  QString::fromUtf8(c.esperado))
            << c.hex;
    // A short record does not read beyond the block.
    EXPECT_EQ(Describir(DecodificarPesada(QByteArray::fromHex("2412"), kSinTexto, 0, 1, 1, 1)),
              "24/12/00 00:00 0.00 0|0|0|0|0");
}

TEST(DecodificarTotales, DoscientasCincuentaEntradas) {
    QByteArray b(1250, '\0');
    b.replace(0, 5, QByteArray::fromHex("3930000201"));
    b.replace(5 * 249, 5, QByteArray::fromHex("FFFFFFFFFF"));
    const auto e = DecodificarTotales(b, 2);
    ASSERT_EQ(e.size(), 250);
    EXPECT_DOUBLE_EQ(e[0].total, 123.45);
    EXPECT_EQ(e[0].pesadas, 258);
    EXPECT_EQ(e[1].pesadas, 0);
    EXPECT_DOUBLE_EQ(e[249].total, 167772.15);
    EXPECT_EQ(e[249].pesadas, 65535);
    EXPECT_EQ(DecodificarTotales(b.left(7), 0).size(), 250);  // short answer: zeros, no overrun
}

class TablasProducto : public ::testing::Test {
  protected:
    void SetUp() override {
        DataCSPLU = DataCSPLU_SETUP = aux::kConexion;
        DataTbPLU = QStringLiteral("productos");
        DataTbPLU_SETUP = QStringLiteral("plu_setup");
    }
    CarpetaTemporal carpeta;
};

TEST_F(TablasProducto, LlenaOpcionesLeeHastaOchoFilasEnOrdenDeCodigo) {
    EXPECT_FALSE(Llena_Opciones().leido);  // no table yet

    // Inserted out of order; a ninth row must be ignored.
    ASSERT_TRUE(
        aux::Sql({"CREATE TABLE plu_setup (Codigo INTEGER, Nombre TEXT, Letra TEXT, "
                  "Alfa INTEGER, Texto INTEGER, CUIT INTEGER)",
                  "INSERT INTO plu_setup (Codigo, Alfa, Texto) VALUES (8, -1, 0), "
                  "(1, 0, -1), (3, 1, 1), (2, 0, 0), (9, 1, 1), (4, 0, 1), (5, -1, -1), "
                  "(6, 0, 0), (7, 0, 0), (0, NULL, NULL)"}));
    const OpcionesCampos o = Llena_Opciones();
    EXPECT_TRUE(o.leido);
    // Codigo order: 0 (nulls), 1, 2, 3, 4, 5, 6, 7; row 8 and 9 are beyond the eighth.
    const std::array<bool, 9> texto{false, true, false, true, true, true, false, false, false};
    const std::array<bool, 9> alfa{false, false, false, true, false, true, false, false, false};
    EXPECT_EQ(o.Texto, texto);
    EXPECT_EQ(o.Alfa, alfa);

    // One row, and no Alfa column: the scheduled download needs only Texto.
    ASSERT_TRUE(
        aux::Sql({"DROP TABLE plu_setup", "CREATE TABLE plu_setup (Codigo INTEGER, Texto INTEGER)",
                  "INSERT INTO plu_setup VALUES (1, -1)"}));
    const OpcionesCampos soloTexto = Llena_Opciones();
    EXPECT_TRUE(soloTexto.leido);
    EXPECT_EQ(soloTexto.Texto, (std::array<bool, 9>{true}));
    EXPECT_EQ(soloTexto.Alfa, (std::array<bool, 9>{}));
}

TEST_F(TablasProducto, NombresPLUReemplazaSoloLosGruposPedidos) {
    std::array<QString, 9> sinTabla = {"", "1"};
    std::array<bool, 9> grupo1{};
    grupo1[0] = true;
    EXPECT_THROW(NombresPLU(sinTabla, grupo1), ErrorBase);  // the caller is told

    ASSERT_TRUE(aux::Sql(
        {QStringLiteral("CREATE TABLE productos (Codigo INTEGER, Grupo INTEGER, Nombre TEXT, "
                        "EAN TEXT, Aux TEXT)"),
         "INSERT INTO productos VALUES (12, 1, 'Harina', '', ''), (12, 2, 'Azúcar', '', ''), "
         "(7, 5, 'Sal', '', ''), (9, 6, 'Grupo seis', '', '')"}));
    std::array<QString, 9> n = {"x", "12", "12", "99", "ABC   ", "7", "9", "9", "9"};
    std::array<bool, 9> usar{};
    usar[0] = usar[2] = usar[3] = usar[4] = usar[5] = true;
    NombresPLU(n, usar);
    EXPECT_EQ(n[1], "Harina");
    EXPECT_EQ(n[2], "12");  // group 2 not asked for
    EXPECT_EQ(n[3], "");    // code absent from group 3
    EXPECT_EQ(n[4], "");    // letters cannot be a code, and reach no SQL text
    EXPECT_EQ(n[5], "Sal");
    EXPECT_EQ(n[0], "x");
    EXPECT_EQ(n[6], "9");  // groups 6 to 8 are never looked up
}

TEST_F(TablasProducto, FilasDeProductosParaTotales) {
    ASSERT_TRUE(aux::Sql(
        {QStringLiteral("CREATE TABLE productos (Codigo INTEGER, Grupo INTEGER, Nombre TEXT)"),
         "INSERT INTO productos VALUES (5, 2, 'Segundo grupo'), "
         "(9, 1, 'Un nombre de producto muy largo que no entra'), (3, 1, 'Primero')"}));
    const auto filas = LeerFilasProductos();
    ASSERT_EQ(filas.size(), 250);
    EXPECT_EQ(filas[0].Codigo, 3);
    EXPECT_EQ(filas[1].Codigo, 9);
    EXPECT_EQ(filas[1].Nombre, "Un nombre de producto muy larg");
    EXPECT_EQ(filas[2].Grupo, 2);
    EXPECT_EQ(filas[3].Grupo, 0);
    EXPECT_EQ(filas[249].Nombre, "");

    DataTbPLU = QStringLiteral("no_existe");
    EXPECT_THROW(LeerFilasProductos(), ErrorAlmacenamiento);
}

}  // namespace
