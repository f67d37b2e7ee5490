// Loading and reading back recipes and the set-point configuration, against the simulated
// indicator on 127.0.0.1.
#include "base/Globales.h"
#include "tests/recetas/Entorno.h"

namespace {

QByteArray Actual(int receta) {
    QByteArray b(4, '\0');
    for (int i = 0; i < 3; ++i) b[i] = char((receta >> (8 * i)) & 0xFF);
    return b;
}

QStringList Ceros(int n) {
    return QStringList(n, QStringLiteral("0"));
}

class Transferencias : public EntornoRecetas {};

TEST_F(Transferencias, RecipeGoesToItsAreaAndToTheWorkingSetPointsOnlyWhenCurrent) {
    sim.escribirRegistros(DirCodigos, Actual(70000));  // a 24-bit recipe number
    QStringList valores = Ceros(8);
    valores[0] = "12.5";
    valores[1] = "0.1";
    const AjustesRecetas ocho{8, 1};

    op.responder({true});
    ResultadoCargaReceta r = CargarReceta(enlace, op, 3, valores, ocho);
    EXPECT_TRUE(r.exito());
    EXPECT_EQ(r.actual, 70000);
    EXPECT_FALSE(r.actualEscrita);
    const QByteArray esperados = QByteArray::fromHex("7d0000010000") + QByteArray(18, '\0');
    EXPECT_EQ(enlace.escrituras(), QStringList{"14440:" + esperados.toHex(' ')});
    EXPECT_EQ(sim.leerRegistros(14440, 12), esperados);
    EXPECT_EQ(sim.leerRegistros(DirSP, 12), QByteArray(24, '\0'));
    EXPECT_EQ(op.textos().value(0), "Desea cargar la receta 3 en el indicador?");

    enlace.peticiones.clear();
    sim.escribirRegistros(DirCodigos, Actual(3));
    op.responder({true});
    r = CargarReceta(enlace, op, 3, valores, ocho);
    EXPECT_TRUE(r.exito());
    EXPECT_TRUE(r.actualEscrita);
    EXPECT_EQ(enlace.escrituras(),
              QStringList({"14440:" + esperados.toHex(' '), "14204:" + esperados.toHex(' ')}));
    EXPECT_EQ(sim.leerRegistros(DirSP, 12), esperados);
    EXPECT_EQ(op.mensajes.size(), 2);  // only the two questions
}

TEST_F(Transferencias, ValueThatCannotBeEncodedRefusesTheLoadBeforeAnyFrame) {
    GuardarConfig("SP", "SP2", "Agua");
    struct Caso {
        const char* valor;
        const char* mensaje;
    };
    const Caso casos[] = {
        {"", "Receta 4 no cargada, no se envió nada: el componente 2 (Agua) está vacío."},
        {"1,5",
         "Receta 4 no cargada, no se envió nada: el valor \"1,5\" del componente 2 (Agua) no es "
         "un número."},
        {"3276.8",
         "Receta 4 no cargada, no se envió nada: el componente 2 (Agua) vale 3276.8 y el "
         "indicador admite de -3276.8 a 3276.7."},
    };
    for (const Caso& c : casos) {
        QStringList valores = Ceros(8);
        valores[1] = QString::fromUtf8(c.valor);
        op.mensajes.clear();
        op.responder({true});
        EXPECT_FALSE(CargarReceta(enlace, op, 4, valores, {8, 1}).enviada);
        EXPECT_EQ(op.textos().mid(1), QStringList{QString::fromUtf8(c.mensaje)});
        EXPECT_EQ(op.mensajes.last().icono, Icono::Error);
        EXPECT_EQ(sim.tramasRecibidas(), 0);
    }
    // A component above cntComp is not part of the recipe.
    QStringList valores = Ceros(8) + QStringList{"basura"};
    op.responder({true});
    EXPECT_TRUE(CargarReceta(enlace, op, 4, valores, {8, 1}).enviada);
    EXPECT_EQ(enlace.peticiones.size(), 2);
    EXPECT_EQ(sim.tramasRecibidas(6), 12);
}

TEST_F(Transferencias, NothingIsSentWithoutYesOrWithAComponentCountTheLayoutCannotHold) {
    EXPECT_FALSE(CargarReceta(enlace, op, 1, Ceros(8), {8, 1}).confirmada);  // No
    for (int n : {7, 0, 18}) {
        op.mensajes.clear();
        op.responder({true, true});
        EXPECT_FALSE(CargarReceta(enlace, op, 1, Ceros(16), {n, 1}).confirmada);
        EXPECT_FALSE(RecuperarReceta(enlace, op, tabla, 1, {n, 1}).confirmada);
        ASSERT_EQ(op.mensajes.size(), 2) << n;
        EXPECT_EQ(op.mensajes[0].texto,
                  QString("El número de componentes (cntComp = %1) no es válido: debe ser par, "
                          "de 2 a 16.")
                      .arg(n));
    }
    op.responder({true});
    EXPECT_FALSE(CargarReceta(enlace, op, 5000, Ceros(8), {8, 1}).confirmada);
    EXPECT_TRUE(enlace.peticiones.isEmpty());
    EXPECT_EQ(sim.tramasRecibidas(), 0);
}

TEST_F(Transferencias, EachFailedRequestIsReportedAndStopsWhatDependsOnIt) {
    sim.escribirRegistros(DirCodigos, Actual(2));
    struct Caso {
        int direccionQueFalla;
        QStringList mensajes;
        int peticiones;
        int actual;
    };
    const QList<Caso> casos = {
        {14428, {"Error al cargar la Receta"}, 1, -1},
        {14172, {"Error al recuperar numero de receta"}, 2, -1},
        {14204, {"Error al cargar la Receta Actual"}, 3, 2},
    };
    for (const Caso& c : casos) {
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
        EXPECT_EQ(op.textos().mid(1), c.mensajes);
        EXPECT_EQ(op.mensajes.last().titulo, "Error");
    }
}

TEST_F(Transferencias, LoadThenReadBackGivesTheSameValues) {
    const AjustesRecetas dieciseis{16, 1};
    QStringList valores;
    for (int k = 1; k <= 16; ++k) valores << QString::number(k * 12.5 + 0.1);
    op.responder({true});
    ASSERT_TRUE(CargarReceta(enlace, op, 2, valores, dieciseis).enviada);
    EXPECT_EQ(enlace.peticiones[0].Direccion, "14452");
    EXPECT_EQ(enlace.peticiones[0].Dato.size(), 48);  // registers 14452 to 14475

    Guardar(2, Ceros(16));
    enlace.peticiones.clear();
    op.responder({true});
    EXPECT_TRUE(RecuperarReceta(enlace, op, tabla, 2, dieciseis).exito);
    ASSERT_EQ(enlace.peticiones.size(), 1);
    EXPECT_EQ(enlace.peticiones[0].Direccion + '+' + enlace.peticiones[0].Longitud, "14452+24");
    EXPECT_EQ(Valores(2), valores);
    EXPECT_EQ(Valores(1), Ceros(16));  // other recipes untouched
}

TEST_F(Transferencias, ReadBackIsUnsignedAndStoredOnlyOnSuccess) {
    Guardar(3, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"});
    QByteArray area = QByteArray::fromHex("008000") + BytesValor(-1) + QByteArray(18, '\0');
    sim.escribirRegistros(14440, area);

    enlace.fallar = [](const PeticionEnlace&) { return true; };
    op.responder({true});
    EXPECT_FALSE(RecuperarReceta(enlace, op, tabla, 3, {8, 1}).exito);
    EXPECT_EQ(op.textos().last(), "Error al recuperar la receta");
    EXPECT_EQ(Valores(3, 3), QStringList({"1", "2", "3"}));

    enlace.fallar = nullptr;
    op.responder({true});
    EXPECT_TRUE(RecuperarReceta(enlace, op, tabla, 3, {8, 1}).exito);
    // Components 9 and 10 lie outside an 8-component recipe and keep their values.
    EXPECT_EQ(Valores(3, 10),
              QStringList({"3276.8", "1677721.5", "0", "0", "0", "0", "0", "0", "9", "10"}));

    enlace.peticiones.clear();
    op.mensajes.clear();
    op.responder({true});
    EXPECT_FALSE(RecuperarReceta(enlace, op, tabla, 99, {8, 1}).confirmada);
    EXPECT_EQ(op.textos(), QStringList{"La receta 99 no existe en la tabla de recetas."});
    EXPECT_TRUE(enlace.peticiones.isEmpty());
}

TEST_F(Transferencias, SetPointNamesAndLettersGoOutWholeAndComeBackElevenCharacters) {
    ConfiguracionSP sp = LeerConfiguracionSP();
    sp.nombres[0] = "Doce letras!";
    sp.nombres[1] = "Sal";
    sp.letras[0] = "D";
    sp.letras[1] = "";
    op.responder({true});
    EXPECT_TRUE(CargarConfiguracionSP(enlace, op, sp).exito());
    EXPECT_EQ(sim.leerRegistros(12, 8), QByteArray("D 3456789") + "1111111");
    EXPECT_EQ(sim.leerRegistros(14276, 18), QByteArray("Doce letras!Sal         Valor 3     "));
    EXPECT_EQ(LeerConfig("SP", "SP1", ""), "Doce letras!");
    EXPECT_EQ(LeerConfig("SP", "LSP2", "x"), "");

    GuardarConfigSeccion("SP", {{"SP1", "otro"}, {"LSP1", "Z"}});
    enlace.peticiones.clear();
    op.responder({true});
    const ResultadoConfiguracionSP r = RecuperarConfiguracionSP(enlace, op);
    EXPECT_TRUE(r.exito());
    EXPECT_EQ(r.leida.nombres[0], "Doce letras");
    EXPECT_EQ(r.leida.nombres[1], "Sal        ");
    EXPECT_EQ(r.leida.letras.mid(0, 3), QStringList({"D", " ", "3"}));
    EXPECT_EQ(LeerConfig("SP", "SP1", ""), "Doce letras");
    EXPECT_EQ(LeerConfig("SP", "LSP1", ""), "D");
}

TEST_F(Transferencias, SetPointRequestsAreIndependent) {
    const ConfiguracionSP sp = LeerConfiguracionSP();
    enlace.fallar = [](const PeticionEnlace& p) { return p.Direccion == u"12"; };
    op.responder({true});
    ResultadoConfiguracionSP r = CargarConfiguracionSP(enlace, op, sp);
    EXPECT_FALSE(r.letras);
    EXPECT_TRUE(r.nombres);
    EXPECT_EQ(op.textos().mid(1), QStringList{"Error al cargar las letras"});

    enlace.fallar = [](const PeticionEnlace& p) { return p.Direccion == u"14276"; };
    op.mensajes.clear();
    op.responder({true});
    r = RecuperarConfiguracionSP(enlace, op);
    EXPECT_FALSE(r.nombres);
    EXPECT_TRUE(r.letras);
    EXPECT_TRUE(r.leida.nombres.isEmpty());
    EXPECT_EQ(op.textos().mid(1), QStringList{"Error al recuperar los nombres"});

    enlace.peticiones.clear();
    EXPECT_FALSE(RecuperarConfiguracionSP(enlace, op).confirmada);  // No
    EXPECT_TRUE(enlace.peticiones.isEmpty());
}

}  // namespace
