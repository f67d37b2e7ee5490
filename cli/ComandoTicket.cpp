// bascora-cli ticket cargar [--si]: the saved layout (ModTicket) with its titles and the saved
// printer settings into the indicator's ticket area.
// bascora-cli ticket formulario ARCHIVO [--corto] [--si]: a free ticket form, up to 1024 bytes at
// the ticket area, or with --corto up to 75 bytes at register 26 (the Mirto model's form).
// --si answers the confirmation. Exit status 0 only when the indicator took the data.
#include <QTextStream>

#include "cli/Comandos.h"
#include "cli/InteraccionTerminal.h"
#include "link/EnlaceDirecto.h"
#include "settings/Idioma.h"
#include "tickets/Membrete.h"

namespace {

int Uso(const QString& motivo) {
    QTextStream(stderr)
        << "ticket: " << motivo << "\n"
        << "uso: ticket cargar [--si] | ticket formulario ARCHIVO [--corto] [--si]\n";
    return 2;
}

int Estado(ResultadoEnvio r) {
    return r == ResultadoEnvio::Enviado ? 0 : 1;
}

int Cargar(const QStringList& opciones, InteraccionTerminal& terminal) {
    if (!opciones.isEmpty()) return Uso(QStringLiteral("unknown option ") + opciones.first());
    if (!terminal.Preguntar(T("006018", "Desea cargar el Ticket en el indicador?"),
                            T("006019", "Atencion"), Icono::Informacion))
        return 1;
    EnlaceDirecto enlace;
    return Estado(
        TransferirTicket(enlace, terminal, TablaDe(TablaLogica::Ticket), LeerAjustesMembrete()));
}

int Formulario(QStringList opciones, InteraccionTerminal& terminal) {
    const bool corto = opciones.removeAll(QStringLiteral("--corto")) > 0;
    if (opciones.size() != 1 || opciones.first().startsWith(u'-'))
        return Uso(QStringLiteral("formulario needs one file"));
    const QString pregunta =
        corto ? T("005034", "Desea enviar un formulario de ticket?")
              : T("006022", "Desea enviar un formulario de ticket en lugar del ticket del editor?");
    if (!terminal.Preguntar(pregunta, T("006023", "Enviar Formulario"), Icono::Informacion))
        return 1;
    EnlaceDirecto enlace;
    return Estado(corto ? EnviarFormularioCorto(enlace, terminal, opciones.first())
                        : EnviarFormulario(enlace, terminal, opciones.first()));
}

int Ticket(const QStringList& argumentos) {
    QStringList opciones = argumentos;
    const bool si = opciones.removeAll(QStringLiteral("--si")) > 0;
    if (opciones.isEmpty()) return Uso(QStringLiteral("cargar or formulario?"));
    InteraccionTerminal terminal(si ? InteraccionTerminal::Respuesta::Si
                                    : InteraccionTerminal::Respuesta::Preguntar);
    const QString accion = opciones.takeFirst();
    if (accion == u"cargar") return Cargar(opciones, terminal);
    if (accion == u"formulario") return Formulario(opciones, terminal);
    return Uso(QStringLiteral("unknown action ") + accion);
}

}  // namespace

BASCORA_COMANDO("ticket",
                "ticket cargar [--si] | ticket formulario ARCHIVO [--corto] [--si]: send the saved "
                "ticket layout, or a free ticket form, to the indicator",
                Ticket);
