#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "settings/Config.h"
#include "settings/Cp1252.h"
#include "settings/Idioma.h"
#include "tests/support/CarpetaTemporal.h"

namespace {

const char* kIni = "bascora.ini";

TEST(Config, ClosingFullStopRule) {
    CarpetaTemporal carpeta;
    carpeta.escribir(kIni,
                     "[Global]\r\nPunto=.\r\nVacio=\r\nCinco=5.\r\nSinPunto=abc\r\n"
                     "Blancos=  a  b .\r\n");
    EXPECT_EQ(LeerConfig("Global", "Punto", "def"), "");     // lone full stop: empty text
    EXPECT_EQ(LeerConfig("Global", "Vacio", "def"), "def");  // nothing after "=": default
    EXPECT_EQ(LeerConfig("Global", "Cinco", "0"), "5");
    EXPECT_EQ(LeerConfig("Global", "SinPunto", ""), "ab");    // hand-written value loses a char
    EXPECT_EQ(LeerConfig("Global", "Blancos", ""), "a  b ");  // leading blanks go, inner stay
    EXPECT_EQ(LeerConfig("Global", "Falta", "x"), "x");
    EXPECT_EQ(LeerConfig("Otra", "Cinco", "x"), "x");
}

TEST(Config, NoFileGivesDefaultsAndFirstWriteCreatesIt) {
    CarpetaTemporal carpeta;
    EXPECT_EQ(LeerConfig("global", "Lote", "1"), "1");
    GuardarConfig("global", "lote", 5);
    EXPECT_EQ(carpeta.leer(kIni), "[global]\r\nlote=5.\r\n");
    EXPECT_EQ(LeerConfig("Global", "LOTE", "1"), "5");
}

TEST(Config, SectionsAndKeysIgnoreCaseAndFirstMatchWins) {
    CarpetaTemporal carpeta;
    carpeta.escribir(kIni, "[global]\nClave=uno.\nclave=dos.\n[GLOBAL]\nclave=tres.\nOtra=x.\n");
    EXPECT_EQ(LeerConfig("Global", "CLAVE", ""), "uno");
    EXPECT_EQ(LeerConfig("Global", "Otra", "def"), "def");  // only the first section counts
    GuardarConfig("GLOBAL", "clave", "nuevo");
    EXPECT_EQ(carpeta.leer(kIni),
              "[global]\r\nClave=nuevo.\r\nclave=dos.\r\n[GLOBAL]\r\nclave=tres.\r\nOtra=x.\r\n");
}

TEST(Config, WriteKeepsOtherLinesAndAddsKeyAtEndOfSection) {
    CarpetaTemporal carpeta;
    carpeta.escribir(kIni,
                     "; comentario\r\n[Opciones]\r\nRuta=c:\\datos\\.\r\nbasura sin igual\r\n\r\n"
                     "[Setup]\r\n1=5.\r\n");
    GuardarConfig("opciones", "Separador", 59);
    GuardarConfig("Nueva", "K", "v");
    EXPECT_EQ(carpeta.leer(kIni),
              "; comentario\r\n[Opciones]\r\nRuta=c:\\datos\\.\r\nbasura sin igual\r\n"
              "Separador=59.\r\n\r\n[Setup]\r\n1=5.\r\n[Nueva]\r\nK=v.\r\n");
    EXPECT_EQ(LeerConfig("Opciones", "Ruta", ""), "c:\\datos\\");
}

TEST(Config, ReadBufferKeeps254Characters) {
    CarpetaTemporal carpeta;
    carpeta.escribir(kIni, "[A]\r\nK=" + QByteArray(300, 'x') + ".\r\n");
    EXPECT_EQ(LeerConfig("A", "K", ""), QString(253, u'x'));
}

TEST(Config, AccentsAreWindows1252OnDisk) {
    CarpetaTemporal carpeta;
    carpeta.escribir(kIni,
                     "[Global]\r\nOrganizaci\xf3n=Compa\xf1\xed"
                     "a \x80.\r\n");
    EXPECT_EQ(LeerConfig("Global", QString::fromUtf8("Organización"), ""),
              QString::fromUtf8("Compañía €"));
    GuardarConfig("Global", "Usuario", QString::fromUtf8("José"));
    EXPECT_TRUE(carpeta.leer(kIni).contains("Usuario=Jos\xe9.\r\n"));
}

TEST(Config, ScrambledValuesRoundTripEveryByte) {
    QByteArray todos;
    for (int b = 1; b < 256; ++b) todos.append(char(b));
    const QString texto = DesdeAnsi(todos);
    EXPECT_EQ(AAnsi(texto), todos);
    const QString cifrado = CifrarTexto(texto, 255);
    EXPECT_EQ(cifrado.size(), texto.size());
    EXPECT_EQ(CifrarTexto(cifrado, 255), texto);
    EXPECT_EQ(CifrarTexto("A", 255), QString(QChar(0xBE)));

    CarpetaTemporal carpeta;
    const QString cadena = "Driver=QSQLITE;Data Source=datos.db;";
    GuardarConfig("BaseDeDatos", "DataCSReporte", cadena, true);
    EXPECT_FALSE(carpeta.leer(kIni).contains("Driver"));
    EXPECT_EQ(LeerConfig("BaseDeDatos", "DataCSReporte", "", true), cadena);
    EXPECT_EQ(LeerConfig("BaseDeDatos", "Falta", "", true), "");
}

TEST(Config, UnreadableFileGivesDefaultsAndIsNotReplaced) {
    CarpetaTemporal carpeta;
    QDir(carpeta.ruta()).mkdir(kIni);  // a folder where the file should be: cannot be read
    EXPECT_EQ(LeerConfig("A", "K", "def"), "def");
    QString error;
    EXPECT_FALSE(GuardarConfig("A", "K", "2", false, false, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(carpeta.ruta(kIni)).isDir());
}

TEST(Config, LeadingIntegerOfASetting) {
    EXPECT_EQ(ValorEntero(""), 0);
    EXPECT_EQ(ValorEntero(" 23abc"), 23);
    EXPECT_EQ(ValorEntero("-5"), -5);
    EXPECT_EQ(ValorEntero("x5"), 0);
}

TEST(Idioma, LookupDropsClosingCharacterAndFallsBack) {
    CarpetaTemporal carpeta;
    EXPECT_EQ(TextoIdioma("005002", "Conectar"), "Conectar");
    carpeta.escribir("IDIOMA.CFG", "[Idioma]\r\n005002=Connect.\r\n005005=Exit\r\n005006=\r\n");
    EXPECT_EQ(TextoIdioma("005002", "Conectar"), "Connect");
    EXPECT_EQ(TextoIdioma("005005", "&Salir"), "Exi");
    EXPECT_EQ(TextoIdioma("005006", "&Bajar Pesadas"), "&Bajar Pesadas");
    EXPECT_EQ(TextoIdioma("005007", "&Codigos"), "&Codigos");
}

}  // namespace

namespace {

TEST(Config, SeveralKeysOfASectionInOneWrite) {
    CarpetaTemporal carpeta;
    carpeta.escribir(kIni, "[Setup]\r\n15>=Divisiones.\r\n2=9.\r\n[Otra]\r\nX=1.\r\n");
    GuardarConfigSeccion("setup", {{"1", "5"}, {"2", "7"}, {"3", ""}});
    EXPECT_EQ(carpeta.leer(kIni),
              "[Setup]\r\n15>=Divisiones.\r\n2=7.\r\n1=5.\r\n3=.\r\n[Otra]\r\nX=1.\r\n");
}

}  // namespace
