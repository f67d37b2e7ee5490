#include "data/Tablas.h"

#include "base/Globales.h"
#include "data/CDatos.h"
#include "data/Conexion.h"
#include "settings/Idioma.h"

namespace {

QList<ColumnaTabla> Codigos() {
    QList<ColumnaTabla> c;
    for (int k = 1; k <= 8; ++k) c.append({QStringLiteral("Codigo%1").arg(k), TipoColumna::Entero});
    return c;
}

QList<ColumnaTabla> Ingredientes() {
    QList<ColumnaTabla> c{{QStringLiteral("Receta"), TipoColumna::Entero}};
    for (int k = 1; k <= 16; ++k) {
        c.append({QStringLiteral("Ingrediente%1").arg(k), TipoColumna::Real});
    }
    return c;
}

}  // namespace

const QList<DescripcionTabla>& TablasLogicas() {
    using T = TipoColumna;
    static const QList<DescripcionTabla> tablas{
        {TablaLogica::PLU,
         QStringLiteral("PLU"),
         QStringLiteral("DataCSPLU"),
         QStringLiteral("DataTbPLU"),
         {{QStringLiteral("Codigo"), T::Entero},
          {QStringLiteral("Grupo"), T::Entero},
          {QStringLiteral("Nombre"), T::Texto, 46},
          {QStringLiteral("EAN"), T::Texto, 15},
          {QStringLiteral("Aux"), T::Texto, 1}}},
        {TablaLogica::PLU_SETUP,
         QStringLiteral("PLU_SETUP"),
         QStringLiteral("DataCSPLU_SETUP"),
         QStringLiteral("DataTbPLU_SETUP"),
         {{QStringLiteral("Codigo"), T::Entero},
          {QStringLiteral("Nombre"), T::Texto, 12},
          {QStringLiteral("Letra"), T::Texto, 1},
          {QStringLiteral("Alfa"), T::SiNo},
          {QStringLiteral("Texto"), T::SiNo},
          {QStringLiteral("CUIT"), T::SiNo}}},
        {TablaLogica::Ticket,
         QStringLiteral("Ticket"),
         QStringLiteral("DataCSTicket"),
         QStringLiteral("DataTbTicket"),
         {{QStringLiteral("ENABLE"), T::SiNo},
          {QStringLiteral("FILA"), T::Entero},
          {QStringLiteral("COLUMNA"), T::Entero},
          {QStringLiteral("C_ENABLE"), T::SiNo},
          {QStringLiteral("CAPTION"), T::Texto, 80}}},
        {TablaLogica::Reporte, QStringLiteral("Reporte"), QStringLiteral("DataCSReporte"),
         QStringLiteral("DataTbReporte"),
         QList<ColumnaTabla>{{QStringLiteral("Lote"), T::Entero},
                             {QStringLiteral("Numero"), T::Entero},
                             {QStringLiteral("Fecha"), T::Texto, 10},
                             {QStringLiteral("Hora"), T::Texto, 8},
                             {QStringLiteral("Peso"), T::Real}} +
             Codigos() + QList<ColumnaTabla>{{QStringLiteral("Secuencia"), T::Entero}}},
        {TablaLogica::Setup,
         QStringLiteral("Setup"),
         QStringLiteral("DataCSSetup"),
         QStringLiteral("DataTbSetup"),
         {{QStringLiteral("Clave"), T::Texto, 40}, {QStringLiteral("Valor"), T::Texto, 255}}},
        {TablaLogica::Global,
         QStringLiteral("Global"),
         QStringLiteral("DataCSGlobal"),
         QStringLiteral("DataTbGlobal"),
         {{QStringLiteral("VARIABLE"), T::Texto, 255},
          {QStringLiteral("VALOR"), T::Texto, 255},
          {QStringLiteral("DESCRIPCION"), T::Texto, 255}}},
        {TablaLogica::Recetas, QStringLiteral("Recetas"), QStringLiteral("DataCSRecetas"),
         QStringLiteral("DataTbRecetas"), Ingredientes()},
    };
    return tablas;
}

const DescripcionTabla& Descripcion(TablaLogica tabla) {
    for (const DescripcionTabla& d : TablasLogicas()) {
        if (d.tabla == tabla) return d;
    }
    return TablasLogicas().front();
}

QString ConexionDe(TablaLogica tabla) {
    switch (tabla) {
        case TablaLogica::PLU:
            return DataCSPLU;
        case TablaLogica::PLU_SETUP:
            return DataCSPLU_SETUP;
        case TablaLogica::Ticket:
            return DataCSTicket;
        case TablaLogica::Reporte:
            return DataCSReporte;
        case TablaLogica::Setup:
            return DataCSSetup;
        case TablaLogica::Global:
            return DataCSGlobal;
        case TablaLogica::Recetas:
            return DataCSRecetas;
    }
    return QString();
}

TablaDatos TablaDe(TablaLogica tabla) {
    return {ConexionDe(tabla), NombreTablaDe(tabla)};
}

QString NombreTablaDe(TablaLogica tabla) {
    switch (tabla) {
        case TablaLogica::PLU:
            return DataTbPLU;
        case TablaLogica::PLU_SETUP:
            return DataTbPLU_SETUP;
        case TablaLogica::Ticket:
            return DataTbTicket;
        case TablaLogica::Reporte:
            return DataTbReporte;
        case TablaLogica::Setup:
            return DataTbSetup;
        case TablaLogica::Global:
            return DataTbGlobal;
        case TablaLogica::Recetas:
            return DataTbRecetas;
    }
    return QString();
}

QString NombreTablaTicket(int layout) {
    return DataTbTicket + QString::number(layout);
}

MensajeBase MensajeBaseDatos(VentanaDatos ventana) {
    const QString noEncuentra = QStringLiteral("No se encuentra datos.mdb.");
    const QString error = QStringLiteral("Error");
    switch (ventana) {
        case VentanaDatos::Productos:
            return {TextoIdioma(QStringLiteral("010060"), noEncuentra),
                    TextoIdioma(QStringLiteral("010043"), error)};
        case VentanaDatos::Membrete:
            return {TextoIdioma(QStringLiteral("006016"), noEncuentra),
                    TextoIdioma(QStringLiteral("006017"), error)};
        case VentanaDatos::EditorTicket:
            return {TextoIdioma(QStringLiteral("014030"), noEncuentra), QString()};
        case VentanaDatos::Reporte:
            return {TextoIdioma(QStringLiteral("012019"), noEncuentra), QString()};
        case VentanaDatos::Recetas:
            return {TextoIdioma(QStringLiteral("011037"),
                                QStringLiteral("La referencia de datos es incorrecta.")),
                    TextoIdioma(QStringLiteral("011015"), error)};
        case VentanaDatos::Opciones:
            return {
                TextoIdioma(QStringLiteral("007032"), QStringLiteral("No se encuentra data.mdb.")),
                QString()};
    }
    return {};
}

QString AdjuntarTabla(CDatos& datos, const QString& cadenaConexion, const QString& consulta,
                      VentanaDatos ventana, const QVariantList& valores) {
    datos.AbrirBase(cadenaConexion);
    datos.AbreRegistro(consulta, valores);
    if (datos.Registro.Abierto()) return QString();
    qCWarning(lcDatos) << "table not attached:" << datos.UltimoError();
    return MensajeBaseDatos(ventana).texto;
}
