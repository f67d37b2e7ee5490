// bascora-cli recetas: the recipes of the recipes table without windows.
//   recetas cargar N [--si]     loads recipe N into the indicator (--si answers the question)
//   recetas recuperar N [--si]  reads recipe N back into the table
//   recetas listar              prints the table, values with Decimales_1 decimals
// Exit status 0 on success, 1 on failure or a No, 2 for a wrong command line.
#include <QTextStream>

#include "cli/Comandos.h"
#include "cli/InteraccionTerminal.h"
#include "link/EnlaceDirecto.h"
#include "products/Recetas.h"
#include "settings/Idioma.h"

namespace {

constexpr int kUso = 2;

int Uso(const QString& motivo) {
    QTextStream(stderr) << "recetas: " << motivo << "\n"
                        << "uso: recetas cargar N [--si] | recetas recuperar N [--si] | "
                           "recetas listar\n";
    return kUso;
}

int Listar() {
    const AjustesRecetas ajustes = LeerAjustesRecetas();
    const int columnas =
        ComponentesValidos(ajustes.Componentes) ? ajustes.Componentes : kMaxComponentes;
    QString error;
    const QList<RegistroReceta> filas = LeerRecetas(TablaDe(TablaLogica::Recetas), 0, &error);
    if (!error.isEmpty()) {
        QTextStream(stderr) << T("011044", "Error en la tabla de recetas: %1").arg(error) << "\n";
        return 1;
    }
    QTextStream salida(stdout);
    QStringList cabecera;
    for (int i = 0; i <= columnas; ++i) cabecera << ColumnaReceta(i);
    salida << cabecera.join(u'\t') << "\n";
    for (const RegistroReceta& r : filas) {
        QStringList linea{QString::number(r.Receta)};
        for (int k = 0; k < columnas; ++k)
            linea << TextoValorFijo(r.Ingrediente[k], ajustes.Decimales);
        salida << linea.join(u'\t') << "\n";
    }
    return 0;
}

int Cargar(int receta, InteraccionTerminal& operador) {
    const TablaDatos tabla = TablaDe(TablaLogica::Recetas);
    QString error;
    const std::optional<RegistroReceta> registro = LeerReceta(tabla, receta, &error);
    if (!registro) {
        operador.Avisar(
            error.isEmpty()
                ? T("011043", "La receta %1 no existe en la tabla de recetas.").arg(receta)
                : T("011044", "Error en la tabla de recetas: %1").arg(error),
            T("011015", "Error"), Icono::Error);
        return 1;
    }
    QStringList valores;
    for (const std::optional<double>& v : registro->Ingrediente) valores << TextoValor(v);
    EnlaceDirecto enlace;
    const ResultadoCargaReceta r =
        CargarReceta(enlace, operador, receta, valores, LeerAjustesRecetas());
    if (r.actual >= 0) {
        QTextStream(stdout) << TextoRecetaActual(r.actual) << "\n";
    }
    return r.exito() ? 0 : 1;
}

int Recuperar(int receta, InteraccionTerminal& operador) {
    const AjustesRecetas ajustes = LeerAjustesRecetas();
    EnlaceDirecto enlace;
    const ResultadoRecuperacionReceta r =
        RecuperarReceta(enlace, operador, TablaDe(TablaLogica::Recetas), receta, ajustes);
    if (!r.exito) return 1;
    QStringList valores;
    for (double v : r.valores) valores << TextoValorFijo(v, ajustes.Decimales);
    QTextStream(stdout) << receta << "\t" << valores.join(u'\t') << "\n";
    return 0;
}

int Recetas(const QStringList& argumentos) {
    if (argumentos.isEmpty()) return Uso(QStringLiteral("missing subcommand"));
    const QString orden = argumentos.first();
    if (orden == u"listar") {
        if (argumentos.size() != 1) return Uso(QStringLiteral("listar takes no arguments"));
        return Listar();
    }
    if (orden != u"cargar" && orden != u"recuperar")
        return Uso(QStringLiteral("unknown subcommand ") + orden);
    bool ok = false;
    const int receta = argumentos.value(1).toInt(&ok);
    if (!ok || receta < 0) return Uso(QStringLiteral("a recipe number is needed"));
    bool si = false;
    for (const QString& a : argumentos.mid(2)) {
        if (a != u"--si") return Uso(QStringLiteral("unknown option ") + a);
        si = true;
    }
    InteraccionTerminal operador(si ? InteraccionTerminal::Respuesta::Si
                                    : InteraccionTerminal::Respuesta::Preguntar);
    return orden == u"cargar" ? Cargar(receta, operador) : Recuperar(receta, operador);
}

}  // namespace

BASCORA_COMANDO("recetas",
                "recetas cargar N [--si] | recetas recuperar N [--si] | recetas listar: recipes "
                "to and from the indicator",
                Recetas);
