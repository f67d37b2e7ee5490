#pragma once
// The program's one link client. It owns a worker thread and the line on it, and carries out typed
// requests (read run, write run, ASCII command) one at a time, from any thread: blocking
// (Ejecutar) or with a callback (Enviar). The line stays open between requests while the settings
// are unchanged and is closed after a short idle time; the settings (LeerAjustesLinea,
// LeerIdEsclavo) are read at every request, so an options change takes effect at the next one.
// Views (FrmComm) follow a request through the signals; Cancelar cuts the wait in progress short.

#include <QObject>
#include <QString>
#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <set>

#include "link/Enlace.h"
#include "link/Solicitud.h"
#include "link/Transporte.h"

class QThread;
class TrabajadorEnlace;

class ClienteEnlace : public QObject, public Enlace {
    Q_OBJECT
  public:
    explicit ClienteEnlace(QObject* padre = nullptr);
    // Cancels what is pending and in progress, and waits for the worker to end.
    ~ClienteEnlace() override;

    // Blocks until the request has finished, failed or been cancelled. Never from the worker
    // thread (a callback of Enviar runs on its context's thread, never there).
    RespuestaEnlace Ejecutar(const SolicitudEnlace& solicitud);
    // Queues the request; `alTerminar` runs on `contexto`'s thread with the result, unless
    // `contexto` is gone by then. Returns the request's number (for Cancelar(numero)).
    quint64 Enviar(const SolicitudEnlace& solicitud, QObject* contexto,
                   std::function<void(RespuestaEnlace)> alTerminar);
    // Thread-safe. Cancels the request in progress (its wait ends at once) and every request
    // queued before this call.
    void Cancelar();
    // Cancels one request, queued or in progress.
    void Cancelar(quint64 numero);

    // Enlace: the link window's request fields mapped onto Ejecutar.
    void Solicitar(PeticionEnlace& peticion) override;

    // Answer, connection and serial guard waits in ms instead of the settings' (tests); -1 keeps
    // the settings'. Takes effect at the next request.
    void fijarEsperas(int esperaMs, int esperaConexionMs = -1, int guardaMs = -1);

    // Health of the connection of the last request (empty name before the first), or of a named
    // one.
    SaludEnlace Salud() const;
    QString ResumenSalud() const override { return ::ResumenSalud(Salud()); }
    SaludEnlace Salud(const QString& conexion) const;
    // The request in progress, if any: its caption and whether it is silent.
    bool EnCurso(QString* leyenda = nullptr, bool* silenciosa = nullptr) const;
    QThread* hilo() const { return hilo_; }

  Q_SIGNALS:
    // A request starts on the worker. `leyenda` is the caption to show, empty to keep the current
    // one (commands).
    void inicio(const QString& leyenda, bool silenciosa);
    void progreso(int porcentaje);
    void fin(const RespuestaEnlace& respuesta);
    void saludCambiada();
    // Internal: carries a result to the context of Enviar.
    void entregada(quint64 numero, const RespuestaEnlace& respuesta);

  private:
    friend class TrabajadorEnlace;
    struct Pendiente {
        quint64 numero = 0;
        SolicitudEnlace solicitud;
        std::function<void(quint64, const RespuestaEnlace&)> entregar;
    };

    quint64 Reservar();
    void Poner(quint64 numero, const SolicitudEnlace& s,
               std::function<void(quint64, const RespuestaEnlace&)> entregar);
    // Worker side.
    bool Tomar(Pendiente* p);
    bool Comenzar(const Pendiente& p);  // false when it was cancelled before it started
    void Terminar();
    bool CanceladoSinBloqueo(quint64 numero) const;
    // The health entry of a connection; it stays put (map node) for the client's life.
    SaludEnlace* EntradaSalud(const QString& conexion);
    void AnotarTrama(SaludEnlace* entrada, const JuicioRespuesta& juicio);
    void AnotarReintentos(SaludEnlace* entrada, int reintentos);
    void Despertar();

    QThread* hilo_ = nullptr;
    TrabajadorEnlace* trabajador_ = nullptr;

    mutable std::mutex mutex_;
    std::deque<Pendiente> cola_;
    quint64 emitidas_ = 0;
    quint64 cancelarHasta_ = 0;
    std::set<quint64> cancelados_;
    quint64 actual_ = 0;  // 0 = none
    QString leyendaActual_;
    bool silenciosaActual_ = false;
    std::atomic<bool> canceladoActual_{false};
    bool cerrando_ = false;
    std::map<QString, SaludEnlace> salud_;
    const SaludEnlace* ultima_ = nullptr;  // the connection of the last request

    std::atomic<int> esperaMs_{-1};
    std::atomic<int> esperaConexionMs_{-1};
    std::atomic<int> guardaMs_{-1};
};
