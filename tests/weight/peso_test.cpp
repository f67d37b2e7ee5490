// Decoding of the weight block, the display pattern and one reading over a scripted line.
#include <gtest/gtest.h>

#include <QLocale>

#include "link/Tramas.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/LineaGuion.h"
#include "weight/Peso.h"

namespace {

// Gross and net signed, tare unsigned; register n+1 is the high word; status high byte unused.
TEST(DecodificarPeso, SignsWordOrderFlagsAndLength) {
    LecturaPeso l;
    // Registers 2, 1, FFFF, FFFF, FFFE, FFFF, 0805, 0, low byte first as the read returns them.
    const QByteArray bloque = QByteArray::fromHex("0200 0100 FFFF FFFF FEFF FFFF 0508 0000");
    ASSERT_TRUE(DecodificarPeso(bloque, 0, l));
    EXPECT_EQ(QList<double>({l.Bruto, l.Tara, l.Neto}), QList<double>({65538, 4294967295.0, -2}));
    EXPECT_EQ(QList<int>({l.Bit0, l.Bit2, l.BitTara}), QList<int>({1, 1, 0}));
    for (int largo : {15, 17}) EXPECT_FALSE(DecodificarPeso(QByteArray(largo, '\x01'), 0, l));
    EXPECT_EQ(l.Bruto, 65538);  // a refused block leaves the reading as it was
}

TEST(FormatearPeso, NeverGroupedNoNegativeZeroAndTheLocaleSeparator) {
    const QLocale es(QLocale::Spanish, QLocale::Spain);
    EXPECT_EQ(FormatearPeso(1234567.5, 1, es), "1234567,5");
    EXPECT_EQ(FormatearPeso(-0.5, 3, es), "-0,500");
    EXPECT_EQ(FormatearPeso(-0.04, 1, QLocale::c()), "0.0");
}

TEST(LeePeso, RetriesBadAnswersAndUsesTheSettings) {
    CarpetaTemporal carpeta;
    carpeta.escribir("bascora.ini", "[global]\r\nID_1=7.\r\nDecimales_1=1.\r\n");
    QByteArray buena = QByteArray("\x07\x03\x10", 3);
    for (quint16 r : {1500, 0, 20, 0, 1480, 0, 8, 0})
        buena += char(r >> 8), buena += char(r & 0xFF);
    buena += crc16(buena);
    QByteArray malCrc = buena;
    malCrc[20] = char(malCrc[20] ^ 1);
    LineaGuion linea;
    linea.respuestas = {buena.left(20), malCrc, buena};
    int balanza = 1, b2 = 9, b0 = 9, bt = 9;
    double bruto = 0, tara = 0, neto = 0;
    ASSERT_TRUE(LeePeso(linea, balanza, bruto, tara, neto, b2, b0, bt));
    EXPECT_EQ(linea.enviadas, QList<QByteArray>(3, TramaLectura(7, 0, 8)));
    EXPECT_EQ(QList<double>({bruto, tara, neto}), QList<double>({150, 2, 148}));
    linea.respuestas = {QByteArray(), buena + "x", buena.left(20)};  // none, long, short
    EXPECT_FALSE(LeePeso(linea, balanza, bruto, tara, neto, b2, b0, bt));
    EXPECT_EQ(bruto, kSinLectura);

    // Decimals outside 0..9 in the file would overflow the scale.
    carpeta.escribir("bascora.ini", "[global]\r\nDecimales_1=400.\r\n");
    EXPECT_EQ(DecimalesPeso(), 9);
    carpeta.escribir("bascora.ini", "[global]\r\nDecimales_1=-3.\r\n");
    EXPECT_EQ(DecimalesPeso(), 0);
}

}  // namespace
