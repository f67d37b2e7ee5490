#include "tests/descargas/LibroLeido.h"

#include <zip.h>

#include <QByteArray>
#include <QStringList>
#include <pugixml.hpp>

namespace {

QByteArray Entrada(zip_t* zip, const char* nombre) {
    zip_stat_t st;
    if (zip_stat(zip, nombre, 0, &st) != 0) return {};
    zip_file_t* f = zip_fopen(zip, nombre, 0);
    if (!f) return {};
    QByteArray datos(qsizetype(st.size), '\0');
    const zip_int64_t n = zip_fread(f, datos.data(), st.size);
    zip_fclose(f);
    return n == zip_int64_t(st.size) ? datos : QByteArray();
}

bool Cargar(pugi::xml_document& doc, const QByteArray& datos) {
    return !datos.isEmpty() && doc.load_buffer(datos.constData(), size_t(datos.size()),
                                               pugi::parse_default | pugi::parse_ws_pcdata);
}

QString Texto(pugi::xml_node si) {
    QString t;
    for (const pugi::xpath_node& n : si.select_nodes(".//t"))
        t += QString::fromUtf8(n.node().text().get());
    return t;
}

}  // namespace

std::map<QString, QString> LeerHojaLibro(const QString& ruta, const QString& hoja) {
    std::map<QString, QString> celdas;
    int error = 0;
    zip_t* zip = zip_open(ruta.toLocal8Bit().constData(), ZIP_RDONLY, &error);
    if (!zip) return celdas;
    pugi::xml_document libro, rels, compartidas, datosHoja;
    const bool ok = Cargar(libro, Entrada(zip, "xl/workbook.xml")) &&
                    Cargar(rels, Entrada(zip, "xl/_rels/workbook.xml.rels"));
    Cargar(compartidas, Entrada(zip, "xl/sharedStrings.xml"));
    QString destino;
    if (ok) {
        QString id;
        for (pugi::xml_node s : libro.document_element().child("sheets").children("sheet"))
            if (QString::fromUtf8(s.attribute("name").value()) == hoja)
                id = QString::fromUtf8(s.attribute("r:id").value());
        for (pugi::xml_node r : rels.document_element().children("Relationship"))
            if (QString::fromUtf8(r.attribute("Id").value()) == id)
                destino = QString::fromUtf8(r.attribute("Target").value());
    }
    if (destino.startsWith(QLatin1Char('/')))
        destino = destino.mid(1);
    else if (!destino.isEmpty())
        destino = QStringLiteral("xl/") + destino;
    if (destino.isEmpty() || !Cargar(datosHoja, Entrada(zip, destino.toUtf8().constData()))) {
        zip_close(zip);
        return celdas;
    }
    zip_close(zip);

    QStringList tabla;
    for (pugi::xml_node si : compartidas.document_element().children("si")) tabla << Texto(si);
    for (pugi::xml_node fila : datosHoja.document_element().child("sheetData").children("row")) {
        for (pugi::xml_node c : fila.children("c")) {
            const QString tipo = QString::fromUtf8(c.attribute("t").value());
            QString valor;
            if (tipo == QLatin1String("inlineStr"))
                valor = Texto(c.child("is"));
            else if (tipo == QLatin1String("s"))
                valor = tabla.value(QString::fromUtf8(c.child("v").text().get()).toInt());
            else
                valor = QString::fromUtf8(c.child("v").text().get());
            celdas[QString::fromUtf8(c.attribute("r").value())] = valor;
        }
    }
    return celdas;
}
