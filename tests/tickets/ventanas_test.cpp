// The layout editor and the letterhead window under offscreen Qt, found by their control names,
// with a scripted operator; the letterhead's transfer against the simulated indicator.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

#include <tuple>

#include "base/Globales.h"
#include "link/EnlaceDirecto.h"
#include "tests/tickets/CarpetaTickets.h"
#include "tickets/Membrete.h"
#include "tickets/ui/FrmMembrete.h"
#include "tickets/ui/FrmTicket.h"
#include "tickets/ui/HojaTicket.h"
#include "tickets/ui/VistaImpresa.h"

namespace {

template <typename T>
T* Hijo(QObject& w, const QString& nombre) {
    T* hijo = w.findChild<T*>(nombre);
    EXPECT_NE(hijo, nullptr) << nombre.toStdString();
    return hijo;
}

void Raton(QWidget* w, QEvent::Type tipo, QPoint p) {
    const Qt::MouseButtons botones =
        tipo == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(tipo, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::LeftButton, botones,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

DisenoTicket Leer(const TablaDatos& tickets, int modelo) {
    DisenoTicket d;
    QString error;
    EXPECT_TRUE(LeerDisenoTicket(TablaModelo(tickets, modelo), &d, &error)) << qPrintable(error);
    return d;
}

using Ventanas = CarpetaTickets;

// Drags and arrow keys are shown in the preview and stored; below the sheet is not printed.
// Changing the layout offers to save the one on screen; closing asks, and No drops the edits.
TEST_F(Ventanas, EditorStoresDropsAndKeysAndNeverLosesEditsSilently) {
    QStringList preguntasSalida;
    frmTicket::Respuesta respuestaSalida = frmTicket::Respuesta::No;
    frmTicket ventana(nullptr, &op);
    ventana.fijarPreguntaSalida([&](const QString& texto, const QString&) {
        preguntasSalida << texto;
        return respuestaSalida;
    });
    ventana.show();
    auto* hoja = Hijo<HojaTicket>(ventana, "picture_hoja");
    // Drags a label by a point inside it so that its top left lands on 0-based cells.
    const auto arrastrar = [&](int etiqueta, int columna, int fila) {
        const QPoint agarre(1, 1);
        const QPoint desde = hoja->Rectangulo(etiqueta).topLeft() + agarre;
        const QPoint hasta = hoja->APixeles({columna * 120, fila * 200}) + agarre;
        Raton(hoja, QEvent::MouseButtonPress, desde);
        Raton(hoja, QEvent::MouseMove, (desde + hasta) / 2);
        Raton(hoja, QEvent::MouseMove, hasta);
        Raton(hoja, QEvent::MouseButtonRelease, hasta);
    };
    auto* vista = Hijo<VistaImpresa>(ventana, "picVista");
    const auto filaEnVista = [&](const QString& texto) {
        for (int i = 0; i < vista->Lineas().size(); ++i)
            if (vista->Lineas()[i].texto.contains(texto)) return i + 1;
        return 0;
    };
    ASSERT_EQ(filaEnVista("Codigo 1:"), 6);  // the starting layout
    arrastrar(CampoTicket::Codigo1, 0, 11);
    EXPECT_EQ(filaEnVista("Codigo 1:"), 12);
    hoja->setFocus();
    QTest::keyClick(hoja, Qt::Key_Down);
    QTest::keyClick(hoja, Qt::Key_Right);
    EXPECT_EQ(filaEnVista("Codigo 1:"), 13);
    arrastrar(CampoTicket::PesoNeto, 4, 20);  // row 21: off the sheet
    arrastrar(CampoTicket::PrimeraLinea + 1, 30, 11);

    auto* selector = Hijo<QScrollBar>(ventana, "HScroll1");
    op.responder({true});
    selector->setValue(2);
    EXPECT_EQ(op.mensajes.size(), 1);
    const DisenoTicket d = Leer(tickets, 1);
    const auto lugar = [&](int i) { return std::tuple(d[i].ENABLE, d[i].FILA, d[i].COLUMNA); };
    EXPECT_EQ(lugar(CampoTicket::Codigo1), std::tuple(true, 13, 2));
    EXPECT_EQ(lugar(CampoTicket::PesoNeto), std::tuple(false, 23, 65));  // tray row 2, column 64
    // Lines keep column 1, caption "-" and its flag wherever they are dropped.
    EXPECT_EQ(lugar(CampoTicket::PrimeraLinea + 1), std::tuple(true, 12, 1));
    EXPECT_EQ(d[CampoTicket::PrimeraLinea + 1].CAPTION, "-");
    EXPECT_EQ(Leer(tickets, 2)[CampoTicket::Codigo1].COLUMNA, 1);  // untouched

    const int columna = Leer(tickets, 2)[CampoTicket::Hora].COLUMNA;
    arrastrar(CampoTicket::Hora, 50, 9);
    respuestaSalida = frmTicket::Respuesta::No;
    ventana.close();
    EXPECT_FALSE(ventana.isVisible());
    EXPECT_EQ(preguntasSalida.size(), 1);
    EXPECT_NE(columna, 51);
    EXPECT_EQ(Leer(tickets, 2)[CampoTicket::Hora].COLUMNA, columna);
}

// Cargar saves the settings and the two titles first (a label printer forces layout 5), then
// sends the record of that layout. Closing is refused while it runs.
TEST_F(Ventanas, LetterheadSavesAndSendsTheRecordOfTheSavedLayout) {
    SimuladorPrueba sim;
    sim.ConfigurarEnlaceTcp();
    EnlaceDirecto enlace;
    enlace.fijarEsperas(300, 2000);
    frmMembrete v(nullptr, &enlace, &op);
    v.show();
    Hijo<QRadioButton>(v, "OptImpre_3")->click();
    Hijo<QLineEdit>(v, "txtTexto_0")->setText("Empresa");
    Hijo<QLineEdit>(v, "txtTexto_1")->setText("Segunda");
    op.responder({true});
    Hijo<QPushButton>(v, "cmdCargarSetup")->click();
    v.close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !v.ocupada(); }, 30000));
    EXPECT_EQ(op.mensajes.size(), 1);  // the question only

    const AjustesMembrete a = LeerAjustesMembrete();
    EXPECT_EQ(std::tuple(a.TipoImpre, a.ModTicket), std::tuple(3, 5));
    const DisenoTicket d = Leer(tickets, 5);
    EXPECT_EQ((QStringList{d[0].CAPTION, d[1].CAPTION, d[2].CAPTION}),
              (QStringList{"Empresa", "Segunda", "Ticket:"}));
    EXPECT_EQ(Leer(tickets, 1)[0].CAPTION, "BASCORA");
    EXPECT_EQ(sim.leerRegistros(DirMembrete, kLargoRegistroTicket / 2), RegistroTicket(d, a));
}

}  // namespace
