#include "link/ui/FrmComm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include "link/ClienteEnlace.h"
#include "link/ui/EnlacePrograma.h"
#include "settings/Idioma.h"

FrmComm::FrmComm(ClienteEnlace& cliente, QWidget* duenio)
    : QDialog(duenio), cliente_(&cliente), duenio_(duenio) {
    Construir();
    connect(&cliente, &ClienteEnlace::inicio, this, &FrmComm::Iniciar);
    connect(&cliente, &ClienteEnlace::progreso, this, &FrmComm::Progresar);
    connect(&cliente, &ClienteEnlace::fin, this, &FrmComm::Terminar);
    connect(&cliente, &ClienteEnlace::saludCambiada, this, &FrmComm::MostrarReintentos);
    // Made while a request already runs: show it.
    QString leyenda;
    bool silenciosa = false;
    if (cliente.EnCurso(&leyenda, &silenciosa)) Iniciar(leyenda, silenciosa);
}

void FrmComm::Construir() {
    setObjectName(QStringLiteral("FrmComm"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowModality(Qt::WindowModal);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    ProgBar = new QProgressBar(this);
    ProgBar->setObjectName(QStringLiteral("ProgBar"));
    ProgBar->setRange(0, 100);
    ProgBar->setValue(0);
    cmdCancel = new QPushButton(this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* caja = new QVBoxLayout(this);
    caja->addWidget(Label1);
    LblReintentos = new QLabel(this);
    LblReintentos->setObjectName(QStringLiteral("LblReintentos"));
    caja->addWidget(ProgBar);
    caja->addWidget(LblReintentos);
    caja->addWidget(cmdCancel, 0, Qt::AlignHCenter);
    PonerTextos();
    connect(cmdCancel, &QPushButton::clicked, this, [this] { Cliente().Cancelar(); });
}

void FrmComm::PonerTextos() {
    setWindowTitle(TextoIdioma(QStringLiteral("002001"), QStringLiteral("Comunicando")));
    cmdCancel->setText(TextoIdioma(QStringLiteral("002002"), QStringLiteral("Cancelar")));
    // A running request keeps the caption it was given; the default is re-read.
    if (!enCurso_ || leyenda_.isEmpty()) Label1->setText(LeyendaComando());
    MostrarReintentos();
    // Room for the longest of the usual captions, so the window keeps its width between them,
    // and for the title with the title bar's buttons.
    const QFontMetrics medida(Label1->font());
    int ancho = medida.horizontalAdvance(windowTitle()) * 2;
    for (const QString& texto :
         {LeyendaComando(),
          TextoIdioma(QStringLiteral("002003"), QStringLiteral("Recibiendo datos...")),
          TextoIdioma(QStringLiteral("002026"), QStringLiteral("Conectando..."))})
        ancho = qMax(ancho, medida.horizontalAdvance(texto));
    Label1->setMinimumWidth(ancho + medida.horizontalAdvance(QStringLiteral("MMMM")));
}

// A command has no caption of its own: it sends data.
QString FrmComm::LeyendaComando() {
    return TextoIdioma(QStringLiteral("002004"), QStringLiteral("Enviando datos..."));
}

void FrmComm::changeEvent(QEvent* e) {
    if (e->type() == QEvent::LanguageChange) PonerTextos();
    QDialog::changeEvent(e);
}

ClienteEnlace& FrmComm::Cliente() const {
    return *cliente_;
}

void FrmComm::Iniciar(const QString& leyenda, bool silenciosa) {
    if (silenciosa) return;
    enCurso_ = true;
    leyenda_ = leyenda;
    fallosAlIniciar_ = IntentosFallidos(Cliente().Salud());
    LblReintentos->clear();
    PonerTextos();
    // Each request says what it does: a caption left over from the last one would be wrong.
    Label1->setText(leyenda.isEmpty() ? LeyendaComando() : leyenda);
    ProgBar->setValue(0);
    if (isVisible()) return;
    // Modal over the window that asked, which is the active one, for this request only: a window
    // that is closed later must not take the program's view with it.
    QWidget* activa = QApplication::activeWindow();
    if (activa && activa != this && activa != parentWidget()) setParent(activa, windowFlags());
    show();
}

quint64 FrmComm::IntentosFallidos(const SaludEnlace& s) {
    return s.tiemposAgotados + s.erroresCrc + s.respuestasMalformadas;
}

// Every failed try of the request on screen is a retry (or its last try).
void FrmComm::MostrarReintentos() {
    if (!enCurso_) return;
    const quint64 fallos = IntentosFallidos(Cliente().Salud()) - fallosAlIniciar_;
    if (fallos > 0)
        LblReintentos->setText(T("002025", "Reintentos") + QStringLiteral(": %1").arg(fallos));
}

void FrmComm::Progresar(int valor) {
    if (enCurso_) ProgBar->setValue(valor);
}

void FrmComm::Terminar(const RespuestaEnlace&) {
    if (!enCurso_) return;
    enCurso_ = false;
    ProgBar->setValue(100);
    hide();
    if (parentWidget() != duenio_.data()) setParent(duenio_.data(), windowFlags());
}

void FrmComm::reject() {
    if (enCurso_) {
        Cliente().Cancelar();
        return;  // the view hides when the request has ended
    }
    QDialog::reject();
}

void FrmComm::closeEvent(QCloseEvent* e) {
    if (enCurso_) {
        Cliente().Cancelar();
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}
