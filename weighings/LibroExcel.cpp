#include "weighings/LibroExcel.h"

#include <zip.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryFile>
#include <QTime>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <pugixml.hpp>

#include "settings/ArchivoIni.h"
#include "weighings/ArchivoPlano.h"

namespace {

[[noreturn]] void Fallar(const QString& texto) {
    throw ErrorAlmacenamiento(texto, false);
}

// ---- zip archive ----------------------------------------------------------------------------

class Zip {
  public:
    Zip(const QString& ruta, int modo) : ruta_(ruta) {
        int error = 0;
        z_ = zip_open(QFile::encodeName(ruta).constData(), modo, &error);
        if (!z_) {
            zip_error_t e;
            zip_error_init_with_code(&e, error);
            const QString texto = QString::fromUtf8(zip_error_strerror(&e));
            zip_error_fini(&e);
            Fallar(ruta + QStringLiteral(": ") + texto);
        }
    }
    ~Zip() {
        if (z_) zip_discard(z_);
    }
    Zip(const Zip&) = delete;
    Zip& operator=(const Zip&) = delete;

    bool existe(const QString& nombre) const {
        return zip_name_locate(z_, nombre.toUtf8().constData(), 0) >= 0;
    }

    QByteArray leer(const QString& nombre) const {
        zip_stat_t st;
        zip_stat_init(&st);
        const QByteArray n = nombre.toUtf8();
        if (zip_stat(z_, n.constData(), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) {
            Fallar(ruta_ + QStringLiteral(": falta ") + nombre);
        }
        zip_file_t* f = zip_fopen(z_, n.constData(), 0);
        if (!f) Fallar(ruta_ + QStringLiteral(": no se puede leer ") + nombre);
        QByteArray datos(static_cast<qsizetype>(st.size), Qt::Uninitialized);
        const zip_int64_t leidos = zip_fread(f, datos.data(), st.size);
        zip_fclose(f);
        if (leidos != static_cast<zip_int64_t>(st.size)) {
            Fallar(ruta_ + QStringLiteral(": no se puede leer ") + nombre);
        }
        return datos;
    }

    // Entries to put in place of the old ones; the data must live until guardar().
    void reemplazar(const QString& nombre, const QByteArray& datos) {
        zip_source_t* fuente = zip_source_buffer(z_, datos.constData(), datos.size(), 0);
        const zip_int64_t indice = fuente ? zip_file_add(z_, nombre.toUtf8().constData(), fuente,
                                                         ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8)
                                          : -1;
        if (indice < 0) {
            if (fuente) zip_source_free(fuente);
            Fallar(ruta_ + QStringLiteral(": ") + QString::fromUtf8(zip_strerror(z_)));
        }
        // The sheet is repetitive XML: the fastest level already shrinks it well.
        zip_set_file_compression(z_, zip_uint64_t(indice), ZIP_CM_DEFLATE, 1);
    }

    void borrar(const QString& nombre) {
        const zip_int64_t i = zip_name_locate(z_, nombre.toUtf8().constData(), 0);
        if (i >= 0 && zip_delete(z_, zip_uint64_t(i)) != 0) {
            Fallar(ruta_ + QStringLiteral(": ") + QString::fromUtf8(zip_strerror(z_)));
        }
    }

    void guardar() {
        if (zip_close(z_) != 0) {
            const QString texto = QString::fromUtf8(zip_strerror(z_));
            Fallar(ruta_ + QStringLiteral(": ") + texto);
        }
        z_ = nullptr;
    }

  private:
    QString ruta_;
    zip_t* z_ = nullptr;
};

// ---- XML helpers ----------------------------------------------------------------------------

constexpr unsigned kOpcionesXml =
    pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single;

struct EscritorBytes : pugi::xml_writer {
    QByteArray datos;
    void write(const void* d, size_t n) override {
        datos.append(static_cast<const char*>(d), static_cast<qsizetype>(n));
    }
};

QByteArray Serializar(const pugi::xml_document& doc) {
    EscritorBytes w;
    doc.save(w, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    if (!doc.first_child() || doc.first_child().type() != pugi::node_declaration) {
        w.datos.prepend("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n");
    }
    return w.datos;
}

void Cargar(pugi::xml_document& doc, const QByteArray& datos, const QString& nombre) {
    if (!doc.load_buffer(datos.constData(), datos.size(), kOpcionesXml, pugi::encoding_utf8)) {
        Fallar(nombre + QStringLiteral(": XML inválido"));
    }
}

// Name without its namespace prefix.
bool EsNombre(const pugi::xml_node& n, const char* local) {
    const char* nombre = n.name();
    const char* dos = std::strchr(nombre, ':');
    return std::strcmp(dos ? dos + 1 : nombre, local) == 0;
}

pugi::xml_node Hijo(const pugi::xml_node& padre, const char* local) {
    for (pugi::xml_node n : padre.children()) {
        if (n.type() == pugi::node_element && EsNombre(n, local)) return n;
    }
    return {};
}

// Attribute "id" of the relationships namespace (r:id, whatever the prefix).
QString AtributoRelacion(const pugi::xml_node& n) {
    for (pugi::xml_attribute a : n.attributes()) {
        const char* nombre = a.name();
        const char* dos = std::strchr(nombre, ':');
        if (dos && std::strcmp(dos + 1, "id") == 0) return QString::fromUtf8(a.value());
    }
    return {};
}

// Text as the spreadsheet stores it: control characters, which XML cannot carry, become _xHHHH_,
// and an underscore that would read as such an escape is escaped itself.
bool PareceEscape(const QString& t, int i) {
    if (i + 6 >= t.size() || t.at(i + 1) != u'x' || t.at(i + 6) != u'_') return false;
    for (int k = 2; k <= 5; ++k) {
        const QChar h = t.at(i + k).toLower();
        if (!h.isDigit() && (h < u'a' || h > u'f')) return false;
    }
    return true;
}

QString TextoCelda(const QString& t) {
    QString r;
    r.reserve(t.size());
    for (int i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        const bool control = c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r';
        if (control || (c == u'_' && PareceEscape(t, i))) {
            r += QStringLiteral("_x") +
                 QStringLiteral("%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper() + u'_';
        } else {
            r += c;
        }
    }
    return r;
}

QString LetrasColumna(int col) {
    QString s;
    while (col > 0) {
        const int resto = (col - 1) % 26;
        s.prepend(QChar(u'A' + resto));
        col = (col - 1) / 26;
    }
    return s;
}

// Row and column of a reference such as "H12"; {0, 0} when it is not one.
std::pair<int, int> LeerReferencia(const char* ref) {
    int col = 0, fila = 0;
    const char* p = ref;
    while (*p >= 'A' && *p <= 'Z') col = col * 26 + (*p++ - 'A' + 1);
    while (*p >= '0' && *p <= '9') fila = fila * 10 + (*p++ - '0');
    if (*p != 0) return {0, 0};
    return {fila, col};
}

// ---- workbook being edited ------------------------------------------------------------------

const QString kLibro = QStringLiteral("xl/workbook.xml");
const QString kRelaciones = QStringLiteral("xl/_rels/workbook.xml.rels");
const QString kTipos = QStringLiteral("[Content_Types].xml");

class EdicionLibro {
  public:
    EdicionLibro(const QString& ruta, const QString& nombreHoja) : ruta_(ruta) {
        Zip zip(ruta, ZIP_RDONLY);
        Cargar(docLibro_, zip.leer(kLibro), kLibro);
        Cargar(docRelaciones_, zip.leer(kRelaciones), kRelaciones);

        QString idHoja;
        for (pugi::xml_node h : Hijo(docLibro_.document_element(), "sheets").children()) {
            if (EsNombre(h, "sheet") &&
                QString::fromUtf8(h.attribute("name").value()) == nombreHoja) {
                idHoja = AtributoRelacion(h);
                break;
            }
        }
        if (idHoja.isEmpty()) Fallar(ruta + QStringLiteral(": falta la hoja ") + nombreHoja);
        for (pugi::xml_node r : docRelaciones_.document_element().children()) {
            const QString id = QString::fromUtf8(r.attribute("Id").value());
            const QString tipo = QString::fromUtf8(r.attribute("Type").value());
            const QString destino = Resolver(QString::fromUtf8(r.attribute("Target").value()));
            if (id == idHoja) hoja_ = destino;
            if (tipo.endsWith(QLatin1String("/styles"))) estilos_ = destino;
            if (tipo.endsWith(QLatin1String("/calcChain"))) {
                cadenaCalculo_ = destino;
                relacionCadena_ = r;
            }
        }
        if (hoja_.isEmpty() || estilos_.isEmpty()) {
            Fallar(ruta + QStringLiteral(": libro incompleto (hoja o estilos)"));
        }
        if (!cadenaCalculo_.isEmpty()) Cargar(docTipos_, zip.leer(kTipos), kTipos);
        Cargar(docHoja_, zip.leer(hoja_), hoja_);
        Cargar(docEstilos_, zip.leer(estilos_), estilos_);

        datosHoja_ = Hijo(docHoja_.document_element(), "sheetData");
        if (!datosHoja_) Fallar(ruta + QStringLiteral(": hoja sin sheetData"));
        int siguiente = 1;
        for (pugi::xml_node f : datosHoja_.children()) {
            if (!EsNombre(f, "row")) continue;
            const int r = f.attribute("r").as_int(siguiente);
            filas_[r] = f;
            siguiente = r + 1;
        }
    }

    void numero(int fila, int col, double v, int estilo = -1) {
        pugi::xml_node c = Celda(fila, col, estilo);
        const QByteArray texto = QString::number(v, 'g', QLocale::FloatingPointShortest).toLatin1();
        c.append_child("v").text().set(texto.constData());
    }

    void texto(int fila, int col, const QString& t) {
        pugi::xml_node c = Celda(fila, col, -1);
        c.append_attribute("t") = "inlineStr";
        pugi::xml_node nodoT = c.append_child("is").append_child("t");
        const QString valor = TextoCelda(t);
        if (valor != valor.trimmed()) nodoT.append_attribute("xml:space") = "preserve";
        nodoT.text().set(valor.toUtf8().constData());
    }

    // Style of the cell now (or 0) with the number format given.
    int estiloConFormato(int fila, int col, const QString& formato) {
        int base = 0;
        if (auto f = filas_.find(fila); f != filas_.end()) {
            for (pugi::xml_node c : f->second.children()) {
                if (LeerReferencia(c.attribute("r").value()).second == col) {
                    base = c.attribute("s").as_int(0);
                    break;
                }
            }
        }
        const int idFormato = IdFormato(formato);
        const auto clave = std::make_pair(base, idFormato);
        if (auto e = derivados_.find(clave); e != derivados_.end()) return e->second;

        pugi::xml_node raiz = docEstilos_.document_element();
        pugi::xml_node xfs = Hijo(raiz, "cellXfs");
        if (!xfs) xfs = raiz.insert_child_after("cellXfs", Hijo(raiz, "cellStyleXfs"));
        std::vector<pugi::xml_node> lista;
        for (pugi::xml_node x : xfs.children()) {
            if (EsNombre(x, "xf")) lista.push_back(x);
        }
        if (lista.empty()) {
            pugi::xml_node x = xfs.append_child("xf");
            for (const char* a : {"numFmtId", "fontId", "fillId", "borderId", "xfId"}) {
                x.append_attribute(a) = 0;
            }
            lista.push_back(x);
        }
        pugi::xml_node nuevo =
            xfs.append_copy(lista[base >= 0 && base < int(lista.size()) ? base : 0]);
        nuevo.remove_attribute("numFmtId");
        nuevo.prepend_attribute("numFmtId") = idFormato;
        nuevo.remove_attribute("applyNumberFormat");
        nuevo.append_attribute("applyNumberFormat") = 1;
        const int indice = int(lista.size());
        xfs.remove_attribute("count");
        xfs.prepend_attribute("count") = indice + 1;
        derivados_[clave] = indice;
        return indice;
    }

    void guardar() {
        ActualizarDimension();
        // Formulas of the template that use the cells written here must show fresh values.
        pugi::xml_node libro = docLibro_.document_element();
        pugi::xml_node calculo = Hijo(libro, "calcPr");
        if (!calculo) {
            pugi::xml_node antes;
            for (const char* n :
                 {"sheets", "functionGroups", "externalReferences", "definedNames"}) {
                if (pugi::xml_node x = Hijo(libro, n)) antes = x;
            }
            calculo =
                antes ? libro.insert_child_after("calcPr", antes) : libro.append_child("calcPr");
        }
        calculo.remove_attribute("fullCalcOnLoad");
        calculo.append_attribute("fullCalcOnLoad") = 1;
        // The calculation chain lists formula cells and may name cells overwritten here; the
        // spreadsheet rebuilds it when it is missing.
        if (!cadenaCalculo_.isEmpty()) {
            docRelaciones_.document_element().remove_child(relacionCadena_);
            const QByteArray parte = (u'/' + cadenaCalculo_).toUtf8();
            for (pugi::xml_node o : docTipos_.document_element().children()) {
                if (EsNombre(o, "Override") && parte == o.attribute("PartName").value()) {
                    docTipos_.document_element().remove_child(o);
                    break;
                }
            }
        }
        const QByteArray hoja = Serializar(docHoja_);
        const QByteArray estilos = Serializar(docEstilos_);
        const QByteArray datosLibro = Serializar(docLibro_);
        const QByteArray relaciones = Serializar(docRelaciones_);
        const QByteArray tipos = cadenaCalculo_.isEmpty() ? QByteArray() : Serializar(docTipos_);
        Zip zip(ruta_, 0);
        zip.reemplazar(hoja_, hoja);
        zip.reemplazar(estilos_, estilos);
        zip.reemplazar(kLibro, datosLibro);
        if (!cadenaCalculo_.isEmpty()) {
            zip.borrar(cadenaCalculo_);
            zip.reemplazar(kRelaciones, relaciones);
            zip.reemplazar(kTipos, tipos);
        }
        zip.guardar();
    }

  private:
    static QString Resolver(const QString& destino) {
        if (destino.startsWith(u'/')) return destino.mid(1);
        return QDir::cleanPath(QStringLiteral("xl/") + destino);
    }

    pugi::xml_node Celda(int fila, int col, int estilo) {
        pugi::xml_node nodoFila = Fila(fila);
        const QByteArray ref = (LetrasColumna(col) + QString::number(fila)).toLatin1();
        pugi::xml_node antes;
        pugi::xml_node c;
        int anterior = 0;
        for (pugi::xml_node x : nodoFila.children()) {
            if (!EsNombre(x, "c")) continue;
            int cx = LeerReferencia(x.attribute("r").value()).second;
            if (cx == 0) cx = anterior + 1;
            anterior = cx;
            if (cx == col) {
                c = x;
                break;
            }
            if (cx > col) {
                antes = x;
                break;
            }
        }
        if (c) {
            // Keep the cell's style, drop its old value (and any formula).
            const int s = c.attribute("s").as_int(-1);
            while (c.first_child()) c.remove_child(c.first_child());
            while (c.first_attribute()) c.remove_attribute(c.first_attribute());
            c.append_attribute("r") = ref.constData();
            if (s >= 0) c.append_attribute("s") = s;
        } else {
            c = antes ? nodoFila.insert_child_before("c", antes) : nodoFila.append_child("c");
            c.append_attribute("r") = ref.constData();
        }
        if (estilo >= 0) {
            c.remove_attribute("s");
            c.append_attribute("s") = estilo;
        }
        maxFila_ = std::max(maxFila_, fila);
        maxCol_ = std::max(maxCol_, col);
        return c;
    }

    pugi::xml_node Fila(int fila) {
        if (auto f = filas_.find(fila); f != filas_.end()) {
            f->second.remove_attribute("spans");  // a hint only, and it may no longer hold
            return f->second;
        }
        auto despues = filas_.upper_bound(fila);
        pugi::xml_node n = despues != filas_.end()
                               ? datosHoja_.insert_child_before("row", despues->second)
                               : datosHoja_.append_child("row");
        n.append_attribute("r") = fila;
        filas_[fila] = n;
        return n;
    }

    int IdFormato(const QString& formato) {
        pugi::xml_node raiz = docEstilos_.document_element();
        pugi::xml_node formatos = Hijo(raiz, "numFmts");
        if (!formatos) formatos = raiz.prepend_child("numFmts");
        int maximo = 163;  // custom formats start at 164
        int cantidad = 0;
        const QByteArray codigo = formato.toUtf8();
        for (pugi::xml_node f : formatos.children()) {
            if (!EsNombre(f, "numFmt")) continue;
            ++cantidad;
            if (codigo == f.attribute("formatCode").value())
                return f.attribute("numFmtId").as_int();
            maximo = std::max(maximo, f.attribute("numFmtId").as_int());
        }
        pugi::xml_node f = formatos.append_child("numFmt");
        f.append_attribute("numFmtId") = maximo + 1;
        f.append_attribute("formatCode") = codigo.constData();
        formatos.remove_attribute("count");
        formatos.prepend_attribute("count") = cantidad + 1;
        return maximo + 1;
    }

    void ActualizarDimension() {
        pugi::xml_node dim = Hijo(docHoja_.document_element(), "dimension");
        if (!dim || maxFila_ == 0) return;
        const QString ref = QString::fromUtf8(dim.attribute("ref").value());
        const QString fin = ref.section(u':', -1);
        const auto [fila, col] = LeerReferencia(fin.toLatin1().constData());
        const QString nuevo =
            ref.section(u':', 0, 0).isEmpty() ? QStringLiteral("A1") : ref.section(u':', 0, 0);
        const QString hasta =
            LetrasColumna(std::max(col, maxCol_)) + QString::number(std::max(fila, maxFila_));
        dim.attribute("ref").set_value((nuevo + u':' + hasta).toUtf8().constData());
    }

    QString ruta_;
    QString hoja_;
    QString estilos_;
    QString cadenaCalculo_;
    pugi::xml_node relacionCadena_;
    pugi::xml_document docLibro_;
    pugi::xml_document docRelaciones_;
    pugi::xml_document docTipos_;
    pugi::xml_document docHoja_;
    pugi::xml_document docEstilos_;
    pugi::xml_node datosHoja_;
    std::map<int, pugi::xml_node> filas_;
    std::map<std::pair<int, int>, int> derivados_;
    int maxFila_ = 0;
    int maxCol_ = 0;
};

double SerieHora(const QTime& t) {
    return t.msecsSinceStartOfDay() / 86400000.0;
}

}  // namespace

QString FormatoNumeroFecha(const QString& patron) {
    QString r;
    for (int i = 0; i < patron.size(); ++i) {
        const QChar c = patron.at(i);
        const QChar m = c.toLower();
        if (c == u'"') {  // quoted text means the same in both pattern languages
            const int fin = patron.indexOf(u'"', i + 1);
            const QString literal = patron.mid(i, fin < 0 ? patron.size() - i : fin - i + 1);
            r += literal;
            if (fin < 0) r += u'"';
            i = fin < 0 ? patron.size() : fin;
            continue;
        }
        if (c == u'\\' && i + 1 < patron.size()) {
            r += c;
            r += patron.at(++i);
            continue;
        }
        if (m == u'd' || m == u'm' || m == u'y')
            r += m;
        else if (c == u'/' || c == u'-' || c == u'.' || c == u' ' || c == u',' || c == u':')
            r += c;
        else {
            r += u'\\';
            r += c;
        }
    }
    return r;
}

double SerieFecha(const QDate& fecha) {
    return QDate(1899, 12, 30).daysTo(fecha);
}

LibroExcel::LibroExcel(TipoDescarga tipo, QString rutaDestino, QString patronFecha)
    : tipo_(tipo), ruta_(std::move(rutaDestino)), patronFecha_(std::move(patronFecha)) {}

LibroExcel::~LibroExcel() {
    Abortar();
}

void LibroExcel::Abrir(long long lote) {
    lote_ = lote;
    filas_.clear();
    filas_.reserve(CapacidadAuditoria);
    const QString plantilla = RutaEnCarpetaDatos(QString::fromLatin1(NombrePlantilla));
    QFile origen(plantilla);
    if (!origen.open(QIODevice::ReadOnly)) {
        Fallar(QStringLiteral("No se encuentra la plantilla ") + plantilla);
    }
    const QByteArray bytes = origen.readAll();
    // Writing the batch into the template itself would carry its rows into every later batch.
    if (QFileInfo(ruta_).canonicalFilePath() == QFileInfo(plantilla).canonicalFilePath()) {
        Fallar(ruta_ + QStringLiteral(": el libro no puede ser la plantilla"));
    }
    if (sinReemplazo_ && QFileInfo(ruta_).exists()) {
        Fallar(ruta_ + QStringLiteral(": ya existe el libro de otro lote"));
    }
    // The batch is built beside the target and renamed over it once complete: a failed download
    // leaves the last good workbook, and a link planted at the target is replaced, not followed.
    const QFileInfo destino(ruta_);
    QTemporaryFile copia(destino.absolutePath() + QStringLiteral("/.") + destino.fileName() +
                         QStringLiteral(".XXXXXX"));
    copia.setAutoRemove(false);
    if (!copia.open() || copia.write(bytes) != bytes.size() || !copia.flush()) {
        const QString error = copia.errorString();
        if (!copia.fileName().isEmpty()) QFile::remove(copia.fileName());
        Fallar(ruta_ + QStringLiteral(": ") + error);
    }
    temporal_ = copia.fileName();
    copia.close();
    // Check now that the copy is a workbook with the records sheet, not at the end of the batch.
    EdicionLibro prueba(temporal_, QString::fromLatin1(HojaPesadas));
    abierto_ = true;
}

void LibroExcel::Agregar(const Pesada& pesada) {
    filas_.push_back(pesada);
}

void LibroExcel::Cerrar() {
    Preparar();
    Publicar();
}

void LibroExcel::Publicar() {
    if (temporal_.isEmpty()) return;
    if (::rename(QFile::encodeName(temporal_).constData(), QFile::encodeName(ruta_).constData()) !=
        0) {
        const QString error = QString::fromLocal8Bit(std::strerror(errno));
        Abortar();
        Fallar(ruta_ + QStringLiteral(": ") + error);
    }
    temporal_.clear();
}

void LibroExcel::Preparar() {
    if (!abierto_) return;
    abierto_ = false;
    EdicionLibro libro(temporal_, QString::fromLatin1(HojaPesadas));
    const int colCabecera = tipo_ == TipoDescarga::Manual ? 8 : 11;
    const QString formatoFecha = FormatoNumeroFecha(patronFecha_);
    const QString formatoHora =
        tipo_ == TipoDescarga::Manual ? QStringLiteral("h:mm:ss") : QStringLiteral("hh:mm:ss");
    libro.numero(2, colCabecera, SerieFecha(QDate::currentDate()),
                 libro.estiloConFormato(2, colCabecera, formatoFecha));
    libro.numero(3, colCabecera, double(lote_));

    int fila = PrimeraFilaDatos;
    for (const Pesada& p : filas_) {
        const QDate fecha = FechaDePesada(p.Fecha);
        if (fecha.isValid()) {
            libro.numero(fila, 1, SerieFecha(fecha), libro.estiloConFormato(fila, 1, formatoFecha));
        } else {
            libro.texto(fila, 1, p.Fecha);  // not a date: shown as the indicator gave it
        }
        const QTime hora = HoraDePesada(p.Hora);
        if (hora.isValid()) {
            libro.numero(fila, 2, SerieHora(hora), libro.estiloConFormato(fila, 2, formatoHora));
        } else {
            libro.texto(fila, 2, p.Hora);
        }
        libro.numero(fila, 3, p.Peso);
        for (int j = 0; j < 5; ++j) libro.texto(fila, 4 + j, p.Codigo[j]);
        libro.numero(fila, 9, double(p.Secuencia));
        ++fila;
    }
    filas_.clear();
    libro.guardar();
}

void LibroExcel::Abortar() noexcept {
    abierto_ = false;
    filas_.clear();
    if (!temporal_.isEmpty()) QFile::remove(temporal_);
    temporal_.clear();
}

void EscribirTotales(const QString& rutaLibro, const QList<TotalProducto>& pares) {
    EdicionLibro libro(rutaLibro, QString::fromLatin1(HojaTotales));
    int fila = PrimeraFilaDatos;
    for (const TotalProducto& t : pares) {
        if (t.entrada.pesadas == 0) continue;
        libro.numero(fila, 1, t.producto.Grupo);
        libro.numero(fila, 2, double(t.producto.Codigo));
        libro.texto(fila, 3, t.producto.Nombre);
        libro.numero(fila, 4, t.entrada.total);
        libro.numero(fila, 5, t.entrada.pesadas);
        ++fila;
    }
    libro.guardar();
}
