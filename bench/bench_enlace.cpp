// Link throughput against bascora-simulador (a separate process) over TCP on 127.0.0.1 and over a
// pty: a read of 6500 registers (813 frames) and a write of 500 registers (500 frames), through the
// program's link client (ClienteEnlace, its worker thread) and through the direct link of
// bascora-cli (EnlaceDirecto). Prints frames per second, the wall time per frame, and the process
// CPU time per frame (the software overhead: on a real 19200 baud line the wire, not this, should
// set the pace). On the pty the same frames also go through a libmodbus RTU master, side by side.
#include <QCoreApplication>
#include <algorithm>
#include <vector>

#include "base/Globales.h"
#include "bench/Medir.h"
#include "link/ClienteEnlace.h"
#include "link/EnlaceDirecto.h"
#include "settings/Config.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/SimuladorPrueba.h"

#ifdef BASCORA_CON_LIBMODBUS
#include <modbus.h>
#endif

namespace {

constexpr int kEsclavo = 1, kTramasLectura = 813, kTramasEscritura = 500, kRondas = 5;

struct Medida {
    bool ok = false;
    int tramas = 0;
    double paredMs = 0;
    double cpuMs = 0;
    double cpuPorTrama() const { return cpuMs / tramas; }
};

template <typename F>
Medida Medir(int tramas, F&& peticion) {
    QElapsedTimer t;
    const double cpu0 = CpuMs();
    t.start();
    const bool ok = peticion();
    return {ok, tramas, Ms(t), CpuMs() - cpu0};
}

struct Par {
    Medida lectura, escritura;
};

// The round of median CPU per frame, each figure on its own; failed if any round failed.
Medida Mediana(std::vector<Par> rondas, Medida Par::*campo) {
    std::sort(rondas.begin(), rondas.end(), [campo](const Par& a, const Par& b) {
        return (a.*campo).cpuPorTrama() < (b.*campo).cpuPorTrama();
    });
    Medida m = rondas[rondas.size() / 2].*campo;
    for (const Par& p : rondas) m.ok = m.ok && (p.*campo).ok;
    return m;
}

// Prints the median read and write of a master's rounds; counts what failed.
Par Informar(const char* linea, const char* quien, const std::vector<Par>& rondas, int& fallos) {
    const Par p{Mediana(rondas, &Par::lectura), Mediana(rondas, &Par::escritura)};
    for (const auto& [que, m] :
         {std::pair{"read 6500 registers", p.lectura}, {"write 500 registers", p.escritura}}) {
        std::printf(
            "%-4s %-9s %-20s %s  %4d frames  %8.1f ms  %8.0f frames/s  %6.3f ms/frame wall  "
            "%6.3f ms/frame cpu\n",
            linea, quien, que, m.ok ? "ok  " : "FAIL", m.tramas, m.paredMs,
            m.tramas / (m.paredMs / 1e3), m.paredMs / m.tramas, m.cpuPorTrama());
        fallos += !m.ok;
    }
    return p;
}

Par MedirEnlace(Enlace& enlace, const QByteArray& datos) {
    QByteArray dato;
    return {Medir(kTramasLectura,
                  [&] {
                      return LeerRegistros(enlace, DirAuditoria, 6500, &dato) &&
                             dato.size() == 13000;
                  }),
            Medir(kTramasEscritura,
                  [&] { return EscribirRegistros(enlace, DirPLU, datos.left(1000)); })};
}

#ifdef BASCORA_CON_LIBMODBUS
// The same frames through libmodbus: reads of 8 registers (the last of 4), one write per register.
Par MedirLibmodbus(const QString& pty, const QByteArray& datos) {
    Par p;
    modbus_t* ctx = modbus_new_rtu(pty.toLocal8Bit().constData(), 19200, 'N', 8, 1);
    if (!ctx || modbus_set_slave(ctx, kEsclavo) != 0 || modbus_connect(ctx) != 0) {
        std::fprintf(stderr, "libmodbus: cannot open %s\n", qPrintable(pty));
        if (ctx) modbus_free(ctx);
        return p;
    }
    modbus_set_response_timeout(ctx, 2, 0);
    p.lectura = Medir(kTramasLectura, [&] {
        uint16_t regs[8];
        for (int i = 0; i < kTramasLectura; ++i) {
            const int n = i < kTramasLectura - 1 ? 8 : 4;
            if (modbus_read_registers(ctx, DirAuditoria + 8 * i, n, regs) != n) return false;
        }
        return true;
    });
    p.escritura = Medir(kTramasEscritura, [&] {
        for (int i = 0; i < kTramasEscritura; ++i) {
            const int valor = quint8(datos.at(2 * i)) | quint8(datos.at(2 * i + 1)) << 8;
            if (modbus_write_register(ctx, DirPLU + i, valor) != 1) return false;
        }
        return true;
    });
    modbus_close(ctx);
    modbus_free(ctx);
    return p;
}
#endif

void ConfigurarLinea(const char* linea, const ProcesoSimulador& sim) {
    if (QByteArrayView(linea) == "TCP")
        GuardarConfigSeccion("Global", {{"Comunicacion_1", "1"},
                                        {"Host_1", "127.0.0.1"},
                                        {"Port_1", QString::number(sim.puerto())}});
    else
        GuardarConfigSeccion("Global", {{"Comunicacion_1", "0"}, {"Comm_1", "1"}});
    GuardarConfig(QStringLiteral("Puertos"), QStringLiteral("1"), sim.rutaPty());
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ProcesoSimulador sim({"--pty", "--id", QString::number(kEsclavo)});
    if (!sim.iniciado() || sim.rutaPty().isEmpty()) {
        std::fprintf(stderr, "bascora-simulador did not start\n");
        return 1;
    }
    CarpetaTemporal carpeta;
    GuardarConfig(QStringLiteral("global"), QStringLiteral("ID_1"), kEsclavo);
    QByteArray datos;
    for (int i = 0; i < 500; ++i) datos += char(i), datos += char(i >> 8);
    // The machine is shared: every figure is the median of several rounds, and the masters take
    // turns within a round so that they see the same load.
    int fallos = 0;
    for (const char* linea : {"TCP", "PTY"}) {
        ConfigurarLinea(linea, sim);
        Reintentos = 0;
        std::vector<Par> cliente, directo, libmodbus;
        for (int ronda = 0; ronda < kRondas; ++ronda) {
            cliente.push_back(
                MedirEnlace(*std::make_unique<ClienteEnlace>(), datos));  // gone before
            // another master opens the same port
            EnlaceDirecto d;
            directo.push_back(MedirEnlace(d, datos));
#ifdef BASCORA_CON_LIBMODBUS
            if (QByteArrayView(linea) == "PTY")
                libmodbus.push_back(MedirLibmodbus(sim.rutaPty(), datos));
#endif
        }
        const Par c = Informar(linea, "client", cliente, fallos);
        Informar(linea, "direct", directo, fallos);
        if (!libmodbus.empty()) {
            const Par m = Informar(linea, "libmodbus", libmodbus, fallos);
            std::printf("%-4s cpu per frame, client / libmodbus: read %.2f, write %.2f\n", linea,
                        c.lectura.cpuPorTrama() / m.lectura.cpuPorTrama(),
                        c.escritura.cpuPorTrama() / m.escritura.cpuPorTrama());
        }
        std::printf("%-4s retries: %d (median of %d rounds)\n", linea, Reintentos.load(), kRondas);
    }
#ifndef BASCORA_CON_LIBMODBUS
    std::printf("libmodbus not found at configure time: no side-by-side figures\n");
#endif
    std::printf("wire time of the same frames at 19200 baud: read %.1f s, write %.1f s\n",
                813 * (8 + 21) * 10 / 19200.0, 500 * 16 * 10 / 19200.0);
    sim.detener();
    return fallos ? 1 : 0;
}
