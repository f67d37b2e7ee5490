// Link throughput against bascora-simulador (a separate process) over TCP on 127.0.0.1 and over a
// pty: a read of 6500 registers (813 frames) and a write of 500 registers (500 frames). Prints
// frames per second, the wall time per frame, and the link's own CPU time per frame (the software
// overhead: on a real 19200 baud line the wire, not this, should set the pace).
#include <time.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

#include "base/Globales.h"
#include "link/EnlaceDirecto.h"
#include "settings/Config.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/SimuladorPrueba.h"

namespace {

double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

struct Medida {
    bool ok = false;
    int tramas = 0;
    double paredMs = 0;
    double cpuMs = 0;
};

template <typename F>
Medida Medir(int tramas, F&& peticion) {
    Medida m;
    m.tramas = tramas;
    QElapsedTimer t;
    const double cpu0 = CpuMs();
    t.start();
    m.ok = peticion();
    m.paredMs = double(t.nsecsElapsed()) / 1e6;
    m.cpuMs = CpuMs() - cpu0;
    return m;
}

void Imprimir(const char* linea, const char* que, const Medida& m) {
    std::printf(
        "%-4s %-22s %s  %4d frames  %8.1f ms  %8.0f frames/s  %6.3f ms/frame wall  "
        "%6.3f ms/frame cpu\n",
        linea, que, m.ok ? "ok  " : "FAIL", m.tramas, m.paredMs, m.tramas / (m.paredMs / 1e3),
        m.paredMs / m.tramas, m.cpuMs / m.tramas);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ProcesoSimulador sim({QStringLiteral("--pty")});
    if (!sim.iniciado() || sim.rutaPty().isEmpty()) {
        std::fprintf(stderr, "bascora-simulador did not start\n");
        return 1;
    }
    CarpetaTemporal carpeta;
    QByteArray datos;
    for (int i = 0; i < 500; ++i) datos += char(i), datos += char(i >> 8);
    int fallos = 0;
    for (const char* linea : {"TCP", "PTY"}) {
        if (QByteArrayView(linea) == "TCP") {
            GuardarConfig(QStringLiteral("Global"), QStringLiteral("Comunicacion_1"), 1);
            GuardarConfig(QStringLiteral("Global"), QStringLiteral("Host_1"),
                          QStringLiteral("127.0.0.1"));
            GuardarConfig(QStringLiteral("Global"), QStringLiteral("Port_1"), int(sim.puerto()));
        } else {
            GuardarConfig(QStringLiteral("Global"), QStringLiteral("Comunicacion_1"), 0);
            GuardarConfig(QStringLiteral("Global"), QStringLiteral("Comm_1"), 1);
            GuardarConfig(QStringLiteral("Puertos"), QStringLiteral("1"), sim.rutaPty());
        }
        EnlaceDirecto enlace;
        Reintentos = 0;
        const Medida lectura = Medir(813, [&] {
            QByteArray dato;
            return LeerRegistros(enlace, DirAuditoria, 6500, &dato) && dato.size() == 13000;
        });
        Imprimir(linea, "read 6500 registers", lectura);
        const Medida escritura =
            Medir(500, [&] { return EscribirRegistros(enlace, DirPLU, datos.left(1000)); });
        Imprimir(linea, "write 500 registers", escritura);
        std::printf("%-4s retries: %d\n", linea, Reintentos.load());
        fallos += !lectura.ok + !escritura.ok;
    }
    std::printf("wire time of the same frames at 19200 baud: read %.1f s, write %.1f s\n",
                813 * (8 + 21) * 10 / 19200.0, 500 * 16 * 10 / 19200.0);
    sim.detener();
    return fallos ? 1 : 0;
}
