#include "link/EnlaceDirecto.h"

#include "link/Solicitud.h"

void EjecutarPeticion(PeticionEnlace& p, const AjustesLinea& ajustes, int id,
                      const ControlRegistros& control, const std::function<void()>& alIniciar) {
    p.Cancelado = false;
    SolicitudEnlace solicitud;
    const bool conocida = SolicitudDePeticion(p, &solicitud);
    std::unique_ptr<Transporte> linea = CrearTransporte(ajustes);
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
    EjecutarPeticion(peticion, ajustes, LeerIdEsclavo(), control);
}
