#include "settings/ArchivoIni.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QSaveFile>

#include "settings/Cp1252.h"

Q_LOGGING_CATEGORY(lcIni, "bascora.settings")

namespace {

QList<QByteArray> LeerLineas(const QString& ruta, bool* ok) {
    QFile archivo(ruta);
    *ok = archivo.open(QIODevice::ReadOnly);
    if (!*ok) return {};
    QList<QByteArray> lineas = archivo.readAll().split('\n');
    if (!lineas.isEmpty() && lineas.last().isEmpty()) lineas.removeLast();
    for (QByteArray& linea : lineas) {
        if (linea.endsWith('\r')) linea.chop(1);
    }
    return lineas;
}

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

// A value that holds a line break would split the line in two; keep it on one line.
QByteArray EnUnaLinea(QByteArray valor) {
    valor.replace('\r', ' ');
    valor.replace('\n', ' ');
    return valor;
}

}  // namespace

std::optional<QByteArray> ArchivoIni::LeerValor(const QString& ruta, const QString& seccion,
                                                const QString& clave) {
    bool ok = false;
    const QList<QByteArray> lineas = LeerLineas(ruta, &ok);
    if (!ok) return std::nullopt;
    const Ubicacion u = Buscar(lineas, seccion, clave);
    if (u.clave < 0) return std::nullopt;
    const QByteArray& linea = lineas[u.clave];
    return linea.mid(linea.indexOf('=') + 1).trimmed();
}

bool ArchivoIni::EscribirValor(const QString& ruta, const QString& seccion, const QString& clave,
                               const QByteArray& valor) {
    return EscribirValores(ruta, seccion, {{clave, valor}});
}

namespace {

void PonerValor(QList<QByteArray>& lineas, const QString& seccion, const QString& clave,
                const QByteArray& valor) {
    const Ubicacion u = Buscar(lineas, seccion, clave);
    const QByteArray valorSeguro = EnUnaLinea(valor);
    if (u.clave >= 0) {
        QByteArray& linea = lineas[u.clave];
        linea = linea.left(linea.indexOf('=')).trimmed() + '=' + valorSeguro;
    } else if (u.seccion >= 0) {
        int despues = u.finSeccion;
        while (despues - 1 > u.seccion && lineas[despues - 1].trimmed().isEmpty()) --despues;
        lineas.insert(despues, AAnsi(clave) + '=' + valorSeguro);
    } else {
        lineas.append('[' + AAnsi(seccion) + ']');
        lineas.append(AAnsi(clave) + '=' + valorSeguro);
    }
}

}  // namespace

bool ArchivoIni::EscribirValores(const QString& ruta, const QString& seccion,
                                 const QList<std::pair<QString, QByteArray>>& valores) {
    bool existe = false;
    QList<QByteArray> lineas = LeerLineas(ruta, &existe);
    if (!existe && QFile::exists(ruta)) {
        qCWarning(lcIni) << "cannot read" << ruta << "- not written";
        return false;
    }
    for (const auto& [clave, valor] : valores) PonerValor(lineas, seccion, clave, valor);

    QSaveFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly)) {
        qCWarning(lcIni) << "cannot write" << ruta << archivo.errorString();
        return false;
    }
    for (const QByteArray& linea : lineas) {
        archivo.write(linea);
        archivo.write("\r\n");
    }
    if (!archivo.commit()) {
        qCWarning(lcIni) << "cannot replace" << ruta << archivo.errorString();
        return false;
    }
    return true;
}

QString RutaEnCarpetaDatos(const QString& nombre) {
    const QDir carpeta = QDir::current();
    const QStringList archivos = carpeta.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& archivo : archivos) {
        if (MismoNombre(archivo, nombre)) return carpeta.filePath(archivo);
    }
    return carpeta.filePath(nombre);
}
