#include "weight/LectorPeso.h"

#include "base/Globales.h"
#include "link/ClienteEnlace.h"

namespace {

constexpr int kLecturasPorSondeo = 6;
constexpr int kRegistrosPeso = 8;

}  // namespace

LectorPeso::LectorPeso(ClienteEnlace& cliente, QObject* padre) : QObject(padre), cliente_(cliente) {
    qRegisterMetaType<LecturaPeso>();
}

LectorPeso::~LectorPeso() {
    if (ocupado_) cliente_.Cancelar(numero_);
}

bool LectorPeso::Sondear() {
    if (ocupado_) return false;
    ocupado_ = true;
    lecturas_ = 0;
    Leer();
    return true;
}

void LectorPeso::Leer() {
    ++lecturas_;
    SolicitudEnlace s;
    s.tipo = TipoSolicitud::Leer;
    s.direccion = DirPeso;
    s.cantidad = kRegistrosPeso;
    s.silenciosa = true;
    numero_ = cliente_.Enviar(s, this, [this](const RespuestaEnlace& r) { AlResponder(r); });
}

void LectorPeso::AlResponder(const RespuestaEnlace& r) {
    LecturaPeso l;
    if (r.exito && DecodificarPeso(r.dato, DecimalesPeso(), l)) {
        ocupado_ = false;
        Q_EMIT Leido(l);
        return;
    }
    // Cancelled by someone else (the link window's Cancel): neither a reading nor a failure.
    if (r.cancelado) {
        ocupado_ = false;
        return;
    }
    Q_EMIT LecturaFallida();
    if (lecturas_ < kLecturasPorSondeo) {
        Leer();
        return;
    }
    ocupado_ = false;
    Q_EMIT Fallido();
}
