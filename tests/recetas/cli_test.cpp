// bascora-cli recetas as a process, against the simulated indicator on 127.0.0.1.
#include <QProcess>

#include "base/Globales.h"
#include "tests/recetas/Entorno.h"
#include "tests/support/ProcesoCli.h"

namespace {

class ComandoRecetas : public EntornoRecetas {
  protected:
    void SetUp() override {
        EntornoRecetas::SetUp();
        const InformeProvision informe = PrepararCarpeta();  // the settings that find the table
        ASSERT_TRUE(informe.ok()) << qPrintable(informe.Texto());
    }
    int Ejecutar(const QStringList& argumentos) {
        QByteArray out, err;
        const int estado = EjecutarCli(
            QStringList({"--carpeta", carpeta.ruta(), "recetas"}) + argumentos, &out, &err);
        salida = QString::fromUtf8(out);
        errores = QString::fromUtf8(err);
        return estado;
    }
    QString salida;
    QString errores;
};

TEST_F(ComandoRecetas, ListsLoadsAndReadsBack) {
    Guardar(3, {"12.5", "0.1", "0", "0", "0", "0", "0", "3276.7"});
    ASSERT_EQ(Ejecutar({"listar"}), 0) << qPrintable(errores);
    const QStringList lineas = salida.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lineas.size(), 6);  // heading and five recipes
    EXPECT_EQ(lineas[3], "3\t12.5\t0.1\t0.0\t0.0\t0.0\t0.0\t0.0\t3276.7");

    EXPECT_EQ(Ejecutar({"cargar", "3"}), 1);  // not a terminal: the question gets No
    EXPECT_EQ(sim.tramasRecibidas(), 0);
    sim.escribirRegistros(DirCodigos, QByteArray::fromHex("03000000"));
    ASSERT_EQ(Ejecutar({"cargar", "3", "--si"}), 0) << qPrintable(errores);
    EXPECT_TRUE(salida.contains("Receta actual en el indicador: 3")) << qPrintable(salida);
    const QByteArray esperados =
        QByteArray::fromHex("7d0000010000") + QByteArray(15, '\0') + BytesValor(32767);
    EXPECT_EQ(sim.leerRegistros(DirSP, 12), esperados);

    sim.escribirRegistros(14428, QByteArray::fromHex("008000"));
    ASSERT_EQ(Ejecutar({"recuperar", "2", "--si"}), 0) << qPrintable(errores);
    EXPECT_EQ(salida.split('\n', Qt::SkipEmptyParts).last(),
              "2\t3276.8\t0.0\t0.0\t0.0\t0.0\t0.0\t0.0\t0.0");
    EXPECT_EQ(Valores(2, 2), QStringList({"3276.8", "0"}));
}

TEST_F(ComandoRecetas, RefusalsAndWrongCommandLines) {
    Guardar(4, {"1", "2"});  // components 3 to 8 without a value
    EXPECT_EQ(Ejecutar({"cargar", "4", "--si"}), 1);
    EXPECT_TRUE(errores.contains("el componente 3 (Valor 3) está vacío")) << qPrintable(errores);
    EXPECT_EQ(Ejecutar({"cargar", "99", "--si"}), 1);
    EXPECT_TRUE(errores.contains("La receta 99 no existe")) << qPrintable(errores);
    GuardarConfig("global", "cntComp", "65544");  // no 16-bit wrap-around to 8
    EXPECT_EQ(Ejecutar({"recuperar", "1", "--si"}), 1);
    EXPECT_TRUE(errores.contains("cntComp = 65544")) << qPrintable(errores);
    EXPECT_EQ(sim.tramasRecibidas(), 0);

    for (const QStringList& mal : {QStringList{}, QStringList{"borrar"}, QStringList{"cargar", "x"},
                                   QStringList{"cargar", "-1"}, QStringList{"cargar", "1", "--no"}})
        EXPECT_EQ(Ejecutar(mal), 2) << qPrintable(mal.join(' '));
}

}  // namespace
