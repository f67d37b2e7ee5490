#pragma once
// The live weight's reader: polls of the weight block through the program's link client, as
// silent requests that queue behind whatever else the client is doing. A poll is up to 6 readings;
// each reading is one read request of the block (3 tries on the link). Polls never overlap.

#include <QObject>

#include "weight/Peso.h"

class ClienteEnlace;
struct RespuestaEnlace;

class LectorPeso : public QObject {
    Q_OBJECT
  public:
    explicit LectorPeso(ClienteEnlace& cliente, QObject* padre = nullptr);
    // Cancels the reading in progress, so the client is free at once for the next window.
    ~LectorPeso() override;

    // Starts one poll, unless one is still running (then false and nothing happens).
    bool Sondear();
    bool Ocupado() const { return ocupado_; }

  Q_SIGNALS:
    void Leido(const LecturaPeso& lectura);
    // One reading brought nothing; the poll goes on with the next.
    void LecturaFallida();
    // Six readings in a row brought nothing.
    void Fallido();

  private:
    void Leer();
    void AlResponder(const RespuestaEnlace& respuesta);

    ClienteEnlace& cliente_;
    quint64 numero_ = 0;  // the request in progress
    int lecturas_ = 0;    // readings of this poll so far
    bool ocupado_ = false;
};
