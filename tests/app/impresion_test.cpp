// Printouts that fit the page set-up, the set-up kept for the run and in bascora.ini, and dates in
// the program's language whatever the machine's locale. PDFs are read back with poppler-utils.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include "app/ui/FrmPrincipal.h"
#include "app/ui/Impresion.h"
#include "base/Globales.h"
#include "settings/Cp1252.h"
#include "settings/Fechas.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"
#include "tests/weight/LeerPdf.h"
#include "weighings/GuardarError.h"
#include "weight/ui/FrmSetup.h"

namespace {

struct Hojas {
    int paginas = 0;
    int enBlanco = 0;  // pages without any text
    QSize puntos;      // first page
};

Hojas HojasDe(const QString& pdf) {
    const QString info = SalidaDe(QStringLiteral("pdfinfo"), {pdf});
    Hojas h;
    h.paginas = QRegularExpression("Pages:\\s+(\\d+)").match(info).captured(1).toInt();
    const auto m = QRegularExpression("Page size:\\s+([0-9.]+) x ([0-9.]+)").match(info);
    h.puntos = QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()).toSize();
    for (int n = 1; n <= h.paginas; ++n) {
        const QString p = QString::number(n);
        h.enBlanco += SalidaDe("pdftotext", {"-f", p, "-l", p, pdf, "-"}).trimmed().isEmpty();
    }
    return h;
}

// Qt's complaints while the page set-up runs (it warns when misused); the offscreen platform's
// note on every window shown is not one.
QStringList avisosQt;
void RecogerAvisos(QtMsgType tipo, const QMessageLogContext&, const QString& texto) {
    if (tipo != QtDebugMsg && tipo != QtInfoMsg && !texto.contains("propagateSizeHints"))
        avisosQt.append(texto);
}

class PaginaImpresa : public ::testing::Test {
  protected:
    void SetUp() override {
        // The main window's position store stays out of the user's settings.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, ajustes_.path());
        qputenv("BASCORA_IMPRESORA", "pdf");
        fechaAnterior_ = Fecha_Frm;
        QByteArray ini = "[Setup]\r\n";
        for (int n = 1; n <= 78; ++n)
            ini += QByteArray::number(n) + ">=Parametro " + QByteArray::number(n) + ".\r\n" +
                   QByteArray::number(n) + "=" + QByteArray::number(100000 + n) + ".\r\n";
        carpeta_.escribir("bascora.ini", ini);
    }
    void TearDown() override {
        qunsetenv("BASCORA_IMPRESORA");
        Fecha_Frm = fechaAnterior_;
    }

    // "Configurar página" answered with a paper, an orientation and a 15 mm left margin; false
    // when no dialog came.
    bool ConfigurarPagina(FrmPrincipal& principal, const QString& papel, bool horizontal) {
        bool visto = false;
        QTimer::singleShot(0, [&] {
            auto* dialogo = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialogo || dialogo->objectName() != QStringLiteral("dlgCommonDialog")) return;
            visto = true;
            auto* papeles = dialogo->findChild<QComboBox*>(QStringLiteral("cmbPapel"));
            papeles->setCurrentIndex(papeles->findText(papel, Qt::MatchContains));
            dialogo->findChild<QRadioButton*>(horizontal ? "optHorizontal" : "optVertical")
                ->setChecked(true);
            dialogo->findChild<QDoubleSpinBox*>(QStringLiteral("txtMargen_0"))->setValue(15);
            dialogo->accept();
        });
        const QtMessageHandler anterior = qInstallMessageHandler(RecogerAvisos);
        principal.findChild<QAction*>(QStringLiteral("mnuFilePageSetup"))->trigger();
        qInstallMessageHandler(anterior);
        return visto;
    }

    // The setup printout; the path of its PDF.
    QString ImprimirSetup() {
        const QStringList antes = QDir::current().entryList({"Impresion-*.pdf"});
        InteraccionGuion operador;
        operador.responder({true});
        frmSetup(&operador).cmd_Impri_Click();
        for (const QString& pdf : QDir::current().entryList({"Impresion-*.pdf"}))
            if (!antes.contains(pdf)) return QDir::current().absoluteFilePath(pdf);
        return {};
    }

    QTemporaryDir ajustes_;
    CarpetaTemporal carpeta_;
    QString fechaAnterior_;
};

// Letter paper with a 15 mm left margin holds the setup printout with no line to spare: it used
// to get a blank second page. Then landscape, chosen the same way, reaches the PDF.
TEST_F(PaginaImpresa, SetupIsOnePageAndTheChosenLandscapeReachesThePdf) {
    Fecha_Frm = QStringLiteral("DD MMMM YYYY");
    InteraccionGuion operador;
    FrmPrincipal principal(&operador);
    avisosQt.clear();
    ASSERT_TRUE(ConfigurarPagina(principal, QStringLiteral("Letter"), false));
    const QString vertical = ImprimirSetup();
    const Hojas h = HojasDe(vertical);
    EXPECT_EQ(h.paginas, 1);
    EXPECT_EQ(h.puntos, QSize(612, 792));  // Letter, portrait
    // The heading's date: the settings' pattern, the month in Spanish (there is no language file).
    const QString mes = QLocale(QLocale::Spanish).monthName(QDate::currentDate().month());
    EXPECT_TRUE(LineasPdf(vertical).value(3).contains(mes));

    ASSERT_TRUE(ConfigurarPagina(principal, QStringLiteral("A4"), true));
    const QString apaisado = ImprimirSetup();
    const Hojas a = HojasDe(apaisado);
    EXPECT_GT(a.puntos.width(), a.puntos.height());
    EXPECT_EQ(a.enBlanco, 0);
    EXPECT_EQ(LineasPdf(apaisado).first(), QString(80, QLatin1Char('-')));
    EXPECT_TRUE(avisosQt.isEmpty()) << avisosQt.join('\n').toStdString();
    EXPECT_TRUE(operador.mensajes.isEmpty());
}

// A page of lines with empty lines and a page break after it is one page; a line more is two.
TEST_F(PaginaImpresa, APageOfLinesIsOnePage) {
    for (int extra : {0, 1}) {
        InteraccionGuion operador;
        Impresion imp(operador);
        ASSERT_TRUE(imp.Iniciar());
        imp.NuevaPagina();  // nothing printed yet: no page
        for (int i = 0; i < imp.LineasPorPagina() + extra; ++i) imp.Imprimir("linea");
        imp.Imprimir();
        imp.NuevaPagina();
        ASSERT_TRUE(imp.Terminar());
        const Hojas h = HojasDe(imp.RutaPdf());
        EXPECT_EQ(h.paginas, 1 + extra);
        EXPECT_EQ(h.enBlanco, 0);
    }
}

// What is saved is what the next start reads; settings that make no sense give the defaults.
TEST_F(PaginaImpresa, ThePageSetupSurvivesARestartAndBadSettingsFallBack) {
    const QPageLayout elegido(QPageSize(QSizeF(100, 150), QPageSize::Millimeter),
                              QPageLayout::Landscape, QMarginsF(5, 12.5, 5, 20),
                              QPageLayout::Millimeter);
    ASSERT_TRUE(GuardarDisenoPagina(elegido));
    const QByteArray ini = carpeta_.leer("bascora.ini");
    {
        CarpetaTemporal otraVez;  // a new start on the same settings file
        otraVez.escribir("bascora.ini", ini);
        const QPageLayout leido = DisenoPagina();
        EXPECT_TRUE(leido.pageSize().isEquivalentTo(elegido.pageSize())) << ini.toStdString();
        EXPECT_EQ(leido.orientation(), elegido.orientation());
        EXPECT_EQ(leido.margins(QPageLayout::Millimeter), elegido.margins());
    }
    const QMarginsF porDefecto(10, 10, 10, 10);
    const std::tuple<const char*, QPageSize::PageSizeId, QPageLayout::Orientation, QMarginsF>
        casos[] = {
            {"Papel=legal.\r\nOrientacion=1.\r\nMargenes=1,2,3,4.", QPageSize::Legal,
             QPageLayout::Landscape, QMarginsF(1, 2, 3, 4)},
            {"Papel=A9999.\r\nOrientacion=7.\r\nMargenes=1,2,3.", QPageSize::A4,
             QPageLayout::Portrait, porDefecto},
            {"Papel=5x5.\r\nMargenes=150,0,150,0.", QPageSize::A4, QPageLayout::Portrait,
             porDefecto},
        };
    for (const auto& [texto, papel, orientacion, margenes] : casos) {
        CarpetaTemporal carpeta;
        carpeta.escribir("bascora.ini", QByteArray("[Impresion]\r\n") + texto + "\r\n");
        const QPageLayout d = DisenoPagina();
        EXPECT_EQ(d.pageSize().id(), papel) << texto;
        EXPECT_EQ(d.orientation(), orientacion) << texto;
        EXPECT_EQ(d.margins(QPageLayout::Millimeter), margenes) << texto;
    }
}

TEST(FechasDelPrograma, PatternsTakeTheLanguageFileNotTheMachine) {
    const std::tuple<const char*, const char*, const char*> casos[] = {
        {"", "dddd DD MMMM YYYY", "domingo 06 diciembre 2026"},
        {"QtIdioma=en_US.", "dddd DD MMMM YYYY", "Sunday 06 December 2026"},
        {"QtIdioma=xx_nada.", "D/mmm/YY \"de\" \\Y", "6/dic/26 de Y"},
    };
    for (const auto& [idioma, patron, esperado] : casos) {
        CarpetaTemporal carpeta;
        carpeta.escribir("Idioma.cfg", QByteArray("[Idioma]\r\n") + idioma + "\r\n");
        EXPECT_EQ(FormatearFecha(QDate(2026, 12, 6), patron), QString::fromUtf8(esperado));
    }
}

// Run as a child process by the test below, under the machine locale that one sets.
TEST(DISABLED_HijoConLocale, EscribeDatosLog) {
    ContextoCarpeta::reemplazar(
        std::make_shared<ContextoCarpeta>(qEnvironmentVariable("BASCORA_PRUEBA_CARPETA")));
    Fecha_Frm = QStringLiteral("dddd DD MMMM YYYY");
    ASSERT_TRUE(GuardarError(QStringLiteral("prueba")));
}

// The date of the Datos.log entry that a child process writes under each machine locale.
QStringList FechasDelLog(const CarpetaTemporal& carpeta) {
    QStringList fechas;
    for (const QString local : {"C", "de_DE.UTF-8", "en_US.UTF-8"}) {
        QProcess hijo;
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert("LC_ALL", local);
        entorno.insert("LANG", local);
        entorno.insert("BASCORA_PRUEBA_CARPETA", carpeta.ruta());
        hijo.setProcessEnvironment(entorno);
        hijo.start(QCoreApplication::applicationFilePath(),
                   {"--gtest_also_run_disabled_tests", "--gtest_filter=DISABLED_HijoConLocale.*"});
        if (!hijo.waitForFinished(30000) || hijo.exitCode() != 0) {
            hijo.kill();
            hijo.waitForFinished();
            ADD_FAILURE() << local.toStdString() << ": " << hijo.readAll().toStdString();
            return {};
        }
        static const QRegularExpression fecha(
            "Fecha y Hora: (.*) \\d\\d:\\d\\d:\\d\\d\r\n\\S*\r\n\r\n$");
        fechas << fecha.match(DesdeAnsi(carpeta.leer("Datos.log"))).captured(1);
    }
    return fechas;
}

TEST(FechasDelPrograma, DatosLogReadsTheSameUnderAnyMachineLocale) {
    CarpetaTemporal carpeta;
    QDate hoy;
    QStringList fechas;
    do {  // a run across midnight is repeated
        hoy = QDate::currentDate();
        fechas = FechasDelLog(carpeta);
    } while (hoy != QDate::currentDate());
    ASSERT_EQ(fechas.size(), 3);
    EXPECT_TRUE(fechas[0].contains(QLocale(QLocale::Spanish).monthName(hoy.month())))
        << fechas[0].toStdString();
    EXPECT_EQ(fechas[1], fechas[0]);
    EXPECT_EQ(fechas[2], fechas[0]);
}

}  // namespace
