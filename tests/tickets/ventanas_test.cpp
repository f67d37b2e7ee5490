// The letterhead window and the layout editor under offscreen Qt, found by their control names,
// with a scripted operator; the letterhead's transfer against the simulated indicator.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

#include <tuple>

#include "app/ui/FrmPrincipal.h"
#include "base/Globales.h"
#include "link/EnlaceDirecto.h"
#include "settings/Config.h"
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

void Raton(QWidget* w, QEvent::Type tipo, QPoint p, Qt::MouseButton boton) {
    const Qt::MouseButtons botones = tipo == QEvent::MouseButtonRelease ? Qt::NoButton : boton;
    QMouseEvent e(tipo, QPointF(p), w->mapToGlobal(QPointF(p)), boton, botones, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

DisenoTicket Leer(const TablaDatos& tickets, int modelo) {
    DisenoTicket d;
    QString error;
    EXPECT_TRUE(LeerDisenoTicket(TablaModelo(tickets, modelo), &d, &error)) << qPrintable(error);
    return d;
}

class Editor : public CarpetaTickets {
  protected:
    void SetUp() override {
        CarpetaTickets::SetUp();
        ventana = std::make_unique<frmTicket>(nullptr, &op);
        ventana->fijarPreguntaSalida([this](const QString& texto, const QString&) {
            preguntasSalida << texto;
            return respuestaSalida;
        });
        ventana->show();
        hoja = Hijo<HojaTicket>(*ventana, "picture_hoja");
    }
    void TearDown() override {
        respuestaSalida = frmTicket::Respuesta::No;
        ventana.reset();
        CarpetaTickets::TearDown();
    }
    // Drags a label by a point inside it so that its top left lands on `columna`, `fila`
    // (0-based cells).
    void Arrastrar(int etiqueta, int columna, int fila) {
        const QPoint agarre(1, 1);
        const QPoint desde = hoja->Rectangulo(etiqueta).topLeft() + agarre;
        const QPoint hasta = hoja->APixeles({columna * 120, fila * 200}) + agarre;
        Raton(hoja, QEvent::MouseButtonPress, desde, Qt::LeftButton);
        Raton(hoja, QEvent::MouseMove, (desde + hasta) / 2, Qt::LeftButton);
        Raton(hoja, QEvent::MouseMove, hasta, Qt::LeftButton);
        Raton(hoja, QEvent::MouseButtonRelease, hasta, Qt::LeftButton);
    }
    // Right-clicks a field and chooses a menu item.
    void Menu(int campo, const char* menu, const char* item) {
        Raton(hoja, QEvent::MouseButtonPress, hoja->Rectangulo(campo).center(), Qt::RightButton);
        auto* m = Hijo<QMenu>(*ventana, QString::fromLatin1(menu));
        ASSERT_TRUE(m && m->isVisible()) << menu;
        Hijo<QAction>(*m, QString::fromLatin1(item))->trigger();
        m->hide();
    }

    std::unique_ptr<frmTicket> ventana;
    HojaTicket* hoja = nullptr;
    QStringList preguntasSalida;
    frmTicket::Respuesta respuestaSalida = frmTicket::Respuesta::No;
};

TEST_F(Editor, DropsAndArrowKeysAreStoredAndShownAndBelowTheSheetIsNotPrinted) {
    auto* vista = Hijo<VistaImpresa>(*ventana, "picVista");
    const auto filaEnVista = [&](const QString& texto) {
        for (int i = 0; i < vista->Lineas().size(); ++i) {
            if (vista->Lineas()[i].texto.contains(texto)) return i + 1;
        }
        return 0;
    };
    ASSERT_EQ(filaEnVista("Codigo 1:"), 6);  // the starting layout
    Arrastrar(CampoTicket::Codigo1, 0, 11);
    EXPECT_EQ(filaEnVista("Codigo 1:"), 12);
    EXPECT_EQ(Hijo<QLabel>(*ventana, "Label1")->text(), "1");
    EXPECT_EQ(Hijo<QLabel>(*ventana, "Label2")->text(), "12");
    hoja->setFocus();
    QTest::keyClick(hoja, Qt::Key_Down);
    QTest::keyClick(hoja, Qt::Key_Right);
    EXPECT_EQ(filaEnVista("Codigo 1:"), 13);
    Arrastrar(CampoTicket::PesoNeto, 4, 20);  // row 21: off the sheet
    Arrastrar(CampoTicket::PrimeraLinea + 1, 30, 11);
    Hijo<QPushButton>(*ventana, "cmdOK")->click();

    const DisenoTicket d = Leer(tickets, 1);
    const auto lugar = [&](int i) { return std::tuple(d[i].ENABLE, d[i].FILA, d[i].COLUMNA); };
    EXPECT_EQ(lugar(CampoTicket::Codigo1), std::tuple(true, 13, 2));
    EXPECT_EQ(lugar(CampoTicket::PesoNeto), std::tuple(false, 23, 65));  // tray row 2, column 64
    // Lines keep column 1, caption "-" and its flag wherever they are dropped.
    EXPECT_EQ(lugar(CampoTicket::PrimeraLinea + 1), std::tuple(true, 12, 1));
    for (int i = CampoTicket::PrimeraLinea; i < CampoTicket::Filas; ++i)
        EXPECT_EQ(std::tuple(d[i].COLUMNA, d[i].CAPTION.toStdString(), d[i].C_ENABLE),
                  std::tuple(1, std::string("-"), true));
    // Saved: closing asks nothing.
    ventana->close();
    EXPECT_TRUE(preguntasSalida.isEmpty());
}

TEST_F(Editor, MenuItemsEditCentreAndHideWithTheirQuestions) {
    QStringList pedidos;
    QString respuesta = QStringLiteral("12345678901234567890");
    ventana->fijarPedidoTexto([&](const QString& pregunta, const QString& titulo, const QString&) {
        pedidos << pregunta + u'|' + titulo;
        return std::optional<QString>(respuesta);
    });
    Menu(CampoTicket::Codigo2, "menu_label_2", "Editar");
    respuesta = QString(100, u't');
    Menu(CampoTicket::Titulo1, "menu_label_1", "Editar");
    EXPECT_EQ(pedidos, (QStringList{"Ingrese el texto.|Codigo 2", "Ingrese el texto.|Titulo 1"}));

    op.responder({false});
    Menu(CampoTicket::PesoBruto, "menu_label_3", "Ocultar");
    op.responder({true});
    Menu(CampoTicket::NroTicket, "menu_label_3", "Centrar");
    EXPECT_EQ(op.textos(), (QStringList{"Desea ver el texto?", "Desea centrar el texto?"}));
    EXPECT_EQ(ventana->editor().Texto(CampoTicket::PesoBruto), "XXXXXXXXXX kg");

    Hijo<QPushButton>(*ventana, "cmdOK")->click();
    const DisenoTicket d = Leer(tickets, 1);
    EXPECT_EQ(d[CampoTicket::Codigo2].CAPTION, "12345678901");
    EXPECT_EQ(d[CampoTicket::Titulo1].CAPTION, QString(79, u't'));
    EXPECT_FALSE(d[CampoTicket::PesoBruto].C_ENABLE);
    EXPECT_EQ(d[CampoTicket::NroTicket].COLUMNA, 33);  // "Ticket:XXXXXXXXXX" centred
}

TEST_F(Editor, ChangingTheSelectorOffersToSaveTheLayoutThatWasOnScreen) {
    auto* selector = Hijo<QScrollBar>(*ventana, "HScroll1");
    Arrastrar(CampoTicket::Codigo1, 5, 5);
    op.responder({true});
    selector->setValue(2);
    EXPECT_EQ(op.textos(), QStringList{"Desea guardar los cambios en Ticket 1 ? "});
    EXPECT_EQ(Leer(tickets, 1)[CampoTicket::Codigo1].FILA, 6);
    EXPECT_EQ(Leer(tickets, 2)[CampoTicket::Codigo1].COLUMNA, 1);  // untouched
    EXPECT_FALSE(ventana->editor().modificado());

    // No: the edits are dropped, the flag cleared.
    Arrastrar(CampoTicket::Codigo1, 7, 7);
    selector->setValue(3);
    EXPECT_EQ(op.textos().last(), "Desea guardar los cambios en Ticket 2 ? ");
    EXPECT_EQ(Leer(tickets, 2)[CampoTicket::Codigo1].FILA, 6);
    selector->setValue(4);
    EXPECT_EQ(op.mensajes.size(), 2);  // nothing changed, nothing asked
}

TEST_F(Editor, ExitQuestionAfterAnyPressCancelStaysNoDrops) {
    const QPoint fecha = hoja->Rectangulo(CampoTicket::Fecha).center();
    Raton(hoja, QEvent::MouseButtonPress, fecha, Qt::LeftButton);  // a press marks it changed
    Raton(hoja, QEvent::MouseButtonRelease, fecha, Qt::LeftButton);
    respuestaSalida = frmTicket::Respuesta::Cancelar;
    Hijo<QPushButton>(*ventana, "cmdCancel")->click();
    EXPECT_TRUE(ventana->isVisible());
    EXPECT_EQ(preguntasSalida, QStringList{"Desea guardar los cambios en Ticket 1 ? "});

    const int columna = Leer(tickets, 1)[CampoTicket::Hora].COLUMNA;
    Arrastrar(CampoTicket::Hora, 50, 9);
    respuestaSalida = frmTicket::Respuesta::No;
    ventana->close();
    EXPECT_FALSE(ventana->isVisible());
    EXPECT_EQ(preguntasSalida.size(), 2);
    EXPECT_NE(columna, 51);
    EXPECT_EQ(Leer(tickets, 1)[CampoTicket::Hora].COLUMNA, columna);
}

TEST_F(Editor, LayoutFiveNarrowsTheSheetAndLocksFieldsUntilTheChord) {
    ventana->FijarModelo(5);
    EXPECT_EQ(ventana->editor().Texto(CampoTicket::PrimeraLinea), QString(40, u'-'));

    const QPoint antes = ventana->editor().Lugar(CampoTicket::Codigo1);
    Arrastrar(CampoTicket::Codigo1, 20, 2);
    EXPECT_EQ(ventana->editor().Lugar(CampoTicket::Codigo1), antes);
    Arrastrar(CampoTicket::PrimeraLinea, 0, 15);  // lines still move
    EXPECT_EQ(ventana->editor().Lugar(CampoTicket::PrimeraLinea), QPoint(0, 3000));

    QTest::keyClick(hoja, Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
    Arrastrar(CampoTicket::Codigo1, 20, 2);
    EXPECT_EQ(ventana->editor().Lugar(CampoTicket::Codigo1), QPoint(2400, 400));
    ventana->FijarModelo(1);  // a full sheet again
    EXPECT_EQ(ventana->editor().Texto(CampoTicket::PrimeraLinea), QString(80, u'-'));
}

class Membrete : public CarpetaTickets {
  protected:
    void SetUp() override {
        CarpetaTickets::SetUp();
        sim.ConfigurarEnlaceTcp();
        enlace.fijarEsperas(300, 2000);
    }
    std::unique_ptr<frmMembrete> Abrir() {
        auto v = std::make_unique<frmMembrete>(nullptr, &enlace, &op);
        v->show();
        return v;
    }
    SimuladorPrueba sim;
    EnlaceDirecto enlace;
};

TEST_F(Membrete, LoadAppliesPrinterTypeDoubleWidthAndLayoutFromTheSettings) {
    Sql("UPDATE Ticket5 SET CAPTION = '" + QString(70, u'a') + "' WHERE Id = 1");
    GuardarConfig("global", "TipoImpre", 2);
    GuardarConfig("global", "L1N", 1);
    GuardarConfig("global", "ModTicket", 5);
    auto v = Abrir();
    EXPECT_TRUE(Hijo<QRadioButton>(*v, "OptImpre_2")->isChecked());
    EXPECT_TRUE(Hijo<QRadioButton>(*v, "Option1_5")->isChecked());
    auto* t0 = Hijo<QLineEdit>(*v, "txtTexto_0");
    EXPECT_TRUE(Hijo<QCheckBox>(*v, "ChkNegrita_0")->isChecked());
    EXPECT_EQ(t0->text(), QString(30, u'a'));  // double width: half of the 60 columns

    // Types 0 and 1 force layout 1 and clear the double-width boxes.
    Hijo<QRadioButton>(*v, "OptImpre_1")->click();
    EXPECT_TRUE(Hijo<QRadioButton>(*v, "Option1_1")->isChecked());
    EXPECT_FALSE(Hijo<QCheckBox>(*v, "ChkNegrita_0")->isChecked());
    EXPECT_EQ(t0->text(), "BASCORA");
    EXPECT_EQ(t0->maxLength(), 78);
    Hijo<QCheckBox>(*v, "ChkNegrita_1")->click();
    EXPECT_EQ(Hijo<QLineEdit>(*v, "txtTexto_1")->maxLength(), 39);

    // A layout loads its two titles.
    Sql("UPDATE Ticket3 SET CAPTION = 'Tres' WHERE Id = 2");
    Hijo<QRadioButton>(*v, "Option1_3")->click();
    EXPECT_EQ(Hijo<QLineEdit>(*v, "txtTexto_1")->text(), "Tres");
}

TEST_F(Membrete, SaveStoresSettingsAndTheTwoTitlesOnlyAndEditOpensTheChosenLayout) {
    auto v = Abrir();
    Hijo<QRadioButton>(*v, "Option1_4")->click();
    Hijo<QCheckBox>(*v, "ChkNegrita_1")->click();
    Hijo<QLineEdit>(*v, "txtTexto_0")->setText("Primera");
    Hijo<QLineEdit>(*v, "txtTexto_1")->setText("Segunda");
    Hijo<QPushButton>(*v, "CmdGuardar")->click();
    const AjustesMembrete a = LeerAjustesMembrete();
    EXPECT_EQ(std::tuple(a.ModTicket, a.L1N, a.L2N, a.TipoImpre), std::tuple(4, false, true, 0));
    const DisenoTicket d = Leer(tickets, 4);
    EXPECT_EQ((QStringList{d[0].CAPTION, d[1].CAPTION, d[2].CAPTION}),
              (QStringList{"Primera", "Segunda", "Ticket:"}));
    EXPECT_EQ(Leer(tickets, 1)[0].CAPTION, "BASCORA");

    // The preview prints the titles, the second in double width.
    const QList<LineaVista> lineas = Hijo<VistaImpresa>(*v, "picVista")->Lineas();
    ASSERT_GE(lineas.size(), 2);
    EXPECT_EQ(lineas[1].texto, "Segunda");
    EXPECT_TRUE(lineas[1].doble);
    EXPECT_FALSE(lineas[0].doble);

    Hijo<QPushButton>(*v, "cmdEditar")->click();
    auto* editor = v->findChild<frmTicket*>();
    ASSERT_NE(editor, nullptr) << op.textos().join(u'|').toStdString();
    EXPECT_EQ(editor->modelo(), 4);
    editor->close();
}

TEST_F(Membrete, CargarSendsTheRecordOfTheSavedLayout) {
    auto v = Abrir();
    Hijo<QRadioButton>(*v, "OptImpre_3")->click();
    Hijo<QLineEdit>(*v, "txtTexto_0")->setText("Empresa");
    op.responder({true});
    Hijo<QPushButton>(*v, "cmdCargarSetup")->click();
    EXPECT_TRUE(v->ocupada() || sim.tramasRecibidas() > 0);
    v->close();  // refused while the transfer runs
    ASSERT_TRUE(QTest::qWaitFor([&] { return !v->ocupada(); }, 30000));
    EXPECT_EQ(op.textos(), QStringList{"Desea cargar el Ticket en el indicador?"});

    // Saved first (a label printer forces layout 5), then the record of that layout sent.
    const AjustesMembrete a = LeerAjustesMembrete();
    EXPECT_EQ(std::tuple(a.TipoImpre, a.ModTicket), std::tuple(3, 5));
    const DisenoTicket d = Leer(tickets, 5);
    EXPECT_EQ(d[0].CAPTION, "Empresa");
    EXPECT_EQ(sim.leerRegistros(DirMembrete, kLargoRegistroTicket / 2), RegistroTicket(d, a));
}

// The main window's letterhead command: the Mirto model sends the short form, the Vela model
// opens the letterhead window.
TEST_F(Membrete, MainWindowLetterheadCommandFollowsTheModel) {
    GuardarConfig("Global", "Indicador_1", 1);
    carpeta.escribir("corto.txt", "ABC");
    {
        FrmPrincipal principal(&op);
        principal.show();
        op.responder({true});
        op.elegir({carpeta.ruta("corto.txt")});
        principal.mnuMembrete();
        ASSERT_TRUE(QTest::qWaitFor([&] { return sim.tramasRecibidas() >= 2; }, 30000));
        QTest::qWait(50);
        EXPECT_EQ(op.textos().first(), "Desea enviar un formulario de ticket?");
        EXPECT_EQ(sim.leerRegistros(kDirFormularioCorto, 2), QByteArray("ABC", 4));
        EXPECT_EQ(principal.findChild<frmMembrete*>(), nullptr);
    }
    GuardarConfig("Global", "Indicador_1", 2);
    FrmPrincipal principal(&op);
    principal.show();
    principal.mnuMembrete();
    QWidget* abierta = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == u"frmMembrete" && w->isVisible()) abierta = w;
    ASSERT_NE(abierta, nullptr);
    EXPECT_FALSE(principal.isVisible());
    abierta->close();  // deletes itself
    QTest::qWait(20);
}

}  // namespace
