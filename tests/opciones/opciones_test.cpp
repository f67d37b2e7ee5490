// The options dialog offscreen: what it shows from the settings file, what accepting stores, its
// click rules, the format warning, Cancel, the loading failure, the port mapping; and the
// password rules with the prompt.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

#include "app/Opciones.h"
#include "app/ui/FrmLogin1.h"
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

QString Global(const char* clave) {
    return LeerConfig("Global", clave, "<falta>");
}

// What accepting the untouched dialog over an empty settings file stores, section by section.
const QList<std::pair<const char*, const char*>> kGuardadoPorDefecto = {
    {"Indicador_1", "2"},
    {"ID_1", "0"},
    {"Decimales_1", "0"},
    {"Comm_1", "1"},
    {"Baudios_1", "3"},
    {"Comunicacion_1", "0"},
    {"Host_1", "192.168.1.100"},
    {"Port_1", "1000"},
    {"InicioBajar", "0"},
    {"InicioAuto", "0"},
    {"Hora", "0"},
    {"Minuto", "0"},
    {"FormatoAccess", "1"},
    {"FormatoExcel", "1"},
    {"ArchivoPlano", "1"},
    {"NombreExcel", "1"},
    {"NombreTXT", "1"},
};

class Opciones : public ::testing::Test {
  protected:
    CarpetaTemporal carpeta_;
    InteraccionGuion guion_;
};

TEST_F(Opciones, ArchivoVacioMuestraLosValoresDelDialogoYAceptarLosGuardaEnOrden) {
    frmOptions v(nullptr, &guion_);
    v.show();
    EXPECT_FALSE(v.FalloAlCargar());
    EXPECT_TRUE(Control<QRadioButton>(v, "OptIndicador_2")->isChecked());
    EXPECT_EQ(Control<QScrollBar>(v, "HScrollId0")->value(), 0);
    EXPECT_EQ(Control<QLabel>(v, "LabelId0")->text(), "0");
    EXPECT_EQ(Control<QLabel>(v, "Label_DB")->text(), "0");
    EXPECT_TRUE(Control<QComboBox>(v, "ListaPuerto")->currentText().startsWith("Com1 "));
    EXPECT_TRUE(Control<QComboBox>(v, "ListaPuerto")->currentText().endsWith("/dev/ttyS0"));
    EXPECT_EQ(Control<QComboBox>(v, "ListaPuerto")->count(), 8);
    EXPECT_EQ(Control<QComboBox>(v, "ListaBaudios")->currentText(), "9600");
    EXPECT_TRUE(Control<QRadioButton>(v, "optSerie")->isChecked());
    EXPECT_TRUE(Control<QComboBox>(v, "ListaPuerto")->isEnabled());
    EXPECT_FALSE(Control<QLineEdit>(v, "Txt_TCP_RemoteHost")->isEnabled());
    EXPECT_EQ(Control<QLineEdit>(v, "Txt_TCP_RemoteHost")->text(), "192.168.1.100");
    EXPECT_EQ(Control<QLineEdit>(v, "Txt_TCP_RemotePort")->text(), "1000");
    EXPECT_FALSE(Control<QCheckBox>(v, "Chk_InicioAuto")->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(v, "Chk_InicioBajar")->isEnabled());
    EXPECT_FALSE(Control<QComboBox>(v, "ListaHora")->isEnabled());
    EXPECT_EQ(Control<QComboBox>(v, "ListaHora")->currentText(), "0");
    EXPECT_EQ(Control<QComboBox>(v, "ListaMinuto")->currentText(), "00");
    EXPECT_EQ(Control<QComboBox>(v, "ListaMinuto")->count(), 60);
    for (const char* c : {"chkFormato_0", "chkFormato_1", "chkFormato_2"})
        EXPECT_TRUE(Control<QCheckBox>(v, c)->isChecked()) << c;
    EXPECT_EQ(Control<QLineEdit>(v, "txtExcel")->text(), "1");
    EXPECT_EQ(Control<QLineEdit>(v, "txtTexto")->text(), "1");
    // Only the selected tab's container is enabled.
    EXPECT_EQ(Control<QTabWidget>(v, "SSTab1")->currentIndex(), 0);
    EXPECT_TRUE(Control<QWidget>(v, "picOptions_0")->isEnabled());
    EXPECT_FALSE(Control<QWidget>(v, "picOptions_1")->isEnabled());
    Control<QTabWidget>(v, "SSTab1")->setCurrentIndex(1);
    EXPECT_FALSE(Control<QWidget>(v, "picOptions_0")->isEnabled());
    EXPECT_TRUE(Control<QWidget>(v, "picOptions_1")->isEnabled());

    Control<QPushButton>(v, "cmdOK")->click();
    EXPECT_EQ(v.result(), QDialog::Accepted);
    EXPECT_TRUE(guion_.mensajes.isEmpty());
    for (const auto& [clave, valor] : kGuardadoPorDefecto) EXPECT_EQ(Global(clave), valor) << clave;
    for (const char* clave : {"Ruta", "Extension", "Separador"})
        EXPECT_EQ(LeerConfig("Opciones", clave, "<falta>"), "") << clave;
    // Stored in the order of the table, model first.
    const QByteArray ini = carpeta_.leer("bascora.ini");
    qsizetype anterior = -1;
    for (const auto& [clave, valor] : kGuardadoPorDefecto) {
        const qsizetype aqui = ini.indexOf(QByteArray(clave) + '=');
        EXPECT_GT(aqui, anterior) << clave;
        anterior = aqui;
    }
    EXPECT_GT(ini.indexOf("[Opciones]"), anterior);
}

TEST_F(Opciones, LosValoresGuardadosVuelvenYLasReglasDeClicHabilitanLoQueCorresponde) {
    carpeta_.escribir("bascora.ini",
                      "[Global]\r\nID_1=17.\r\nDecimales_1=3.\r\nComm_1=4.\r\nBaudios_1=1.\r\n"
                      "Comunicacion_1=1.\r\nHost_1=127.0.0.1.\r\nPort_1=502.\r\nInicioBajar=1.\r\n"
                      "InicioAuto=1.\r\nHora=7.\r\nMinuto=5.\r\nFormatoExcel=0.\r\n"
                      "[Opciones]\r\nRuta=/tmp/x.\r\nSeparador=59.\r\n");
    frmOptions v(nullptr, &guion_);
    v.show();
    EXPECT_EQ(Control<QLabel>(v, "LabelId0")->text(), "17");
    EXPECT_EQ(Control<QLabel>(v, "Label_DB")->text(), "3");
    EXPECT_TRUE(Control<QComboBox>(v, "ListaPuerto")->currentText().startsWith("Com4 "));
    EXPECT_EQ(Control<QComboBox>(v, "ListaBaudios")->currentText(), "2400");
    EXPECT_TRUE(Control<QRadioButton>(v, "optTCP")->isChecked());
    EXPECT_FALSE(Control<QGroupBox>(v, "fraSerie")->isEnabled());
    EXPECT_TRUE(Control<QLineEdit>(v, "Txt_TCP_RemotePort")->isEnabled());
    EXPECT_TRUE(Control<QCheckBox>(v, "Chk_InicioBajar")->isChecked());
    EXPECT_TRUE(Control<QComboBox>(v, "ListaMinuto")->isEnabled());
    EXPECT_EQ(Control<QComboBox>(v, "ListaHora")->currentText(), "7");
    EXPECT_EQ(Control<QComboBox>(v, "ListaMinuto")->currentText(), "05");
    EXPECT_FALSE(Control<QCheckBox>(v, "chkFormato_1")->isChecked());

    // Back to the serial line; the automatic download off clears the download-at-start box.
    Control<QRadioButton>(v, "optSerie")->click();
    EXPECT_TRUE(Control<QComboBox>(v, "ListaBaudios")->isEnabled());
    EXPECT_FALSE(Control<QLabel>(v, "LblHost")->isEnabled());
    Control<QCheckBox>(v, "Chk_InicioAuto")->click();
    EXPECT_FALSE(Control<QCheckBox>(v, "Chk_InicioBajar")->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(v, "Chk_InicioBajar")->isEnabled());
    EXPECT_FALSE(Control<QLabel>(v, "Label1_0")->isEnabled());
    Control<QCheckBox>(v, "Chk_InicioAuto")->click();
    EXPECT_TRUE(Control<QCheckBox>(v, "Chk_InicioBajar")->isEnabled());
    Control<QScrollBar>(v, "HScrollId0")->setValue(200);
    EXPECT_EQ(Control<QLabel>(v, "LabelId0")->text(), "200");

    Control<QPushButton>(v, "cmdOK")->click();
    EXPECT_EQ(Global("Comunicacion_1"), "0");
    EXPECT_EQ(Global("ID_1"), "200");
    EXPECT_EQ(Global("InicioAuto"), "1");
    EXPECT_EQ(Global("InicioBajar"), "0");
    EXPECT_EQ(Global("Minuto"), "5");
    EXPECT_EQ(Global("Baudios_1"), "1");
    EXPECT_EQ(Global("FormatoExcel"), "0");
    EXPECT_EQ(LeerConfig("Opciones", "Separador", ""), "59");
}

TEST_F(Opciones, MirtoOcultaYBorraLaDescargaAutomaticaYBloqueaLaSegundaPestana) {
    // Also a hand-edited file asking for the automatic download with Mirto: it is cleared.
    for (const QByteArray& ini :
         {QByteArray("[Global]\r\nInicioAuto=1.\r\nInicioBajar=1.\r\n"),
          QByteArray("[Global]\r\nIndicador_1=1.\r\nInicioAuto=1.\r\nInicioBajar=1.\r\n")}) {
        carpeta_.escribir("bascora.ini", ini);
        frmOptions v(nullptr, &guion_);
        v.show();
        if (ini.contains("Indicador_1")) {
            EXPECT_TRUE(Control<QRadioButton>(v, "OptIndicador_1")->isChecked());
        } else {
            EXPECT_TRUE(Control<QCheckBox>(v, "Chk_InicioAuto")->isChecked());
            Control<QRadioButton>(v, "OptIndicador_1")->click();
        }
        EXPECT_FALSE(Control<QGroupBox>(v, "FraAuditoria")->isVisible());
        EXPECT_FALSE(Control<QCheckBox>(v, "Chk_InicioAuto")->isChecked());
        EXPECT_FALSE(Control<QTabWidget>(v, "SSTab1")->isTabEnabled(1));
        Control<QPushButton>(v, "cmdOK")->click();
        EXPECT_EQ(Global("Indicador_1"), "1");
        EXPECT_EQ(Global("InicioAuto"), "0");
        EXPECT_EQ(Global("InicioBajar"), "0");
    }
    // Vela again makes the tab and the frame available.
    frmOptions v(nullptr, &guion_);
    v.show();
    Control<QRadioButton>(v, "OptIndicador_2")->click();
    EXPECT_TRUE(Control<QGroupBox>(v, "FraAuditoria")->isVisible());
    EXPECT_TRUE(Control<QTabWidget>(v, "SSTab1")->isTabEnabled(1));
}

TEST_F(Opciones, SinFormatoAvisaYNoGuardaYCancelarNoGuardaNada) {
    {
        frmOptions v(nullptr, &guion_);
        v.show();
        for (const char* c : {"chkFormato_0", "chkFormato_1", "chkFormato_2"})
            Control<QCheckBox>(v, c)->setChecked(false);
        Control<QPushButton>(v, "cmdOK")->click();
        EXPECT_TRUE(v.isVisible());
        ASSERT_EQ(guion_.mensajes.size(), 1);
        EXPECT_EQ(guion_.mensajes[0].texto, "Debe elgir un formato de datos.");
        EXPECT_EQ(guion_.mensajes[0].icono, Icono::Informacion);
        EXPECT_FALSE(QFile::exists(carpeta_.ruta("bascora.ini")));
    }
    {
        frmOptions v(nullptr, &guion_);
        v.show();
        Control<QRadioButton>(v, "OptIndicador_1")->click();
        v.AsignarDispositivo("/dev/ttyUSB7");
        Control<QPushButton>(v, "cmdCancel")->click();
        EXPECT_EQ(v.result(), QDialog::Rejected);
        EXPECT_FALSE(QFile::exists(carpeta_.ruta("bascora.ini")));
    }
}

TEST_F(Opciones, UnValorQueElDialogoNoPuedeMostrarLoCierraNombrandoElAjuste) {
    for (const char* ajuste :
         {"Comm_1=9.", "Baudios_1=4.", "Hora=24.", "ID_1=256.", "Minuto=-1."}) {
        carpeta_.escribir("bascora.ini", "[Global]\r\n" + QByteArray(ajuste) + "\r\n");
        guion_.mensajes.clear();
        frmOptions v(nullptr, &guion_);
        EXPECT_TRUE(v.FalloAlCargar()) << ajuste;
        EXPECT_EQ(v.exec(), QDialog::Rejected);
        ASSERT_EQ(guion_.mensajes.size(), 1) << ajuste;
        EXPECT_TRUE(guion_.mensajes[0].texto.startsWith("No se encuentra data.mdb."));
        const QString valor = QString::fromLatin1(ajuste).chopped(1);
        EXPECT_TRUE(guion_.mensajes[0].texto.contains(valor))
            << guion_.mensajes[0].texto.toStdString();
        EXPECT_EQ(guion_.mensajes[0].icono, Icono::Error);
    }
}

TEST_F(Opciones, DetectarAsignaElDispositivoAlComElegidoYSeGuardaAlAceptar) {
    carpeta_.escribir("bascora.ini", "[Puertos]\r\n2=/dev/ttyACM0.\r\n");
    frmOptions v(nullptr, &guion_);
    v.show();
    auto* lista = Control<QComboBox>(v, "ListaPuerto");
    EXPECT_TRUE(lista->itemText(1).endsWith("/dev/ttyACM0"));
    EXPECT_TRUE(lista->itemText(7).endsWith("/dev/ttyS7"));
    lista->setCurrentIndex(2);
    const QString dispositivo = carpeta_.ruta("impresora");  // readable and writable
    carpeta_.escribir("impresora", "");
    v.AsignarDispositivo(dispositivo);
    EXPECT_TRUE(guion_.mensajes.isEmpty());
    EXPECT_EQ(lista->currentIndex(), 2);
    EXPECT_TRUE(lista->currentText().endsWith(dispositivo));
    Control<QPushButton>(v, "cmdOK")->click();
    EXPECT_EQ(LeerConfig("Puertos", "3", ""), dispositivo);
    EXPECT_EQ(LeerConfig("Puertos", "2", ""), "/dev/ttyACM0");
    EXPECT_EQ(Global("Comm_1"), "3");
}

TEST(PuertosSerie, SinPermisoNombraElGrupoParaUnirse) {
    if (::geteuid() == 0) GTEST_SKIP() << "root opens every device";
    CarpetaTemporal carpeta;
    carpeta.escribir("cerrado", "");
    QFile::setPermissions(carpeta.ruta("cerrado"), QFileDevice::ReadOwner);
    QString grupo;
    EXPECT_FALSE(PuertoAccesible(carpeta.ruta("cerrado"), &grupo));
    EXPECT_FALSE(grupo.isEmpty());
    EXPECT_NE(grupo, "root");
    carpeta.escribir("abierto", "");
    EXPECT_TRUE(PuertoAccesible(carpeta.ruta("abierto"), &grupo));

    InteraccionGuion guion;
    frmOptions v(nullptr, &guion);
    v.show();
    v.AsignarDispositivo(carpeta.ruta("cerrado"));
    ASSERT_EQ(guion.mensajes.size(), 1);
    EXPECT_TRUE(guion.mensajes[0].texto.contains(grupo));
    EXPECT_TRUE(guion.mensajes[0].texto.contains(carpeta.ruta("cerrado")));
}

TEST(PuertosSerie, LosNombresByIdSeOfrecenConElDispositivoAlQueApuntan) {
    CarpetaTemporal carpeta;
    QDir().mkpath(carpeta.ruta("by-id"));
    carpeta.escribir("ttyFalso0", "");
    ASSERT_TRUE(QFile::link(carpeta.ruta("ttyFalso0"),
                            carpeta.ruta("by-id/usb-Fabrica_Adaptador_123-if00-port0")));
    const QList<PuertoSerie> puertos = PuertosPresentes(carpeta.ruta("by-id"));
    const auto it = std::find_if(puertos.cbegin(), puertos.cend(), [&](const PuertoSerie& p) {
        return p.sistema == carpeta.ruta("ttyFalso0");
    });
    ASSERT_NE(it, puertos.cend());
    EXPECT_EQ(it->ruta, carpeta.ruta("by-id/usb-Fabrica_Adaptador_123-if00-port0"));
    EXPECT_TRUE(it->accesible);
    EXPECT_TRUE(PuertosPresentes(carpeta.ruta("no-hay")).size() < puertos.size());
}

TEST(Contrasena, BlancosNoSonContrasenaYLaComparacionIgnoraMayusculas) {
    CarpetaTemporal carpeta;
    struct Caso {
        const char* pass;  // nullptr: no key
        bool hay;
        const char* tecleada;
        bool correcta;
    };
    const Caso casos[] = {
        {nullptr, false, "", true},     {"   ", false, "", true},
        {"clave", true, "CLAVE", true}, {"ClAvE", true, "clave", true},
        {"CLAVE", true, "clave", true}, {"clave", true, "clave ", false},
        {"clave", true, "", false},     {"ñandú", true, "ÑANDÚ", true},
    };
    for (const Caso& c : casos) {
        carpeta.escribir("bascora.ini", c.pass
                                            ? "[Opciones]\r\nPASS=" + QByteArray(c.pass) + ".\r\n"
                                            : QByteArray());
        if (c.pass && QByteArray(c.pass).contains("\xc3"))
            GuardarConfig("Opciones", "PASS", QString::fromUtf8(c.pass));
        EXPECT_EQ(HayContrasena(), c.hay) << (c.pass ? c.pass : "-");
        EXPECT_EQ(ContrasenaCorrecta(QString::fromUtf8(c.tecleada)), c.correcta) << c.tecleada;
    }
}

TEST(Contrasena, ElPromptReintentaSinLimiteYCancelarNoAcepta) {
    CarpetaTemporal carpeta;
    GuardarConfig("Opciones", "PASS", "secreto");
    InteraccionGuion guion;
    frmLogin1 login(nullptr, &guion);
    login.show();
    auto* caja = Control<QLineEdit>(login, "txtPassword");
    EXPECT_EQ(caja->echoMode(), QLineEdit::Password);
    for (int intento = 0; intento < 5; ++intento) {
        caja->setText("otra");
        Control<QPushButton>(login, "cmdOK")->click();
        EXPECT_TRUE(login.isVisible());
        EXPECT_FALSE(login.Aceptado);
        EXPECT_EQ(caja->selectedText(), "otra");
    }
    ASSERT_EQ(guion.mensajes.size(), 5);
    EXPECT_EQ(guion.mensajes[0].texto, "Contraseña incorrecta. Vuelva a intentarlo");
    EXPECT_EQ(guion.mensajes[0].titulo, "Inicio de sesión");
    caja->setText("SECRETO");
    Control<QPushButton>(login, "cmdOK")->click();
    EXPECT_TRUE(login.Aceptado);
    EXPECT_FALSE(login.isVisible());

    frmLogin1 otro(nullptr, &guion);
    otro.show();
    Control<QLineEdit>(otro, "txtPassword")->setText("secreto");
    Control<QPushButton>(otro, "cmdCancel")->click();
    EXPECT_FALSE(otro.Aceptado);
    EXPECT_FALSE(otro.isVisible());
}

}  // namespace
