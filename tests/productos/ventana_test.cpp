// frmPLU on the offscreen platform, found by control names, with a scripted operator.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "base/Globales.h"
#include "products/ui/FrmPLU.h"
#include "reports/ui/FrmDataGrid.h"
#include "tests/productos/Entorno.h"

namespace {

class VentanaPLU : public EntornoProductos {
  protected:
    std::unique_ptr<frmPLU> Abrir() {
        auto v = std::make_unique<frmPLU>(nullptr, &enlace, &op);
        v->show();
        return v;
    }
    template <typename W>
    static W* Control(QWidget* v, const char* nombre) {
        W* w = v->findChild<W*>(QLatin1String(nombre));
        EXPECT_NE(w, nullptr) << nombre;
        return w;
    }
    static QString Caption(QWidget* v) { return Control<ControlDatos>(v, "Data1")->caption(); }
    static QString Dato(QWidget* v, int i) {
        return Control<QLineEdit>(v, QStringLiteral("txt_Dato_%1").arg(i).toLatin1())->text();
    }
};

TEST_F(VentanaPLU, AddsInTwoStepsUpToTheCapacity) {
    QList<Producto> llenos;
    for (int i = 1; i <= 249; ++i) llenos.append({i, 1 + i % 8, "P", "", ""});
    Llenar(llenos);
    auto v = Abrir();
    ASSERT_TRUE(v->cargada());
    EXPECT_EQ(v->CantCodigos(), 249);
    EXPECT_EQ(Control<ControlDatos>(v.get(), "Data1")->toolTip(), "Cantidad total de codigos: 249");
    auto* agregar = Control<QPushButton>(v.get(), "cmdAgregar");
    auto* grupo = Control<QComboBox>(v.get(), "Cmb_Grupo");
    grupo->setCurrentIndex(2);
    agregar->click();
    EXPECT_EQ(agregar->text(), "Actualizar");
    EXPECT_FALSE(Control<QPushButton>(v.get(), "cmdDelete")->isEnabled());
    auto* codigo = Control<QLineEdit>(v.get(), "txt_Dato_0");
    EXPECT_FALSE(codigo->isReadOnly());
    QTest::keyClicks(codigo, "7a0-0.0x0");  // letters never reach the box
    EXPECT_EQ(codigo->text(), "70000");
    Control<QLineEdit>(v.get(), "txt_Dato_2")->insert("Café");
    agregar->click();
    EXPECT_EQ(agregar->text(), "Ag&regar");
    EXPECT_EQ(v->CantCodigos(), 250);
    EXPECT_TRUE(Tabla().contains(Producto{70000, 3, "Café", "", ""}));
    EXPECT_EQ(Dato(v.get(), 0), "70000");

    agregar->click();  // the 251st
    EXPECT_EQ(op.textos().last(), "No hay espacio para agregar mas codigos");
    EXPECT_EQ(agregar->text(), "Ag&regar");
    EXPECT_EQ(Tabla().size(), 250);
}

TEST_F(VentanaPLU, DeleteMovesToTheNextOrThePrevious) {
    Llenar({{1, 1, "a", "", ""}, {2, 1, "b", "", ""}, {3, 1, "c", "", ""}, {4, 2, "d", "", ""}});
    auto v = Abrir();
    EXPECT_EQ(Caption(v.get()), "Código: 1/3");
    auto* borrar = Control<QPushButton>(v.get(), "cmdDelete");
    Control<QToolButton>(v.get(), "Ultimo")->click();
    op.responder({true});
    borrar->click();
    EXPECT_EQ(op.mensajes.last().texto, "Desea eliminar el codigo 3 ? ");
    EXPECT_EQ(Dato(v.get(), 0), "2");  // the last one went: the one before it
    Control<QToolButton>(v.get(), "Primero")->click();
    op.responder({true});
    borrar->click();
    EXPECT_EQ(Dato(v.get(), 0), "2");  // the first one went: the one after it
    op.responder({false});
    borrar->click();
    EXPECT_EQ(Caption(v.get()), "Código: 1/1");
    op.responder({true});
    borrar->click();
    EXPECT_EQ(Caption(v.get()), "Código: 0/0");
    EXPECT_EQ(Dato(v.get(), 0), "");
    EXPECT_EQ(v->CantCodigos(), 1);
    EXPECT_EQ(Tabla(), (QList<Producto>{{4, 2, "d", "", ""}}));
}

TEST_F(VentanaPLU, FieldsAreLockedUntilDoubleClickedAndWrittenOnMove) {
    Llenar({{1, 1, "a", "", ""}, {2, 1, "b", "", ""}});
    auto v = Abrir();
    auto* nombre = Control<QLineEdit>(v.get(), "txt_Dato_2");
    EXPECT_TRUE(nombre->isReadOnly());
    QTest::mouseDClick(nombre, Qt::LeftButton);
    EXPECT_FALSE(nombre->isReadOnly());
    EXPECT_EQ(nombre->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xC0));
    nombre->setText("nuevo");
    Control<QToolButton>(v.get(), "Siguiente")->click();
    EXPECT_TRUE(nombre->isReadOnly());
    EXPECT_EQ(Tabla().value(0), (Producto{1, 1, "nuevo", "", ""}));
    EXPECT_EQ(Caption(v.get()), "Código: 2/2");
}

TEST_F(VentanaPLU, ConfigurationInterlocks) {
    auto v = Abrir();
    Control<QTabWidget>(v.get(), "SSTab1")->setCurrentIndex(1);
    auto* alfa = Control<QCheckBox>(v.get(), "ChkAlfa_4");
    auto* texto = Control<QCheckBox>(v.get(), "ChkTexto_4");
    auto* cuit = Control<QCheckBox>(v.get(), "ChkCuit_4");
    texto->setChecked(true);
    EXPECT_FALSE(alfa->isEnabled());
    texto->setChecked(false);
    EXPECT_TRUE(alfa->isEnabled());
    alfa->click();
    EXPECT_FALSE(texto->isChecked());
    EXPECT_FALSE(texto->isEnabled());
    EXPECT_TRUE(cuit->isEnabled());
    cuit->click();
    alfa->click();
    EXPECT_FALSE(cuit->isEnabled());
    EXPECT_TRUE(cuit->isChecked());  // disabled, value kept
    EXPECT_TRUE(texto->isEnabled());

    Control<QLineEdit>(v.get(), "TxtAuxNombre_4")->setText("Chofer");
    ASSERT_TRUE(v->Guarda_Opciones());
    const OpcionesCampos o = Llena_Opciones(setup);
    EXPECT_EQ(o.Nombre[4], "Chofer");
    EXPECT_TRUE(o.Cuit[4]);
    EXPECT_FALSE(o.Alfa[4]);
    EXPECT_EQ(Control<QComboBox>(v.get(), "Cmb_Grupo")->itemText(4), "Chofer");
}

TEST_F(VentanaPLU, TransfersRunAsJobsAndRefreshTheWindow) {
    Llenar({{1, 1, "Ñandú", "", ""}, {2, 2, "Dos", "", ""}});
    auto v = Abrir();
    op.responder({true});
    Control<QPushButton>(v.get(), "CmdCargarPLU")->click();
    EXPECT_TRUE(v->trabajando() || sim.tramasRecibidas() > 0);
    v->esperarTrabajo();
    EXPECT_TRUE(op.mensajes.value(0).texto.startsWith(
        "Desea cargar los productos en el indicador?\n\n2 nuevos"))
        << op.textos().join('|').toStdString();
    EXPECT_EQ(sim.leerRegistros(DirPLU + 26, 2).toHex(' '), "02 00 00 02");

    Llenar({});
    Control<QTabWidget>(v.get(), "SSTab1")->setCurrentIndex(1);
    Control<QLineEdit>(v.get(), "TxtAuxNombre_0")->setText("Leído");
    op.responder({true});
    Control<QPushButton>(v.get(), "cmdCargarSetup")->click();
    v->esperarTrabajo();
    Control<QLineEdit>(v.get(), "TxtAuxNombre_0")->setText("otro");
    Control<QTabWidget>(v.get(), "SSTab1")->setCurrentIndex(0);
    op.responder({true});
    Control<QPushButton>(v.get(), "CmdRecuperarPLU")->click();
    v->esperarTrabajo();
    EXPECT_EQ(v->CantCodigos(), 2);
    EXPECT_EQ(Control<QLineEdit>(v.get(), "TxtAuxNombre_0")->text(), "Leído");
    EXPECT_EQ(Control<QComboBox>(v.get(), "Cmb_Grupo")->currentIndex(), 0);
    EXPECT_EQ(Dato(v.get(), 2), "Ñandú");
    EXPECT_EQ(Tabla().size(), 2);
}

TEST_F(VentanaPLU, LabelJobOfTheShownGroup) {
    Llenar({{42, 1, " ABC ", "", ""}, {7, 1, "Siete", "", ""}, {9, 2, "otro", "", ""}});
    auto v = Abrir();
    Control<QPushButton>(v.get(), "cmd_ImprimirCB")->click();
    EXPECT_EQ(carpeta.leer("CB.txt"),
              "FR\"VELA_CB\"\r\n?\r\n     Siete     \r\n000007\r\n000007\r\nP1\r\n\r\n"
              "FR\"VELA_CB\"\r\n?\r\n      ABC      \r\n000042\r\n000042\r\nP1\r\n\r\n");
}

TEST_F(VentanaPLU, EngineErrorsAreToldNotFatal) {
    auto v = Abrir();
    ASSERT_TRUE(QSqlQuery(ConexionPara(plu.conexion)).exec("DROP TABLE " + plu.tabla));
    auto* agregar = Control<QPushButton>(v.get(), "cmdAgregar");
    agregar->click();
    QTest::keyClicks(Control<QLineEdit>(v.get(), "txt_Dato_0"), "5");
    agregar->click();
    EXPECT_TRUE(op.textos().last().startsWith("No se pudo guardar en la base de datos:"));
    EXPECT_EQ(agregar->text(), "Actualizar");  // the entry stays open

    InteraccionGuion otro;
    frmPLU sinTabla(nullptr, &enlace, &otro);
    EXPECT_FALSE(sinTabla.cargada());
    EXPECT_EQ(otro.textos(), QStringList{"No se encuentra datos.mdb."});
}

TEST_F(VentanaPLU, SortGridPrintAndImport) {
    Llenar({{3, 1, "b", "", ""}, {1, 2, "c", "", ""}, {2, 1, "a", "", ""}});
    auto v = Abrir();
    EXPECT_EQ(Caption(v.get()), "Código: 1/2");
    // Double click on the name label: all groups by name.
    QTest::mouseDClick(Control<QLabel>(v.get(), "Lbl_Campo_2"), Qt::LeftButton);
    EXPECT_EQ(Caption(v.get()), "Código: 1/3");
    EXPECT_EQ(Dato(v.get(), 2), "a");

    Control<QComboBox>(v.get(), "Cmb_Grupo")->setCurrentIndex(0);
    Control<QPushButton>(v.get(), "cmdGrid")->click();
    auto* grilla = v->findChild<FrmDataGrid*>();
    ASSERT_NE(grilla, nullptr);
    EXPECT_EQ(grilla->windowTitle(), "Tabla de Codigos del grupo Codigo 1");
    EXPECT_EQ(grilla->Cantidad(), 2);
    EXPECT_TRUE(grilla->isModal());
    grilla->close();

    qputenv("BASCORA_IMPRESORA", "pdf");
    op.responder({true});
    Control<QPushButton>(v.get(), "cmdImprimir")->click();
    qunsetenv("BASCORA_IMPRESORA");
    EXPECT_EQ(op.mensajes.value(0).texto, "Desea imprimir la lista de codigos?");
    EXPECT_TRUE(op.mensajes.value(1).texto.startsWith("La impresión se guardó en el archivo"))
        << op.textos().join('|').toStdString();

    carpeta.escribir("nuevos.csv", "Codigo;Grupo;Nombre\n10;1;diez\n11;1;once\n");
    op.elegir({carpeta.ruta("nuevos.csv")});
    Control<QPushButton>(v.get(), "cmdImportar")->click();
    EXPECT_EQ(op.textos().last(), "2 codigos importados.");
    EXPECT_EQ(v->CantCodigos(), 2);
    EXPECT_EQ(Caption(v.get()), "Código: 1/2");
    EXPECT_EQ(Dato(v.get(), 2), "diez");
}

}  // namespace
