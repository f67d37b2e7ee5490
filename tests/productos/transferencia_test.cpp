// Transfers between the product tables and the simulated indicator over TCP on 127.0.0.1.
#include <QSqlQuery>

#include "base/Globales.h"
#include "products/TransferenciaPLU.h"
#include "tests/productos/Entorno.h"

namespace {

using Transferencia = EntornoProductos;

// In the table's order (group, code).
const QList<Producto> kProductos{
    {1, 1, "Ñandú", "", ""},
    {2, 1, "Precio €", "", "€"},
    {70000, 2, "Café con leche", "", "a"},
    {5, 3, "Otro", "", ""},
    {999999, 3, "Cliente señor", "20-12345678-9", "Z"},
};

OpcionesCampos Configuracion() {
    OpcionesCampos o = Llena_Opciones(TablaDe(TablaLogica::PLU_SETUP));
    o.Nombre[0] = "Producto";
    o.Nombre[1] = "Señal";
    o.Nombre[2] = "CLIENTE12345";
    o.Letra[0] = "P";
    o.Letra[2] = "";
    o.Alfa = {true, false, true};
    o.Texto = {false, true, false};
    o.Cuit = {false, false, true};
    return o;
}

// No sends nothing; the codes sent compare equal, a changed table is summarised, and recovering
// gives back the table and configuration sent (names of 12 characters lose the twelfth).
TEST_F(Transferencia, LoadCompareAndRecoverGiveBackTheSameTable) {
    Llenar(kProductos);
    const OpcionesCampos config = Configuracion();
    op.responder({false});
    EXPECT_TRUE(CargarCodigos(enlace, op, plu, config, false).rechazado);
    EXPECT_EQ(sim.tramasRecibidas(), 0);
    op.responder({true, true});
    ASSERT_TRUE(CargarConfiguracion(enlace, op, setup, config).ok);
    EXPECT_EQ(sim.leerRegistros(DirPLUFlags, 2).toHex(' '), "05 02 04 00");
    ASSERT_TRUE(CargarCodigos(enlace, op, plu, config, false).ok);
    EXPECT_TRUE(CompararConIndicador(enlace, plu, config)->iguales());

    // Two new, one changed name, one changed Aux, one only in the indicator.
    QList<Producto> cambiados = kProductos;
    cambiados[0].Nombre = "Ñandú grande";
    cambiados[1].Aux = "b";
    cambiados.removeAt(3);
    cambiados << Producto{8, 1, "Nuevo", "", ""} << Producto{9, 2, "Nuevo", "", ""};
    Llenar(cambiados);
    QString error;
    const auto c = CompararConIndicador(enlace, plu, config, &error);
    ASSERT_TRUE(c) << error.toStdString();
    EXPECT_EQ(c->Resumen(), "2 nuevos, 2 cambiados, 1 se borrará del indicador");
    EXPECT_EQ(c->grupos.value(2).soloIndicador.value(0).Codigo, 5);

    op.responder({true});
    ASSERT_TRUE(RecuperarCodigos(enlace, op, plu, setup).ok);
    EXPECT_EQ(Tabla(), kProductos);
    const OpcionesCampos guardada = Llena_Opciones(setup);
    EXPECT_EQ(guardada.Nombre[1], "Señal");
    EXPECT_EQ(guardada.Nombre[2], "CLIENTE1234");
    EXPECT_EQ(guardada.Letra, config.Letra);
    EXPECT_EQ(guardada.Cuit, config.Cuit);
}

// A failed image read or write is reported and leaves the table as it was; a failure at the
// letters ends before anything is stored; the configuration is stored on the PC first and each of
// its three writes is tried.
TEST_F(Transferencia, FailedRequestsAreReportedAndLeaveTheTablesAsTheyWere) {
    Llenar(kProductos);
    EnlaceQueFalla fallido(enlace, DirPLU);
    op.responder({true});
    EXPECT_FALSE(CargarCodigos(fallido, op, plu, Configuracion(), false).ok);
    EXPECT_EQ(op.mensajes.last().icono, Icono::Error);
    fallido.peticiones.clear();
    op.responder({true});
    EXPECT_FALSE(RecuperarCodigos(fallido, op, plu, setup).ok);
    EXPECT_EQ(Tabla(), kProductos);
    EXPECT_EQ(fallido.peticiones, QStringList({"R8", "R6520", "R14228", "R20"}));

    EnlaceQueFalla sinLetras(enlace, DirLblCodigos);
    const OpcionesCampos antes = Llena_Opciones(setup);
    op.responder({true});
    EXPECT_FALSE(RecuperarCodigos(sinLetras, op, plu, setup).ok);
    EXPECT_EQ(sinLetras.peticiones, QStringList({"R8"}));
    EXPECT_EQ(Llena_Opciones(setup).Nombre, antes.Nombre);

    EnlaceQueFalla sinMascaras(enlace, DirPLUFlags);
    op.responder({true});
    EXPECT_FALSE(CargarConfiguracion(sinMascaras, op, setup, Configuracion()).ok);
    EXPECT_EQ(sinMascaras.peticiones, QStringList({"T8", "T6520", "T14228"}));
    EXPECT_EQ(sim.leerRegistros(DirNombCod, 6), QByteArray("Producto    "));
    EXPECT_EQ(Llena_Opciones(setup).Nombre[2], "CLIENTE12345");
}

// The group configuration is read in Codigo order, and only the rows the table has are read and
// written; names are cut to 12, -1 is yes, a null letter is empty.
TEST_F(Transferencia, GroupConfigurationInCodigoOrderAndOnlyItsRows) {
    QSqlQuery q(ConexionPara(setup.conexion));
    ASSERT_TRUE(q.exec("DELETE FROM " + setup.tabla));
    ASSERT_TRUE(q.exec("INSERT INTO " + setup.tabla +
                       " (Codigo, Nombre, Alfa, Texto, CUIT) VALUES (30, 'G30', -1, 0, 0), "
                       "(10, 'G10', -1, 0, 0), (20, 'G20', -1, 0, 0)"));
    OpcionesCampos o = Llena_Opciones(setup);
    ASSERT_TRUE(o.leido);
    EXPECT_EQ(std::tuple(o.filas, o.Nombre[0], o.Alfa[0], o.Letra[0]),
              std::tuple(3, QString("G10"), true, QString()));
    o.Nombre[2] = "Señal ocho12X";
    o.Letra[2] = "Z";
    o.Texto[1] = true;
    o.Nombre[5] = "sin fila";
    ASSERT_TRUE(Guarda_Opciones(setup, o));
    const OpcionesCampos l = Llena_Opciones(setup);
    EXPECT_EQ(l.Nombre[2], "Señal ocho12");
    EXPECT_EQ(std::tuple(l.Letra[2], l.Texto[1]), std::tuple(QString("Z"), true));
    EXPECT_EQ(ContarProductos(setup), 3);
}

}  // namespace
