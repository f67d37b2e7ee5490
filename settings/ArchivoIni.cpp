#include "settings/ArchivoIni.h"

#include <QFile>

#include "settings/ContextoCarpeta.h"
#include "settings/Cp1252.h"

namespace ArchivoIni {

namespace {

// Name of a "[Section]" line, or nothing when the line is not a section header.
std::optional<QString> NombreSeccion(const QByteArray& linea) {
    const QByteArray recortada = linea.trimmed();
    if (!recortada.startsWith('[')) return std::nullopt;
    int fin = recortada.indexOf(']');
    if (fin < 0) fin = recortada.size();
    return DesdeAnsi(recortada.mid(1, fin - 1).trimmed());
}

// Key of a "Key=Value" line, or nothing for blank lines, comments and lines without "=".
std::optional<QString> NombreClave(const QByteArray& linea) {
    const QByteArray recortada = linea.trimmed();
    if (recortada.isEmpty() || recortada.startsWith(';')) return std::nullopt;
    const int igual = linea.indexOf('=');
    if (igual < 0) return std::nullopt;
    return DesdeAnsi(linea.left(igual).trimmed());
}

QByteArray ValorDeLinea(const QByteArray& linea) {
    return linea.mid(linea.indexOf('=') + 1).trimmed();
}

bool MismoNombre(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

struct Ubicacion {
    int seccion = -1;     // index of the section header line
    int finSeccion = -1;  // index after the section's last line
    int clave = -1;       // index of the key line
};

Ubicacion Buscar(const QList<QByteArray>& lineas, const QString& seccion, const QString& clave) {
    Ubicacion u;
    for (int i = 0; i < lineas.size(); ++i) {
        const auto nombre = NombreSeccion(lineas[i]);
        if (u.seccion < 0) {
            if (nombre && MismoNombre(*nombre, seccion)) u.seccion = i;
            continue;
        }
        if (nombre) {
            u.finSeccion = i;
            return u;
        }
        if (u.clave < 0) {
            const auto k = NombreClave(lineas[i]);
            if (k && MismoNombre(*k, clave)) u.clave = i;
        }
    }
    if (u.seccion >= 0) u.finSeccion = lineas.size();
    return u;
}

}  // namespace

Perfil Perfil::Analizar(const QByteArray& contenido) {
    Perfil perfil;
    QHash<QString, QByteArray>* actual = nullptr;
    for (const QByteArray& linea : Lineas(contenido)) {
        if (const auto nombre = NombreSeccion(linea)) {
            const QString clave = nombre->toCaseFolded();
            // A later section of the same name is never looked at.
            actual = perfil.secciones_.contains(clave) ? nullptr : &perfil.secciones_[clave];
            continue;
        }
        if (!actual) continue;
        if (const auto k = NombreClave(linea)) {
            const QString clave = k->toCaseFolded();
            if (!actual->contains(clave)) actual->insert(clave, ValorDeLinea(linea));
        }
    }
    return perfil;
}

std::optional<QByteArray> Perfil::valor(const QString& seccion, const QString& clave) const {
    const auto s = secciones_.constFind(seccion.toCaseFolded());
    if (s == secciones_.cend()) return std::nullopt;
    const auto k = s->constFind(clave.toCaseFolded());
    if (k == s->cend()) return std::nullopt;
    return *k;
}

QList<QByteArray> Lineas(const QByteArray& contenido) {
    QList<QByteArray> lineas = contenido.split('\n');
    if (!lineas.isEmpty() && lineas.last().isEmpty()) lineas.removeLast();
    for (QByteArray& linea : lineas) {
        if (linea.endsWith('\r')) linea.chop(1);
    }
    return lineas;
}

QByteArray Unir(const QList<QByteArray>& lineas) {
    QByteArray contenido;
    for (const QByteArray& linea : lineas) contenido += linea + "\r\n";
    return contenido;
}

void PonerValor(QList<QByteArray>& lineas, const QString& seccion, const QString& clave,
                const QByteArray& valor) {
    const Ubicacion u = Buscar(lineas, seccion, clave);
    if (u.clave >= 0) {
        QByteArray& linea = lineas[u.clave];
        linea = linea.left(linea.indexOf('=')).trimmed() + '=' + valor;
    } else if (u.seccion >= 0) {
        int despues = u.finSeccion;
        while (despues - 1 > u.seccion && lineas[despues - 1].trimmed().isEmpty()) --despues;
        lineas.insert(despues, AAnsi(clave) + '=' + valor);
    } else {
        lineas.append('[' + AAnsi(seccion) + ']');
        lineas.append(AAnsi(clave) + '=' + valor);
    }
}

std::optional<QByteArray> LeerValor(const QString& ruta, const QString& seccion,
                                    const QString& clave) {
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly)) return std::nullopt;
    const QList<QByteArray> lineas = Lineas(archivo.readAll());
    const Ubicacion u = Buscar(lineas, seccion, clave);
    if (u.clave < 0) return std::nullopt;
    return ValorDeLinea(lineas[u.clave]);
}

}  // namespace ArchivoIni

QString RutaEnCarpetaDatos(const QString& nombre) {
    return ContextoCarpeta::actual().ruta(nombre);
}
