#pragma once
// The live weight window's own connection to the indicator. The line is opened when the reader is
// made and held open until it is destroyed; every exchange runs on a worker thread, so the window
// never waits for the indicator. A poll is up to 6 readings of up to 3 read exchanges each.

#include <QObject>
#include <atomic>
#include <memory>

#include "link/Transporte.h"
#include "weight/Peso.h"

class QThread;
class TrabajadorPeso;

class LectorPeso : public QObject {
    Q_OBJECT
  public:
    explicit LectorPeso(const AjustesLinea& ajustes, QObject* padre = nullptr);
    // Closes the line. An exchange in progress is not awaited: the worker ends after it and
    // frees itself, and nothing more reaches this object.
    ~LectorPeso() override;

    // Starts one poll, unless one is still running (then false and nothing happens): polls never
    // overlap.
    bool Sondear();
    bool Ocupado() const { return ocupado_; }

  Q_SIGNALS:
    void Leido(const LecturaPeso& lectura);
    // Six readings in a row brought nothing.
    void Fallido();

  private:
    QThread* hilo_;
    TrabajadorPeso* trabajador_;
    std::shared_ptr<std::atomic_bool> detener_;
    bool ocupado_ = false;
};

// Lives on the reader's thread; not for direct use.
class TrabajadorPeso : public QObject {
    Q_OBJECT
  public:
    TrabajadorPeso(const AjustesLinea& ajustes, std::shared_ptr<std::atomic_bool> detener);
    ~TrabajadorPeso() override;

    void Abrir();
    void Sondear();

  Q_SIGNALS:
    void Leido(const LecturaPeso& lectura);
    void Fallido();

  private:
    AjustesLinea ajustes_;
    std::shared_ptr<std::atomic_bool> detener_;
    std::unique_ptr<Transporte> linea_;
};
