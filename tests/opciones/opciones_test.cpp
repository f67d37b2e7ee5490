// The options dialog offscreen: what accepting stores from the settings file, Mirto and the
// automatic download, the format warning, Cancel, the loading failure, the port mapping; and the
// password rules with the prompt (its Cancel is run from the main window).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
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

// What accepting the untouched dialog over an empty settings file stores, in this order.
const char* const kGuardadoPorDefecto =
    "Indicador_1=2 ID_1=0 Decimales_1=0 Comm_1=1 Baudios_1=3 Comunicacion_1=0 "
    "Host_1=192.168.1.100 Port_1=1000 InicioBajar=0 InicioAuto=0 Hora=0 Minuto=0 "
    "FormatoAccess=1 FormatoExcel=1 ArchivoPlano=1 NombreExcel=1 NombreTXT=1";

// "clave=valor clave=valor" as pairs.
QList<std::pair<QString, QString>> Pares(const char* texto) {
    QList<std::pair<QString, QString>> r;
    for (const QString& par : QString::fromLatin1(texto).split(u' '))
        r.append({par.section(u'=', 0, 0), par.section(u'=', 1)});
    return r;
}

void ComprobarGlobal(const char* esperado) {
    for (const auto& [clave, valor] : Pares(esperado))
        EXPECT_EQ(LeerConfig("Global", clave, "<falta>"), valor) << clave.toStdString();
}

class Opciones : public ::testing::Test {
  protected:
    void Aceptar(frmOptions& v) { Control<QPushButton>(v, "cmdOK")->click(); }

    CarpetaTemporal carpeta_;
    InteraccionGuion guion_;
};

TEST_F(Opciones, ArchivoVacioGuardaLosValoresDelDialogoEnOrden) {
    frmOptions v(nullptr, &guion_);
    v.show();
    EXPECT_FALSE(v.FalloAlCargar());
    Aceptar(v);
    EXPECT_EQ(v.result(), QDialog::Accepted);
    EXPECT_TRUE(guion_.mensajes.isEmpty());
    ComprobarGlobal(kGuardadoPorDefecto);
    for (const char* clave : {"Ruta", "Extension", "Separador"})
        EXPECT_EQ(LeerConfig("Opciones", clave, "<falta>"), "") << clave;
    const QByteArray ini = carpeta_.leer("bascora.ini");
    qsizetype anterior = -1;
    for (const auto& [clave, valor] : Pares(kGuardadoPorDefecto)) {
        const qsizetype aqui = ini.indexOf(clave.toLatin1() + '=');
        EXPECT_GT(aqui, anterior) << clave.toStdString();
        anterior = aqui;
    }
    EXPECT_GT(ini.indexOf("[Opciones]"), anterior);
}

TEST_F(Opciones, LosValoresGuardadosVuelvenYApagarLaDescargaAutomaticaBorraLaDelInicio) {
    carpeta_.escribir("bascora.ini",
                      "[Global]\r\nID_1=17.\r\nDecimales_1=3.\r\nComm_1=4.\r\nBaudios_1=1.\r\n"
                      "Comunicacion_1=1.\r\nHost_1=127.0.0.1.\r\nPort_1=502.\r\nInicioBajar=1.\r\n"
                      "InicioAuto=1.\r\nHora=7.\r\nMinuto=5.\r\nFormatoExcel=0.\r\n"
                      "[Opciones]\r\nRuta=/tmp/x.\r\nSeparador=59.\r\n");
    frmOptions v(nullptr, &guion_);
    v.show();
    Control<QRadioButton>(v, "optSerie")->click();
    Control<QCheckBox>(v, "Chk_InicioAuto")->click();
    EXPECT_FALSE(Control<QCheckBox>(v, "Chk_InicioBajar")->isChecked());
    Control<QCheckBox>(v, "Chk_InicioAuto")->click();
    Control<QScrollBar>(v, "HScrollId0")->setValue(200);
    Aceptar(v);
    ComprobarGlobal(
        "Comunicacion_1=0 ID_1=200 Decimales_1=3 Comm_1=4 Baudios_1=1 "
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
        v.show();
        if (!enArchivo) Control<QRadioButton>(v, "OptIndicador_1")->click();
        EXPECT_FALSE(Control<QTabWidget>(v, "SSTab1")->isTabEnabled(1));
        Aceptar(v);
        ComprobarGlobal("Indicador_1=1 InicioAuto=0 InicioBajar=0");
    }
}

TEST_F(Opciones, SinFormatoAvisaYNoGuardaYCancelarNoGuardaNada) {
    {
        frmOptions v(nullptr, &guion_);
        v.show();
        for (const char* c : {"chkFormato_0", "chkFormato_1", "chkFormato_2"})
            Control<QCheckBox>(v, c)->setChecked(false);
        Aceptar(v);
        EXPECT_TRUE(v.isVisible());
        ASSERT_EQ(guion_.mensajes.size(), 1);
        EXPECT_EQ(guion_.mensajes[0].texto, "Debe elgir un formato de datos.");
        EXPECT_FALSE(QFile::exists(carpeta_.ruta("bascora.ini")));
    }
    frmOptions v(nullptr, &guion_);
    v.show();
    Control<QRadioButton>(v, "OptIndicador_1")->click();
    v.AsignarDispositivo("/dev/ttyUSB7");
    Control<QPushButton>(v, "cmdCancel")->click();
    EXPECT_EQ(v.result(), QDialog::Rejected);
    EXPECT_FALSE(QFile::exists(carpeta_.ruta("bascora.ini")));
}

TEST_F(Opciones, LaVelocidadDelEnlacePorDefectoSeMuestra) {
    carpeta_.escribir("bascora.ini", "[Global]\r\nBaudios_1=4.\r\n");  // 19200, as shipped
    ValoresOpciones v;
    QString error;
    ASSERT_TRUE(LeerOpciones(&v, &error)) << error.toStdString();
    EXPECT_EQ(v.Baudios, 4);
}

TEST_F(Opciones, UnValorQueElDialogoNoPuedeMostrarLoCierraNombrandoElAjuste) {
    for (const char* ajuste :
         {"Comm_1=9.", "Baudios_1=6.", "Hora=24.", "ID_1=256.", "Minuto=-1."}) {
        carpeta_.escribir("bascora.ini", "[Global]\r\n" + QByteArray(ajuste) + "\r\n");
        guion_.mensajes.clear();
        frmOptions v(nullptr, &guion_);
        EXPECT_EQ(v.exec(), QDialog::Rejected) << ajuste;
        ASSERT_EQ(guion_.mensajes.size(), 1) << ajuste;
        EXPECT_TRUE(guion_.mensajes[0].texto.startsWith("No se encuentra data.mdb."));
        EXPECT_TRUE(guion_.mensajes[0].texto.contains(QString::fromLatin1(ajuste).chopped(1)))
            << guion_.mensajes[0].texto.toStdString();
    }
}

TEST_F(Opciones, DetectarAsignaElDispositivoAlComElegidoYSeGuardaAlAceptar) {
    carpeta_.escribir("bascora.ini", "[Puertos]\r\n2=/dev/ttyACM0.\r\n");
    frmOptions v(nullptr, &guion_);
    v.show();
    auto* lista = Control<QComboBox>(v, "ListaPuerto");
    EXPECT_TRUE(lista->itemText(1).endsWith("/dev/ttyACM0"));
    lista->setCurrentIndex(2);
    const QString dispositivo = carpeta_.ruta("impresora");  // readable and writable
    carpeta_.escribir("impresora", "");
    v.AsignarDispositivo(dispositivo);
    EXPECT_TRUE(guion_.mensajes.isEmpty());
    EXPECT_TRUE(lista->currentText().endsWith(dispositivo));
    Aceptar(v);
    EXPECT_EQ(LeerConfig("Puertos", "3", ""), dispositivo);
    EXPECT_EQ(LeerConfig("Puertos", "2", ""), "/dev/ttyACM0");
    ComprobarGlobal("Comm_1=3");
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
    const QString enlace = carpeta.ruta("by-id/usb-Fabrica_Adaptador_123-if00-port0");
    ASSERT_TRUE(QFile::link(carpeta.ruta("ttyFalso0"), enlace));
    const QList<PuertoSerie> puertos = PuertosPresentes(carpeta.ruta("by-id"));
    const auto it = std::find_if(puertos.cbegin(), puertos.cend(), [&](const PuertoSerie& p) {
        return p.sistema == carpeta.ruta("ttyFalso0");
    });
    ASSERT_NE(it, puertos.cend());
    EXPECT_EQ(it->ruta, enlace);
    EXPECT_TRUE(it->accesible);
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
        {nullptr, false, "", true},       {"   ", false, "", true},
        {"ClAvE", true, "clave", true},   {"CLAVE", true, "clave", true},
        {"clave", true, "clave ", false}, {"clave", true, "", false},
        {"ñandú", true, "ÑANDÚ", true},
    };
    for (const Caso& c : casos) {
        carpeta.escribir("bascora.ini", c.pass
                                            ? "[Opciones]\r\nPASS=" + QByteArray(c.pass) + ".\r\n"
                                            : QByteArray());
        if (c.pass && QByteArray(c.pass).contains("\xc3"))  // stored as Windows-1252
            GuardarConfig("Opciones", "PASS", QString::fromUtf8(c.pass));
        EXPECT_EQ(HayContrasena(), c.hay) << (c.pass ? c.pass : "-");
        EXPECT_EQ(ContrasenaCorrecta(QString::fromUtf8(c.tecleada)), c.correcta) << c.tecleada;
    }
}

TEST(Contrasena, ElPromptReintentaSinLimite) {
    CarpetaTemporal carpeta;
    GuardarConfig("Opciones", "PASS", "secreto");
    InteraccionGuion guion;
    frmLogin1 login(nullptr, &guion);
    login.show();
    auto* caja = Control<QLineEdit>(login, "txtPassword");
    for (int intento = 0; intento < 5; ++intento) {
        caja->setText("otra");
        Control<QPushButton>(login, "cmdOK")->click();
        EXPECT_TRUE(login.isVisible());
        EXPECT_FALSE(login.Aceptado);
    }
    ASSERT_EQ(guion.mensajes.size(), 5);
    EXPECT_EQ(guion.mensajes[0].texto, "Contraseña incorrecta. Vuelva a intentarlo");
    caja->setText("SECRETO");
    Control<QPushButton>(login, "cmdOK")->click();
    EXPECT_TRUE(login.Aceptado);
}

}  // namespace
