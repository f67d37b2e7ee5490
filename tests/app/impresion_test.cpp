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
    double ancho = 0;  // points, first page
    double alto = 0;
};

Hojas HojasDe(const QString& pdf) {
    const QString info = SalidaDe(QStringLiteral("pdfinfo"), {pdf});
    Hojas h;
    h.paginas =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1).toInt();
    const auto m =
        QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+)")).match(info);
    h.ancho = m.captured(1).toDouble();
    h.alto = m.captured(2).toDouble();
    return h;
}

// Pages of the PDF that carry no text at all.
int PaginasEnBlanco(const QString& pdf, int paginas) {
    int blancas = 0;
    for (int n = 1; n <= paginas; ++n) {
        const QString texto = SalidaDe(QStringLiteral("pdftotext"),
                                       {QStringLiteral("-f"), QString::number(n),
                                        QStringLiteral("-l"), QString::number(n), pdf, "-"});
        if (texto.trimmed().isEmpty()) ++blancas;
    }
    return blancas;
}

QStringList Pdfs() {
    return QDir::current().entryList({QStringLiteral("Impresion-*.pdf")}, QDir::Files);
}

class PaginaImpresa : public ::testing::Test {
  protected:
    void SetUp() override {
        // The main window's position store stays out of the user's settings.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, ajustes_.path());
        qputenv("BASCORA_IMPRESORA", "pdf");
        fechaAnterior_ = Fecha_Frm;
    }
    void TearDown() override {
        qunsetenv("BASCORA_IMPRESORA");
        Fecha_Frm = fechaAnterior_;
    }

    // The setup printout with every parameter filled; the path of its PDF.
    QString ImprimirSetup() {
        QByteArray ini = "[Setup]\r\n";
        for (int n = 1; n <= 78; ++n)
            ini += QByteArray::number(n) + ">=Parametro " + QByteArray::number(n) + ".\r\n" +
                   QByteArray::number(n) + "=" + QByteArray::number(100000 + n) + ".\r\n";
        if (!QFile::exists(carpeta_.ruta("bascora.ini"))) carpeta_.escribir("bascora.ini", ini);
        const QStringList antes = Pdfs();
        InteraccionGuion operador;
        operador.responder({true});
        frmSetup ventana(&operador);
        ventana.cmd_Impri_Click();
        for (const QString& pdf : Pdfs())
            if (!antes.contains(pdf)) return QDir::current().absoluteFilePath(pdf);
        return {};
    }

    QTemporaryDir ajustes_;
    CarpetaTemporal carpeta_;
    QString fechaAnterior_;
};

// Qt's complaints while the page set-up runs (it warns when misused). The offscreen platform's
// note on every window shown is not one.
QStringList* avisosQt = nullptr;
void RecogerAvisos(QtMsgType tipo, const QMessageLogContext&, const QString& texto) {
    if (tipo == QtDebugMsg || tipo == QtInfoMsg || !avisosQt) return;
    if (!texto.contains(QLatin1String("propagateSizeHints"))) avisosQt->append(texto);
}

// "Configurar página" of the main window, answered with a paper, an orientation and a wider left
// margin. False when the dialog did not come up; Qt's warnings meanwhile go to *avisos.
bool ConfigurarPagina(FrmPrincipal& principal, const QString& papel, bool horizontal,
                      QStringList* avisos) {
    bool visto = false;
    QTimer::singleShot(0, [&] {
        auto* dialogo = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialogo || dialogo->objectName() != QStringLiteral("dlgCommonDialog")) return;
        visto = true;
        auto* papeles = dialogo->findChild<QComboBox*>(QStringLiteral("cmbPapel"));
        papeles->setCurrentIndex(papeles->findText(papel, Qt::MatchContains));
        dialogo
            ->findChild<QRadioButton*>(
                QString::fromLatin1(horizontal ? "optHorizontal" : "optVertical"))
            ->setChecked(true);
        dialogo->findChild<QDoubleSpinBox*>(QStringLiteral("txtMargen_0"))->setValue(15);
        dialogo->accept();
    });
    avisosQt = avisos;
    const QtMessageHandler anterior = qInstallMessageHandler(RecogerAvisos);
    principal.findChild<QAction*>(QStringLiteral("mnuFilePageSetup"))->trigger();
    qInstallMessageHandler(anterior);
    avisosQt = nullptr;
    return visto;
}

// Letter paper leaves the setup printout a line or two to spare: no blank page after it. Then
// landscape, chosen the same way, reaches the PDF.
TEST_F(PaginaImpresa, SetupIsOnePageAndTheChosenLandscapeReachesThePdf) {
    Fecha_Frm = QStringLiteral("DD MMMM YYYY");
    InteraccionGuion operador;
    FrmPrincipal principal(&operador);
    QStringList avisos;
    ASSERT_TRUE(ConfigurarPagina(principal, QStringLiteral("Letter"), false, &avisos));
    EXPECT_TRUE(avisos.isEmpty()) << avisos.join('\n').toStdString();
    EXPECT_TRUE(operador.mensajes.isEmpty());

    const QString vertical = ImprimirSetup();
    ASSERT_FALSE(vertical.isEmpty());
    const Hojas h = HojasDe(vertical);
    EXPECT_EQ(h.paginas, 1);
    EXPECT_EQ(qRound(h.ancho), 612);  // Letter, portrait
    EXPECT_EQ(qRound(h.alto), 792);
    const QStringList lineas = LineasPdf(vertical);
    ASSERT_GE(lineas.size(), 4);
    // The date of the heading: the settings' pattern, month named in Spanish (no language file).
    const QString mes = QLocale(QLocale::Spanish).monthName(QDate::currentDate().month());
    EXPECT_TRUE(lineas[3].contains(mes)) << lineas[3].toStdString();

    ASSERT_TRUE(ConfigurarPagina(principal, QStringLiteral("A4"), true, &avisos));
    EXPECT_TRUE(avisos.isEmpty()) << avisos.join('\n').toStdString();
    const QString apaisado = ImprimirSetup();
    ASSERT_NE(apaisado, vertical);
    const Hojas a = HojasDe(apaisado);
    EXPECT_GT(a.ancho, a.alto);
    EXPECT_EQ(PaginasEnBlanco(apaisado, a.paginas), 0);
    EXPECT_EQ(LineasPdf(apaisado).first(), QString(80, QLatin1Char('-')));
}

// Exactly a page of lines, followed by empty lines and a page break, is one page; one line more
// is two. On both orientations, and a break before anything is printed adds nothing.
TEST_F(PaginaImpresa, APageOfLinesIsOnePage) {
    for (const auto orientacion : {QPageLayout::Portrait, QPageLayout::Landscape}) {
        QPageLayout diseno = DisenoPaginaPorDefecto();
        diseno.setOrientation(orientacion);
        GuardarDisenoPagina(diseno);
        for (int extra : {0, 1}) {
            InteraccionGuion operador;
            Impresion imp(operador);
            ASSERT_TRUE(imp.Iniciar());
            imp.Fuente(QStringLiteral("Courier"), 12);
            const int lineasPorPagina = imp.LineasPorPagina();
            imp.NuevaPagina();
            for (int i = 1; i <= lineasPorPagina + extra; ++i)
                imp.Imprimir(QStringLiteral("linea %1").arg(i));
            imp.Imprimir();
            imp.Imprimir();
            imp.NuevaPagina();
            ASSERT_TRUE(imp.Terminar());
            const Hojas h = HojasDe(imp.RutaPdf());
            EXPECT_EQ(h.paginas, 1 + extra) << orientacion << " " << lineasPorPagina;
            EXPECT_EQ(h.ancho > h.alto, orientacion == QPageLayout::Landscape);
            EXPECT_EQ(PaginasEnBlanco(imp.RutaPdf(), h.paginas), 0);
        }
    }
}

// What is saved is what the next start reads; settings that make no sense give the defaults.
TEST_F(PaginaImpresa, ThePageSetupSurvivesARestartAndBadSettingsFallBack) {
    const QPageLayout elegidos[] = {
        QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Landscape, QMarginsF(5, 12.5, 5, 20),
                    QPageLayout::Millimeter),
        QPageLayout(QPageSize(QSizeF(100, 150), QPageSize::Millimeter), QPageLayout::Portrait,
                    QMarginsF(3, 3, 3, 3), QPageLayout::Millimeter),
    };
    for (const QPageLayout& elegido : elegidos) {
        ASSERT_TRUE(GuardarDisenoPagina(elegido));
        const QByteArray ini = carpeta_.leer("bascora.ini");
        CarpetaTemporal otraVez;  // a new start on the same settings file
        otraVez.escribir("bascora.ini", ini);
        const QPageLayout leido = DisenoPagina();
        EXPECT_TRUE(leido.pageSize().isEquivalentTo(elegido.pageSize())) << ini.toStdString();
        EXPECT_EQ(leido.orientation(), elegido.orientation());
        EXPECT_EQ(leido.margins(QPageLayout::Millimeter), elegido.margins());
    }

    struct Caso {
        const char* ini;
        QPageSize::PageSizeId papel;
        QPageLayout::Orientation orientacion;
        QMarginsF margenes;
    };
    const Caso casos[] = {
        {"", QPageSize::A4, QPageLayout::Portrait, {10, 10, 10, 10}},
        {"Papel=legal.\r\nOrientacion=1.\r\nMargenes=1,2,3,4.\r\n",
         QPageSize::Legal,
         QPageLayout::Landscape,
         {1, 2, 3, 4}},
        {"Papel=A9999.\r\nOrientacion=7.\r\nMargenes=1,2,3.\r\n",
         QPageSize::A4,
         QPageLayout::Portrait,
         {10, 10, 10, 10}},
        {"Papel=5x5.\r\nMargenes=150,0,150,0.\r\n",
         QPageSize::A4,
         QPageLayout::Portrait,
         {10, 10, 10, 10}},
        {"Papel=A5.\r\nMargenes=-1,0,0,0.\r\n",
         QPageSize::A5,
         QPageLayout::Portrait,
         {10, 10, 10, 10}},
    };
    for (const Caso& c : casos) {
        CarpetaTemporal carpeta;
        carpeta.escribir("bascora.ini", QByteArray("[Impresion]\r\n") + c.ini);
        const QPageLayout d = DisenoPagina();
        EXPECT_EQ(d.pageSize().id(), c.papel) << c.ini;
        EXPECT_EQ(d.orientation(), c.orientacion) << c.ini;
        EXPECT_EQ(d.margins(QPageLayout::Millimeter), c.margenes) << c.ini;
    }
}

TEST(FechasDelPrograma, PatternsTakeTheLanguageFileNotTheMachine) {
    struct Caso {
        const char* idioma;  // Idioma.cfg, null: none
        const char* patron;
        const char* esperado;
    };
    const Caso casos[] = {
        {nullptr, "dddd DD MMMM YYYY", "domingo 06 diciembre 2026"},
        {"[Idioma]\r\nQtIdioma=en_US.\r\n", "dddd DD MMMM YYYY", "Sunday 06 December 2026"},
        {"[Idioma]\r\nQtIdioma=de.\r\n", "DD. mmm YY", "06. Dez. 26"},
        {"[Idioma]\r\nQtIdioma=xx_nada.\r\n", "MMMM", "diciembre"},
        {"[Idioma]\r\n005002=Connect.\r\n", "D/M/YY \"de\" \\Y", "6/12/26 de Y"},
    };
    for (const Caso& c : casos) {
        CarpetaTemporal carpeta;
        if (c.idioma) carpeta.escribir("Idioma.cfg", c.idioma);
        EXPECT_EQ(FormatearFecha(QDate(2026, 12, 6), QString::fromLatin1(c.patron)),
                  QString::fromUtf8(c.esperado))
            << c.patron;
    }
}

// Run as a child process by the test below, with the machine locale it sets.
TEST(DISABLED_HijoConLocale, EscribeDatosLog) {
    const QString carpeta = qEnvironmentVariable("BASCORA_PRUEBA_CARPETA");
    ASSERT_FALSE(carpeta.isEmpty());
    ContextoCarpeta::reemplazar(std::make_shared<ContextoCarpeta>(carpeta));
    Fecha_Frm = QStringLiteral("dddd DD MMMM YYYY");
    ASSERT_TRUE(GuardarError(QStringLiteral("prueba")));
}

// The "Fecha y Hora" of a Datos.log entry written by a child process under each machine locale,
// without its time.
QStringList FechasDelLog(const CarpetaTemporal& carpeta) {
    QStringList fechas;
    for (const char* local : {"C", "de_DE.UTF-8", "en_US.UTF-8"}) {
        QProcess hijo;
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(local));
        entorno.insert(QStringLiteral("LANG"), QString::fromLatin1(local));
        entorno.insert(QStringLiteral("BASCORA_PRUEBA_CARPETA"), carpeta.ruta());
        hijo.setProcessEnvironment(entorno);
        hijo.start(QCoreApplication::applicationFilePath(),
                   {QStringLiteral("--gtest_also_run_disabled_tests"),
                    QStringLiteral("--gtest_filter=DISABLED_HijoConLocale.*")});
        if (!hijo.waitForFinished(30000) || hijo.exitCode() != 0) {
            hijo.kill();
            hijo.waitForFinished();
            ADD_FAILURE() << local << ": " << hijo.readAll().toStdString();
            return {};
        }
        static const QRegularExpression fecha(
            QStringLiteral("Fecha y Hora: (.*) \\d\\d:\\d\\d:\\d\\d\r\n\\S*\r\n\r\n$"));
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
    EXPECT_EQ(fechas[0], QLocale(QLocale::Spanish).dayName(hoy.dayOfWeek()) +
                             hoy.toString(QStringLiteral(" dd ")) +
                             QLocale(QLocale::Spanish).monthName(hoy.month()) +
                             hoy.toString(QStringLiteral(" yyyy")));
    EXPECT_EQ(fechas[1], fechas[0]);
    EXPECT_EQ(fechas[2], fechas[0]);
}

}  // namespace
