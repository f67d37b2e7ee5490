// The label loader against a pty opened here: the other side is read as the printer would, so
// the real serial port code runs. A printer that takes nothing ends the send within its bound.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <thread>

#include "app/CargadorEtiquetas.h"
#include "app/ui/FrmOptions.h"
#include "settings/Config.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"

namespace {

// A pty whose slave side is mapped to Com1; the test plays the printer on the master side.
class ImpresoraPty {
  public:
    ImpresoraPty() {
        char nombre[256] = {};
        EXPECT_EQ(::openpty(&maestro_, &esclavo_, nombre, nullptr, nullptr), 0);
        ruta_ = QString::fromLatin1(nombre);
        GuardarConfig("Puertos", "1", ruta_);
    }
    ~ImpresoraPty() {
        if (lector_.joinable()) lector_.join();
        ::close(maestro_);
        ::close(esclavo_);
    }
    QString ruta() const { return ruta_; }

    // Reads on its own thread until `cuantos` bytes have come or nothing came for 3 s.
    void Leer(qsizetype cuantos) {
        lector_ = std::thread([this, cuantos] {
            char trozo[4096];
            while (recibido_.size() < cuantos) {
                pollfd p{maestro_, POLLIN, 0};
                if (::poll(&p, 1, 3000) <= 0) break;
                const ssize_t n = ::read(maestro_, trozo, sizeof trozo);
                if (n <= 0) break;
                recibido_.append(trozo, n);
            }
        });
    }
    QByteArray Recibido() {
        lector_.join();
        return recibido_;
    }

  private:
    int maestro_ = -1, esclavo_ = -1;
    QString ruta_;
    std::thread lector_;
    QByteArray recibido_;
};

QByteArray Contenido(int largo) {
    QByteArray b(largo, '\0');
    for (int i = 0; i < largo; ++i) b[i] = char((i * 31 + 7) % 256);
    return b;
}

// A file is sent whole, followed by the form commands; above the printer's buffer the operator is
// warned first. No to the question sends nothing.
TEST(Etiquetas, SeEnviaEnteroYNueveMilBytesAvisanDelBuffer) {
    for (const QByteArray& contenido : {QByteArray("^XA^FO50,50^FDHola^FS^XZ"), Contenido(9000)}) {
        CarpetaTemporal carpeta;
        ImpresoraPty impresora;
        carpeta.escribir("logo.bin", contenido);
        const QByteArray esperado = contenido + "\r\nFI\r\nGI\r\n";
        InteraccionGuion guion;
        guion.responder({true});
        guion.elegir({carpeta.ruta("logo.bin")});
        impresora.Leer(esperado.size());
        QList<int> avance;
        EXPECT_EQ(CargarEtiqueta(guion, nullptr, [&](int p) { avance << p; }), FinCarga::Enviado);
        EXPECT_EQ(impresora.Recibido(), esperado);
        ASSERT_FALSE(avance.isEmpty());
        EXPECT_EQ(avance.last(), 100);
        const bool grande = contenido.size() >= 9000;
        ASSERT_EQ(guion.mensajes.size(), grande ? 3 : 2);  // question, file, buffer full
        EXPECT_TRUE(!grande || guion.mensajes[2].icono == Icono::Error);
    }
    CarpetaTemporal carpeta;
    InteraccionGuion no;
    no.responder({false});
    EXPECT_EQ(CargarEtiqueta(no), FinCarga::NoEnviado);
}

// A printer that holds the line (nobody reads the other side): a send ends within its bound, and
// the dialog sends off the interface thread, with progress, refusing to close until Cancel. A
// missing port is reported by its path.
TEST(Etiquetas, ImpresoraQueNoRecibeYElDialogoQueEnviaFueraDelHiloDeVentanas) {
    EXPECT_GT(PlazoEnvioMs(1'000'000'000, 1200), 0);  // never overflows
    CarpetaTemporal carpeta;
    ImpresoraPty impresora;
    AjustesImpresora a;
    a.dispositivo = impresora.ruta();
    a.baudios = 9600;
    QElapsedTimer reloj;
    reloj.start();
    std::atomic<bool> cancelado{false};
    EXPECT_EQ(EnviarAImpresora(Contenido(1 << 20), a, &cancelado, {}, 300).fin,
              FinEnvio::TiempoAgotado);
    EXPECT_LT(reloj.elapsed(), 10000);  // bounded, not the 30 s a close could wait

    carpeta.escribir("grande.bin", Contenido(1 << 20));
    InteraccionGuion guion;
    guion.responder({true});
    guion.elegir({carpeta.ruta("grande.bin")});
    frmOptions v(nullptr, &guion);
    v.show();
    v.findChild<QTabWidget*>("SSTab1")->setCurrentIndex(1);
    auto* barra = v.findChild<QProgressBar*>("ProgEtiqueta");
    v.findChild<QPushButton*>("cmdCargar")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return barra->isVisible(); }, 5000));
    v.reject();  // Escape or the close button: refused while the port is held
    EXPECT_TRUE(v.isVisible());
    v.findChild<QPushButton*>("cmdCancelarEnvio")->click();
    v.EsperarEnvio();
    EXPECT_FALSE(v.Enviando());
    EXPECT_EQ(guion.mensajes.size(), 3);  // question, file, buffer full; a cancel says nothing
    v.reject();
    EXPECT_FALSE(v.isVisible());

    GuardarConfig("Puertos", "1", carpeta.ruta("no-existe"));
    guion.responder({true});
    guion.elegir({carpeta.ruta("grande.bin")});
    EXPECT_EQ(CargarEtiqueta(guion), FinCarga::Fallido);
    ASSERT_EQ(guion.mensajes.size(), 7);  // question, file, buffer full, the port
    EXPECT_TRUE(guion.mensajes[6].texto.contains(carpeta.ruta("no-existe")));
    EXPECT_FALSE(guion.mensajes[6].texto.contains("dialout"));
}

}  // namespace
