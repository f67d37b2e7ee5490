// The codes and recipes windows relabel themselves when the language changes while they are open,
// captions that depend on what the window is doing included.
#include <QAbstractButton>
#include <QCoreApplication>
#include <QFile>

#include "products/Recetas.h"
#include "products/ui/FrmPLU.h"
#include "products/ui/FrmRecetas.h"
#include "tests/productos/Entorno.h"
#include "tests/support/CambioIdioma.h"

namespace {

void Pulsar(QWidget& ventana, const char* boton) {
    auto* b = ventana.findChild<QAbstractButton*>(QLatin1String(boton));
    ASSERT_NE(b, nullptr) << boton;
    b->click();
}

TEST_F(EntornoProductos, OpenWindowsShowTheNewLanguageAtOnceEvenWhileEditing) {
    Llenar({{1, 1, "Harina", "", ""}, {2, 1, "Maiz", "", ""}});
    RegistroReceta receta;
    receta.Receta = 1;
    QString error;
    ASSERT_TRUE(GuardarReceta(TablaDe(TablaLogica::Recetas), receta, &error)) << qPrintable(error);
    const QString recetas1 = QStringLiteral("Recipe: 1/%1")
                                 .arg(LeerRecetas(TablaDe(TablaLogica::Recetas), 0, &error).size());
    frmPLU plu(nullptr, &enlace, &op);
    frmRecetas recetas(nullptr, &enlace, &op);
    plu.show();
    recetas.show();
    Pulsar(plu, "cmdAgregar");  // a new code is being entered
    Pulsar(recetas, "cmdEditar");
    ASSERT_EQ(Propiedad(plu, "cmdAgregar", "text"), QStringLiteral("Actualizar"));

    PasarAIngles(carpeta, {&plu, &recetas});

    const struct {
        QWidget* ventana;
        const char* control;
        const char* propiedad;
        QString ingles;
    } casos[] = {
        {&plu, "frmPLU", "windowTitle", "Codes"},
        {&plu, "cmdAgregar", "text", "Save"},
        {&plu, "Lbl_Grupo", "text", "Group:"},
        {&plu, "Data1", "caption", "Code: 1/2"},
        {&plu, "cmdComparar", "toolTip", "Compare the codes with the indicator's"},
        {&recetas, "frmRecetas", "windowTitle", "Recipes"},
        {&recetas, "cmdActualizar", "text", "Update"},
        {&recetas, "Lbl_Titulo_2", "text", "Name"},
        {&recetas, "Data1_Caption", "text", recetas1},
    };
    for (const auto& c : casos)
        EXPECT_EQ(Propiedad(*c.ventana, c.control, c.propiedad), c.ingles)
            << c.control << "." << c.propiedad;
}

}  // namespace
