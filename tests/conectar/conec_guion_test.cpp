// The connect test against a scripted link, so that the length rules can be driven exactly.
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
    void Solicitar(PeticionEnlace& p) override {
        peticiones.append(p);
        p.Dato = respuestas.isEmpty() ? QByteArray() : respuestas.takeFirst();
        if (p.Modo != QLatin1String("C")) p.Exito = p.Dato.size() == 16;
    }
    QList<QByteArray> respuestas;
    QList<PeticionEnlace> peticiones;
};

// Byte n (1-based) is n * 7 mod 256, except bytes 4..6 = 1, 2, 3.
QByteArray BloqueSetup(int largo = 90) {
    QByteArray b(largo, '\0');
    for (int n = 1; n <= largo; ++n) b[n - 1] = char((n * 7) % 256);
    if (largo >= 6) b.replace(3, 3, QByteArray("\x01\x02\x03", 3));
    return b;
}

TEST(Conec, AnswerLengthsDecide) {
    CarpetaTemporal carpeta;
    EnlaceGuion enlace;
    enlace.respuestas = {QByteArray(16, '\x01')};
    EXPECT_EQ(conec(enlace), 1);
    ASSERT_EQ(enlace.peticiones.size(), 1);  // no ":M"
    EXPECT_EQ(enlace.peticiones[0].Modo, "R");
    EXPECT_EQ(enlace.peticiones[0].Direccion, "0");
    EXPECT_EQ(enlace.peticiones[0].Longitud, "8");

    // A weight answer one byte long is no answer: ":M" is tried.
    enlace.peticiones.clear();
    enlace.respuestas = {QByteArray(17, 'x'), BloqueSetup()};
    EXPECT_EQ(conec(enlace), 1);
    ASSERT_EQ(enlace.peticiones.size(), 2);
    EXPECT_EQ(enlace.peticiones[1].Modo, "C");
    EXPECT_EQ(enlace.peticiones[1].Dato, "M");

    const QByteArray antes = carpeta.leer("bascora.ini");
    for (int largo : {0, 89, 91}) {
        enlace.respuestas = {QByteArray(), BloqueSetup(largo)};
        EXPECT_EQ(conec(enlace), 0) << largo;
        EXPECT_EQ(carpeta.leer("bascora.ini"), antes) << largo;
    }
}

TEST(Conec, SetupKeysAreWrittenInOrderWithTheirArithmetic) {
    CarpetaTemporal carpeta;
    carpeta.escribir("bascora.ini", "[Setup]\r\n15>=Filtro.\r\n4=viejo.\r\n");
    EnlaceGuion enlace;
    enlace.respuestas = {QByteArray(), BloqueSetup()};
    ASSERT_EQ(conec(enlace), 1);
    EXPECT_EQ(LeerConfig("Setup", "4", ""), "197121");  // 1 + 2*256 + 3*65536
    EXPECT_EQ(LeerConfig("Setup", "5", ""), QString::number(49 + 56 * 256 + 63 * 65536));
    EXPECT_EQ(LeerConfig("Setup", "13", ""), QString::number(161 + 168 * 256 + 175 * 65536));
    EXPECT_EQ(LeerConfig("Setup", "14", ""), QString::number(26 * 7));
    EXPECT_EQ(LeerConfig("Setup", "78", ""), QString::number(90 * 7 % 256));
    EXPECT_EQ(LeerConfig("Setup", "15>", ""), "Filtro");  // captions are left alone

    // The old key 4 keeps its line; the others follow in the order they were written.
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

TEST(ComandoConectar, ReportsStatesAndTheFailureMessage) {
    CarpetaTemporal carpeta;
    EnlaceGuion enlace;
    InteraccionGuion operador;
    QStringList estados;
    auto mostrar = [&](const QString& e) { estados.append(e); };
    enlace.respuestas = {QByteArray(16, '\0')};
    EXPECT_TRUE(ComandoConectar(enlace, operador, mostrar));
    EXPECT_EQ(estados, QStringList({"Conectando...", "Estado: Conectado"}));
    EXPECT_TRUE(operador.mensajes.isEmpty());

    estados.clear();  // silence on both requests
    EXPECT_FALSE(ComandoConectar(enlace, operador, mostrar));
    EXPECT_EQ(estados, QStringList({"Conectando...", "Estado: Desconectado"}));
    ASSERT_EQ(operador.mensajes.size(), 1);
    EXPECT_EQ(operador.mensajes[0].texto,
              "No se puede establecer la comunicacion con el indicador");
    EXPECT_EQ(operador.mensajes[0].titulo, "Error");
    EXPECT_EQ(operador.mensajes[0].icono, Icono::Error);
}

}  // namespace
