#pragma once
// The settings store: single text values in bascora.ini of the data folder (ContextoCarpeta), or,
// with EnBase, in the global variables table. Values are written with a closing "." and read back
// without it.
//
// A write never changes what it is given: a value or name the file cannot hold as it is (a line
// break, a leading blank that reading would drop, more than 253 characters, a character outside
// Windows-1252, a name with "]", "=", a line break or starting with "[" or ";") is refused. A
// write returns false when the value was not stored; the reason goes to `error` (when given), to
// UltimoErrorConfig() and to the log. On any failure bascora.ini stays as it was.

#include <QList>
#include <QString>
#include <optional>
#include <utility>

QString LeerConfig(const QString& Seccion, const QString& Clave, const QString& Defecto,
                   bool Cifrado = false, bool EnBase = false);

bool GuardarConfig(const QString& Seccion, const QString& Clave, const QString& Valor,
                   bool Cifrado = false, bool EnBase = false, QString* error = nullptr);
// Numbers are stored as plain decimal text ("5" is stored as "5.").
bool GuardarConfig(const QString& Seccion, const QString& Clave, long long Valor,
                   bool Cifrado = false, bool EnBase = false, QString* error = nullptr);
inline bool GuardarConfig(const QString& Seccion, const QString& Clave, int Valor,
                          bool Cifrado = false, bool EnBase = false, QString* error = nullptr) {
    return GuardarConfig(Seccion, Clave, static_cast<long long>(Valor), Cifrado, EnBase, error);
}
inline bool GuardarConfig(const QString& Seccion, const QString& Clave, const char* Valor,
                          bool Cifrado = false, bool EnBase = false, QString* error = nullptr) {
    return GuardarConfig(Seccion, Clave, QString::fromUtf8(Valor), Cifrado, EnBase, error);
}

// Several values of one section of bascora.ini in one rewrite of the file (same stored form as
// GuardarConfig, keys written in the order given). All or nothing: one refused value stores none.
bool GuardarConfigSeccion(const QString& Seccion, const QList<std::pair<QString, QString>>& Valores,
                          QString* error = nullptr);

// A counter such as the batch number, in one locked read-modify-write of bascora.ini: writes
// max(stored, minimo) + 1 (a missing or empty value counts as minimo) and returns it once the
// file read back from disk holds it; nothing (and the reason) otherwise.
std::optional<long long> IncrementarConfig(const QString& Seccion, const QString& Clave,
                                           long long minimo, QString* error = nullptr);

// Reason of the last refused or failed write of this thread; empty after a successful one.
QString UltimoErrorConfig();

// Character i of the result has the Windows-1252 code of character i of Texto XOR Mascara.
QString CifrarTexto(const QString& Texto, int Mascara);

// Reads one value of a private-profile file with the store's rules (255-character buffer, closing
// character dropped); Defecto when the file, the key or the value is missing. The message lookup
// uses it too. The parsed file is kept until it changes on disk.
QString LeerValorPerfil(const QString& ruta, const QString& seccion, const QString& clave,
                        const QString& defecto);

// Integer value of a setting text the way the program reads numbers: the leading number of the
// text (blanks skipped, an optional sign, then digits), 0 when there is none.
long long ValorEntero(const QString& texto);
