#pragma once
// The commands of bascora-cli. Each command lives in its own file and registers itself with
// BASCORA_COMANDO; main() finds it by name.

#include <QString>
#include <QStringList>
#include <functional>

struct ComandoCli {
    QString nombre;  // first word of the command line, e.g. "config"
    QString uso;     // one line of usage shown by "bascora-cli ayuda"
    std::function<int(const QStringList& argumentos)> ejecutar;  // exit status
};

bool RegistrarComando(ComandoCli comando);
const QList<ComandoCli>& Comandos();

#define BASCORA_CONCAT2(a, b) a##b
#define BASCORA_CONCAT(a, b) BASCORA_CONCAT2(a, b)
// BASCORA_COMANDO("leer", "leer DIRECCION LONGITUD", funcion);
#define BASCORA_COMANDO(nombre, uso, funcion)                 \
    static const bool BASCORA_CONCAT(registrado_, __LINE__) = \
        RegistrarComando(ComandoCli{QStringLiteral(nombre), QStringLiteral(uso), funcion})
