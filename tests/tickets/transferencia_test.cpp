// The transfers of the letterhead and bascora-cli ticket against the simulated indicator on
// 127.0.0.1: what lands in the ticket area is the record computed from the stored layout.
#include <gtest/gtest.h>

#include <QSqlQuery>

#include "base/Globales.h"
#include "link/EnlaceDirecto.h"
#include "settings/Config.h"
#include "tests/support/ProcesoCli.h"
#include "tests/tickets/CarpetaTickets.h"
#include "tickets/Membrete.h"

namespace {

class Transferencia : public CarpetaTickets {
  protected:
    void SetUp() override {
        CarpetaTickets::SetUp();
        sim.ConfigurarEnlaceTcp();
        enlace.fijarEsperas(300, 2000);
    }
    // What the indicator holds from `direccion`, `bytes` long.
    QByteArray Memoria(int direccion, int bytes) {
        return sim.leerRegistros(direccion, (bytes + 1) / 2).left(bytes);
    }

    SimuladorPrueba sim;
    EnlaceDirecto enlace;
};

// No sends nothing; yes writes the record of the stored layout with the titles given; a failed
// write is reported as an error.
TEST_F(Transferencia, CargarWritesTheComputedRecordAtTheTicketArea) {
    DisenoTicket d;
    QString error;
    ASSERT_TRUE(LeerDisenoTicket(TablaModelo(tickets, 2), &d, &error)) << qPrintable(error);
    d[CampoTicket::Codigo1] = {true, 5, 1, true, QStringLiteral("Patente:")};
    ASSERT_TRUE(GuardarDisenoTicket(TablaModelo(tickets, 2), d, &error));

    AjustesMembrete a;
    a.TipoImpre = 2;
    a.L1N = true;
    a.ModTicket = 2;
    a.BarCode = 2;
    const std::array<QString, 2> titulos{QStringLiteral("T1"), QStringLiteral("T2")};
    EXPECT_EQ(CargarTicket(enlace, op, tickets, a, titulos), ResultadoEnvio::Rechazado);
    EXPECT_EQ(sim.tramasRecibidas(), 0);

    op.responder({true});
    EXPECT_EQ(CargarTicket(enlace, op, tickets, a, titulos), ResultadoEnvio::Enviado);
    EXPECT_EQ(op.mensajes.size(), 2);  // only the questions
    d[0].CAPTION = QStringLiteral("T1");
    d[1].CAPTION = QStringLiteral("T2");
    EXPECT_EQ(Memoria(DirMembrete, kLargoRegistroTicket), RegistroTicket(d, a));
    // Enabled, row 5, column 1 - 1, caption shown; the caption cut with a nul and blanks.
    EXPECT_EQ(Memoria(DirMembrete, 16), QByteArray("\x01\x05\x00\x01Patente:\x00   ", 16));
    EXPECT_EQ(sim.tramasRecibidas(6), kLargoRegistroTicket / 2);

    sim.fijarFallos({.perder = 1.0});
    op.responder({true});
    EXPECT_EQ(CargarTicket(enlace, op, tickets, a, titulos), ResultadoEnvio::Fallo);
    EXPECT_EQ(op.mensajes.last().icono, Icono::Error);
}

TEST_F(Transferencia, ABrokenLayoutSendsNothingAndNamesTheRow) {
    const struct {
        const char* sql;
        const char* mensaje;
    } casos[] = {
        {"UPDATE Ticket1 SET FILA = 0 WHERE Id = 17", "Fila 16 (Peso Bruto)"},
        {"UPDATE Ticket1 SET COLUMNA = 256 WHERE Id = 1", "Fila 0 (Titulo 1)"},
        {"DELETE FROM Ticket1 WHERE Id = 25", "24 filas"},
    };
    for (const auto& c : casos) {
        ASSERT_TRUE(QSqlQuery(ConexionPara(tickets.conexion)).exec(c.sql));  // not through the code
        InteraccionGuion operador;
        EXPECT_EQ(TransferirTicket(enlace, operador, tickets, AjustesMembrete{}),
                  ResultadoEnvio::Fallo);
        ASSERT_EQ(operador.mensajes.size(), 1);
        const QString& texto = operador.mensajes[0].texto;
        EXPECT_TRUE(texto.contains(QString::fromLatin1(c.mensaje)) && texto.contains("Ticket1"))
            << texto.toStdString();
        EXPECT_EQ(sim.tramasRecibidas(), 0);
    }
}

// Form files up to their limits are sent, longer ones refused; the commands ask first, and a
// cancelled file choice sends nothing.
TEST_F(Transferencia, FormFilesUpToTheirLimitsAreSentLongerOnesRefused) {
    const struct {
        int largo;
        bool corto;
        bool enviado;
    } casos[] = {{1024, false, true}, {1025, false, false}, {75, true, true}, {76, true, false}};
    for (const auto& c : casos) {
        sim.escribirRegistros(DirMembrete, QByteArray(1030, '\x55'));
        sim.escribirRegistros(kDirFormularioCorto, QByteArray(80, '\x55'));
        const int antes = sim.tramasRecibidas();
        QByteArray contenido(c.largo, '\0');
        for (int i = 0; i < c.largo; ++i) contenido[i] = static_cast<char>('A' + i % 26);
        carpeta.escribir("ticket.txt", contenido);
        InteraccionGuion operador;
        const ResultadoEnvio r =
            c.corto ? EnviarFormularioCorto(enlace, operador, carpeta.ruta("ticket.txt"))
                    : EnviarFormulario(enlace, operador, carpeta.ruta("ticket.txt"));
        EXPECT_EQ(r == ResultadoEnvio::Enviado, c.enviado) << c.largo;
        const QByteArray trama = c.corto ? contenido + '\0' : '\xFF' + contenido + '\0';
        if (!c.enviado) {
            EXPECT_EQ(sim.tramasRecibidas(), antes) << c.largo;
            EXPECT_EQ(operador.mensajes.size(), 1);
        } else {
            EXPECT_EQ(sim.tramasRecibidas() - antes, (trama.size() + 1) / 2) << c.largo;
            EXPECT_EQ(Memoria(c.corto ? kDirFormularioCorto : DirMembrete, trama.size()), trama);
        }
    }

    op.responder({true});
    op.elegir({QString()});
    const int antes = sim.tramasRecibidas();
    EXPECT_EQ(FormularioPrincipal(enlace, op), ResultadoEnvio::Rechazado);
    EXPECT_EQ(sim.tramasRecibidas(), antes);
}

// bascora-cli ticket reads the saved settings and layout; without a terminal the question gets No.
TEST_F(Transferencia, TheCommandLineAnswersWithItsExitCodes) {
    const auto ejecutar = [&](const QStringList& argumentos) {
        return EjecutarCli(QStringList({"--carpeta", carpeta.ruta(), "ticket"}) + argumentos);
    };
    GuardarConfig("global", "TipoImpre", 2);
    GuardarConfig("global", "ModTicket", 5);
    GuardarConfig("global", "L1N", 1);
    EXPECT_EQ(ejecutar({"cargar"}), 1);
    EXPECT_EQ(sim.tramasRecibidas(), 0);
    ASSERT_EQ(ejecutar({"cargar", "--si"}), 0);
    DisenoTicket d;
    QString error;
    ASSERT_TRUE(LeerDisenoTicket(TablaModelo(tickets, 5), &d, &error));
    EXPECT_EQ(Memoria(DirMembrete, kLargoRegistroTicket), RegistroTicket(d, LeerAjustesMembrete()));

    for (const QStringList& mal : {QStringList{}, QStringList{"formulario"},
                                   QStringList{"cargar", "--otro"}, QStringList{"borrar"}})
        EXPECT_EQ(ejecutar(mal), 2) << mal.join(' ').toStdString();
}

}  // namespace
