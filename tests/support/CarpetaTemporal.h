#pragma once
// A fresh data folder for one test: made the data folder (ContextoCarpeta) and the current
// directory while the object lives, removed afterwards, and the previous ones restored.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "settings/ContextoCarpeta.h"

class CarpetaTemporal {
  public:
    CarpetaTemporal() { QDir::setCurrent(dir_.path()); }
    ~CarpetaTemporal() {
        ContextoCarpeta::reemplazar(contextoAnterior_);
        QDir::setCurrent(anterior_);
    }
    QString ruta(const QString& nombre = QString()) const {
        return nombre.isEmpty() ? dir_.path() : dir_.filePath(nombre);
    }
    void escribir(const QString& nombre, const QByteArray& contenido) const {
        QFile f(ruta(nombre));
        if (f.open(QIODevice::WriteOnly)) f.write(contenido);
    }
    QByteArray leer(const QString& nombre) const {
        QFile f(ruta(nombre));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

  private:
    QTemporaryDir dir_;
    QString anterior_ = QDir::currentPath();
    std::shared_ptr<ContextoCarpeta> contextoAnterior_ =
        ContextoCarpeta::reemplazar(std::make_shared<ContextoCarpeta>(dir_.path()));
};
