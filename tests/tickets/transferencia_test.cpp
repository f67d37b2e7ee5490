// The layout tables and the transfers of the letterhead window against the simulated indicator
// on 127.0.0.1: what lands in the ticket area is the record computed from the stored layout.
#include <gtest/gtest.h>

#include <tuple>

#include "base/Globales.h"
#include "link/EnlaceDirecto.h"
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

TEST_F(Transferencia, StoredLayoutRoundTrips) {
    DisenoTicket d;
    for (int i = 0; i < CampoTicket::Filas; ++i)
        d[i] = {i % 2 == 1, 20 - i % 20, 1 + 3 * i, i % 3 == 0, QStringLiteral("R%1").arg(i)};
    QString error;
    ASSERT_TRUE(GuardarDisenoTicket(TablaModelo(tickets, 3), d, &error)) << qPrintable(error);
    DisenoTicket leido;
    ASSERT_TRUE(LeerDisenoTicket(TablaModelo(tickets, 3), &leido, &error)) << qPrintable(error);
    const auto campos = [](const FilaTicket& f) {
        return std::tuple(f.ENABLE, f.FILA, f.COLUMNA, f.C_ENABLE, f.CAPTION.toStdString());
    };
    for (int i = 0; i < CampoTicket::Filas; ++i) EXPECT_EQ(campos(leido[i]), campos(d[i])) << i;
}

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
    // No: nothing saved, nothing sent.
    EXPECT_EQ(CargarTicket(enlace, op, tickets, a, {QStringLiteral("T1"), QStringLiteral("T2")}),
              ResultadoEnvio::Rechazado);
    EXPECT_EQ(op.textos(), QStringList{"Desea cargar el Ticket en el indicador?"});
    EXPECT_EQ(sim.tramasRecibidas(), 0);

    op.responder({true});
    EXPECT_EQ(CargarTicket(enlace, op, tickets, a, {QStringLiteral("T1"), QStringLiteral("T2")}),
              ResultadoEnvio::Enviado);
    EXPECT_EQ(op.mensajes.size(), 2);  // only the question
    d[0].CAPTION = QStringLiteral("T1");
    d[1].CAPTION = QStringLiteral("T2");
    const QByteArray esperado = RegistroTicket(d, a);
    EXPECT_EQ(Memoria(DirMembrete, kLargoRegistroTicket), esperado);
    EXPECT_EQ(Memoria(DirMembrete, 16), QByteArray("\x01\x05\x00\x01Patente:\x00   ", 16));
    EXPECT_EQ(sim.tramasRecibidas(6), kLargoRegistroTicket / 2);
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
        Sql(QString::fromLatin1(c.sql));
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

TEST_F(Transferencia, AFailedWriteIsReported) {
    sim.fijarFallos({.perder = 1.0});
    op.responder({true});
    EXPECT_EQ(CargarTicket(enlace, op, tickets, AjustesMembrete{}, {}), ResultadoEnvio::Fallo);
    EXPECT_EQ(op.mensajes.last().texto, "Error al cargar el Ticket");
    EXPECT_EQ(op.mensajes.last().icono, Icono::Error);
}

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
        if (!c.enviado) {
            EXPECT_EQ(sim.tramasRecibidas(), antes) << c.largo;
            EXPECT_EQ(operador.textos(),
                      QStringList{c.corto ? "La longitud del formulario es mayor a 75 bytes"
                                          : "La longitud del formulario es mayor a 1024 bytes"});
            continue;
        }
        const QByteArray trama = c.corto ? contenido + '\0' : '\xFF' + contenido + '\0';
        EXPECT_EQ(sim.tramasRecibidas() - antes, (trama.size() + 1) / 2) << c.largo;
        EXPECT_EQ(Memoria(c.corto ? kDirFormularioCorto : DirMembrete, trama.size()), trama);
    }
}

TEST_F(Transferencia, FormCommandsAskFirstAndACancelledChoiceSendsNothing) {
    EXPECT_EQ(CmdFormulario(enlace, op), ResultadoEnvio::Rechazado);
    op.responder({true});
    op.elegir({QString()});
    EXPECT_EQ(FormularioPrincipal(enlace, op), ResultadoEnvio::Rechazado);
    EXPECT_EQ(op.textos(),
              (QStringList{"Desea enviar un formulario de ticket en lugar del ticket del editor?",
                           "Desea enviar un formulario de ticket?", ""}));
    EXPECT_EQ(sim.tramasRecibidas(), 0);

    carpeta.escribir("corto.txt", "P1");
    op.responder({true});
    op.elegir({carpeta.ruta("corto.txt")});
    EXPECT_EQ(FormularioPrincipal(enlace, op), ResultadoEnvio::Enviado);
    EXPECT_EQ(Memoria(kDirFormularioCorto, 3), QByteArray("P1", 3));
}

TEST_F(Transferencia, LastStoredWeighingIsThePreviewSample) {
    MuestraTicket m;
    EXPECT_FALSE(LeerUltimaPesada(TablaDe(TablaLogica::Reporte), &m));
    Sql("INSERT INTO Reporte (Lote, Numero, Fecha, Hora, Peso, Codigo1, Codigo8) VALUES "
        "(2, 7, '24/12/05', '09:30', 150.5, 11, 88), (2, 9, '25/12/05', '10:00', 99, 1, 2), "
        "(1, 50, '01/01/05', '08:00', 1, 1, 1)");
    ASSERT_TRUE(LeerUltimaPesada(TablaDe(TablaLogica::Reporte), &m));
    EXPECT_EQ(m.Numero, 9);
    EXPECT_EQ(m.Fecha, "25/12/05");
    EXPECT_DOUBLE_EQ(m.Bruto, 99);
    EXPECT_EQ(m.Codigo[7], "2");
}

}  // namespace
