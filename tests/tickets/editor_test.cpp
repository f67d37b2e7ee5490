// The editor's sheet without widgets: the drop rule, what a sheet stores, and the label texts.
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

TEST(EditorTicket, DropSnapsToCellsAndBelowRowTwentyParksInTheTray) {
    const struct {
        int etiqueta, x, y;
        bool enHoja;
        int fila, columna;
        const char* muestraColumna;  // nullptr: nothing shown
    } casos[] = {
        {9, 130, 450, true, 3, 2, "2"},           // inside a cell: its top left
        {9, 9479, 3999, true, 20, 79, "79"},      // the last row
        {9, 20000, 100, true, 1, 80, "80"},       // never past the last column
        {9, -500, -10, true, 1, 1, "1"},          // nor left of or above the sheet
        {16, 100, 9000, false, 21, 65, nullptr},  // "Peso Bruto": tray row 0, column 64
        {0, 100, 4000, false, 27, 1, nullptr},    // "Titulo 1": tray row 6
        {21, 5000, 1234, true, 7, 1, "0"},        // a line: column 0 shown, stored as 1
    };
    for (const auto& c : casos) {
        E e;
        e.Abrir(DisenoSencillo());
        const auto mostrado = e.Soltar(c.etiqueta, c.x, c.y);
        EXPECT_TRUE(e.modificado());
        const FilaTicket f = e.Diseno()[c.etiqueta];
        EXPECT_EQ(f.ENABLE, c.enHoja) << c.etiqueta << " " << c.y;
        EXPECT_EQ(f.FILA, c.fila) << c.etiqueta << " " << c.y;
        EXPECT_EQ(f.COLUMNA, c.columna) << c.etiqueta << " " << c.x;
        ASSERT_EQ(mostrado.has_value(), c.muestraColumna != nullptr);
        if (mostrado) {
            EXPECT_EQ(mostrado->columna, c.muestraColumna);
            EXPECT_EQ(mostrado->fila, QString::number(c.fila));
        }
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

TEST(EditorTicket, LabelTextsFollowCaptionsAndTheirFlags) {
    E e;
    e.Abrir(DisenoSencillo());
    const struct {
        int campo;
        const char* texto;
    } casos[] = {{CampoTicket::Titulo1, "Cap0:"},
                 {CampoTicket::CCodigo3, "Cap6:XXXXXXXXXXXXXXX"},
                 {CampoTicket::Hora, "Cap14:XXXXXXXX"},
                 {CampoTicket::TaraManual, "Cap19:"}};
    for (const auto& c : casos) EXPECT_EQ(e.Texto(c.campo), c.texto) << c.campo;
    // An empty edit keeps the caption.
    e.EditarCaption(CampoTicket::Titulo2, QString());
    EXPECT_EQ(e.Caption(CampoTicket::Titulo2), "Cap1:");
}

TEST(EditorTicket, CentringUsesTheShownTextAndNeverGoesLeftOfTheSheet) {
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
}

TEST(EditorTicket, ArrowKeysMoveWithinTheSheetOnly) {
    E e;
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
