// bascora-cli config and the program's start-up, run as the real executables on a settings file
// written by hand the way the Windows program left it (Windows-1252, CR LF, mixed-case sections,
// scrambled values).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
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
    Resultado r;
    if (!proceso.waitForFinished(30000)) {
        proceso.kill();
        proceso.waitForFinished();
        return r;
    }
    r.codigo = proceso.exitStatus() == QProcess::NormalExit ? proceso.exitCode() : -1;
    r.salida = QString::fromUtf8(proceso.readAllStandardOutput());
    r.error = QString::fromUtf8(proceso.readAllStandardError());
    return r;
}

Resultado Cli(const QString& carpeta, const QStringList& argumentos) {
    return Ejecutar(QStringLiteral("bascora-cli"),
                    QStringList({QStringLiteral("--carpeta"), carpeta}) + argumentos);
}

// A value as the Windows program stored it scrambled: every byte complemented, then the ".".
QByteArray Cifrado(const QString& texto) {
    QByteArray bytes = AAnsi(texto);
    for (char& b : bytes) b = static_cast<char>(~static_cast<unsigned char>(b));
    return bytes + '.';
}

class ConfigCli : public ::testing::Test {
  protected:
    void SetUp() override {
        lineas_ = {
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
        carpeta_.escribir("bascora.ini", Archivo());
    }
    QByteArray Archivo() const { return lineas_.join("\r\n") + "\r\n"; }

    CarpetaTemporal carpeta_;
    QList<QByteArray> lineas_;
};

}  // namespace

TEST_F(ConfigCli, LeeValoresConAcentosCifradosYSeccionesEnOtraCaja) {
    const QString dir = carpeta_.ruta();
    EXPECT_EQ(Cli(dir, {"config", "leer", "global", "usuario"}).salida,
              QString::fromUtf8("Peñalolén S.A.\n"));
    EXPECT_EQ(Cli(dir, {"config", "leer", "Global", "Indicador_1"}).salida, "1\n");
    EXPECT_EQ(Cli(dir, {"config", "leer", "basededatos", "DATACSREPORTE", "--cifrado"}).salida,
              "Driver=QSQLITE;Data Source=datos.db;\n");
    EXPECT_EQ(Cli(dir, {"config", "leer", "BaseDeDatos", "DataTbReporte", "--cifrado"}).salida,
              "Pesadas\n");
    EXPECT_EQ(Cli(dir, {"config", "leer", "Opciones", "Ruta"}).salida,
              QString::fromUtf8("C:\\Básculas\\Exportación\n"));
    const Resultado falta = Cli(dir, {"config", "leer", "Global", "NoExiste"});
    EXPECT_EQ(falta.codigo, 0);
    EXPECT_EQ(falta.salida, "\n");
    // Reading never rewrites the file.
    EXPECT_EQ(carpeta_.leer("bascora.ini"), Archivo());
}

TEST_F(ConfigCli, GuardarSoloCambiaLaLineaPropiaYElProgramaLeeLoMismo) {
    const QString dir = carpeta_.ruta();
    ASSERT_EQ(Cli(dir, {"config", "guardar", "Global", "indicador_1", "2"}).codigo, 0);
    lineas_[2] = "Indicador_1=2.";  // the key keeps the spelling of the file
    EXPECT_EQ(carpeta_.leer("bascora.ini"), Archivo());

    ASSERT_EQ(Cli(dir, {"config", "guardar", "BASEDEDATOS", "DataCSPLU",
                        "Driver=QSQLITE;Data Source=plu.db;", "--cifrado"})
                  .codigo,
              0);
    // A new key goes at the end of its section, before the blank line that closes it.
    lineas_.insert(9, "DataCSPLU=" + Cifrado("Driver=QSQLITE;Data Source=plu.db;"));
    EXPECT_EQ(carpeta_.leer("bascora.ini"), Archivo());

    ASSERT_EQ(Cli(dir, {"config", "guardar", "global", "Usuario", QString::fromUtf8("Señor Ñandú")})
                  .codigo,
              0);
    lineas_[4] =
        "Usuario=Se\xf1or \xd1"
        "and\xfa.";
    EXPECT_EQ(carpeta_.leer("bascora.ini"), Archivo());

    // The program's own store reads the same values from the file the tool wrote.
    EXPECT_EQ(LeerConfig("BaseDeDatos", "DataCSPLU", "", true),
              "Driver=QSQLITE;Data Source=plu.db;");
    EXPECT_EQ(LeerConfig("GLOBAL", "usuario", ""), QString::fromUtf8("Señor Ñandú"));
    EXPECT_EQ(Cli(dir, {"config", "leer", "BaseDeDatos", "DataCSPLU", "--cifrado"}).salida,
              "Driver=QSQLITE;Data Source=plu.db;\n");
}

TEST_F(ConfigCli, GuardarCreaElArchivoCuandoNoExiste) {
    CarpetaTemporal nueva;
    ASSERT_EQ(Cli(nueva.ruta(), {"config", "guardar", "Global", "Port_1", "3000"}).codigo, 0);
    EXPECT_EQ(nueva.leer("bascora.ini"), "[Global]\r\nPort_1=3000.\r\n");
}

TEST_F(ConfigCli, ErroresDeUsoSalenConDos) {
    const QString dir = carpeta_.ruta();
    const QList<QStringList> malos = {
        {"config"},
        {"config", "leer", "Global"},
        {"config", "leer", "Global", "Host_1", "sobra"},
        {"config", "guardar", "Global", "Host_1"},
        {"config", "borrar", "Global", "Host_1"},
        {"config", "leer", "Global", "Host_1", "--cifrada"},
        {"config", "guardar", "", "Host_1", "x"},
    };
    for (const QStringList& argumentos : malos) {
        const Resultado r = Cli(dir, argumentos);
        EXPECT_EQ(r.codigo, 2) << argumentos.join(' ').toStdString();
        EXPECT_TRUE(r.error.contains("uso: bascora-cli")) << r.error.toStdString();
    }
    EXPECT_EQ(carpeta_.leer("bascora.ini"), Archivo());
}

TEST_F(ConfigCli, GuardarEnUnArchivoDeSoloLecturaFallaSinTocarlo) {
    QFile::setPermissions(carpeta_.ruta("bascora.ini"), QFileDevice::ReadOwner);
    if (QFileInfo(carpeta_.ruta("bascora.ini")).isWritable()) GTEST_SKIP() << "running as root";
    const Resultado r = Cli(carpeta_.ruta(), {"config", "guardar", "Global", "Host_1", "::1"});
    EXPECT_EQ(r.codigo, 1);
    EXPECT_EQ(carpeta_.leer("bascora.ini"), Archivo());
}

TEST_F(ConfigCli, GuardarQueNoPuedeEscribirFallaConUno) {
    // A folder where the file should be: nothing can be written, and the tool must say so.
    CarpetaTemporal otra;
    ASSERT_TRUE(QDir(otra.ruta()).mkdir("bascora.ini"));
    const Resultado r = Cli(otra.ruta(), {"config", "guardar", "Global", "Host_1", "::1"});
    EXPECT_EQ(r.codigo, 1);
    EXPECT_TRUE(r.error.contains("could not write")) << r.error.toStdString();
}

TEST(Arranque, SinPantallaExplicaComoUsarXvfbRun) {
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) entorno.remove(v);
    const Resultado r = Ejecutar(QStringLiteral("bascora"), {}, entorno);
    EXPECT_EQ(r.codigo, 1);
    EXPECT_TRUE(r.error.contains("xvfb-run -a")) << r.error.toStdString();
}

TEST(Arranque, UnaCarpetaDeDatosInexistenteSeInformaClaramente) {
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert("QT_QPA_PLATFORM", "offscreen");
    CarpetaTemporal carpeta;
    const Resultado r =
        Ejecutar(QStringLiteral("bascora"), {"--carpeta", carpeta.ruta("no-existe")}, entorno);
    EXPECT_EQ(r.codigo, 2);
    EXPECT_TRUE(r.error.contains("no-existe")) << r.error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(carpeta.ruta("no-existe")));
}
