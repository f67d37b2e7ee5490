// The ticket record, byte by byte: descriptors, text zones, prepared titles, the fixed order of
// the 472 bytes, the layout checks and the preview.
#include <gtest/gtest.h>

#include "tickets/Ticket.h"

namespace {

// Every row enabled at a distinct place, captions naming the row.
DisenoTicket DisenoNumerado() {
    DisenoTicket d;
    for (int i = 0; i < CampoTicket::Filas; ++i)
        d[i] = {i % 2 == 0, i + 1, i + 2, i % 3 == 0, QStringLiteral("C%1").arg(i)};
    return d;
}

TEST(RegistroTicket, FieldsDescriptorsAndTitlesInTheTabledOrder) {
    const DisenoTicket d = DisenoNumerado();
    const QByteArray r = RegistroTicket(d, AjustesMembrete{});
    const int conTexto[16] = {9, 3, 5, 7, 10, 11, 12, 13, -1, 4, 6, 8, -1, -1, -1, -1};
    for (int k = 0; k < 16; ++k) {
        const QByteArray campo = r.mid(16 * k, 16);
        if (conTexto[k] < 0) {
            EXPECT_EQ(campo, QByteArray(4, '\0') + '\0' + QByteArray(11, ' ')) << k;
        } else {
            const FilaTicket& f = d[conTexto[k]];
            EXPECT_EQ(campo, Descriptor(f) + ZonaTexto(f.CAPTION.toLatin1(), 12)) << k;
        }
    }
    const int sinTexto[12] = {2, 15, 14, 16, 17, 18, 19, 20, 21, 22, 23, 24};
    for (int k = 0; k < 12; ++k) EXPECT_EQ(r.mid(256 + 4 * k, 4), Descriptor(d[sinTexto[k]])) << k;
    EXPECT_EQ(r.mid(304, 4), Descriptor(d[0]));
    EXPECT_EQ(r.mid(308, 80), ZonaTexto("C0", 80));
    EXPECT_EQ(r.mid(388, 4), Descriptor(d[1]));
    EXPECT_EQ(r.mid(392, 80), ZonaTexto("C1", 80));

    // Captions go as Windows-1252; a text zone is cut leaving one nul.
    EXPECT_EQ(ZonaTexto("123456789012345", 12), QByteArray("12345678901") + '\0');
    DisenoTicket a;
    a[CampoTicket::Codigo1].CAPTION = QStringLiteral("Año€");
    EXPECT_EQ(RegistroTicket(a, AjustesMembrete{}).mid(4, 5), QByteArray("A\xF1o\x80", 4) + '\0');
}

TEST(PrepararTitulo, PrefixesPerPrinterType) {
    const QByteArray esc(1, 27);
    const struct {
        int tipo;
        bool doble;
        int linea;
        QByteArray esperado;
    } casos[] = {
        {0, false, 0, "Hola"},
        {1, true, 1, "\x0EHola"},
        {2, false, 0, esc + "S0" + esc + "M03" + esc + "?7" + esc + "A03Hola" + esc + "A11"},
        {2, true, 1, esc + "A12Hola" + esc + "A11"},
        {3, true, 0, "\r\nFR\"VELA\"\r\n?\r\nHola"},
        {3, true, 1, "Hola"},
    };
    for (const auto& c : casos) {
        AjustesMembrete a;
        a.TipoImpre = c.tipo;
        a.L1N = a.L2N = c.doble;
        a.BarCode = 7;
        EXPECT_EQ(PrepararTitulo(c.linea, QStringLiteral("Hola"), a), c.esperado)
            << c.tipo << c.doble << c.linea;
    }
}

// The printer prefix counts against the 79 bytes of a title; the record stays 472 bytes whatever
// the captions.
TEST(PrepararTitulo, PrefixCountsAgainstTheSeventyNineBytes) {
    DisenoTicket largo = DisenoNumerado();
    for (FilaTicket& f : largo) f.CAPTION = QString(300, u'z');
    for (int tipo = 0; tipo < kTiposImpresora; ++tipo) {
        AjustesMembrete a;
        a.TipoImpre = tipo;
        a.L1N = a.L2N = true;
        EXPECT_EQ(RegistroTicket(largo, a).size(), kLargoRegistroTicket) << tipo;
    }
    DisenoTicket d;
    d[0].CAPTION = QString(78, u'a');
    d[1].CAPTION = QString(78, u'b');
    const struct {
        int tipo;
        bool doble;
        int prefijo1;  // bytes before the text of title 1
    } casos[] = {{0, true, 1}, {2, false, 14}, {3, false, 15}};
    for (const auto& c : casos) {
        AjustesMembrete a;
        a.TipoImpre = c.tipo;
        a.L1N = c.doble;
        const QByteArray r = RegistroTicket(d, a);
        const QByteArray zona1 = r.mid(308, 80);
        EXPECT_EQ(zona1.indexOf('\0'), 79) << c.tipo;
        EXPECT_EQ(zona1.count('a'), 79 - c.prefijo1) << c.tipo;  // the end of the text is lost
        EXPECT_FALSE(zona1.contains("A11")) << c.tipo;
    }
}

TEST(VistaTicket, PlacesFieldsWithCaptionsWithinTheLineWidth) {
    DisenoTicket d;
    d[CampoTicket::Titulo1] = {true, 1, 3, false, QStringLiteral("EMPRESA")};
    d[CampoTicket::NroTicket] = {true, 2, 1, true, QStringLiteral("Nro:")};
    d[CampoTicket::PesoBruto] = {true, 4, 5, false, QStringLiteral("Bruto:")};
    d[CampoTicket::PrimeraLinea] = {true, 3, 1, true, QStringLiteral("-")};
    d[CampoTicket::Codigo1] = {true, 2, 70, true, QStringLiteral("Patente:")};
    MuestraTicket m;
    m.Numero = 42;
    m.Bruto = 1500;
    m.Codigo[0] = QStringLiteral("ABC123");
    AjustesMembrete a;
    a.L1N = true;
    const QList<LineaVista> v = VistaTicket(d, a, m);
    ASSERT_EQ(v.size(), 4);
    EXPECT_EQ(v[0].texto, "  EMPRESA");
    EXPECT_TRUE(v[0].doble);
    // Codigo 1 from column 70 is cut at the 78 columns of the printer.
    EXPECT_EQ(v[1].texto, QStringLiteral("Nro:0000000042").leftJustified(69) + "Patente:A");
    EXPECT_EQ(v[2].texto, QString(78, u'-'));
    EXPECT_EQ(v[3].texto, "        1500.0 kg");  // no caption: C_ENABLE is off
}

}  // namespace
