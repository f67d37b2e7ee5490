#include "app/ui/FrmPrincipal.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QSaveFile>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>

#include "app/Opciones.h"
#include "app/Recursos.h"
#include "app/ui/FrmAbout.h"
#include "app/ui/FrmAyuda.h"
#include "app/ui/FrmLogin1.h"
#include "app/ui/FrmOptions.h"
#include "app/ui/Iconos.h"
#include "app/ui/Impresion.h"
#include "app/ui/InteraccionVentanas.h"
#include "app/ui/Trabajo.h"
#include "link/ClienteEnlace.h"
#include "link/Conectar.h"
#include "link/ui/EnlacePrograma.h"
#include "products/ui/FrmPLU.h"
#include "products/ui/FrmRecetas.h"
#include "reports/ui/FrmReporte.h"
#include "settings/ArchivoIni.h"
#include "settings/Config.h"
#include "settings/Idioma.h"
#include "tickets/Membrete.h"
#include "tickets/ui/FrmMembrete.h"
#include "weighings/ui/FrmAuto.h"
#include "weighings/ui/FrmPesadas.h"
#include "weight/ui/FrmPeso.h"
#include "weight/ui/FrmSetup.h"

namespace {

constexpr int kTwipsPorPixel = 15;
constexpr int kPosicionDefecto = 1000;  // twips

// The per-user store of the window position, apart from bascora.ini.
const QString kEmpresa = QStringLiteral("Bascora");
const QString kAplicacion = QStringLiteral("Bascora");

struct Rotulo {
    const char* control;
    const char* id;
    const char* defecto;
};

// Menu captions, in the order they are relabelled.
const Rotulo kRotulosMenu[] = {
    {"mnuFile", "005001", "&Archivo"},
    {"conectar", "005002", "Conectar"},
    {"mnuAuto", "005003", "Descarga automática de la auditoria"},
    {"mnuFilePageSetup", "005004", "Co&nfigurar página..."},
    {"mnuFileExit", "005005", "&Salir"},
    {"mnubajar", "005006", "&Bajar Pesadas"},
    {"mnuCodigos", "005007", "&Codigos"},
    {"mnuMembrete", "005008", "&Membrete"},
    {"mnuRecetas", "005009", "Recetas"},
    {"mnuReporte", "005010", "&Reporte"},
    {"mnuView", "005011", "&Ver"},
    {"mnuPesar", "005012", "&Peso"},
    {"mnuSetup", "005013", "Parámetros del Setup"},
    {"mnuViewToolbar", "005014", "&Barra de herramientas"},
    {"mnuViewStatusBar", "005015", "Ba&rra de estado"},
    {"mnuIdioma", "005016", "Idioma"},
    {"mnuViewOptions", "005017", "&Opciones..."},
    {"mnuHelp", "005018", "Ay&uda"},
    {"mnuHelpContents", "005019", "&Contenido"},
    {"mnuHelpSearch", "005020", "&Buscar Ayuda acerca de..."},
    {"mnuHelpAbout", "005021", "&Acerca de..."},
};

struct Boton {
    int indice;
    const char* clave;
    const char* id;
    const char* defecto;
    const char* icono;  // file of the iconos folder
};

// Tool bar buttons; the odd indices between them are separators.
const Boton kBotones[] = {
    {2, "pesar", "005022", "Ver Peso", "speedometer.svg"},
    {4, "bajar", "005023", "Bajar Pesadas", "download.svg"},
    {6, "codigos", "005024", "Codigos", "view-barcode.svg"},
    {8, "membrete", "005025", "Membrete", "view-pim-news.svg"},
    {10, "Reporte", "005026", "Reporte", "office-report.svg"},
    {12, "opciones", "005027", "Opciones", "configure.svg"},
    {14, "acerca", "005028", "Acerca de...", "help-about.svg"},
};

// The menu items the Mirto model does not offer.
const char* const kSoloVela[] = {"mnuAuto",    "mnubajar", "mnuCodigos", "mnuRecetas",
                                 "mnuReporte", "mnuPesar", "mnuSetup"};

}  // namespace

FrmPrincipal::FrmPrincipal(Interaccion* interaccion, QWidget* parent)
    : QMainWindow(parent), interaccion_(interaccion), carpetaDatos_(QDir::currentPath()) {
    setObjectName(QStringLiteral("frmMain"));
    if (!interaccion_) {
        interaccionPropia_ = std::make_unique<InteraccionVentanas>(this);
        interaccion_ = interaccionPropia_.get();
    }
    // The tool bar and status bar are switched from the View menu only.
    setContextMenuPolicy(Qt::PreventContextMenu);

    CrearMenus();
    CrearBarra();
    sbStatusBar_ = new QStatusBar(this);
    sbStatusBar_->setObjectName(QStringLiteral("sbStatusBar"));
    panel1_ = new QLabel(sbStatusBar_);
    panel1_->setObjectName(QStringLiteral("Panel1"));
    sbStatusBar_->addWidget(panel1_, 1);
    panelEnlace_ = new QLabel(sbStatusBar_);
    panelEnlace_->setObjectName(QStringLiteral("PanelEnlace"));
    sbStatusBar_->addPermanentWidget(panelEnlace_);
    setStatusBar(sbStatusBar_);
    connect(&ClienteDelPrograma(), &ClienteEnlace::saludCambiada, this,
            &FrmPrincipal::MostrarSaludEnlace, Qt::QueuedConnection);

    Idioma();
    AplicarModelo();
    setWindowTitle(TituloPrograma());

    QSettings ajustes(kEmpresa, kAplicacion);
    ajustes.beginGroup(QStringLiteral("Settings"));
    const int izquierda = static_cast<int>(
        ValorEntero(ajustes.value(QStringLiteral("MainLeft"), kPosicionDefecto).toString()));
    const int arriba = static_cast<int>(
        ValorEntero(ajustes.value(QStringLiteral("MainTop"), kPosicionDefecto).toString()));
    QPoint posicion(izquierda / kTwipsPorPixel, arriba / kTwipsPorPixel);
    // A position stored with a screen that is no longer there would leave the window out of reach.
    if (!QGuiApplication::screenAt(posicion)) {
        posicion = QPoint(kPosicionDefecto / kTwipsPorPixel, kPosicionDefecto / kTwipsPorPixel);
    }
    move(posicion);
    // The menu bar decides the width, with room for the status texts; the bars the height.
    const int ancho = std::max({menuBar()->sizeHint().width(), tbToolBar_->sizeHint().width(),
                                fontMetrics().averageCharWidth() * 64});
    resize(ancho + fontMetrics().averageCharWidth() * 2, minimumSizeHint().height());
}

FrmPrincipal::~FrmPrincipal() = default;

QAction* FrmPrincipal::NuevaAccion(const QString& nombre, void (FrmPrincipal::*slot)()) {
    auto* accion = new QAction(this);
    accion->setObjectName(nombre);
    connect(accion, &QAction::triggered, this, slot);
    acciones_.insert(nombre, accion);
    return accion;
}

QAction* FrmPrincipal::NuevoSeparador(QMenu* menu, const QString& nombre) {
    QAction* separador = menu->addSeparator();
    separador->setObjectName(nombre);
    return separador;
}

void FrmPrincipal::CrearMenus() {
    QMenuBar* barra = menuBar();
    barra->setObjectName(QStringLiteral("mnuBarra"));

    auto submenu = [&](const QString& nombre) {
        QMenu* menu = barra->addMenu(QString());
        menu->setObjectName(nombre);
        menu->menuAction()->setObjectName(nombre);
        acciones_.insert(nombre, menu->menuAction());
        return menu;
    };

    mnuFile_ = submenu(QStringLiteral("mnuFile"));
    mnuFile_->addAction(NuevaAccion(QStringLiteral("conectar"), &FrmPrincipal::conectar));
    mnuFile_->addAction(NuevaAccion(QStringLiteral("mnuAuto"), &FrmPrincipal::mnuAuto));
    NuevoSeparador(mnuFile_, QStringLiteral("mnuFileBar7"));
    mnuFile_->addAction(
        NuevaAccion(QStringLiteral("mnuFilePageSetup"), &FrmPrincipal::mnuFilePageSetup));
    NuevoSeparador(mnuFile_, QStringLiteral("mnuFileBar5"));
    mnuFile_->addAction(NuevaAccion(QStringLiteral("mnuFileExit"), &FrmPrincipal::mnuFileExit));

    // Commands right on the menu bar.
    barra->addAction(NuevaAccion(QStringLiteral("mnubajar"), &FrmPrincipal::mnubajar));
    barra->addAction(NuevaAccion(QStringLiteral("mnuCodigos"), &FrmPrincipal::mnuCodigos));
    barra->addAction(NuevaAccion(QStringLiteral("mnuMembrete"), &FrmPrincipal::mnuMembrete));
    barra->addAction(NuevaAccion(QStringLiteral("mnuRecetas"), &FrmPrincipal::mnuRecetas));
    barra->addAction(NuevaAccion(QStringLiteral("mnuReporte"), &FrmPrincipal::mnuReporte));

    mnuView_ = submenu(QStringLiteral("mnuView"));
    mnuView_->addAction(NuevaAccion(QStringLiteral("mnuPesar"), &FrmPrincipal::mnuPesar));
    NuevoSeparador(mnuView_, QStringLiteral("mnuViewBar0"));
    mnuView_->addAction(NuevaAccion(QStringLiteral("mnuSetup"), &FrmPrincipal::mnuSetup));
    NuevoSeparador(mnuView_, QStringLiteral("mnuViewBar1"));
    QAction* barraHerramientas =
        NuevaAccion(QStringLiteral("mnuViewToolbar"), &FrmPrincipal::mnuViewToolbar);
    barraHerramientas->setCheckable(true);
    barraHerramientas->setChecked(true);
    mnuView_->addAction(barraHerramientas);
    QAction* barraEstado =
        NuevaAccion(QStringLiteral("mnuViewStatusBar"), &FrmPrincipal::mnuViewStatusBar);
    barraEstado->setCheckable(true);
    barraEstado->setChecked(true);
    mnuView_->addAction(barraEstado);
    NuevoSeparador(mnuView_, QStringLiteral("mnuViewBar2"));
    mnuView_->addAction(NuevaAccion(QStringLiteral("mnuIdioma"), &FrmPrincipal::mnuIdioma));
    NuevoSeparador(mnuView_, QStringLiteral("mnuViewBar3"));
    mnuView_->addAction(
        NuevaAccion(QStringLiteral("mnuViewOptions"), &FrmPrincipal::mnuViewOptions));

    mnuHelp_ = submenu(QStringLiteral("mnuHelp"));
    mnuHelp_->addAction(
        NuevaAccion(QStringLiteral("mnuHelpContents"), &FrmPrincipal::mnuHelpContents));
    mnuHelp_->addAction(NuevaAccion(QStringLiteral("mnuHelpSearch"), &FrmPrincipal::mnuHelpSearch));
    NuevoSeparador(mnuHelp_, QStringLiteral("mnuHelpBar1"));
    mnuHelp_->addAction(NuevaAccion(QStringLiteral("mnuHelpAbout"), &FrmPrincipal::mnuHelpAbout));
}

void FrmPrincipal::CrearBarra() {
    tbToolBar_ = new QToolBar(this);
    tbToolBar_->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar_->setMovable(false);
    tbToolBar_->setFloatable(false);
    tbToolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    // Icons as tall as about two lines of the menu text, so they grow with the font.
    const int lado = fontMetrics().height() * 3 / 2;
    tbToolBar_->setIconSize(QSize(lado, lado));
    addToolBar(Qt::TopToolBarArea, tbToolBar_);

    const QHash<QString, void (FrmPrincipal::*)()> comandos = {
        {QStringLiteral("pesar"), &FrmPrincipal::mnuPesar},
        {QStringLiteral("bajar"), &FrmPrincipal::mnubajar},
        {QStringLiteral("codigos"), &FrmPrincipal::mnuCodigos},
        {QStringLiteral("membrete"), &FrmPrincipal::mnuMembrete},
        {QStringLiteral("Reporte"), &FrmPrincipal::mnuReporte},
        {QStringLiteral("opciones"), &FrmPrincipal::mnuViewOptions},
        // Not the About box: the help contents.
        {QStringLiteral("acerca"), &FrmPrincipal::mnuHelpContents},
    };
    for (const Boton& b : kBotones) {
        const QString clave = QString::fromLatin1(b.clave);
        tbToolBar_->addSeparator()->setObjectName(
            QStringLiteral("tbSeparador%1").arg(b.indice - 1));
        QAction* boton =
            tbToolBar_->addAction(IconoRecurso(QString::fromLatin1(b.icono)), QString());
        boton->setObjectName(clave);
        connect(boton, &QAction::triggered, this, comandos.value(clave));
    }
}

QAction* FrmPrincipal::BotonBarra(int indice) const {
    const QList<QAction*> botones = tbToolBar_->actions();
    if (indice < 1 || indice > botones.size()) return nullptr;
    return botones.at(indice - 1);
}

void FrmPrincipal::Idioma() {
    for (const Rotulo& r : kRotulosMenu) {
        const QString texto = TextoIdioma(QString::fromLatin1(r.id), QString::fromUtf8(r.defecto));
        if (QAction* accion = Accion(QString::fromLatin1(r.control))) accion->setText(texto);
    }
    for (const Boton& b : kBotones) {
        const QString texto = TextoIdioma(QString::fromLatin1(b.id), QString::fromUtf8(b.defecto));
        if (QAction* boton = BotonBarra(b.indice)) {
            boton->setText(texto);
            boton->setToolTip(texto);
        }
    }
}

void FrmPrincipal::changeEvent(QEvent* evento) {
    if (evento->type() == QEvent::LanguageChange) Idioma();
    QMainWindow::changeEvent(evento);
}

void FrmPrincipal::AplicarModelo() {
    indicador_ = static_cast<int>(ValorEntero(
        LeerConfig(QStringLiteral("Global"), QStringLiteral("Indicador_1"), QStringLiteral("2"))));
    const bool vela = indicador_ != 1;
    for (const char* control : kSoloVela) Accion(QString::fromLatin1(control))->setVisible(vela);
    // The live weight button stays for both models.
    BotonBarra(2)->setVisible(true);
    for (int indice : {4, 6, 10}) BotonBarra(indice)->setVisible(vela);
    MostrarSeparadores();
}

// A separator shows only between two visible buttons: none at the edges, never two in a row.
void FrmPrincipal::MostrarSeparadores() {
    const QList<QAction*> elementos = tbToolBar_->actions();
    bool hayBotonAntes = false;
    for (qsizetype i = 0; i < elementos.size(); ++i) {
        QAction* elemento = elementos.at(i);
        if (!elemento->isSeparator()) {
            hayBotonAntes = hayBotonAntes || elemento->isVisible();
            continue;
        }
        const bool siguienteVisible = i + 1 < elementos.size() &&
                                      !elementos.at(i + 1)->isSeparator() &&
                                      elementos.at(i + 1)->isVisible();
        elemento->setVisible(hayBotonAntes && siguienteVisible);
    }
}

void FrmPrincipal::MostrarEstado(const QString& texto) {
    panel1_->setText(texto);
}

void FrmPrincipal::MostrarSaludEnlace() {
    const SaludEnlace s = ClienteDelPrograma().Salud();
    if (s.tramasEnviadas == 0) return;
    const quint64 fallos = s.tramasEnviadas - s.respuestasBuenas;
    panelEnlace_->setText(T("005046", "Enlace") +
                          QStringLiteral(" %1 · ").arg(s.ultimoIntercambio.toLocalTime().toString(
                              QStringLiteral("HH:mm:ss"))) +
                          T("005047", "errores") +
                          QStringLiteral(" %1/%2 (%3%)")
                              .arg(fallos)
                              .arg(s.tramasEnviadas)
                              .arg(100.0 * double(fallos) / double(s.tramasEnviadas), 0, 'f', 1));
    panelEnlace_->setToolTip(ResumenSalud(s));
}

void FrmPrincipal::Abrir() {
    show();
    conectar();
}

void FrmPrincipal::AbrirVentanaHija(QWidget* ventana) {
    ventana->setAttribute(Qt::WA_DeleteOnClose);
    connect(ventana, &QObject::destroyed, this, &QWidget::show);
    hide();
    ventana->show();
}

void FrmPrincipal::conectar() {
    if (conexion_) return;  // the last connect test is still running
    QPointer<FrmPrincipal> yo(this);
    const auto mostrar = [yo](const QString& texto) {
        QMetaObject::invokeMethod(
            yo, [yo, texto] { yo->MostrarEstado(texto); }, Qt::QueuedConnection);
    };
    Enlace* enlace = enlace_ ? enlace_ : &EnlaceDelPrograma();
    conexion_ = EjecutarTrabajo(
        this, [enlace, mostrar](Interaccion& op) { ComandoConectar(*enlace, op, mostrar); }, {},
        interaccionPropia_ ? nullptr : interaccion_);
}
void FrmPrincipal::mnuAuto() {
    AbrirVentanaHija(new frmAuto);
}
void FrmPrincipal::mnubajar() {
    AbrirVentanaHija(new frmPesadas);
}
void FrmPrincipal::mnuRecetas() {
    AbrirVentanaHija(new frmRecetas);
}
// The Mirto model takes a free ticket form of up to 75 bytes instead of the letterhead window.
void FrmPrincipal::mnuMembrete() {
    if (indicador_ == 1) {
        EjecutarTrabajo(
            this, [](Interaccion& op) { FormularioPrincipal(EnlaceDelPrograma(), op); }, {},
            interaccionPropia_ ? nullptr : interaccion_);
        return;
    }
    AbrirVentanaHija(new frmMembrete);
}
void FrmPrincipal::mnuCodigos() {
    AbrirVentanaHija(new frmPLU);
}
void FrmPrincipal::mnuReporte() {
    AbrirVentanaHija(new frmReporte(nullptr, interaccionPropia_ ? nullptr : interaccion_));
}
// With our own message boxes, the tool window's boxes belong to it (this window is hidden).
void FrmPrincipal::mnuPesar() {
    AbrirVentanaHija(new frmPeso(interaccionPropia_ ? nullptr : interaccion_));
}
void FrmPrincipal::mnuSetup() {
    AbrirVentanaHija(new frmSetup(interaccionPropia_ ? nullptr : interaccion_));
}
void FrmPrincipal::mnuViewOptions() {
    Interaccion* operador = interaccionPropia_ ? nullptr : interaccion_;
    if (HayContrasena()) {
        frmLogin1 login(this, operador);
        login.exec();
        if (!login.Aceptado) return;
    }
    frmOptions opciones(this, operador);
    opciones.exec();
    AplicarModelo();
}
void FrmPrincipal::mnuHelpAbout() {
    frmAbout acerca(this, nullptr, interaccionPropia_ ? nullptr : interaccion_);
    acerca.exec();
}

void FrmPrincipal::mnuFilePageSetup() {
    // Every printout takes this set-up; it is kept for the run even when it cannot be saved.
    QPageLayout diseno = DisenoPagina();
    if (!ElegirDisenoPagina(this, diseno)) return;
    QString error;
    if (!GuardarDisenoPagina(diseno, &error))
        interaccion_->Avisar(T("020015", "No se pudo guardar la configuración de página:") +
                                 QLatin1Char(' ') + error,
                             T("020016", "Configurar página"), Icono::Advertencia);
}

void FrmPrincipal::mnuFileExit() {
    close();
}

void FrmPrincipal::mnuViewToolbar() {
    // The bar's own state decides, so a click and a direct call behave the same.
    const bool mostrar = tbToolBar_->isHidden();
    tbToolBar_->setVisible(mostrar);
    Accion(QStringLiteral("mnuViewToolbar"))->setChecked(mostrar);
    AjustarAlto();
}

void FrmPrincipal::mnuViewStatusBar() {
    const bool mostrar = sbStatusBar_->isHidden();
    sbStatusBar_->setVisible(mostrar);
    Accion(QStringLiteral("mnuViewStatusBar"))->setChecked(mostrar);
    AjustarAlto();
}

// The window is a strip: it takes the height of the bars it shows, neither more nor less.
void FrmPrincipal::AjustarAlto() {
    layout()->activate();
    resize(width(), minimumSizeHint().height());
}

void FrmPrincipal::mnuIdioma() {
    if (!interaccion_->Preguntar(
            TextoIdioma(QStringLiteral("005040"),
                        QStringLiteral("Desea modificar el idioma de trabajo?")),
            TextoIdioma(QStringLiteral("005041"), QStringLiteral("Idioma")), Icono::Pregunta)) {
        return;
    }
    const QString elegido = interaccion_->ElegirArchivo(
        TextoIdioma(QStringLiteral("005041"), QStringLiteral("Idioma")),
        TextoIdioma(QStringLiteral("005042"), QStringLiteral("Archivos de Idioma")) +
            QStringLiteral(" (*.idm)"));
    if (elegido.isEmpty()) return;

    // Failures end the change silently and leave the language in use as it was.
    QFile origen(elegido);
    if (!origen.open(QIODevice::ReadOnly)) return;
    const QByteArray contenido = origen.readAll();
    if (origen.error() != QFileDevice::NoError) return;
    if (!QDir::setCurrent(carpetaDatos_)) return;
    // Replace the existing file whatever the case of its name, so there is only ever one.
    QSaveFile destino(RutaEnCarpetaDatos(QStringLiteral("idioma.cfg")));
    if (!destino.open(QIODevice::WriteOnly)) return;
    destino.write(contenido);
    if (!destino.commit()) return;
    // Qt's own texts and the locale follow; every open window is told to relabel.
    AplicarIdiomaQt();
    Idioma();
}

void FrmPrincipal::mnuHelpContents() {
    MostrarAyuda(false);
}

void FrmPrincipal::mnuHelpSearch() {
    MostrarAyuda(true);
}

void FrmPrincipal::MostrarAyuda(bool buscar) {
    const QString indice = RutaAyuda();
    if (indice.isEmpty()) {
        // Fixed text: it has no id in the language files.
        interaccion_->Avisar(
            QStringLiteral("Imposible mostrar los contenidos de la Ayuda. No hay una Ayuda "
                           "asociada con este proyecto."),
            TituloPrograma(), Icono::Informacion);
        return;
    }
    if (!ayuda_) ayuda_ = new FrmAyuda(indice, this);
    if (buscar) {
        ayuda_->MostrarBusqueda();
    } else {
        ayuda_->MostrarContenido();
    }
}

void FrmPrincipal::closeEvent(QCloseEvent* evento) {
    // A minimised window would store the position of its icon; keep the last good one.
    if (!isMinimized()) {
        QSettings ajustes(kEmpresa, kAplicacion);
        ajustes.beginGroup(QStringLiteral("Settings"));
        ajustes.setValue(QStringLiteral("MainLeft"), QString::number(x() * kTwipsPorPixel));
        ajustes.setValue(QStringLiteral("MainTop"), QString::number(y() * kTwipsPorPixel));
    }
    evento->accept();
    Q_EMIT Cerrada();
}
