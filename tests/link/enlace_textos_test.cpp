// What the link window says: the connect test says it is connecting, a command that follows says
// it sends, and a language change relabels the link window and the console.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include "link/ClienteEnlace.h"
#include "link/Conectar.h"
#include "link/ui/FrmComm.h"
#include "link/ui/FrmDebug.h"
#include "tests/support/CambioIdioma.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"

namespace {

// An indicator that never answers; it keeps the caption of every request.
struct EnlaceCallado : Enlace {
    void Solicitar(PeticionEnlace& p) override {
        leyendas << p.Modo + QLatin1Char(':') + p.Leyenda;
        p.Dato.clear();
    }
    QStringList leyendas;
};

}  // namespace

TEST(EnlaceTextos, ConectarDiceQueConectaYUnCambioDeIdiomaRotulaDeNuevo) {
    CarpetaTemporal carpeta;
    EnlaceCallado callado;
    EXPECT_EQ(conec(callado), 0);
    EXPECT_EQ(callado.leyendas,
              QStringList({QStringLiteral("R:Conectando..."), QStringLiteral("C:Conectando...")}));

    ClienteEnlace cliente;
    FrmComm vista(cliente);
    auto* rotulo = vista.findChild<QLabel*>(QStringLiteral("Label1"));
    Q_EMIT cliente.inicio(QStringLiteral("Conectando..."), false);
    EXPECT_EQ(rotulo->text(), QStringLiteral("Conectando..."));
    Q_EMIT cliente.fin(RespuestaEnlace{});
    // A command brings no caption: it sends, whatever the last request said.
    Q_EMIT cliente.inicio(QString(), false);
    EXPECT_EQ(rotulo->text(), QStringLiteral("Enviando datos..."));
    Q_EMIT cliente.fin(RespuestaEnlace{});

    PasarAIngles(carpeta, {&vista});
    EXPECT_EQ(vista.windowTitle(), QStringLiteral("Communicating"));
    EXPECT_EQ(rotulo->text(), QStringLiteral("Sending data..."));

    InteraccionGuion operador;
    frmDebug consola(nullptr, &callado, &operador);
    QEvent cambio(QEvent::LanguageChange);
    QCoreApplication::sendEvent(&consola, &cambio);
    EXPECT_EQ(consola.findChild<QPushButton*>(QStringLiteral("CmdLeer"))->text(),
              QStringLiteral("Read"));
}
