// bascora-cli preparar: a working data folder in the current directory (or --carpeta DIR).
#include <QDir>
#include <QTextStream>

#include "app/Recursos.h"
#include "cli/Comandos.h"
#include "data/Provision.h"
#include "weighings/Plantilla.h"

namespace {

int Preparar(const QStringList& argumentos) {
    QTextStream salida(stdout);
    if (!argumentos.isEmpty()) {
        QTextStream(stderr) << "preparar takes no arguments (use --carpeta DIR before it)\n";
        return 2;
    }
    salida << "Data folder: " << QDir::currentPath() << "\n";
    OpcionesProvision opciones;
    opciones.rutaRecursos = RutaRecursos();
    opciones.crearPlantilla = CrearPlantilla;
    const InformeProvision informe = PrepararCarpeta(opciones);
    salida << informe.Texto();
    salida << (informe.ok() ? "Ready.\n" : "Finished with problems (see above).\n");
    return informe.ok() ? 0 : 1;
}

}  // namespace

BASCORA_COMANDO("preparar", "preparar: create the data folder (datos.db, bascora.ini, resources)",
                Preparar);
