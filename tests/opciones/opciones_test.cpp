// The options dialog offscreen: what accepting stores, Mirto and the automatic download, the
// format warning, Cancel, a value it cannot show, the port mapping; and the password rules.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

#include "app/Opciones.h"
#include "app/ui/FrmOptions.h"
#include "settings/Config.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"

namespace {

template <typename W>
W* Control(QWidget& v, const char* nombre) {
    W* w = v.findChild<W*>(QString::fromLatin1(nombre));
    EXPECT_NE(w, nullptr) << nombre;
    return w;
}

// "clave=valor clave=valor" against [Global].
void ComprobarGlobal(const char* esperado) {
    for (const QString& par : QString::fromLatin1(esperado).split(u' '))
        EXPECT_EQ(LeerConfig("Global", par.section(u'=', 0, 0), "<falta>"), par.section(u'=', 1))
            << par.toStdString();
}

class Opciones : public ::testing::Test {
  protected:
    void Aceptar(frmOptions& v) { Control<QPushButton>(v, "cmdOK")->click(); }

    CarpetaTemporal carpeta_;
    InteraccionGuion guion_;
};

// The stored values come back; a device detected for the chosen port is stored with them.
TEST_F(Opciones, LosValoresGuardadosVuelvenYApagarLaDescargaAutomaticaBorraLaDelInicio) {
    carpeta_.escribir(
        "bascora.ini",
        "[Global]\r\nID_1=17.\r\nDecimales_1=3.\r\nComm_1=4.\r\nBaudios_1=1.\r\n"
        "Comunicacion_1=1.\r\nHost_1=127.0.0.1.\r\nPort_1=502.\r\nInicioBajar=1.\r\n"
        "InicioAuto=1.\r\nHora=7.\r\nMinuto=5.\r\nFormatoExcel=0.\r\n"
        "[Opciones]\r\nRuta=/tmp/x.\r\nSeparador=59.\r\n[Puertos]\r\n2=/dev/ttyACM0.\r\n");
    frmOptions v(nullptr, &guion_);
    v.show();
    Control<QComboBox>(v, "ListaPuerto")->setCurrentIndex(2);
    carpeta_.escribir("impresora", "");  // readable and writable
    v.AsignarDispositivo(carpeta_.ruta("impresora"));
    Control<QRadioButton>(v, "optSerie")->click();
    Control<QCheckBox>(v, "Chk_InicioAuto")->click();  // off clears the download at start
    Control<QCheckBox>(v, "Chk_InicioAuto")->click();
    Control<QScrollBar>(v, "HScrollId0")->setValue(200);
    Aceptar(v);
    EXPECT_TRUE(guion_.mensajes.isEmpty());
    EXPECT_EQ(LeerConfig("Puertos", "3", ""), carpeta_.ruta("impresora"));
    EXPECT_EQ(LeerConfig("Puertos", "2", ""), "/dev/ttyACM0");
    ComprobarGlobal(
        "Comunicacion_1=0 ID_1=200 Decimales_1=3 Comm_1=3 Baudios_1=1 "
        "Host_1=127.0.0.1 Port_1=502 InicioAuto=1 InicioBajar=0 Hora=7 Minuto=5 "
        "FormatoExcel=0");
    EXPECT_EQ(LeerConfig("Opciones", "Separador", ""), "59");
    EXPECT_EQ(LeerConfig("Opciones", "Ruta", ""), "/tmp/x");
}

TEST_F(Opciones, MirtoBorraLaDescargaAutomaticaYBloqueaLaSegundaPestana) {
    // Chosen in the dialog, or a hand-edited file asking for the automatic download with Mirto.
    for (const bool enArchivo : {false, true}) {
        carpeta_.escribir("bascora.ini",
                          QByteArray("[Global]\r\nInicioAuto=1.\r\nInicioBajar=1.\r\n") +
                              (enArchivo ? "Indicador_1=1.\r\n" : ""));
        frmOptions v(nullptr, &guion_);
        if (!enArchivo) Control<QRadioButton>(v, "OptIndicador_1")->click();
        EXPECT_FALSE(Control<QTabWidget>(v, "SSTab1")->isTabEnabled(1));
        Aceptar(v);
        ComprobarGlobal("Indicador_1=1 InicioAuto=0 InicioBajar=0");
    }
}

TEST_F(Opciones, SinFormatoAvisaYNoGuardaYCancelarNoGuardaNada) {
    frmOptions sinFormato(nullptr, &guion_);
    sinFormato.show();
    for (const char* c : {"chkFormato_0", "chkFormato_1", "chkFormato_2"})
        Control<QCheckBox>(sinFormato, c)->setChecked(false);
    Aceptar(sinFormato);
    EXPECT_TRUE(sinFormato.isVisible());
    EXPECT_EQ(guion_.mensajes.size(), 1);
    frmOptions v(nullptr, &guion_);
    Control<QRadioButton>(v, "OptIndicador_1")->click();
    v.AsignarDispositivo("/dev/ttyUSB7");
    Control<QPushButton>(v, "cmdCancel")->click();
    EXPECT_EQ(v.result(), QDialog::Rejected);
    EXPECT_FALSE(QFile::exists(carpeta_.ruta("bascora.ini")));
}

// A value the dialog cannot show closes it naming the setting; the link's 19200 (code 4, the
// value a new data folder gets) is shown.
TEST_F(Opciones, UnValorQueElDialogoNoPuedeMostrarLoCierraNombrandoElAjuste) {
    for (const char* ajuste : {"Baudios_1=4.", "Comm_1=9.", "Baudios_1=6.", "Minuto=-1."}) {
        carpeta_.escribir("bascora.ini", "[Global]\r\n" + QByteArray(ajuste) + "\r\n");
        guion_.mensajes.clear();
        frmOptions v(nullptr, &guion_);
        const bool abre = QByteArray(ajuste) == "Baudios_1=4.";
        EXPECT_EQ(v.FalloAlCargar(), !abre) << ajuste;
        if (abre) continue;
        EXPECT_EQ(v.exec(), QDialog::Rejected) << ajuste;
        ASSERT_EQ(guion_.mensajes.size(), 1) << ajuste;
        EXPECT_TRUE(guion_.mensajes[0].texto.contains(QString::fromLatin1(ajuste).chopped(1)))
            << guion_.mensajes[0].texto.toStdString();
    }
}

// A device the user may not open names the group to join.
TEST_F(Opciones, SinPermisoNombraElGrupo) {
    if (::geteuid() == 0) GTEST_SKIP() << "root opens every device";
    const QString cerrado = carpeta_.ruta("cerrado");
    carpeta_.escribir("cerrado", "");
    QFile::setPermissions(cerrado, QFileDevice::ReadOwner);
    QString grupo;
    EXPECT_FALSE(PuertoAccesible(cerrado, &grupo));
    EXPECT_NE(grupo, "root");
    frmOptions v(nullptr, &guion_);
    v.AsignarDispositivo(cerrado);
    ASSERT_EQ(guion_.mensajes.size(), 1);
    EXPECT_FALSE(grupo.isEmpty());
    EXPECT_TRUE(guion_.mensajes[0].texto.contains(grupo) &&
                guion_.mensajes[0].texto.contains(cerrado));
}

TEST_F(Opciones, BlancosNoSonContrasenaYLaComparacionIgnoraMayusculas) {
    const struct {
        const char* pass;  // nullptr: no key
        bool hay;
        const char* tecleada;
        bool correcta;
    } casos[] = {{nullptr, false, "", true},
                 {"   ", false, "", true},
                 {"clave", true, "clave ", false},
                 {"ñandú", true, "ÑANDÚ", true}};
    for (const auto& c : casos) {
        carpeta_.escribir("bascora.ini", QByteArray());
        if (c.pass) GuardarConfig("Opciones", "PASS", QString::fromUtf8(c.pass));
        EXPECT_EQ(HayContrasena(), c.hay) << (c.pass ? c.pass : "-");
        EXPECT_EQ(ContrasenaCorrecta(QString::fromUtf8(c.tecleada)), c.correcta) << c.tecleada;
    }
}

}  // namespace
