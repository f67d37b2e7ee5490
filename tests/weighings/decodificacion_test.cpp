#include <gtest/gtest.h>

#include "base/Globales.h"
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
    EXPECT_EQ(DecodificarPesada(QByteArray::fromHex("2412"), kSinTexto, 0, 1, 1, 1).Fecha,
              "24/12/00");
}

TEST(DecodificarTotales, DoscientasCincuentaEntradas) {
    QByteArray b(1250, '\0');
    b.replace(0, 5, QByteArray::fromHex("3930000201"));
    b.replace(5 * 249, 5, QByteArray::fromHex("FFFFFFFFFF"));
    const auto e = DecodificarTotales(b, 2);
    ASSERT_EQ(e.size(), 250);
    EXPECT_DOUBLE_EQ(e[0].total, 123.45);
    EXPECT_DOUBLE_EQ(e[249].total, 167772.15);
    EXPECT_EQ(QList<int>({e[0].pesadas, e[249].pesadas}), QList<int>({258, 65535}));
    EXPECT_EQ(DecodificarTotales(b.left(7), 0).size(), 250);  // short answer: zeros, no overrun
}

TEST(NombresPLU, ReemplazaSoloLosGruposPedidos) {
    CarpetaTemporal carpeta;
    DataCSPLU = aux::kConexion;
    DataTbPLU = QStringLiteral("productos");
    ASSERT_TRUE(aux::Sql(
        {QStringLiteral("CREATE TABLE productos (Codigo INTEGER, Grupo INTEGER, Nombre TEXT, "
                        "EAN TEXT, Aux TEXT)"),
         "INSERT INTO productos VALUES (12, 1, 'Harina', '', ''), (12, 2, 'Azúcar', '', ''), "
         "(7, 5, 'Sal', '', ''), (9, 6, 'Grupo seis', '', '')"}));
    std::array<QString, 9> n = {"x", "12", "12", "99", "ABC   ", "7", "9", "9", "9"};
    std::array<bool, 9> usar{};
    usar[0] = usar[2] = usar[3] = usar[4] = usar[5] = true;
    NombresPLU(n, usar);
    // Group 2 not asked for, code absent from group 3, letters are no code and reach no SQL text,
    // groups 6 to 8 never looked up.
    EXPECT_EQ(QStringList(n.begin(), n.end()),
              QStringList({"x", "Harina", "12", "", "", "Sal", "9", "9", "9"}));
}

}  // namespace
