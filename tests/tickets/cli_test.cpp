// bascora-cli ticket as a process against the simulated indicator on 127.0.0.1.
#include <gtest/gtest.h>

#include "tests/support/ProcesoCli.h"

#include <QProcess>

#include "base/Globales.h"
#include "settings/Config.h"
#include "tests/tickets/CarpetaTickets.h"
#include "tickets/Membrete.h"

namespace {

class ComandoTicket : public CarpetaTickets {
  protected:
    void SetUp() override {
        CarpetaTickets::SetUp();
        sim.ConfigurarEnlaceTcp();
    }
    int Ejecutar(const QStringList& argumentos, QByteArray* salida = nullptr) {
        return EjecutarCli(QStringList({"--carpeta", carpeta.ruta(), "ticket"}) + argumentos,
                           salida);
    }
    SimuladorPrueba sim;
};

// The command reads the saved settings and layout; the record itself is checked elsewhere.
TEST_F(ComandoTicket, CargarAndFormsAnswerWithTheirExitCodes) {
    GuardarConfig("global", "TipoImpre", 2);
    GuardarConfig("global", "ModTicket", 5);
    GuardarConfig("global", "L1N", 1);
    EXPECT_EQ(Ejecutar({"cargar"}), 1);  // no terminal: the question gets No
    EXPECT_EQ(sim.tramasRecibidas(), 0);
    QByteArray salida;
    ASSERT_EQ(Ejecutar({"cargar", "--si"}, &salida), 0) << salida.toStdString();
    DisenoTicket d;
    QString error;
    ASSERT_TRUE(LeerDisenoTicket(TablaModelo(tickets, 5), &d, &error));
    EXPECT_EQ(sim.leerRegistros(DirMembrete, kLargoRegistroTicket / 2),
              RegistroTicket(d, LeerAjustesMembrete()));

    carpeta.escribir("f76.txt", QByteArray(76, 'c'));
    const int antes = sim.tramasRecibidas();
    EXPECT_EQ(Ejecutar({"formulario", carpeta.ruta("f76.txt"), "--corto", "--si"}), 1);
    EXPECT_EQ(sim.tramasRecibidas(), antes);
    for (const QStringList& mal : {QStringList{}, QStringList{"formulario"},
                                   QStringList{"cargar", "--otro"}, QStringList{"borrar"}})
        EXPECT_EQ(Ejecutar(mal), 2) << mal.join(' ').toStdString();
}

}  // namespace
