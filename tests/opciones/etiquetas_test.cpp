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
        if (::openpty(&maestro_, &esclavo_, nombre, nullptr, nullptr) == 0) ruta_ = nombre;
        GuardarConfig("Puertos", "1", QString::fromLatin1(ruta_));
    }
    ~ImpresoraPty() {
        if (lector_.joinable()) lector_.join();
        ::close(maestro_);
        ::close(esclavo_);
    }
    bool abierta() const { return !ruta_.isEmpty(); }
    QString ruta() const { return QString::fromLatin1(ruta_); }

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
        if (lector_.joinable()) lector_.join();
        return recibido_;
    }

  private:
    int maestro_ = -1;
    int esclavo_ = -1;
    QByteArray ruta_;
    std::thread lector_;
    QByteArray recibido_;
};

QByteArray Contenido(int largo) {
    QByteArray b(largo, '\0');
    for (int i = 0; i < largo; ++i) b[i] = char((i * 31 + 7) % 256);
    return b;
}

TEST(Etiquetas, DatosYPlazoDelEnvio) {
    EXPECT_EQ(DatosEtiqueta(""), QByteArray("\r\nFI\r\nGI\r\n"));
    EXPECT_EQ(PlazoEnvioMs(0, 9600), 2000);
    EXPECT_EQ(PlazoEnvioMs(960, 9600), 2000 + 2000);  // 960 bytes take 1 s at 9600
    EXPECT_GT(PlazoEnvioMs(1'000'000'000, 1200), 0);  // never overflows

    CarpetaTemporal carpeta;
    GuardarConfig("Global", "Comm_1", 3);
    GuardarConfig("Global", "Baudios_1", 1);
    GuardarConfig("Puertos", "3", "/dev/ttyUSB1");
    const AjustesImpresora a = LeerAjustesImpresora();
    EXPECT_EQ(a.dispositivo, "/dev/ttyUSB1");
    EXPECT_EQ(a.baudios, 2400);
}

// A file is sent whole, followed by the form commands; above the printer's buffer the operator is
// warned first.
TEST(Etiquetas, SeEnviaEnteroYNueveMilBytesAvisanDelBuffer) {
    for (const QByteArray& contenido : {QByteArray("^XA^FO50,50^FDHola^FS^XZ"), Contenido(9000)}) {
        CarpetaTemporal carpeta;
        ImpresoraPty impresora;
        ASSERT_TRUE(impresora.abierta());
        carpeta.escribir("logo.bin", contenido);
        const QByteArray esperado = contenido + "\r\nFI\r\nGI\r\n";
        InteraccionGuion guion;
        guion.responder({true});
        guion.elegir({carpeta.ruta("logo.bin")});
        impresora.Leer(esperado.size());
        QList<int> avance;
        EXPECT_EQ(CargarEtiqueta(guion, nullptr, [&](int p) { avance << p; }), FinCarga::Enviado);
        EXPECT_EQ(impresora.Recibido(), esperado);
        EXPECT_EQ(guion.mensajes[0].texto, "Desea Inicializar la impresora?");
        EXPECT_EQ(guion.mensajes[1].tipo, InteraccionGuion::Mensaje::Archivo);
        ASSERT_FALSE(avance.isEmpty());
        EXPECT_EQ(avance.last(), 100);
        if (contenido.size() < 9000) {
            EXPECT_EQ(guion.mensajes.size(), 2);
            continue;
        }
        ASSERT_EQ(guion.mensajes.size(), 3);
        EXPECT_EQ(guion.mensajes[2].texto, "Buffer de salida lleno");
        EXPECT_EQ(guion.mensajes[2].icono, Icono::Error);
    }
}

TEST(Etiquetas, NoOCancelarElArchivoNoEnvianNada) {
    CarpetaTemporal carpeta;
    InteraccionGuion no;
    no.responder({false});
    EXPECT_EQ(CargarEtiqueta(no), FinCarga::NoEnviado);
    EXPECT_EQ(no.mensajes.size(), 1);
    InteraccionGuion sinArchivo;
    sinArchivo.responder({true});
    sinArchivo.elegir({""});
    EXPECT_EQ(CargarEtiqueta(sinArchivo), FinCarga::NoEnviado);
    EXPECT_EQ(sinArchivo.mensajes.size(), 2);
}

TEST(Etiquetas, ImpresoraQueNoRecibeTerminaEnElPlazoYPuertoInexistenteSeInforma) {
    CarpetaTemporal carpeta;
    ImpresoraPty impresora;  // nobody reads the other side: the line fills up
    ASSERT_TRUE(impresora.abierta());
    AjustesImpresora a;
    a.dispositivo = impresora.ruta();
    a.baudios = 9600;
    QElapsedTimer reloj;
    reloj.start();
    std::atomic<bool> cancelado{false};
    const ResultadoEnvio r = EnviarAImpresora(Contenido(1 << 20), a, &cancelado, {}, 300);
    EXPECT_EQ(r.fin, FinEnvio::TiempoAgotado);
    EXPECT_LT(reloj.elapsed(), 10000);  // bounded, not the 30 s a close could wait

    cancelado = true;
    EXPECT_EQ(EnviarAImpresora(Contenido(1 << 20), a, &cancelado).fin, FinEnvio::Cancelado);

    GuardarConfig("Puertos", "1", carpeta.ruta("no-existe"));
    carpeta.escribir("e.ejf", "x");
    InteraccionGuion guion;
    guion.responder({true});
    guion.elegir({carpeta.ruta("e.ejf")});
    EXPECT_EQ(CargarEtiqueta(guion), FinCarga::Fallido);
    ASSERT_EQ(guion.mensajes.size(), 3);
    EXPECT_TRUE(guion.mensajes[2].texto.contains(carpeta.ruta("no-existe")));
    EXPECT_FALSE(guion.mensajes[2].texto.contains("dialout"));
}

TEST(Etiquetas, ElDialogoEnviaFueraDelHiloDeVentanasConProgresoYCancelar) {
    CarpetaTemporal carpeta;
    ImpresoraPty impresora;  // a printer that holds the line: nobody reads
    ASSERT_TRUE(impresora.abierta());
    carpeta.escribir("grande.bin", Contenido(1 << 20));
    InteraccionGuion guion;
    guion.responder({true});
    guion.elegir({carpeta.ruta("grande.bin")});
    frmOptions v(nullptr, &guion);
    v.show();
    v.findChild<QTabWidget*>("SSTab1")->setCurrentIndex(1);
    auto* cargar = v.findChild<QPushButton*>("cmdCargar");
    auto* barra = v.findChild<QProgressBar*>("ProgEtiqueta");
    auto* cancelar = v.findChild<QPushButton*>("cmdCancelarEnvio");
    cargar->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return barra->isVisible(); }, 5000));
    EXPECT_TRUE(v.Enviando());
    v.reject();  // Escape or the close button: refused while the port is held
    EXPECT_TRUE(v.isVisible());
    cancelar->click();
    v.EsperarEnvio();
    EXPECT_FALSE(v.Enviando());
    EXPECT_EQ(guion.mensajes.size(), 3);  // question, file, buffer full; a cancel says nothing
    v.reject();
    EXPECT_FALSE(v.isVisible());
}

}  // namespace
