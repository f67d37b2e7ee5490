// Downloads 500 weighings from the simulated indicator over TCP on 127.0.0.1 into a fresh data
// folder with the workbook, the text file and the table active, and prints where the time went.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include "base/Globales.h"
#include "data/Provision.h"
#include "link/EnlaceDirecto.h"
#include "settings/Config.h"
#include "tests/support/InteraccionGuion.h"
#include "tests/support/SimuladorPrueba.h"
#include "weighings/LeerAuditoria.h"
#include "weighings/Plantilla.h"
#include "settings/ValoresGlobales.h"

namespace {

QByteArray Registro(int i) {
    QByteArray r(26, '\0');
    const char fecha[5] = {0x24, 0x12, 0x05, 0x30, 0x09};
    for (int k = 0; k < 5; ++k) r[k] = fecha[k];
    const int peso = 1234 + i;
    r[5] = char(peso & 0xFF);
    r[6] = char((peso >> 8) & 0xFF);
    r[7] = char((peso >> 16) & 0xFF);
    r[8] = char(i & 0xFF);
    r[9] = char(i >> 8);
    r[14] = char(i % 7);
    return r;
}

double Ms(qint64 ns) {
    return double(ns) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int vueltas = argc > 1 ? QByteArray(argv[1]).toInt() : 3;
    const int cantidad = 500;

    for (int v = 1; v <= vueltas; ++v) {
        QTemporaryDir dir;
        const QString anterior = QDir::currentPath();
        QDir::setCurrent(dir.path());
        {
            PrepararCarpeta();
            if (!QFile::exists(QStringLiteral("PlantillaBascora.xlsx")))
                CrearPlantilla(QStringLiteral("PlantillaBascora.xlsx"));
            CargarValoresGlobales();
            SimuladorPrueba sim;
            sim.ConfigurarEnlaceTcp();
            for (int i = 1; i <= cantidad; ++i) sim.agregarPesada(Registro(i));
            sim.fijarContador(100000);
            GuardarConfig("global", "FormatoAccess", "1");
            GuardarConfig("global", "FormatoExcel", "1");
            GuardarConfig("global", "ArchivoPlano", "1");
            GuardarConfig("Opciones", "Separador", "59");

            EnlaceDirecto enlace;
            InteraccionGuion op;
            MedidasDescarga m;
            QElapsedTimer total;
            total.start();
            const ResultadoDescarga r = LeerAuditoria(enlace, op, OpcionesCampos{}, &m);
            const qint64 totalNs = total.nsecsElapsed();
            if (!r.exito() || r.cantidad != cantidad) {
                out << "download failed: " << op.textos().join(QStringLiteral(" | ")) << "\n";
                QDir::setCurrent(anterior);
                return 1;
            }
            out << "run " << v << ": " << cantidad << " weighings, total " << Ms(totalNs)
                << " ms | link " << Ms(m.enlaceNs) << " ms | decoding " << Ms(m.decodificacionNs)
                << " ms | sinks " << Ms(m.sumiderosNs) << " ms (workbook "
                << Ms(m.porSumidero.libroNs) << ", text " << Ms(m.porSumidero.planoNs) << ", table "
                << Ms(m.porSumidero.tablaNs) << ") | decoding + sinks "
                << Ms(m.decodificacionNs + m.sumiderosNs) << " ms\n";
            // Loopback answers at once; on the serial line at 19200 bit/s (10 bits a byte) the
            // same frames take this long on the wire alone.
            const int lecturas = sim.tramasRecibidas(3);
            const int escrituras = sim.tramasRecibidas(6);
            const int bloques = (13 * cantidad + 7) / 8;
            // Read: 8 bytes out, 5 + 2 per register back; write: 8 out, 8 back. The registers
            // read are the records plus status, count and counter (4).
            const double bytes = 13.0 * lecturas + 2.0 * (13 * cantidad + 4) + 16.0 * escrituras;
            out << "       " << lecturas << " read frames (" << bloques << " for the records), "
                << escrituras << " write frames; at 19200 bit/s the wire alone takes "
                << bytes * 10.0 / 19200.0 * 1000.0 << " ms\n"
                << Qt::flush;
        }
        QDir::setCurrent(anterior);
    }
    return 0;
}
