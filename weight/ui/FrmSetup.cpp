#include "weight/ui/FrmSetup.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QVBoxLayout>

#include "app/ui/Impresion.h"
#include "app/ui/InteraccionVentanas.h"
#include "settings/Config.h"
#include "settings/Fechas.h"
#include "settings/Idioma.h"

namespace {

// Menu names as the indicator's own display shows them; never translated.
const char* const kCaptionMenu[frmSetup::kMenus] = {"ESTAB", "Port 1", "Port 2", "Port 3", "Paral",
                                                    "Datos", "Fcn",    "Config", "Cal 1",  "Cal 2"};

// First parameter of menu k: the eight single-byte menus from 15, then the two calibration
// records of seven values from 1.
int PrimerParametro(int k) {
    return k < 8 ? 8 * k + 15 : 7 * (k - 8) + 1;
}

QFont FuenteFija() {
    QFont f(QStringLiteral("Courier"));
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    return f;
}

}  // namespace

frmSetup::frmSetup(Interaccion* interaccion, QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmSetup"));
    if (!interaccion) {
        interaccionPropia_ = std::make_unique<InteraccionVentanas>(this);
        interaccion = interaccionPropia_.get();
    }
    interaccion_ = interaccion;

    Frm_Menu = new QGroupBox(this);
    Frm_Menu->setObjectName(QStringLiteral("Frm_Menu"));
    auto* menus = new QGridLayout(Frm_Menu);
    for (int k = 0; k < kMenus; ++k) {
        Opt_Menu[k] = new QRadioButton(QString::fromLatin1(kCaptionMenu[k]), Frm_Menu);
        Opt_Menu[k]->setObjectName(QStringLiteral("Opt_Menu_%1").arg(k));
        menus->addWidget(Opt_Menu[k], k % 5, k / 5);
        connect(Opt_Menu[k], &QRadioButton::clicked, this, [this, k] { Opt_Menu_Click(k); });
    }

    Frm_Param = new QGroupBox(this);
    Frm_Param->setObjectName(QStringLiteral("Frm_Param"));
    auto* filas = new QGridLayout(Frm_Param);
    const QFont fija = FuenteFija();
    for (int r = 0; r < kFilas; ++r) {
        Lbl_Campo[r] = new QLabel(QStringLiteral("Pr:"), Frm_Param);
        Lbl_Campo[r]->setObjectName(QStringLiteral("Lbl_Campo_%1").arg(r));
        Lbl_Dato[r] = new QLabel(Frm_Param);
        Lbl_Dato[r]->setObjectName(QStringLiteral("Lbl_Dato_%1").arg(r));
        Lbl_Campo[r]->setFont(fija);
        Lbl_Dato[r]->setFont(fija);
        filas->addWidget(Lbl_Campo[r], r, 0);
        filas->addWidget(Lbl_Dato[r], r, 1);
    }

    // A gap of two characters between a caption and its value.
    filas->setHorizontalSpacing(2 * QFontMetrics(fija).horizontalAdvance(QLatin1Char('0')));
    filas->setColumnStretch(1, 1);
    // The calibration menus hide row 7; its room stays, so the frame keeps its height.
    QSizePolicy politica = Lbl_Campo[7]->sizePolicy();
    politica.setRetainSizeWhenHidden(true);
    Lbl_Campo[7]->setSizePolicy(politica);
    Lbl_Dato[7]->setSizePolicy(politica);
    ReservarAnchos();

    cmd_Impri = new QPushButton(this);
    cmd_Impri->setObjectName(QStringLiteral("cmd_Impri"));
    Cmd_Salir = new QPushButton(this);
    Cmd_Salir->setObjectName(QStringLiteral("Cmd_Salir"));
    connect(cmd_Impri, &QPushButton::clicked, this, &frmSetup::cmd_Impri_Click);
    connect(Cmd_Salir, &QPushButton::clicked, this, &QWidget::close);

    auto* arriba = new QHBoxLayout;
    arriba->addWidget(Frm_Menu);
    arriba->addWidget(Frm_Param, 1);
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(cmd_Impri);
    botones->addWidget(Cmd_Salir);
    auto* todo = new QVBoxLayout(this);
    todo->addLayout(arriba);
    todo->addLayout(botones);

    PonerTextos();
    Opt_Menu_Click(0);
}

frmSetup::~frmSetup() = default;

void frmSetup::PonerTextos() {
    setWindowTitle(TextoIdioma("013001", "Configuracion del Indicador"));
    Frm_Menu->setTitle(TextoIdioma("013002", "Menu"));
    Frm_Param->setTitle(TextoIdioma("013003", "Parametros"));
    cmd_Impri->setText(TextoIdioma("013004", "Imprimir"));
    Cmd_Salir->setText(TextoIdioma("013005", "Salir"));
}

void frmSetup::changeEvent(QEvent* evento) {
    if (evento->type() == QEvent::LanguageChange) PonerTextos();
    QWidget::changeEvent(evento);
}

// The columns get the width of the widest caption and value of all the menus, so the window
// keeps its width from one menu to the next.
void frmSetup::ReservarAnchos() {
    const QFontMetrics medida(Lbl_Campo[0]->font());
    int campo = medida.horizontalAdvance(QStringLiteral("Pr:"));
    int dato = medida.horizontalAdvance(QStringLiteral("00000000"));
    const QString seccion = QStringLiteral("Setup");
    for (int n = 1; n <= 78; ++n) {
        const QString clave = QString::number(n);
        campo = qMax(campo, medida.horizontalAdvance(
                                LeerConfig(seccion, clave + QLatin1Char('>'), QString())));
        dato = qMax(dato, medida.horizontalAdvance(LeerConfig(seccion, clave, QString())));
    }
    for (int r = 0; r < kFilas; ++r) {
        Lbl_Campo[r]->setMinimumWidth(campo);
        Lbl_Dato[r]->setMinimumWidth(dato);
    }
}

void frmSetup::Opt_Menu_Click(int k) {
    if (k < 0 || k >= kMenus) return;
    Opt_Menu[k]->setChecked(true);
    const QString seccion = QStringLiteral("Setup");
    const int filas = k < 8 ? 8 : 7;
    for (int r = 0; r < filas; ++r) {
        const QString n = QString::number(PrimerParametro(k) + r);
        Lbl_Campo[r]->setText(LeerConfig(seccion, n + QLatin1Char('>'), QString()));
        Lbl_Dato[r]->setText(LeerConfig(seccion, n, QString()));
    }
    // The calibration records have seven values: their eighth row is hidden.
    Lbl_Campo[7]->setVisible(filas == 8);
    Lbl_Dato[7]->setVisible(filas == 8);
}

void frmSetup::cmd_Impri_Click() {
    if (imprimiendo_) return;
    // No closing while the question, the printout or its messages are under way.
    imprimiendo_ = true;
    const auto fin = qScopeGuard([this] { imprimiendo_ = false; });
    if (!interaccion_->Confirmar(TextoIdioma("013006", "Desea imprimir la configuracion?"),
                                 TextoIdioma("013007", "Atencion"), Icono::Informacion))
        return;

    const QString titulo = TextoIdioma("013008", "Configuracion del Indicador");
    Impresion impresora(*interaccion_);
    if (impresora.Iniciar(titulo)) {
        const QString regla(80, QLatin1Char('-'));
        impresora.Fuente(QStringLiteral("Courier"), 12);
        impresora.Imprimir(regla);
        impresora.Tab(20);
        impresora.Imprimir(titulo);
        impresora.Imprimir(regla);
        const QDateTime ahora = QDateTime::currentDateTime();
        impresora.Tab(3);
        impresora.Imprimir(FechaDelPrograma(ahora.date()), true);
        impresora.Tab(71);
        impresora.Imprimir(HoraDelPrograma(ahora.time()));
        impresora.Imprimir();

        // The page is made from what the window shows for each menu, read back from its labels.
        for (int izquierdo = 0; izquierdo < kMenus; izquierdo += 2) {
            const int derecho = izquierdo + 1;
            impresora.Negrita(true);
            Opt_Menu_Click(izquierdo);
            impresora.Tab(5);
            impresora.Imprimir(Opt_Menu[izquierdo]->text(), true);
            Opt_Menu_Click(derecho);
            impresora.Tab(45);
            impresora.Imprimir(Opt_Menu[derecho]->text());
            impresora.Negrita(false);
            const int filas = izquierdo == 8 ? 7 : 8;
            for (int r = 0; r < filas; ++r) {
                Opt_Menu_Click(izquierdo);
                impresora.Tab(3);
                impresora.Imprimir(Lbl_Campo[r]->text(), true);
                impresora.Tab(18);
                impresora.Imprimir(Lbl_Dato[r]->text(), true);
                Opt_Menu_Click(derecho);
                impresora.Tab(43);
                impresora.Imprimir(Lbl_Campo[r]->text(), true);
                impresora.Tab(58);
                impresora.Imprimir(Lbl_Dato[r]->text());
            }
            impresora.Imprimir();
        }
        impresora.Imprimir();
        impresora.Imprimir(regla);
        impresora.Imprimir();
        impresora.Terminar();
    }
    Opt_Menu_Click(0);
}

void frmSetup::closeEvent(QCloseEvent* evento) {
    if (imprimiendo_) {
        evento->ignore();
        return;
    }
    QWidget::closeEvent(evento);
    Q_EMIT cerrada();
}
