// Loading and reading back recipes and the set-point configuration, in process and through
// bascora-cli recetas, against the simulated indicator on 127.0.0.1.
#include "base/Globales.h"
#include "tests/recetas/Entorno.h"
#include "tests/support/ProcesoCli.h"

namespace {

QStringList Ceros(int n) {
    return QStringList(n, QStringLiteral("0"));
}

using Transferencias = EntornoRecetas;

// The recipe goes to its area, and to the working set points only when it is the indicator's
// current one (a 24-bit number).
TEST_F(Transferencias, RecipeGoesToItsAreaAndToTheWorkingSetPointsOnlyWhenCurrent) {
    QStringList valores = Ceros(8) + QStringList{"basura"};  // above cntComp: not sent
    valores[0] = "12.5";
    valores[1] = "0.1";
    const QByteArray esperados = QByteArray::fromHex("7d0000010000") + QByteArray(18, '\0');
    for (const int actual : {70000, 3}) {
        sim.escribirRegistros(DirCodigos, actual == 3 ? QByteArray::fromHex("03000000")
                                                      : QByteArray::fromHex("70110100"));
        op.responder({true});
        const ResultadoCargaReceta r = CargarReceta(enlace, op, 3, valores, {8, 1});
        EXPECT_TRUE(r.exito());
        EXPECT_EQ(r.actual, actual);
        EXPECT_EQ(sim.leerRegistros(14440, 12), esperados);
        EXPECT_EQ(sim.leerRegistros(DirSP, 12), actual == 3 ? esperados : QByteArray(24, '\0'));
    }
    EXPECT_EQ(sim.tramasRecibidas(6), 12 + 12 + 12);
    EXPECT_EQ(op.mensajes.size(), 2);  // only the two questions
}

// Nothing is sent without Yes, for a component count the layout cannot hold, or a recipe beyond
// the memory or missing from the table (values that cannot be encoded: the command line test).
TEST_F(Transferencias, RefusalsSendNothing) {
    EXPECT_FALSE(CargarReceta(enlace, op, 1, Ceros(8), {8, 1}).confirmada);  // No
    for (int n : {7, 18}) {
        op.responder({true, true});
        EXPECT_FALSE(CargarReceta(enlace, op, 1, Ceros(16), {n, 1}).confirmada);
        EXPECT_FALSE(RecuperarReceta(enlace, op, tabla, 1, {n, 1}).confirmada);
    }
    op.responder({true});
    EXPECT_FALSE(CargarReceta(enlace, op, 5000, Ceros(8), {8, 1}).confirmada);
    op.responder({true});
    EXPECT_FALSE(RecuperarReceta(enlace, op, tabla, 99, {8, 1}).confirmada);  // not in the table
    EXPECT_TRUE(enlace.peticiones.isEmpty());
    EXPECT_EQ(sim.tramasRecibidas(), 0);
}

TEST_F(Transferencias, EachFailedRequestIsReportedAndStopsWhatDependsOnIt) {
    sim.escribirRegistros(DirCodigos, QByteArray::fromHex("02000000"));
    const struct {
        int direccionQueFalla, peticiones, actual;
    } casos[] = {{14428, 1, -1}, {14172, 2, -1}, {14204, 3, 2}};
    for (const auto& c : casos) {
        enlace.peticiones.clear();
        op.mensajes.clear();
        enlace.fallar = [&](const PeticionEnlace& p) {
            return p.Direccion.toInt() == c.direccionQueFalla;
        };
        op.responder({true});
        const ResultadoCargaReceta r = CargarReceta(enlace, op, 2, Ceros(8), {8, 1});
        EXPECT_FALSE(r.exito());
        EXPECT_EQ(r.actual, c.actual);
        EXPECT_EQ(enlace.peticiones.size(), c.peticiones) << c.direccionQueFalla;
        EXPECT_EQ(op.mensajes.size(), 2);
        EXPECT_EQ(op.mensajes.last().titulo, "Error");
    }
}

// Sixteen components go to their own area and come back; a read back is unsigned, stored only
// on success, and leaves the components outside the recipe alone.
TEST_F(Transferencias, LoadThenReadBackGivesTheSameValues) {
    QStringList valores;
    for (int k = 1; k <= 16; ++k) valores << QString::number(k * 12.5 + 0.1);
    op.responder({true, true});
    ASSERT_TRUE(CargarReceta(enlace, op, 2, valores, {16, 1}).enviada);
    EXPECT_EQ(enlace.peticiones[0].Direccion, "14452");
    EXPECT_EQ(enlace.peticiones[0].Dato.size(), 48);  // registers 14452 to 14475
    Guardar(2, Ceros(16));
    EXPECT_TRUE(RecuperarReceta(enlace, op, tabla, 2, {16, 1}).exito);
    EXPECT_EQ(Valores(2), valores);
    EXPECT_EQ(Valores(1), Ceros(16));  // other recipes untouched

    Guardar(3, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"});
    sim.escribirRegistros(14440, QByteArray::fromHex("008000") + BytesValor(-1));
    enlace.fallar = [](const PeticionEnlace&) { return true; };
    op.responder({true});
    EXPECT_FALSE(RecuperarReceta(enlace, op, tabla, 3, {8, 1}).exito);
    EXPECT_EQ(Valores(3, 3), QStringList({"1", "2", "3"}));
    enlace.fallar = nullptr;
    op.responder({true});
    EXPECT_TRUE(RecuperarReceta(enlace, op, tabla, 3, {8, 1}).exito);
    EXPECT_EQ(Valores(3, 10),
              QStringList({"3276.8", "1677721.5", "0", "0", "0", "0", "0", "0", "9", "10"}));
}

// Names and letters go out whole and come back eleven characters; the names are sent even when
// the letters fail.
TEST_F(Transferencias, SetPointConfigurationRoundTripAndNamesSentWhenTheLettersFail) {
    ConfiguracionSP sp = LeerConfiguracionSP();
    sp.nombres[0] = "Doce letras!";
    sp.nombres[1] = "Sal";
    sp.letras[0] = "D";
    sp.letras[1] = "";
    op.responder({true});
    EXPECT_TRUE(CargarConfiguracionSP(enlace, op, sp).exito());
    EXPECT_EQ(sim.leerRegistros(12, 8), QByteArray("D 3456789") + "1111111");
    EXPECT_EQ(sim.leerRegistros(14276, 18), QByteArray("Doce letras!Sal         Valor 3     "));
    GuardarConfigSeccion("SP", {{"SP1", "otro"}, {"LSP1", "Z"}});
    op.responder({true});
    const ResultadoConfiguracionSP r = RecuperarConfiguracionSP(enlace, op);
    EXPECT_TRUE(r.exito());
    EXPECT_EQ(r.leida.nombres.mid(0, 2), QStringList({"Doce letras", "Sal        "}));
    EXPECT_EQ(LeerConfig("SP", "SP1", ""), "Doce letras");
    EXPECT_EQ(LeerConfig("SP", "LSP1", ""), "D");

    enlace.fallar = [](const PeticionEnlace& p) { return p.Direccion == u"12"; };
    op.responder({true});
    const ResultadoConfiguracionSP sinLetras = CargarConfiguracionSP(enlace, op, sp);
    EXPECT_TRUE(!sinLetras.letras && sinLetras.nombres);
    EXPECT_EQ(op.mensajes.last().icono, Icono::Error);
}

// Lists, loads (the question gets No without a terminal), reads back; refuses an empty component,
// a missing recipe and a component count that would wrap to a valid one, before any frame.
TEST_F(Transferencias, CommandLineListsLoadsReadsBackAndRefuses) {
    const InformeProvision informe = PrepararCarpeta();  // the settings that find the table
    ASSERT_TRUE(informe.ok()) << qPrintable(informe.Texto());
    QString salida, errores;
    const auto ejecutar = [&](const QStringList& argumentos) {
        QByteArray out, err;
        const int estado = EjecutarCli(
            QStringList({"--carpeta", carpeta.ruta(), "recetas"}) + argumentos, &out, &err);
        salida = QString::fromUtf8(out);
        errores = QString::fromUtf8(err);
        return estado;
    };
    Guardar(3, {"12.5", "0.1", "0", "0", "0", "0", "0", "3276.7"});
    Guardar(4, {"1", "2"});  // components 3 to 8 without a value
    ASSERT_EQ(ejecutar({"listar"}), 0) << qPrintable(errores);
    EXPECT_EQ(salida.split('\n', Qt::SkipEmptyParts).value(3),
              "3\t12.5\t0.1\t0.0\t0.0\t0.0\t0.0\t0.0\t3276.7");
    EXPECT_EQ(ejecutar({"cargar", "3"}), 1);
    EXPECT_EQ(ejecutar({"cargar", "4", "--si"}), 1);
    EXPECT_TRUE(errores.contains("el componente 3 (Valor 3) está vacío")) << qPrintable(errores);
    EXPECT_EQ(ejecutar({"cargar", "99", "--si"}), 1);
    GuardarConfig("global", "cntComp", "65544");  // no 16-bit wrap-around to 8
    EXPECT_EQ(ejecutar({"recuperar", "1", "--si"}), 1);
    EXPECT_TRUE(errores.contains("cntComp = 65544")) << qPrintable(errores);
    EXPECT_EQ(sim.tramasRecibidas(), 0);
    for (const QStringList& mal : {QStringList{}, QStringList{"borrar"}, QStringList{"cargar", "x"},
                                   QStringList{"cargar", "-1"}, QStringList{"cargar", "1", "--no"}})
        EXPECT_EQ(ejecutar(mal), 2) << qPrintable(mal.join(' '));

    GuardarConfig("global", "cntComp", "8");
    sim.escribirRegistros(DirCodigos, QByteArray::fromHex("03000000"));
    ASSERT_EQ(ejecutar({"cargar", "3", "--si"}), 0) << qPrintable(errores);
    EXPECT_TRUE(salida.contains("Receta actual en el indicador: 3")) << qPrintable(salida);
    EXPECT_EQ(sim.leerRegistros(DirSP, 12),
              QByteArray::fromHex("7d0000010000") + QByteArray(15, '\0') + BytesValor(32767));
    sim.escribirRegistros(14428, QByteArray::fromHex("008000"));
    ASSERT_EQ(ejecutar({"recuperar", "2", "--si"}), 0) << qPrintable(errores);
    EXPECT_EQ(Valores(2, 2), QStringList({"3276.8", "0"}));
}

}  // namespace
