// frmPLU on the offscreen platform, found by control names, with a scripted operator: its main
// path through the product table and the transfers, and a database error told, not fatal.
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>

#include "base/Globales.h"
#include "products/ui/FrmPLU.h"
#include "tests/productos/Entorno.h"

namespace {

using VentanaPLU = EntornoProductos;

// Adds in two steps (letters never reach the code box), writes a field edited after a double
// click when moving on, deletes moving to the next one, sends the table and gets it back as jobs.
TEST_F(VentanaPLU, EditsAndTransfersThroughTheWindow) {
    Llenar({{1, 1, "Ñandú", "", ""}, {2, 1, "b", "", ""}, {3, 2, "Dos", "", ""}});
    frmPLU v(nullptr, &enlace, &op);
    v.show();
    ASSERT_TRUE(v.cargada());
    const auto dato = [&](int i) {
        return v.findChild<QLineEdit*>(QStringLiteral("txt_Dato_%1").arg(i));
    };
    const auto pulsar = [&](const char* boton) { v.findChild<QAbstractButton*>(boton)->click(); };
    ASSERT_TRUE(dato(0) && dato(2));

    pulsar("cmdAgregar");
    QTest::keyClicks(dato(0), "7a0-0.0x0");
    EXPECT_EQ(dato(0)->text(), "70000");
    dato(2)->insert("Café");
    pulsar("cmdAgregar");
    EXPECT_TRUE(Tabla().contains(Producto{70000, 1, "Café", "", ""}));

    pulsar("Primero");
    EXPECT_TRUE(dato(2)->isReadOnly());
    QTest::mouseDClick(dato(2), Qt::LeftButton);
    dato(2)->setText("nuevo");
    pulsar("Siguiente");
    EXPECT_EQ(Tabla().value(0), (Producto{1, 1, "nuevo", "", ""}));
    pulsar("Primero");
    op.responder({true});
    pulsar("cmdDelete");
    EXPECT_EQ(dato(0)->text(), "2");  // the first one went: the one after it

    op.responder({true});
    pulsar("CmdCargarPLU");
    v.esperarTrabajo();
    EXPECT_TRUE(op.mensajes.value(1).texto.contains("3 nuevos"))
        << op.textos().join('|').toStdString();
    EXPECT_EQ(sim.leerRegistros(DirPLU, 2).toHex(' '), "02 00 00 01");
    op.responder({true, true});
    pulsar("cmdDelete");  // the window now holds two
    pulsar("CmdRecuperarPLU");
    v.esperarTrabajo();
    EXPECT_EQ(v.CantCodigos(), 3);
    EXPECT_EQ(Tabla().size(), 3);
}

TEST_F(VentanaPLU, DatabaseErrorsAreToldNotFatal) {
    frmPLU v(nullptr, &enlace, &op);
    v.show();
    ASSERT_TRUE(QSqlQuery(ConexionPara(plu.conexion)).exec("DROP TABLE " + plu.tabla));
    v.findChild<QPushButton*>("cmdAgregar")->click();
    auto* codigo = v.findChild<QLineEdit*>("txt_Dato_0");
    QTest::keyClicks(codigo, "5");
    v.findChild<QPushButton*>("cmdAgregar")->click();
    EXPECT_EQ(op.mensajes.size(), 1);
    EXPECT_EQ(codigo->text(), "5");  // the entry stays open

    InteraccionGuion otro;
    frmPLU sinTabla(nullptr, &enlace, &otro);
    EXPECT_FALSE(sinTabla.cargada());
    EXPECT_EQ(otro.mensajes.size(), 1);
}

}  // namespace
