#include "weight/LectorPeso.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QThread>

Q_LOGGING_CATEGORY(lcPeso, "bascora.peso")

namespace {

constexpr int kLecturasPorSondeo = 6;

// Once the reader is going away, every further exchange ends at once instead of running out its
// answer wait, so the worker is gone within one exchange.
class LineaInterrumpible final : public Transporte {
  public:
    LineaInterrumpible(std::unique_ptr<Transporte> linea, std::shared_ptr<std::atomic_bool> detener)
        : linea_(std::move(linea)), detener_(std::move(detener)) {}
    bool Abrir() override { return !detener_->load() && linea_->Abrir(); }
    void Cerrar() override { linea_->Cerrar(); }
    QByteArray Intercambiar(const QByteArray& trama, int esperados) override {
        if (detener_->load()) return {};
        return linea_->Intercambiar(trama, esperados);
    }

  private:
    std::unique_ptr<Transporte> linea_;
    std::shared_ptr<std::atomic_bool> detener_;
};

}  // namespace

TrabajadorPeso::TrabajadorPeso(const AjustesLinea& ajustes,
                               std::shared_ptr<std::atomic_bool> detener)
    : ajustes_(ajustes), detener_(std::move(detener)) {}

TrabajadorPeso::~TrabajadorPeso() {
    if (linea_) linea_->Cerrar();
}

void TrabajadorPeso::Abrir() {
    linea_ = std::make_unique<LineaInterrumpible>(CrearTransporte(ajustes_), detener_);
    // A line that does not open is not reported here: its readings fail and the poll says so.
    if (!linea_->Abrir()) qCWarning(lcPeso) << "live weight: the line did not open";
}

void TrabajadorPeso::Sondear() {
    if (!linea_) return;
    LecturaPeso l;
    l.Decimales = DecimalesPeso();
    int balanza = 1;
    bool leido = false;
    for (int i = 0; i < kLecturasPorSondeo && !leido && !detener_->load(); ++i)
        leido = LeePeso(*linea_, balanza, l.Bruto, l.Tara, l.Neto, l.Bit2, l.Bit0, l.BitTara);
    if (detener_->load()) return;
    if (leido)
        Q_EMIT Leido(l);
    else
        Q_EMIT Fallido();
}

LectorPeso::LectorPeso(const AjustesLinea& ajustes, QObject* padre)
    : QObject(padre), hilo_(new QThread), detener_(std::make_shared<std::atomic_bool>(false)) {
    qRegisterMetaType<LecturaPeso>();
    trabajador_ = new TrabajadorPeso(ajustes, detener_);
    trabajador_->moveToThread(hilo_);
    // The worker and its line are freed on their own thread once it ends.
    connect(hilo_, &QThread::finished, trabajador_, &QObject::deleteLater);
    connect(trabajador_, &TrabajadorPeso::Leido, this, [this](const LecturaPeso& l) {
        ocupado_ = false;
        Q_EMIT Leido(l);
    });
    connect(trabajador_, &TrabajadorPeso::Fallido, this, [this] {
        ocupado_ = false;
        Q_EMIT Fallido();
    });
    hilo_->setObjectName(QStringLiteral("LectorPeso"));
    hilo_->start();
    QMetaObject::invokeMethod(trabajador_, &TrabajadorPeso::Abrir, Qt::QueuedConnection);
}

LectorPeso::~LectorPeso() {
    detener_->store(true);
    disconnect(trabajador_, nullptr, this, nullptr);
    QThread* hilo = hilo_;
    hilo->quit();
    if (hilo->wait(50)) {
        delete hilo;
        return;
    }
    // Still inside an exchange: let it end on its own (at most one answer wait).
    connect(hilo, &QThread::finished, hilo, &QObject::deleteLater);
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, hilo, [hilo] { hilo->wait(); });
}

bool LectorPeso::Sondear() {
    if (ocupado_) return false;
    ocupado_ = true;
    QMetaObject::invokeMethod(trabajador_, &TrabajadorPeso::Sondear, Qt::QueuedConnection);
    return true;
}
