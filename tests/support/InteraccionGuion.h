#pragma once
// The operator, scripted: answers come from a queue, every message shown is recorded.

#include <QList>
#include <QString>

#include "base/Interaccion.h"

class InteraccionGuion : public Interaccion {
  public:
    struct Mensaje {
        enum Tipo { Pregunta, Confirmacion, Aviso, Archivo } tipo;
        QString texto;
        QString titulo;
        Icono icono;
    };

    // Answers for Preguntar/Confirmar, in order. When the queue is empty the answer is No/Cancel.
    void responder(std::initializer_list<bool> respuestas);
    // Answers for ElegirArchivo, in order; "" is a cancelled dialog.
    void elegir(std::initializer_list<QString> archivos);

    bool Preguntar(const QString& texto, const QString& titulo, Icono icono,
                   bool porDefectoSi = false) override;
    bool Confirmar(const QString& texto, const QString& titulo, Icono icono) override;
    void Avisar(const QString& texto, const QString& titulo, Icono icono) override;
    QString ElegirArchivo(const QString& titulo, const QString& filtro) override;

    QList<Mensaje> mensajes;  // everything shown, in order
    // Texts of the messages shown, in order (handy for EXPECT_EQ).
    QStringList textos() const;

  private:
    QList<bool> respuestas_;
    QList<QString> archivos_;
};
