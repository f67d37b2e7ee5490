#include "products/IntercambioCSV.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include "products/TablaProductos.h"
#include "settings/Cp1252.h"
#include "settings/Idioma.h"

namespace {

// Splits one line at `sep` outside double quotes; "" inside quotes is one quote. False when a
// quote is left open.
bool Campos(const QString& linea, QChar sep, QStringList* campos) {
    campos->clear();
    QString actual;
    bool entre = false;
    for (qsizetype i = 0; i < linea.size(); ++i) {
        const QChar c = linea.at(i);
        if (entre) {
            if (c != u'"') {
                actual += c;
            } else if (i + 1 < linea.size() && linea.at(i + 1) == u'"') {
                actual += c;
                ++i;
            } else {
                entre = false;
            }
        } else if (c == u'"') {
            entre = true;
        } else if (c == sep) {
            campos->append(actual);
            actual.clear();
        } else {
            actual += c;
        }
    }
    campos->append(actual);
    return !entre;
}

QString Citado(const QString& campo) {
    if (!campo.contains(u';') && !campo.contains(u',') && !campo.contains(u'"')) return campo;
    return u'"' + QString(campo).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

bool EnAnsi(const QString& texto) {
    for (const QChar c : texto) {
        if (CodigoAnsi(c) < 0) return false;
    }
    return true;
}

QString Linea(int numero, const QString& motivo) {
    return T("010080", "Línea %1:").arg(numero) + QLatin1Char(' ') + motivo;
}

// The refusal of one field, or "".
QString Comprobar(const Producto& p, const QString& codigo, const QString& grupo) {
    bool soloDigitos = !codigo.isEmpty() && codigo.size() <= 8;
    for (const QChar c : codigo) soloDigitos = soloDigitos && c >= u'0' && c <= u'9';
    if (!soloDigitos || codigo.toLongLong() > MaxCodigo)
        return T("010081", "el codigo debe tener solo digitos, hasta 16777215");
    if (p.Grupo < 1 || p.Grupo > CantidadGrupos || grupo.size() != 1)
        return T("010082", "el grupo debe ser de 1 a 8");
    if (p.Nombre.size() > LargoNombre) return T("010083", "el nombre tiene mas de 46 caracteres");
    if (p.EAN.size() > LargoEAN) return T("010084", "el CUIT/EAN tiene mas de 15 caracteres");
    if (p.Aux.size() > 1) return T("010085", "Aux tiene mas de un caracter");
    if (!EnAnsi(p.Nombre) || !EnAnsi(p.EAN) || !EnAnsi(p.Aux))
        return T("010086", "hay caracteres que el indicador no muestra");
    return QString();
}

}  // namespace

LecturaCSV LeerCSV(const QByteArray& contenido) {
    LecturaCSV r;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString texto = utf8.decode(contenido);
    if (utf8.hasError()) {
        r.errores << T("010087", "El archivo no esta en UTF-8.");
        return r;
    }
    if (texto.startsWith(QChar(0xFEFF))) texto.remove(0, 1);
    QStringList lineas = texto.split(QLatin1Char('\n'));
    for (QString& l : lineas) {
        if (l.endsWith(u'\r')) l.chop(1);
    }
    qsizetype cabecera = 0;
    while (cabecera < lineas.size() && lineas[cabecera].trimmed().isEmpty()) ++cabecera;
    if (cabecera == lineas.size()) {
        r.errores << T("010088", "Falta la linea de titulos (Codigo, Grupo, Nombre, EAN, Aux).");
        return r;
    }
    const QString& titulos = lineas.at(cabecera);
    const QChar sep = titulos.count(u';') >= titulos.count(u',') ? QChar(u';') : QChar(u',');
    QStringList nombres;
    Campos(titulos, sep, &nombres);
    const auto columna = [&](const char* n) {
        for (qsizetype i = 0; i < nombres.size(); ++i) {
            if (nombres[i].trimmed().compare(QLatin1String(n), Qt::CaseInsensitive) == 0)
                return int(i);
        }
        return -1;
    };
    const int cCodigo = columna("Codigo"), cGrupo = columna("Grupo"), cNombre = columna("Nombre");
    const int cEAN = columna("EAN"), cAux = columna("Aux");
    if (cCodigo < 0 || cGrupo < 0 || cNombre < 0) {
        r.errores << Linea(int(cabecera) + 1, T("010088",
                                                "Falta la linea de titulos (Codigo, "
                                                "Grupo, Nombre, EAN, Aux)."));
        return r;
    }
    QStringList campos;
    for (qsizetype i = cabecera + 1; i < lineas.size(); ++i) {
        const int numero = int(i) + 1;
        if (lineas[i].trimmed().isEmpty()) continue;
        if (!Campos(lineas[i], sep, &campos) || campos.size() != nombres.size()) {
            r.errores << Linea(numero, T("010089",
                                         "la cantidad de campos no coincide con los "
                                         "titulos"));
            continue;
        }
        const auto campo = [&](int c) { return c < 0 ? QString() : campos[c]; };
        Producto p;
        const QString codigo = campo(cCodigo).trimmed();
        const QString grupo = campo(cGrupo).trimmed();
        p.Codigo = codigo.toLongLong();
        p.Grupo = grupo.toInt();
        p.Nombre = campo(cNombre);
        p.EAN = campo(cEAN);
        p.Aux = campo(cAux);
        if (const QString motivo = Comprobar(p, codigo, grupo); !motivo.isEmpty()) {
            r.errores << Linea(numero, motivo);
            continue;
        }
        r.productos.append(p);
    }
    if (r.errores.isEmpty() && r.productos.size() > CapacidadCodigos)
        r.errores << T("010090", "El archivo tiene %1 codigos; el indicador guarda 250.")
                         .arg(r.productos.size());
    return r;
}

QByteArray EscribirCSV(const QList<Producto>& productos) {
    QByteArray b = "Codigo;Grupo;Nombre;EAN;Aux\r\n";
    for (const Producto& p : productos) {
        b += (QStringList{QString::number(p.Codigo), QString::number(p.Grupo), Citado(p.Nombre),
                          Citado(p.EAN), Citado(p.Aux)}
                  .join(u';') +
              QStringLiteral("\r\n"))
                 .toUtf8();
    }
    return b;
}

ResultadoCSV ImportarCSV(const TablaDatos& plu, const QString& ruta) {
    ResultadoCSV r;
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly)) {
        r.errores << ruta + QStringLiteral(": ") + archivo.errorString();
        return r;
    }
    const LecturaCSV lectura = LeerCSV(archivo.readAll());
    if (!lectura.ok()) {
        r.errores = lectura.errores;
        return r;
    }
    QString motivo;
    if (!ReemplazarProductos(plu, lectura.productos, &motivo)) {
        r.errores << T("010063", "No se pudo guardar en la base de datos:") + QLatin1Char(' ') +
                         motivo;
        return r;
    }
    r.ok = true;
    r.cantidad = int(lectura.productos.size());
    return r;
}

ResultadoCSV ExportarCSV(const TablaDatos& plu, const QString& ruta) {
    ResultadoCSV r;
    QString motivo;
    const auto productos = LeerProductos(plu, 0, OrdenProductos::GrupoCodigo, &motivo);
    if (!productos) {
        r.errores << motivo;
        return r;
    }
    if (QFileInfo(ruta).isSymLink()) {
        r.errores << ruta + QStringLiteral(": symbolic link refused");
        return r;
    }
    QSaveFile archivo(ruta);
    const QByteArray bytes = EscribirCSV(*productos);
    if (!archivo.open(QIODevice::WriteOnly) || archivo.write(bytes) != bytes.size() ||
        !archivo.commit()) {
        r.errores << ruta + QStringLiteral(": ") + archivo.errorString();
        return r;
    }
    r.ok = true;
    r.cantidad = int(productos->size());
    return r;
}
