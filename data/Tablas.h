#pragma once
// The seven logical tables: their settings, the columns the program uses, and how a window
// attaches to one and learns which database message to show when it cannot.

#include <QList>
#include <QString>
#include <QVariantList>

class CDatos;

enum class TablaLogica { PLU, PLU_SETUP, Ticket, Reporte, Setup, Global, Recetas };

enum class TipoColumna { Entero, Real, Texto, SiNo };

struct ColumnaTabla {
    QString nombre;
    TipoColumna tipo;
    int largo = 0;  // text columns: most characters the program keeps
};

struct DescripcionTabla {
    TablaLogica tabla;
    QString nombre;         // the logical name, also the table name a new data folder gets
    QString claveConexion;  // "DataCS..." setting
    QString claveTabla;     // "DataTb..." setting
    QList<ColumnaTabla> columnas;
};

// All seven, in the order of the settings.
const QList<DescripcionTabla>& TablasLogicas();
const DescripcionTabla& Descripcion(TablaLogica tabla);

// The process-wide connection string and table name of a logical table (read at start-up).
QString ConexionDe(TablaLogica tabla);
QString NombreTablaDe(TablaLogica tabla);

// A table to work on: the connection string it lives on and its name. Procedures take one
// instead of reading the DataCS*/DataTb* values themselves.
struct TablaDatos {
    QString conexion;
    QString tabla;
};
// The process-wide connection and table name of a logical table.
TablaDatos TablaDe(TablaLogica tabla);

// The ticket tables are "Ticket" (the DataTbTicket setting) followed by the layout number 1-5.
constexpr int kTablasTicket = 5;
constexpr int kFilasTicket = 25;
QString NombreTablaTicket(int layout);

// Windows that attach to a table, each with its own database message.
enum class VentanaDatos { Productos, Membrete, EditorTicket, Reporte, Recetas, Opciones };

struct MensajeBase {
    QString texto;   // the message, from the language file
    QString titulo;  // the box title; empty where the window gives none
};
MensajeBase MensajeBaseDatos(VentanaDatos ventana);

// Opens `datos` on `cadenaConexion` and `consulta` (with the values of its "?") the way a window
// attaches its table. Returns the empty text when the record set is open, else the window's
// database message (the reason is logged).
QString AdjuntarTabla(CDatos& datos, const QString& cadenaConexion, const QString& consulta,
                      VentanaDatos ventana, const QVariantList& valores = {});
