#include "app/ui/FrmInfo.h"

#include <QClipboard>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLibraryInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSysInfo>
#include <QVBoxLayout>

#include "app/Opciones.h"
#include "app/Recursos.h"
#include "link/Transporte.h"
#include "settings/ArchivoIni.h"
#include "settings/Config.h"
#include "settings/Idioma.h"

namespace {

QString Linea(const QString& rotulo, const QString& valor) {
    return rotulo + QStringLiteral(": ") + valor;
}

QString TextoEnlace() {
    const AjustesLinea a = LeerAjustesLinea();
    if (a.comunicacion == 0)
        return QStringLiteral("%1, %2 bps, 8N1").arg(a.dispositivo).arg(a.baudios);
    return QStringLiteral("TCP %1:%2").arg(a.host).arg(a.puerto);
}

}  // namespace

QString InformacionSistema() {
    QStringList l;
    l << Linea(TituloPrograma(), QStringLiteral("%1.%2.%3")
                                     .arg(BASCORA_VERSION_MAJOR)
                                     .arg(BASCORA_VERSION_MINOR)
                                     .arg(BASCORA_VERSION_REVISION));
    l << Linea(QStringLiteral("Qt"),
               QStringLiteral("%1 (%2 %3)")
                   .arg(QString::fromLatin1(qVersion()), T("000013", "compilado con"),
                        QStringLiteral(QT_VERSION_STR)));
    l << Linea(T("000014", "Sistema operativo"), QSysInfo::prettyProductName() +
                                                     QStringLiteral(" (") +
                                                     QSysInfo::currentCpuArchitecture() + u')');
    l << Linea(T("000015", "Núcleo"), QSysInfo::kernelType() + u' ' + QSysInfo::kernelVersion());
    l << Linea(T("000016", "Carpeta de datos"), QDir::currentPath());
    const QString ini = RutaEnCarpetaDatos(QStringLiteral("bascora.ini"));
    l << Linea(T("000017", "Archivo de configuración"),
               ini + (QFileInfo::exists(ini) ? QString() : u' ' + T("007047", "no existe")));
    l << Linea(T("000018", "Motores de base de datos"),
               QSqlDatabase::drivers().join(QStringLiteral(", ")));
    const bool mirto =
        ValorEntero(LeerConfig(QStringLiteral("Global"), QStringLiteral("Indicador_1"),
                               QStringLiteral("2"))) == 1;
    l << Linea(T("000019", "Modelo de indicador"),
               mirto ? T("007005", "Mirto") : T("007006", "Vela"));
    l << Linea(T("000020", "Enlace"), TextoEnlace());
    l << InformePuertos();
    return l.join(u'\n');
}

frmInfo::frmInfo(QWidget* padre)
    : QDialog(padre),
      txtInfo(new QPlainTextEdit(this)),
      cmdCopiar(new QPushButton(this)),
      cmdOK(new QPushButton(this)) {
    setObjectName(QStringLiteral("frmInfo"));
    txtInfo->setObjectName(QStringLiteral("txtInfo"));
    cmdCopiar->setObjectName(QStringLiteral("cmdCopiar"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);

    txtInfo->setReadOnly(true);
    txtInfo->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtInfo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    PonerTextos();
    const QFontMetrics medida(txtInfo->font());
    txtInfo->setMinimumSize(medida.horizontalAdvance(QLatin1Char('x')) * 90,
                            medida.lineSpacing() * 26);

    auto* botones = new QHBoxLayout;
    botones->addWidget(cmdCopiar);
    botones->addStretch(1);
    botones->addWidget(cmdOK);
    auto* capa = new QVBoxLayout(this);
    capa->addWidget(txtInfo, 1);
    capa->addLayout(botones);

    connect(cmdCopiar, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(txtInfo->toPlainText()); });
    connect(cmdOK, &QPushButton::clicked, this, &frmInfo::accept);
}

void frmInfo::PonerTextos() {
    setWindowTitle(T("000009", "Información del sistema"));
    cmdCopiar->setText(T("000010", "Copiar"));
    cmdOK->setText(T("000002", "Aceptar"));
    // The facts carry captions of their own.
    txtInfo->setPlainText(InformacionSistema());
}

void frmInfo::changeEvent(QEvent* evento) {
    if (evento->type() == QEvent::LanguageChange) PonerTextos();
    QDialog::changeEvent(evento);
}
