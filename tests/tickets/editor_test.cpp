// The editor's sheet without widgets: the edges of the drop rule and of the arrow keys, what a
// sheet stores, and centring. The usual drops run through the window in ventanas_test.
#include <gtest/gtest.h>

#include <tuple>

#include "tickets/EditorTicket.h"

namespace {

using E = EditorTicket;

// The starting layout of a new data folder, in short: every field on the sheet.
DisenoTicket DisenoSencillo() {
    DisenoTicket d;
    for (int i = 0; i < CampoTicket::Filas; ++i)
        d[i] = {true, 1 + i % 20, 1 + i, true, QStringLiteral("Cap%1:").arg(i)};
    return d;
}

// A drop never lands past the last column nor left of or above the sheet; a line shows column 0
// and is stored at column 1.
TEST(EditorTicket, DropSnapsWithinTheSheet) {
    const struct {
        int etiqueta, x, y, fila, columna;
        const char* muestraColumna;
    } casos[] = {
        {9, 20000, 100, 1, 80, "80"}, {9, -500, -10, 1, 1, "1"}, {21, 5000, 1234, 7, 1, "0"}};
    for (const auto& c : casos) {
        E e;
        e.Abrir(DisenoSencillo());
        const auto mostrado = e.Soltar(c.etiqueta, c.x, c.y);
        EXPECT_TRUE(e.modificado());
        const FilaTicket f = e.Diseno()[c.etiqueta];
        EXPECT_EQ(std::tuple(f.ENABLE, f.FILA, f.COLUMNA), std::tuple(true, c.fila, c.columna))
            << c.etiqueta << " " << c.x;
        ASSERT_TRUE(mostrado.has_value());
        EXPECT_EQ(mostrado->columna, c.muestraColumna);
        EXPECT_EQ(mostrado->fila, QString::number(c.fila));
    }
}

TEST(EditorTicket, LoadingPlacesEnabledRowsAndSavingKeepsTheTrayOnesDisabled) {
    DisenoTicket d = DisenoSencillo();
    d[CampoTicket::Tara] = {false, 3, 3, true, QStringLiteral("Tara:")};
    d[CampoTicket::Hora] = {true, 21, 5, true, QStringLiteral("Hora:")};  // below the sheet
    d[CampoTicket::Fecha] = {true, 200, 5, true, QStringLiteral("Fecha:")};
    d[CampoTicket::PrimeraLinea] = {true, 4, 33, false, QStringLiteral("x")};
    E e;
    e.Abrir(d);
    const DisenoTicket guardado = e.Diseno();
    const struct {
        int fila;
        bool enable;
        int FILA, COLUMNA;
    } casos[] = {
        {CampoTicket::Tara, false, 22, 65},  // tray row 1, column 64
        {CampoTicket::Hora, false, 25, 65},   {CampoTicket::Fecha, false, 24, 65},
        {CampoTicket::Codigo1, true, 10, 10}, {CampoTicket::PrimeraLinea, true, 4, 1},
    };
    for (const auto& c : casos) {
        const FilaTicket& f = guardado[c.fila];
        EXPECT_EQ(std::tuple(f.ENABLE, f.FILA, f.COLUMNA), std::tuple(c.enable, c.FILA, c.COLUMNA))
            << c.fila;
    }
}

TEST(EditorTicket, CentringAndArrowKeysNeverLeaveTheSheet) {
    E e;
    e.Abrir(DisenoSencillo());
    e.EditarCaption(CampoTicket::Titulo1, QString(79, u'w'));
    e.Centrar(CampoTicket::Titulo1);
    EXPECT_EQ(e.Lugar(CampoTicket::Titulo1).x(), 60);
    // A stored caption may be longer than the sheet.
    DisenoTicket d = DisenoSencillo();
    d[CampoTicket::Titulo1].CAPTION = QString(85, u'w');
    e.Abrir(d);
    e.Centrar(CampoTicket::Titulo1);
    EXPECT_EQ(e.Diseno()[CampoTicket::Titulo1].COLUMNA, 1);

    // Arrow keys move within the sheet only.
    e.Abrir(DisenoSencillo());
    ASSERT_TRUE(e.Soltar(9, 0, 0));
    e.Limpiar();
    EXPECT_FALSE(e.Mover(9, -1, 0));
    EXPECT_FALSE(e.Mover(9, 0, -1));
    EXPECT_FALSE(e.modificado());
    for (int k = 0; k < 30; ++k) e.Mover(9, 0, 1);
    EXPECT_EQ(e.Diseno()[9].FILA, 20);  // a key never takes it off the sheet
    e.Soltar(9, 0, 5000);
    EXPECT_FALSE(e.Mover(9, 0, -1));  // nor from the tray
}

}  // namespace
