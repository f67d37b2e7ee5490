#include "link/Solicitud.h"

#include <climits>

#include "link/Tramas.h"
#include "link/Transporte.h"
#include "settings/Idioma.h"

namespace {

bool Cancelado(const ControlRegistros& c) {
    return c.cancelado && c.cancelado->load();
}

// Register numbers and counts come as decimal text; anything else is out of range.
int Numero(const QString& texto) {
    bool ok = false;
    const qint64 v = texto.trimmed().toLongLong(&ok, 10);
    if (!ok || v < INT_MIN || v > INT_MAX) return -1;
    return int(v);
}

QString FueraDeRango() {
    return TextoIdioma(QStringLiteral("002017"),
                       QStringLiteral("Dirección o cantidad de registros fuera de rango"));
}

}  // namespace

RespuestaEnlace EjecutarSolicitud(Transporte& linea, const SolicitudEnlace& s, int id,
                                  const ControlRegistros& control) {
    RespuestaEnlace r;
    QString ultimoMotivo;
    linea.OlvidarFallo();
    int reintentos = 0;
    ControlRegistros c = control;
    if (!c.reintentos) c.reintentos = &reintentos;
    const bool direccionValida = s.direccion >= 0 && s.direccion <= 65535;
    switch (s.tipo) {
        case TipoSolicitud::Leer:
            if (direccionValida && s.cantidad >= 1) {
                r.dato = Leer(linea, id, s.direccion, s.cantidad, c);
                r.exito = r.dato.size() == 2 * qint64(s.cantidad);
            } else {
                ultimoMotivo = FueraDeRango();
            }
            break;
        case TipoSolicitud::Escribir:
            if (direccionValida && !s.dato.isEmpty()) {
                r.exito = !Escribir(linea, id, s.direccion, s.dato, c).isEmpty();
            } else {
                ultimoMotivo = FueraDeRango();
            }
            break;
        case TipoSolicitud::Comando:
            if (!Cancelado(c)) r.dato = TRxC(linea, s.dato);
            r.exito = !r.dato.isEmpty();
            break;
    }
    if (ultimoMotivo.isEmpty()) ultimoMotivo = linea.ultimoFallo();
    r.reintentos = c.reintentos == &reintentos ? reintentos : *c.reintentos;
    r.cancelado = Cancelado(c);
    if (r.cancelado && !r.exito) {
        r.motivo = TextoIdioma(QStringLiteral("002014"), QStringLiteral("Cancelado"));
    } else if (!r.exito) {
        const QString sinLinea = linea.motivoSinLinea();
        r.motivo = !sinLinea.isEmpty() ? sinLinea : ultimoMotivo;
        // A run past register 65535 fails without a frame.
        if (r.motivo.isEmpty()) r.motivo = FueraDeRango();
    }
    return r;
}

bool SolicitudDePeticion(const PeticionEnlace& p, SolicitudEnlace* s) {
    if (p.Modo == QLatin1String("R")) {
        s->tipo = TipoSolicitud::Leer;
        s->direccion = Numero(p.Direccion);
        s->cantidad = Numero(p.Longitud);
    } else if (p.Modo == QLatin1String("T")) {
        s->tipo = TipoSolicitud::Escribir;
        s->direccion = Numero(p.Direccion);
    } else if (p.Modo == QLatin1String("C")) {
        s->tipo = TipoSolicitud::Comando;
    } else {
        return false;
    }
    s->dato = p.Dato;
    s->leyenda = p.Leyenda;
    return true;
}

void CompletarPeticion(PeticionEnlace& p, const RespuestaEnlace& r) {
    if (p.Modo == QLatin1String("R")) {
        p.Exito = r.exito;
        p.Dato = r.dato;
    } else if (p.Modo == QLatin1String("T")) {
        p.Exito = r.exito;
    } else if (p.Modo == QLatin1String("C")) {
        p.Dato = r.dato;
    }
    p.Cancelado = r.cancelado;
}

void AnotarTrama(SaludEnlace& s, const JuicioRespuesta& juicio) {
    ++s.tramasEnviadas;
    switch (juicio.veredicto) {
        case Veredicto::Buena:
            ++s.respuestasBuenas;
            break;
        case Veredicto::SinRespuesta:
            ++s.tiemposAgotados;
            break;
        case Veredicto::CrcMalo:
            ++s.erroresCrc;
            break;
        case Veredicto::Malformada:
            ++s.respuestasMalformadas;
            break;
    }
    if (juicio.veredicto != Veredicto::Buena) s.ultimoFallo = juicio.motivo;
    s.ultimoIntercambio = QDateTime::currentDateTimeUtc();
}

QString ResumenSalud(const SaludEnlace& s) {
    if (s.tramasEnviadas == 0) return {};
    QString texto = T("002018", "Enlace") + QStringLiteral(": ") + T("002019", "tramas") +
                    QStringLiteral(" %1, ").arg(s.tramasEnviadas) + T("002020", "buenas") +
                    QStringLiteral(" %1, ").arg(s.respuestasBuenas) + T("002021", "sin respuesta") +
                    QStringLiteral(" %1, CRC %2, ").arg(s.tiemposAgotados).arg(s.erroresCrc) +
                    T("002022", "malformadas") +
                    QStringLiteral(" %1, ").arg(s.respuestasMalformadas) +
                    T("002023", "reintentos") + QStringLiteral(" %1").arg(s.reintentos);
    if (!s.ultimoFallo.isEmpty())
        texto += QStringLiteral("; ") + T("002024", "último fallo") + QStringLiteral(": ") +
                 s.ultimoFallo;
    return texto;
}
