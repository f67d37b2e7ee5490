#include "weighings/Plantilla.h"

#include <zip.h>

#include <QFile>
#include <QList>
#include <QRegularExpression>
#include <QStringList>

namespace {

const char kCabeceraXml[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
const char kEspacioHoja[] =
    "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";

// Styles: 0 normal, 1 bold heading with a bottom border, 2 title, 3 bold label aligned right.
const char kEstilos[] =
    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<fonts count=\"3\">"
    "<font><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font>"
    "<font><b/><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font>"
    "<font><b/><sz val=\"14\"/><name val=\"Calibri\"/><family val=\"2\"/></font>"
    "</fonts>"
    "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
    "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
    "<borders count=\"2\"><border><left/><right/><top/><bottom/><diagonal/></border>"
    "<border><left/><right/><top/><bottom style=\"thin\"><color auto=\"1\"/></bottom><diagonal/>"
    "</border></borders>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
    "</cellStyleXfs>"
    "<cellXfs count=\"4\">"
    "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
    "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"1\" xfId=\"0\" applyFont=\"1\" "
    "applyBorder=\"1\" applyAlignment=\"1\"><alignment horizontal=\"center\"/></xf>"
    "<xf numFmtId=\"0\" fontId=\"2\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>"
    "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\" "
    "applyAlignment=\"1\"><alignment horizontal=\"right\"/></xf>"
    "</cellXfs>"
    "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
    "</styleSheet>";

QString Escapar(const QString& t) {
    QString r = t;
    r.replace(u'&', QLatin1String("&amp;")).replace(u'<', QLatin1String("&lt;"));
    return r.replace(u'>', QLatin1String("&gt;"));
}

QString CeldaTexto(const QString& ref, const QString& texto, int estilo) {
    return QStringLiteral("<c r=\"%1\" s=\"%2\" t=\"inlineStr\"><is><t>%3</t></is></c>")
        .arg(ref)
        .arg(estilo)
        .arg(Escapar(texto));
}

struct Celda {
    const char* ref;
    QString texto;
    int estilo;
};

// A sheet with its column widths, a frozen heading and the labelled cells, grouped by row.
QByteArray Hoja(const QString& dimension, const QList<double>& anchos, const QList<Celda>& celdas) {
    QString x = QString::fromLatin1(kCabeceraXml) + QStringLiteral("<worksheet ") +
                QString::fromLatin1(kEspacioHoja) + u'>';
    x += QStringLiteral("<dimension ref=\"%1\"/>").arg(dimension);
    x += QStringLiteral(
        "<sheetViews><sheetView workbookViewId=\"0\"><pane ySplit=\"5\" topLeftCell=\"A6\" "
        "activePane=\"bottomLeft\" state=\"frozen\"/></sheetView></sheetViews>"
        "<sheetFormatPr defaultRowHeight=\"15\"/><cols>");
    for (int i = 0; i < anchos.size(); ++i) {
        x += QStringLiteral("<col min=\"%1\" max=\"%1\" width=\"%2\" customWidth=\"1\"/>")
                 .arg(i + 1)
                 .arg(anchos.at(i));
    }
    x += QStringLiteral("</cols><sheetData>");
    int filaAbierta = 0;
    for (const Celda& c : celdas) {
        const int fila =
            QString::fromLatin1(c.ref).remove(QRegularExpression(QStringLiteral("[A-Z]"))).toInt();
        if (fila != filaAbierta) {
            if (filaAbierta) x += QStringLiteral("</row>");
            x += QStringLiteral("<row r=\"%1\">").arg(fila);
            filaAbierta = fila;
        }
        x += CeldaTexto(QString::fromLatin1(c.ref), c.texto, c.estilo);
    }
    if (filaAbierta) x += QStringLiteral("</row>");
    x += QStringLiteral(
        "</sheetData><pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" "
        "header=\"0.3\" footer=\"0.3\"/><pageSetup orientation=\"landscape\"/></worksheet>");
    return x.toUtf8();
}

QByteArray HojaPesadas() {
    return Hoja(QStringLiteral("A1:K5"), {12, 10, 12, 14, 14, 14, 14, 14, 12, 14, 14},
                {{"A1", QStringLiteral("Pesadas Bascora"), 2},
                 {"G2", QStringLiteral("Fecha:"), 3},
                 {"J2", QStringLiteral("Fecha:"), 3},
                 {"G3", QStringLiteral("Lote:"), 3},
                 {"J3", QStringLiteral("Lote:"), 3},
                 {"A5", QStringLiteral("Fecha"), 1},
                 {"B5", QStringLiteral("Hora"), 1},
                 {"C5", QStringLiteral("Peso"), 1},
                 {"D5", QStringLiteral("Código 1"), 1},
                 {"E5", QStringLiteral("Código 2"), 1},
                 {"F5", QStringLiteral("Código 3"), 1},
                 {"G5", QStringLiteral("Código 4"), 1},
                 {"H5", QStringLiteral("Código 5"), 1},
                 {"I5", QStringLiteral("Secuencia"), 1}});
}

QByteArray HojaTotales() {
    return Hoja(QStringLiteral("A1:E5"), {10, 12, 34, 14, 12},
                {{"A1", QStringLiteral("Totales por producto"), 2},
                 {"A5", QStringLiteral("Grupo"), 1},
                 {"B5", QStringLiteral("Código"), 1},
                 {"C5", QStringLiteral("Nombre"), 1},
                 {"D5", QStringLiteral("Peso total"), 1},
                 {"E5", QStringLiteral("Pesadas"), 1}});
}

QByteArray ConCabecera(const char* xml) {
    return QByteArray(kCabeceraXml) + xml;
}

}  // namespace

bool CrearPlantilla(const QString& ruta) {
    const QList<std::pair<const char*, QByteArray>> partes = {
        {"[Content_Types].xml",
         ConCabecera(
             "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
             "<Default Extension=\"rels\" "
             "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
             "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
             "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/"
             "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
             "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"application/"
             "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
             "<Override PartName=\"/xl/worksheets/sheet2.xml\" ContentType=\"application/"
             "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
             "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/"
             "vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
             "</Types>")},
        {"_rels/.rels",
         ConCabecera(
             "<Relationships "
             "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
             "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
             "2006/relationships/officeDocument\" Target=\"xl/workbook.xml\"/>"
             "</Relationships>")},
        {"xl/workbook.xml", QByteArray(kCabeceraXml) + "<workbook " + kEspacioHoja +
                                "><bookViews><workbookView/></bookViews><sheets>"
                                "<sheet name=\"Pesadas Bascora\" sheetId=\"1\" r:id=\"rId1\"/>"
                                "<sheet name=\"Totales\" sheetId=\"2\" r:id=\"rId2\"/>"
                                "</sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         ConCabecera(
             "<Relationships "
             "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
             "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
             "2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
             "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
             "2006/relationships/worksheet\" Target=\"worksheets/sheet2.xml\"/>"
             "<Relationship Id=\"rId3\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
             "2006/relationships/styles\" Target=\"styles.xml\"/>"
             "</Relationships>")},
        {"xl/styles.xml", ConCabecera(kEstilos)},
        {"xl/worksheets/sheet1.xml", HojaPesadas()},
        {"xl/worksheets/sheet2.xml", HojaTotales()},
    };

    QFile::remove(ruta);
    int error = 0;
    zip_t* z = zip_open(QFile::encodeName(ruta).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z) return false;
    for (const auto& [nombre, datos] : partes) {
        zip_source_t* fuente = zip_source_buffer(z, datos.constData(), datos.size(), 0);
        if (!fuente || zip_file_add(z, nombre, fuente, ZIP_FL_ENC_UTF_8) < 0) {
            if (fuente) zip_source_free(fuente);
            zip_discard(z);
            return false;
        }
    }
    return zip_close(z) == 0;
}
