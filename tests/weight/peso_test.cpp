// Decoding of the weight block, the display pattern, the lamp rule and one reading over a
// scripted line.
#include <gtest/gtest.h>

#include <QList>
#include <QLocale>

#include "link/Tramas.h"
#include "link/Transporte.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/LineaGuion.h"
#include "weight/Peso.h"

namespace {

// Register values as the indicator holds them, to data bytes as the read exchange returns them.
QByteArray Bloque(std::initializer_list<quint16> registros) {
    QByteArray b;
    for (quint16 r : registros) b += char(r & 0xFF), b += char(r >> 8);
    return b;
}

// The answer frame of a read of these registers at slave `id`, CRC included.
QByteArray RespuestaLectura(int id, std::initializer_list<quint16> registros) {
    QByteArray f = QByteArray(1, char(id)) + '\x03' + char(2 * registros.size());
    for (quint16 r : registros) f += char(r >> 8), f += char(r & 0xFF);
    return f + crc16(f);
}

TEST(DecodificarPeso, SignsWordOrderAndFlags) {
    LecturaPeso l;
    ASSERT_TRUE(DecodificarPeso(Bloque({12345, 0, 100, 0, 12245, 0, 8, 0}), 2, l));
    EXPECT_DOUBLE_EQ(l.Bruto, 123.45);
    EXPECT_DOUBLE_EQ(l.Tara, 1.00);
    EXPECT_DOUBLE_EQ(l.Neto, 122.45);
    EXPECT_EQ(l.BitTara, 1);
    EXPECT_EQ(l.Bit0 + l.Bit2, 0);
    EXPECT_FALSE(LamparaRoja(l.Bit2, l.Bit0, l.Neto));

    // Gross and net signed, tare unsigned; register n+1 is the high word; status high byte unused.
    ASSERT_TRUE(
        DecodificarPeso(Bloque({0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFE, 0xFFFF, 0x0805, 0}), 0, l));
    EXPECT_DOUBLE_EQ(l.Bruto, -1);
    EXPECT_DOUBLE_EQ(l.Tara, 4294967295.0);
    EXPECT_DOUBLE_EQ(l.Neto, -2);
    EXPECT_EQ(l.Bit0, 1);
    EXPECT_EQ(l.Bit2, 1);
    EXPECT_EQ(l.BitTara, 0);
    ASSERT_TRUE(DecodificarPeso(Bloque({2, 1, 0, 0x8000, 0xFFFF, 0x7FFF, 0, 0}), 1, l));
    EXPECT_DOUBLE_EQ(l.Bruto, 6553.8);
    EXPECT_DOUBLE_EQ(l.Tara, 214748364.8);
    EXPECT_DOUBLE_EQ(l.Neto, 214748364.7);

    l.Tara = 7;
    EXPECT_FALSE(DecodificarPeso(QByteArray(15, '\x01'), 0, l));
    EXPECT_FALSE(DecodificarPeso(QByteArray(17, '\x01'), 0, l));
    EXPECT_EQ(l.Tara, 7);
}

TEST(FormatearPeso, PatternDecimalsSeparatorAndLamp) {
    const QLocale c = QLocale::c(), es(QLocale::Spanish, QLocale::Spain);
    const struct {
        double valor;
        int decimales;
        QLocale idioma;
        const char* texto;
    } casos[] = {{1500, 0, c, "1500"},
                 {15, 2, es, "15,00"},
                 {1234567.5, 1, es, "1234567,5"},  // never grouped
                 {-0.5, 3, es, "-0,500"},
                 {-0.04, 1, c, "0.0"}};  // no "-0.0"
    for (const auto& k : casos)
        EXPECT_EQ(FormatearPeso(k.valor, k.decimales, k.idioma), k.texto) << k.texto;

    EXPECT_TRUE(LamparaRoja(0, 0, 0));
    EXPECT_TRUE(LamparaRoja(0, 0, -3));
    EXPECT_TRUE(LamparaRoja(1, 0, 10));
    EXPECT_TRUE(LamparaRoja(0, 1, 10));
}

TEST(LeePeso, RetriesBadAnswersAndUsesTheSettings) {
    CarpetaTemporal carpeta;
    carpeta.escribir("bascora.ini", "[global]\r\nID_1=7.\r\nDecimales_1=1.\r\n");
    LineaGuion linea;
    const QByteArray buena = RespuestaLectura(7, {1500, 0, 20, 0, 1480, 0, 8, 0});
    QByteArray malCrc = buena;
    malCrc[20] = char(malCrc[20] ^ 1);
    linea.respuestas = {buena.left(20), malCrc, buena};
    int balanza = 1, b2 = 9, b0 = 9, bt = 9;
    double bruto = 0, tara = 0, neto = 0;
    ASSERT_TRUE(LeePeso(linea, balanza, bruto, tara, neto, b2, b0, bt));
    EXPECT_EQ(linea.enviadas.size(), 3);
    EXPECT_EQ(linea.enviadas[0], TramaLectura(7, 0, 8));
    EXPECT_DOUBLE_EQ(bruto, 150.0);
    EXPECT_DOUBLE_EQ(tara, 2.0);
    EXPECT_DOUBLE_EQ(neto, 148.0);
    EXPECT_EQ(bt, 1);
    EXPECT_EQ(b0 + b2, 0);

    // Three failures (none, long, short) set only the gross.
    linea.enviadas.clear();
    linea.respuestas = {QByteArray(), buena + "x", buena.left(20)};
    b2 = b0 = bt = 9, tara = 5, neto = 6;
    EXPECT_FALSE(LeePeso(linea, balanza, bruto, tara, neto, b2, b0, bt));
    EXPECT_EQ(linea.enviadas.size(), 3);
    EXPECT_EQ(bruto, kSinLectura);
    EXPECT_EQ(tara + neto, 11);
    EXPECT_EQ(b2 + b0 + bt, 27);

    // A gross of the no-reading value (-999999 = 0xFFF0'BDC1) is still a reading.
    carpeta.escribir("bascora.ini", "[global]\r\nID_1=7.\r\n");
    linea.respuestas = {RespuestaLectura(7, {0xBDC1, 0xFFF0, 0, 0, 0xBDC1, 0xFFF0, 0, 0})};
    EXPECT_TRUE(LeePeso(linea, balanza, bruto, tara, neto, b2, b0, bt));
    EXPECT_EQ(bruto, -999999);
    EXPECT_EQ(linea.enviadas.size(), 4);
    // Every request of a reading awaits the whole 8-register answer.
    EXPECT_EQ(linea.esperas, QList<int>(linea.esperas.size(), 21));

    // Decimals outside 0..9 in the file would overflow the scale.
    carpeta.escribir("bascora.ini", "[global]\r\nDecimales_1=400.\r\n");
    EXPECT_EQ(DecimalesPeso(), 9);
    carpeta.escribir("bascora.ini", "[global]\r\nDecimales_1=-3.\r\n");
    EXPECT_EQ(DecimalesPeso(), 0);
}

}  // namespace
