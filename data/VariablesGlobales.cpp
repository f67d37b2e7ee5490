// The global variables table as the back end of settings/VariablesGlobales.h.
#include "data/VariablesGlobales.h"

#include "base/Globales.h"
#include "data/CDatos.h"
#include "data/Conexion.h"
#include "settings/VariablesGlobales.h"

namespace {

// The key is a bound value, so a key such as O'Brien neither breaks the query nor changes it.
void AbrirVariable(CDatos& datos, const QString& clave) {
    datos.AbrirBase(DataCSGlobal);
    const QString tabla =
        datos.BaseAbierta()
            ? NombreTablaSql(QSqlDatabase::database(datos.NombreConexion(), false), DataTbGlobal)
            : DataTbGlobal;
    datos.AbreRegistro(QStringLiteral("SELECT * FROM %1 WHERE VARIABLE = ?").arg(tabla), {clave});
}

QString LeerEnBase(const QString& clave, const QString& defecto) {
    CDatos datos;
    try {
        AbrirVariable(datos, clave);
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

void GuardarEnBase(const QString& clave, const QString& valor) {
    CDatos datos;
    try {
        AbrirVariable(datos, clave);
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

}  // namespace

void InstalarVariablesGlobalesEnBase() {
    InstalarAlmacenVariablesGlobales({LeerEnBase, GuardarEnBase});
}
