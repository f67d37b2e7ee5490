#include "weighings/ui/FrmAuto.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <iterator>

#include "app/ui/InteraccionVentanas.h"
#include "link/ui/EnlacePrograma.h"
#include "settings/Idioma.h"
#include "weighings/BajadaAuto.h"
#include "weighings/Decodificacion.h"

namespace {

// The connection states the download reports, as text ids.
const char* const kEstados[][2] = {
    {"001005", "Conectando..."}, {"001006", "Conectado"}, {"001007", "Desconectado"}};

QGroupBox* Marco(const char* nombre, QWidget* contenido, QWidget* padre) {
    auto* marco = new QGroupBox(padre);
    marco->setObjectName(QString::fromLatin1(nombre));
    auto* capa = new QVBoxLayout(marco);
    capa->addWidget(contenido);
    return marco;
}

}  // namespace

frmAuto::frmAuto(QWidget* padre, Enlace* enlace, Interaccion* interaccion)
    : QWidget(padre, Qt::Window), interaccion_(interaccion), hilo_(new QThread(this)) {
    if (!interaccion_) {
        interaccionPropia_ = std::make_unique<InteraccionVentanas>(this);
        interaccion_ = interaccionPropia_.get();
    }
    // No parent: it moves to its own thread when the window starts it.
    bajada_ = new BajadaAuto(enlace ? *enlace : EnlaceDelPrograma());
    hilo_->setObjectName(QStringLiteral("BajadaAuto"));
    TmrReloj = new QTimer(this);
    TmrReloj->setObjectName(QStringLiteral("TmrReloj"));
    TmrReloj->setInterval(200);
    connect(TmrReloj, &QTimer::timeout, this, &frmAuto::MostrarHora);

    setObjectName(QStringLiteral("frmAuto"));
    LblHoraActual = new QLabel(this);
    LblHoraActual->setObjectName(QStringLiteral("LblHoraActual"));
    LblHoraComunicacion = new QLabel(this);
    LblHoraComunicacion->setObjectName(QStringLiteral("LblHoraComunicacion"));
    LblEstado = new QLabel(this);
    LblEstado->setObjectName(QStringLiteral("LblEstado"));
    Txt_Reporte = new QPlainTextEdit(this);
    Txt_Reporte->setObjectName(QStringLiteral("Txt_Reporte"));
    Txt_Reporte->setReadOnly(true);
    FraHoraActual = Marco("FraHoraActual", LblHoraActual, this);
    FraHoraComunicacion = Marco("FraHoraComunicacion", LblHoraComunicacion, this);
    Frame1 = Marco("Frame1", LblEstado, this);

    auto* arriba = new QHBoxLayout;
    arriba->addWidget(FraHoraActual);
    arriba->addWidget(FraHoraComunicacion);
    arriba->addWidget(Frame1);
    auto* principal = new QVBoxLayout(this);
    principal->addLayout(arriba);
    principal->addWidget(Txt_Reporte, 1);
    PonerTextos();
    // Room for a few report lines of the usual length, in the font in use.
    const QFontMetrics medida(Txt_Reporte->font());
    Txt_Reporte->setMinimumSize(medida.averageCharWidth() * 48, medida.lineSpacing() * 8);

    // Hover: bold over the state, normal again over the rest of the window.
    for (QObject* o :
         {static_cast<QObject*>(this), static_cast<QObject*>(Frame1),
          static_cast<QObject*>(Txt_Reporte), static_cast<QObject*>(Txt_Reporte->viewport()),
          static_cast<QObject*>(LblEstado)})
        o->installEventFilter(this);

    connect(bajada_, &BajadaAuto::reporte, this,
            [this](const QString& linea) { Txt_Reporte->appendPlainText(linea); });
    connect(bajada_, &BajadaAuto::estadoConexion, this, &frmAuto::MostrarEstado);

    bajada_->fijarCampos(Llena_Opciones());
    bajada_->LeerHorario();
    LblHoraComunicacion->setText(bajada_->textoHora());
    LblHoraActual->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
}

void frmAuto::PonerTextos() {
    setWindowTitle(T("001001", "Descarga automática de la auditoria"));
    LblEstado->setToolTip(T("001035", "doble clic para bajar ahora"));
    FraHoraActual->setTitle(T("001002", "Hora actual"));
    FraHoraComunicacion->setTitle(T("001004", "Hora comunicación"));
    Frame1->setTitle(T("001003", "Estado"));
    if (estado_ >= 0) LblEstado->setText(T(kEstados[estado_][0], kEstados[estado_][1]));
    // The state is bold under the mouse: room for the widest state in bold, so nothing moves.
    QFont negrita = LblEstado->font();
    negrita.setBold(true);
    const QFontMetrics medida(negrita);
    int ancho = 0;
    for (const auto& e : kEstados) ancho = qMax(ancho, medida.horizontalAdvance(T(e[0], e[1])));
    LblEstado->setMinimumWidth(ancho);
    LblHoraActual->setMinimumWidth(
        QFontMetrics(LblHoraActual->font()).horizontalAdvance(QStringLiteral("00:00:00")));
}

void frmAuto::MostrarEstado(const QString& texto) {
    estado_ = -1;
    for (int i = 0; i < int(std::size(kEstados)); ++i)
        if (texto == T(kEstados[i][0], kEstados[i][1])) estado_ = i;
    LblEstado->setText(texto);
}

void frmAuto::changeEvent(QEvent* evento) {
    if (evento->type() == QEvent::LanguageChange) PonerTextos();
    QWidget::changeEvent(evento);
}

frmAuto::~frmAuto() {
    if (hilo_->isRunning()) {
        hilo_->quit();
        hilo_->wait();
    }
    delete bajada_;
}

void frmAuto::EnNucleo(const std::function<void()>& f) {
    if (!hilo_->isRunning()) {
        f();
        return;
    }
    QMetaObject::invokeMethod(bajada_, f, Qt::BlockingQueuedConnection);
}

void frmAuto::MostrarHora() {
    LblHoraActual->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
}

void frmAuto::showEvent(QShowEvent* evento) {
    QWidget::showEvent(evento);
    // The first connection runs once the window is on screen ("ON" comes after showing it).
    if (!iniciada_) {
        iniciada_ = true;
        QTimer::singleShot(0, this, &frmAuto::Iniciar);
    }
}

void frmAuto::Iniciar() {
    bajada_->moveToThread(hilo_);
    hilo_->start();
    TmrReloj->start();
    QMetaObject::invokeMethod(bajada_, &BajadaAuto::Iniciar, Qt::QueuedConnection);
}

void frmAuto::MarcarEstado(bool negrita) {
    QFont letra = LblEstado->font();
    if (letra.bold() == negrita) return;
    letra.setBold(negrita);
    LblEstado->setFont(letra);
}

bool frmAuto::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::Enter) MarcarEstado(objeto == LblEstado);
    if (objeto == LblEstado && evento->type() == QEvent::MouseButtonDblClick) {
        QMetaObject::invokeMethod(bajada_, &BajadaAuto::BajarAhora, Qt::QueuedConnection);
        return true;
    }
    return QWidget::eventFilter(objeto, evento);
}

void frmAuto::closeEvent(QCloseEvent* evento) {
    if (!interaccion_->Preguntar(T("001011", "Desea cerrar la ventana?"), T("001012", "Salir"),
                                 Icono::Pregunta)) {
        evento->ignore();
        return;
    }
    // A download in progress finishes first: it may be between storing and deleting.
    EnNucleo([this] { bajada_->Terminar(); });
    TmrReloj->stop();
    evento->accept();
    Q_EMIT cerrada();
}
