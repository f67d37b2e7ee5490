#include "app/ui/FrmAbout.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/Recursos.h"
#include "app/ui/FrmInfo.h"
#include "app/ui/Iconos.h"
#include "link/ui/FrmDebug.h"
#include "settings/Config.h"
#include "settings/Idioma.h"

const char* const frmAbout::kSitio = "https://www.bascora.com.ar/";

namespace {

QLabel* Rotulo(QWidget* padre, const char* nombre) {
    auto* l = new QLabel(padre);
    l->setObjectName(QString::fromLatin1(nombre));
    l->setWordWrap(true);
    return l;
}

}  // namespace

frmAbout::frmAbout(QWidget* padre, Enlace* enlace, Interaccion* interaccion)
    : QDialog(padre),
      picIcon(Rotulo(this, "picIcon")),
      lblTitle(Rotulo(this, "lblTitle")),
      lblVersion(Rotulo(this, "lblVersion")),
      lblDescription(Rotulo(this, "lblDescription")),
      lblUsuario(Rotulo(this, "lblUsuario")),
      lblOrganizacion(Rotulo(this, "lblOrganizacion")),
      lblDisclaimer(Rotulo(this, "lblDisclaimer")),
      Label1(Rotulo(this, "Label1")),
      cmdOK(new QPushButton(this)),
      cmdSysInfo(new QPushButton(this)),
      enlace_(enlace),
      interaccion_(interaccion) {
    setObjectName(QStringLiteral("frmAbout"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdOK->setDefault(true);

    // The program's own icon, four lines of text tall.
    const int lado = fontMetrics().height() * 4;
    picIcon->setPixmap(IconoPrograma().pixmap(lado, lado));
    picIcon->setWordWrap(false);
    picIcon->installEventFilter(this);
    QFont grande = lblTitle->font();
    grande.setPointSizeF(grande.pointSizeF() * 1.4);
    grande.setBold(true);
    lblTitle->setFont(grande);
    lblTitle->setText(TituloPrograma());
    // Written by whoever installs the program; the defaults are blanks.
    lblUsuario->setText(LeerConfig(QStringLiteral("Global"), QStringLiteral("Usuario"),
                                   QStringLiteral("        ")));
    lblOrganizacion->setText(LeerConfig(QStringLiteral("Global"), QString::fromUtf8("Organización"),
                                        QStringLiteral(" ")));
    lblDisclaimer->setFrameShape(QFrame::StyledPanel);
    lblDisclaimer->setMargin(fontMetrics().averageCharWidth());
    const QString sitio = QString::fromLatin1(kSitio);
    Label1->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(sitio.toHtmlEscaped()));
    Label1->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    // Failures of the browser are ignored.
    connect(Label1, &QLabel::linkActivated, this,
            [](const QString& enlace) { QDesktopServices::openUrl(QUrl(enlace)); });

    auto* textos = new QVBoxLayout;
    for (QLabel* l : {lblTitle, lblVersion, lblDescription, lblUsuario, lblOrganizacion, Label1})
        textos->addWidget(l);
    auto* arriba = new QHBoxLayout;
    arriba->addWidget(picIcon, 0, Qt::AlignTop);
    arriba->addLayout(textos, 1);
    auto* botones = new QVBoxLayout;
    botones->addWidget(cmdOK);
    botones->addWidget(cmdSysInfo);
    auto* abajo = new QHBoxLayout;
    abajo->addWidget(lblDisclaimer, 1);
    abajo->addLayout(botones);
    auto* capa = new QVBoxLayout(this);
    capa->addLayout(arriba);
    capa->addLayout(abajo);
    // Wrapped texts need a width to wrap to: some fifty characters of the font in use.
    lblDisclaimer->setMinimumWidth(fontMetrics().averageCharWidth() * 40);
    lblDescription->setMinimumWidth(fontMetrics().averageCharWidth() * 50);
    PonerTextos();

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

frmAbout::~frmAbout() = default;

void frmAbout::PonerTextos() {
    setWindowTitle(T("000001", "Acerca de ..."));
    cmdOK->setText(T("000002", "Aceptar"));
    cmdSysInfo->setText(T("000003", "&Información..."));
    lblVersion->setText(T("000004", "Versión") + QStringLiteral(" %1.%2.%3")
                                                     .arg(BASCORA_VERSION_MAJOR)
                                                     .arg(BASCORA_VERSION_MINOR)
                                                     .arg(BASCORA_VERSION_REVISION));
    lblDescription->setText(T("000005",
                              "Acompaña al indicador de pesaje: descarga de pesadas, códigos, "
                              "recetas, tickets, peso en vivo y reportes."));
    lblDisclaimer->setText(T("000007",
                             "Advertencia: este programa se entrega tal cual, sin garantía de "
                             "ningún tipo. Verifique los datos descargados antes de usarlos."));
}

void frmAbout::changeEvent(QEvent* evento) {
    if (evento->type() == QEvent::LanguageChange) PonerTextos();
    QDialog::changeEvent(evento);
}

void frmAbout::keyPressEvent(QKeyEvent* evento) {
    if (!evento->isAutoRepeat()) ModoTecla = evento->key();
    QDialog::keyPressEvent(evento);
}

void frmAbout::keyReleaseEvent(QKeyEvent* evento) {
    if (!evento->isAutoRepeat()) ModoTecla = 0;
    QDialog::keyReleaseEvent(evento);
}

bool frmAbout::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == picIcon && evento->type() == QEvent::MouseButtonDblClick) {
        picIcon_DblClick();
        return true;
    }
    return QDialog::eventFilter(objeto, evento);
}

void frmAbout::picIcon_DblClick() {
    const bool consola = ModoTecla == kTeclaConsola;
    ModoTecla = 0;
    if (!consola) return;
    auto* ventana = new frmDebug(parentWidget(), enlace_, interaccion_);
    ventana->setAttribute(Qt::WA_DeleteOnClose);
    ventana->show();
    accept();
}

void frmAbout::cmdSysInfo_Click() {
    frmInfo info(this);
    info.exec();
}
