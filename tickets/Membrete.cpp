#include "tickets/Membrete.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "base/Globales.h"
#include "base/Interaccion.h"
#include "data/Conexion.h"
#include "link/Enlace.h"
#include "settings/Idioma.h"

namespace {

// Table names come from the settings: quoted, and folded the way PostgreSQL stored the
// unquoted names the tables were created with.
QString Identificador(const QSqlDatabase& db, const QString& nombre) {
    const bool pg = db.driverName() == u"QPSQL";
    return db.driver()->escapeIdentifier(pg ? nombre.toLower() : nombre, QSqlDriver::TableName);
}

bool Abrir(const TablaDatos& tabla, QSqlDatabase* db, QString* error) {
    *db = ConexionPara(tabla.conexion, error);
    return db->isValid() && db->isOpen();
}

QString ErrorConsulta(const QSqlQuery& q, const TablaDatos& tabla) {
    return QStringLiteral("%1: %2").arg(tabla.tabla, q.lastError().text());
}

// Ids of the rows of a layout table, in their fixed order.
bool IdsFilas(QSqlDatabase& db, const TablaDatos& tabla, QList<QVariant>* ids, QString* error) {
    QSqlQuery q(db);
    if (!q.exec(
            QStringLiteral("SELECT Id FROM %1 ORDER BY Id").arg(Identificador(db, tabla.tabla)))) {
        *error = ErrorConsulta(q, tabla);
        return false;
    }
    while (q.next()) ids->append(q.value(0));
    return true;
}

bool ActualizarTitulo(QSqlDatabase& db, const TablaDatos& tabla, const QVariant& id,
                      const QString& texto, QString* error) {
    QSqlQuery q(db);
    q.prepare(QStringLiteral("UPDATE %1 SET CAPTION = ? WHERE Id = ?")
                  .arg(Identificador(db, tabla.tabla)));
    q.addBindValue(texto);
    q.addBindValue(id);
    if (q.exec()) return true;
    *error = ErrorConsulta(q, tabla);
    return false;
}

QString TituloError() {
    return T("006017", "Error");
}

// Writes the ticket area; a failed write is told with the calling window's texts.
ResultadoEnvio Escribir(Enlace& enlace, Interaccion& op, int direccion, const QByteArray& dato,
                        const QString& textoError, const QString& tituloError) {
    if (EscribirRegistros(enlace, direccion, dato)) return ResultadoEnvio::Enviado;
    op.Avisar(textoError, tituloError, Icono::Error);
    return ResultadoEnvio::Fallo;
}

ResultadoEnvio EscribirMembrete(Enlace& enlace, Interaccion& op, const QByteArray& dato) {
    return Escribir(enlace, op, DirMembrete, dato, T("006020", "Error al cargar el Ticket"),
                    T("006021", "Error"));
}

// Reads a chosen form file; false (told to the operator) when it cannot be read.
bool LeerFormulario(Interaccion& op, const QString& archivo, QByteArray* contenido) {
    if (Tx(archivo, contenido)) return true;
    op.Avisar(T("006029", "No se puede leer el archivo %1.").arg(archivo), TituloError(),
              Icono::Error);
    return false;
}

}  // namespace

TablaDatos TablaModelo(const TablaDatos& tickets, int modelo) {
    return {tickets.conexion, tickets.tabla + QString::number(modelo)};
}

bool LeerFilasTicket(const TablaDatos& tabla, QList<FilaTicket>* filas, QString* error) {
    QSqlDatabase db;
    if (!Abrir(tabla, &db, error)) return false;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(
            QStringLiteral("SELECT ENABLE, FILA, COLUMNA, C_ENABLE, CAPTION FROM %1 ORDER BY Id")
                .arg(Identificador(db, tabla.tabla)))) {
        *error = ErrorConsulta(q, tabla);
        return false;
    }
    filas->clear();
    while (q.next()) {
        filas->append({q.value(0).toBool(), q.value(1).toInt(), q.value(2).toInt(),
                       q.value(3).toBool(), q.value(4).toString()});
    }
    return true;
}

bool LeerDisenoTicket(const TablaDatos& tabla, DisenoTicket* diseno, QString* error) {
    QList<FilaTicket> filas;
    if (!LeerFilasTicket(tabla, &filas, error)) return false;
    if (const QString e = ErrorDiseno(filas, tabla.tabla); !e.isEmpty()) {
        *error = e;
        return false;
    }
    for (int i = 0; i < CampoTicket::Filas; ++i) (*diseno)[i] = filas.at(i);
    return true;
}

bool GuardarDisenoTicket(const TablaDatos& tabla, const DisenoTicket& diseno, QString* error) {
    QSqlDatabase db;
    if (!Abrir(tabla, &db, error)) return false;
    QList<QVariant> ids;
    if (!IdsFilas(db, tabla, &ids, error)) return false;
    if (ids.size() < CampoTicket::Filas) {
        *error = ErrorDiseno(QList<FilaTicket>(ids.size()), tabla.tabla);
        return false;
    }
    db.transaction();
    QSqlQuery q(db);
    q.prepare(
        QStringLiteral("UPDATE %1 SET ENABLE = ?, FILA = ?, COLUMNA = ?, C_ENABLE = ?, CAPTION = ? "
                       "WHERE Id = ?")
            .arg(Identificador(db, tabla.tabla)));
    for (int i = 0; i < CampoTicket::Filas; ++i) {
        const FilaTicket& f = diseno[i];
        q.addBindValue(f.ENABLE ? 1 : 0);
        q.addBindValue(f.FILA);
        q.addBindValue(f.COLUMNA);
        q.addBindValue(f.C_ENABLE ? 1 : 0);
        q.addBindValue(f.CAPTION);
        q.addBindValue(ids.at(i));
        if (!q.exec()) {
            *error = ErrorConsulta(q, tabla);
            db.rollback();
            return false;
        }
    }
    if (db.commit()) return true;
    *error = db.lastError().text();
    return false;
}

bool LeerTitulos(const TablaDatos& tabla, std::array<QString, 2>* titulos, QString* error) {
    QList<FilaTicket> filas;
    if (!LeerFilasTicket(tabla, &filas, error)) return false;
    for (int i = 0; i < 2; ++i)
        (*titulos)[i] = i < filas.size() ? filas.at(i).CAPTION.left(kLargoTitulo) : QString();
    return true;
}

bool GuardarTitulos(const TablaDatos& tabla, const std::array<QString, 2>& titulos,
                    QString* error) {
    QSqlDatabase db;
    if (!Abrir(tabla, &db, error)) return false;
    QList<QVariant> ids;
    if (!IdsFilas(db, tabla, &ids, error)) return false;
    if (ids.size() < 2) {
        *error = ErrorDiseno(QList<FilaTicket>(ids.size()), tabla.tabla);
        return false;
    }
    return ActualizarTitulo(db, tabla, ids.at(0), titulos[0], error) &&
           ActualizarTitulo(db, tabla, ids.at(1), titulos[1], error);
}

bool LeerUltimaPesada(const TablaDatos& reporte, MuestraTicket* m) {
    QString error;
    QSqlDatabase db;
    if (reporte.conexion.isEmpty() || !Abrir(reporte, &db, &error)) return false;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT Numero, Fecha, Hora, Peso, Codigo1, Codigo2, Codigo3, "
                               "Codigo4, Codigo5, Codigo6, Codigo7, Codigo8 FROM %1 "
                               "ORDER BY Lote DESC, Numero DESC LIMIT 1")
                    .arg(Identificador(db, reporte.tabla))) ||
        !q.next())
        return false;
    m->Numero = q.value(0).toLongLong();
    m->Fecha = q.value(1).toString();
    m->Hora = q.value(2).toString();
    m->Bruto = q.value(3).toDouble();
    m->Tara = 0;
    for (int k = 0; k < 8; ++k) m->Codigo[k] = q.value(4 + k).toString();
    return true;
}

bool GuardarMembrete(Interaccion& op, const TablaDatos& tickets, const AjustesMembrete& ajustes,
                     const std::array<QString, 2>& titulos) {
    GuardarAjustesMembrete(ajustes);
    QString error;
    if (GuardarTitulos(TablaModelo(tickets, ajustes.ModTicket), titulos, &error)) return true;
    op.Avisar(error, TituloError(), Icono::Error);
    return false;
}

ResultadoEnvio CargarTicket(Enlace& enlace, Interaccion& op, const TablaDatos& tickets,
                            const AjustesMembrete& ajustes, const std::array<QString, 2>& titulos) {
    if (!op.Preguntar(T("006018", "Desea cargar el Ticket en el indicador?"),
                      T("006019", "Atencion"), Icono::Informacion))
        return ResultadoEnvio::Rechazado;
    if (!GuardarMembrete(op, tickets, ajustes, titulos)) return ResultadoEnvio::Fallo;
    return TransferirTicket(enlace, op, tickets, ajustes);
}

ResultadoEnvio TransferirTicket(Enlace& enlace, Interaccion& op, const TablaDatos& tickets,
                                const AjustesMembrete& ajustes) {
    DisenoTicket diseno;
    QString error;
    if (!LeerDisenoTicket(TablaModelo(tickets, ajustes.ModTicket), &diseno, &error)) {
        op.Avisar(error, TituloError(), Icono::Error);
        return ResultadoEnvio::Fallo;
    }
    return EscribirMembrete(enlace, op, RegistroTicket(diseno, ajustes));
}

bool Tx(const QString& archivo, QByteArray* contenido) {
    contenido->clear();
    const QFileInfo info(archivo);
    if (!info.exists() || info.size() == 0) return true;
    QFile f(archivo);
    if (!f.open(QIODevice::ReadOnly)) return false;
    *contenido = f.readAll();
    return true;
}

ResultadoEnvio CmdFormulario(Enlace& enlace, Interaccion& op) {
    if (!op.Preguntar(T("006022",
                        "Desea enviar un formulario de ticket en lugar del ticket del "
                        "editor?"),
                      T("006023", "Enviar Formulario"), Icono::Informacion))
        return ResultadoEnvio::Rechazado;
    const QString archivo = op.ElegirArchivo(T("006023", "Enviar Formulario"),
                                             T("006024", "Archivos de Texto") + " (*.txt)");
    if (archivo.isEmpty()) return ResultadoEnvio::Rechazado;
    return EnviarFormulario(enlace, op, archivo);
}

ResultadoEnvio EnviarFormulario(Enlace& enlace, Interaccion& op, const QString& archivo) {
    QByteArray contenido;
    if (!LeerFormulario(op, archivo, &contenido)) return ResultadoEnvio::Fallo;
    if (contenido.size() > kMaxFormulario) {
        op.Avisar(T("006025", "La longitud del formulario es mayor a 1024 bytes"),
                  T("006026", "Error"), Icono::Exclamacion);
        return ResultadoEnvio::Fallo;
    }
    return EscribirMembrete(enlace, op, TramaFormulario(contenido));
}

ResultadoEnvio FormularioPrincipal(Enlace& enlace, Interaccion& op) {
    if (!op.Preguntar(T("005034", "Desea enviar un formulario de ticket?"),
                      T("005035", "Enviar Formulario"), Icono::Informacion))
        return ResultadoEnvio::Rechazado;
    const QString archivo = op.ElegirArchivo(T("005035", "Enviar Formulario"),
                                             T("005036", "Archivos de Texto") + " (*.txt)");
    if (archivo.isEmpty()) return ResultadoEnvio::Rechazado;
    return EnviarFormularioCorto(enlace, op, archivo);
}

ResultadoEnvio EnviarFormularioCorto(Enlace& enlace, Interaccion& op, const QString& archivo) {
    QByteArray contenido;
    if (!LeerFormulario(op, archivo, &contenido)) return ResultadoEnvio::Fallo;
    if (contenido.size() > kMaxFormularioCorto) {
        op.Avisar(T("005037", "La longitud del formulario es mayor a 75 bytes"),
                  T("005038", "Error"), Icono::Exclamacion);
        return ResultadoEnvio::Fallo;
    }
    return Escribir(enlace, op, kDirFormularioCorto, TramaFormularioCorto(contenido),
                    T("005039", "Error al cargar el Ticket"), T("005038", "Error"));
}
