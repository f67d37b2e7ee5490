#include "products/NombresPLU.h"

#include "base/Globales.h"
#include "data/CDatos.h"

namespace {

// The code as a whole number for the query, or nothing. Only digits reach the SQL text.
bool CodigoNumerico(const QString& texto, qulonglong& codigo) {
    const QString t = texto.trimmed();
    if (t.isEmpty() || t.size() > 18) return false;
    for (const QChar c : t) {
        if (c < u'0' || c > u'9') return false;
    }
    codigo = t.toULongLong();
    return true;
}

}  // namespace

void NombresPLU(std::array<QString, 9>& Nombres, const std::array<bool, 9>& Usar) {
    CDatos datos;
    datos.AbrirBase(DataCSPLU);
    for (int i = 0; i <= 4; ++i) {
        if (!Usar[i]) continue;
        qulonglong codigo = 0;
        if (!CodigoNumerico(Nombres[i + 1], codigo)) {
            Nombres[i + 1].clear();
            continue;
        }
        datos.AbreRegistro(
            QStringLiteral("SELECT Grupo, Codigo, Nombre FROM ") + DataTbPLU +
            QStringLiteral(" WHERE Grupo = %1 and Codigo = %2").arg(i + 1).arg(codigo));
        if (datos.Registro.Eof()) {
            Nombres[i + 1].clear();
        } else {
            Nombres[i + 1] = datos.Registro.Campo(QStringLiteral("Nombre")).toString();
        }
        datos.CierraRegistro();
    }
    datos.CerrarBase();
}
