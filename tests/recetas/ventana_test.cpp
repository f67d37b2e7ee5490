// The recipes window on the offscreen platform: its layout from the settings, the record
// navigator, editing with the decimal key filter, sorting, and its transfers on a worker thread
// against the simulated indicator.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTest>
#include <atomic>
#include <thread>

#include "base/Globales.h"
#include "products/ui/FrmRecetas.h"
#include "tests/recetas/Entorno.h"

namespace {

class VentanaRecetas : public EntornoRecetas {
  protected:
    void SetUp() override {
        EntornoRecetas::SetUp();
        DataCSRecetas = tabla.conexion;
        DataTbRecetas = tabla.tabla;
    }
    void TearDown() override {
        frm.reset();
        EntornoRecetas::TearDown();
    }

    frmRecetas& Abrir() {
        frm = std::make_unique<frmRecetas>(nullptr, &enlace, &op);
        frm->show();
        return *frm;
    }
    template <typename W>
    W* Hijo(const QString& nombre) {
        W* w = frm->findChild<W*>(nombre);
        EXPECT_NE(w, nullptr) << qPrintable(nombre);
        return w;
    }
    QLineEdit* Dato(int i) { return Hijo<QLineEdit>(QStringLiteral("txt_Dato_%1").arg(i)); }
    QString Posicion() { return Hijo<QLabel>("Data1_Caption")->text(); }
    void Pulsar(const char* boton) { Hijo<QAbstractButton>(boton)->click(); }
    bool Esperar() {
        return QTest::qWaitFor([&] { return !frm->ocupada(); }, 20000);
    }
    void Sql(const QString& sql) {
        QSqlQuery q(ConexionPara(tabla.conexion));
        ASSERT_TRUE(q.exec(sql)) << qPrintable(sql);
    }

    std::unique_ptr<frmRecetas> frm;
};

TEST_F(VentanaRecetas, RowsFollowTheComponentCountAndTheSetPointNames) {
    GuardarConfigSeccion("SP", {{"SP1", "Harina"}, {"SP3", ""}, {"LSP1", "H"}});
    Abrir();
    EXPECT_EQ(Hijo<QLabel>("Lbl_Campo_1")->text(), "Harina");
    EXPECT_EQ(Hijo<QLineEdit>("TxtAuxValor_0")->text(), "H");
    EXPECT_EQ(Hijo<QLineEdit>("TxtAuxValor_15")->text(), "1");  // one letter: "16" sends "1"
    for (int i = 1; i <= 16; ++i) EXPECT_EQ(Dato(i)->isVisible(), i <= 8 && i != 3) << i;
    GuardarConfig("global", "cntComp", "16");
    Abrir();
    EXPECT_TRUE(Dato(16)->isVisible());
    EXPECT_TRUE(op.mensajes.isEmpty());
}

TEST_F(VentanaRecetas, NavigatorShowsThePositionAndTheRecord) {
    Guardar(2, {"12.5", "", "0.1"});
    Abrir();
    EXPECT_EQ(Posicion(), "Receta: 1/5");
    Pulsar("Data1_Siguiente");
    EXPECT_EQ(Posicion(), "Receta: 2/5");
    EXPECT_EQ(Dato(1)->text() + '|' + Dato(2)->text() + '|' + Dato(3)->text(), "12.5||0.1");
}

TEST_F(VentanaRecetas, EditWithTheDecimalKeyFilterSaveAndRefusal) {
    Abrir();
    Pulsar("Data1_Siguiente");
    EXPECT_TRUE(Dato(2)->isReadOnly());
    Pulsar("cmdEditar");
    EXPECT_TRUE(Dato(0)->isReadOnly());  // the recipe number is never edited

    Dato(2)->selectAll();
    QTest::keyClicks(Dato(2), "1,5,x.-7");
    EXPECT_EQ(Dato(2)->text(), "1.57");
    Dato(2)->setFocus();
    QTest::keyClick(Dato(2), Qt::Key_Backspace);
    QTest::keyClick(Dato(2), Qt::Key_Return);
    EXPECT_EQ(Dato(2)->text(), "1.5");
    Dato(3)->setText("abc");  // pasted

    Pulsar("cmdActualizar");
    EXPECT_EQ(op.textos(), QStringList{"Dato no valido. Ingrese otro."});
    EXPECT_FALSE(Dato(3)->isReadOnly());
    EXPECT_EQ(Valores(2, 3), QStringList({"0", "0", "0"}));

    Dato(3)->setText("");  // an empty box stores no value
    Pulsar("cmdActualizar");
    EXPECT_EQ(op.mensajes.size(), 1);
    EXPECT_EQ(Valores(2, 3), QStringList({"0", "1.5", ""}));
    EXPECT_EQ(Posicion(), "Receta: 2/5");

    Pulsar("cmdEditar");
    Dato(1)->setText("99");
    Pulsar("cmdCancelar");
    EXPECT_EQ(Valores(2, 1), QStringList{"0"});
    EXPECT_TRUE(Dato(1)->isReadOnly());
}

TEST_F(VentanaRecetas, DoubleClickOnALabelSortsByItsColumn) {
    for (int r = 1; r <= 5; ++r) Guardar(r, {QString::number(10 - r), QString::number(r % 2)});
    Abrir();
    QTest::mouseDClick(Hijo<QLabel>("Lbl_Campo_2"), Qt::LeftButton);
    EXPECT_EQ(Dato(0)->text(), "2");  // the zeros 2 and 4 first, by number
    QTest::mouseDClick(Hijo<QLabel>("Lbl_Campo_0"), Qt::LeftButton);
    EXPECT_EQ(Dato(0)->text(), "1");
}

TEST_F(VentanaRecetas, EmptyTableIsExplainedAndAMissingOneClosesTheWindow) {
    Sql("DELETE FROM Recetas");
    Abrir();
    EXPECT_TRUE(Hijo<QLabel>("LblSinRecetas")->isVisible());
    EXPECT_FALSE(Hijo<QPushButton>("cmdCargar")->isEnabled());
    EXPECT_TRUE(op.mensajes.isEmpty());

    DataTbRecetas = "NoHay";
    Abrir();
    EXPECT_EQ(op.textos(), QStringList{"La referencia de datos es incorrecta."});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !frm->isVisible(); }, 5000));
}

TEST_F(VentanaRecetas, LoadAndReadBackRunOffTheInterfaceThread) {
    sim.escribirRegistros(DirCodigos, QByteArray::fromHex("02000000"));
    Guardar(2, {"12.5", "0.1", "0", "0", "0", "0", "0", "0"});
    Abrir();
    Pulsar("Data1_Siguiente");

    // While the load waits on the link the window refuses to close.
    std::atomic<bool> soltar = false;
    enlace.fallar = [&](const PeticionEnlace&) {
        while (!soltar) std::this_thread::yield();
        return false;
    };
    op.responder({true});
    Pulsar("cmdCargar");
    EXPECT_TRUE(frm->ocupada());
    EXPECT_FALSE(Hijo<QTabWidget>("TabStrip")->isEnabled());
    EXPECT_FALSE(frm->close());
    soltar = true;
    ASSERT_TRUE(Esperar());
    EXPECT_TRUE(Hijo<QTabWidget>("TabStrip")->isEnabled());
    EXPECT_EQ(Hijo<QLabel>("Lbl_Receta1")->text(), "Receta actual en el indicador: 2");
    EXPECT_EQ(sim.leerRegistros(DirSP, 3), QByteArray::fromHex("7d0000010000"));

    sim.escribirRegistros(14428, QByteArray::fromHex("008000"));
    op.responder({true});
    Pulsar("cmdBajar");
    ASSERT_TRUE(Esperar());
    EXPECT_EQ(Dato(1)->text(), "3276.8");
    EXPECT_EQ(Posicion(), "Receta: 2/5");
    EXPECT_EQ(Valores(2, 2), QStringList({"3276.8", "0"}));
}

TEST_F(VentanaRecetas, SetPointConfigurationGoesOutAndComesBackIntoTheBoxes) {
    Abrir();
    Hijo<QTabWidget>("TabStrip")->setCurrentIndex(1);
    Hijo<QLineEdit>("TxtAuxNombre_0")->setText("Doce letras!");
    Hijo<QLineEdit>("TxtAuxValor_1")->setText("B");
    op.responder({true});
    Pulsar("cmdCargarSetup");
    ASSERT_TRUE(Esperar());

    Hijo<QLineEdit>("TxtAuxNombre_0")->setText("otro");
    Hijo<QLineEdit>("TxtAuxValor_1")->setText("Z");
    op.responder({true});
    Pulsar("cmdBajarSetup");
    ASSERT_TRUE(Esperar());
    EXPECT_EQ(Hijo<QLineEdit>("TxtAuxNombre_0")->text(), "Doce letras");
    EXPECT_EQ(Hijo<QLineEdit>("TxtAuxValor_1")->text(), "B");
    EXPECT_EQ(Hijo<QLabel>("Lbl_Campo_1")->text(), "Valor 1");  // until the window reopens
}

}  // namespace
