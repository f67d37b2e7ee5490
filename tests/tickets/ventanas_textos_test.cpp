// The letterhead window and the layout editor relabel themselves when the language changes while
// they are open.
#include <QCoreApplication>
#include <QFile>

#include "link/EnlaceDirecto.h"
#include "tests/support/CambioIdioma.h"
#include "tests/tickets/CarpetaTickets.h"
#include "tickets/ui/FrmMembrete.h"
#include "tickets/ui/FrmTicket.h"

namespace {

TEST_F(CarpetaTickets, OpenWindowsShowTheNewLanguageAtOnce) {
    EnlaceDirecto sinUso;  // nothing here talks to the indicator
    frmMembrete membrete(nullptr, &sinUso, &op);
    frmTicket editor(nullptr, &op);
    membrete.show();
    editor.show();
    ASSERT_EQ(Propiedad(membrete, "ChkNegrita_1", "text"), QStringLiteral("Linea 2"));

    PasarAIngles(carpeta, {&membrete, &editor});

    const struct {
        QWidget* ventana;
        const char* control;
        const char* propiedad;
        const char* ingles;
    } casos[] = {
        {&membrete, "frmMembrete", "windowTitle", "Ticket Format"},
        {&membrete, "ChkNegrita_1", "text", "Line 2"},
        {&membrete, "Option1_3", "text", "Ticket 3"},
        {&membrete, "FraFormulario", "title", "Use a form"},
        {&membrete, "cmdEditar", "toolTip", "Enables changing the ticket"},
        {&editor, "frmTicket", "windowTitle", "Ticket Editor"},
        {&editor, "Label5", "text", "Ticket:"},
        {&editor, "cmdCancel", "text", "Exit"},
    };
    for (const auto& c : casos)
        EXPECT_EQ(Propiedad(*c.ventana, c.control, c.propiedad), QString::fromUtf8(c.ingles))
            << c.control << "." << c.propiedad;
}

}  // namespace
