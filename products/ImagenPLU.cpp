#include "products/ImagenPLU.h"

#include "settings/Cp1252.h"

namespace {

unsigned char Byte(const QByteArray& b, qsizetype i) {
    return i < b.size() ? static_cast<unsigned char>(b.at(i)) : 0;
}

// The text, one zero byte, then blanks, cut to `largo` bytes.
QByteArray CampoTerminado(const QString& texto, int largo) {
    QByteArray b = AAnsi(texto);
    b.append('\0');
    if (b.size() < largo) b.append(QByteArray(largo - b.size(), ' '));
    return b.left(largo);
}

QByteArray CampoRelleno(const QString& texto, int largo) {
    QByteArray b = AAnsi(texto.left(largo));
    if (b.size() < largo) b.append(QByteArray(largo - b.size(), ' '));
    return b;
}

// Bytes up to the first zero byte, trailing blanks removed.
QString TextoLeido(const QByteArray& b, qsizetype desde, int largo) {
    QByteArray t = b.mid(desde, largo);
    if (const qsizetype cero = t.indexOf('\0'); cero >= 0) t.truncate(cero);
    while (t.endsWith(' ')) t.chop(1);
    return DesdeAnsi(t);
}

char PrimerCaracter(const QString& texto) {
    const QByteArray b = AAnsi(texto.left(1));
    return b.isEmpty() ? ' ' : b.at(0);
}

}  // namespace

int GrupoAcotado(int grupo) {
    return qBound(1, grupo, CantidadGrupos);
}

QByteArray CodificarSlot(const Producto& p, bool cuit) {
    QByteArray s;
    s.reserve(LargoSlot);
    const quint32 codigo = quint32(p.Codigo) & MaxCodigo;
    s.append(char(codigo & 0xFF));
    s.append(char((codigo >> 8) & 0xFF));
    s.append(char((codigo >> 16) & 0xFF));
    s.append(char(GrupoAcotado(p.Grupo)));
    if (cuit) {
        s.append(CampoTerminado(p.Nombre, 31));
        s.append(CampoTerminado(p.EAN, 16));
    } else {
        s.append(CampoTerminado(p.Nombre, 47));
    }
    s.append(PrimerCaracter(p.Aux));
    return s;
}

QByteArray ArmarImagen(const QList<Producto>& productos, const std::array<bool, 9>& cuit) {
    QByteArray imagen;
    imagen.reserve(LargoImagen);
    const qsizetype n = qMin<qsizetype>(productos.size(), CapacidadCodigos);
    for (qsizetype i = 0; i < n; ++i) {
        const Producto& p = productos.at(i);
        imagen.append(CodificarSlot(p, cuit[GrupoAcotado(p.Grupo) - 1]));
    }
    imagen.append(QByteArray(LargoImagen - imagen.size(), '\0'));
    return imagen;
}

QList<Producto> LeerImagen(const QByteArray& imagen, const std::array<bool, 9>& cuit) {
    QList<Producto> productos;
    for (int i = 0; i < CapacidadCodigos; ++i) {
        const qsizetype base = qsizetype(i) * LargoSlot;
        const int grupo = Byte(imagen, base + 3);
        if (grupo == 0) continue;
        Producto p;
        p.Codigo = Byte(imagen, base) + 256 * Byte(imagen, base + 1) +
                   65536 * qint64(Byte(imagen, base + 2));
        p.Grupo = grupo;
        // A group byte above 8 cannot be looked up: read it with the normal layout.
        if (grupo <= CantidadGrupos && cuit[grupo - 1]) {
            p.Nombre = TextoLeido(imagen, base + 4, 30);
            p.EAN = TextoLeido(imagen, base + 35, 15);
        } else {
            p.Nombre = TextoLeido(imagen, base + 4, 46);
        }
        const unsigned char aux = Byte(imagen, base + 51);
        if (aux != 0 && aux != ' ') p.Aux = QString(CaracterAnsi(aux));
        productos.append(p);
    }
    return productos;
}

QByteArray LetrasGrupos(const OpcionesCampos& o) {
    QByteArray b;
    for (int k = 0; k < CantidadGrupos; ++k) b.append(PrimerCaracter(o.Letra[k]));
    return b;
}

QByteArray MascarasGrupos(const OpcionesCampos& o) {
    unsigned alfa = 0, texto = 0, cuit = 0;
    for (int k = 0; k < CantidadGrupos; ++k) {
        alfa |= unsigned(o.Alfa[k]) << k;
        texto |= unsigned(o.Texto[k]) << k;
        cuit |= unsigned(o.Cuit[k]) << k;
    }
    const char bytes[] = {char(alfa), char(texto), char(cuit), '\0'};
    return QByteArray(bytes, sizeof bytes);
}

QByteArray NombresGrupos(const OpcionesCampos& o) {
    QByteArray b;
    for (int k = 0; k < CantidadGrupos; ++k) b.append(CampoRelleno(o.Nombre[k], LargoNombreGrupo));
    return b;
}

OpcionesCampos LeerConfiguracion(const QByteArray& letras, const QByteArray& mascaras,
                                 const QByteArray& nombres) {
    OpcionesCampos o;
    for (int k = 0; k < CantidadGrupos; ++k) {
        o.Nombre[k] = TextoLeido(nombres, qsizetype(LargoNombreGrupo) * k, LargoNombreGrupo - 1);
        o.Letra[k] = TextoLeido(letras, k, 1);
        const bool alfa = (Byte(mascaras, 0) >> k) & 1;
        o.Texto[k] = (Byte(mascaras, 1) >> k) & 1;
        o.Alfa[k] = alfa && !o.Texto[k];
        o.Cuit[k] = (Byte(mascaras, 2) >> k) & 1;
    }
    o.filas = CantidadGrupos;
    o.leido = true;
    return o;
}
