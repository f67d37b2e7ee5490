#include "link/ClienteEnlace.h"

#include <QThread>
#include <QTimer>
#include <future>

#include "link/Transporte.h"
#include "settings/Idioma.h"

namespace {

// The line is closed after this long without requests, so the port is free for other programs
// while nothing talks to the indicator; the live weight's 500 ms polls keep it open.
constexpr int kReposoMs = 3000;

RespuestaEnlace Cancelada() {
    RespuestaEnlace r;
    r.cancelado = true;
    r.motivo = TextoIdioma(QStringLiteral("002014"), QStringLiteral("Cancelado"));
    return r;
}

QString LeyendaPorDefecto(const SolicitudEnlace& s) {
    if (!s.leyenda.isEmpty() || s.tipo == TipoSolicitud::Comando) return s.leyenda;
    if (s.tipo == TipoSolicitud::Leer)
        return TextoIdioma(QStringLiteral("002003"), QStringLiteral("Recibiendo datos..."));
    return TextoIdioma(QStringLiteral("002004"), QStringLiteral("Enviando datos..."));
}

}  // namespace

// Lives on the client's thread and owns the line there.
class TrabajadorEnlace : public QObject {
  public:
    explicit TrabajadorEnlace(ClienteEnlace& cliente)
        : cliente_(cliente), reposo_(new QTimer(this)) {
        reposo_->setSingleShot(true);
        reposo_->setInterval(kReposoMs);
        connect(reposo_, &QTimer::timeout, this, [this] { CerrarLinea(); });
    }
    ~TrabajadorEnlace() override { CerrarLinea(); }

    // Serves the queue. Waits inside a request run local event loops that may deliver the next
    // call here: it returns at once and the loop below takes that request in turn.
    void Atender() {
        if (atendiendo_) return;
        atendiendo_ = true;
        reposo_->stop();
        ClienteEnlace::Pendiente p;
        while (cliente_.Tomar(&p)) {
            const RespuestaEnlace r = Realizar(p);
            p.entregar(p.numero, r);
        }
        atendiendo_ = false;
        if (linea_) reposo_->start();
    }

    // A queued Cancel reaches the wait in progress here.
    void Despertar() {
        if (linea_ && cliente_.canceladoActual_.load()) linea_->Interrumpir();
    }

  private:
    RespuestaEnlace Realizar(const ClienteEnlace::Pendiente& p) {
        if (!cliente_.Comenzar(p)) return Cancelada();
        AjustesLinea a = LeerAjustesLinea();
        if (cliente_.esperaMs_ >= 0) a.esperaMs = cliente_.esperaMs_;
        if (cliente_.esperaConexionMs_ >= 0) a.esperaConexionMs = cliente_.esperaConexionMs_;
        if (cliente_.guardaMs_ >= 0) a.guardaMs = cliente_.guardaMs_;
        const int id = LeerIdEsclavo();
        Q_EMIT cliente_.inicio(LeyendaPorDefecto(p.solicitud), p.solicitud.silenciosa);
        Q_EMIT cliente_.progreso(0);
        AsegurarLinea(a);

        int ultimo = 0;
        ControlRegistros control;
        control.cancelado = &cliente_.canceladoActual_;
        control.progreso = [this, &ultimo](int valor) {
            if (valor == ultimo) return;
            ultimo = valor;
            Q_EMIT cliente_.progreso(valor);
        };
        RespuestaEnlace r = EjecutarSolicitud(*linea_, p.solicitud, id, control);
        cliente_.AnotarReintentos(salud_, r.reintentos);
        cliente_.Terminar();
        if (ultimo != 100) Q_EMIT cliente_.progreso(100);
        Q_EMIT cliente_.fin(r);
        return r;
    }

    // The open line is kept while the settings are the same; a line that went down is reopened.
    void AsegurarLinea(const AjustesLinea& a) {
        const bool nueva = !linea_ || !(a == ajustes_);
        if (nueva) {
            CerrarLinea();
            linea_ = CrearTransporte(a);
            ajustes_ = a;
            SaludEnlace* salud = cliente_.EntradaSalud(NombreConexion(a));
            salud_ = salud;
            linea_->fijarObservador(
                [this, salud](const JuicioRespuesta& j) { cliente_.AnotarTrama(salud, j); });
        }
        linea_->Reanudar();
        if (cliente_.canceladoActual_.load()) linea_->Interrumpir();
        if (nueva || !linea_->EnLinea()) linea_->Abrir();
    }

    void CerrarLinea() {
        if (!linea_) return;
        linea_->Cerrar();
        linea_.reset();
    }

    ClienteEnlace& cliente_;
    QTimer* reposo_;
    std::unique_ptr<Transporte> linea_;
    AjustesLinea ajustes_;
    SaludEnlace* salud_ = nullptr;
    bool atendiendo_ = false;
};

ClienteEnlace::ClienteEnlace(QObject* padre) : QObject(padre) {
    qRegisterMetaType<RespuestaEnlace>();
    qRegisterMetaType<SaludEnlace>();
    hilo_ = new QThread;
    hilo_->setObjectName(QStringLiteral("ClienteEnlace"));
    trabajador_ = new TrabajadorEnlace(*this);
    trabajador_->moveToThread(hilo_);
    // The worker and its line are freed on their own thread when it ends.
    connect(hilo_, &QThread::finished, trabajador_, &QObject::deleteLater);
    hilo_->start();
}

ClienteEnlace::~ClienteEnlace() {
    {
        std::lock_guard l(mutex_);
        cerrando_ = true;
    }
    Cancelar();
    hilo_->quit();
    hilo_->wait();
    delete hilo_;
    // Whatever the worker did not reach ends cancelled.
    std::deque<Pendiente> resto;
    {
        std::lock_guard l(mutex_);
        resto.swap(cola_);
    }
    for (Pendiente& p : resto) p.entregar(p.numero, Cancelada());
}

quint64 ClienteEnlace::Reservar() {
    std::lock_guard l(mutex_);
    return ++emitidas_;
}

void ClienteEnlace::Poner(quint64 numero, const SolicitudEnlace& s,
                          std::function<void(quint64, const RespuestaEnlace&)> entregar) {
    {
        std::lock_guard l(mutex_);
        if (!cerrando_) {
            cola_.push_back({numero, s, std::move(entregar)});
            entregar = nullptr;
        }
    }
    if (entregar) {
        entregar(numero, Cancelada());
        return;
    }
    QMetaObject::invokeMethod(
        trabajador_, [t = trabajador_] { t->Atender(); }, Qt::QueuedConnection);
}

RespuestaEnlace ClienteEnlace::Ejecutar(const SolicitudEnlace& solicitud) {
    if (QThread::currentThread() == hilo_) {
        qCWarning(lcEnlace) << "a link request from the link's own thread was refused";
        RespuestaEnlace r;
        r.motivo = QStringLiteral("ClienteEnlace::Ejecutar on the link thread");
        return r;
    }
    std::promise<RespuestaEnlace> promesa;
    std::future<RespuestaEnlace> futuro = promesa.get_future();
    Poner(Reservar(), solicitud,
          [&promesa](quint64, const RespuestaEnlace& r) { promesa.set_value(r); });
    return futuro.get();
}

quint64 ClienteEnlace::Enviar(const SolicitudEnlace& solicitud, QObject* contexto,
                              std::function<void(RespuestaEnlace)> alTerminar) {
    const quint64 numero = Reservar();
    if (contexto && alTerminar) {
        auto conexion = std::make_shared<QMetaObject::Connection>();
        *conexion = connect(
            this, &ClienteEnlace::entregada, contexto,
            [numero, conexion, alTerminar = std::move(alTerminar)](quint64 n,
                                                                   const RespuestaEnlace& r) {
                if (n != numero) return;
                QObject::disconnect(*conexion);
                alTerminar(r);
            },
            Qt::QueuedConnection);
    }
    Poner(numero, solicitud,
          [this](quint64 n, const RespuestaEnlace& r) { Q_EMIT entregada(n, r); });
    return numero;
}

void ClienteEnlace::Cancelar() {
    {
        std::lock_guard l(mutex_);
        cancelarHasta_ = emitidas_;
        if (actual_ != 0) canceladoActual_ = true;
    }
    Despertar();
}

void ClienteEnlace::Cancelar(quint64 numero) {
    {
        std::lock_guard l(mutex_);
        if (numero == actual_)
            canceladoActual_ = true;
        else if (numero > cancelarHasta_)
            cancelados_.insert(numero);
    }
    Despertar();
}

void ClienteEnlace::Despertar() {
    QMetaObject::invokeMethod(
        trabajador_, [t = trabajador_] { t->Despertar(); }, Qt::QueuedConnection);
}

void ClienteEnlace::Solicitar(PeticionEnlace& peticion) {
    peticion.Cancelado = false;
    SolicitudEnlace s;
    if (!SolicitudDePeticion(peticion, &s)) return;  // unknown mode: nothing is sent
    CompletarPeticion(peticion, Ejecutar(s));
}

void ClienteEnlace::fijarEsperas(int esperaMs, int esperaConexionMs, int guardaMs) {
    esperaMs_ = esperaMs;
    esperaConexionMs_ = esperaConexionMs;
    guardaMs_ = guardaMs;
}

bool ClienteEnlace::Tomar(Pendiente* p) {
    std::lock_guard l(mutex_);
    if (cola_.empty()) return false;
    *p = std::move(cola_.front());
    cola_.pop_front();
    return true;
}

bool ClienteEnlace::Comenzar(const Pendiente& p) {
    std::lock_guard l(mutex_);
    const bool cancelada = p.numero <= cancelarHasta_ || cancelados_.erase(p.numero) > 0;
    if (cancelada) return false;
    actual_ = p.numero;
    leyendaActual_ = LeyendaPorDefecto(p.solicitud);
    silenciosaActual_ = p.solicitud.silenciosa;
    canceladoActual_ = false;
    return true;
}

void ClienteEnlace::Terminar() {
    std::lock_guard l(mutex_);
    actual_ = 0;
    canceladoActual_ = false;
}

bool ClienteEnlace::EnCurso(QString* leyenda, bool* silenciosa) const {
    std::lock_guard l(mutex_);
    if (leyenda) *leyenda = leyendaActual_;
    if (silenciosa) *silenciosa = silenciosaActual_;
    return actual_ != 0;
}

SaludEnlace* ClienteEnlace::EntradaSalud(const QString& conexion) {
    std::lock_guard l(mutex_);
    SaludEnlace& s = salud_[conexion];
    s.conexion = conexion;
    return &s;
}

void ClienteEnlace::AnotarTrama(SaludEnlace* s, const JuicioRespuesta& juicio) {
    {
        std::lock_guard l(mutex_);
        ultima_ = s;
        ::AnotarTrama(*s, juicio);
    }
    Q_EMIT saludCambiada();
}

void ClienteEnlace::AnotarReintentos(SaludEnlace* s, int reintentos) {
    if (reintentos <= 0 || !s) return;
    {
        std::lock_guard l(mutex_);
        s->reintentos += quint64(reintentos);
    }
    Q_EMIT saludCambiada();
}

SaludEnlace ClienteEnlace::Salud() const {
    std::lock_guard l(mutex_);
    return ultima_ ? *ultima_ : SaludEnlace();
}

SaludEnlace ClienteEnlace::Salud(const QString& conexion) const {
    std::lock_guard l(mutex_);
    const auto i = salud_.find(conexion);
    return i == salud_.end() ? SaludEnlace() : i->second;
}
