#include "tests/weighings/Auxiliares.h"

#include <zip.h>

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <cstring>
#include <pugixml.hpp>

namespace aux {

namespace {

const QString kNombre = QStringLiteral("prueba_pesadas_aux");

template <typename F>
auto ConBase(F&& f) {
    auto resultado = [&] {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kNombre);
        db.setDatabaseName(QDir::current().filePath(QStringLiteral("datos.db")));
        db.open();
        auto r = f(db);
        db.close();
        return r;
    }();
    QSqlDatabase::removeDatabase(kNombre);
    return resultado;
}

}  // namespace

bool EjecutarSql(const QStringList& sentencias) {
    return ConBase([&](QSqlDatabase& db) {
        for (const QString& s : sentencias) {
            QSqlQuery q(db);
            if (!q.exec(s)) return false;
        }
        return true;
    });
}

std::vector<QVariantList> Consultar(const QString& sql) {
    return ConBase([&](QSqlDatabase& db) {
        std::vector<QVariantList> filas;
        QSqlQuery q(db);
        if (!q.exec(sql)) return filas;
        while (q.next()) {
            QVariantList fila;
            for (int i = 0; i < q.record().count(); ++i) fila.append(q.value(i));
            filas.push_back(fila);
        }
        return filas;
    });
}

QByteArray Bytes3(quint32 v) {
    QByteArray b;
    b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)).append(char((v >> 16) & 0xFF));
    return b;
}

QByteArray Registro(const QByteArray& fechaHora5, quint32 peso, const QByteArray& campo1_6,
                    const QByteArray& c2, const QByteArray& c3, const QByteArray& c4,
                    const QByteArray& c5) {
    QByteArray r = fechaHora5 + Bytes3(peso) + campo1_6.leftJustified(6, '\0', true);
    for (const QByteArray& c : {c2, c3, c4, c5}) r += c.leftJustified(3, '\0', true);
    return r;
}

std::map<QString, QByteArray> EntradasZip(const QString& ruta) {
    std::map<QString, QByteArray> entradas;
    int error = 0;
    zip_t* z = zip_open(QFile::encodeName(ruta).constData(), ZIP_RDONLY, &error);
    if (!z) return entradas;
    for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i) {
        zip_stat_t st;
        if (zip_stat_index(z, i, 0, &st) != 0) continue;
        zip_file_t* f = zip_fopen_index(z, i, 0);
        if (!f) continue;
        QByteArray datos(qsizetype(st.size), '\0');
        zip_fread(f, datos.data(), st.size);
        zip_fclose(f);
        entradas[QString::fromUtf8(st.name)] = datos;
    }
    zip_discard(z);
    return entradas;
}

bool EscribirZip(const QString& ruta, const std::map<QString, QByteArray>& entradas) {
    int error = 0;
    zip_t* z = zip_open(QFile::encodeName(ruta).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z) return false;
    for (const auto& [nombre, datos] : entradas) {
        zip_source_t* f = zip_source_buffer(z, datos.constData(), datos.size(), 0);
        if (!f || zip_file_add(z, nombre.toUtf8().constData(), f, ZIP_FL_ENC_UTF_8) < 0) {
            if (f) zip_source_free(f);
            zip_discard(z);
            return false;
        }
    }
    return zip_close(z) == 0;
}

std::map<QString, CeldaLeida> LeerHoja(const QString& rutaLibro, const QString& hoja) {
    std::map<QString, CeldaLeida> celdas;
    const auto entradas = EntradasZip(rutaLibro);
    auto doc = [&](const QString& nombre, pugi::xml_document& d) {
        auto it = entradas.find(nombre);
        return it != entradas.end() &&
               d.load_buffer(it->second.constData(), it->second.size(),
                             pugi::parse_default | pugi::parse_ws_pcdata_single);
    };
    pugi::xml_document libro, rels, estilos, datosHoja;
    if (!doc(QStringLiteral("xl/workbook.xml"), libro) ||
        !doc(QStringLiteral("xl/_rels/workbook.xml.rels"), rels) ||
        !doc(QStringLiteral("xl/styles.xml"), estilos)) {
        return celdas;
    }
    QString id;
    for (auto s : libro.document_element().child("sheets").children("sheet")) {
        if (QString::fromUtf8(s.attribute("name").value()) == hoja)
            id = s.attribute("r:id").value();
    }
    QString destino;
    for (auto r : rels.document_element().children("Relationship")) {
        if (id == QString::fromUtf8(r.attribute("Id").value()))
            destino = r.attribute("Target").value();
    }
    if (destino.isEmpty() || !doc(QStringLiteral("xl/") + destino, datosHoja)) return celdas;

    std::map<int, QString> formatos;
    for (auto f : estilos.document_element().child("numFmts").children("numFmt")) {
        formatos[f.attribute("numFmtId").as_int()] =
            QString::fromUtf8(f.attribute("formatCode").value());
    }
    std::vector<int> xfs;
    for (auto x : estilos.document_element().child("cellXfs").children("xf")) {
        xfs.push_back(x.attribute("numFmtId").as_int());
    }
    for (auto fila : datosHoja.document_element().child("sheetData").children("row")) {
        for (auto c : fila.children("c")) {
            CeldaLeida celda;
            celda.existe = true;
            celda.tipo = QString::fromUtf8(c.attribute("t").value());
            celda.valor = celda.tipo == QLatin1String("inlineStr")
                              ? QString::fromUtf8(c.child("is").child("t").text().get())
                              : QString::fromUtf8(c.child("v").text().get());
            const int s = c.attribute("s").as_int(0);
            if (s < int(xfs.size()) && formatos.count(xfs[s])) celda.formato = formatos[xfs[s]];
            celdas[QString::fromUtf8(c.attribute("r").value())] = celda;
        }
    }
    return celdas;
}

}  // namespace aux
