#include "weighings/ui/FrmPesadas.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/ui/InteraccionVentanas.h"
#include "app/ui/Trabajo.h"
#include "link/ui/EnlacePrograma.h"
#include "settings/Idioma.h"
#include "weighings/LeerAuditoria.h"

frmPesadas::frmPesadas(QWidget* padre, Enlace* enlace, Interaccion* interaccion)
    : QWidget(padre, Qt::Window),
      CmdLeer(new QPushButton(this)),
      CmdDesbloquear(new QPushButton(this)),
      CmdEliminar(new QPushButton(this)),
      LblBajar(new QLabel(this)),
      LblCnt(new QLabel(this)),
      LblError(new QLabel(this)),
      TmrBajar(new QTimer(this)),
      enlace_(enlace ? enlace : &EnlaceDelPrograma()),
      interaccion_(interaccion),
      interaccionTrabajos_(interaccion) {
    if (!interaccion_) {
        interaccionPropia_ = std::make_unique<InteraccionVentanas>(this);
        interaccion_ = interaccionPropia_.get();
    }

    setObjectName(QStringLiteral("frmPesadas"));
    CmdLeer->setObjectName(QStringLiteral("CmdLeer"));
    CmdDesbloquear->setObjectName(QStringLiteral("CmdDesbloquear"));
    CmdEliminar->setObjectName(QStringLiteral("CmdEliminar"));
    LblBajar->setObjectName(QStringLiteral("LblBajar"));
    LblBajar->setWordWrap(true);
    LblCnt->setObjectName(QStringLiteral("LblCnt"));
    LblCnt->setText(QStringLiteral("1"));
    LblCnt->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LblError->setObjectName(QStringLiteral("LblError"));
    // The error mark comes and goes every second: its room stays so the row does not move.
    QSizePolicy politica = LblError->sizePolicy();
    politica.setRetainSizeWhenHidden(true);
    LblError->setSizePolicy(politica);
    LblError->hide();
    TmrBajar->setObjectName(QStringLiteral("TmrBajar"));
    TmrBajar->setInterval(1000);

    // Two states in one place: the commands, or the wait for the indicator. The stack keeps the
    // room of the larger one, so the window does not change size between them.
    auto* paginaBotones = new QWidget(this);
    auto* botones = new QHBoxLayout(paginaBotones);
    botones->setContentsMargins(0, 0, 0, 0);
    botones->addWidget(CmdLeer);
    botones->addWidget(CmdDesbloquear);
    botones->addWidget(CmdEliminar);
    paginaEspera_ = new QWidget(this);
    auto* espera = new QHBoxLayout(paginaEspera_);
    espera->setContentsMargins(0, 0, 0, 0);
    espera->addWidget(LblBajar, 1);
    espera->addWidget(LblCnt);
    espera->addWidget(LblError);
    estados_ = new QStackedWidget(this);
    estados_->addWidget(paginaBotones);
    estados_->addWidget(paginaEspera_);
    // A strip of one row: no spare height to hand out.
    estados_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* principal = new QVBoxLayout(this);
    principal->addWidget(estados_);

    PonerTextos();

    connect(CmdLeer, &QPushButton::clicked, this, &frmPesadas::CmdLeer_Click);
    connect(CmdDesbloquear, &QPushButton::clicked, this, &frmPesadas::CmdDesbloquear_Click);
    connect(CmdEliminar, &QPushButton::clicked, this, &frmPesadas::CmdEliminar_Click);
    connect(TmrBajar, &QTimer::timeout, this, &frmPesadas::TmrBajar_Timer);

    campos_ = Llena_Opciones();
}

frmPesadas::~frmPesadas() = default;

void frmPesadas::PonerTextos() {
    setWindowTitle(T("008001", "Pesadas en el Equipo"));
    CmdLeer->setText(T("008004", "Recuperar"));
    CmdLeer->setToolTip(T("008078", "Leer las pesadas de la balanza"));
    CmdDesbloquear->setText(T("008003", "Desbloquear"));
    CmdDesbloquear->setToolTip(T("008077", "Desbloquear el Indicador"));
    CmdEliminar->setText(T("008002", "Eliminar"));
    CmdEliminar->setToolTip(T("008076", "Eliminar pesadas en la balanza"));
    LblBajar->setText(T("008005", "Esperando Finalización de proceso para descargar pesadas"));
    LblError->setText(T("008006", "Error !!!"));
    ReservarEspera();
}

// The waiting text wraps to about two lines; its width and height come from the font, so it
// fits whatever the font size or the language.
void frmPesadas::ReservarEspera() {
    const QFontMetrics medida(LblBajar->font());
    const int ancho = medida.horizontalAdvance(LblBajar->text()) / 2 +
                      medida.horizontalAdvance(QStringLiteral("MMMM"));
    LblBajar->setMinimumWidth(ancho);
    LblBajar->setMinimumHeight(LblBajar->heightForWidth(ancho));
    LblCnt->setMinimumWidth(medida.horizontalAdvance(QStringLiteral("00000")));
}

void frmPesadas::changeEvent(QEvent* evento) {
    if (evento->type() == QEvent::LanguageChange) PonerTextos();
    QWidget::changeEvent(evento);
}

bool frmPesadas::esperando() const {
    return TmrBajar->isActive();
}

bool frmPesadas::ocupada() const {
    return trabajo_ != nullptr;
}

void frmPesadas::Ejecutar(std::function<void(Interaccion&)> procedimiento,
                          std::function<void()> alTerminar) {
    for (QPushButton* b : {CmdLeer, CmdDesbloquear, CmdEliminar}) b->setEnabled(false);
    trabajo_ = EjecutarTrabajo(
        this, std::move(procedimiento),
        [this, alTerminar = std::move(alTerminar)] {
            for (QPushButton* b : {CmdLeer, CmdDesbloquear, CmdEliminar}) b->setEnabled(true);
            if (alTerminar) alTerminar();
        },
        interaccionTrabajos_);
}

void frmPesadas::CmdLeer_Click() {
    if (ocupada()) return;
    if (interaccion_->Preguntar(T("008026", "Desea bajar las pesadas del Indicador?"),
                                T("008027", "Atención"), Icono::Pregunta))
        Descargar();
}

void frmPesadas::CmdDesbloquear_Click() {
    if (ocupada()) return;
    Enlace* enlace = enlace_;
    Ejecutar([enlace](Interaccion& op) { ::CmdDesbloquear(*enlace, op); });
}

void frmPesadas::CmdEliminar_Click() {
    if (ocupada()) return;
    Enlace* enlace = enlace_;
    Ejecutar([enlace](Interaccion& op) { ::CmdEliminar(*enlace, op); });
}

void frmPesadas::Descargar() {
    auto fin = std::make_shared<FinDescarga>(FinDescarga::FalloEstado);
    Enlace* enlace = enlace_;
    const OpcionesCampos campos = campos_;
    Ejecutar(
        [enlace, campos, fin](Interaccion& op) { *fin = LeerAuditoria(*enlace, op, campos).fin; },
        [this, fin] {
            if (*fin == FinDescarga::Esperar) EntrarEspera();
        });
}

void frmPesadas::EntrarEspera() {
    LblCnt->setText(QStringLiteral("1"));
    LblError->hide();
    estados_->setCurrentWidget(paginaEspera_);
    TmrBajar->start();
}

void frmPesadas::SalirEspera() {
    TmrBajar->stop();
    LblError->hide();
    estados_->setCurrentIndex(0);
}

void frmPesadas::TmrBajar_Timer() {
    if (ocupada()) return;  // the last status read is still out
    LblCnt->setText(QString::number(LblCnt->text().toInt() + 1));
    auto estado = std::make_shared<EstadoIndicador>(EstadoIndicador::SinRespuesta);
    Enlace* enlace = enlace_;
    Ejecutar([enlace, estado](Interaccion&) { *estado = LeerEstadoIndicador(*enlace); },
             [this, estado] {
                 if (!TmrBajar->isActive()) return;  // the window was closed meanwhile
                 if (*estado == EstadoIndicador::SinRespuesta) {
                     LblError->show();
                     return;
                 }
                 LblError->hide();
                 if (*estado == EstadoIndicador::Libre) {
                     SalirEspera();
                     Descargar();  // from the start: the status is checked once more
                 }
             });
}

void frmPesadas::closeEvent(QCloseEvent* evento) {
    // A job may be waiting for the indicator or for a box over this window.
    if (ocupada()) {
        evento->ignore();
        return;
    }
    TmrBajar->stop();
    evento->accept();
    Q_EMIT cerrada();
}
