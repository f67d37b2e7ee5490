#include "tests/support/InteraccionGuion.h"

void InteraccionGuion::responder(std::initializer_list<bool> respuestas) {
    for (bool r : respuestas) respuestas_.append(r);
}

void InteraccionGuion::elegir(std::initializer_list<QString> archivos) {
    for (const QString& a : archivos) archivos_.append(a);
}

bool InteraccionGuion::Preguntar(const QString& texto, const QString& titulo, Icono icono, bool) {
    mensajes.append({Mensaje::Pregunta, texto, titulo, icono});
    return respuestas_.isEmpty() ? false : respuestas_.takeFirst();
}

bool InteraccionGuion::Confirmar(const QString& texto, const QString& titulo, Icono icono) {
    mensajes.append({Mensaje::Confirmacion, texto, titulo, icono});
    return respuestas_.isEmpty() ? false : respuestas_.takeFirst();
}

void InteraccionGuion::Avisar(const QString& texto, const QString& titulo, Icono icono) {
    mensajes.append({Mensaje::Aviso, texto, titulo, icono});
}

QString InteraccionGuion::ElegirArchivo(const QString& titulo, const QString&) {
    mensajes.append({Mensaje::Archivo, QString(), titulo, Icono::Ninguno});
    return archivos_.isEmpty() ? QString() : archivos_.takeFirst();
}

QStringList InteraccionGuion::textos() const {
    QStringList t;
    for (const Mensaje& m : mensajes) t.append(m.texto);
    return t;
}
