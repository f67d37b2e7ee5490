#include "weighings/TablaPesadas.h"

#include <QLoggingCategory>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <QSqlDriver>
#include <QSqlRecord>

#include "base/Globales.h"
#include "data/CDatos.h"
#include "data/Conexion.h"
#include "weighings/ArchivoPlano.h"
#include "weighings/Sumideros.h"

QVariant ValorNumericoInicial(const QString& texto) {
    int i = 0;
    while (i < texto.size() && (texto.at(i) == u' ' || texto.at(i) == u'\t')) ++i;
    const int inicio = i;
    if (i < texto.size() && (texto.at(i) == u'-' || texto.at(i) == u'+')) ++i;
    const int digitos = i;
    while (i < texto.size() && texto.at(i) >= u'0' && texto.at(i) <= u'9') ++i;
    bool entero = true;
    if (i < texto.size() && texto.at(i) == u'.' && i + 1 < texto.size() &&
        texto.at(i + 1) >= u'0' && texto.at(i + 1) <= u'9') {
        entero = false;
        ++i;
        while (i < texto.size() && texto.at(i) >= u'0' && texto.at(i) <= u'9') ++i;
    }
    if (i == digitos) return QVariant(0LL);
    const QString numero = texto.mid(inicio, i - inicio);
    if (entero) {
        bool bien = false;
        const long long v = numero.toLongLong(&bien);
        if (bien) return QVariant(v);
    }
    return QVariant(numero.toDouble());
}

Q_LOGGING_CATEGORY(lcTablaPesadas, "bascora.pesadas.tabla")

namespace {

[[noreturn]] void Fallar(const QSqlError& error) {
    throw ErrorAlmacenamiento(error.text(), EsClaveDuplicada(error));
}

// Runs one statement; raises the engine's error.
void Ejecutar(QSqlDatabase& db, const QString& sql) {
    QSqlQuery q(db);
    if (!q.exec(sql)) Fallar(q.lastError());
}

}  // namespace

TablaPesadas::TablaPesadas() = default;
TablaPesadas::~TablaPesadas() {
    Abortar();
}

void TablaPesadas::Abrir() {
    QString error;
    db_ = ConexionPara(DataCSReporte, &error);
    if (!db_.isOpen()) throw ErrorAlmacenamiento(error, false);
    const QString tabla = NombreTablaSql(db_, DataTbReporte);
    QSqlQuery vacia(db_);
    if (!vacia.exec(QStringLiteral("SELECT * FROM ") + tabla + QStringLiteral(" WHERE 1 = 0"))) {
        throw ErrorAlmacenamiento(QStringLiteral("tabla de pesadas no disponible: ") +
                                      DataTbReporte + QStringLiteral(": ") +
                                      vacia.lastError().text(),
                                  false);
    }
    // Databases made before the column existed store no Secuencia and cannot tell a weighing
    // stored by an earlier download ("bascora-cli preparar" adds it).
    conSecuencia_ = vacia.record().contains(QStringLiteral("Secuencia"));
    // The calendar date the report filters and sorts on; a table without it is left alone.
    conFechaIso_ = vacia.record().contains(QStringLiteral("FechaIso"));
    vacia.finish();

    // One transaction for the batch (a commit per row costs a disk sync each), taken before the
    // highest batch is read so that PCs sharing one table take their batch numbers one at a time:
    // SQLite locks the file for writing at once, PostgreSQL takes an advisory lock until commit.
    if (db_.driverName() == u"QSQLITE") {
        Ejecutar(db_, QStringLiteral("BEGIN IMMEDIATE"));
        transaccion_ = true;
    } else {
        if (!db_.transaction()) Fallar(db_.lastError());
        transaccion_ = true;
        Ejecutar(db_, QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(kCandadoLote));
    }
    QSqlQuery maximo(db_);
    if (!maximo.exec(QStringLiteral("SELECT MAX(Lote) FROM ") + tabla)) Fallar(maximo.lastError());
    loteMaximo_ = maximo.next() ? maximo.value(0).toLongLong() : 0;

    QString campos = QStringLiteral(
        "Lote, Numero, Fecha, Hora, Peso, Codigo1, Codigo2, Codigo3, "
        "Codigo4, Codigo5");
    QString valores = QStringLiteral("?, ?, ?, ?, ?, ?, ?, ?, ?, ?");
    if (conFechaIso_) {
        campos += QStringLiteral(", FechaIso");
        valores += QStringLiteral(", ?");
    }
    if (conSecuencia_) {
        campos += QStringLiteral(", Secuencia");
        valores += QStringLiteral(", ?");
        existe_ = std::make_unique<QSqlQuery>(db_);
        existe_->prepare(QStringLiteral("SELECT 1 FROM ") + tabla +
                         QStringLiteral(" WHERE Secuencia = ? AND Fecha = ? AND Hora = ? AND "
                                        "Peso = ? AND Codigo1 = ? AND Codigo2 = ? AND Codigo3 = ? "
                                        "AND Codigo4 = ? AND Codigo5 = ?"));
    }
    insertar_ = std::make_unique<QSqlQuery>(db_);
    if (!insertar_->prepare(
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(tabla, campos, valores)))
        Fallar(insertar_->lastError());
}

bool TablaPesadas::YaGuardada(const Pesada& p) {
    if (!existe_) return false;
    existe_->bindValue(0, p.Secuencia);
    existe_->bindValue(1, p.Fecha);
    existe_->bindValue(2, p.Hora);
    existe_->bindValue(3, p.Peso);
    for (int j = 0; j < 5; ++j) existe_->bindValue(4 + j, ValorNumericoInicial(p.Codigo[j]));
    if (!existe_->exec()) Fallar(existe_->lastError());
    const bool hay = existe_->next();
    existe_->finish();
    return hay;
}

bool TablaPesadas::Agregar(const Pesada& p) {
    if (YaGuardada(p)) return false;
    insertar_->bindValue(0, p.Lote);
    insertar_->bindValue(1, p.Numero);
    insertar_->bindValue(2, p.Fecha);
    insertar_->bindValue(3, p.Hora);
    insertar_->bindValue(4, p.Peso);
    for (int j = 0; j < 5; ++j) insertar_->bindValue(5 + j, ValorNumericoInicial(p.Codigo[j]));
    int siguiente = 10;
    if (conFechaIso_) {
        const QDate dia = FechaDePesada(p.Fecha);
        insertar_->bindValue(siguiente++,
                             dia.isValid() ? QVariant(dia.toString(Qt::ISODate)) : QVariant());
    }
    if (conSecuencia_) insertar_->bindValue(siguiente, p.Secuencia);
    if (!insertar_->exec()) Fallar(insertar_->lastError());
    return true;
}

bool TablaPesadas::Confirmar() noexcept {
    if (!transaccion_) return true;
    transaccion_ = false;
    if (db_.commit()) return true;
    qCWarning(lcTablaPesadas) << "commit failed:" << db_.lastError().text();
    db_.rollback();
    return false;
}

void TablaPesadas::Soltar() noexcept {
    existe_.reset();
    insertar_.reset();
    db_ = QSqlDatabase();
}

void TablaPesadas::Cerrar() {
    if (!db_.isValid()) return;
    const bool bien = Confirmar();
    Soltar();
    if (!bien)
        throw ErrorAlmacenamiento(QStringLiteral("no se pudieron guardar las pesadas del lote"),
                                  false);
}

void TablaPesadas::Abortar() noexcept {
    if (!db_.isValid()) return;
    if (insertar_) insertar_->finish();
    // A batch is stored whole or not at all: its records are still in the indicator, and rows
    // kept from a failed batch would come back as duplicates with the next download.
    if (transaccion_ && !db_.rollback())
        qCWarning(lcTablaPesadas) << "rollback failed:" << db_.lastError().text();
    transaccion_ = false;
    Soltar();
}
