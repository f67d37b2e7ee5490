#include "products/ListadoPLU.h"

#include <QFile>
#include <QFileInfo>

#include "settings/Cp1252.h"
#include "settings/Idioma.h"

namespace {

const QString kRegla(80, QLatin1Char('-'));

// Pieces placed one after the other as a line printer does: a piece whose column lies left of
// the current position starts a new line.
class Renglones {
  public:
    void Pieza(int columna, const QString& texto, bool negrita = false) {
        if (!abierta_ || columna < posicion_) {
            lineas_.append(LineaListado{});
            posicion_ = 1;
            abierta_ = true;
        }
        lineas_.last().append({columna, texto, negrita});
        posicion_ = columna + int(texto.size());
    }
    void Fin() { abierta_ = false; }
    void Vacia() {
        lineas_.append(LineaListado{});
        abierta_ = false;
    }
    QList<LineaListado> lineas_;

  private:
    int posicion_ = 1;
    bool abierta_ = false;
};

QList<LineaListado> Encabezado(const QString& nombreGrupo, const QString& fecha,
                               const QString& hora) {
    Renglones r;
    r.Pieza(1, kRegla);
    r.Fin();
    r.Pieza(20, Frase({T("010052", "Listado de Codigos del grupo"), nombreGrupo}));
    r.Fin();
    r.Pieza(1, kRegla);
    r.Fin();
    r.Pieza(3, fecha);
    r.Pieza(71, hora);
    r.Fin();
    r.Vacia();
    r.Pieza(3, T("010053", "Codigo"), true);
    r.Pieza(17, T("010054", "Nombre"), true);
    r.Pieza(35, T("010055", "EAN"), true);
    return r.lineas_;
}

QList<LineaListado> LineasCodigo(const Producto& p) {
    Renglones r;
    r.Pieza(1, QString::number(p.Codigo).rightJustified(8));
    r.Pieza(15, p.Nombre);
    r.Pieza(30, p.EAN.rightJustified(12));
    return r.lineas_;
}

}  // namespace

QString NombreEtiqueta(const QString& nombre) {
    QString n = nombre.trimmed().left(15);
    if (n.size() < 14) {
        n = QString((15 - n.size()) / 2, QLatin1Char(' ')) + n;
        n = n.leftJustified(15, QLatin1Char(' '), true);
    }
    return n;
}

QStringList LineasEtiqueta(const Producto& p) {
    const QString codigo = QStringLiteral("%1").arg(p.Codigo, 6, 10, QLatin1Char('0'));
    return {QStringLiteral("FR\"VELA_CB\""),
            QStringLiteral("?"),
            NombreEtiqueta(p.Nombre),
            codigo,
            codigo,
            QStringLiteral("P1"),
            QString()};
}

bool EscribirEtiquetas(const QString& ruta, const QList<Producto>& productos, QString* error) {
    if (QFileInfo(ruta).isSymLink()) {
        if (error) *error = ruta + QStringLiteral(": symbolic link refused");
        return false;
    }
    if (productos.isEmpty()) return true;
    QByteArray bytes;
    for (const Producto& p : productos) {
        for (const QString& linea : LineasEtiqueta(p)) bytes += AAnsi(linea) + "\r\n";
    }
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly | QIODevice::Append) ||
        archivo.write(bytes) != bytes.size() || !archivo.flush()) {
        if (error) *error = ruta + QStringLiteral(": ") + archivo.errorString();
        return false;
    }
    return true;
}

QList<PaginaListado> PaginasListado(const QString& nombreGrupo, const QList<Producto>& productos,
                                    const QString& fecha, const QString& hora,
                                    int lineasPorPagina) {
    const QList<LineaListado> encabezado = Encabezado(nombreGrupo, fecha, hora);
    QList<PaginaListado> paginas{encabezado};
    const auto agregar = [&](const QList<LineaListado>& bloque) {
        // A code's lines stay together on one page, unless the page holds no code yet.
        if (paginas.last().size() + bloque.size() > lineasPorPagina &&
            paginas.last().size() > encabezado.size())
            paginas.append(encabezado);
        paginas.last().append(bloque);
    };
    for (const Producto& p : productos) agregar(LineasCodigo(p));
    agregar({LineaListado{}, LineaListado{{1, kRegla, false}}, LineaListado{}});
    return paginas;
}

QStringList TextoPagina(const PaginaListado& pagina) {
    QStringList texto;
    for (const LineaListado& linea : pagina) {
        QString t;
        for (const PiezaListado& p : linea) {
            t = t.leftJustified(p.columna - 1, QLatin1Char(' '));
            t += p.texto;
        }
        texto << t;
    }
    return texto;
}
