// Every text id the code uses must be in the shipped English language file, and one id must always
// carry the same Spanish wording (a language file can hold only one translation per id).
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>

#include "settings/Cp1252.h"

namespace {

struct Uso {
    QString defecto;
    QString lugar;  // file:line, for the failure message
};

// Ids shared on purpose by two windows for the same wording.
const QSet<QString> kReusosDeliberados = {
    QStringLiteral("005035"),  // "Enviar Formulario": main window and options dialog
    QStringLiteral("008015"),  // "Error": weighing download window and options dialog
};

const QStringList kCarpetas = {"app",     "settings", "link",    "data", "weighings", "products",
                               "tickets", "weight",   "reports", "cli",  "main"};

class Lector {
  public:
    explicit Lector(const QString& texto) : t_(texto) {}

    void SaltarBlancos() {
        for (;;) {
            while (i_ < t_.size() && t_.at(i_).isSpace()) ++i_;
            if (t_.mid(i_, 2) == QLatin1String("//")) {
                while (i_ < t_.size() && t_.at(i_) != QLatin1Char('\n')) ++i_;
            } else if (t_.mid(i_, 2) == QLatin1String("/*")) {
                const qsizetype fin = t_.indexOf(QLatin1String("*/"), i_ + 2);
                i_ = fin < 0 ? t_.size() : fin + 2;
            } else {
                return;
            }
        }
    }

    bool Tomar(QLatin1String palabra) {
        SaltarBlancos();
        if (t_.mid(i_, palabra.size()) != palabra) return false;
        i_ += palabra.size();
        return true;
    }

    // One string literal, or several adjacent ones, optionally inside QStringLiteral(...),
    // QString::fromUtf8(...) or u"...". Nothing when the argument is not a literal.
    std::optional<QString> Literal() {
        const qsizetype inicio = i_;
        bool envuelto = false;
        for (const char* envoltura : {"QStringLiteral(", "QString::fromUtf8(", "QString(",
                                      "QLatin1String(", "QString::fromLatin1("}) {
            if (Tomar(QLatin1String(envoltura))) {
                envuelto = true;
                break;
            }
        }
        QString valor;
        bool alguno = false;
        for (;;) {
            SaltarBlancos();
            if (t_.mid(i_, 2) == QLatin1String("u\"")) ++i_;
            if (i_ >= t_.size() || t_.at(i_) != QLatin1Char('"')) break;
            ++i_;
            while (i_ < t_.size() && t_.at(i_) != QLatin1Char('"')) {
                if (t_.at(i_) == QLatin1Char('\\') && i_ + 1 < t_.size()) {
                    const QChar c = t_.at(++i_);
                    valor += c == QLatin1Char('n') ? QChar('\n') : c == 't' ? QChar('\t') : c;
                } else {
                    valor += t_.at(i_);
                }
                ++i_;
            }
            ++i_;
            alguno = true;
        }
        if (!alguno || (envuelto && !Tomar(QLatin1String(")")))) {
            i_ = inicio;
            return std::nullopt;
        }
        return valor;
    }

    qsizetype posicion() const { return i_; }
    void ir(qsizetype i) { i_ = i; }

  private:
    const QString& t_;
    qsizetype i_ = 0;
};

int Linea(const QString& texto, qsizetype posicion) {
    return static_cast<int>(texto.left(posicion).count(QLatin1Char('\n'))) + 1;
}

// Every (id, Spanish text) pair written in one source text: calls TextoIdioma("id", "text") and
// tables that keep the pair side by side ({"mnuFile", "005001", "&Archivo"}).
QList<std::pair<QString, Uso>> Pares(const QString& texto, const QString& archivo) {
    QList<std::pair<QString, Uso>> pares;
    static const QRegularExpression id(QStringLiteral("\"(\\d{6})\""));
    static const QRegularExpression llamada(QStringLiteral("\\bTextoIdioma\\s*\\("));
    Lector lector(texto);
    QSet<qsizetype> vistos;
    // Calls first: they may wrap the id in QStringLiteral.
    for (auto m = llamada.globalMatch(texto); m.hasNext();) {
        const auto coincidencia = m.next();
        lector.ir(coincidencia.capturedEnd());
        const auto clave = lector.Literal();
        if (!clave || !lector.Tomar(QLatin1String(","))) continue;
        const auto defecto = lector.Literal();
        if (!defecto) continue;
        vistos.insert(texto.indexOf(*clave, coincidencia.capturedEnd()));
        pares.append({*clave,
                      {*defecto, archivo + ":" +
                                     QString::number(Linea(texto, coincidencia.capturedStart()))}});
    }
    for (auto m = id.globalMatch(texto); m.hasNext();) {
        const auto coincidencia = m.next();
        if (vistos.contains(coincidencia.capturedStart(1))) continue;
        lector.ir(coincidencia.capturedEnd());
        if (!lector.Tomar(QLatin1String(","))) continue;
        const auto defecto = lector.Literal();
        if (!defecto) continue;
        pares.append({coincidencia.captured(1),
                      {*defecto, archivo + ":" +
                                     QString::number(Linea(texto, coincidencia.capturedStart()))}});
    }
    return pares;
}

QMap<QString, QList<Uso>> UsosEnFuentes() {
    QMap<QString, QList<Uso>> usos;
    const QDir raiz(QStringLiteral(BASCORA_DIR_FUENTE));
    for (const QString& carpeta : kCarpetas) {
        QDirIterator it(raiz.filePath(carpeta), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile archivo(it.next());
            if (!archivo.open(QIODevice::ReadOnly)) continue;
            const QString texto = QString::fromUtf8(archivo.readAll());
            for (const auto& [clave, uso] :
                 Pares(texto, raiz.relativeFilePath(archivo.fileName()))) {
                usos[clave].append(uso);
            }
        }
    }
    return usos;
}

// Lines of English.idm; `errores` gets every line that is not "[Idioma]" or "NNNNNN=text" with CR
// LF.
QMap<QString, QString> LeerIdm(const QString& ruta, QStringList* errores) {
    QMap<QString, QString> textos;
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly)) {
        errores->append(QStringLiteral("cannot read ") + ruta);
        return textos;
    }
    const QByteArray bytes = archivo.readAll();
    if (!bytes.endsWith("\r\n")) errores->append(QStringLiteral("last line without CR LF"));
    static const QRegularExpression formato(QStringLiteral("^(\\d{6})=(.+)$"));
    int numero = 0;
    for (QByteArray linea : bytes.split('\n')) {
        ++numero;
        if (numero > 1 && linea.isEmpty()) continue;  // after the final line break
        if (!linea.endsWith('\r')) {
            errores->append(QStringLiteral("line %1 does not end in CR LF").arg(numero));
        } else {
            linea.chop(1);
        }
        const QString texto = DesdeAnsi(linea);
        if (numero == 1) {
            if (texto != QLatin1String("[Idioma]")) errores->append("first line is not [Idioma]");
            continue;
        }
        const auto m = formato.match(texto);
        if (!m.hasMatch()) {
            errores->append(
                QStringLiteral("line %1 is not NNNNNN=text: %2").arg(numero).arg(texto));
            continue;
        }
        if (textos.contains(m.captured(1))) {
            errores->append(QStringLiteral("id %1 twice (line %2)").arg(m.captured(1)).arg(numero));
        }
        textos.insert(m.captured(1), m.captured(2));
    }
    return textos;
}

QString RutaIngles() {
    return QStringLiteral(BASCORA_DIR_FUENTE "/share/English.idm");
}

}  // namespace

TEST(TextosIdioma, ElLectorDeFuentesEncuentraLlamadasYTablas) {
    // The scanner is what keeps the check honest: make sure it sees the forms the code uses.
    const QString fuente = QStringLiteral(
        "x = TextoIdioma(\"001001\", \"Uno\");\n"
        "y = TextoIdioma(QStringLiteral(\"001002\"),\n"
        "                QStringLiteral(\"Dos \" \"partes\"));\n"
        "z = TextoIdioma(id, \"no literal\");\n"
        "{\"mnuFile\", \"001003\", \"&Archivo \\\"citado\\\"\"},\n"
        "w = TextoIdioma(/* nota */ \"001004\", // fin\n \"Cuatro\");\n");
    QMap<QString, QString> vistos;
    for (const auto& [clave, uso] : Pares(fuente, QStringLiteral("f.cpp"))) {
        EXPECT_FALSE(vistos.contains(clave)) << clave.toStdString();
        vistos.insert(clave, uso.defecto);
    }
    EXPECT_EQ(vistos.value("001001"), "Uno");
    EXPECT_EQ(vistos.value("001002"), "Dos partes");
    EXPECT_EQ(vistos.value("001003"), "&Archivo \"citado\"");
    EXPECT_EQ(vistos.value("001004"), "Cuatro");
    EXPECT_EQ(vistos.size(), 4);
}

TEST(TextosIdioma, ElArchivoInglesTieneFormatoValido) {
    QStringList errores;
    const auto textos = LeerIdm(RutaIngles(), &errores);
    EXPECT_TRUE(errores.isEmpty()) << errores.join('\n').toStdString();
    EXPECT_FALSE(textos.isEmpty());
}

TEST(TextosIdioma, CadaIdDelCodigoEstaEnInglesYConUnSoloTextoEspanol) {
    QStringList errores;
    const auto ingles = LeerIdm(RutaIngles(), &errores);
    const auto usos = UsosEnFuentes();
    // The main window alone has more than thirty: an empty scan means the scanner broke.
    ASSERT_GT(usos.size(), 30);

    QStringList faltan;
    QStringList distintos;
    for (auto it = usos.cbegin(); it != usos.cend(); ++it) {
        if (!ingles.contains(it.key())) {
            faltan.append(it.key() + " \"" + it->first().defecto + "\" (" + it->first().lugar +
                          ")");
        }
        if (kReusosDeliberados.contains(it.key())) continue;
        for (const Uso& uso : *it) {
            if (uso.defecto != it->first().defecto) {
                distintos.append(it.key() + ": \"" + it->first().defecto + "\" (" +
                                 it->first().lugar + ") vs \"" + uso.defecto + "\" (" + uso.lugar +
                                 ")");
            }
        }
    }
    EXPECT_TRUE(faltan.isEmpty()) << "missing from share/English.idm:\n"
                                  << faltan.join('\n').toStdString();
    EXPECT_TRUE(distintos.isEmpty()) << "one id, two Spanish texts:\n"
                                     << distintos.join('\n').toStdString();
}
