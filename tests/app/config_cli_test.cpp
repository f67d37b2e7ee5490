// bascora-cli config and the program's start-up, run as the real executables on a settings file
// written by hand the way the Windows program left it (Windows-1252, CR LF, mixed-case sections,
// scrambled values).
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>

#include "settings/Config.h"
#include "settings/Cp1252.h"
#include "tests/support/CarpetaTemporal.h"

namespace {

struct Resultado {
    int codigo = -1;
    QString salida;
    QString error;
};

Resultado Ejecutar(const QString& programa, const QStringList& argumentos,
                   const QProcessEnvironment& entorno = QProcessEnvironment::systemEnvironment()) {
    QProcess proceso;
    proceso.setProcessEnvironment(entorno);
    proceso.start(QStringLiteral(BASCORA_DIR_BINARIOS "/") + programa, argumentos);
    if (!proceso.waitForFinished(30000)) proceso.kill();
    proceso.waitForFinished();
    return {proceso.exitStatus() == QProcess::NormalExit ? proceso.exitCode() : -1,
            QString::fromUtf8(proceso.readAllStandardOutput()),
            QString::fromUtf8(proceso.readAllStandardError())};
}

Resultado Cli(const QString& carpeta, const QStringList& argumentos) {
    return Ejecutar(QStringLiteral("bascora-cli"),
                    QStringList({"--carpeta", carpeta}) + argumentos);
}

// A value as the Windows program stored it scrambled: every byte complemented, then the ".".
QByteArray Cifrado(const QString& texto) {
    QByteArray bytes = AAnsi(texto);
    for (char& b : bytes) b = static_cast<char>(~static_cast<unsigned char>(b));
    return bytes + '.';
}

class ConfigCli : public ::testing::Test {
  protected:
    void SetUp() override { carpeta_.escribir("bascora.ini", Archivo()); }
    QByteArray Archivo() const { return lineas_.join("\r\n") + "\r\n"; }

    CarpetaTemporal carpeta_;
    QList<QByteArray> lineas_ = {
        "; Configuraci\xf3n de la b\xe1scula",
        "[GLOBAL]",
        "Indicador_1=1.",
        "Host_1=127.0.0.1.",
        "Usuario=Pe\xf1"
        "alol\xe9n S.A..",
        "",
        "[BaseDeDatos]",
        "DataCSReporte=" + Cifrado("Driver=QSQLITE;Data Source=datos.db;"),
        "DataTbReporte=" + Cifrado("Pesadas"),
        "",
        "[opciones]",
        "Ruta=C:\\B\xe1sculas\\Exportaci\xf3n.",
    };
};

TEST_F(ConfigCli, LeeValoresConAcentosCifradosYEnOtraCajaYNoReescribeNiConErroresDeUso) {
    const QList<std::pair<QStringList, QString>> casos = {
        {{"global", "usuario"}, QString::fromUtf8("Peñalolén S.A.")},
        {{"basededatos", "DATACSREPORTE", "--cifrado"}, "Driver=QSQLITE;Data Source=datos.db;"},
        {{"Opciones", "Ruta"}, QString::fromUtf8("C:\\Básculas\\Exportación")},
        {{"Global", "NoExiste"}, ""},
    };
    for (const auto& [argumentos, valor] : casos) {
        const Resultado r = Cli(carpeta_.ruta(), QStringList({"config", "leer"}) + argumentos);
        EXPECT_EQ(r.codigo, 0) << argumentos.join(' ').toStdString();
        EXPECT_EQ(r.salida, valor + u'\n') << argumentos.join(' ').toStdString();
    }
    // Usage errors exit with 2.
    const QList<QStringList> malos = {{"config", "leer", "Global"},
                                      {"config", "leer", "Global", "Host_1", "sobra"},
                                      {"config", "borrar", "Global", "Host_1"},
                                      {"config", "leer", "Global", "Host_1", "--cifrada"},
                                      {"config", "guardar", "", "Host_1", "x"}};
    for (const QStringList& argumentos : malos) {
        const Resultado r = Cli(carpeta_.ruta(), argumentos);
        EXPECT_EQ(r.codigo, 2) << argumentos.join(' ').toStdString();
        EXPECT_TRUE(r.error.contains("uso: bascora-cli")) << r.error.toStdString();
    }
    EXPECT_EQ(carpeta_.leer("bascora.ini"), Archivo());
}

TEST_F(ConfigCli, GuardarSoloCambiaLaLineaPropiaYElProgramaLeeLoMismo) {
    const QString dir = carpeta_.ruta();
    ASSERT_EQ(Cli(dir, {"config", "guardar", "Global", "indicador_1", "2"}).codigo, 0);
    lineas_[2] = "Indicador_1=2.";  // the key keeps the spelling of the file
    EXPECT_EQ(carpeta_.leer("bascora.ini"), Archivo());

    const QString plu = QStringLiteral("Driver=QSQLITE;Data Source=plu.db;");
    ASSERT_EQ(Cli(dir, {"config", "guardar", "BASEDEDATOS", "DataCSPLU", plu, "--cifrado"}).codigo,
              0);
    // A new key goes at the end of its section, before the blank line that closes it.
    lineas_.insert(9, "DataCSPLU=" + Cifrado(plu));
    EXPECT_EQ(carpeta_.leer("bascora.ini"), Archivo());
    // The program's own store reads the same value from the file the tool wrote.
    EXPECT_EQ(LeerConfig("BaseDeDatos", "DataCSPLU", "", true), plu);
}

TEST_F(ConfigCli, GuardarCreaElArchivoQueFaltaYFallaConUnoSiNoPuedeEscribir) {
    CarpetaTemporal nueva;
    ASSERT_EQ(Cli(nueva.ruta(), {"config", "guardar", "Global", "Port_1", "3000"}).codigo, 0);
    EXPECT_EQ(nueva.leer("bascora.ini"), "[Global]\r\nPort_1=3000.\r\n");

    // A folder where the file should be: nothing can be written, and the tool must say so.
    CarpetaTemporal otra;
    ASSERT_TRUE(QDir(otra.ruta()).mkdir("bascora.ini"));
    Resultado r = Cli(otra.ruta(), {"config", "guardar", "Global", "Host_1", "::1"});
    EXPECT_EQ(r.codigo, 1);
    EXPECT_TRUE(r.error.contains("could not write")) << r.error.toStdString();
}

TEST_F(ConfigCli, GuardarRechazaLoQueElArchivoNoPuedeGuardarYDiceElMotivo) {
    const QList<QStringList> rechazados = {
        {"Global", "Host_1", QString::fromUtf8("B\xc3\xb2veda"), "--cifrado"},  // ò scrambles to CR
        {"Global", "Host_1", QString::fromUtf8("\xe6\x97\xa5")},
        {"Glo]bal", "Host_1", "x"},
    };
    for (const QStringList& argumentos : rechazados) {
        const Resultado r = Cli(carpeta_.ruta(), QStringList({"config", "guardar"}) + argumentos);
        EXPECT_EQ(r.codigo, 1) << argumentos.join(' ').toStdString();
        EXPECT_TRUE(r.error.contains("could not write")) << r.error.toStdString();
        EXPECT_GT(r.error.section("bascora.ini: ", 1).trimmed().size(), 10)
            << "the reason is missing: " << r.error.toStdString();
    }
    EXPECT_EQ(carpeta_.leer("bascora.ini"), Archivo());
}

// Two processes writing at the same time: every key of both ends up in the file.
TEST(ConfigCliConcurrente, DosProcesosGuardan200ClavesSinPerderNinguna) {
    CarpetaTemporal carpeta;
    carpeta.escribir("bascora.ini", "[Global]\r\nIndicador_1=2.\r\n");
    const QString programa = QStringLiteral(BASCORA_DIR_BINARIOS "/bascora-cli");
    QList<int> codigos;
    for (int i = 0; i < 100; ++i) {
        QProcess a, b;
        a.start(programa, {"--carpeta", carpeta.ruta(), "config", "guardar", "Global",
                           QStringLiteral("A%1").arg(i), QString::number(i)});
        b.start(programa, {"--carpeta", carpeta.ruta(), "config", "guardar", "Opciones",
                           QStringLiteral("B%1").arg(i), QString::number(i)});
        for (QProcess* p : {&a, &b}) {
            p->waitForFinished(30000);
            codigos.append(p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1);
        }
    }
    EXPECT_EQ(codigos.count(0), 200);
    int presentes = 0;
    for (int i = 0; i < 100; ++i) {
        presentes += LeerConfig("Global", QStringLiteral("A%1").arg(i), "") == QString::number(i);
        presentes += LeerConfig("Opciones", QStringLiteral("B%1").arg(i), "") == QString::number(i);
    }
    EXPECT_EQ(presentes, 200);
    EXPECT_EQ(LeerConfig("Global", "Indicador_1", ""), "2");
    EXPECT_FALSE(QFile::exists(carpeta.ruta("bascora.ini.lock")));
}

TEST(Arranque, SinPantallaOSinCarpetaDeDatosLoExplica) {
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) entorno.remove(v);
    Resultado r = Ejecutar(QStringLiteral("bascora"), {}, entorno);
    EXPECT_EQ(r.codigo, 1);
    EXPECT_TRUE(r.error.contains("xvfb-run -a")) << r.error.toStdString();

    entorno.insert("QT_QPA_PLATFORM", "offscreen");
    CarpetaTemporal carpeta;
    r = Ejecutar(QStringLiteral("bascora"), {"--carpeta", carpeta.ruta("no-existe")}, entorno);
    EXPECT_EQ(r.codigo, 2);
    EXPECT_TRUE(r.error.contains("no-existe")) << r.error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(carpeta.ruta("no-existe")));
}

}  // namespace
