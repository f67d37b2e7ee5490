// bascora-cli descargar and auto as processes, against the simulated indicator on 127.0.0.1.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTest>

#include "tests/descargas/EnlaceFalso.h"
#include "tests/settings/DiscoLleno.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/ProcesoCli.h"
#include "tests/support/SimuladorPrueba.h"

namespace {

class ComandoDescarga : public ::testing::Test {
  protected:
    void SetUp() override {
        sim.ConfigurarEnlaceTcp();
        ConfigurarPlano("plano", "3");
        for (int i = 1; i <= 12; ++i) sim.agregarPesada(RegistroDePrueba(i));
        sim.fijarContador(500);
    }

    void Iniciar(QProcess& p, const QStringList& argumentos) {
        IniciarCli(p, QStringList({"--carpeta", carpeta.ruta()}) + argumentos);
        ASSERT_TRUE(p.waitForStarted(10000));
    }
    int Ejecutar(const QStringList& argumentos, QByteArray* salida = nullptr) {
        return EjecutarCli(QStringList({"--carpeta", carpeta.ruta()}) + argumentos, salida);
    }
    // n lines stored, the indicator emptied and unlocked.
    void ComprobarDescargadas(int n) {
        EXPECT_EQ(int(carpeta.leer("plano.txt").count("\r\n")), n);
        EXPECT_EQ(sim.indicador().cuenta(), 0);
        EXPECT_FALSE(sim.indicador().bloqueado());
    }

    CarpetaTemporal carpeta;
    SimuladorPrueba sim;
};

TEST_F(ComandoDescarga, DownloadsOnlyWhenConfirmedAndReportsByExitStatus) {
    QByteArray salida;
    EXPECT_EQ(Ejecutar({"descargar"}, &salida), 1);  // no terminal: the question gets No
    EXPECT_EQ(sim.tramasRecibidas(), 0);
    // A busy indicator is waited for only when asked.
    sim.indicador().fijarOcupado(60000);
    EXPECT_EQ(Ejecutar({"descargar", "--si"}), 1);
    EXPECT_EQ(sim.tramasRecibidas(6), 0);

    sim.indicador().fijarOcupado(0);
    GuardarConfig("Opciones", "Ruta", "falta/");  // a failed download gives a failure status
    EXPECT_EQ(Ejecutar({"descargar", "--si"}), 1);
    EXPECT_EQ(sim.indicador().cuenta(), 12);
    EXPECT_TRUE(sim.indicador().bloqueado());
    EXPECT_EQ(LoteGuardado(), 4);  // the batch number is used up

    GuardarConfig("Opciones", "Ruta", "");
    sim.indicador().fijarOcupado(2500);
    QByteArray errores;  // -v: the link's counts on stderr
    EXPECT_EQ(EjecutarCli({"--carpeta", carpeta.ruta(), "-v", "descargar", "--si", "--esperar"},
                          &salida, &errores),
              0)
        << salida.toStdString();
    EXPECT_TRUE(errores.contains("Enlace: tramas ")) << errores.toStdString();
    ComprobarDescargadas(12);
    EXPECT_EQ(LoteGuardado(), 5);

    // Nothing stored: a complete download all the same, unlocked, no batch used.
    EXPECT_EQ(Ejecutar({"descargar", "--si"}, &salida), 0);
    EXPECT_FALSE(salida.contains("Enlace:"));
    EXPECT_FALSE(sim.indicador().bloqueado());
    EXPECT_EQ(LoteGuardado(), 5);
}

TEST_F(ComandoDescarga, ServiceDownloadsAndSigtermDuringADownloadLetsItFinishFirst) {
    for (int i = 13; i <= 100; ++i) sim.agregarPesada(RegistroDePrueba(i));
    simulador::AjustesFallos lento;
    lento.tardar = 1.0;
    lento.retardoMs = 15;  // about 2.5 s for the records
    sim.fijarFallos(lento);
    GuardarConfig("Global", "InicioBajar", "1");
    QProcess p;
    Iniciar(p, {"auto"});
    QByteArray salida;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (salida += p.readAllStandardOutput()).contains(" - Conectado"); }, 30000))
        << salida.toStdString();
    p.terminate();  // SIGTERM
    ASSERT_TRUE(p.waitForFinished(60000));
    salida += p.readAllStandardOutput();
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
    const qsizetype recibidas = salida.indexOf("Se han recibido 100 pesadas.");
    EXPECT_GT(recibidas, 0) << salida.toStdString();
    EXPECT_GT(salida.indexOf(" - OFF"), recibidas);
    EXPECT_TRUE(carpeta.leer("auto.txt").endsWith(" - OFF\r\n"));
    ComprobarDescargadas(100);
}

TEST_F(ComandoDescarga, TwoDownloadsAtOnceStoreEveryWeighingOnce) {
    for (int i = 13; i <= 300; ++i) sim.agregarPesada(RegistroDePrueba(i));
    simulador::AjustesFallos lento;
    lento.tardar = 1.0;
    lento.retardoMs = 5;  // long enough for both to be running at once
    sim.fijarFallos(lento);
    QProcess a, b;
    Iniciar(a, {"descargar", "--si"});
    Iniciar(b, {"descargar", "--si"});
    ASSERT_TRUE(a.waitForFinished(120000));
    ASSERT_TRUE(b.waitForFinished(120000));
    const QByteArray salidas = a.readAllStandardOutput() + a.readAllStandardError() +
                               b.readAllStandardOutput() + b.readAllStandardError();
    // One stored the 300, the other was refused.
    EXPECT_EQ(a.exitCode() + b.exitCode(), 1) << salidas.toStdString();
    EXPECT_TRUE(salidas.contains("Hay otra descarga en curso")) << salidas.toStdString();
    ComprobarDescargadas(300);
    EXPECT_EQ(LoteGuardado(), 4);
}

TEST_F(ComandoDescarga, MistypedFolderAndFailedWriteNeverLookLikeSuccess) {
    const QString falta = carpeta.ruta("no-existe");
    QByteArray salida, errores;  // stdout alone is checked
    EXPECT_EQ(EjecutarCli({"--carpeta", falta, "config", "leer", "Global", "Lote"}), 2);
    EXPECT_FALSE(QFileInfo::exists(falta));

    // Nobody listens on the port: the write fails and stdout stays empty.
    QTcpServer cerrado;
    cerrado.listen(QHostAddress::LocalHost, 0);
    GuardarConfig("Global", "Port_1", cerrado.serverPort());
    cerrado.close();
    EXPECT_EQ(
        EjecutarCli({"--carpeta", carpeta.ruta(), "escribir", "10", "1", "2"}, &salida, &errores),
        1);
    EXPECT_TRUE(salida.isEmpty()) << salida.toStdString();
}

// The data folder on a full disk: neither the batch number nor anything else can be written, so
// the download stops before any sink and before the indicator's memory, and bascora.ini is kept.
TEST_F(ComandoDescarga, FullDiskStopsBeforeAnySinkAndKeepsTheSettingsFile) {
    DiscoLleno disco;
    if (!disco.montado()) GTEST_SKIP() << disco.motivo().toStdString();
    GuardarConfig("Opciones", "Ruta", carpeta.ruta() + "/");  // exports outside the full disk
    const QByteArray ini = carpeta.leer("bascora.ini");
    QFile copia(disco.ruta("bascora.ini"));
    ASSERT_TRUE(copia.open(QIODevice::WriteOnly));
    copia.write(ini);
    copia.close();
    for (const int libres : {0, 1}) {  // nothing free; room for the download lock alone
        disco.llenar(libres);
        QProcess p;
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert("BASCORA_ESPERA_MS", "200");
        p.setProcessEnvironment(entorno);
        p.start(QStringLiteral(BASCORA_DIR_BINARIOS "/bascora-cli"),
                {"--carpeta", disco.ruta(), "descargar", "--si"});
        ASSERT_TRUE(p.waitForFinished(60000));
        const QByteArray salida = p.readAllStandardOutput() + p.readAllStandardError();
        EXPECT_EQ(p.exitCode(), 1) << salida.toStdString();
        QFile leido(disco.ruta("bascora.ini"));
        ASSERT_TRUE(leido.open(QIODevice::ReadOnly));
        EXPECT_EQ(leido.readAll(), ini) << libres;
        EXPECT_EQ(sim.indicador().cuenta(), 12);
        EXPECT_FALSE(sim.indicador().bloqueado());
        EXPECT_FALSE(QFile::exists(carpeta.ruta("plano.txt")));
    }
}

}  // namespace
