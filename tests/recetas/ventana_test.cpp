// The recipes window on the offscreen platform: the navigator, editing with the decimal key
// filter, and its transfers on a worker thread against the simulated indicator.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <atomic>
#include <thread>

#include "base/Globales.h"
#include "products/ui/FrmRecetas.h"
#include "tests/recetas/Entorno.h"

namespace {

using VentanaRecetas = EntornoRecetas;

// The load refuses to close the window while it waits on the link; the read back shows and stores
// what the indicator holds; edits keep the recipe number, filter keys, refuse a pasted non-number
// and store an empty box as no value.
TEST_F(VentanaRecetas, EditLoadAndReadBackThroughTheWindow) {
    DataCSRecetas = tabla.conexion;
    DataTbRecetas = tabla.tabla;
    sim.escribirRegistros(DirCodigos, QByteArray::fromHex("02000000"));
    Guardar(2, {"12.5", "0.1", "0", "0", "0", "0", "0", "0"});
    frmRecetas v(nullptr, &enlace, &op);
    v.show();
    const auto dato = [&](int i) {
        return v.findChild<QLineEdit*>(QStringLiteral("txt_Dato_%1").arg(i));
    };
    const auto pulsar = [&](const char* boton) { v.findChild<QAbstractButton*>(boton)->click(); };
    const auto posicion = [&] { return v.findChild<QLabel*>("Data1_Caption")->text(); };
    const auto esperar = [&] { return QTest::qWaitFor([&] { return !v.ocupada(); }, 20000); };
    ASSERT_TRUE(dato(0) && dato(3));
    pulsar("Data1_Siguiente");
    EXPECT_EQ(posicion(), "Receta: 2/5");
    EXPECT_EQ(dato(1)->text(), "12.5");

    std::atomic<bool> soltar = false;
    enlace.fallar = [&](const PeticionEnlace&) {
        while (!soltar) std::this_thread::yield();
        return false;
    };
    op.responder({true});
    pulsar("cmdCargar");
    EXPECT_TRUE(v.ocupada());
    EXPECT_FALSE(v.close());
    soltar = true;
    ASSERT_TRUE(esperar());
    EXPECT_EQ(v.findChild<QLabel*>("Lbl_Receta1")->text(), "Receta actual en el indicador: 2");
    EXPECT_EQ(sim.leerRegistros(DirSP, 3), QByteArray::fromHex("7d0000010000"));

    sim.escribirRegistros(14428, QByteArray::fromHex("008000"));
    op.responder({true});
    pulsar("cmdBajar");
    ASSERT_TRUE(esperar());
    EXPECT_EQ(dato(1)->text(), "3276.8");
    EXPECT_EQ(Valores(2, 2), QStringList({"3276.8", "0"}));

    op.mensajes.clear();
    pulsar("cmdEditar");
    EXPECT_TRUE(dato(0)->isReadOnly());
    dato(2)->selectAll();
    QTest::keyClicks(dato(2), "1,5,x.-7");
    EXPECT_EQ(dato(2)->text(), "1.57");
    QTest::keyClick(dato(2), Qt::Key_Backspace);
    dato(3)->setText("abc");  // pasted
    pulsar("cmdActualizar");
    EXPECT_EQ(op.mensajes.size(), 1);
    EXPECT_EQ(Valores(2, 3), QStringList({"3276.8", "0", "0"}));
    dato(3)->setText("");
    pulsar("cmdActualizar");
    EXPECT_EQ(Valores(2, 3), QStringList({"3276.8", "1.5", ""}));
    EXPECT_EQ(posicion(), "Receta: 2/5");
}

}  // namespace
