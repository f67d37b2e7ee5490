#pragma once
// A fresh data folder for one test: made the data folder (ContextoCarpeta) and the current
// directory while the object lives, removed afterwards, and the previous ones restored.

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "settings/ContextoCarpeta.h"

class CarpetaTemporal {
  public:
    CarpetaTemporal();
    ~CarpetaTemporal();
    QString ruta(const QString& nombre = QString()) const;
    void escribir(const QString& nombre, const QByteArray& contenido) const;
    QByteArray leer(const QString& nombre) const;

  private:
    QTemporaryDir dir_;
    QString anterior_;
    std::shared_ptr<ContextoCarpeta> contextoAnterior_;
};
