// Transfers between the product tables and the simulated indicator over TCP on 127.0.0.1.
#include <QSqlDatabase>

#include "base/Globales.h"
#include "products/TransferenciaPLU.h"
#include "tests/productos/Entorno.h"

namespace {

using Transferencia = EntornoProductos;

const QList<Producto> kProductos{
    {70000, 2, "Café con leche", "", "a"},
    {1, 1, "Ñandú", "", ""},
    {2, 1, "Precio €", "", "€"},
    {999999, 3, "Cliente señor", "20-12345678-9", "Z"},
    {5, 3, "Otro", "", ""},
};

QList<Producto> Ordenados(QList<Producto> p) {
    std::sort(p.begin(), p.end(), [](const Producto& a, const Producto& b) {
        return std::tie(a.Grupo, a.Codigo) < std::tie(b.Grupo, b.Codigo);
    });
    return p;
}

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

TEST_F(Transferencia, LoadThenRecoverGivesBackTheSameTable) {
    Llenar(kProductos);
    const OpcionesCampos config = Configuracion();
    op.responder({true});
    ASSERT_TRUE(CargarConfiguracion(enlace, op, setup, config).ok)
        << op.textos().join('|').toStdString();
    EXPECT_EQ(sim.leerRegistros(DirPLUFlags, 2).toHex(' '), "05 02 04 00");
    op.responder({true});
    ASSERT_TRUE(CargarCodigos(enlace, op, plu, config, false).ok);
    EXPECT_EQ(sim.leerRegistros(DirPLU, 2).toHex(' '), "01 00 00 01");

    Llenar({{7, 7, "se va", "", ""}});
    op.responder({true});
    OpcionesCampos leida;
    ASSERT_TRUE(RecuperarCodigos(enlace, op, plu, setup, &leida).ok);
    EXPECT_EQ(Tabla(), Ordenados(kProductos));

    const OpcionesCampos guardada = Llena_Opciones(setup);
    EXPECT_EQ(guardada.Nombre[1], "Señal");
    EXPECT_EQ(guardada.Nombre[2], "CLIENTE1234");  // 12 characters sent, 11 back
    EXPECT_EQ(guardada.Letra, config.Letra);
    EXPECT_EQ(guardada.Cuit, config.Cuit);
}

TEST_F(Transferencia, FailedImageReadOrWriteIsReportedAndLeavesTheTableAsItWas) {
    Llenar(kProductos);
    EnlaceQueFalla fallido(enlace, DirPLU);
    op.responder({true});
    EXPECT_FALSE(CargarCodigos(fallido, op, plu, Configuracion(), false).ok);
    EXPECT_EQ(op.textos().last(), "Error al cargar los codigos");
    fallido.peticiones.clear();
    op.responder({true});
    EXPECT_FALSE(RecuperarCodigos(fallido, op, plu, setup).ok);
    EXPECT_EQ(op.textos().last(), "Error al recuperar los codigos");
    EXPECT_EQ(Tabla(), Ordenados(kProductos));
    EXPECT_EQ(fallido.peticiones, QStringList({"R8", "R6520", "R14228", "R20"}));

    // A failure at the letters ends before anything is stored.
    EnlaceQueFalla sinLetras(enlace, DirLblCodigos);
    const OpcionesCampos antes = Llena_Opciones(setup);
    op.responder({true});
    EXPECT_FALSE(RecuperarCodigos(sinLetras, op, plu, setup).ok);
    EXPECT_EQ(sinLetras.peticiones, QStringList({"R8"}));
    EXPECT_EQ(Llena_Opciones(setup).Nombre, antes.Nombre);
}

TEST_F(Transferencia, ConfigurationRequestsAreIndependent) {
    EnlaceQueFalla fallido(enlace, DirPLUFlags);
    op.responder({true});
    const ResultadoPLU r = CargarConfiguracion(fallido, op, setup, Configuracion());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(fallido.peticiones, QStringList({"T8", "T6520", "T14228"}));
    EXPECT_EQ(op.textos().last(), "Error al cargar la configuracion");
    EXPECT_EQ(sim.leerRegistros(DirLblCodigos, 4), QByteArray("PB DEFGH"));
    EXPECT_EQ(sim.leerRegistros(DirNombCod, 6), QByteArray("Producto    "));
    // Stored on the PC first.
    EXPECT_EQ(Llena_Opciones(setup).Nombre[2], "CLIENTE12345");
}

TEST_F(Transferencia, AnswerNoSendsNothingAndAnEmptyTableSendsNothing) {
    Llenar(kProductos);
    op.responder({false});
    EXPECT_TRUE(CargarCodigos(enlace, op, plu, Configuracion(), false).rechazado);
    op.responder({false});
    EXPECT_TRUE(RecuperarCodigos(enlace, op, plu, setup).rechazado);
    EXPECT_EQ(sim.tramasRecibidas(), 0);
    EXPECT_EQ(Tabla().size(), 5);

    Llenar({});
    op.responder({true});
    EXPECT_TRUE(CargarCodigos(enlace, op, plu, Configuracion(), false).ok);
    EXPECT_EQ(sim.tramasRecibidas(), 0);
    EXPECT_EQ(op.mensajes.size(), 3);  // the three questions, no message
}

TEST_F(Transferencia, CompareBeforeLoadSummarisesTheDifferences) {
    const OpcionesCampos config = Configuracion();
    Llenar(kProductos);
    op.responder({true, true});
    ASSERT_TRUE(CargarConfiguracion(enlace, op, setup, config).ok);
    ASSERT_TRUE(CargarCodigos(enlace, op, plu, config, false).ok);

    // Two new, one changed name, one changed Aux, one only in the indicator.
    QList<Producto> cambiados = kProductos;
    cambiados[1].Nombre = "Ñandú grande";
    cambiados[2].Aux = "b";
    cambiados.removeAt(4);
    cambiados << Producto{8, 1, "Nuevo", "", ""} << Producto{9, 2, "Nuevo", "", ""};
    Llenar(cambiados);

    QString error;
    const auto c = CompararConIndicador(enlace, plu, config, &error);
    ASSERT_TRUE(c) << error.toStdString();
    EXPECT_EQ(c->Resumen(), "2 nuevos, 2 cambiados, 1 se borrará del indicador");
    ASSERT_EQ(c->grupos.size(), 3);
    EXPECT_EQ(c->grupos[2].soloIndicador.value(0).Codigo, 5);

    op.mensajes.clear();
    op.responder({false});
    EXPECT_TRUE(CargarCodigos(enlace, op, plu, config, true).rechazado);
    EXPECT_EQ(op.textos().value(0),
              "Desea cargar los productos en el indicador?\n\n2 nuevos, 2 cambiados, 1 se "
              "borrará del indicador");

    // Same codes on both sides.
    Llenar(kProductos);
    EXPECT_TRUE(CompararConIndicador(enlace, plu, config)->iguales());
}

TEST_F(Transferencia, ATableWithAnotherNameWorks) {
    QSqlQuery q(ConexionPara(plu.conexion));
    ASSERT_TRUE(
        q.exec("CREATE TABLE \"Mis productos\" (Codigo INTEGER, Grupo INTEGER, Nombre "
               "VARCHAR(46), EAN VARCHAR(15), Aux VARCHAR(1))"));
    const TablaDatos otra{plu.conexion, "Mis productos"};
    ASSERT_TRUE(ReemplazarProductos(otra, kProductos));
    op.responder({true, true, true});
    ASSERT_TRUE(CargarConfiguracion(enlace, op, setup, Configuracion()).ok);
    ASSERT_TRUE(CargarCodigos(enlace, op, otra, Configuracion(), false).ok);
    ASSERT_TRUE(RecuperarCodigos(enlace, op, otra, setup).ok);
    EXPECT_EQ(LeerProductos(otra, 0, OrdenProductos::GrupoCodigo).value(), Ordenados(kProductos));
    EXPECT_TRUE(Tabla().isEmpty());
}

}  // namespace
