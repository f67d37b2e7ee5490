#include "app/ui/FrmOptions.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/CargadorEtiquetas.h"
#include "app/Recursos.h"
#include "app/ui/InteraccionVentanas.h"
#include "app/ui/Trabajo.h"
#include "link/Transporte.h"
#include "settings/Idioma.h"

namespace {

template <typename W>
W* Nuevo(QWidget* padre, const QString& nombre) {
    auto* w = new W(padre);
    w->setObjectName(nombre);
    return w;
}

void Habilitar(std::initializer_list<QWidget*> controles, bool habilitar) {
    for (QWidget* w : controles) w->setEnabled(habilitar);
}

QScrollBar* NuevaBarra(QWidget* padre, const QString& nombre, int maximo) {
    auto* barra = Nuevo<QScrollBar>(padre, nombre);
    barra->setOrientation(Qt::Horizontal);
    barra->setRange(0, maximo);
    barra->setMinimumWidth(barra->fontMetrics().averageCharWidth() * 20);
    return barra;
}

}  // namespace

frmOptions::frmOptions(QWidget* padre, Interaccion* interaccion)
    : QDialog(padre), interaccion_(interaccion) {
    setObjectName(QStringLiteral("frmOptions"));
    if (!interaccion_) {
        interaccionPropia_ = std::make_unique<InteraccionVentanas>(this);
        interaccion_ = interaccionPropia_.get();
    }

    SSTab1 = Nuevo<QTabWidget>(this, QStringLiteral("SSTab1"));
    for (int i = 0; i < 2; ++i) {
        picOptions[i] = Nuevo<QWidget>(SSTab1, QStringLiteral("picOptions_%1").arg(i));
        SSTab1->addTab(picOptions[i], QString());
    }
    CrearPestanaComunicaciones(picOptions[0]);
    CrearPestanaConfiguracion(picOptions[1]);

    cmdOK = Nuevo<QPushButton>(this, QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = Nuevo<QPushButton>(this, QStringLiteral("cmdCancel"));
    auto* botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(cmdOK);
    botones->addWidget(cmdCancel);
    auto* principal = new QVBoxLayout(this);
    principal->addWidget(SSTab1);
    principal->addLayout(botones);

    PonerTextos();

    connect(SSTab1, &QTabWidget::currentChanged, this, &frmOptions::SSTab1_Click);
    connect(OptIndicador[1], &QRadioButton::clicked, this, [this] { OptIndicador_Click(1); });
    connect(OptIndicador[2], &QRadioButton::clicked, this, [this] { OptIndicador_Click(2); });
    connect(optSerie, &QRadioButton::clicked, this, &frmOptions::optSerie_Click);
    connect(optTCP, &QRadioButton::clicked, this, &frmOptions::optTCP_Click);
    connect(Chk_InicioAuto, &QCheckBox::clicked, this, &frmOptions::Chk_InicioAuto_Click);
    connect(HScrollId0, &QScrollBar::valueChanged, LabelId0,
            [this](int v) { LabelId0->setText(QString::number(v)); });
    connect(HScroll_DB, &QScrollBar::valueChanged, Label_DB,
            [this](int v) { Label_DB->setText(QString::number(v)); });
    connect(cmdOK, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOptions::reject);
    connect(cmdCargar, &QPushButton::clicked, this, &frmOptions::cmdCargar_Click);
    connect(cmdDetectar, &QPushButton::clicked, this, &frmOptions::cmdDetectar_Click);
    connect(cmdCancelarEnvio, &QPushButton::clicked, this, [this] { cancelarEnvio_ = true; });

    ValoresOpciones v;
    if (LeerOpciones(&v, &errorCarga_)) {
        Cargar(v);
    } else {
        // The box needs the dialog's own loop; it comes up as soon as the dialog is shown.
        falloCarga_ = true;
    }
}

frmOptions::~frmOptions() {
    // The send uses this dialog's cancel flag: stop it and let it end before the flag goes.
    cancelarEnvio_ = true;
    if (envio_) envio_->esperar();
}

void frmOptions::CrearPestanaComunicaciones(QWidget* pagina) {
    FraIndicador = Nuevo<QGroupBox>(pagina, QStringLiteral("FraIndicador"));
    OptIndicador[1] = Nuevo<QRadioButton>(FraIndicador, QStringLiteral("OptIndicador_1"));
    OptIndicador[2] = Nuevo<QRadioButton>(FraIndicador, QStringLiteral("OptIndicador_2"));
    auto* capaIndicador = new QHBoxLayout(FraIndicador);
    capaIndicador->addWidget(OptIndicador[1]);
    capaIndicador->addWidget(OptIndicador[2]);
    capaIndicador->addStretch(1);

    Frame6 = Nuevo<QGroupBox>(pagina, QStringLiteral("Frame6"));
    for (int i = 0; i < 4; ++i)
        Label1[i] = Nuevo<QLabel>(pagina, QStringLiteral("Label1_%1").arg(i));
    HScrollId0 = NuevaBarra(Frame6, QStringLiteral("HScrollId0"), kIdMaximo);
    LabelId0 = Nuevo<QLabel>(Frame6, QStringLiteral("LabelId0"));
    HScroll_DB = NuevaBarra(Frame6, QStringLiteral("HScroll_DB"), kDecimalesMaximo);
    Label_DB = Nuevo<QLabel>(Frame6, QStringLiteral("Label_DB"));
    LabelId0->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")));
    LabelId0->setText(QStringLiteral("0"));
    Label_DB->setText(QStringLiteral("0"));
    auto* capaBalanza = new QGridLayout(Frame6);
    capaBalanza->addWidget(Label1[1], 0, 0);
    capaBalanza->addWidget(HScrollId0, 0, 1);
    capaBalanza->addWidget(LabelId0, 0, 2);
    capaBalanza->addWidget(Label1[2], 1, 0);
    capaBalanza->addWidget(HScroll_DB, 1, 1);
    capaBalanza->addWidget(Label_DB, 1, 2);
    capaBalanza->setColumnStretch(1, 1);

    optSerie = Nuevo<QRadioButton>(pagina, QStringLiteral("optSerie"));
    optTCP = Nuevo<QRadioButton>(pagina, QStringLiteral("optTCP"));
    auto* linea = new QButtonGroup(pagina);
    linea->addButton(optSerie);
    linea->addButton(optTCP);

    fraSerie = Nuevo<QGroupBox>(pagina, QStringLiteral("fraSerie"));
    LblPuerto = Nuevo<QLabel>(fraSerie, QStringLiteral("LblPuerto"));
    ListaPuerto = Nuevo<QComboBox>(fraSerie, QStringLiteral("ListaPuerto"));
    ListaPuerto->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cmdDetectar = Nuevo<QPushButton>(fraSerie, QStringLiteral("cmdDetectar"));
    LblBaudios = Nuevo<QLabel>(fraSerie, QStringLiteral("LblBaudios"));
    ListaBaudios = Nuevo<QComboBox>(fraSerie, QStringLiteral("ListaBaudios"));
    auto* capaSerie = new QGridLayout(fraSerie);
    capaSerie->addWidget(LblPuerto, 0, 0);
    capaSerie->addWidget(ListaPuerto, 0, 1);
    capaSerie->addWidget(cmdDetectar, 0, 2);
    capaSerie->addWidget(LblBaudios, 1, 0);
    capaSerie->addWidget(ListaBaudios, 1, 1);
    capaSerie->setColumnStretch(1, 1);

    FraTCP = Nuevo<QGroupBox>(pagina, QStringLiteral("FraTCP"));
    LblHost = Nuevo<QLabel>(FraTCP, QStringLiteral("LblHost"));
    Txt_TCP_RemoteHost = Nuevo<QLineEdit>(FraTCP, QStringLiteral("Txt_TCP_RemoteHost"));
    LblPort = Nuevo<QLabel>(FraTCP, QStringLiteral("LblPort"));
    Txt_TCP_RemotePort = Nuevo<QLineEdit>(FraTCP, QStringLiteral("Txt_TCP_RemotePort"));
    // Room for a whole IPv4 address or a host name.
    Txt_TCP_RemoteHost->setMinimumWidth(
        Txt_TCP_RemoteHost->fontMetrics().horizontalAdvance(QStringLiteral("255.255.255.255WW")));
    auto* capaTcp = new QFormLayout(FraTCP);
    capaTcp->addRow(LblHost, Txt_TCP_RemoteHost);
    capaTcp->addRow(LblPort, Txt_TCP_RemotePort);

    FraAuditoria = Nuevo<QGroupBox>(pagina, QStringLiteral("FraAuditoria"));
    Chk_InicioAuto = Nuevo<QCheckBox>(FraAuditoria, QStringLiteral("Chk_InicioAuto"));
    Chk_InicioBajar = Nuevo<QCheckBox>(FraAuditoria, QStringLiteral("Chk_InicioBajar"));
    ListaHora = Nuevo<QComboBox>(FraAuditoria, QStringLiteral("ListaHora"));
    ListaMinuto = Nuevo<QComboBox>(FraAuditoria, QStringLiteral("ListaMinuto"));
    auto* hora = new QHBoxLayout;
    hora->addWidget(Label1[0]);
    hora->addWidget(ListaHora);
    hora->addWidget(Label1[3]);
    hora->addWidget(ListaMinuto);
    hora->addStretch(1);
    auto* capaAuditoria = new QVBoxLayout(FraAuditoria);
    capaAuditoria->addWidget(Chk_InicioAuto);
    capaAuditoria->addWidget(Chk_InicioBajar);
    capaAuditoria->addLayout(hora);

    auto* lineas = new QHBoxLayout;
    lineas->addWidget(optSerie);
    lineas->addWidget(optTCP);
    lineas->addStretch(1);
    auto* enlaces = new QHBoxLayout;
    enlaces->addWidget(fraSerie, 1);
    enlaces->addWidget(FraTCP, 1);
    auto* capa = new QVBoxLayout(pagina);
    auto* arriba = new QHBoxLayout;
    arriba->addWidget(FraIndicador, 1);
    arriba->addWidget(Frame6, 1);
    capa->addLayout(arriba);
    capa->addLayout(lineas);
    capa->addLayout(enlaces);
    capa->addWidget(FraAuditoria);
    capa->addStretch(1);
}

void frmOptions::CrearPestanaConfiguracion(QWidget* pagina) {
    Frame12 = Nuevo<QGroupBox>(pagina, QStringLiteral("Frame12"));
    auto* capaFormatos = new QVBoxLayout(Frame12);
    for (int i = 0; i < 3; ++i) {
        chkFormato[i] = Nuevo<QCheckBox>(Frame12, QStringLiteral("chkFormato_%1").arg(i));
        capaFormatos->addWidget(chkFormato[i]);
    }

    Frame3 = Nuevo<QGroupBox>(pagina, QStringLiteral("Frame3"));
    const auto par = [this](QLabel** etiqueta, QLineEdit** caja, const char* nombre) {
        *etiqueta = Nuevo<QLabel>(Frame3, QStringLiteral("lbl%1").arg(QLatin1String(nombre)));
        *caja = Nuevo<QLineEdit>(Frame3, QStringLiteral("txt%1").arg(QLatin1String(nombre)));
        (*etiqueta)->setBuddy(*caja);
    };
    par(&lblRuta, &txtRuta, "Ruta");
    par(&lblExcel, &txtExcel, "Excel");
    par(&lblTexto, &txtTexto, "Texto");
    par(&lblExtension, &txtExtension, "Extension");
    par(&lblSeparador, &txtSeparador, "Separador");
    auto* capaArchivos = new QFormLayout(Frame3);
    capaArchivos->setRowWrapPolicy(QFormLayout::WrapLongRows);
    capaArchivos->addRow(lblRuta, txtRuta);
    capaArchivos->addRow(lblExcel, txtExcel);
    capaArchivos->addRow(lblTexto, txtTexto);
    capaArchivos->addRow(lblExtension, txtExtension);
    capaArchivos->addRow(lblSeparador, txtSeparador);

    cmdCargar = Nuevo<QPushButton>(pagina, QStringLiteral("cmdCargar"));
    ProgEtiqueta = Nuevo<QProgressBar>(pagina, QStringLiteral("ProgEtiqueta"));
    ProgEtiqueta->setRange(0, 100);
    cmdCancelarEnvio = Nuevo<QPushButton>(pagina, QStringLiteral("cmdCancelarEnvio"));
    ProgEtiqueta->hide();
    cmdCancelarEnvio->hide();
    auto* etiqueta = new QHBoxLayout;
    etiqueta->addWidget(cmdCargar);
    etiqueta->addWidget(ProgEtiqueta, 1);
    etiqueta->addWidget(cmdCancelarEnvio);
    etiqueta->addStretch(1);

    auto* capa = new QVBoxLayout(pagina);
    capa->addWidget(Frame12);
    capa->addWidget(Frame3);
    capa->addLayout(etiqueta);
    capa->addStretch(1);
}

void frmOptions::PonerTextos() {
    setWindowTitle(T("007001", "Opciones"));
    SSTab1->setTabText(0, T("007002", "Comunicaciones"));
    SSTab1->setTabText(1, T("007003", "Configuración"));
    FraIndicador->setTitle(T("007004", "Indicador"));
    OptIndicador[1]->setText(T("007005", "Mirto"));
    OptIndicador[2]->setText(T("007006", "Vela"));
    Frame6->setTitle(T("007007", "Balanza"));
    Label1[1]->setText(T("007008", "Id (ModBus):"));
    Label1[2]->setText(T("007009", "Decimales:"));
    optSerie->setText(T("007010", "Serie"));
    LblPuerto->setText(T("007011", "Puerto"));
    LblBaudios->setText(T("007012", "Baudios"));
    cmdDetectar->setText(T("007039", "Detectar..."));
    optTCP->setText(T("007013", "Ethernet (TCP/IP)"));
    LblHost->setText(T("007014", "Remote Host:"));
    LblPort->setText(T("007015", "Remote Port:"));
    FraAuditoria->setTitle(T("007016", "Descarga automática de la auditoria"));
    Chk_InicioAuto->setText(T("007017", "Abrir descarga automatica al iniciar Bascora"));
    Chk_InicioBajar->setText(T("007018", "Descargar auditoria al iniciar descarga automatica"));
    Label1[0]->setText(T("007019", "Hora comunicación:"));
    Label1[3]->setText(QStringLiteral(":"));
    Frame12->setTitle(T("007020", "Ventana de pesaje"));
    chkFormato[0]->setText(T("007021", "Guardar las pesadas en formato Access"));
    chkFormato[1]->setText(T("007022", "Guardar las pesadas en formato Excel"));
    chkFormato[2]->setText(T("007023", "Guardar las pesadas en Archivo Texto Plano"));
    Frame3->setTitle(T("007024", "Nombres de Archivos"));
    lblRuta->setText(T("007025", "Ruta (archivo Excel o Texto):"));
    lblExcel->setText(T("007026", "Nombre  Archivo Formato Excel (en blanco para automático):"));
    lblTexto->setText(T("007027", "Nombre Archivo Plano:"));
    lblExtension->setText(T("007028", "Extensión del Archivo Plano:"));
    lblSeparador->setText(T("007029", "Código ASCII del carácter separador:"));
    cmdCargar->setText(T("007034", "Cargar archivo de etiqueta en impresora Zebra"));
    cmdCancelarEnvio->setText(T("007031", "Cancelar"));
    cmdOK->setText(T("007030", "Aceptar"));
    cmdCancel->setText(T("007031", "Cancelar"));
}

void frmOptions::changeEvent(QEvent* evento) {
    if (evento->type() == QEvent::LanguageChange) PonerTextos();
    QDialog::changeEvent(evento);
}

void frmOptions::LlenarPuertos() {
    const int actual = qMax(ListaPuerto->currentIndex(), 0);
    ListaPuerto->clear();
    for (int n = 1; n <= kPuertosLista; ++n)
        ListaPuerto->addItem(TextoPuerto(n, puertosNuevos_.value(n, DispositivoDePuerto(n))));
    ListaPuerto->setCurrentIndex(actual);
}

void frmOptions::Cargar(const ValoresOpciones& v) {
    // Load order of the original dialog; option buttons and the auto box run their click rules.
    OptIndicador[v.Indicador]->setChecked(true);
    OptIndicador_Click(v.Indicador);
    HScrollId0->setValue(v.Id);
    LabelId0->setText(QString::number(v.Id));
    HScroll_DB->setValue(v.Decimales);
    Label_DB->setText(QString::number(v.Decimales));
    LlenarPuertos();
    ListaPuerto->setCurrentIndex(v.Puerto - 1);
    for (int codigo = 0; codigo < kCodigosBaudios; ++codigo)
        ListaBaudios->addItem(QString::number(VelocidadDeCodigo(codigo)));
    ListaBaudios->setCurrentIndex(v.Baudios);
    if (v.Comunicacion == 0) {
        optSerie->setChecked(true);
        optSerie_Click();
    } else {
        optTCP->setChecked(true);
        optTCP_Click();
    }
    Txt_TCP_RemoteHost->setText(v.Host);
    Txt_TCP_RemotePort->setText(v.Port);
    for (int h = 0; h < 24; ++h) ListaHora->addItem(QString::number(h));
    for (int m = 0; m < 60; ++m)
        ListaMinuto->addItem(QStringLiteral("%1").arg(m, 2, 10, QChar(u'0')));
    Chk_InicioBajar->setChecked(v.InicioBajar);
    Chk_InicioAuto->setChecked(v.InicioAuto);
    Chk_InicioAuto_Click();
    ListaHora->setCurrentIndex(v.Hora);
    ListaMinuto->setCurrentIndex(v.Minuto);
    chkFormato[0]->setChecked(v.FormatoAccess);
    chkFormato[1]->setChecked(v.FormatoExcel);
    chkFormato[2]->setChecked(v.ArchivoPlano);
    txtExcel->setText(v.NombreExcel);
    txtTexto->setText(v.NombreTXT);
    txtRuta->setText(v.Ruta);
    txtExtension->setText(v.Extension);
    txtSeparador->setText(v.Separador);
    // A hand-edited file may ask for the automatic download with the Mirto model, which has none:
    // the hidden box must not keep a value the operator cannot see or change.
    if (v.Indicador == 1) OptIndicador_Click(1);
}

ValoresOpciones frmOptions::Recoger() const {
    ValoresOpciones v;
    v.Indicador = OptIndicador[1]->isChecked() ? 1 : 2;
    v.Id = HScrollId0->value();
    v.Decimales = HScroll_DB->value();
    v.Puerto = ListaPuerto->currentIndex() + 1;
    v.Baudios = ListaBaudios->currentIndex();
    v.Comunicacion = Comunicacion;
    v.Host = Txt_TCP_RemoteHost->text();
    v.Port = Txt_TCP_RemotePort->text();
    v.InicioBajar = Chk_InicioBajar->isChecked() ? 1 : 0;
    v.InicioAuto = Chk_InicioAuto->isChecked() ? 1 : 0;
    v.Hora = ListaHora->currentIndex();
    v.Minuto = ListaMinuto->currentIndex();
    v.FormatoAccess = chkFormato[0]->isChecked() ? 1 : 0;
    v.FormatoExcel = chkFormato[1]->isChecked() ? 1 : 0;
    v.ArchivoPlano = chkFormato[2]->isChecked() ? 1 : 0;
    v.NombreExcel = txtExcel->text();
    v.NombreTXT = txtTexto->text();
    v.Ruta = txtRuta->text();
    v.Extension = txtExtension->text();
    v.Separador = txtSeparador->text();
    v.PuertosNuevos = puertosNuevos_;
    return v;
}

void frmOptions::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    if (falloCarga_) {
        QTimer::singleShot(0, this, &frmOptions::MostrarFallo);
        return;
    }
    if (!activado_) {
        // Tab 1 and then tab 0, so that the tab rule leaves only tab 0's container enabled.
        activado_ = true;
        if (SSTab1->isTabEnabled(1)) SSTab1->setCurrentIndex(1);
        SSTab1->setCurrentIndex(0);
        picOptions[0]->setEnabled(true);
        picOptions[1]->setEnabled(false);
        tabAnterior_ = 0;
    }
}

void frmOptions::MostrarFallo() {
    interaccion_->Avisar(T("007032", "No se encuentra data.mdb.") + u'\n' + errorCarga_,
                         TituloPrograma(), Icono::Error);
    done(QDialog::Rejected);
}

void frmOptions::SSTab1_Click(int nueva) {
    if (nueva < 0) return;
    picOptions[nueva]->setEnabled(true);
    if (tabAnterior_ != nueva) picOptions[tabAnterior_]->setEnabled(false);
    tabAnterior_ = nueva;
}

void frmOptions::OptIndicador_Click(int indice) {
    const bool vela = indice != 1;
    FraAuditoria->setVisible(vela);
    if (!vela) {
        Chk_InicioAuto->setChecked(false);
        Chk_InicioAuto_Click();
    }
    SSTab1->setTabEnabled(1, vela);
}

void frmOptions::optSerie_Click() {
    Habilitar({fraSerie, ListaPuerto, ListaBaudios, LblPuerto, LblBaudios}, true);
    Habilitar({FraTCP, Txt_TCP_RemoteHost, Txt_TCP_RemotePort, LblHost, LblPort}, false);
    Comunicacion = 0;
}

void frmOptions::optTCP_Click() {
    Habilitar({fraSerie, ListaPuerto, ListaBaudios, LblPuerto, LblBaudios}, false);
    Habilitar({FraTCP, Txt_TCP_RemoteHost, Txt_TCP_RemotePort, LblHost, LblPort}, true);
    Comunicacion = 1;
}

void frmOptions::Chk_InicioAuto_Click() {
    const bool activo = Chk_InicioAuto->isChecked();
    if (!activo) Chk_InicioBajar->setChecked(false);
    Habilitar({Chk_InicioBajar, Label1[0], Label1[3], ListaHora, ListaMinuto}, activo);
}

void frmOptions::cmdOK_Click() {
    if (Enviando()) return;
    const ValoresOpciones v = Recoger();
    if (!HayFormato(v)) {
        interaccion_->Avisar(T("007033", "Debe elgir un formato de datos."),
                             QCoreApplication::applicationName(), Icono::Informacion);
        return;
    }
    if (!GuardarOpciones(v)) {
        interaccion_->Avisar(T("007041", "No se pudieron guardar las opciones en bascora.ini."),
                             T("008015", "Error"), Icono::Error);
        return;
    }
    accept();
}

void frmOptions::reject() {
    // A label send still holds the port: the operator cancels it first.
    if (Enviando()) return;
    QDialog::reject();
}

void frmOptions::closeEvent(QCloseEvent* evento) {
    if (Enviando()) {
        evento->ignore();
        return;
    }
    QDialog::closeEvent(evento);
}

void frmOptions::AsignarDispositivo(const QString& dispositivo) {
    const int numero = ListaPuerto->currentIndex() + 1;
    if (numero < 1 || dispositivo.isEmpty()) return;
    puertosNuevos_.insert(numero, dispositivo);
    LlenarPuertos();
    QString grupo;
    if (!PuertoAccesible(dispositivo, &grupo) && !grupo.isEmpty()) {
        interaccion_->Avisar(T("007044",
                               "Sin permiso para abrir %1. Agregue su usuario al grupo %2 "
                               "(sudo adduser $USER %2) y vuelva a iniciar la sesión.")
                                 .arg(dispositivo, grupo),
                             TituloPrograma(), Icono::Advertencia);
    }
}

void frmOptions::cmdDetectar_Click() {
    const QList<PuertoSerie> presentes = PuertosPresentes();
    if (presentes.isEmpty()) {
        interaccion_->Avisar(T("007043", "No se encontró ningún puerto serie."), TituloPrograma(),
                             Icono::Informacion);
        return;
    }
    QStringList opciones;
    for (const PuertoSerie& p : presentes) {
        QString texto = p.ruta;
        if (!p.descripcion.isEmpty()) texto += QStringLiteral("  (%1)").arg(p.descripcion);
        if (!p.accesible)
            texto += QStringLiteral("  ") + T("007048", "sin permiso (grupo %1)").arg(p.grupo);
        opciones << texto;
    }
    bool elegido = false;
    const QString texto = QInputDialog::getItem(
        this, T("007042", "Puertos serie presentes"),
        T("007049", "Elija el dispositivo para %1:")
            .arg(QStringLiteral("Com%1").arg(ListaPuerto->currentIndex() + 1)),
        opciones, 0, false, &elegido);
    if (!elegido) return;
    const qsizetype indice = opciones.indexOf(texto);
    if (indice >= 0) AsignarDispositivo(presentes.at(indice).ruta);
}

bool frmOptions::Enviando() const {
    return envio_ && envio_->enCurso();
}

void frmOptions::EsperarEnvio() {
    if (envio_) envio_->esperar();
    // The progress updates and the end of the job are posted: deliver them in their order.
    QCoreApplication::sendPostedEvents();
}

void frmOptions::cmdCargar_Click() {
    if (Enviando()) return;
    cancelarEnvio_ = false;
    cmdCargar->hide();
    cmdOK->setEnabled(false);
    cmdCancel->setEnabled(false);
    ProgEtiqueta->setValue(0);
    QPointer<QProgressBar> barra = ProgEtiqueta;
    QPointer<QPushButton> cancelar = cmdCancelarEnvio;
    auto progreso = [barra, cancelar](int porcentaje) {
        QMetaObject::invokeMethod(
            barra,
            [barra, cancelar, porcentaje] {
                if (!barra) return;
                barra->show();
                if (cancelar) cancelar->show();
                barra->setValue(porcentaje);
            },
            Qt::QueuedConnection);
    };
    envio_ = EjecutarTrabajo(
        this, [this, progreso](Interaccion& op) { CargarEtiqueta(op, &cancelarEnvio_, progreso); },
        [this] { FinEnvio(); }, interaccionPropia_ ? nullptr : interaccion_);
}

void frmOptions::FinEnvio() {
    ProgEtiqueta->hide();
    cmdCancelarEnvio->hide();
    cmdCargar->show();
    cmdOK->setEnabled(true);
    cmdCancel->setEnabled(true);
}
