#include "link/ui/FrmDebug.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <memory>

#include "app/ui/Trabajo.h"
#include "link/ui/EnlacePrograma.h"
#include "settings/Idioma.h"

namespace {

// Captions of the shortcut buttons, in the order of kAreaConsola.
const char* const kIdsAreas[kAreasConsola][2] = {
    {"015010", "Teclado"},   {"015011", "Lbl Codigos"}, {"015012", "PLU"},
    {"015013", "PLU Flags"}, {"015014", "Membrete"},    {"015015", "Total"},
    {"015016", "Reporte"},   {"015017", "Cnt Ok/B/A"},  {"015018", "Tot Prod"},
    {"015019", "Codigos"},   {"015020", "SP"},          {"015021", "Nomb Cod"},
    {"015022", "Nomb SP"},   {"015023", "Recetas"},
};

const QString kError = QStringLiteral("ERROR");

template <typename W>
W* Nuevo(QWidget* padre, const QString& nombre) {
    auto* w = new W(padre);
    w->setObjectName(nombre);
    return w;
}

QPlainTextEdit* CajaSalida(QWidget* padre, const QString& nombre) {
    auto* caja = Nuevo<QPlainTextEdit>(padre, nombre);
    caja->setReadOnly(true);
    caja->setLineWrapMode(QPlainTextEdit::NoWrap);
    caja->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    return caja;
}

}  // namespace

frmDebug::frmDebug(QWidget* padre, Enlace* enlace, Interaccion* interaccion)
    : QWidget(padre, Qt::Window),
      enlace_(enlace ? enlace : &EnlaceDelPrograma()),
      interaccion_(interaccion) {
    setObjectName(QStringLiteral("frmDebug"));

    Lbl_Direccion = Nuevo<QLabel>(this, QStringLiteral("Lbl_Direccion"));
    Txt_Direccion = Nuevo<QLineEdit>(this, QStringLiteral("Txt_Direccion"));
    Lbl_Longitud = Nuevo<QLabel>(this, QStringLiteral("Lbl_Longitud"));
    Txt_Longitud = Nuevo<QLineEdit>(this, QStringLiteral("Txt_Longitud"));
    Lbl_Area = Nuevo<QLabel>(this, QStringLiteral("Lbl_Area"));
    CmdLeer = Nuevo<QPushButton>(this, QStringLiteral("CmdLeer"));
    Txt_RxD = CajaSalida(this, QStringLiteral("Txt_RxD"));
    Lbl_Hex = Nuevo<QLabel>(this, QStringLiteral("Lbl_Hex"));
    Txt_Hex = CajaSalida(this, QStringLiteral("Txt_Hex"));
    Frm_rx = Nuevo<QGroupBox>(this, QStringLiteral("Frm_rx"));
    Opt_rx[0] = Nuevo<QRadioButton>(Frm_rx, QStringLiteral("Opt_rx_0"));
    Opt_rx[1] = Nuevo<QRadioButton>(Frm_rx, QStringLiteral("Opt_rx_1"));
    Opt_rx[0]->setChecked(true);
    Lbl_L = Nuevo<QLabel>(this, QStringLiteral("Lbl_L"));
    Txt_L = Nuevo<QLineEdit>(this, QStringLiteral("Txt_L"));
    Lbl_H = Nuevo<QLabel>(this, QStringLiteral("Lbl_H"));
    Txt_H = Nuevo<QLineEdit>(this, QStringLiteral("Txt_H"));
    CmdEscribir = Nuevo<QPushButton>(this, QStringLiteral("CmdEscribir"));

    Lbl_Direccion->setBuddy(Txt_Direccion);
    Lbl_Longitud->setBuddy(Txt_Longitud);
    Lbl_L->setBuddy(Txt_L);
    Lbl_H->setBuddy(Txt_H);

    auto* areas = new QGridLayout;
    for (int i = 0; i < kAreasConsola; ++i) {
        Cmd_Dir[i] = Nuevo<QPushButton>(this, QStringLiteral("Cmd_Dir_%1").arg(i));
        areas->addWidget(Cmd_Dir[i], i / 2, i % 2);
        connect(Cmd_Dir[i], &QPushButton::clicked, this, [this, i] { Cmd_Dir_Click(i); });
    }

    auto* vista = new QHBoxLayout(Frm_rx);
    vista->addWidget(Opt_rx[0]);
    vista->addWidget(Opt_rx[1]);
    auto* peticion = new QGridLayout;
    peticion->addWidget(Lbl_Direccion, 0, 0);
    peticion->addWidget(Txt_Direccion, 0, 1);
    peticion->addWidget(Lbl_Longitud, 1, 0);
    peticion->addWidget(Txt_Longitud, 1, 1);
    peticion->addWidget(Lbl_Area, 2, 0, 1, 2);
    peticion->addWidget(CmdLeer, 3, 0, 1, 2);
    peticion->addWidget(Frm_rx, 4, 0, 1, 2);
    peticion->addWidget(Lbl_L, 5, 0);
    peticion->addWidget(Txt_L, 5, 1);
    peticion->addWidget(Lbl_H, 6, 0);
    peticion->addWidget(Txt_H, 6, 1);
    peticion->addWidget(CmdEscribir, 7, 0, 1, 2);
    auto* izquierda = new QVBoxLayout;
    izquierda->addLayout(peticion);
    izquierda->addLayout(areas);
    izquierda->addStretch(1);
    auto* salida = new QGridLayout;
    salida->addWidget(Txt_RxD, 0, 0, 2, 1);
    salida->addWidget(Lbl_Hex, 0, 1);
    salida->addWidget(Txt_Hex, 1, 1);
    salida->setColumnStretch(0, 1);
    salida->setColumnStretch(1, 2);
    auto* capa = new QHBoxLayout(this);
    capa->addLayout(izquierda);
    capa->addLayout(salida, 1);
    PonerTextos();
    // Room for a hex line of 16 bytes with its address, and a screenful of them.
    const QFontMetrics medida(Txt_Hex->font());
    Txt_Hex->setMinimumSize(medida.horizontalAdvance(QLatin1Char('0')) * 58,
                            medida.lineSpacing() * 16);
    Txt_RxD->setMinimumWidth(medida.horizontalAdvance(QLatin1Char('0')) * 20);

    // The map's name of whatever address is typed or chosen.
    connect(Txt_Direccion, &QLineEdit::textChanged, Lbl_Area, [this](const QString& texto) {
        bool ok = false;
        const int direccion = texto.trimmed().toInt(&ok);
        Lbl_Area->setText(ok ? NombreEnMapa(direccion) : QString());
    });
    connect(CmdLeer, &QPushButton::clicked, this, &frmDebug::CmdLeer_Click);
    connect(CmdEscribir, &QPushButton::clicked, this, &frmDebug::CmdEscribir_Click);
    for (QRadioButton* opcion : Opt_rx)
        connect(opcion, &QRadioButton::toggled, this, [this](bool activo) {
            if (activo && hayDato_) MostrarDato();
        });
}

void frmDebug::PonerTextos() {
    setWindowTitle(T("015001", "Debug"));
    Lbl_Direccion->setText(T("015002", "Direccion:"));
    Lbl_Longitud->setText(T("015003", "Longitud:"));
    CmdLeer->setText(T("015004", "Leer"));
    Opt_rx[0]->setText(T("015005", "ASCII"));
    Opt_rx[1]->setText(T("015006", "DEC"));
    Lbl_L->setText(T("015007", "Lo:"));
    Lbl_H->setText(T("015008", "Hi:"));
    CmdEscribir->setText(T("015009", "Escribir"));
    Lbl_Hex->setText(T("015024", "Hex"));
    for (int i = 0; i < kAreasConsola; ++i) {
        const AreaConsola& a = kAreaConsola[i];
        Cmd_Dir[i]->setText(T(kIdsAreas[i][0], kIdsAreas[i][1]));
        Cmd_Dir[i]->setToolTip(T("015025", "%1: dirección %2, %3 registros")
                                   .arg(QString::fromLatin1(a.nombre))
                                   .arg(a.direccion)
                                   .arg(a.longitud));
    }
}

void frmDebug::changeEvent(QEvent* evento) {
    if (evento->type() == QEvent::LanguageChange) PonerTextos();
    QWidget::changeEvent(evento);
}

frmDebug::~frmDebug() {
    if (trabajo_) trabajo_->esperar();
}

bool frmDebug::Ocupada() const {
    return trabajo_ && trabajo_->enCurso();
}

void frmDebug::EsperarPeticion() {
    if (trabajo_) trabajo_->esperar();
    // The end of the job is posted to it: deliver it so the result is shown.
    QCoreApplication::sendPostedEvents();
}

void frmDebug::Cmd_Dir_Click(int indice) {
    if (indice < 0 || indice >= kAreasConsola) return;
    const AreaConsola& a = kAreaConsola[indice];
    Txt_RxD->clear();
    Txt_Hex->clear();
    hayDato_ = false;
    Txt_Direccion->setText(QString::number(a.direccion));
    Txt_Longitud->setText(QString::number(a.longitud));
}

void frmDebug::CmdLeer_Click() {
    if (Ocupada()) return;
    const QString direccion = Txt_Direccion->text();
    const QString longitud = Txt_Longitud->text();
    auto dato = std::make_shared<QByteArray>();
    auto exito = std::make_shared<bool>(false);
    Enlace* enlace = enlace_;
    Iniciar();
    trabajo_ = EjecutarTrabajo(
        this, [=](Interaccion&) { *exito = LeerConsola(*enlace, direccion, longitud, dato.get()); },
        [=, this] {
            Terminar();
            hayDato_ = *exito;
            if (!*exito) {
                Txt_RxD->setPlainText(kError);
                Txt_Hex->clear();
                return;
            }
            ultimoDato_ = *dato;
            ultimaDireccion_ = direccion.trimmed().toInt();
            MostrarDato();
        },
        interaccion_);
}

void frmDebug::CmdEscribir_Click() {
    if (Ocupada()) return;
    const QString direccion = Txt_Direccion->text();
    const QString lo = Txt_L->text();
    const QString hi = Txt_H->text();
    auto exito = std::make_shared<bool>(false);
    Enlace* enlace = enlace_;
    Iniciar();
    trabajo_ = EjecutarTrabajo(
        this, [=](Interaccion&) { *exito = EscribirConsola(*enlace, direccion, lo, hi); },
        [=, this] {
            Terminar();
            // On success the output box keeps what it showed.
            if (!*exito) {
                hayDato_ = false;
                Txt_RxD->setPlainText(kError);
                Txt_Hex->clear();
            }
        },
        interaccion_);
}

void frmDebug::MostrarDato() {
    const ModoVista modo = Opt_rx[1]->isChecked() ? ModoVista::Dec : ModoVista::Ascii;
    QString texto = NulltoCR(ultimoDato_, modo);
    // The text box breaks lines at LF; CR would show as a stray character.
    texto.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Txt_RxD->setPlainText(texto);
    Txt_Hex->setPlainText(VistaHex(ultimoDato_, ultimaDireccion_));
}

void frmDebug::Iniciar() {
    for (QWidget* w : {static_cast<QWidget*>(CmdLeer), static_cast<QWidget*>(CmdEscribir)})
        w->setEnabled(false);
    for (QPushButton* b : Cmd_Dir) b->setEnabled(false);
    setCursor(Qt::BusyCursor);
}

void frmDebug::Terminar() {
    CmdLeer->setEnabled(true);
    CmdEscribir->setEnabled(true);
    for (QPushButton* b : Cmd_Dir) b->setEnabled(true);
    unsetCursor();
}

void frmDebug::closeEvent(QCloseEvent* evento) {
    // The request finishes first: it writes into this window when it ends.
    if (Ocupada()) {
        evento->ignore();
        return;
    }
    unsetCursor();
    evento->accept();
}
