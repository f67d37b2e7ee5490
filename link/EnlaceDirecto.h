#pragma once
// The link without a window: bascora-cli and the tests carry out a request here, on the calling
// thread, exactly as the link client (ClienteEnlace) does on its worker thread, with a line opened
// and closed for each request.

#include <atomic>
#include <functional>

#include "link/Enlace.h"
#include "link/Registros.h"
#include "link/Solicitud.h"
#include "link/Transporte.h"

// Runs one request on an already chosen line: opens it (waiting for a TCP connection at most the
// connection wait), carries out mode "R", "T" or "C", closes it. p.Cancelado is cleared at the
// start and at the end reflects the cancel flag. alIniciar, when given, runs after the line was
// opened and before the first frame (the link window sets its caption there). Nothing here reads
// the settings: callers pass the line and the slave address.
void EjecutarPeticion(PeticionEnlace& p, const AjustesLinea& linea, int id,
                      const ControlRegistros& control = {},
                      const std::function<void()>& alIniciar = {},
                      const std::function<void(const JuicioRespuesta&)>& observador = {});

class EnlaceDirecto : public Enlace {
  public:
    EnlaceDirecto() = default;
    // Answer, connection and serial guard waits in ms instead of the settings' (tests); -1 keeps
    // the settings'.
    void fijarEsperas(int esperaMs, int esperaConexionMs = -1, int guardaMs = -1) {
        esperaMs_ = esperaMs;
        esperaConexionMs_ = esperaConexionMs;
        guardaMs_ = guardaMs;
    }
    void fijarProgreso(std::function<void(int)> progreso) { progreso_ = std::move(progreso); }
    // Honoured between tries (this link has no queue to cut a wait short from). Not owned.
    void fijarCancelacion(const std::atomic<bool>* cancelado) { cancelado_ = cancelado; }

    // Reads the line settings and ID_1, then runs the request (EjecutarPeticion).
    void Solicitar(PeticionEnlace& peticion) override;
    QString ResumenSalud() const override;
    // Every EnlaceDirecto of this process together (bascora-cli -v).
    static SaludEnlace SaludDelProceso();

  private:
    int esperaMs_ = -1;
    int esperaConexionMs_ = -1;
    int guardaMs_ = -1;
    std::function<void(int)> progreso_;
    const std::atomic<bool>* cancelado_ = nullptr;
    SaludEnlace salud_;
};
