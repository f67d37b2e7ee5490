// bascora-cli peso: one reading of the weight block, as the live weight window takes it (up to
// three read exchanges). Numbers use "." whatever the locale, for scripts.
#include <QLocale>
#include <QTextStream>

#include "cli/Comandos.h"
#include "link/Transporte.h"
#include "settings/Idioma.h"
#include "weight/Peso.h"

namespace {

int Peso(const QStringList& argumentos) {
    QTextStream salida(stdout);
    QTextStream error(stderr);
    if (!argumentos.isEmpty()) {
        error << "uso: bascora-cli [--carpeta DIR] peso\n";
        return 2;
    }
    std::unique_ptr<Transporte> linea = CrearTransporte(LeerAjustesLinea());
    linea->Abrir();  // a line that is not up makes the reading fail below
    LecturaPeso l;
    l.Decimales = DecimalesPeso();
    int balanza = 1;
    const bool leido = LeePeso(*linea, balanza, l.Bruto, l.Tara, l.Neto, l.Bit2, l.Bit0, l.BitTara);
    linea->Cerrar();
    if (!leido) {
        error << TextoIdioma("009006", "Error en la comunicación con la balanza") << "\n";
        return 1;
    }
    const QLocale c = QLocale::c();
    salida << "bruto " << FormatearPeso(l.Bruto, l.Decimales, c) << "\n"
           << "tara " << FormatearPeso(l.Tara, l.Decimales, c) << "\n"
           << "neto " << FormatearPeso(l.Neto, l.Decimales, c) << "\n"
           << "bit0 " << l.Bit0 << "\n"
           << "bit2 " << l.Bit2 << "\n"
           << "tara_activa " << l.BitTara << "\n";
    return 0;
}

}  // namespace

BASCORA_COMANDO("peso", "peso", Peso);
