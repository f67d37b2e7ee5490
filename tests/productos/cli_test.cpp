// bascora-cli productos as a process, on a prepared data folder and the simulator on 127.0.0.1.
#include <QProcess>

#include "base/Globales.h"
#include "tests/productos/Entorno.h"
#include "tests/support/ProcesoCli.h"

namespace {

class ComandoProductos : public EntornoProductos {
  protected:
    int Ejecutar(const QStringList& argumentos, QByteArray* salida = nullptr) {
        return EjecutarCli(QStringList({"--carpeta", carpeta.ruta(), "productos"}) + argumentos,
                           salida);
    }
};

TEST_F(ComandoProductos, ImportIsAllOrNothingAndWrongCommandLinesAreRefused) {
    Llenar({{3, 3, "queda", "", ""}});
    carpeta.escribir("malo.csv", "Codigo,Grupo,Nombre\n1,1,Bien\nx1,1,Mal\n2,9,Mal\n");
    QByteArray salida;
    EXPECT_EQ(Ejecutar({"importar", "malo.csv"}, &salida), 1);
    EXPECT_TRUE(salida.contains("Línea 3:") && salida.contains("Línea 4:")) << salida.toStdString();
    EXPECT_EQ(Tabla(), (QList<Producto>{{3, 3, "queda", "", ""}}));

    carpeta.escribir("bueno.csv", "Codigo;Grupo;Nombre\n2;3;Señor\n");
    EXPECT_EQ(Ejecutar({"importar", "bueno.csv"}, &salida), 0) << salida.toStdString();
    EXPECT_EQ(Ejecutar({"exportar", "salida.csv"}), 0);
    EXPECT_EQ(carpeta.leer("salida.csv"), "Codigo;Grupo;Nombre;EAN;Aux\r\n2;3;Señor;;\r\n");
    EXPECT_EQ(Ejecutar({"etiquetas", "3"}), 0);
    EXPECT_TRUE(carpeta.leer("CB.txt").contains("     Se\xF1or     \r\n"));  // Windows-1252
    for (const QStringList& mal : {QStringList{"etiquetas", "9"}, QStringList{"exportar"},
                                   QStringList{"cargar", "--no"}, QStringList{"otra"}})
        EXPECT_EQ(Ejecutar(mal), 2) << mal.join(' ').toStdString();
}

TEST_F(ComandoProductos, TransfersAgainstTheSimulator) {
    Llenar({{1, 1, "Uno €", "", ""}, {70000, 2, "AB", "", ""}});
    EXPECT_EQ(Ejecutar({"cargar"}), 1);  // no terminal: the question gets No
    EXPECT_EQ(sim.tramasRecibidas(6), 0);
    QByteArray salida;
    ASSERT_EQ(Ejecutar({"cargar", "--si"}, &salida), 0) << salida.toStdString();
    EXPECT_TRUE(salida.contains("2 nuevos, 0 cambiados, 0 se borrarán del indicador"))
        << salida.toStdString();
    EXPECT_EQ(sim.tramasRecibidas(6), 6500);
    EXPECT_EQ(sim.leerRegistros(DirPLU + 26, 4).toHex(' '), "70 11 01 02 41 42 00 20");
    ASSERT_EQ(Ejecutar({"configuracion", "--si"}), 0);
    EXPECT_EQ(Ejecutar({"comparar"}, &salida), 0);
    EXPECT_TRUE(salida.contains("El indicador ya tiene estos codigos.")) << salida.toStdString();
    Llenar({});
    ASSERT_EQ(Ejecutar({"recuperar", "--si"}, &salida), 0) << salida.toStdString();
    EXPECT_EQ(Tabla(), (QList<Producto>{{1, 1, "Uno €", "", ""}, {70000, 2, "AB", "", ""}}));
}

}  // namespace
