// bascora-cli descargar [--si] [--esperar]: the manual download without windows. --si answers the
// confirmation, --esperar waits for a busy indicator (its status polled once a second) and then
// downloads. Exit status 0 only when the indicator's memory was emptied into the PC and the
// indicator is free again.
#include <QEventLoop>
#include <QTextStream>
#include <QTimer>

#include "cli/Comandos.h"
#include "cli/InteraccionTerminal.h"
#include "link/EnlaceDirecto.h"
#include "settings/Idioma.h"
#include "weighings/Decodificacion.h"
#include "weighings/LeerAuditoria.h"

namespace {

// The one question of the download itself, whether to wait for a busy indicator, is answered by
// --esperar alone (--si confirms the download, it does not commit to an endless wait).
class InteraccionDescarga : public InteraccionTerminal {
  public:
    InteraccionDescarga(Respuesta respuesta, bool esperar)
        : InteraccionTerminal(respuesta), esperar_(esperar) {}
    bool Preguntar(const QString& texto, const QString& titulo, Icono, bool) override {
        QTextStream(stdout) << titulo << ": " << texto << (esperar_ ? " yes\n" : " no\n");
        return esperar_;
    }

  private:
    bool esperar_;
};

void EsperarUnSegundo() {
    QEventLoop bucle;
    QTimer::singleShot(1000, &bucle, &QEventLoop::quit);
    bucle.exec();
}

int ComandoDescargar(const QStringList& argumentos) {
    QTextStream error(stderr);
    bool si = false;
    bool esperar = false;
    for (const QString& a : argumentos) {
        if (a == QLatin1String("--si"))
            si = true;
        else if (a == QLatin1String("--esperar"))
            esperar = true;
        else {
            error << "descargar: unknown option " << a << "\n";
            return 2;
        }
    }
    InteraccionTerminal terminal(si ? InteraccionTerminal::Respuesta::Si
                                    : InteraccionTerminal::Respuesta::Preguntar);
    if (!terminal.Preguntar(TextoIdioma(QStringLiteral("008026"),
                                        QStringLiteral("Desea bajar las pesadas del Indicador?")),
                            TextoIdioma(QStringLiteral("008027"), QStringLiteral("Atención")),
                            Icono::Pregunta))
        return 1;

    EnlaceDirecto enlace;
    InteraccionDescarga operador(
        si ? InteraccionTerminal::Respuesta::Si : InteraccionTerminal::Respuesta::Preguntar,
        esperar);
    const OpcionesCampos campos = Llena_Opciones();
    for (;;) {
        const ResultadoDescarga r = LeerAuditoria(enlace, operador, campos);
        if (r.fin != FinDescarga::Esperar) return r.exito() ? 0 : 1;
        // Waiting state: poll until the indicator is idle, then start again from the status.
        const QString textoEspera =
            TextoIdioma(QStringLiteral("008005"),
                        QStringLiteral("Esperando Finalización de proceso para descargar pesadas"));
        error << textoEspera << "\n" << Qt::flush;
        for (int segundos = 1;; ++segundos) {
            EsperarUnSegundo();
            const EstadoIndicador estado = LeerEstadoIndicador(enlace);
            if (estado == EstadoIndicador::Libre) break;
            if (estado == EstadoIndicador::SinRespuesta)
                error << segundos << " "
                      << TextoIdioma(QStringLiteral("008006"), QStringLiteral("Error !!!")) << "\n"
                      << Qt::flush;
        }
    }
}

}  // namespace

BASCORA_COMANDO("descargar",
                "descargar [--si] [--esperar]: download the weighings from the indicator",
                ComandoDescargar);
