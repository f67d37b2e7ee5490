#include "link/EnlaceDirecto.h"

#include <QMutex>

#include "link/Solicitud.h"

namespace {

QMutex mutexProceso;
SaludEnlace saludProceso;

}  // namespace

void EjecutarPeticion(PeticionEnlace& p, const AjustesLinea& ajustes, int id,
                      const ControlRegistros& control, const std::function<void()>& alIniciar,
                      const std::function<void(const JuicioRespuesta&)>& observador) {
    p.Cancelado = false;
    SolicitudEnlace solicitud;
    const bool conocida = SolicitudDePeticion(p, &solicitud);
    std::unique_ptr<Transporte> linea = CrearTransporte(ajustes);
    if (observador) linea->fijarObservador(observador);
    linea->Abrir();  // a line that is not up makes every frame run out its wait
    if (alIniciar) alIniciar();
    if (control.progreso) control.progreso(0);
    if (conocida) CompletarPeticion(p, EjecutarSolicitud(*linea, solicitud, id, control));
    linea->Cerrar();
    if (control.progreso) control.progreso(100);
    p.Cancelado = control.cancelado && control.cancelado->load();
}

void EnlaceDirecto::Solicitar(PeticionEnlace& peticion) {
    AjustesLinea ajustes = LeerAjustesLinea();
    if (esperaMs_ >= 0) ajustes.esperaMs = esperaMs_;
    if (esperaConexionMs_ >= 0) ajustes.esperaConexionMs = esperaConexionMs_;
    if (guardaMs_ >= 0) ajustes.guardaMs = guardaMs_;
    ControlRegistros control;
    control.progreso = progreso_;
    control.cancelado = cancelado_;
    int reintentos = 0;
    control.reintentos = &reintentos;
    EjecutarPeticion(peticion, ajustes, LeerIdEsclavo(), control, {},
                     [this](const JuicioRespuesta& j) {
                         AnotarTrama(salud_, j);
                         QMutexLocker candado(&mutexProceso);
                         AnotarTrama(saludProceso, j);
                     });
    salud_.reintentos += quint64(reintentos);
    QMutexLocker candado(&mutexProceso);
    saludProceso.reintentos += quint64(reintentos);
}

QString EnlaceDirecto::ResumenSalud() const {
    return ::ResumenSalud(salud_);
}

SaludEnlace EnlaceDirecto::SaludDelProceso() {
    QMutexLocker candado(&mutexProceso);
    return saludProceso;
}
