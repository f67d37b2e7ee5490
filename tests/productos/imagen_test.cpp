// Byte layouts of the product image and of the group configuration, both directions.
#include <gtest/gtest.h>

#include "products/ImagenPLU.h"

namespace {

QByteArray Hex(const char* texto) {
    return QByteArray::fromHex(texto);
}

std::array<bool, 9> CuitEn(std::initializer_list<int> grupos) {
    std::array<bool, 9> c{};
    for (int g : grupos) c[g - 1] = true;
    return c;
}

TEST(ImagenPLU, NormalSlotAndTheEmptySlotAfterIt) {
    const Producto p{70000, 2, "AB", "", "x"};
    const QByteArray imagen = ArmarImagen({p}, CuitEn({}));
    ASSERT_EQ(imagen.size(), 13000);
    const QByteArray esperado = Hex("70110102414200") + QByteArray(44, ' ') + "x";
    EXPECT_EQ(imagen.left(52).toHex(' '), esperado.toHex(' '));
    EXPECT_EQ(imagen.mid(52), QByteArray(13000 - 52, '\0'));
    // An empty Aux goes as a blank.
    EXPECT_EQ(CodificarSlot({70000, 2, "AB", "", ""}, false).at(51), ' ');
}

TEST(ImagenPLU, TaxNumberSlot) {
    const QByteArray s = CodificarSlot({70000, 2, "AB", "20123456789", "A"}, true);
    ASSERT_EQ(s.size(), 52);
    EXPECT_EQ(s.mid(4, 31), QByteArray("AB") + '\0' + QByteArray(28, ' '));
    EXPECT_EQ(s.mid(35, 16), QByteArray("20123456789") + '\0' + QByteArray(4, ' '));
    EXPECT_EQ(s.at(51), 'A');
    // The layout is chosen by the group after clamping: group 12 is sent as 8.
    const QByteArray imagen =
        ArmarImagen({{5, 12, "N", "E", ""}, {6, -3, "M", "F", ""}}, CuitEn({8}));
    EXPECT_EQ(imagen.at(3), 8);
    EXPECT_EQ(imagen.mid(35, 2), QByteArray("E") + '\0');
    EXPECT_EQ(imagen.at(52 + 3), 1);
    EXPECT_EQ(imagen.mid(52 + 4, 2), QByteArray("M") + '\0');
}

TEST(ImagenPLU, FieldsLongerThanTheirPlaceAreCut) {
    const QString largo(46, QChar(u'n'));
    const QByteArray normal = CodificarSlot({1, 1, largo, "", ""}, false);
    EXPECT_EQ(normal.mid(4, 47), QByteArray(46, 'n') + '\0');
    const QByteArray cuit = CodificarSlot({1, 1, largo, QString(15, u'9'), ""}, true);
    EXPECT_EQ(cuit.mid(4, 31), QByteArray(31, 'n'));  // no terminator left
    EXPECT_EQ(cuit.mid(35, 16), QByteArray(15, '9') + '\0');
}

TEST(ImagenPLU, OnlyTheFirst250CodesAreSent) {
    QList<Producto> muchos;
    for (int i = 1; i <= 260; ++i) muchos.append({i, 1, "P", "", ""});
    const QList<Producto> leidos = LeerImagen(ArmarImagen(muchos, CuitEn({})), CuitEn({}));
    ASSERT_EQ(leidos.size(), 250);
    EXPECT_EQ(leidos.last().Codigo, 250);
}

TEST(ImagenPLU, ReadBackSkipsGroupZeroAndKeepsWindows1252) {
    const QList<Producto> productos{
        {1, 1, "uno", "", ""},           {2, 1, "dos", "", ""},
        {3, 1, "tres", "", ""},          {4, 1, "cuatro", "", ""},
        {5, 3, "Café ñandú €", "", "é"}, {16777215, 3, "Máximo", "30-1234", "Z"}};
    QByteArray imagen = ArmarImagen(productos, CuitEn({3}));
    EXPECT_EQ(imagen.mid(52 * 4 + 4, 12), QByteArray("Caf\xE9 \xF1"
                                                     "and\xFA \x80"));
    // Slot 5 marked empty by its group byte: skipped, slot 6 still read.
    imagen[52 * 4 + 3] = 0;
    const QList<Producto> leidos = LeerImagen(imagen, CuitEn({3}));
    ASSERT_EQ(leidos.size(), 5);
    EXPECT_EQ(leidos.mid(0, 4), productos.mid(0, 4));
    EXPECT_EQ(leidos[4], productos[5]);

    // Trailing blanks and the terminator go; a zero byte cuts the text.
    QByteArray slot = Hex("01000001") + QByteArray("AB  ") + QByteArray(43, ' ') + ' ';
    EXPECT_EQ(LeerImagen(slot, CuitEn({})).value(0).Nombre, "AB");
    EXPECT_EQ(LeerImagen(slot, CuitEn({})).value(0).Aux, "");
}

TEST(ConfiguracionGrupos, BytesWrittenAndReadBack) {
    OpcionesCampos o;
    o.Alfa[0] = o.Alfa[2] = true;
    o.Texto[1] = true;
    o.Cuit[2] = o.Cuit[5] = true;
    o.Nombre[0] = "PRODUCTO1234";  // 12 characters: sent whole
    o.Nombre[1] = "Señal";
    o.Nombre[7] = "demasiado largo";
    o.Letra[0] = "P";
    o.Letra[1] = "Cx";
    EXPECT_EQ(MascarasGrupos(o).toHex(' '), "05 02 24 00");
    EXPECT_EQ(LetrasGrupos(o), QByteArray("PC      "));
    const QByteArray nombres = NombresGrupos(o);
    ASSERT_EQ(nombres.size(), 96);
    EXPECT_EQ(nombres.left(24), QByteArray("PRODUCTO1234Se\xF1"
                                           "al       "));
    EXPECT_EQ(nombres.mid(84), QByteArray("demasiado la"));
    o.Cuit[5] = false;
    EXPECT_EQ(MascarasGrupos(o).toHex(' '), "05 02 04 00");

    o.Letra[1] = " ";
    const OpcionesCampos l =
        LeerConfiguracion(LetrasGrupos(o), MascarasGrupos(o) + QByteArray(4, 'x'), nombres);
    EXPECT_EQ(l.Nombre[0], "PRODUCTO123");  // the twelfth byte is not taken
    EXPECT_EQ(l.Nombre[1], "Señal");
    EXPECT_EQ(l.Nombre[2], "");
    EXPECT_EQ(l.Letra[0], "P");
    EXPECT_EQ(l.Letra[1], "");  // sent as a blank
    EXPECT_EQ(l.Alfa, o.Alfa);
    EXPECT_EQ(l.Texto, o.Texto);
    EXPECT_EQ(l.Cuit, o.Cuit);
    EXPECT_EQ(l.filas, 8);
    // Alphanumeric and text on the same group: the check boxes leave it text only. Zero bytes of
    // a blank indicator give empty texts.
    const OpcionesCampos ambos =
        LeerConfiguracion(QByteArray(8, '\0'), Hex("010100"), QByteArray(96, '\0'));
    EXPECT_FALSE(ambos.Alfa[0]);
    EXPECT_TRUE(ambos.Texto[0]);
    EXPECT_EQ(ambos.Nombre[0], "");
    EXPECT_EQ(ambos.Letra[0], "");
}

}  // namespace
