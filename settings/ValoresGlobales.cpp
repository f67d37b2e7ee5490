#include "settings/ValoresGlobales.h"

#include "base/Globales.h"
#include "settings/Config.h"

void CargarValoresGlobales() {
    const QString seccion = QStringLiteral("BaseDeDatos");
    struct Ajuste {
        const char* clave;
        QString* destino;
    };
    // In the order the settings are read at start-up.
    const Ajuste ajustes[] = {
        {"DataCSPLU", &DataCSPLU},
        {"DataTbPLU", &DataTbPLU},
        {"DataCSPLU_SETUP", &DataCSPLU_SETUP},
        {"DataTbPLU_SETUP", &DataTbPLU_SETUP},
        {"DataCSTicket", &DataCSTicket},
        {"DataTbTicket", &DataTbTicket},
        {"DataCSReporte", &DataCSReporte},
        {"DataTbReporte", &DataTbReporte},
        {"DataCSSetup", &DataCSSetup},
        {"DataTbSetup", &DataTbSetup},
        {"DataCSGlobal", &DataCSGlobal},
        {"DataTbGlobal", &DataTbGlobal},
        {"DataCSRecetas", &DataCSRecetas},
        {"DataTbRecetas", &DataTbRecetas},
    };
    for (const Ajuste& a : ajustes) {
        *a.destino = LeerConfig(seccion, QString::fromLatin1(a.clave), QString(), true);
    }
    Fecha_Frm = LeerConfig(QStringLiteral("global"), QStringLiteral("Fecha_Frm"),
                           QStringLiteral("DD/MM/YYYY"));
    Fecha_Chr =
        LeerConfig(QStringLiteral("global"), QStringLiteral("Fecha_Chr"), QStringLiteral("#"));
}
