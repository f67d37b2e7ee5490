#include "tests/support/CarpetaTemporal.h"

#include <QFile>

CarpetaTemporal::CarpetaTemporal()
    : anterior_(QDir::currentPath()),
      contextoAnterior_(
          ContextoCarpeta::reemplazar(std::make_shared<ContextoCarpeta>(dir_.path()))) {
    QDir::setCurrent(dir_.path());
}

CarpetaTemporal::~CarpetaTemporal() {
    ContextoCarpeta::reemplazar(contextoAnterior_);
    QDir::setCurrent(anterior_);
}

QString CarpetaTemporal::ruta(const QString& nombre) const {
    return nombre.isEmpty() ? dir_.path() : dir_.filePath(nombre);
}

void CarpetaTemporal::escribir(const QString& nombre, const QByteArray& contenido) const {
    QFile f(ruta(nombre));
    if (f.open(QIODevice::WriteOnly)) f.write(contenido);
}

QByteArray CarpetaTemporal::leer(const QString& nombre) const {
    QFile f(ruta(nombre));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
