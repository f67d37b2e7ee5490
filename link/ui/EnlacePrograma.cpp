#include "link/ui/EnlacePrograma.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <mutex>

#include "link/ClienteEnlace.h"
#include "link/ui/FrmComm.h"

namespace {

ClienteEnlace* gCliente = nullptr;
QPointer<FrmComm> gVista;

// Widgets must go before the application object: the post routines run in its destructor.
void Liberar() {
    delete gVista.data();
    delete gCliente;
    gCliente = nullptr;
}

void CrearVista() {
    if (!gVista && gCliente) gVista = new FrmComm(*gCliente);
}

}  // namespace

ClienteEnlace& ClienteDelPrograma() {
    static std::once_flag unaVez;
    std::call_once(unaVez, [] {
        gCliente = new ClienteEnlace;
        QCoreApplication* app = QCoreApplication::instance();
        if (!app) return;
        gCliente->moveToThread(app->thread());
        qAddPostRoutine(Liberar);
        // The view is made on the interface thread; from a worker thread it is made there in
        // turn, and picks up a request that already runs.
        if (QThread::currentThread() == app->thread())
            CrearVista();
        else
            QMetaObject::invokeMethod(app, &CrearVista, Qt::QueuedConnection);
    });
    return *gCliente;
}

Enlace& EnlaceDelPrograma() {
    return ClienteDelPrograma();
}
