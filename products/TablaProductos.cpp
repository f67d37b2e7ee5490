#include "products/TablaProductos.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "data/Conexion.h"

namespace {

const char* const kColumnas = "Codigo, Grupo, Nombre, EAN, Aux";

QString Texto(const QVariant& v) {
    return v.isNull() ? QString() : v.toString();
}

Producto ProductoDe(const QSqlQuery& q) {
    Producto p;
    p.Codigo = q.value(0).toLongLong();
    p.Grupo = q.value(1).toInt();
    p.Nombre = Texto(q.value(2));
    p.EAN = Texto(q.value(3));
    p.Aux = Texto(q.value(4));
    return p;
}

bool Fallo(const QSqlError& e, QString* error) {
    if (error) *error = e.text();
    return false;
}

QSqlDatabase Base(const TablaDatos& t, QString* error) {
    QString motivo;
    QSqlDatabase db = ConexionPara(t.conexion, &motivo);
    if (!db.isValid() && error) *error = motivo;
    return db;
}

void Ligar(QSqlQuery& q, const Producto& p) {
    q.addBindValue(p.Codigo);
    q.addBindValue(p.Grupo);
    q.addBindValue(p.Nombre);
    q.addBindValue(p.EAN);
    q.addBindValue(p.Aux);
}

bool Insertar(QSqlDatabase& db, const QString& tabla, const Producto& p, QString* error) {
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (?, ?, ?, ?, ?)")
                  .arg(tabla, QLatin1String(kColumnas)));
    Ligar(q, p);
    return q.exec() || Fallo(q.lastError(), error);
}

// Rows equal to p (null texts count as empty).
const char* const kIguales =
    " WHERE Codigo = ? AND Grupo = ? AND COALESCE(Nombre, '') = ? AND COALESCE(EAN, '') = ? AND "
    "COALESCE(Aux, '') = ?";

int ContarIguales(QSqlDatabase& db, const QString& tabla, const Producto& p, QString* error) {
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT COUNT(*) FROM ") + tabla + QLatin1String(kIguales));
    Ligar(q, p);
    if (!q.exec() || !q.next()) {
        Fallo(q.lastError(), error);
        return -1;
    }
    return q.value(0).toInt();
}

// Takes one row equal to p out: all equal rows go and all but one come back, so that the
// statement works on every engine without a row key.
bool QuitarUno(QSqlDatabase& db, const QString& tabla, const Producto& p, QString* error) {
    const int iguales = ContarIguales(db, tabla, p, error);
    if (iguales < 0) return false;
    if (iguales == 0) {
        if (error) *error = QStringLiteral("row not found");
        return false;
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral("DELETE FROM ") + tabla + QLatin1String(kIguales));
    Ligar(q, p);
    if (!q.exec()) return Fallo(q.lastError(), error);
    for (int i = 1; i < iguales; ++i) {
        if (!Insertar(db, tabla, p, error)) return false;
    }
    return true;
}

// Runs `cuerpo` inside one transaction; rolls back when it fails.
template <typename F>
bool EnTransaccion(QSqlDatabase& db, QString* error, F&& cuerpo) {
    if (!db.transaction()) return Fallo(db.lastError(), error);
    if (!cuerpo()) {
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        const QSqlError e = db.lastError();
        db.rollback();
        return Fallo(e, error);
    }
    return true;
}

QString OrdenSql(OrdenProductos orden) {
    switch (orden) {
        case OrdenProductos::Codigo:
            return QStringLiteral("Codigo ASC");
        case OrdenProductos::GrupoCodigo:
            return QStringLiteral("Grupo, Codigo");
        case OrdenProductos::Grupo:
            return QStringLiteral("Grupo ASC, Codigo ASC");
        case OrdenProductos::Nombre:
            return QStringLiteral("Nombre ASC, Codigo ASC");
        case OrdenProductos::EAN:
            return QStringLiteral("EAN ASC, Codigo ASC");
    }
    return QStringLiteral("Codigo ASC");
}

}  // namespace

QString NombreSql(const QSqlDatabase& db, const QString& tabla) {
    static const QRegularExpression simple(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (simple.match(tabla).hasMatch()) return tabla;
    return db.driver()->escapeIdentifier(tabla, QSqlDriver::TableName);
}

std::optional<QList<Producto>> LeerProductos(const TablaDatos& t, int grupo, OrdenProductos orden,
                                             QString* error) {
    QSqlDatabase db = Base(t, error);
    if (!db.isValid()) return std::nullopt;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1 FROM %2%3 ORDER BY %4")
                  .arg(QLatin1String(kColumnas), NombreSql(db, t.tabla),
                       grupo > 0 ? QStringLiteral(" WHERE Grupo = ?") : QString(),
                       OrdenSql(orden)));
    if (grupo > 0) q.addBindValue(grupo);
    if (!q.exec()) {
        Fallo(q.lastError(), error);
        return std::nullopt;
    }
    QList<Producto> filas;
    while (q.next()) filas.append(ProductoDe(q));
    return filas;
}

int ContarProductos(const TablaDatos& t, QString* error) {
    QSqlDatabase db = Base(t, error);
    if (!db.isValid()) return -1;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM ") + NombreSql(db, t.tabla)) || !q.next()) {
        Fallo(q.lastError(), error);
        return -1;
    }
    return q.value(0).toInt();
}

bool AgregarProducto(const TablaDatos& t, const Producto& p, QString* error) {
    QSqlDatabase db = Base(t, error);
    return db.isValid() && Insertar(db, NombreSql(db, t.tabla), p, error);
}

bool ModificarProducto(const TablaDatos& t, const Producto& antes, const Producto& despues,
                       QString* error) {
    QSqlDatabase db = Base(t, error);
    if (!db.isValid()) return false;
    const QString tabla = NombreSql(db, t.tabla);
    return EnTransaccion(db, error, [&] {
        return QuitarUno(db, tabla, antes, error) && Insertar(db, tabla, despues, error);
    });
}

bool EliminarProducto(const TablaDatos& t, const Producto& p, QString* error) {
    QSqlDatabase db = Base(t, error);
    if (!db.isValid()) return false;
    const QString tabla = NombreSql(db, t.tabla);
    return EnTransaccion(db, error, [&] { return QuitarUno(db, tabla, p, error); });
}

bool ReemplazarProductos(const TablaDatos& t, const QList<Producto>& productos, QString* error) {
    QSqlDatabase db = Base(t, error);
    if (!db.isValid()) return false;
    const QString tabla = NombreSql(db, t.tabla);
    return EnTransaccion(db, error, [&] {
        QSqlQuery borrar(db);
        if (!borrar.exec(QStringLiteral("DELETE FROM ") + tabla))
            return Fallo(borrar.lastError(), error);
        for (const Producto& p : productos) {
            if (!Insertar(db, tabla, p, error)) return false;
        }
        return true;
    });
}

bool Guarda_Opciones(const TablaDatos& t, const OpcionesCampos& o, QString* error) {
    QSqlDatabase db = Base(t, error);
    if (!db.isValid()) return false;
    const QString tabla = NombreSql(db, t.tabla);
    QList<QVariant> claves;
    {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT Codigo FROM %1 ORDER BY Codigo ASC").arg(tabla)))
            return Fallo(q.lastError(), error);
        while (q.next() && claves.size() < CantidadGrupos) claves.append(q.value(0));
    }
    return EnTransaccion(db, error, [&] {
        for (int k = 0; k < claves.size(); ++k) {
            QSqlQuery q(db);
            q.prepare(QStringLiteral("UPDATE %1 SET Nombre = ?, Letra = ?, Alfa = ?, Texto = ?, "
                                     "Cuit = ? WHERE Codigo = ?")
                          .arg(tabla));
            q.addBindValue(o.Nombre[k].left(LargoNombreGrupo));
            q.addBindValue(o.Letra[k].left(1));
            q.addBindValue(int(o.Alfa[k]));
            q.addBindValue(int(o.Texto[k]));
            q.addBindValue(int(o.Cuit[k]));
            q.addBindValue(claves[k]);
            if (!q.exec()) return Fallo(q.lastError(), error);
        }
        return true;
    });
}

OpcionesCampos Llena_Opciones(const TablaDatos& t) {
    return Llena_Opciones(t.conexion, t.tabla);
}
