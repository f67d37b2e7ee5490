#include "cli/InteraccionTerminal.h"

#include <unistd.h>

#include <QTextStream>
#include <cstdio>

namespace {

QString Linea(const QString& texto, const QString& titulo) {
    return titulo.isEmpty() ? texto : titulo + QStringLiteral(": ") + texto;
}

}  // namespace

InteraccionTerminal::InteraccionTerminal(Respuesta respuesta) : respuesta_(respuesta) {}

bool InteraccionTerminal::Responder(const QString& texto, const QString& titulo, bool porDefectoSi,
                                    const char* opciones) {
    QTextStream salida(stdout);
    salida << Linea(texto, titulo);
    if (respuesta_ != Respuesta::Preguntar || !isatty(STDIN_FILENO)) {
        const bool si = respuesta_ == Respuesta::Si;
        salida << " " << opciones << " " << (si ? "yes" : "no") << "\n";
        return si;
    }
    for (;;) {
        salida << " " << opciones << " " << Qt::flush;
        char buffer[64];
        if (!std::fgets(buffer, sizeof buffer, stdin)) {
            salida << "\n";
            return false;  // end of input: the safe answer
        }
        const QString r = QString::fromLocal8Bit(buffer).trimmed().toLower();
        if (r.isEmpty()) return porDefectoSi;
        if (r == "s" || r == "si" || r == "sí" || r == "y" || r == "yes" || r == "ok") {
            return true;
        }
        if (r == "n" || r == "no" || r == "c" || r == "cancel" || r == "cancelar") return false;
    }
}

bool InteraccionTerminal::Preguntar(const QString& texto, const QString& titulo, Icono,
                                    bool porDefectoSi) {
    return Responder(texto, titulo, porDefectoSi, porDefectoSi ? "[S/n]" : "[s/N]");
}

bool InteraccionTerminal::Confirmar(const QString& texto, const QString& titulo, Icono) {
    return Responder(texto, titulo, false, "[ok/Cancel]");
}

void InteraccionTerminal::Avisar(const QString& texto, const QString& titulo, Icono icono) {
    const bool error =
        icono == Icono::Error || icono == Icono::Advertencia || icono == Icono::Exclamacion;
    QTextStream flujo(error ? stderr : stdout);
    flujo << Linea(texto, titulo) << "\n";
}

QString InteraccionTerminal::ElegirArchivo(const QString&, const QString&) {
    return QString();
}
