#include "base/Globales.h"

QString DataCSPLU, DataTbPLU;
QString DataCSPLU_SETUP, DataTbPLU_SETUP;
QString DataCSTicket, DataTbTicket;
QString DataCSReporte, DataTbReporte;
QString DataCSSetup, DataTbSetup;
QString DataCSGlobal, DataTbGlobal;
QString DataCSRecetas, DataTbRecetas;
QString Fecha_Frm = QStringLiteral("DD/MM/YYYY");
QString Fecha_Chr = QStringLiteral("#");
std::atomic<int> Reintentos{0};

