// Downloads 500 weighings from the simulated indicator over TCP on 127.0.0.1 into a fresh data
// folder with the workbook, the text file and the table active, and prints where the time went.
// Usage: bench_descarga [runs]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

#include "base/Globales.h"
#include "data/Provision.h"
#include "link/EnlaceDirecto.h"
#include "settings/Config.h"
#include "settings/ValoresGlobales.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"
#include "tests/support/SimuladorPrueba.h"
#include "weighings/LeerAuditoria.h"
#include "weighings/Plantilla.h"

namespace {

// 24/12/05 09:30, weight 1234 + i, code 1 = i, code 2 = i % 7.
QByteArray Registro(int i) {
    QByteArray r = QByteArray::fromHex("2412053009") + QByteArray(21, '\0');
    for (int b = 0; b < 3; ++b) r[5 + b] = char((1234 + i) >> (8 * b));
    r[8] = char(i);
    r[9] = char(i >> 8);
    r[14] = char(i % 7);
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const auto Ms = [](qint64 ns) { return double(ns) / 1e6; };
    const int vueltas = argc > 1 ? QByteArray(argv[1]).toInt() : 3;
    const int cantidad = 500;
    for (int v = 1; v <= vueltas; ++v) {
        CarpetaTemporal carpeta;
        PrepararCarpeta();
        if (!QFile::exists(QStringLiteral("PlantillaBascora.xlsx")))
            CrearPlantilla(QStringLiteral("PlantillaBascora.xlsx"));
        CargarValoresGlobales();
        SimuladorPrueba sim;
        sim.ConfigurarEnlaceTcp();
        for (int i = 1; i <= cantidad; ++i) sim.agregarPesada(Registro(i));
        sim.fijarContador(100000);
        GuardarConfigSeccion(
            "global", {{"FormatoAccess", "1"}, {"FormatoExcel", "1"}, {"ArchivoPlano", "1"}});
        GuardarConfig("Opciones", "Separador", "59");

        EnlaceDirecto enlace;
        InteraccionGuion op;
        MedidasDescarga m;
        QElapsedTimer total;
        total.start();
        const ResultadoDescarga r = LeerAuditoria(enlace, op, OpcionesCampos{}, &m);
        const qint64 totalNs = total.nsecsElapsed();
        if (!r.exito() || r.cantidad != cantidad) {
            std::printf("download failed: %s\n", qPrintable(op.textos().join(" | ")));
            return 1;
        }
        std::printf(
            "run %d: %d weighings, total %g ms | link %g ms | decoding %g ms | sinks %g ms "
            "(workbook %g, text %g, table %g) | decoding + sinks %g ms\n",
            v, cantidad, Ms(totalNs), Ms(m.enlaceNs), Ms(m.decodificacionNs), Ms(m.sumiderosNs),
            Ms(m.porSumidero.libroNs), Ms(m.porSumidero.planoNs), Ms(m.porSumidero.tablaNs),
            Ms(m.decodificacionNs + m.sumiderosNs));
        // Loopback answers at once; on the serial line at 19200 bit/s (10 bits a byte) the same
        // frames take this long on the wire alone. Read: 8 bytes out, 5 + 2 per register back;
        // write: 8 out, 8 back. The registers read are the records plus status, count and counter.
        const int lecturas = sim.tramasRecibidas(3), escrituras = sim.tramasRecibidas(6);
        const double bytes = 13.0 * lecturas + 2.0 * (13 * cantidad + 4) + 16.0 * escrituras;
        std::printf(
            "       %d read frames (%d for the records), %d write frames; at 19200 bit/s "
            "the wire alone takes %g ms\n",
            lecturas, (13 * cantidad + 7) / 8, escrituras, bytes * 10.0 / 19200.0 * 1000.0);
        std::fflush(stdout);
    }
    return 0;
}
