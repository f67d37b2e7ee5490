#include "link/EnlaceDirecto.h"

#include "link/Tramas.h"

namespace {

// Register numbers and counts come as decimal text; anything else is refused (no frame is sent).
bool Numero(const QString& texto, qint64* valor) {
    bool ok = false;
    *valor = texto.trimmed().toLongLong(&ok, 10);
    return ok;
}

}  // namespace

void EjecutarPeticion(PeticionEnlace& p, const AjustesLinea& ajustes, int id,
                      const ControlRegistros& control, const std::function<void()>& alIniciar) {
    p.Cancelado = false;
    std::unique_ptr<Transporte> linea = CrearTransporte(ajustes);
    linea->Abrir();  // a line that is not up makes every frame run out its wait
    if (alIniciar) alIniciar();
    if (control.progreso) control.progreso(0);

    if (p.Modo == QLatin1String("R")) {
        qint64 direccion = 0, longitud = 0;
        QByteArray dato;
        if (Numero(p.Direccion, &direccion) && Numero(p.Longitud, &longitud) && longitud >= 1 &&
            direccion >= 0 && direccion <= 65535) {
            dato = Leer(*linea, id, direccion, longitud, control);
        }
        p.Exito = longitud >= 1 && dato.size() == 2 * longitud;
        p.Dato = dato;
    } else if (p.Modo == QLatin1String("T")) {
        qint64 direccion = 0;
        QByteArray eco;
        if (Numero(p.Direccion, &direccion) && direccion >= 0 && direccion <= 65535) {
            eco = Escribir(*linea, id, direccion, p.Dato, control);
        }
        p.Exito = !eco.isEmpty();
    } else if (p.Modo == QLatin1String("C")) {
        p.Dato = TRxC(*linea, p.Dato);  // Exito is left as it was
    }

    linea->Cerrar();
    if (control.progreso) control.progreso(100);
    p.Cancelado = control.cancelado && control.cancelado->load();
}

void EnlaceDirecto::Solicitar(PeticionEnlace& peticion) {
    AjustesLinea ajustes = LeerAjustesLinea();
    if (esperaMs_ >= 0) ajustes.esperaMs = esperaMs_;
    if (esperaConexionMs_ >= 0) ajustes.esperaConexionMs = esperaConexionMs_;
    ControlRegistros control;
    control.progreso = progreso_;
    control.cancelado = cancelado_;
    EjecutarPeticion(peticion, ajustes, LeerIdEsclavo(), control);
}
