#include "weight/ui/FrmPeso.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>

#include "app/ui/InteraccionVentanas.h"
#include "link/ClienteEnlace.h"
#include "link/ui/EnlacePrograma.h"
#include "settings/Idioma.h"
#include "weight/LectorPeso.h"

namespace {

constexpr int kIntervaloMs = 500;
// Colours of the lamp as the indicator's manual gives them (RGB 255 and 65280).
const QColor kRojo(255, 0, 0);
const QColor kVerde(0, 255, 0);

QLabel* Etiqueta(QWidget* padre, const QString& nombre, const QString& texto) {
    auto* l = new QLabel(texto, padre);
    l->setObjectName(nombre);
    return l;
}

}  // namespace

Lampara::Lampara(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

// As tall as a line and a half of the window's text, whatever the font size.
QSize Lampara::sizeHint() const {
    const int lado = fontMetrics().height() * 3 / 2;
    return QSize(lado, lado);
}

void Lampara::setColor(const QColor& color) {
    if (color == color_) return;
    color_ = color;
    update();
}

void Lampara::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(color_);
    const int lado = qMin(width(), height()) - 2;
    p.drawEllipse(QRect((width() - lado) / 2, (height() - lado) / 2, lado, lado));
}

frmPeso::frmPeso(Interaccion* interaccion, QWidget* parent, ClienteEnlace* cliente)
    : QWidget(parent, Qt::Window), cliente_(cliente ? cliente : &ClienteDelPrograma()) {
    setObjectName(QStringLiteral("frmPeso"));
    if (!interaccion) {
        interaccionPropia_ = std::make_unique<InteraccionVentanas>(this);
        interaccion = interaccionPropia_.get();
    }
    interaccion_ = interaccion;

    FrmBalanza = new QGroupBox(this);
    FrmBalanza->setObjectName(QStringLiteral("FrmBalanza"));
    Label2 = Etiqueta(FrmBalanza, QStringLiteral("Label2"), QString());
    Label4 = Etiqueta(FrmBalanza, QStringLiteral("Label4"), QString());
    Label6 = Etiqueta(FrmBalanza, QStringLiteral("Label6"), QString());
    // The units are fixed: the indicator always weighs in kilograms.
    Label1 = Etiqueta(FrmBalanza, QStringLiteral("Label1"), QStringLiteral("kg"));
    Label3 = Etiqueta(FrmBalanza, QStringLiteral("Label3"), QStringLiteral("kg"));
    Label5 = Etiqueta(FrmBalanza, QStringLiteral("Label5"), QStringLiteral("kg"));
    LblBruto = Etiqueta(FrmBalanza, QStringLiteral("LblBruto"), QString());
    LblTara = Etiqueta(FrmBalanza, QStringLiteral("LblTara"), QString());
    LblNeto = Etiqueta(FrmBalanza, QStringLiteral("LblNeto"), QString());
    QFont grande = font();
    // Three times the window's text, so the values stay readable from afar at any font size.
    grande.setPointSizeF(QFontInfo(font()).pointSizeF() * 3);
    grande.setBold(true);
    for (QLabel* valor : {LblBruto, LblTara, LblNeto}) {
        valor->setFont(grande);
        valor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        valor->setMinimumWidth(
            QFontMetrics(grande).horizontalAdvance(QStringLiteral("-000000.000")));
    }
    LblSinDatos = Etiqueta(FrmBalanza, QStringLiteral("LblSinDatos"), QString());
    LblSinDatos->setAlignment(Qt::AlignCenter);
    // Rows that come and go keep their room: the window does not jump while it polls.
    for (QWidget* w : std::initializer_list<QWidget*>{LblSinDatos, LblTara, LblNeto, Label3, Label4,
                                                      Label5, Label6}) {
        QSizePolicy politica = w->sizePolicy();
        politica.setRetainSizeWhenHidden(true);
        w->setSizePolicy(politica);
    }
    LblSinDatos->hide();
    Shape_led = new Lampara(FrmBalanza);
    Shape_led->setObjectName(QStringLiteral("Shape_led"));

    auto* rejilla = new QGridLayout(FrmBalanza);
    rejilla->setHorizontalSpacing(fontMetrics().averageCharWidth() * 2);
    rejilla->addWidget(Shape_led, 0, 0, Qt::AlignTop);
    rejilla->addWidget(Label2, 0, 1);
    rejilla->addWidget(LblBruto, 0, 2);
    rejilla->addWidget(Label1, 0, 3);
    rejilla->addWidget(Label4, 1, 1);
    rejilla->addWidget(LblTara, 1, 2);
    rejilla->addWidget(Label3, 1, 3);
    rejilla->addWidget(Label6, 2, 1);
    rejilla->addWidget(LblNeto, 2, 2);
    rejilla->addWidget(Label5, 2, 3);
    rejilla->addWidget(LblSinDatos, 3, 1, 1, 3);
    auto* columna = new QVBoxLayout(this);
    columna->addWidget(FrmBalanza);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kIntervaloMs);
    connect(Timer1, &QTimer::timeout, this, &frmPeso::Timer1_Timer);

    Cargar();
}

frmPeso::~frmPeso() = default;

void frmPeso::PonerTextos() {
    setWindowTitle(TextoIdioma("009001", "Pesar"));
    FrmBalanza->setTitle(TextoIdioma("009002", "Balanza 1"));
    Label2->setText(TextoIdioma("009003", "Bruto"));
    Label4->setText(TextoIdioma("009004", "Tara"));
    Label6->setText(TextoIdioma("009005", "Neto"));
    LblSinDatos->setText(TextoIdioma("009008", "sin datos"));
}

void frmPeso::changeEvent(QEvent* evento) {
    if (evento->type() == QEvent::LanguageChange) PonerTextos();
    QWidget::changeEvent(evento);
}

void frmPeso::Cargar() {
    PonerTextos();
    MostrarSinDatos(false);

    lector_ = std::make_unique<LectorPeso>(*cliente_);
    connect(lector_.get(), &LectorPeso::Leido, this, &frmPeso::MostrarLectura);
    connect(lector_.get(), &LectorPeso::LecturaFallida, this, [this] { MostrarSinDatos(true); });
    connect(lector_.get(), &LectorPeso::Fallido, this, &frmPeso::FalloLectura);
    balanza_ = 1;
    cerrada_ = false;
    Timer1->start();
}

void frmPeso::showEvent(QShowEvent* evento) {
    // Shown again after being closed: load afresh, with a new connection.
    if (cerrada_) Cargar();
    QWidget::showEvent(evento);
}

void frmPeso::Timer1_Timer() {
    // A tick that falls while a poll is still waiting for the indicator is skipped.
    if (lector_) lector_->Sondear();
}

void frmPeso::MostrarLectura(const LecturaPeso& l) {
    MostrarSinDatos(false);
    LblBruto->setText(FormatearPeso(l.Bruto, l.Decimales));
    LblTara->setText(FormatearPeso(l.Tara, l.Decimales));
    LblNeto->setText(FormatearPeso(l.Neto, l.Decimales));
    MostrarFilasTara(l.BitTara == 1);
    Shape_led->setColor(LamparaRoja(l.Bit2, l.Bit0, l.Neto) ? kRojo : kVerde);
}

void frmPeso::MostrarFilasTara(bool visibles) {
    for (QWidget* w : {static_cast<QWidget*>(LblTara), static_cast<QWidget*>(LblNeto),
                       static_cast<QWidget*>(Label3), static_cast<QWidget*>(Label4),
                       static_cast<QWidget*>(Label5), static_cast<QWidget*>(Label6)})
        w->setVisible(visibles);
}

// The last values stay, greyed: they are no longer the scale's.
void frmPeso::MostrarSinDatos(bool sinDatos) {
    for (QLabel* valor : {LblBruto, LblTara, LblNeto}) valor->setEnabled(!sinDatos);
    LblSinDatos->setVisible(sinDatos);
}

void frmPeso::FalloLectura() {
    Timer1->stop();
    lector_.reset();  // the line goes now, not after the operator has read the message
    avisando_ = true;
    interaccion_->Avisar(TextoIdioma("009006", "Error en la comunicación con la balanza"),
                         TextoIdioma("009007", "¡Atención!"), Icono::Error);
    avisando_ = false;
    close();
}

void frmPeso::closeEvent(QCloseEvent* evento) {
    // Closed from outside while the failure message is up: the window would be deleted under the
    // message box. It closes anyway once the message is dismissed.
    if (avisando_) {
        evento->ignore();
        return;
    }
    Timer1->stop();
    lector_.reset();
    const bool yaCerrada = cerrada_;
    cerrada_ = true;
    QWidget::closeEvent(evento);
    if (!yaCerrada) Q_EMIT cerrada();
}
