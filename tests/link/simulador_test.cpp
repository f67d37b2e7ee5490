// The simulator as the tests and the demo rely on it: its indicator behaviour, its state file,
// and the executable started, used and stopped by PID. Its frame
// handling runs end to end in every link test.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QJsonDocument>

#include "base/Globales.h"
#include "link/EnlaceDirecto.h"
#include "link/Tramas.h"
#include "settings/Config.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/ProcesoCli.h"
#include "tests/support/SimuladorPrueba.h"

using simulador::Indicador;

namespace {

QByteArray Registro(int dia, int peso, int codigo) {
    QByteArray r = char(dia) + QByteArray::fromHex("12263009") + QByteArray(21, '\0');
    r[5] = char(peso & 0xFF), r[6] = char(peso >> 8), r[8] = char(codigo);
    return r;
}

TEST(Indicador, AuditMemoryTotalsAndFrames) {
    Indicador ind;
    ind.fijarContador(0xFFFFFE);
    ind.agregarPesada(Registro(1, 1000, 3));
    ind.agregarPesada(Registro(2, 500, 3));
    EXPECT_EQ(ind.cuenta(), 2);
    EXPECT_EQ(ind.contador(), 0u);  // 24 bits wrap
    EXPECT_EQ(ind.leerRegistros(7041 + 13, 13), Registro(2, 500, 3));
    // Product 3's total: 1500 in 24 bits, 2 weighings in 16.
    EXPECT_EQ(ind.leerRegistros(13547, 10).mid(10, 5), QByteArray::fromHex("DC05000200"));

    // Past 500 records only the count grows.
    ind.fijarCuenta(500);
    ind.agregarPesada(Registro(3, 1, 0));
    EXPECT_EQ(ind.cuenta(), 501);
    EXPECT_EQ(ind.pesadas().size(), 500);
    EXPECT_EQ(ind.leerRegistros(13541, 1), QByteArray(2, '\0'));  // the lock register is intact

    // Frames: negative weight, exceptions for a run past the end and an unknown function, no
    // answer to a bad CRC.
    ind.fijarPeso(-5, 0, 1, false);
    EXPECT_EQ(ind.Procesar(TramaLectura(0, 0, 8)).bytes.left(7),
              QByteArray::fromHex("000310FFFBFFFF"));

    EXPECT_FALSE(ind.Procesar(QByteArray::fromHex("0003000000080000")).hay);  // bad CRC
    EXPECT_EQ(ind.Procesar(TramaLectura(0, 65535, 2)).bytes.left(3), QByteArray::fromHex("008302"));
    QByteArray f4 = QByteArray::fromHex("000400000001");
    EXPECT_EQ(ind.Procesar(f4 + crc16(f4)).bytes.left(3), QByteArray::fromHex("008401"));
}

// The state file keeps everything; records may also be written as fields.
TEST(Indicador, StateFileRoundTrip) {
    CarpetaTemporal carpeta;
    Indicador a;
    a.fijarId(3);
    a.agregarPesada(Registro(5, 777, 2));
    a.escribirRegistros(14404, "recipe bytes");
    a.fijarSetup(QByteArray(90, 'z'));
    a.fijarEstado(2);
    ASSERT_TRUE(a.guardarEstado(carpeta.ruta("e.json")));
    Indicador b;
    ASSERT_TRUE(b.cargarEstado(carpeta.ruta("e.json")));
    EXPECT_EQ(b.id(), 3);
    EXPECT_EQ(b.pesadas(), a.pesadas());
    EXPECT_EQ(b.leerRegistros(0, 65535), a.leerRegistros(0, 65535));
    EXPECT_EQ(b.setup(), a.setup());
    EXPECT_EQ(b.estado(), 2);

    carpeta.escribir("c.json", R"({"pesadas":[{"fecha":"24/12/05","hora":"09:30","peso":12345,
        "codigos":["ABC",7]}], "cuenta": 501})");
    ASSERT_TRUE(b.cargarEstado(carpeta.ruta("c.json")));
    EXPECT_EQ(b.cuenta(), 501);
    EXPECT_EQ(b.pesadas().at(0).left(17).toHex(), "2412053009393000414243000000070000");
    carpeta.escribir("d.json", R"({"setup":"0102"})");
    EXPECT_FALSE(b.cargarEstado(carpeta.ruta("d.json")));
}

TEST(ProcesoSimulador, ServesTcpPtyAndTheCliAndSavesItsStateOnSigterm) {
    CarpetaTemporal carpeta;
    carpeta.escribir("inicio.json", R"({"contador": 99, "id": 2})");
    ProcesoSimulador sim(
        {"--pty", "--estado", carpeta.ruta("inicio.json"), "--guardar", carpeta.ruta("fin.json")});
    ASSERT_NE(sim.puerto(), 0);
    ASSERT_FALSE(sim.rutaPty().isEmpty());
    GuardarConfig("global", "ID_1", 2);
    EnlaceDirecto enlace;
    enlace.fijarEsperas(500, 1000);

    GuardarConfig("Global", "Comunicacion_1", 1);
    GuardarConfig("Global", "Host_1", "127.0.0.1");
    GuardarConfig("Global", "Port_1", int(sim.puerto()));
    QByteArray dato;
    ASSERT_TRUE(LeerRegistros(enlace, DirContador, 2, &dato));
    EXPECT_EQ(dato.left(3), QByteArray::fromHex("630000"));
    ASSERT_TRUE(EscribirRegistros(enlace, 14404, "tcp!"));

    GuardarConfig("Global", "Comunicacion_1", 0);
    GuardarConfig("Global", "Comm_1", 1);
    GuardarConfig("Puertos", "1", sim.rutaPty());
    ASSERT_TRUE(LeerRegistros(enlace, 14404, 2, &dato));
    EXPECT_EQ(dato, QByteArray("tcp!"));
    ASSERT_TRUE(EscribirRegistros(enlace, 14406, "pty!"));

    // bascora-cli over TCP: write, read, command, and its exit statuses.
    GuardarConfig("Global", "Comunicacion_1", 1);
    const auto cli = [](const QStringList& args, QByteArray* salida, QByteArray* error = nullptr) {
        QByteArray descarte;
        return EjecutarCli(args, salida, error ? error : &descarte);
    };
    QByteArray salida, error;
    EXPECT_EQ(cli({"escribir", "6524", "65", "0x42", "67"}, &salida), 0);
    EXPECT_EQ(cli({"leer", "6524", "2"}, &salida, &error), 0);
    EXPECT_TRUE(salida.contains(" 6524  41 42  16961  0x4241  AB")) << salida.constData();
    EXPECT_TRUE(salida.contains(" 6525  43 00     67  0x0043  C.")) << salida.constData();
    EXPECT_EQ(cli({"comando", "M"}, &salida), 0);
    EXPECT_TRUE(salida.startsWith("   0  01 02 03")) << salida.constData();
    EXPECT_EQ(cli({"comando", "Q"}, &salida), 1);          // no answer
    EXPECT_EQ(cli({"escribir", "0", "256"}, &salida), 2);  // not a byte

    EXPECT_TRUE(sim.detener());
    const QJsonObject fin = QJsonDocument::fromJson(carpeta.leer("fin.json")).object();
    Indicador copia;
    ASSERT_TRUE(copia.aplicarJson(fin));
    EXPECT_EQ(copia.leerRegistros(14404, 4), QByteArray("tcp!pty!"));
    EXPECT_EQ(copia.contador(), 99u);
    EXPECT_EQ(cli({"leer", "0", "8"}, &salida, &error), 1);
    EXPECT_TRUE(error.contains("Reintentos = 2"));
}

// The device vanishes in the middle of a serial read: the request ends without a hang and the
// port is not left spinning on read errors.
TEST(ProcesoSimulador, SerialDeviceThatDisappears) {
    CarpetaTemporal carpeta;
    ProcesoSimulador sim({"--pty", "--tardar", "1", "--retardo", "5"});
    ASSERT_FALSE(sim.rutaPty().isEmpty());
    GuardarConfig("Global", "Comm_1", 1);
    GuardarConfig("Puertos", "1", sim.rutaPty());
    EnlaceDirecto enlace;
    enlace.fijarEsperas(100);
    int bloques = 0;
    enlace.fijarProgreso([&](int p) {
        if (p > 0 && ++bloques == 5) sim.detener();
    });
    QElapsedTimer t;
    t.start();
    QByteArray dato;
    EXPECT_FALSE(LeerRegistros(enlace, 0, 400, &dato));
    EXPECT_GE(dato.size(), 5 * 16);
    EXPECT_LT(dato.size(), 800);
    EXPECT_LT(t.elapsed(), 5000);
}

}  // namespace
