// The setup viewer offscreen: menus fill the rows from section "Setup", the calibration menus
// hide the eighth row, and the printout (a PDF here) has every menu pair in its columns.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

#include "settings/Config.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"
#include "tests/weight/LeerPdf.h"
#include "weight/ui/FrmSetup.h"

namespace {

QLabel* Campo(frmSetup& v, int r) {
    return v.findChild<QLabel*>(QStringLiteral("Lbl_Campo_%1").arg(r));
}
QLabel* Dato(frmSetup& v, int r) {
    return v.findChild<QLabel*>(QStringLiteral("Lbl_Dato_%1").arg(r));
}
QRadioButton* Menu(frmSetup& v, int k) {
    return v.findChild<QRadioButton*>(QStringLiteral("Opt_Menu_%1").arg(k));
}

// Captions "P<n>" and values 1000 + n for every parameter.
void LlenarSetup(CarpetaTemporal& carpeta) {
    QByteArray ini = "[Setup]\r\n";
    for (int n = 1; n <= 78; ++n)
        ini += QByteArray::number(n) + ">=P" + QByteArray::number(n) + ".\r\n" +
               QByteArray::number(n) + "=" + QByteArray::number(1000 + n) + ".\r\n";
    carpeta.escribir("bascora.ini", ini);
}

QStringList Pdfs() {
    return QDir::current().entryList({QStringLiteral("Impresion-*.pdf")}, QDir::Files);
}

class FrmSetupTest : public ::testing::Test {
  protected:
    void SetUp() override { qputenv("BASCORA_IMPRESORA", "pdf"); }
    void TearDown() override { qunsetenv("BASCORA_IMPRESORA"); }
};

TEST_F(FrmSetupTest, MenusFillTheRowsAndCalibrationHidesRowSeven) {
    CarpetaTemporal carpeta;
    {  // No setup at all: empty rows, and the printout still has its frame.
        InteraccionGuion operador;
        operador.responder({true});
        frmSetup v(&operador);
        EXPECT_EQ(Dato(v, 0)->text(), "");
        v.cmd_Impri_Click();
        ASSERT_EQ(Pdfs().size(), 1);
        EXPECT_EQ(LineasPdf(Pdfs()[0]).size(), 10);  // rules, title, date, five captions
        QFile::remove(Pdfs()[0]);
    }
    LlenarSetup(carpeta);
    InteraccionGuion operador;
    frmSetup v(&operador);
    v.show();
    ASSERT_NE(Menu(v, 0), nullptr);
    EXPECT_TRUE(Menu(v, 0)->isChecked());
    EXPECT_EQ(Campo(v, 0)->text(), "P15");
    EXPECT_EQ(Dato(v, 7)->text(), "1022");

    Menu(v, 7)->click();  // "Config": 71..78
    EXPECT_EQ(Campo(v, 0)->text(), "P71");
    EXPECT_EQ(Dato(v, 7)->text(), "1078");
    EXPECT_TRUE(Dato(v, 7)->isVisible());

    Menu(v, 9)->click();  // "Cal 2": 8..14
    EXPECT_EQ(Campo(v, 0)->text(), "P8");
    EXPECT_EQ(Dato(v, 6)->text(), "1014");
    EXPECT_FALSE(Campo(v, 7)->isVisible());
    EXPECT_FALSE(Dato(v, 7)->isVisible());

    // A value stored while the window is open shows at the next selection.
    GuardarConfig("Setup", "23", 42);
    Menu(v, 1)->click();
    EXPECT_EQ(Dato(v, 0)->text(), "42");
    EXPECT_TRUE(Campo(v, 7)->isVisible());
    EXPECT_EQ(Campo(v, 7)->text(), "P30");
}

// Declining the confirmation prints nothing; accepting prints every menu pair in its columns.
TEST_F(FrmSetupTest, PrintoutHasEveryMenuPairInItsColumns) {
    CarpetaTemporal carpeta;
    LlenarSetup(carpeta);
    InteraccionGuion operador;
    operador.responder({false, true});
    frmSetup v(&operador);
    v.show();
    Menu(v, 4)->click();
    auto* imprimir = v.findChild<QPushButton*>("cmd_Impri");
    imprimir->click();
    EXPECT_TRUE(Pdfs().isEmpty());
    EXPECT_EQ(operador.mensajes[0].tipo, InteraccionGuion::Mensaje::Confirmacion);
    imprimir->click();
    ASSERT_EQ(Pdfs().size(), 1);
    EXPECT_TRUE(Menu(v, 0)->isChecked());  // back on the first menu
    EXPECT_EQ(Campo(v, 0)->text(), "P15");
    ASSERT_EQ(operador.mensajes.size(), 3);
    EXPECT_TRUE(operador.mensajes[2].texto.contains(Pdfs()[0]));

    const QStringList l = LineasPdf(Pdfs()[0]);
    ASSERT_GE(l.size(), 4) << l.join('\n').toStdString();
    const QString regla(80, QLatin1Char('-'));
    EXPECT_EQ(l[0], regla);
    EXPECT_EQ(l[1].indexOf("Configuracion del Indicador"), 19);
    EXPECT_EQ(l[2], regla);
    EXPECT_EQ(l[3].indexOf(QRegularExpression("\\d")), 2);  // date at column 3
    EXPECT_EQ(l[3].indexOf(QRegularExpression("\\d\\d:\\d\\d:\\d\\d$")), 70);
    EXPECT_EQ(l.last(), regla);

    const char* const pares[5][2] = {{"ESTAB", "Port 1"},
                                     {"Port 2", "Port 3"},
                                     {"Paral", "Datos"},
                                     {"Fcn", "Config"},
                                     {"Cal 1", "Cal 2"}};
    int i = 4;
    for (int p = 0; p < 5; ++p) {
        ASSERT_LT(i, l.size());
        EXPECT_EQ(l[i].indexOf(pares[p][0]), 4) << l[i].toStdString();
        EXPECT_EQ(l[i].indexOf(pares[p][1]), 44) << l[i].toStdString();
        ++i;
        const int filas = p == 4 ? 7 : 8;
        const int izq = p < 4 ? 8 * (2 * p) + 15 : 1;
        const int der = p < 4 ? 8 * (2 * p + 1) + 15 : 8;
        for (int r = 0; r < filas; ++r, ++i) {
            ASSERT_LT(i, l.size());
            const QString& f = l[i];
            EXPECT_EQ(f.indexOf(QStringLiteral("P%1 ").arg(izq + r)), 2) << f.toStdString();
            EXPECT_EQ(f.indexOf(QString::number(1000 + izq + r)), 17) << f.toStdString();
            EXPECT_EQ(f.indexOf(QStringLiteral("P%1 ").arg(der + r)), 42) << f.toStdString();
            EXPECT_EQ(f.indexOf(QString::number(1000 + der + r)), 57) << f.toStdString();
        }
    }
    EXPECT_EQ(i, l.size() - 1);  // then only the closing rule: Cal had seven lines
}

}  // namespace
