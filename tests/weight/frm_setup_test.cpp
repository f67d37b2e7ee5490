// The setup viewer offscreen: menus fill the rows from section "Setup", the calibration menus
// hide the eighth row, and the printout (a PDF here) has every menu's pairs.
#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"
#include "tests/weight/LeerPdf.h"
#include "weight/ui/FrmSetup.h"

namespace {

template <typename T>
T* Hijo(frmSetup& v, const char* nombre, int i) {
    return v.findChild<T*>(QStringLiteral("%1_%2").arg(QLatin1String(nombre)).arg(i));
}

TEST(FrmSetup, MenusFillTheRowsAndThePrintoutHasEveryPair) {
    CarpetaTemporal carpeta;
    qputenv("BASCORA_IMPRESORA", "pdf");  // the printout as a PDF in the data folder
    // Captions "P<n>" and values 1000 + n for every parameter.
    QByteArray ini = "[Setup]\r\n";
    for (int n = 1; n <= 78; ++n)
        ini += QByteArray::number(n) + ">=P" + QByteArray::number(n) + ".\r\n" +
               QByteArray::number(n) + "=" + QByteArray::number(1000 + n) + ".\r\n";
    carpeta.escribir("bascora.ini", ini);
    InteraccionGuion operador;
    frmSetup v(&operador);
    v.show();
    Hijo<QRadioButton>(v, "Opt_Menu", 9)->click();  // "Cal 2": 8..14, no eighth row
    EXPECT_EQ(Hijo<QLabel>(v, "Lbl_Dato", 6)->text(), "1014");
    EXPECT_FALSE(Hijo<QLabel>(v, "Lbl_Dato", 7)->isVisible());

    operador.responder({true});
    v.findChild<QPushButton*>("cmd_Impri")->click();
    const QStringList pdfs = QDir::current().entryList({QStringLiteral("Impresion-*.pdf")});
    ASSERT_EQ(pdfs.size(), 1);
    const QString texto = LineasPdf(pdfs[0]).join('\n');
    // Parameters 15..78 in the eight menus, 1..14 in the two calibration menus.
    for (int n = 1; n <= 78; ++n)
        EXPECT_TRUE(
            texto.contains(QRegularExpression(QStringLiteral("P%1 +%2").arg(n).arg(1000 + n))))
            << n;
}

}  // namespace
