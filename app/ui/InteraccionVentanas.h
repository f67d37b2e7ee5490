#pragma once
// The operator in the program: message boxes and the file-open dialog over an owner window.

#include <QPointer>
#include <QWidget>

#include "base/Interaccion.h"

class InteraccionVentanas : public Interaccion {
  public:
    explicit InteraccionVentanas(QWidget* propietario = nullptr);

    bool Preguntar(const QString& texto, const QString& titulo, Icono icono,
                   bool porDefectoSi = false) override;
    bool Confirmar(const QString& texto, const QString& titulo, Icono icono) override;
    void Avisar(const QString& texto, const QString& titulo, Icono icono) override;
    QString ElegirArchivo(const QString& titulo, const QString& filtro) override;

  private:
    // The owner may go away before us (it usually owns us); boxes then have no parent.
    QPointer<QWidget> propietario_;
};
