// bascora-simulador: a weighing indicator on 127.0.0.1 and on a pty, for tests, benchmarks and the
// demo. Prints "TCP <port>" and "PTY <path>" once it listens; SIGTERM or SIGINT stop it cleanly
// (the state is written out first when --guardar names a file).
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdio>

#include "simulador/Indicador.h"
#include "simulador/Servidor.h"

namespace {

int tuberiaSenal[2] = {-1, -1};

void AlRecibirSenal(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(tuberiaSenal[1], &c, 1);
}

double Parte(const QCommandLineParser& p, const QString& opcion, bool* ok) {
    if (!p.isSet(opcion)) return 0;
    bool bien = false;
    const double v = p.value(opcion).toDouble(&bien);
    if (!bien || v < 0 || v > 1) *ok = false;
    return v;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("bascora-simulador"));

    QCommandLineParser p;
    p.setApplicationDescription(
        QStringLiteral("Simulated weighing indicator (Modbus RTU frames)."));
    p.addHelpOption();
    const QList<QCommandLineOption> opciones = {
        {QStringLiteral("tcp"), QStringLiteral("Listen on 127.0.0.1:PORT (0 = a free port)."),
         QStringLiteral("PORT")},
        {QStringLiteral("pty"), QStringLiteral("Open a pseudo-terminal and print its path.")},
        {QStringLiteral("id"), QStringLiteral("Slave address (default 0)."), QStringLiteral("ID")},
        {QStringLiteral("estado"), QStringLiteral("Load the starting state from a JSON file."),
         QStringLiteral("FILE")},
        {QStringLiteral("guardar"), QStringLiteral("Write the state to FILE when stopping."),
         QStringLiteral("FILE")},
        {QStringLiteral("semilla"), QStringLiteral("Seed of the fault draws (default 1)."),
         QStringLiteral("N")},
        {QStringLiteral("perder"), QStringLiteral("Share of answers dropped (0-1)."),
         QStringLiteral("P")},
        {QStringLiteral("crc"), QStringLiteral("Share of answers with a bad CRC."),
         QStringLiteral("P")},
        {QStringLiteral("cortar"), QStringLiteral("Share of answers one byte short."),
         QStringLiteral("P")},
        {QStringLiteral("alargar"), QStringLiteral("Share of answers one byte long."),
         QStringLiteral("P")},
        {QStringLiteral("tardar"), QStringLiteral("Share of answers sent late."),
         QStringLiteral("P")},
        {QStringLiteral("rezagar"),
         QStringLiteral("Share of answers sent late while the next frames are answered."),
         QStringLiteral("P")},
        {QStringLiteral("retardo"), QStringLiteral("Delay of a late answer in ms (default 2500)."),
         QStringLiteral("MS")},
        {QStringLiteral("excepcion"),
         QStringLiteral("Share of function 3/6 frames answered with exception 04."),
         QStringLiteral("P")},
        {QStringLiteral("ocupado"), QStringLiteral("Status register busy for MS after start."),
         QStringLiteral("MS")},
        {QStringLiteral("guion"),
         QStringLiteral("Faults for the next answers, in order: ninguno,perder,crc,cortar,"
                        "alargar,tardar,excepcion,rezagar,otroid,funcion,cuenta,eco."),
         QStringLiteral("LIST")},
    };
    p.addOptions(opciones);
    p.process(app);

    QTextStream err(stderr);
    simulador::Indicador indicador;
    if (p.isSet(QStringLiteral("estado"))) {
        QString error;
        if (!indicador.cargarEstado(p.value(QStringLiteral("estado")), &error)) {
            err << "cannot load " << p.value(QStringLiteral("estado")) << ": " << error << "\n";
            return 2;
        }
    }
    if (p.isSet(QStringLiteral("id"))) indicador.fijarId(p.value(QStringLiteral("id")).toInt());
    indicador.fijarSemilla(p.value(QStringLiteral("semilla")).toUInt());
    if (!p.isSet(QStringLiteral("semilla"))) indicador.fijarSemilla(1);

    bool ok = true;
    simulador::AjustesFallos f;
    f.perder = Parte(p, QStringLiteral("perder"), &ok);
    f.crcMalo = Parte(p, QStringLiteral("crc"), &ok);
    f.cortar = Parte(p, QStringLiteral("cortar"), &ok);
    f.alargar = Parte(p, QStringLiteral("alargar"), &ok);
    f.tardar = Parte(p, QStringLiteral("tardar"), &ok);
    f.excepcion = Parte(p, QStringLiteral("excepcion"), &ok);
    f.rezagar = Parte(p, QStringLiteral("rezagar"), &ok);
    if (p.isSet(QStringLiteral("retardo")))
        f.retardoMs = p.value(QStringLiteral("retardo")).toInt();
    if (!ok) {
        err << "fault shares are numbers from 0 to 1\n";
        return 2;
    }
    indicador.fijarFallos(f);
    if (p.isSet(QStringLiteral("ocupado")))
        indicador.fijarOcupado(p.value(QStringLiteral("ocupado")).toInt());
    if (p.isSet(QStringLiteral("guion"))) {
        QList<simulador::Fallo> guion;
        for (const QString& n : p.value(QStringLiteral("guion")).split(u',', Qt::SkipEmptyParts)) {
            bool bien = false;
            guion.append(simulador::FalloDeNombre(n, &bien));
            if (!bien) {
                err << "unknown fault: " << n << "\n";
                return 2;
            }
        }
        indicador.programarFallos(guion);
    }

    if (!p.isSet(QStringLiteral("tcp")) && !p.isSet(QStringLiteral("pty"))) {
        err << "nothing to serve: give --tcp PORT and/or --pty\n";
        return 2;
    }

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, tuberiaSenal) != 0) return 1;
    QSocketNotifier avisoSenal(tuberiaSenal[0], QSocketNotifier::Read);
    QObject::connect(&avisoSenal, &QSocketNotifier::activated, &app, [] {
        char c;
        [[maybe_unused]] const ssize_t n = ::read(tuberiaSenal[0], &c, 1);
        QCoreApplication::quit();
    });
    struct sigaction sa {};
    sa.sa_handler = AlRecibirSenal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);

    simulador::Servidor servidor(indicador);
    if (p.isSet(QStringLiteral("tcp"))) {
        bool bien = false;
        const uint puerto = p.value(QStringLiteral("tcp")).toUInt(&bien);
        if (!bien || puerto > 65535 || !servidor.escucharTcp(quint16(puerto))) {
            err << "cannot listen on 127.0.0.1:" << p.value(QStringLiteral("tcp")) << ": "
                << servidor.error() << "\n";
            return 1;
        }
        std::printf("TCP %u\n", unsigned(servidor.puerto()));
    }
    if (p.isSet(QStringLiteral("pty"))) {
        if (!servidor.abrirPty()) {
            err << "cannot open a pty: " << servidor.error() << "\n";
            return 1;
        }
        std::printf("PTY %s\n", servidor.rutaPty().toLocal8Bit().constData());
    }
    std::fflush(stdout);

    const int r = app.exec();
    servidor.cerrar();
    if (p.isSet(QStringLiteral("guardar"))) {
        QString error;
        if (!indicador.guardarEstado(p.value(QStringLiteral("guardar")), &error)) {
            err << "cannot write " << p.value(QStringLiteral("guardar")) << ": " << error << "\n";
            return 1;
        }
    }
    return r;
}
