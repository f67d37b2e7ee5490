// bascora-cli ticket as a process against the simulated indicator on 127.0.0.1.
#include <gtest/gtest.h>

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
        QProcess p;
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert("BASCORA_ESPERA_MS", "300");
        entorno.insert("BASCORA_ESPERA_CONEXION_MS", "2000");
        p.setProcessEnvironment(entorno);
        p.start(QStringLiteral(BASCORA_DIR_BINARIOS "/bascora-cli"),
                QStringList({"--carpeta", carpeta.ruta(), "ticket"}) + argumentos);
        p.closeWriteChannel();
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            return -1;
        }
        if (salida) *salida = p.readAllStandardOutput() + p.readAllStandardError();
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
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
