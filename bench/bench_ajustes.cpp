// Settings lookups the way a command such as `bascora-cli leer` makes them (the start-up values,
// the link settings, a few texts), in an empty data folder and in one holding 5,000 other files;
// then the file reads and folder listings behind the 1,400 lookups of the setup printout.
// Usage: bench_ajustes [otros-archivos] [rondas]
#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <cstdlib>

#include "bench/Medir.h"
#include "settings/Config.h"
#include "settings/ContextoCarpeta.h"
#include "settings/Idioma.h"
#include "settings/ValoresGlobales.h"
#include "tests/support/CarpetaTemporal.h"

namespace {

void Preparar(const CarpetaTemporal& carpeta, int otros) {
    QFile::copy(QStringLiteral(BASCORA_DIR_FUENTE "/share/bascora.ini"),
                carpeta.ruta("bascora.ini"));
    QFile::copy(QStringLiteral(BASCORA_DIR_FUENTE "/share/English.idm"),
                carpeta.ruta("Idioma.cfg"));
    QFile ini(carpeta.ruta("bascora.ini"));
    if (ini.open(QIODevice::Append)) {
        ini.write("[Setup]\r\n");
        for (int i = 1; i <= 78; ++i)
            ini.write(QByteArray::number(i) + "=" + QByteArray::number(i * 7) + ".\r\n");
    }
    ini.close();
    for (int i = 0; i < otros; ++i)
        carpeta.escribir(QStringLiteral("Pesadas-%1.txt").arg(i, 5, 10, QChar(u'0')), "x");
    QThread::msleep(50);  // past the window in which a fresh change is not trusted
}

// One command's worth of lookups: the start-up values (16), the link settings, a few texts.
constexpr int kBusquedas = 16 + 8 + 3;
void Ronda() {
    CargarValoresGlobales();
    for (const char* clave : {"Comunicacion_1", "Comm_1", "Baudios_1", "Host_1", "Port_1", "ID_1",
                              "Indicador_1", "Decimales_1"})
        LeerConfig(QStringLiteral("Global"), QString::fromLatin1(clave), QStringLiteral("0"));
    for (const char* id : {"002001", "005029", "005030"})
        TextoIdioma(QString::fromLatin1(id), QStringLiteral("texto"));
}

// The first command in a fresh context (it lists the folder, reads both files) in ms, then the
// microseconds per lookup of `rondas` more.
std::pair<double, double> Comandos(int otros, int rondas) {
    CarpetaTemporal carpeta;
    Preparar(carpeta, otros);
    QElapsedTimer t;
    t.start();
    Ronda();
    const double primera = Ms(t);
    t.restart();
    for (int i = 0; i < rondas; ++i) Ronda();
    return {primera, Ms(t) * 1e3 / (rondas * kBusquedas)};
}

void ImpresionDelSetup(int otros) {
    CarpetaTemporal carpeta;
    Preparar(carpeta, otros);
    const auto antes = ContextoCarpeta::actual().contadores();
    QElapsedTimer t;
    t.start();
    int busquedas = 0;
    while (busquedas < 1400) {
        for (int i = 1; i <= 78 && busquedas < 1400; ++i, ++busquedas)
            LeerConfig(QStringLiteral("Setup"), QString::number(i), QString());
        for (int i = 1; i <= 100 && busquedas < 1400; ++i, ++busquedas)
            TextoIdioma(QStringLiteral("013%1").arg(i, 3, 10, QChar(u'0')), QStringLiteral("x"));
    }
    const double ms = Ms(t);
    const auto despues = ContextoCarpeta::actual().contadores();
    std::printf(
        "setup printout: %d lookups in %.2f ms with %d other files: %lld file reads, "
        "%lld folder listings\n",
        busquedas, ms, otros, despues.lecturas - antes.lecturas, despues.listados - antes.listados);

    // One write, then the next lookup: the folder changed, so it is listed again.
    GuardarConfig(QStringLiteral("global"), QStringLiteral("Lote"), 5);
    t.restart();
    TextoIdioma(QStringLiteral("013001"), QStringLiteral("x"));
    std::printf("first text lookup after a settings write (%d other files): %.3f ms\n", otros,
                Ms(t));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int otros = argc > 1 ? std::atoi(argv[1]) : 5000;
    const int rondas = argc > 2 ? std::atoi(argv[2]) : 200;

    const auto [vaciaMs, vaciaUs] = Comandos(0, rondas);
    const auto [llenaMs, llenaUs] = Comandos(otros, rondas);
    std::printf(
        "lookups of a `leer` command (%d per command, %d commands):\n"
        "  empty folder:        first command %.3f ms, then %.2f us per lookup\n"
        "  %5d other files:    first command %.3f ms, then %.2f us per lookup\n"
        "  ratio (%d files / empty): %.2fx per lookup, %.2fx first command\n",
        kBusquedas, rondas, vaciaMs, vaciaUs, otros, llenaMs, llenaUs, otros, llenaUs / vaciaUs,
        llenaMs / vaciaMs);
    ImpresionDelSetup(0);
    ImpresionDelSetup(otros);
    return 0;
}
