// bascora-cli puertos as a process: the Com1..Com8 mapping with a pty mapped in [Puertos], and a
// new mapping written by "puertos N DISPOSITIVO".
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include "settings/Config.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/ProcesoCli.h"

namespace {

// The line of Com n in the listing.
QString LineaDe(const QByteArray& salida, int n) {
    for (const QString& linea : QString::fromUtf8(salida).split(u'\n'))
        if (linea.trimmed().startsWith(QStringLiteral("Com%1 ").arg(n))) return linea;
    return {};
}

TEST(CliPuertos, ListaElPtyAsignadoYAsignaOtroDispositivo) {
    CarpetaTemporal carpeta;
    int maestro = -1, esclavo = -1;
    char nombre[256] = {};
    ASSERT_EQ(::openpty(&maestro, &esclavo, nombre, nullptr, nullptr), 0);
    const QString pty = QString::fromLatin1(nombre);
    GuardarConfig("Puertos", "2", pty);
    const QStringList carpetaCli{"--carpeta", carpeta.ruta()};

    QByteArray salida;
    EXPECT_EQ(EjecutarCli(carpetaCli + QStringList{"puertos"}, &salida), 0);
    const QString com2 = LineaDe(salida, 2);
    EXPECT_TRUE(com2.contains(pty) && com2.contains("[Puertos]  presente")) << salida.data();
    EXPECT_TRUE(LineaDe(salida, 3).contains("/dev/ttyS2"));

    EXPECT_EQ(EjecutarCli(carpetaCli + QStringList{"puertos", "5", "/dev/ttyUSB3"}, &salida), 0);
    EXPECT_EQ(LeerConfig("Puertos", "5", ""), "/dev/ttyUSB3");
    EXPECT_TRUE(LineaDe(salida, 5).contains("no existe"));

    for (const QStringList& malos : {QStringList{"puertos", "9", "/dev/x"},
                                     QStringList{"puertos", "1"}, QStringList{"puertos", "a", "b"}})
        EXPECT_EQ(EjecutarCli(carpetaCli + malos, &salida), 2) << malos.join(' ').toStdString();
    ::close(maestro);
    ::close(esclavo);
}

}  // namespace
