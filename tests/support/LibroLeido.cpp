#include "tests/support/LibroLeido.h"

#include <zip.h>

#include <QFile>
#include <QStringList>
#include <pugixml.hpp>
#include <vector>

static QString Atributo(pugi::xml_node n, const char* nombre) {
    return QString::fromUtf8(n.attribute(nombre).value());
}

// All the runs of a string item.
static QString Texto(pugi::xml_node n) {
    QString t;
    for (const pugi::xpath_node& x : n.select_nodes(".//t"))
        t += QString::fromUtf8(x.node().text().get());
    return t;
}

std::map<QString, QByteArray> EntradasZip(const QString& ruta) {
    std::map<QString, QByteArray> entradas;
    zip_t* z = zip_open(QFile::encodeName(ruta).constData(), ZIP_RDONLY, nullptr);
    for (zip_int64_t i = 0; z && i < zip_get_num_entries(z, 0); ++i) {
        zip_stat_t st;
        zip_file_t* f = zip_stat_index(z, i, 0, &st) == 0 ? zip_fopen_index(z, i, 0) : nullptr;
        if (!f) continue;
        QByteArray datos(qsizetype(st.size), '\0');
        if (zip_fread(f, datos.data(), st.size) == zip_int64_t(st.size))
            entradas[QString::fromUtf8(st.name)] = datos;
        zip_fclose(f);
    }
    if (z) zip_discard(z);
    return entradas;
}

bool EscribirZip(const QString& ruta, const std::map<QString, QByteArray>& entradas) {
    zip_t* z = zip_open(QFile::encodeName(ruta).constData(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
    if (!z) return false;
    for (const auto& [nombre, datos] : entradas) {
        zip_source_t* f = zip_source_buffer(z, datos.constData(), zip_uint64_t(datos.size()), 0);
        if (!f || zip_file_add(z, nombre.toUtf8().constData(), f, ZIP_FL_ENC_UTF_8) < 0) {
            if (f) zip_source_free(f);
            zip_discard(z);
            return false;
        }
    }
    return zip_close(z) == 0;
}

std::map<QString, CeldaLeida> LeerHoja(const QString& rutaLibro, const QString& hoja) {
    const auto entradas = EntradasZip(rutaLibro);
    auto cargar = [&](const QString& nombre, pugi::xml_document& d) {
        auto it = entradas.find(nombre);
        return it != entradas.end() &&
               d.load_buffer(it->second.constData(), size_t(it->second.size()),
                             pugi::parse_default | pugi::parse_ws_pcdata);
    };
    pugi::xml_document libro, rels, estilos, compartidas, datosHoja;
    cargar("xl/styles.xml", estilos);
    cargar("xl/sharedStrings.xml", compartidas);
    QString id, destino;
    if (cargar("xl/workbook.xml", libro) && cargar("xl/_rels/workbook.xml.rels", rels)) {
        for (auto s : libro.document_element().child("sheets").children("sheet"))
            if (Atributo(s, "name") == hoja) id = Atributo(s, "r:id");
        for (auto r : rels.document_element().children("Relationship"))
            if (!id.isEmpty() && Atributo(r, "Id") == id) destino = Atributo(r, "Target");
    }
    destino = destino.startsWith(QLatin1Char('/')) ? destino.mid(1) : "xl/" + destino;
    std::map<QString, CeldaLeida> celdas;
    if (id.isEmpty() || !cargar(destino, datosHoja)) return celdas;

    std::map<int, QString> formatos;
    for (auto f : estilos.document_element().child("numFmts").children("numFmt"))
        formatos[f.attribute("numFmtId").as_int()] = Atributo(f, "formatCode");
    std::vector<int> xfs;
    for (auto x : estilos.document_element().child("cellXfs").children("xf"))
        xfs.push_back(x.attribute("numFmtId").as_int());
    QStringList tabla;
    for (auto si : compartidas.document_element().children("si")) tabla << Texto(si);
    for (auto fila : datosHoja.document_element().child("sheetData").children("row")) {
        for (auto c : fila.children("c")) {
            CeldaLeida& celda = celdas[Atributo(c, "r")];
            celda = {true, Atributo(c, "t"), QString::fromUtf8(c.child("v").text().get()), {}};
            if (celda.tipo == u"inlineStr") celda.valor = Texto(c.child("is"));
            if (celda.tipo == u"s") celda.valor = tabla.value(celda.valor.toInt());
            const int s = c.attribute("s").as_int(0);
            if (s < int(xfs.size()) && formatos.count(xfs[size_t(s)]))
                celda.formato = formatos[xfs[size_t(s)]];
        }
    }
    return celdas;
}
