// frmPLU on the offscreen platform, found by control names, with a scripted operator.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTest>

#include "base/Globales.h"
#include "products/ui/FrmPLU.h"
#include "reports/ui/FrmDataGrid.h"
#include "tests/productos/Entorno.h"

namespace {

class VentanaPLU : public EntornoProductos {
  protected:
    void Abrir() {
        v = std::make_unique<frmPLU>(nullptr, &enlace, &op);
        v->show();
    }
    template <typename W = QPushButton>
    W* Control(const QString& nombre) {
        W* w = v->findChild<W*>(nombre);
        EXPECT_NE(w, nullptr) << qPrintable(nombre);
        return w;
    }
    QString Caption() { return Control<ControlDatos>("Data1")->caption(); }
    QLineEdit* Dato(int i) { return Control<QLineEdit>(QStringLiteral("txt_Dato_%1").arg(i)); }
    void Pulsar(const char* boton) { Control<QAbstractButton>(boton)->click(); }
    void Opciones(int pestana) { Control<QTabWidget>("SSTab1")->setCurrentIndex(pestana); }

    std::unique_ptr<frmPLU> v;
};

TEST_F(VentanaPLU, AddsInTwoStepsUpToTheCapacity) {
    QList<Producto> llenos;
    for (int i = 1; i <= 249; ++i) llenos.append({i, 1 + i % 8, "P", "", ""});
    Llenar(llenos);
    Abrir();
    ASSERT_TRUE(v->cargada());
    Control<QComboBox>("Cmb_Grupo")->setCurrentIndex(2);
    Pulsar("cmdAgregar");
    QTest::keyClicks(Dato(0), "7a0-0.0x0");  // letters never reach the box
    EXPECT_EQ(Dato(0)->text(), "70000");
    Dato(2)->insert("Café");
    Pulsar("cmdAgregar");
    EXPECT_EQ(v->CantCodigos(), 250);
    EXPECT_TRUE(Tabla().contains(Producto{70000, 3, "Café", "", ""}));

    Pulsar("cmdAgregar");  // the 251st
    EXPECT_EQ(op.textos().last(), "No hay espacio para agregar mas codigos");
    EXPECT_EQ(Control("cmdAgregar")->text(), "Ag&regar");
    EXPECT_EQ(Tabla().size(), 250);
}

TEST_F(VentanaPLU, DeleteMovesToTheNextOrThePrevious) {
    Llenar({{1, 1, "a", "", ""}, {2, 1, "b", "", ""}, {3, 1, "c", "", ""}, {4, 2, "d", "", ""}});
    Abrir();
    Pulsar("Ultimo");
    op.responder({true});
    Pulsar("cmdDelete");
    EXPECT_EQ(op.mensajes.last().texto, "Desea eliminar el codigo 3 ? ");
    EXPECT_EQ(Dato(0)->text(), "2");  // the last one went: the one before it
    Pulsar("Primero");
    op.responder({true});
    Pulsar("cmdDelete");
    EXPECT_EQ(Dato(0)->text(), "2");  // the first one went: the one after it
    op.responder({false});
    Pulsar("cmdDelete");
    EXPECT_EQ(Caption(), "Código: 1/1");
    op.responder({true});
    Pulsar("cmdDelete");
    EXPECT_EQ(Caption(), "Código: 0/0");
    EXPECT_EQ(Tabla(), (QList<Producto>{{4, 2, "d", "", ""}}));
}

TEST_F(VentanaPLU, FieldsAreLockedUntilDoubleClickedAndWrittenOnMove) {
    Llenar({{1, 1, "a", "", ""}, {2, 1, "b", "", ""}});
    Abrir();
    EXPECT_TRUE(Dato(2)->isReadOnly());
    QTest::mouseDClick(Dato(2), Qt::LeftButton);
    EXPECT_FALSE(Dato(2)->isReadOnly());
    Dato(2)->setText("nuevo");
    Pulsar("Siguiente");
    EXPECT_TRUE(Dato(2)->isReadOnly());
    EXPECT_EQ(Tabla().value(0), (Producto{1, 1, "nuevo", "", ""}));
}

TEST_F(VentanaPLU, ConfigurationInterlocksAndSave) {
    Abrir();
    Opciones(1);
    auto* alfa = Control<QCheckBox>("ChkAlfa_4");
    auto* texto = Control<QCheckBox>("ChkTexto_4");
    auto* cuit = Control<QCheckBox>("ChkCuit_4");
    alfa->click();
    EXPECT_FALSE(texto->isChecked());
    cuit->click();
    alfa->click();
    EXPECT_FALSE(cuit->isEnabled());
    EXPECT_TRUE(cuit->isChecked());  // disabled, value kept

    Control<QLineEdit>("TxtAuxNombre_4")->setText("Chofer");
    ASSERT_TRUE(v->Guarda_Opciones());
    const OpcionesCampos o = Llena_Opciones(setup);
    EXPECT_EQ(o.Nombre[4], "Chofer");
    EXPECT_TRUE(o.Cuit[4]);
    EXPECT_FALSE(o.Alfa[4]);
    EXPECT_EQ(Control<QComboBox>("Cmb_Grupo")->itemText(4), "Chofer");
}

TEST_F(VentanaPLU, TransfersRunAsJobsAndRefreshTheWindow) {
    Llenar({{1, 1, "Ñandú", "", ""}, {2, 2, "Dos", "", ""}});
    Abrir();
    op.responder({true});
    Pulsar("CmdCargarPLU");
    v->esperarTrabajo();
    EXPECT_TRUE(op.mensajes.value(0).texto.startsWith(
        "Desea cargar los productos en el indicador?\n\n2 nuevos"))
        << op.textos().join('|').toStdString();
    EXPECT_EQ(sim.leerRegistros(DirPLU + 26, 2).toHex(' '), "02 00 00 02");

    Llenar({});
    Opciones(1);
    Control<QLineEdit>("TxtAuxNombre_0")->setText("Leído");
    op.responder({true});
    Pulsar("cmdCargarSetup");
    v->esperarTrabajo();
    Control<QLineEdit>("TxtAuxNombre_0")->setText("otro");
    Opciones(0);
    op.responder({true});
    Pulsar("CmdRecuperarPLU");
    v->esperarTrabajo();
    EXPECT_EQ(v->CantCodigos(), 2);
    EXPECT_EQ(Control<QLineEdit>("TxtAuxNombre_0")->text(), "Leído");
    EXPECT_EQ(Dato(2)->text(), "Ñandú");
    EXPECT_EQ(Tabla().size(), 2);
}

TEST_F(VentanaPLU, LabelJobOfTheShownGroup) {
    Llenar({{42, 1, " ABC ", "", ""}, {7, 1, "Siete", "", ""}, {9, 2, "otro", "", ""}});
    Abrir();
    Pulsar("cmd_ImprimirCB");
    EXPECT_EQ(carpeta.leer("CB.txt"),
              "FR\"VELA_CB\"\r\n?\r\n     Siete     \r\n000007\r\n000007\r\nP1\r\n\r\n"
              "FR\"VELA_CB\"\r\n?\r\n      ABC      \r\n000042\r\n000042\r\nP1\r\n\r\n");
}

TEST_F(VentanaPLU, EngineErrorsAreToldNotFatal) {
    Abrir();
    ASSERT_TRUE(QSqlQuery(ConexionPara(plu.conexion)).exec("DROP TABLE " + plu.tabla));
    Pulsar("cmdAgregar");
    QTest::keyClicks(Dato(0), "5");
    Pulsar("cmdAgregar");
    EXPECT_TRUE(op.textos().last().startsWith("No se pudo guardar en la base de datos:"));
    EXPECT_EQ(Control("cmdAgregar")->text(), "Actualizar");  // the entry stays open

    InteraccionGuion otro;
    frmPLU sinTabla(nullptr, &enlace, &otro);
    EXPECT_FALSE(sinTabla.cargada());
    EXPECT_EQ(otro.textos(), QStringList{"No se encuentra datos.mdb."});
}

TEST_F(VentanaPLU, SortGridPrintAndImport) {
    Llenar({{3, 1, "b", "", ""}, {1, 2, "c", "", ""}, {2, 1, "a", "", ""}});
    Abrir();
    // Double click on the name label: all groups by name.
    QTest::mouseDClick(Control<QLabel>("Lbl_Campo_2"), Qt::LeftButton);
    EXPECT_EQ(Caption(), "Código: 1/3");
    EXPECT_EQ(Dato(2)->text(), "a");

    Control<QComboBox>("Cmb_Grupo")->setCurrentIndex(0);
    Pulsar("cmdGrid");
    auto* grilla = v->findChild<FrmDataGrid*>();
    ASSERT_NE(grilla, nullptr);
    EXPECT_EQ(grilla->Cantidad(), 2);
    grilla->close();

    qputenv("BASCORA_IMPRESORA", "pdf");
    op.responder({true});
    Pulsar("cmdImprimir");
    qunsetenv("BASCORA_IMPRESORA");
    EXPECT_TRUE(op.mensajes.value(1).texto.startsWith("La impresión se guardó en el archivo"))
        << op.textos().join('|').toStdString();

    carpeta.escribir("nuevos.csv", "Codigo;Grupo;Nombre\n10;1;diez\n11;1;once\n");
    op.elegir({carpeta.ruta("nuevos.csv")});
    Pulsar("cmdImportar");
    EXPECT_EQ(op.textos().last(), "2 codigos importados.");
    EXPECT_EQ(v->CantCodigos(), 2);
    EXPECT_EQ(Dato(2)->text(), "diez");
}

}  // namespace
