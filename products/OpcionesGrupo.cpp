#include "products/OpcionesGrupo.h"

#include <QLoggingCategory>
#include <QStringList>
#include <cmath>

#include "base/Globales.h"
#include "data/CDatos.h"

Q_LOGGING_CATEGORY(lcOpcionesGrupo, "bascora.productos.grupos")

bool ValorSiNo(const QVariant& v) {
    if (v.isNull() || !v.isValid()) return false;
    if (v.typeId() == QMetaType::Bool) return v.toBool();
    if (v.typeId() == QMetaType::QString) {
        const QString t = v.toString().trimmed();
        if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
        if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
    }
    return std::fabs(v.toDouble()) != 0.0;
}

OpcionesCampos Llena_Opciones() {
    return Llena_Opciones(DataCSPLU_SETUP, DataTbPLU_SETUP);
}

OpcionesCampos Llena_Opciones(const QString& conexion, const QString& tabla) {
    OpcionesCampos o;
    CDatos datos;
    try {
        datos.AbrirBase(conexion);
        datos.AbreRegistro(QStringLiteral("SELECT * FROM ") + tabla +
                           QStringLiteral(" ORDER BY Codigo ASC"));
        // A table without one of the columns still gives the others.
        const QStringList columnas =
            datos.Registro.Abierto() ? datos.Registro.Columnas() : QStringList();
        const auto hay = [&](const char* c) {
            return columnas.contains(QLatin1String(c), Qt::CaseInsensitive);
        };
        const auto texto = [&](const char* c) {
            return hay(c) ? datos.Registro.Campo(QLatin1String(c)).toString() : QString();
        };
        const auto siNo = [&](const char* c) {
            return hay(c) && ValorSiNo(datos.Registro.Campo(QLatin1String(c)));
        };
        for (int k = 0; k <= 7; ++k) {
            if (datos.Registro.Eof()) break;
            o.Texto[k] = siNo("Texto");
            o.Alfa[k] = siNo("Alfa");
            o.Cuit[k] = siNo("CUIT");
            o.Nombre[k] = texto("Nombre");
            o.Letra[k] = texto("Letra");
            o.filas = k + 1;
            datos.Registro.MoveNext();
        }
        o.leido = true;
    } catch (const ErrorBase& e) {
        qCWarning(lcOpcionesGrupo) << "configuración de grupos ilegible:" << e.descripcion();
        o = OpcionesCampos{};
    }
    try {
        datos.CierraRegistro();
        datos.CerrarBase();
    } catch (const ErrorBase&) {
        // Closing something that never opened: nothing to release.
    }
    return o;
}
