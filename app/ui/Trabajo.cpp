#include "app/ui/Trabajo.h"

#include <QThread>
#include <QWidget>

#include "app/ui/InteraccionVentanas.h"
#include "data/Conexion.h"

Trabajo::Trabajo(QObject* padre) : QObject(padre) {}

Trabajo::~Trabajo() {
    esperar();
}

bool Trabajo::enCurso() const {
    return hilo_ && hilo_->isRunning();
}

void Trabajo::esperar() {
    if (hilo_) hilo_->wait();
}

Trabajo* EjecutarTrabajo(QWidget* ventana, std::function<void(Interaccion&)> procedimiento,
                         std::function<void()> alTerminar, Interaccion* interaccion) {
    auto* trabajo = new Trabajo(ventana);
    if (!interaccion) {
        trabajo->interaccionPropia_ = std::make_unique<InteraccionVentanas>(ventana);
        interaccion = trabajo->interaccionPropia_.get();
    }
    trabajo->hilo_ = QThread::create([procedimiento = std::move(procedimiento), interaccion] {
        procedimiento(*interaccion);
        CerrarConexionesDelHilo();
    });
    trabajo->hilo_->setObjectName(QStringLiteral("Trabajo"));
    trabajo->hilo_->setParent(trabajo);
    // The Trabajo is the window's child: while this runs, the window is still there.
    QObject::connect(trabajo->hilo_, &QThread::finished, trabajo,
                     [trabajo, alTerminar = std::move(alTerminar)] {
                         if (alTerminar) alTerminar();
                         Q_EMIT trabajo->terminado();
                         trabajo->deleteLater();
                     });
    trabajo->hilo_->start();
    return trabajo;
}
