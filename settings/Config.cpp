#include "settings/Config.h"

#include <QFile>
#include <climits>

#include "settings/ArchivoIni.h"
#include "settings/Cp1252.h"
#include "settings/VariablesGlobales.h"

namespace {

constexpr int kBufferLectura = 255;  // characters, terminating NUL included

const QString kArchivoConfig = QStringLiteral("bascora.ini");

}  // namespace

QString LeerValorPerfil(const QString& ruta, const QString& seccion, const QString& clave,
                        const QString& defecto) {
    if (!QFile::exists(ruta)) return defecto;
    QByteArray valor = ArchivoIni::LeerValor(ruta, seccion, clave).value_or(QByteArray());
    valor.truncate(kBufferLectura - 1);
    if (valor.isEmpty()) return defecto;
    valor.chop(1);  // the closing character every value is written with
    return DesdeAnsi(valor);
}

QString LeerConfig(const QString& Seccion, const QString& Clave, const QString& Defecto,
                   bool Cifrado, bool EnBase) {
    const QString resultado =
        EnBase ? LeerVariableGlobal(Clave, Defecto)
               : LeerValorPerfil(RutaEnCarpetaDatos(kArchivoConfig), Seccion, Clave, Defecto);
    return Cifrado ? CifrarTexto(resultado, 255) : resultado;
}

void GuardarConfig(const QString& Seccion, const QString& Clave, const QString& Valor, bool Cifrado,
                   bool EnBase) {
    const QString texto = Cifrado ? CifrarTexto(Valor, 255) : Valor;
    if (EnBase) {
        GuardarVariableGlobal(Clave, texto);
        return;
    }
    ArchivoIni::EscribirValor(RutaEnCarpetaDatos(kArchivoConfig), Seccion, Clave,
                              AAnsi(texto) + '.');
}

void GuardarConfig(const QString& Seccion, const QString& Clave, long long Valor, bool Cifrado,
                   bool EnBase) {
    GuardarConfig(Seccion, Clave, QString::number(Valor), Cifrado, EnBase);
}

void GuardarConfigSeccion(const QString& Seccion,
                          const QList<std::pair<QString, QString>>& Valores) {
    QList<std::pair<QString, QByteArray>> bytes;
    bytes.reserve(Valores.size());
    for (const auto& [clave, valor] : Valores) bytes.append({clave, AAnsi(valor) + '.'});
    ArchivoIni::EscribirValores(RutaEnCarpetaDatos(kArchivoConfig), Seccion, bytes);
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
