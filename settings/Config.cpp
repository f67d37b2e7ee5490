#include "settings/Config.h"

#include <algorithm>
#include <climits>

#include "settings/ArchivoIni.h"
#include "settings/ContextoCarpeta.h"
#include "settings/Cp1252.h"
#include "settings/Idioma.h"
#include "settings/VariablesGlobales.h"

namespace {

constexpr int kBufferLectura = 255;               // characters, terminating NUL included
constexpr int kLargoMaximo = kBufferLectura - 2;  // the closing "." takes one more
const QString kArchivoConfig = QStringLiteral("bascora.ini");

thread_local QString tUltimoError;

QString LeerValorEn(const ContextoCarpeta& contexto, const QString& ruta, const QString& seccion,
                    const QString& clave, const QString& defecto) {
    QByteArray valor = contexto.valorPerfil(ruta, seccion, clave).value_or(QByteArray());
    valor.truncate(kBufferLectura - 1);
    if (valor.isEmpty()) return defecto;
    valor.chop(1);  // the closing character every value is written with
    return DesdeAnsi(valor);
}

bool FueraDeWindows1252(const QString& texto) {
    for (QChar c : texto) {
        if (CodigoAnsi(c) < 0) return true;
    }
    return false;
}

// Blanks that reading a line drops from the start of a value.
bool EmpiezaConBlanco(const QByteArray& bytes) {
    return !bytes.isEmpty() && QByteArray(1, bytes.front()).trimmed().isEmpty();
}

// Why a section or key name cannot be written as it is; empty when it can.
QString ProblemaNombre(const QString& nombre) {
    if (nombre.isEmpty()) return T("021001", "El nombre de la sección o de la clave está vacío");
    const QString cual = QStringLiteral(": \"") + nombre + u'"';
    if (FueraDeWindows1252(nombre))
        return T("021004", "El texto tiene caracteres que no existen en Windows-1252") + cual;
    const QByteArray bytes = AAnsi(nombre);
    if (bytes.trimmed() != bytes)
        return T("021002", "El nombre empieza o termina con blancos, que se perderían al leerlo") +
               cual;
    const bool reservado = bytes.startsWith('[') || bytes.startsWith(';') ||
                           std::any_of(bytes.cbegin(), bytes.cend(), [](char c) {
                               return c == ']' || c == '=' || c == '\r' || c == '\n' || c == '\0';
                           });
    if (reservado) {
        return T("021003",
                 "El nombre contiene ], =, un salto de línea o un carácter nulo, o empieza con [ "
                 "o ;") +
               cual;
    }
    return QString();
}

// Why a value cannot be stored as it is (`almacenado`: its bytes on disk, scrambled or not,
// without the closing "."); empty when it can.
QString ProblemaValor(const QString& texto, const QByteArray& almacenado, bool cifrado) {
    if (FueraDeWindows1252(texto))
        return T("021004", "El texto tiene caracteres que no existen en Windows-1252");
    if (almacenado.size() > kLargoMaximo)
        return T("021008", "El valor tiene más de 253 caracteres");
    if (almacenado.contains('\r') || almacenado.contains('\n')) {
        return cifrado
                   ? T("021006", "El valor cifrado tendría un salto de línea (ò u õ en el texto)")
                   : T("021005", "El valor contiene un salto de línea");
    }
    if (almacenado.contains('\0'))
        return T("021009", "El valor contiene un carácter nulo (ÿ en un valor cifrado)");
    if (EmpiezaConBlanco(almacenado))
        return T("021007", "El valor empieza con un blanco que se perdería al leerlo");
    return QString();
}

bool Fallo(QString* motivo, const QString& texto) {
    *motivo = texto;
    return false;
}

// The outcome of a write, for the caller, the thread's last error and the log.
bool Informar(bool guardado, const QString& seccion, const QString& clave, const QString& motivo,
              QString* error) {
    tUltimoError = guardado ? QString() : motivo;
    if (error) *error = tUltimoError;
    if (!guardado) qCWarning(lcAjustes) << "not stored: [" << seccion << "]" << clave << motivo;
    return guardado;
}

bool GuardarEnArchivo(const QString& seccion, const QList<std::pair<QString, QString>>& valores,
                      bool cifrado, QString* motivo) {
    if (const QString p = ProblemaNombre(seccion); !p.isEmpty()) return Fallo(motivo, p);
    QList<std::pair<QString, QByteArray>> lineas;
    for (const auto& [clave, texto] : valores) {
        if (const QString p = ProblemaNombre(clave); !p.isEmpty()) return Fallo(motivo, p);
        const QByteArray almacenado = AAnsi(cifrado ? CifrarTexto(texto, 255) : texto);
        if (const QString p = ProblemaValor(texto, almacenado, cifrado); !p.isEmpty())
            return Fallo(motivo, clave + QStringLiteral(": ") + p);
        lineas.append({clave, almacenado + '.'});
    }
    const auto contexto = ContextoCarpeta::compartido();
    return contexto->modificarConfig(
        [&](QList<QByteArray>& archivo, QString*) {
            for (const auto& [clave, bytes] : lineas)
                ArchivoIni::PonerValor(archivo, seccion, clave, bytes);
            return true;
        },
        motivo);
}

// The table gives no outcome of its own: read the value back.
bool GuardarEnBase(const QString& clave, const QString& texto, QString* motivo) {
    GuardarVariableGlobal(clave, texto);
    if (LeerVariableGlobal(clave, texto + QChar(0xFFFF)) == texto) return true;
    return Fallo(motivo, T("021015", "La tabla de variables globales no guardó el valor"));
}

}  // namespace

QString LeerValorPerfil(const QString& ruta, const QString& seccion, const QString& clave,
                        const QString& defecto) {
    return LeerValorEn(ContextoCarpeta::actual(), ruta, seccion, clave, defecto);
}

QString LeerConfig(const QString& Seccion, const QString& Clave, const QString& Defecto,
                   bool Cifrado, bool EnBase) {
    QString resultado;
    if (EnBase) {
        resultado = LeerVariableGlobal(Clave, Defecto);
    } else {
        const auto contexto = ContextoCarpeta::compartido();
        resultado = LeerValorEn(*contexto, contexto->ruta(kArchivoConfig), Seccion, Clave, Defecto);
    }
    return Cifrado ? CifrarTexto(resultado, 255) : resultado;
}

bool GuardarConfig(const QString& Seccion, const QString& Clave, const QString& Valor, bool Cifrado,
                   bool EnBase, QString* error) {
    QString motivo;
    const bool guardado =
        EnBase ? GuardarEnBase(Clave, Cifrado ? CifrarTexto(Valor, 255) : Valor, &motivo)
               : GuardarEnArchivo(Seccion, {{Clave, Valor}}, Cifrado, &motivo);
    return Informar(guardado, Seccion, Clave, motivo, error);
}

bool GuardarConfig(const QString& Seccion, const QString& Clave, long long Valor, bool Cifrado,
                   bool EnBase, QString* error) {
    return GuardarConfig(Seccion, Clave, QString::number(Valor), Cifrado, EnBase, error);
}

bool GuardarConfigSeccion(const QString& Seccion, const QList<std::pair<QString, QString>>& Valores,
                          QString* error) {
    QString motivo;
    const bool guardado = GuardarEnArchivo(Seccion, Valores, false, &motivo);
    return Informar(guardado, Seccion, QString(), motivo, error);
}

std::optional<long long> IncrementarConfig(const QString& Seccion, const QString& Clave,
                                           long long minimo, QString* error) {
    QString motivo;
    std::optional<long long> nuevo;
    auto incrementar = [&](QList<QByteArray>& lineas, QString* problema) {
        const auto perfil = ArchivoIni::Perfil::Analizar(ArchivoIni::Unir(lineas));
        QByteArray guardado = perfil.valor(Seccion, Clave).value_or(QByteArray());
        guardado.truncate(kBufferLectura - 1);
        long long base = minimo;
        if (!guardado.isEmpty())
            base = std::max(ValorEntero(DesdeAnsi(guardado.chopped(1))), minimo);
        if (base == LLONG_MAX) return Fallo(problema, T("021016", "El contador llegó a su máximo"));
        ArchivoIni::PonerValor(lineas, Seccion, Clave, QByteArray::number(base + 1) + '.');
        nuevo = base + 1;
        return true;
    };
    QString p = ProblemaNombre(Seccion);
    if (p.isEmpty()) p = ProblemaNombre(Clave);
    const bool guardado = p.isEmpty()
                              ? ContextoCarpeta::compartido()->modificarConfig(incrementar, &motivo)
                              : Fallo(&motivo, p);
    if (!Informar(guardado, Seccion, Clave, motivo, error)) return std::nullopt;
    return nuevo;
}

QString UltimoErrorConfig() {
    return tUltimoError;
}

QString CifrarTexto(const QString& Texto, int Mascara) {
    QByteArray bytes = AAnsi(Texto);
    for (char& b : bytes) b = char(static_cast<unsigned char>(b) ^ (Mascara & 0xFF));
    return DesdeAnsi(bytes);
}

long long ValorEntero(const QString& texto) {
    const QString t = texto.trimmed();
    int i = 0;
    bool negativo = false;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) negativo = t[i++] == u'-';
    long long valor = 0;
    for (; i < t.size() && t[i].isDigit() && t[i].unicode() < 128; ++i) {
        if (valor > (LLONG_MAX - 9) / 10) break;  // absurdly long numbers stop growing
        valor = valor * 10 + (t[i].unicode() - u'0');
    }
    return negativo ? -valor : valor;
}
