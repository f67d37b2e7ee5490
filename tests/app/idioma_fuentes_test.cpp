// Every text id the code uses must be in the shipped English language file, and one id must always
// carry the same Spanish wording (a language file can hold only one translation per id).
#include <gtest/gtest.h>

#include <QDirIterator>
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

// Blanks and comments; a literal, or adjacent ones, optionally in QStringLiteral(...) and the like.
#define BLANCO R"re((?:\s|//[^\n]*|/\*[\s\S]*?\*/)*)re"
#define ENVOLTURA \
    R"re((?:QStringLiteral|QString::fromUtf8|QString::fromLatin1|QLatin1String|QString))re"
#define LITERAL \
    "(?:" ENVOLTURA R"re(\s*\()re" BLANCO R"re()?((?:u?"(?:[^"\\]|\\.)*")re" BLANCO ")+)"

// Every (id, Spanish text) pair in one source text: calls TextoIdioma("id", "text") and tables that
// keep the pair side by side ({"mnuFile", "005001", "&Archivo"}).
QList<std::pair<QString, Uso>> Pares(const QString& texto, const QString& archivo) {
    static const QRegularExpression llamada(QStringLiteral(
        R"re(\bTextoIdioma\s*\()re" BLANCO LITERAL R"re(\)?)re" BLANCO "," BLANCO LITERAL));
    static const QRegularExpression tabla(
        QStringLiteral(R"re(("\d{6}"))re" BLANCO "," BLANCO LITERAL));
    static const QRegularExpression pieza(QStringLiteral(R"re("((?:[^"\\]|\\.)*)")re"));
    const auto valor = [](const QString& literales) {
        QString v;
        for (auto m = pieza.globalMatch(literales); m.hasNext();) {
            const QString p = m.next().captured(1);
            for (qsizetype i = 0; i < p.size(); ++i) {
                const QChar c = p.at(i) == u'\\' && i + 1 < p.size() ? p.at(++i) : QChar();
                v += c.isNull() ? p.at(i) : c == u'n' ? QChar(u'\n') : c == u't' ? QChar(u'\t') : c;
            }
        }
        return v;
    };
    QMap<qsizetype, std::pair<QString, Uso>> porPosicion;  // a call is also seen as a table entry
    for (const auto* re : {&tabla, &llamada}) {
        for (auto m = re->globalMatch(texto); m.hasNext();) {
            const auto c = m.next();
            const int linea = static_cast<int>(texto.left(c.capturedStart()).count(u'\n')) + 1;
            porPosicion[c.capturedStart(1)] = {
                valor(c.captured(1)),
                {valor(c.captured(2)), archivo + u':' + QString::number(linea)}};
        }
    }
    return porPosicion.values();
}

// English.idm as id → text; `errores` gets every line that is not "[Idioma]", "NNNNNN=text" or the
// Qt locale line "QtIdioma=xx." with CR LF, and every id written twice.
QMap<QString, QString> LeerIdm(QStringList* errores) {
    QFile archivo(QStringLiteral(BASCORA_DIR_FUENTE "/share/English.idm"));
    if (!archivo.open(QIODevice::ReadOnly)) errores->append(QStringLiteral("cannot read"));
    QList<QByteArray> lineas = archivo.readAll().split('\n');
    if (lineas.takeLast() != "") errores->append(QStringLiteral("last line without CR LF"));
    static const QRegularExpression formato(QStringLiteral("^(\\d{6}|QtIdioma)=(.+)\r$"));
    QMap<QString, QString> textos;
    for (int n = 0; n < lineas.size(); ++n) {
        const QString texto = DesdeAnsi(lineas.at(n));
        const auto m = formato.match(texto);
        if (n == 0 ? texto != u"[Idioma]\r" : !m.hasMatch() || textos.contains(m.captured(1)))
            errores->append(QStringLiteral("line %1: %2").arg(n + 1).arg(texto));
        if (m.hasMatch()) textos.insert(m.captured(1), m.captured(2));
    }
    return textos;
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
    const QMap<QString, QString> esperados = {{"001001", "Uno"},
                                              {"001002", "Dos partes"},
                                              {"001003", "&Archivo \"citado\""},
                                              {"001004", "Cuatro"}};
    EXPECT_EQ(vistos, esperados);
}

TEST(TextosIdioma, CadaIdDelCodigoEstaEnInglesYConUnSoloTextoEspanol) {
    QStringList errores;
    const auto ingles = LeerIdm(&errores);
    EXPECT_TRUE(errores.isEmpty()) << "share/English.idm:\n" << errores.join('\n').toStdString();

    QMap<QString, QList<Uso>> usos;
    const QDir raiz(QStringLiteral(BASCORA_DIR_FUENTE));
    for (const char* carpeta : {"app", "settings", "link", "data", "weighings", "products",
                                "tickets", "weight", "reports", "cli", "main"}) {
        QDirIterator it(raiz.filePath(carpeta), {"*.cpp", "*.h"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile archivo(it.next());
            if (!archivo.open(QIODevice::ReadOnly)) continue;
            for (const auto& [clave, uso] : Pares(QString::fromUtf8(archivo.readAll()),
                                                  raiz.relativeFilePath(archivo.fileName())))
                usos[clave].append(uso);
        }
    }
    // The main window alone has more than thirty: an empty scan means the scanner broke.
    ASSERT_GT(usos.size(), 30);

    QStringList faltan, distintos;
    for (auto it = usos.cbegin(); it != usos.cend(); ++it) {
        const Uso& primero = it->first();
        if (!ingles.contains(it.key()))
            faltan << it.key() + " \"" + primero.defecto + "\" (" + primero.lugar + ")";
        if (kReusosDeliberados.contains(it.key())) continue;
        for (const Uso& uso : *it) {
            if (uso.defecto != primero.defecto)
                distintos << it.key() + ": \"" + primero.defecto + "\" (" + primero.lugar +
                                 ") vs \"" + uso.defecto + "\" (" + uso.lugar + ")";
        }
    }
    EXPECT_TRUE(faltan.isEmpty()) << "missing from share/English.idm:\n"
                                  << faltan.join('\n').toStdString();
    EXPECT_TRUE(distintos.isEmpty()) << "one id, two Spanish texts:\n"
                                     << distintos.join('\n').toStdString();
}
