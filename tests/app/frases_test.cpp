// Messages joined from texts and values read as sentences in English (the shipped language file in
// use) and stay as they were in Spanish; no English text relies on blanks at its ends.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include "products/ListadoPLU.h"
#include "products/Recetas.h"
#include "reports/Filtro.h"
#include "settings/Cp1252.h"
#include "settings/Idioma.h"
#include "tests/support/CarpetaTemporal.h"
#include "weighings/TextosDescarga.h"

namespace {

const QString kIngles = QStringLiteral(BASCORA_DIR_FUENTE "/share/English.idm");

// Readable failures: the texts, one per line.
std::string Texto(const QStringList& lista) {
    return lista.join(u'\n').toStdString();
}

// One joined message and the values the program put into it.
struct Mensaje {
    QString nombre;
    QString texto;
    QStringList valores;
};

QList<Mensaje> MensajesUnidos() {
    ResultadoDescarga r;
    r.cantidad = 20;
    r.yaGuardadas = 4;
    const auto manual = TipoDescarga::Manual;
    const auto programada = TipoDescarga::Programada;
    const Filtro numero = FiltroNumero("Peso", TipoFiltro::Numero, "10", "15");
    const Filtro fecha = *FiltroFecha("Fecha", QDate(2005, 3, 1), QDate(2005, 3, 5), "DD/MM/YYYY");
    const QString listado =
        TextoPagina(PaginasListado("Cliente", {{1, 2, "Sal", "", ""}}, "06/12/26", "20:01")[0])[1];
    return {
        {"desborde", TextoDesborde(manual, 7), {"7"}},
        {"desborde programado", TextoDesborde(programada, 7), {"7"}},
        {"fallo", TextoFalloPesadas(manual, 5, 65, 61, 2), {"5", "65", "30.5", "2"}},
        {"fallo programado", TextoFalloPesadas(programada, 5, 65, 61, 2), {"5", "65", "30.5", "2"}},
        {"reintentos", TextoReintentos(manual, 20, 3), {"20", "260", "3"}},
        {"reintentos programados", TextoReintentos(programada, 20, 3), {"20", "260", "3"}},
        {"recepcion", TextoRecepcion(manual, r), {"20", "4"}},
        {"recepcion programada", TextoRecepcion(programada, r), {"20", "4"}},
        {"cargar receta", PreguntaCargarReceta(12), {"12"}},
        {"recuperar receta", PreguntaRecuperarReceta(12), {"12"}},
        {"enviando receta", LeyendaEnvioReceta(12, false), {"12"}},
        {"enviando receta actual", LeyendaEnvioReceta(12, true), {"12"}},
        {"receta actual", TextoRecetaActual(12), {"12"}},
        {"filtro de numero", numero.campo + numero.descripcion, {"Peso", "10", "15"}},
        {"filtro de fecha", fecha.campo + fecha.descripcion, {"Fecha", "01/03/2005", "05/03/2005"}},
        {"listado", listado.trimmed(), {"Cliente"}},
    };
}

// What reads wrong in a joined message: a value glued to a word, doubled blanks, a blank before
// a full stop or comma, blanks at a line's ends.
QStringList Defectos(const Mensaje& m) {
    QStringList defectos;
    for (const QString& v : m.valores) {
        const QRegularExpression suelto(QStringLiteral("(?<![\\p{L}\\p{N}])") +
                                        QRegularExpression::escape(v) +
                                        QStringLiteral("(?![\\p{L}\\p{N}])"));
        if (!suelto.match(m.texto).hasMatch()) defectos << QStringLiteral("glued or missing: ") + v;
    }
    for (const QString& linea : m.texto.split(u'\n')) {
        const QString l = linea.endsWith(u'\r') ? linea.chopped(1) : linea;
        if (l.contains(u"  ")) defectos << QStringLiteral("doubled blank: ") + l;
        if (l.contains(u" .") || l.contains(u" ,"))
            defectos << QStringLiteral("blank before stop: ") + l;
        if (l != l.trimmed()) defectos << QStringLiteral("blank at an end: ") + l;
    }
    return defectos;
}

TEST(Frases, UnenConUnBlancoSinDoblarlo) {
    const struct {
        QString hecha;
        const char* esperada;
    } casos[] = {
        {Frase({"20", "pesadas (", "260", ") bajadas"}), "20 pesadas (260) bajadas"},
        // Blanks an older language file keeps at a text's end are not doubled.
        {Frase({"Received ", " 20", "weighings."}), "Received 20 weighings."},
        {Frase({" entre", "", "1"}), " entre 1"},
    };
    for (const auto& c : casos) EXPECT_EQ(c.hecha.toStdString(), c.esperada);
}

TEST(Frases, EnInglesCadaMensajeUnidoSeLeeComoFrase) {
    CarpetaTemporal carpeta;
    ASSERT_TRUE(QFile::copy(kIngles, carpeta.ruta("Idioma.cfg")));
    for (const Mensaje& m : MensajesUnidos()) {
        EXPECT_EQ(Texto(Defectos(m)), "")
            << m.nombre.toStdString() << ": " << m.texto.toStdString();
    }
    ResultadoDescarga r;
    r.cantidad = 20;
    EXPECT_EQ(TextoRecepcion(TipoDescarga::Manual, r).toStdString(),
              "Reception completed successfully\nReceived 20 weighings");
    EXPECT_EQ(TextoRecepcion(TipoDescarga::Programada, r).toStdString(),
              "Reception completed successfully. Received 20 weighings.");
}

// The other Spanish texts are checked where their procedures are tested.
TEST(Frases, EnEspanolLosMensajesNoCambian) {
    CarpetaTemporal carpeta;
    EXPECT_EQ(TextoDesborde(TipoDescarga::Programada, 7).toStdString(),
              "El indicador no pudo almacenar 7 pesadas por falta de espacio");
    EXPECT_EQ(TextoFalloPesadas(TipoDescarga::Manual, 5, 65, 61, 2).toStdString(),
              "Error al comunicar con el Indicador\r\nNo se pudo bajar las 5 pesadas (65) - Long. "
              "Rx = 30.5 - Reintentos = 2");
    for (const Mensaje& m : MensajesUnidos())
        EXPECT_EQ(Texto(Defectos(m)), "") << m.nombre.toStdString();
}

// The read drops a text's leading blanks and its last character: a text that needs a blank at
// either end, or lacks its closing full stop, reads wrong.
TEST(Frases, ElArchivoInglesNoDependeDeBlancosEnLosExtremos) {
    QFile archivo(kIngles);
    ASSERT_TRUE(archivo.open(QIODevice::ReadOnly));
    static const QRegularExpression linea(QStringLiteral("^(\\d{6})=(.+)\r$"));
    QStringList malas;
    int textos = 0;
    for (const QByteArray& bytes : archivo.readAll().split('\n')) {
        const auto m = linea.match(DesdeAnsi(bytes));
        if (!m.hasMatch()) continue;
        ++textos;
        const QString valor = m.captured(2);
        const QString texto = valor.chopped(1);
        if (!valor.endsWith(u'.') || texto != texto.trimmed()) malas << m.captured(0).trimmed();
    }
    EXPECT_GT(textos, 400);
    EXPECT_EQ(Texto(malas), "");
}

}  // namespace
