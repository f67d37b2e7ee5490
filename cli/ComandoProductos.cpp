// bascora-cli productos: the product codes without windows.
//   productos cargar|configuracion|recuperar|comparar [--si]   transfers with the indicator
//   productos importar|exportar ARCHIVO.csv                      CSV exchange of the product table
//   productos etiquetas GRUPO                                    label jobs appended to CB.txt
// Exit status 0 success, 1 failure (or a question answered No), 2 usage.
#include <QDir>
#include <QTextStream>

#include "cli/Comandos.h"
#include "cli/InteraccionTerminal.h"
#include "data/Tablas.h"
#include "link/EnlaceDirecto.h"
#include "products/IntercambioCSV.h"
#include "products/ListadoPLU.h"
#include "products/TablaProductos.h"
#include "products/TransferenciaPLU.h"

namespace {

int Uso(const QString& motivo) {
    QTextStream(stderr) << "productos: " << motivo << "\n"
                        << "uso: productos cargar|configuracion|recuperar|comparar [--si] | "
                           "importar|exportar ARCHIVO.csv | etiquetas GRUPO\n";
    return 2;
}

int Estado(const ResultadoPLU& r) {
    return r.ok ? 0 : 1;
}

int Transferencia(const QString& accion, const QStringList& opciones) {
    bool si = false;
    for (const QString& o : opciones) {
        if (o != QLatin1String("--si")) return Uso(QStringLiteral("unknown option ") + o);
        si = true;
    }
    InteraccionTerminal op(si ? InteraccionTerminal::Respuesta::Si
                              : InteraccionTerminal::Respuesta::Preguntar);
    EnlaceDirecto enlace;
    const TablaDatos plu = TablaDe(TablaLogica::PLU);
    const TablaDatos setup = TablaDe(TablaLogica::PLU_SETUP);
    const OpcionesCampos config = Llena_Opciones(setup);
    if (accion == QLatin1String("cargar")) {
        const ResultadoPLU r = CargarCodigos(enlace, op, plu, config);
        if (r.ok) QTextStream(stdout) << r.cantidad << " codes sent\n";
        return Estado(r);
    }
    if (accion == QLatin1String("configuracion"))
        return Estado(CargarConfiguracion(enlace, op, setup, config));
    if (accion == QLatin1String("recuperar")) {
        const ResultadoPLU r = RecuperarCodigos(enlace, op, plu, setup);
        if (r.ok) QTextStream(stdout) << r.cantidad << " codes stored\n";
        return Estado(r);
    }
    return Estado(MostrarComparacion(enlace, op, plu, config));
}

int Intercambio(const QString& accion, const QStringList& resto) {
    if (resto.size() != 1) return Uso(QStringLiteral("one CSV file expected"));
    const TablaDatos plu = TablaDe(TablaLogica::PLU);
    const ResultadoCSV r = accion == QLatin1String("importar") ? ImportarCSV(plu, resto.at(0))
                                                               : ExportarCSV(plu, resto.at(0));
    if (!r.ok) {
        QTextStream error(stderr);
        for (const QString& e : r.errores) error << e << "\n";
        return 1;
    }
    QTextStream(stdout) << r.cantidad
                        << (accion == QLatin1String("importar") ? " codes imported\n"
                                                                : " codes exported\n");
    return 0;
}

int Etiquetas(const QStringList& resto) {
    bool numero = false;
    const int grupo = resto.size() == 1 ? resto.at(0).toInt(&numero) : 0;
    if (!numero || grupo < 1 || grupo > CantidadGrupos)
        return Uso(QStringLiteral("a group from 1 to 8 expected"));
    QString motivo;
    const auto productos =
        LeerProductos(TablaDe(TablaLogica::PLU), grupo, OrdenProductos::Codigo, &motivo);
    if (!productos || !EscribirEtiquetas(QDir::current().absoluteFilePath(QStringLiteral("CB.txt")),
                                         *productos, &motivo)) {
        QTextStream(stderr) << motivo << "\n";
        return 1;
    }
    QTextStream(stdout) << productos->size() << " label jobs appended to CB.txt\n";
    return 0;
}

int Productos(const QStringList& argumentos) {
    if (argumentos.isEmpty()) return Uso(QStringLiteral("action missing"));
    const QString accion = argumentos.at(0);
    const QStringList resto = argumentos.mid(1);
    static const QStringList transferencias{"cargar", "configuracion", "recuperar", "comparar"};
    if (transferencias.contains(accion)) return Transferencia(accion, resto);
    if (accion == QLatin1String("importar") || accion == QLatin1String("exportar"))
        return Intercambio(accion, resto);
    if (accion == QLatin1String("etiquetas")) return Etiquetas(resto);
    return Uso(QStringLiteral("unknown action ") + accion);
}

}  // namespace

BASCORA_COMANDO("productos",
                "productos cargar|configuracion|recuperar|comparar [--si] | importar|exportar "
                "ARCHIVO.csv | etiquetas GRUPO: product codes",
                Productos);
