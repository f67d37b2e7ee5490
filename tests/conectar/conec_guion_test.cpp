// The connect test against a scripted link: every request is recorded and answered from a queue,
// so the length rules can be driven exactly.
#include <gtest/gtest.h>

#include <QList>

#include "app/Conectar.h"
#include "link/Enlace.h"
#include "settings/Config.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"

namespace {

class EnlaceGuion : public Enlace {
  public:
    struct Respuesta {
        QByteArray dato;
        bool exito;
    };
    void Solicitar(PeticionEnlace& p) override {
        peticiones.append(p);
        const Respuesta r =
            respuestas.isEmpty() ? Respuesta{QByteArray(), false} : respuestas.takeFirst();
        p.Dato = r.dato;
        if (p.Modo != QLatin1String("C")) p.Exito = r.exito;
    }
    QList<Respuesta> respuestas;
    QList<PeticionEnlace> peticiones;
};

// Setup block whose byte n (1-based) is n * 7 mod 256, with bytes 4..6 = 1, 2, 3.
QByteArray BloqueSetup(int largo = 90) {
    QByteArray b(largo, '\0');
    for (int n = 1; n <= largo; ++n) b[n - 1] = char((n * 7) % 256);
    if (largo >= 6) {
        b[3] = 1;
        b[4] = 2;
        b[5] = 3;
    }
    return b;
}

TEST(Conec, WeightBlockAnswersWithoutSendingM) {
    CarpetaTemporal carpeta;
    EnlaceGuion enlace;
    enlace.respuestas = {{QByteArray(16, '\x01'), true}};
    EXPECT_EQ(conec(enlace), 1);
    ASSERT_EQ(enlace.peticiones.size(), 1);
    EXPECT_EQ(enlace.peticiones[0].Modo, "R");
    EXPECT_EQ(enlace.peticiones[0].Direccion, "0");
    EXPECT_EQ(enlace.peticiones[0].Longitud, "8");
    EXPECT_FALSE(QFile::exists(carpeta.ruta("bascora.ini")));  // nothing stored
}

TEST(Conec, WrongWeightLengthFallsBackToM) {
    for (int largo : {0, 17}) {
        CarpetaTemporal carpeta;
        EnlaceGuion enlace;
        enlace.respuestas = {{QByteArray(largo, 'x'), largo == 16}, {BloqueSetup(), false}};
        EXPECT_EQ(conec(enlace), 1) << largo;
        ASSERT_EQ(enlace.peticiones.size(), 2) << largo;
        EXPECT_EQ(enlace.peticiones[1].Modo, "C");
        EXPECT_EQ(enlace.peticiones[1].Dato, "M");
        EXPECT_EQ(LeerConfig("Setup", "4", ""), "197121") << largo;
    }
}

TEST(Conec, SetupBlockIsStoredKeyByKeyInOrder) {
    CarpetaTemporal carpeta;
    carpeta.escribir("bascora.ini", "[Setup]\r\n15>=Filtro.\r\n4=viejo.\r\n");
    EnlaceGuion enlace;
    const QByteArray b = BloqueSetup();
    enlace.respuestas = {{QByteArray(), false}, {b, false}};
    ASSERT_EQ(conec(enlace), 1);

    auto byte = [&b](int n) { return long(quint8(b[n - 1])); };
    // Calibration record 1: bytes 1..13; record 2: bytes 14..26.
    EXPECT_EQ(LeerConfig("Setup", "1", ""), QString::number(byte(1)));
    EXPECT_EQ(LeerConfig("Setup", "3", ""), QString::number(byte(3)));
    EXPECT_EQ(LeerConfig("Setup", "4", ""), "197121");  // 1 + 2*256 + 3*65536
    // Bytes 7..9 = 49, 56, 63.
    EXPECT_EQ(LeerConfig("Setup", "5", ""), QString::number(49 + 56 * 256 + 63 * 65536));
    EXPECT_EQ(LeerConfig("Setup", "7", ""), QString::number(byte(13)));
    EXPECT_EQ(LeerConfig("Setup", "8", ""), QString::number(byte(14)));
    // Bytes 23..25 = 161, 168, 175 (key 7*1+6 = 13).
    EXPECT_EQ(LeerConfig("Setup", "13", ""), QString::number(161 + 168 * 256 + 175 * 65536));
    EXPECT_EQ(LeerConfig("Setup", "14", ""), QString::number(byte(26)));
    EXPECT_EQ(LeerConfig("Setup", "15", ""), QString::number(byte(27)));
    EXPECT_EQ(LeerConfig("Setup", "78", ""), QString::number(byte(90)));
    EXPECT_EQ(LeerConfig("Setup", "15>", ""), "Filtro");  // captions are left alone

    // Keys in the file: the old key 4 kept its place, the others follow in the written order.
    QStringList claves;
    for (const QByteArray& linea : carpeta.leer("bascora.ini").split('\n')) {
        const int igual = linea.indexOf('=');
        if (igual > 0 && !linea.startsWith("15>"))
            claves.append(QString::fromLatin1(linea.left(igual)));
    }
    QStringList esperadas{"4"};
    for (int k = 1; k <= 78; ++k)
        if (k != 4) esperadas.append(QString::number(k));
    EXPECT_EQ(claves, esperadas);
}

TEST(Conec, WrongSetupLengthOrSilenceLeavesSetupAsItWas) {
    for (int largo : {0, 89, 91}) {
        CarpetaTemporal carpeta;
        const QByteArray antes = "[Setup]\r\n1=5.\r\n15>=Filtro.\r\n";
        carpeta.escribir("bascora.ini", antes);
        EnlaceGuion enlace;
        enlace.respuestas = {{QByteArray(), false}, {BloqueSetup(largo), false}};
        EXPECT_EQ(conec(enlace), 0) << largo;
        EXPECT_EQ(carpeta.leer("bascora.ini"), antes) << largo;
    }
}

TEST(ComandoConectar, ReportsStatesAndTheFailureMessage) {
    CarpetaTemporal carpeta;
    {
        EnlaceGuion enlace;
        enlace.respuestas = {{QByteArray(16, '\0'), true}};
        InteraccionGuion operador;
        QStringList estados;
        EXPECT_TRUE(
            ComandoConectar(enlace, operador, [&](const QString& e) { estados.append(e); }));
        EXPECT_EQ(estados, QStringList({"Conectando...", "Estado: Conectado"}));
        EXPECT_TRUE(operador.mensajes.isEmpty());
    }
    {
        EnlaceGuion enlace;  // silence on both requests
        InteraccionGuion operador;
        QStringList estados;
        QStringList orden;
        auto mostrar = [&](const QString& e) {
            estados.append(e);
            orden.append(QStringLiteral("estado"));
        };
        EXPECT_FALSE(ComandoConectar(enlace, operador, mostrar));
        EXPECT_EQ(estados, QStringList({"Conectando...", "Estado: Desconectado"}));
        ASSERT_EQ(operador.mensajes.size(), 1);
        EXPECT_EQ(operador.mensajes[0].texto,
                  "No se puede establecer la comunicacion con el indicador");
        EXPECT_EQ(operador.mensajes[0].titulo, "Error");
        EXPECT_EQ(operador.mensajes[0].icono, Icono::Error);
        EXPECT_EQ(enlace.peticiones.size(), 2);
    }
}

TEST(ComandoConectar, StateTextsComeFromTheLanguageFile) {
    CarpetaTemporal carpeta;
    carpeta.escribir("Idioma.cfg", "[Idioma]\r\n005029=Connecting....\r\n005030=Connected.\r\n");
    EnlaceGuion enlace;
    enlace.respuestas = {{QByteArray(16, '\0'), true}};
    InteraccionGuion operador;
    QStringList estados;
    ComandoConectar(enlace, operador, [&](const QString& e) { estados.append(e); });
    EXPECT_EQ(estados, QStringList({"Connecting...", "Connected"}));
}

}  // namespace
