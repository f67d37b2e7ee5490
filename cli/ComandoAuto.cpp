// bascora-cli auto: the scheduled download as a service. Report lines go to standard output and
// to auto.txt; SIGTERM or SIGINT ends it cleanly ("OFF"), after a download in progress.
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>
#include <csignal>

#include "cli/Comandos.h"
#include "link/EnlaceDirecto.h"
#include "weighings/BajadaAuto.h"
#include "weighings/Decodificacion.h"

namespace {

int senales[2] = {-1, -1};

void AlRecibirSenal(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(senales[1], &c, 1);
}

int Auto(const QStringList& argumentos) {
    QTextStream error(stderr);
    if (!argumentos.isEmpty()) {
        error << "auto: no options expected\n";
        return 2;
    }
    // Self-pipe: the handler only writes a byte; the event loop does the rest.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, senales) != 0) {
        error << "auto: cannot watch for signals\n";
        return 1;
    }
    struct sigaction accion = {};
    accion.sa_handler = AlRecibirSenal;
    sigemptyset(&accion.sa_mask);
    accion.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &accion, nullptr);
    sigaction(SIGINT, &accion, nullptr);

    EnlaceDirecto enlace;
    BajadaAuto bajada(enlace);
    bajada.fijarCampos(Llena_Opciones());
    QTextStream salida(stdout);
    QObject::connect(&bajada, &BajadaAuto::reporte, [&salida](const QString& linea) {
        salida << linea << "\n" << Qt::flush;
    });

    bool terminando = false;
    const auto terminar = [&] {
        if (terminando) return;
        terminando = true;
        bajada.Terminar();
        QCoreApplication::quit();
    };
    QSocketNotifier aviso(senales[0], QSocketNotifier::Read);
    QObject::connect(&aviso, &QSocketNotifier::activated, [&] {
        char c;
        [[maybe_unused]] const ssize_t n = ::read(senales[0], &c, 1);
        // A download in progress is finished first: stopping it half way would leave the
        // indicator locked.
        if (bajada.ocupado())
            QObject::connect(&bajada, &BajadaAuto::libre, terminar);
        else
            terminar();
    });

    QTimer::singleShot(0, &bajada, &BajadaAuto::Iniciar);
    const int estado = QCoreApplication::exec();
    signal(SIGTERM, SIG_DFL);
    signal(SIGINT, SIG_DFL);
    ::close(senales[0]);
    ::close(senales[1]);
    return estado;
}

}  // namespace

BASCORA_COMANDO("auto", "auto: run the scheduled download as a service (ends on SIGTERM)", Auto);
