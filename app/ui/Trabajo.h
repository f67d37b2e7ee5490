#pragma once
// Procedures off the interface thread. A window hands a procedure (plain sequential code that may
// wait on the link or the database) to EjecutarTrabajo; it runs on a worker thread while the
// window keeps drawing. The procedure's questions and messages go through the Interaccion it is
// given: boxes over the window, shown by the interface thread while the procedure waits for the
// answer.

#include <QObject>
#include <functional>
#include <memory>

class Interaccion;
class QThread;
class QWidget;

class Trabajo : public QObject {
    Q_OBJECT
  public:
    ~Trabajo() override;  // waits for the procedure

    bool enCurso() const;
    // Blocks until the procedure has returned (tests, closing windows).
    void esperar();

  Q_SIGNALS:
    void terminado();  // on the interface thread, after alTerminar

  private:
    friend Trabajo* EjecutarTrabajo(QWidget*, std::function<void(Interaccion&)>,
                                    std::function<void()>, Interaccion*);
    explicit Trabajo(QObject* padre);
    QThread* hilo_ = nullptr;
    std::unique_ptr<Interaccion> interaccionPropia_;
};

// Starts `procedimiento` on a worker thread. `alTerminar` runs on the interface thread once it
// has returned. A window must not be destroyed while its procedure runs (the procedure may be
// waiting for a box over it): it refuses to close, or cancels the link and waits. The Trabajo is a
// child of `ventana` and deletes itself after `terminado`. `interaccion` replaces the boxes over
// the window (tests: a scripted fake). Database connections the procedure opened with ConexionPara
// are closed at its end.
Trabajo* EjecutarTrabajo(QWidget* ventana, std::function<void(Interaccion&)> procedimiento,
                         std::function<void()> alTerminar = {}, Interaccion* interaccion = nullptr);
