#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "settings/Config.h"
#include "settings/Cp1252.h"
#include "tests/support/CarpetaTemporal.h"

namespace {

const char* kIni = "bascora.ini";

TEST(Config, ReadingRules) {
    CarpetaTemporal carpeta;
    carpeta.escribir(kIni,
                     "[global]\r\nPunto=.\r\nVacio=\r\nCinco=5.\r\nSinPunto=abc\r\n"
                     "Blancos=  a  b .\r\nClave=uno.\r\nclave=dos.\r\nLargo=" +
                         QByteArray(300, 'x') +
                         ".\r\n[GLOBAL]\r\nOtra=x.\r\n"
                         "[Acentos]\r\nOrganizaci\xf3n=Compa\xf1\xed"
                         "a \x80.\r\n");
    const QList<std::pair<QString, QString>> casos = {
        {"Punto", ""},                  // lone full stop: empty text
        {"Vacio", "def"},               // nothing after "=": default
        {"SinPunto", "ab"},             // hand-written value loses a char
        {"Blancos", "a  b "},           // leading blanks go, inner stay
        {"CLAVE", "uno"},               // any case, first match wins
        {"Largo", QString(253, u'x')},  // the read buffer keeps 254 characters
        {"Otra", "def"},                // only the first section of a name counts
    };
    for (const auto& [clave, esperado] : casos)
        EXPECT_EQ(LeerConfig("Global", clave, "def"), esperado) << qPrintable(clave);
    EXPECT_EQ(LeerConfig("acentos", QString::fromUtf8("Organización"), ""),
              QString::fromUtf8("Compañía €"));
}

TEST(Config, FirstWriteCreatesTheFileInWindows1252) {
    CarpetaTemporal carpeta;
    GuardarConfig("global", "lote", 5);
    GuardarConfig("global", "Usuario", QString::fromUtf8("José"));
    EXPECT_EQ(carpeta.leer(kIni), "[global]\r\nlote=5.\r\nUsuario=Jos\xe9.\r\n");
    EXPECT_EQ(LeerConfig("Global", "LOTE", "1"), "5");
}

TEST(Config, WriteKeepsOtherLinesAndAddsKeysAtEndOfSection) {
    CarpetaTemporal carpeta;
    carpeta.escribir(kIni,
                     "; comentario\r\n[Opciones]\r\nRuta=c:\\datos\\.\r\nbasura sin igual\r\n"
                     "\r\n[Setup]\n15>=Divisiones.\nClave=uno.\nclave=dos.\n2=9.\n"
                     "[SETUP]\r\n1=x.\r\n");
    GuardarConfig("opciones", "Separador", 59);
    GuardarConfig("Nueva", "K", "v");
    GuardarConfigSeccion("setup", {{"1", "5"}, {"2", "7"}, {"3", ""}, {"CLAVE", "nuevo"}});
    EXPECT_EQ(carpeta.leer(kIni),
              "; comentario\r\n[Opciones]\r\nRuta=c:\\datos\\.\r\nbasura sin igual\r\n"
              "Separador=59.\r\n\r\n[Setup]\r\n15>=Divisiones.\r\nClave=nuevo.\r\nclave=dos.\r\n"
              "2=7.\r\n1=5.\r\n3=.\r\n[SETUP]\r\n1=x.\r\n[Nueva]\r\nK=v.\r\n");
    EXPECT_EQ(LeerConfig("Opciones", "Ruta", ""), "c:\\datos\\");
}

TEST(Config, ScrambledValuesRoundTripEveryByte) {
    QByteArray todos;
    for (int b = 1; b < 256; ++b) todos.append(char(b));
    const QString texto = DesdeAnsi(todos);
    EXPECT_EQ(CifrarTexto(CifrarTexto(texto, 255), 255), texto);
    EXPECT_EQ(CifrarTexto("A", 255), QString(QChar(0xBE)));

    CarpetaTemporal carpeta;
    const QString cadena = "Driver=QSQLITE;Data Source=datos.db;";
    GuardarConfig("BaseDeDatos", "DataCSReporte", cadena, true);
    EXPECT_FALSE(carpeta.leer(kIni).contains("Driver"));
    EXPECT_EQ(LeerConfig("BaseDeDatos", "DataCSReporte", "", true), cadena);
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

}  // namespace
