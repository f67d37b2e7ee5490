#include "settings/VariablesGlobales.h"

#include "base/Globales.h"
#include "data/CDatos.h"
#include "data/Conexion.h"

namespace {

// The key goes between single quotes with its own quotes doubled, so a key such as O'Brien
// neither breaks the query nor changes it.
QString Consulta(const QString& clave) {
    QString escapada = clave;
    escapada.replace(u'\'', QStringLiteral("''"));
    return QStringLiteral("SELECT * FROM ") + DataTbGlobal +
           QStringLiteral(" WHERE  VARIABLE = '") + escapada + u'\'';
}

}  // namespace

QString LeerVariableGlobal(const QString& clave, const QString& defecto) {
    CDatos datos;
    try {
        datos.AbrirBase(DataCSGlobal);
        datos.AbreRegistro(Consulta(clave));
        QString resultado = defecto;
        if (datos.Existe_Registro())
            resultado = datos.Registro.Campo(QStringLiteral("VALOR")).toString();
        datos.CierraRegistro();
        datos.CerrarBase();
        return resultado;
    } catch (const ErrorBase& e) {
        // Like a missing INI file: the caller's default.
        qCDebug(lcDatos) << "global variable" << clave << "not read:" << e.descripcion();
        return defecto;
    }
}

void GuardarVariableGlobal(const QString& clave, const QString& valor) {
    CDatos datos;
    try {
        datos.AbrirBase(DataCSGlobal);
        datos.AbreRegistro(Consulta(clave));
        if (datos.Existe_Registro()) {
            datos.Registro.AsignarCampo(QStringLiteral("VALOR"), valor);
            datos.Registro.Update();
        } else {
            datos.AgregaRegistros({{QStringLiteral("VARIABLE"), clave},
                                   {QStringLiteral("VALOR"), valor},
                                   {QStringLiteral("DESCRIPCION"), QStringLiteral("-")}});
        }
    } catch (const ErrorBase& e) {
        // A write to the settings store reports nothing, whichever back end it goes to.
        qCWarning(lcDatos) << "global variable" << clave << "not stored:" << e.descripcion();
    }
}
