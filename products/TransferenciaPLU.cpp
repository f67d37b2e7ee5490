#include "products/TransferenciaPLU.h"

#include <QLoggingCategory>
#include <QMap>

#include "base/Globales.h"
#include "base/Interaccion.h"
#include "link/Enlace.h"
#include "products/TablaProductos.h"
#include "settings/Idioma.h"

Q_LOGGING_CATEGORY(lcProductos, "bascora.productos")

namespace {

constexpr int kRegistrosImagen = LargoImagen / 2;
constexpr int kRegistrosNombres = CantidadGrupos * LargoNombreGrupo / 2;

QString TituloError() {
    return T("010043", "Error");
}

ResultadoPLU Fracaso(Interaccion& op, const QString& texto, const QString& detalle = QString()) {
    ResultadoPLU r;
    r.error = detalle.isEmpty() ? texto : texto + QLatin1Char(' ') + detalle;
    op.Avisar(r.error, TituloError(), Icono::Error);
    return r;
}

QString ErrorBaseDatos() {
    return T("010063", "No se pudo guardar en la base de datos:");
}

// A read that came back whole.
bool Leer(Enlace& enlace, int direccion, int registros, QByteArray* dato,
          const QString& leyenda = QString()) {
    return LeerRegistros(enlace, direccion, registros, dato, leyenda) &&
           dato->size() >= 2 * registros;
}

QString Codigos(const QList<Producto>& productos) {
    QStringList t;
    for (const Producto& p : productos) t << QString::number(p.Codigo);
    return t.join(QStringLiteral(", "));
}

}  // namespace

int Comparacion::nuevos() const {
    int n = 0;
    for (const DiferenciasGrupo& g : grupos) n += int(g.soloPC.size());
    return n;
}

int Comparacion::cambiados() const {
    int n = 0;
    for (const DiferenciasGrupo& g : grupos) n += int(g.distintos.size());
    return n;
}

int Comparacion::borrados() const {
    int n = 0;
    for (const DiferenciasGrupo& g : grupos) n += int(g.soloIndicador.size());
    return n;
}

QString Comparacion::Resumen() const {
    const QString texto =
        borrados() == 1 ? T("010061", "%1 nuevos, %2 cambiados, %3 se borrará del indicador")
                        : T("010062", "%1 nuevos, %2 cambiados, %3 se borrarán del indicador");
    return texto.arg(nuevos()).arg(cambiados()).arg(borrados());
}

QString Comparacion::Detalle(const OpcionesCampos& config) const {
    if (iguales()) return T("010064", "El indicador ya tiene estos codigos.");
    QStringList lineas{Resumen()};
    for (const DiferenciasGrupo& g : grupos) {
        QString nombre = T("010066", "Grupo") + QLatin1Char(' ') + QString::number(g.grupo);
        if (g.grupo >= 1 && g.grupo <= CantidadGrupos && !config.Nombre[g.grupo - 1].isEmpty())
            nombre += QStringLiteral(" (") + config.Nombre[g.grupo - 1] + QLatin1Char(')');
        lineas << QString() << nombre;
        if (!g.soloPC.isEmpty())
            lineas << QStringLiteral("  ") + T("010067", "Solo en la PC:") + QLatin1Char(' ') +
                          Codigos(g.soloPC);
        if (!g.soloIndicador.isEmpty())
            lineas << QStringLiteral("  ") + T("010068", "Solo en el indicador:") +
                          QLatin1Char(' ') + Codigos(g.soloIndicador);
        if (!g.distintos.isEmpty()) {
            QList<Producto> pc;
            for (const auto& par : g.distintos) pc << par.first;
            lineas << QStringLiteral("  ") + T("010069", "Distintos:") + QLatin1Char(' ') +
                          Codigos(pc);
        }
    }
    return lineas.join(QLatin1Char('\n'));
}

Comparacion CompararProductos(const QList<Producto>& pc, const std::array<bool, 9>& cuitPC,
                              const QList<Producto>& indicador) {
    // The PC's side as the indicator would hold it after a load.
    const QList<Producto> enviados = LeerImagen(ArmarImagen(pc, cuitPC), cuitPC);
    QMap<int, DiferenciasGrupo> porGrupo;
    QList<Producto> pendientes = indicador;
    for (const Producto& p : enviados) {
        DiferenciasGrupo& g = porGrupo[p.Grupo];
        qsizetype i = 0;
        while (i < pendientes.size() &&
               (pendientes[i].Grupo != p.Grupo || pendientes[i].Codigo != p.Codigo))
            ++i;
        if (i == pendientes.size()) {
            g.soloPC.append(p);
            continue;
        }
        if (!(pendientes[i] == p)) g.distintos.append({p, pendientes[i]});
        pendientes.removeAt(i);
    }
    for (const Producto& p : std::as_const(pendientes)) porGrupo[p.Grupo].soloIndicador.append(p);

    Comparacion c;
    for (auto it = porGrupo.begin(); it != porGrupo.end(); ++it) {
        it->grupo = it.key();
        if (!it->soloPC.isEmpty() || !it->soloIndicador.isEmpty() || !it->distintos.isEmpty())
            c.grupos.append(*it);
    }
    return c;
}

std::optional<Comparacion> CompararConIndicador(Enlace& enlace, const TablaDatos& plu,
                                                const OpcionesCampos& config, QString* error) {
    QString motivo;
    const auto pc = LeerProductos(plu, 0, OrdenProductos::GrupoCodigo, &motivo);
    if (!pc) {
        if (error) *error = motivo;
        return std::nullopt;
    }
    QByteArray mascaras, imagen;
    if (!Leer(enlace, DirPLUFlags, 4, &mascaras) ||
        !Leer(enlace, DirPLU, kRegistrosImagen, &imagen)) {
        if (error) *error = T("010072", "No se pudo leer el indicador.");
        return std::nullopt;
    }
    const OpcionesCampos delIndicador = LeerConfiguracion({}, mascaras, {});
    return CompararProductos(*pc, config.Cuit, LeerImagen(imagen, delIndicador.Cuit));
}

ResultadoPLU CargarCodigos(Enlace& enlace, Interaccion& op, const TablaDatos& plu,
                           const OpcionesCampos& config, bool comparar) {
    QString pregunta = T("010041", "Desea cargar los productos en el indicador?");
    if (comparar) {
        QString motivo;
        if (const auto c = CompararConIndicador(enlace, plu, config, &motivo)) {
            pregunta += QStringLiteral("\n\n") + c->Resumen();
        } else {
            pregunta += QStringLiteral("\n\n") +
                        T("010065", "No se pudo comparar con el indicador:") + QLatin1Char(' ') +
                        motivo;
        }
    }
    if (!op.Preguntar(pregunta, T("010040", "Atencion"), Icono::Informacion)) {
        ResultadoPLU r;
        r.rechazado = true;
        return r;
    }
    QString motivo;
    const auto productos = LeerProductos(plu, 0, OrdenProductos::GrupoCodigo, &motivo);
    if (!productos) return Fracaso(op, T("010042", "Error al cargar los codigos"), motivo);
    ResultadoPLU r;
    // An empty table sends nothing and reports nothing.
    if (productos->isEmpty()) {
        r.ok = true;
        return r;
    }
    if (!EscribirRegistros(enlace, DirPLU, ArmarImagen(*productos, config.Cuit)))
        return Fracaso(op, T("010042", "Error al cargar los codigos"));
    r.ok = true;
    r.cantidad = int(qMin<qsizetype>(productos->size(), CapacidadCodigos));
    return r;
}

ResultadoPLU CargarConfiguracion(Enlace& enlace, Interaccion& op, const TablaDatos& setup,
                                 const OpcionesCampos& config) {
    ResultadoPLU r;
    if (!op.Preguntar(T("010044", "Desea cargar la configuracion en el indicador?"),
                      T("010045", "Atencion"), Icono::Informacion)) {
        r.rechazado = true;
        return r;
    }
    QString motivo;
    if (!Guarda_Opciones(setup, config, &motivo)) return Fracaso(op, ErrorBaseDatos(), motivo);

    struct Envio {
        int direccion;
        QByteArray dato;
        QString leyenda;
        QString error;
    };
    const QList<Envio> envios{
        {DirLblCodigos, LetrasGrupos(config), QStringLiteral("Enviando Letras..."),
         T("010046", "Error al cargar las letras")},
        {DirPLUFlags, MascarasGrupos(config), QStringLiteral("Enviando Configuración..."),
         T("010047", "Error al cargar la configuracion")},
        {DirNombCod, NombresGrupos(config), QStringLiteral("Enviando Nombres..."),
         T("010048", "Error al cargar los nombres")},
    };
    QStringList errores;
    for (const Envio& e : envios) {
        if (EscribirRegistros(enlace, e.direccion, e.dato, e.leyenda)) continue;
        op.Avisar(e.error, TituloError(), Icono::Error);
        errores << e.error;
    }
    r.ok = errores.isEmpty();
    r.error = errores.join(QLatin1Char('\n'));
    return r;
}

ResultadoPLU RecuperarCodigos(Enlace& enlace, Interaccion& op, const TablaDatos& plu,
                              const TablaDatos& setup, OpcionesCampos* leida) {
    ResultadoPLU r;
    if (!op.Preguntar(
            T("010056", "Desea borrar los productos cargados y recuperar los del indicador?"),
            T("010040", "Atencion"), Icono::Informacion)) {
        r.rechazado = true;
        return r;
    }
    const QString fallo = T("010057", "Error al recuperar los codigos");
    QByteArray letras, mascaras, nombres;
    if (!Leer(enlace, DirLblCodigos, 4, &letras) || !Leer(enlace, DirPLUFlags, 4, &mascaras) ||
        !Leer(enlace, DirNombCod, kRegistrosNombres, &nombres))
        return Fracaso(op, fallo);

    const OpcionesCampos config = LeerConfiguracion(letras, mascaras, nombres);
    if (leida) *leida = config;
    QString motivo;
    if (!Guarda_Opciones(setup, config, &motivo)) return Fracaso(op, ErrorBaseDatos(), motivo);

    // The image is read before the PC's table is touched: a failed read leaves it as it was.
    QByteArray imagen;
    if (!Leer(enlace, DirPLU, kRegistrosImagen, &imagen)) return Fracaso(op, fallo);
    const QList<Producto> productos = LeerImagen(imagen, config.Cuit);
    if (!ReemplazarProductos(plu, productos, &motivo)) return Fracaso(op, ErrorBaseDatos(), motivo);
    qCInfo(lcProductos) << "recovered" << productos.size() << "codes";
    r.ok = true;
    r.cantidad = int(productos.size());
    return r;
}

ResultadoPLU MostrarComparacion(Enlace& enlace, Interaccion& op, const TablaDatos& plu,
                                const OpcionesCampos& config) {
    QString motivo;
    const auto c = CompararConIndicador(enlace, plu, config, &motivo);
    if (!c) return Fracaso(op, T("010065", "No se pudo comparar con el indicador:"), motivo);
    op.Avisar(c->Detalle(config), T("010070", "Comparar"), Icono::Informacion);
    ResultadoPLU r;
    r.ok = true;
    r.cantidad = c->nuevos() + c->cambiados() + c->borrados();
    return r;
}
