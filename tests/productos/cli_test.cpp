// bascora-cli productos as a process, on a prepared data folder and the simulator on 127.0.0.1.
#include "base/Globales.h"
#include "tests/productos/Entorno.h"
#include "tests/support/ProcesoCli.h"

namespace {

using ComandoProductos = EntornoProductos;

// An import with bad lines stores nothing and names them; the transfers answer the way the
// windows do; wrong command lines are refused.
TEST_F(ComandoProductos, ImportIsAllOrNothingAndTheTransfersRunAgainstTheSimulator) {
    const auto ejecutar = [&](const QStringList& argumentos, QByteArray* salida = nullptr) {
        return EjecutarCli(QStringList({"--carpeta", carpeta.ruta(), "productos"}) + argumentos,
                           salida);
    };
    Llenar({{3, 3, "queda", "", ""}});
    carpeta.escribir("malo.csv", "Codigo,Grupo,Nombre\n1,1,Bien\nx1,1,Mal\n2,9,Mal\n");
    QByteArray salida;
    EXPECT_EQ(ejecutar({"importar", "malo.csv"}, &salida), 1);
    EXPECT_TRUE(salida.contains("Línea 3:") && salida.contains("Línea 4:")) << salida.toStdString();
    EXPECT_EQ(Tabla(), (QList<Producto>{{3, 3, "queda", "", ""}}));
    carpeta.escribir("bueno.csv", "Codigo;Grupo;Nombre\n1;1;Uno €\n70000;2;AB\n");
    EXPECT_EQ(ejecutar({"importar", "bueno.csv"}, &salida), 0) << salida.toStdString();
    for (const QStringList& mal : {QStringList{"etiquetas", "9"}, QStringList{"exportar"},
                                   QStringList{"cargar", "--no"}, QStringList{"otra"}})
        EXPECT_EQ(ejecutar(mal), 2) << mal.join(' ').toStdString();

    EXPECT_EQ(ejecutar({"cargar"}), 1);  // no terminal: the question gets No
    EXPECT_EQ(sim.tramasRecibidas(6), 0);
    ASSERT_EQ(ejecutar({"cargar", "--si"}, &salida), 0) << salida.toStdString();
    EXPECT_TRUE(salida.contains("2 nuevos, 0 cambiados, 0 se borrarán del indicador"))
        << salida.toStdString();
    EXPECT_EQ(sim.leerRegistros(DirPLU + 26, 4).toHex(' '), "70 11 01 02 41 42 00 20");
    ASSERT_EQ(ejecutar({"configuracion", "--si"}), 0);
    EXPECT_EQ(ejecutar({"comparar"}, &salida), 0);
    EXPECT_TRUE(salida.contains("El indicador ya tiene estos codigos.")) << salida.toStdString();
    Llenar({});
    ASSERT_EQ(ejecutar({"recuperar", "--si"}, &salida), 0) << salida.toStdString();
    EXPECT_EQ(Tabla(), (QList<Producto>{{1, 1, "Uno €", "", ""}, {70000, 2, "AB", "", ""}}));
}

}  // namespace
