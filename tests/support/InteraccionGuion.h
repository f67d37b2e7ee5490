#pragma once
// The operator, scripted: answers come from a queue, every message shown is recorded.

#include <QList>
#include <QString>

#include "base/Interaccion.h"

class InteraccionGuion : public Interaccion {
  public:
    struct Mensaje {
        enum Tipo { Pregunta, Confirmacion, Aviso, Archivo } tipo;
        QString texto, titulo;
        Icono icono;
    };

    // Answers for Preguntar/Confirmar, in order. When the queue is empty the answer is No/Cancel.
    void responder(std::initializer_list<bool> r) { respuestas_ << QList<bool>(r); }
    // Answers for ElegirArchivo, in order; "" is a cancelled dialog.
    void elegir(std::initializer_list<QString> a) { archivos_ << QList<QString>(a); }

    bool Preguntar(const QString& texto, const QString& titulo, Icono icono,
                   bool = false) override {
        mensajes.append({Mensaje::Pregunta, texto, titulo, icono});
        return !respuestas_.isEmpty() && respuestas_.takeFirst();
    }
    bool Confirmar(const QString& texto, const QString& titulo, Icono icono) override {
        mensajes.append({Mensaje::Confirmacion, texto, titulo, icono});
        return !respuestas_.isEmpty() && respuestas_.takeFirst();
    }
    void Avisar(const QString& texto, const QString& titulo, Icono icono) override {
        mensajes.append({Mensaje::Aviso, texto, titulo, icono});
    }
    QString ElegirArchivo(const QString& titulo, const QString&) override {
        mensajes.append({Mensaje::Archivo, QString(), titulo, Icono::Ninguno});
        return archivos_.isEmpty() ? QString() : archivos_.takeFirst();
    }

    QList<Mensaje> mensajes;  // everything shown, in order
    // Texts of the messages shown, in order (handy for EXPECT_EQ).
    QStringList textos() const {
        QStringList t;
        for (const Mensaje& m : mensajes) t.append(m.texto);
        return t;
    }

  private:
    QList<bool> respuestas_;
    QList<QString> archivos_;
};
