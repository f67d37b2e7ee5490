#include "weighings/TablaPesadas.h"

#include <QLoggingCategory>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include "base/Globales.h"
#include "data/CDatos.h"
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

bool Ejecutar(const QString& conexion, const char* sql) {
    QSqlQuery q(QSqlDatabase::database(conexion, false));
    return q.exec(QString::fromLatin1(sql));
}

}  // namespace

TablaPesadas::TablaPesadas() = default;
TablaPesadas::~TablaPesadas() {
    Abortar();
}

void TablaPesadas::Abrir() {
    datos_ = std::make_unique<CDatos>();
    try {
        datos_->AbrirBase(DataCSReporte);
        datos_->AbreRegistro(QStringLiteral("SELECT * FROM ") + DataTbReporte +
                             QStringLiteral(" ORDER BY Lote,Numero ASC"));
    } catch (const ErrorBase& e) {
        throw ErrorAlmacenamiento(e.descripcion(), e.esClaveDuplicada());
    }
    // Opening fails silently; find out now rather than at the first row.
    if (!datos_->Registro.Abierto()) {
        throw ErrorAlmacenamiento(
            QStringLiteral("tabla de pesadas no disponible: ") + DataTbReporte, false);
    }
    // One transaction for the batch: a commit per row costs a disk sync each. A savepoint per row
    // keeps the rows before a refused one (an engine may abort the whole transaction otherwise),
    // and the batch is committed also when it stops half way.
    transaccion_ = QSqlDatabase::database(datos_->NombreConexion(), false).transaction();
    if (!transaccion_) qCWarning(lcTablaPesadas) << "no transaction: one commit per row";
}

void TablaPesadas::Agregar(const Pesada& p) {
    const QString conexion = datos_->NombreConexion();
    if (transaccion_ && !Ejecutar(conexion, "SAVEPOINT pesada")) {
        throw ErrorAlmacenamiento(QSqlDatabase::database(conexion, false).lastError().text(),
                                  false);
    }
    RegistroDatos& r = datos_->Registro;
    try {
        r.AddNew();
        r.AsignarCampo(QStringLiteral("Lote"), p.Lote);
        r.AsignarCampo(QStringLiteral("Numero"), p.Numero);
        r.AsignarCampo(QStringLiteral("Fecha"), p.Fecha);
        r.AsignarCampo(QStringLiteral("Hora"), p.Hora);
        r.AsignarCampo(QStringLiteral("Peso"), p.Peso);
        for (int j = 1; j <= 5; ++j) {
            r.AsignarCampo(QStringLiteral("Codigo%1").arg(j),
                           ValorNumericoInicial(p.Codigo[j - 1]));
        }
        // The calendar date the report filters and sorts on; a table without it is left alone.
        if (r.Columnas().contains(QStringLiteral("FechaIso"), Qt::CaseInsensitive)) {
            const QDate dia = FechaDePesada(p.Fecha);
            r.AsignarCampo(QStringLiteral("FechaIso"),
                           dia.isValid() ? QVariant(dia.toString(Qt::ISODate)) : QVariant());
        }
        r.Update();
    } catch (const ErrorBase& e) {
        try {
            r.CancelUpdate();  // the refused row must not be stored by a later Update
        } catch (const ErrorBase&) {
        }
        if (transaccion_) Ejecutar(conexion, "ROLLBACK TO SAVEPOINT pesada");
        throw ErrorAlmacenamiento(e.descripcion(), e.esClaveDuplicada());
    }
    if (transaccion_ && !Ejecutar(conexion, "RELEASE SAVEPOINT pesada")) {
        throw ErrorAlmacenamiento(QSqlDatabase::database(conexion, false).lastError().text(),
                                  false);
    }
}

bool TablaPesadas::Confirmar() noexcept {
    if (!datos_ || !transaccion_) return true;
    transaccion_ = false;
    QSqlDatabase db = QSqlDatabase::database(datos_->NombreConexion(), false);
    if (db.commit()) return true;
    qCWarning(lcTablaPesadas) << "commit failed:" << db.lastError().text();
    db.rollback();
    return false;
}

void TablaPesadas::Cerrar() {
    if (!datos_) return;
    if (!Confirmar()) {
        Abortar();
        throw ErrorAlmacenamiento(QStringLiteral("no se pudieron guardar las pesadas del lote"),
                                  false);
    }
    try {
        datos_->CierraRegistro();
        datos_->CerrarBase();
    } catch (const ErrorBase& e) {
        datos_.reset();
        throw ErrorAlmacenamiento(e.descripcion(), e.esClaveDuplicada());
    }
    datos_.reset();
}

void TablaPesadas::Abortar() noexcept {
    if (!datos_) return;
    try {
        datos_->Registro.CancelUpdate();
    } catch (...) {
    }
    Confirmar();  // the rows stored before the failure stay
    try {
        datos_->CierraRegistro();
    } catch (...) {
    }
    try {
        datos_->CerrarBase();
    } catch (...) {
    }
    datos_.reset();
}
