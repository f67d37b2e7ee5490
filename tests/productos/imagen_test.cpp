// Byte layouts of the product image and of the group configuration, where the transfer run's
// round trip cannot tell: absolute offsets, cuts, clamps, Windows-1252 and blank slots.
#include <gtest/gtest.h>

#include "products/ImagenPLU.h"

namespace {

std::array<bool, 9> CuitEn(std::initializer_list<int> grupos) {
    std::array<bool, 9> c{};
    for (int g : grupos) c[g - 1] = true;
    return c;
}

TEST(ImagenPLU, SlotLayoutsCutsAndTheGroupClamp) {
    const QByteArray imagen = ArmarImagen({{70000, 2, "AB", "", ""}}, CuitEn({}));
    EXPECT_EQ(imagen.left(52), QByteArray::fromHex("70110102414200") + QByteArray(45, ' '));
    EXPECT_EQ(imagen.mid(52), QByteArray(13000 - 52, '\0'));

    const QByteArray cuit = CodificarSlot({1, 1, QString(46, u'n'), QString(15, u'9'), "A"}, true);
    EXPECT_EQ(cuit.mid(4, 31), QByteArray(31, 'n'));  // no terminator left
    EXPECT_EQ(cuit.mid(35, 16), QByteArray(15, '9') + '\0');
    EXPECT_EQ(cuit.at(51), 'A');
    EXPECT_EQ(CodificarSlot({1, 1, QString(46, u'n'), "", ""}, false).mid(4, 47),
              QByteArray(46, 'n') + '\0');
    // The layout is chosen by the group after clamping: group 12 is sent as 8.
    const QByteArray fuera =
        ArmarImagen({{5, 12, "N", "E", ""}, {6, -3, "M", "F", ""}}, CuitEn({8}));
    EXPECT_EQ(fuera.at(3), 8);
    EXPECT_EQ(fuera.mid(35, 2), QByteArray("E") + '\0');
    EXPECT_EQ(fuera.at(52 + 3), 1);
}

TEST(ImagenPLU, OnlyTheFirst250CodesAreSentAndEmptySlotsAreSkipped) {
    QList<Producto> muchos;
    for (int i = 1; i <= 260; ++i) muchos.append({i, 1, "P", "", ""});
    muchos[4] = {5, 1, "Café ñandú €", "", "é"};
    QByteArray imagen = ArmarImagen(muchos, CuitEn({}));
    EXPECT_EQ(imagen.mid(52 * 4 + 4, 12), QByteArray("Caf\xE9 \xF1"
                                                     "and\xFA \x80"));
    EXPECT_EQ(LeerImagen(imagen, CuitEn({})).value(4), muchos[4]);
    imagen[3] = 0;  // slot 1 marked empty by its group byte
    const QList<Producto> leidos = LeerImagen(imagen, CuitEn({}));
    ASSERT_EQ(leidos.size(), 249);
    EXPECT_EQ(leidos.first().Codigo, 2);
    EXPECT_EQ(leidos.last().Codigo, 250);
    // A zero byte cuts the text.
    const QByteArray slot = QByteArray::fromHex("0100000141420043") + QByteArray(44, ' ');
    EXPECT_EQ(LeerImagen(slot, CuitEn({})).value(0).Nombre, "AB");
}

// Alphanumeric and text on the same group: the check boxes leave it text only. Zero bytes of a
// blank indicator give empty texts.
TEST(ConfiguracionGrupos, ABlankIndicatorGivesEmptyTextsAndNamesAreCut) {
    const OpcionesCampos ambos =
        LeerConfiguracion(QByteArray(8, '\0'), QByteArray::fromHex("010100"), QByteArray(96, '\0'));
    EXPECT_FALSE(ambos.Alfa[0]);
    EXPECT_TRUE(ambos.Texto[0]);
    EXPECT_EQ(ambos.Nombre[0], "");
    EXPECT_EQ(ambos.Letra[0], "");
    OpcionesCampos largo;
    largo.Nombre[7] = "demasiado largo";
    EXPECT_EQ(NombresGrupos(largo), QByteArray(84, ' ') + "demasiado la");
}

}  // namespace
