#include "data/Provision.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include "app/Recursos.h"
#include "data/Conexion.h"
#include "data/Tablas.h"
#include "settings/ArchivoIni.h"
#include "settings/Config.h"

#if __has_include("weighings/Plantilla.h")
#include "weighings/Plantilla.h"
#define BASCORA_HAY_PLANTILLA 1
#endif

namespace {

struct FilaTicket {
    int enable, fila, columna, cEnable;
    const char* caption;
};

// Starting layout of every ticket table, rows in the fixed field order.
constexpr FilaTicket kTicketInicial[kFilasTicket] = {
    {1, 1, 1, 0, "BASCORA"},          // Titulo 1
    {1, 2, 1, 0, "Control de peso"},  // Titulo 2
    {1, 4, 1, 1, "Ticket:"},          // Nro. de Ticket
    {1, 7, 1, 1, "Codigo 2:"},        // Codigo 2
    {0, 7, 30, 1, "CUIT:"},           // C. Codigo 2
    {1, 8, 1, 1, "Codigo 3:"},        // Codigo 3
    {0, 8, 30, 1, "CUIT:"},           // C. Codigo 3
    {0, 9, 1, 1, "Codigo 4:"},        // Codigo 4
    {0, 9, 30, 1, "CUIT:"},           // C. Codigo 4
    {1, 6, 1, 1, "Codigo 1:"},        // Codigo 1
    {0, 10, 1, 1, "Codigo 5:"},       // Codigo 5
    {0, 11, 1, 1, "Codigo 6:"},       // Codigo 6
    {0, 12, 1, 1, "Codigo 7:"},       // Codigo 7
    {0, 13, 1, 1, "Codigo 8:"},       // Codigo 8
    {1, 5, 30, 1, "Hora:"},           // Hora
    {1, 5, 1, 1, "Fecha:"},           // Fecha
    {1, 15, 1, 1, "Bruto:"},          // Peso Bruto
    {1, 16, 1, 1, "Tara:"},           // Tara
    {1, 17, 1, 1, "Neto:"},           // Peso Neto
    {0, 18, 1, 1, "Tara Man.:"},      // Tara Manual
    {1, 3, 1, 0, ""},                 // Linea
    {1, 14, 1, 0, ""},                // Linea
    {0, 19, 1, 0, ""},                // Linea
    {0, 20, 1, 0, ""},                // Linea
    {0, 20, 40, 0, ""},               // Linea
};

constexpr int kRecetasIniciales = 5;

class Preparador {
  public:
    Preparador(QSqlDatabase db, InformeProvision& informe)
        : db_(std::move(db)), informe_(informe), pg_(db_.driverName() == u"QPSQL") {}

    void Todo() {
        for (const DescripcionTabla& t : TablasLogicas()) {
            if (t.tabla == TablaLogica::Ticket) {
                for (int n = 1; n <= kTablasTicket; ++n) {
                    Tabla(t, t.nombre + QString::number(n));
                    FilasTicket(t.nombre + QString::number(n));
                }
                continue;
            }
            const bool nueva = Tabla(t, t.nombre);
            switch (t.tabla) {
                case TablaLogica::Reporte:
                    EsquemaReporte(t);
                    break;
                case TablaLogica::PLU_SETUP:
                    FilasGrupos(t.nombre);
                    break;
                case TablaLogica::PLU:
                    Indice(t.nombre, QStringLiteral("PLU_Grupo_Codigo"),
                           QStringLiteral("Grupo, Codigo"), false);
                    break;
                case TablaLogica::Recetas:
                    if (nueva) FilasRecetas(t.nombre);
                    break;
                default:
                    break;
            }
        }
    }

  private:
    QString Tipo(const ColumnaTabla& c) const {
        switch (c.tipo) {
            case TipoColumna::Entero:
            case TipoColumna::SiNo:
                return QStringLiteral("INTEGER");
            case TipoColumna::Real:
                return pg_ ? QStringLiteral("DOUBLE PRECISION") : QStringLiteral("DOUBLE");
            case TipoColumna::Texto:
                return QStringLiteral("VARCHAR(%1)").arg(c.largo);
        }
        return QString();
    }

    // The key that keeps rows in their place and makes them unique, where the table has one.
    static QString Clave(const DescripcionTabla& t) {
        switch (t.tabla) {
            case TablaLogica::PLU_SETUP:
                return QStringLiteral("Codigo");
            case TablaLogica::Ticket:
                return QStringLiteral("Id");
            case TablaLogica::Global:
                return QStringLiteral("VARIABLE");
            case TablaLogica::Setup:
                return QStringLiteral("Clave");
            case TablaLogica::Recetas:
                return QStringLiteral("Receta");
            default:
                return QString();
        }
    }

    bool Ejecutar(const QString& sql, const QString& que) {
        QSqlQuery q(db_);
        if (q.exec(sql)) return true;
        informe_.avisos << QStringLiteral("%1: %2").arg(que, q.lastError().text());
        return false;
    }

    bool ExisteTabla(const QString& nombre) const {
        for (const QString& t : db_.tables()) {
            if (t.compare(nombre, Qt::CaseInsensitive) == 0) return true;
        }
        return false;
    }

    // Creates the table or adds its missing columns. True when it was created now.
    bool Tabla(const DescripcionTabla& t, const QString& nombre) {
        QList<ColumnaTabla> columnas = t.columnas;
        if (t.tabla == TablaLogica::Ticket) {
            columnas.prepend({QStringLiteral("Id"), TipoColumna::Entero});
        }
        if (!ExisteTabla(nombre)) {
            QStringList defs;
            for (const ColumnaTabla& c : columnas) defs << c.nombre + u' ' + Tipo(c);
            if (const QString clave = Clave(t); !clave.isEmpty()) {
                defs << QStringLiteral("PRIMARY KEY (%1)").arg(clave);
            }
            if (Ejecutar(QStringLiteral("CREATE TABLE %1 (%2)").arg(nombre, defs.join(u", ")),
                         QStringLiteral("table %1").arg(nombre))) {
                informe_.creado << QStringLiteral("table %1").arg(nombre);
                return true;
            }
            return false;
        }
        // PostgreSQL keeps unquoted names in lower case in its catalog.
        const QSqlRecord existentes = db_.record(pg_ ? nombre.toLower() : nombre);
        QStringList agregadas;
        for (const ColumnaTabla& c : columnas) {
            bool hay = false;
            for (int k = 0; k < existentes.count() && !hay; ++k) {
                hay = existentes.fieldName(k).compare(c.nombre, Qt::CaseInsensitive) == 0;
            }
            if (hay) continue;
            if (Ejecutar(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                             .arg(nombre, c.nombre, Tipo(c)),
                         QStringLiteral("column %1.%2").arg(nombre, c.nombre))) {
                agregadas << c.nombre;
            }
        }
        if (agregadas.isEmpty()) {
            informe_.existente
                << QStringLiteral("table %1 (%2 rows)").arg(nombre).arg(Filas(nombre));
        } else {
            informe_.creado << QStringLiteral("columns %1 of table %2")
                                   .arg(agregadas.join(QStringLiteral(", ")), nombre);
        }
        return false;
    }

    qint64 Filas(const QString& tabla) const {
        QSqlQuery q(db_);
        return q.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(tabla)) && q.next()
                   ? q.value(0).toLongLong()
                   : -1;
    }

    bool ExisteIndice(const QString& nombre) const {
        QSqlQuery q(db_);
        q.prepare(pg_ ? QStringLiteral("SELECT 1 FROM pg_indexes WHERE indexname = lower(?)")
                      : QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'index' AND "
                                       "name = ? COLLATE NOCASE"));
        q.addBindValue(nombre);
        return q.exec() && q.next();
    }

    void Indice(const QString& tabla, const QString& nombre, const QString& columnas, bool unico) {
        const QString que = QStringLiteral("%1 %2 on %3 (%4)")
                                .arg(unico ? QStringLiteral("unique key") : QStringLiteral("index"),
                                     nombre, tabla, columnas);
        if (ExisteIndice(nombre)) {
            informe_.existente << que;
            return;
        }
        if (Ejecutar(
                QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                    .arg(unico ? QStringLiteral("UNIQUE ") : QString(), nombre, tabla, columnas),
                que)) {
            informe_.creado << que;
        }
    }

    // The weighing table as the report needs it: the calendar date column FechaIso ("yyyy-mm-dd",
    // filled here for rows stored before it existed; Fecha is text such as "24/12/05"), the unique
    // key the downloads rely on, and one index per sort the report offers, each ending in the key
    // so that the whole order comes from the index. Older per-column indexes no sort uses go.
    void EsquemaReporte(const DescripcionTabla& t) {
        const QString& tabla = t.nombre;
        const QSqlRecord columnas = db_.record(pg_ ? tabla.toLower() : tabla);
        if (columnas.indexOf(QStringLiteral("FechaIso")) < 0 &&
            columnas.indexOf(QStringLiteral("fechaiso")) < 0 &&
            Ejecutar(QStringLiteral("ALTER TABLE %1 ADD COLUMN FechaIso VARCHAR(10)").arg(tabla),
                     QStringLiteral("column %1.FechaIso").arg(tabla))) {
            informe_.creado << QStringLiteral("column FechaIso of table %1").arg(tabla);
        }
        QSqlQuery q(db_);
        const QString fecha = ExpresionFechaIso(QStringLiteral("Fecha"));
        if (q.exec(QStringLiteral("UPDATE %1 SET FechaIso = %2 WHERE FechaIso IS NULL AND %2 IS "
                                  "NOT NULL")
                       .arg(tabla, fecha)) &&
            q.numRowsAffected() > 0) {
            informe_.creado
                << QStringLiteral("FechaIso of %1 rows of %2").arg(q.numRowsAffected()).arg(tabla);
        } else if (q.lastError().isValid()) {
            informe_.avisos
                << QStringLiteral("FechaIso of %1: %2").arg(tabla, q.lastError().text());
        }
        Indice(tabla, tabla + QStringLiteral("_Lote_Numero"), QStringLiteral("Lote, Numero"), true);
        QStringList indices = {
            QStringLiteral("Numero, Lote"), QStringLiteral("FechaIso, Hora, Lote, Numero"),
            QStringLiteral("Hora, Lote, Numero"), QStringLiteral("Peso, Lote, Numero")};
        for (int k = 1; k <= 5; ++k) indices << QStringLiteral("Codigo%1, Lote, Numero").arg(k);
        for (const QString& columnasIndice : indices) {
            Indice(tabla, tabla + QStringLiteral("_Orden_") + columnasIndice.section(u',', 0, 0),
                   columnasIndice, false);
        }
        for (const ColumnaTabla& c : t.columnas) {
            const QString viejo = tabla + u'_' + c.nombre;
            if (ExisteIndice(viejo) && Ejecutar(QStringLiteral("DROP INDEX %1").arg(viejo),
                                                QStringLiteral("index %1").arg(viejo))) {
                informe_.notas
                    << QStringLiteral("index %1 dropped: no sort of the report uses it").arg(viejo);
            }
        }
    }

    bool ExisteFila(const QString& tabla, const QString& clave, int valor) const {
        QSqlQuery q(db_);
        q.prepare(QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?").arg(tabla, clave));
        q.addBindValue(valor);
        return q.exec() && q.next();
    }

    bool Insertar(const QString& tabla, const QStringList& columnas, const QVariantList& valores,
                  const QString& que) {
        QSqlQuery q(db_);
        QStringList marcas;
        for (int k = 0; k < columnas.size(); ++k) marcas << QStringLiteral("?");
        q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(tabla, columnas.join(u','), marcas.join(u',')));
        for (const QVariant& v : valores) q.addBindValue(v);
        if (q.exec()) return true;
        informe_.avisos << QStringLiteral("%1: %2").arg(que, q.lastError().text());
        return false;
    }

    void FilasGrupos(const QString& tabla) {
        QStringList agregadas;
        for (int k = 1; k <= 8; ++k) {
            if (ExisteFila(tabla, QStringLiteral("Codigo"), k)) continue;
            if (Insertar(
                    tabla,
                    {QStringLiteral("Codigo"), QStringLiteral("Nombre"), QStringLiteral("Letra"),
                     QStringLiteral("Alfa"), QStringLiteral("Texto"), QStringLiteral("CUIT")},
                    {k, QStringLiteral("Codigo %1").arg(k), QString(QChar(u'A' + k - 1)), 0, 0, 0},
                    QStringLiteral("group row %1 of %2").arg(k).arg(tabla))) {
                agregadas << QString::number(k);
            }
        }
        Informar(tabla, QStringLiteral("group rows"), agregadas, 8);
    }

    void FilasTicket(const QString& tabla) {
        QStringList agregadas;
        for (int k = 1; k <= kFilasTicket; ++k) {
            if (ExisteFila(tabla, QStringLiteral("Id"), k)) continue;
            const FilaTicket& f = kTicketInicial[k - 1];
            if (Insertar(tabla,
                         {QStringLiteral("Id"), QStringLiteral("ENABLE"), QStringLiteral("FILA"),
                          QStringLiteral("COLUMNA"), QStringLiteral("C_ENABLE"),
                          QStringLiteral("CAPTION")},
                         {k, f.enable, f.fila, f.columna, f.cEnable, QString::fromUtf8(f.caption)},
                         QStringLiteral("row %1 of %2").arg(k).arg(tabla))) {
                agregadas << QString::number(k);
            }
        }
        Informar(tabla, QStringLiteral("layout rows"), agregadas, kFilasTicket);
    }

    void FilasRecetas(const QString& tabla) {
        QStringList agregadas;
        for (int r = 1; r <= kRecetasIniciales; ++r) {
            QStringList columnas{QStringLiteral("Receta")};
            QVariantList valores{r};
            for (int k = 1; k <= 16; ++k) {
                columnas << QStringLiteral("Ingrediente%1").arg(k);
                valores << 0.0;
            }
            if (Insertar(tabla, columnas, valores, QStringLiteral("recipe %1").arg(r))) {
                agregadas << QString::number(r);
            }
        }
        Informar(tabla, QStringLiteral("recipes"), agregadas, kRecetasIniciales);
    }

    void Informar(const QString& tabla, const QString& que, const QStringList& agregadas,
                  int total) {
        if (!agregadas.isEmpty()) {
            informe_.creado << QStringLiteral("%1 %2 of %3").arg(que, agregadas.join(u','), tabla);
        }
        if (agregadas.size() < total) {
            informe_.existente << QStringLiteral("%1 of %2: %3 already there")
                                      .arg(que, tabla)
                                      .arg(total - agregadas.size());
        }
    }

    QSqlDatabase db_;
    InformeProvision& informe_;
    bool pg_;
};

void CopiarSiFalta(const QString& origen, const QString& destino, InformeProvision& informe) {
    const QString nombre = QFileInfo(destino).fileName();
    if (QFileInfo::exists(destino)) {
        informe.existente << nombre;
        return;
    }
    QDir().mkpath(QFileInfo(destino).absolutePath());
    if (QFile::copy(origen, destino)) {
        // Shipped files may be installed read-only; the copy belongs to the site.
        QFile(destino).setPermissions(QFile(destino).permissions() | QFile::WriteOwner |
                                      QFile::WriteUser);
        informe.creado << nombre;
    } else {
        informe.avisos << QStringLiteral("cannot copy %1 to %2").arg(origen, destino);
    }
}

void Recursos(InformeProvision& informe) {
    const QDir recursos(RutaRecursos());
    const QDir carpeta = QDir::current();
    if (!recursos.exists()) {
        informe.avisos << QStringLiteral("shipped resources not found at %1").arg(recursos.path());
    } else {
        for (const QString& idm :
             recursos.entryList({QStringLiteral("*.idm")}, QDir::Files, QDir::Name)) {
            CopiarSiFalta(recursos.filePath(idm), carpeta.filePath(idm), informe);
        }
        const QString ayuda = recursos.filePath(QStringLiteral("ayuda"));
        if (QFileInfo(ayuda).isDir()) {
            int copiados = 0, presentes = 0;
            QDirIterator it(ayuda, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString origen = it.next();
                const QString destino = carpeta.filePath(QStringLiteral("ayuda/") +
                                                         QDir(ayuda).relativeFilePath(origen));
                if (QFileInfo::exists(destino)) {
                    ++presentes;
                } else if (QDir().mkpath(QFileInfo(destino).absolutePath()) &&
                           QFile::copy(origen, destino)) {
                    ++copiados;
                } else {
                    informe.avisos << QStringLiteral("cannot copy %1").arg(origen);
                }
            }
            if (copiados) informe.creado << QStringLiteral("ayuda/ (%1 files)").arg(copiados);
            if (presentes) informe.existente << QStringLiteral("ayuda/ (%1 files)").arg(presentes);
        }
    }
    const QString plantilla = carpeta.filePath(QStringLiteral("PlantillaBascora.xlsx"));
    if (QFileInfo::exists(plantilla)) {
        informe.existente << QStringLiteral("PlantillaBascora.xlsx");
    } else if (QFileInfo::exists(recursos.filePath(QStringLiteral("PlantillaBascora.xlsx")))) {
        CopiarSiFalta(recursos.filePath(QStringLiteral("PlantillaBascora.xlsx")), plantilla,
                      informe);
    } else {
#ifdef BASCORA_HAY_PLANTILLA
        if (CrearPlantilla(plantilla)) {
            informe.creado << QStringLiteral("PlantillaBascora.xlsx");
        } else {
            informe.avisos << QStringLiteral("cannot create PlantillaBascora.xlsx");
        }
#else
        informe.notas << QStringLiteral(
            "PlantillaBascora.xlsx: no template shipped yet; the workbook export needs one");
#endif
    }
}

void Configuracion(const QString& cadena, InformeProvision& informe) {
    const QString ini = RutaEnCarpetaDatos(QStringLiteral("bascora.ini"));
    if (QFileInfo::exists(ini)) {
        informe.existente << QFileInfo(ini).fileName();
    } else {
        const QString ejemplo = QDir(RutaRecursos()).filePath(QStringLiteral("bascora.ini"));
        if (QFileInfo::exists(ejemplo)) {
            CopiarSiFalta(ejemplo, ini, informe);
        } else {
            informe.creado << QStringLiteral("bascora.ini");
        }
    }
    const QString seccion = QStringLiteral("BaseDeDatos");
    QStringList agregadas, presentes;
    for (const DescripcionTabla& t : TablasLogicas()) {
        const QPair<QString, QString> ajustes[] = {{t.claveConexion, cadena},
                                                   {t.claveTabla, t.nombre}};
        for (const auto& [clave, valor] : ajustes) {
            if (ArchivoIni::LeerValor(ini, seccion, clave).has_value()) {
                presentes << clave;
                continue;
            }
            GuardarConfig(seccion, clave, valor, true);
            agregadas << clave;
        }
    }
    if (!agregadas.isEmpty()) {
        informe.creado
            << QStringLiteral("[BaseDeDatos] %1").arg(agregadas.join(QStringLiteral(", ")));
    }
    if (!presentes.isEmpty()) {
        informe.existente
            << QStringLiteral("[BaseDeDatos] %1").arg(presentes.join(QStringLiteral(", ")));
    }
}

}  // namespace

QString ExpresionFechaIso(const QString& f) {
    const auto parte = [&](int desde, int largo) {
        return QStringLiteral("substr(%1, %2, %3)").arg(f).arg(desde).arg(largo);
    };
    const auto digitos = [&](QList<int> posiciones) {
        QStringList c;
        for (int p : posiciones) c << parte(p, 1) + QStringLiteral(" BETWEEN '0' AND '9'");
        return c.join(QStringLiteral(" AND "));
    };
    const QString diaMes = QStringLiteral("'-' || %1 || '-' || %2").arg(parte(4, 2), parte(1, 2));
    const QString barras = QStringLiteral("%1 = '/' AND %2 = '/'").arg(parte(3, 1), parte(6, 1));
    return QStringLiteral(
               "(CASE WHEN length(%1) = 8 AND %2 AND %3 THEN "
               "(CASE WHEN %4 < '80' THEN '20' ELSE '19' END) || %4 || %5 "
               "WHEN length(%1) = 10 AND %2 AND %6 THEN %7 || %5 END)")
        .arg(f, barras, digitos({1, 2, 4, 5, 7, 8}), parte(7, 2), diaMes,
             digitos({1, 2, 4, 5, 7, 8, 9, 10}), parte(7, 4));
}

QString InformeProvision::Texto() const {
    QString t;
    for (const QString& s : creado) t += QStringLiteral("created:  %1\n").arg(s);
    for (const QString& s : existente) t += QStringLiteral("exists:   %1\n").arg(s);
    for (const QString& s : notas) t += QStringLiteral("note:     %1\n").arg(s);
    for (const QString& s : avisos) t += QStringLiteral("PROBLEM:  %1\n").arg(s);
    return t;
}

QString CadenaConexionPredeterminada() {
    return QStringLiteral("Driver=QSQLITE;Data Source=datos.db;");
}

void PrepararBase(const QString& cadenaConexion, InformeProvision& informe) {
    const QString nombre = NuevoNombreConexion();
    QString error;
    const auto c = AnalizarCadenaConexion(cadenaConexion, &error);
    const bool nuevo = c && c->driver == u"QSQLITE" && !QFileInfo::exists(c->archivo);
    if (!AbrirConexion(nombre, cadenaConexion, true, &error)) {
        informe.avisos << QStringLiteral("database: %1").arg(error);
        return;
    }
    if (c->driver == u"QSQLITE") {
        const QString archivo = QFileInfo(c->archivo).fileName();
        (nuevo ? informe.creado : informe.existente) << QStringLiteral("database %1").arg(archivo);
    }
    {
        QSqlDatabase db = QSqlDatabase::database(nombre, false);
        if (c->driver == u"QSQLITE") {
            // Each stored weighing is one committed transaction; the write-ahead log makes that
            // one sync instead of several.
            QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        }
        Preparador(db, informe).Todo();
    }
    CerrarConexion(nombre);
}

InformeProvision PrepararCarpeta() {
    InformeProvision informe;
    const QString cadena = CadenaConexionPredeterminada();
    PrepararBase(cadena, informe);
    Configuracion(cadena, informe);
    Recursos(informe);
    return informe;
}
