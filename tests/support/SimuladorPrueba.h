#pragma once
// The indicator simulator for tests: in-process on its own thread (TCP on 127.0.0.1 at a free port,
// optionally a pty), or the real bascora-simulador executable as a process.

#include <QProcess>
#include <QThread>

#include "simulador/Indicador.h"
#include "simulador/Servidor.h"

class SimuladorPrueba {
  public:
    explicit SimuladorPrueba(bool conPty = false);
    ~SimuladorPrueba();

    quint16 puerto() const { return puerto_; }
    QString rutaPty() const { return rutaPty_; }

    // The indicator's state; every member is thread-safe.
    simulador::Indicador& indicador() { return indicador_; }

    // Shorthands. Register data is 2 bytes per register, low byte first.
    QByteArray leerRegistros(int direccion, int cantidad) const {
        return indicador_.leerRegistros(direccion, cantidad);
    }
    void escribirRegistros(int direccion, const QByteArray& datos) {
        indicador_.escribirRegistros(direccion, datos);
    }
    void agregarPesada(const QByteArray& registro26) { indicador_.agregarPesada(registro26); }
    void fijarContador(quint32 contador) { indicador_.fijarContador(contador); }
    void fijarSetup(const QByteArray& bytes90) { indicador_.fijarSetup(bytes90); }
    void fijarFallos(const simulador::AjustesFallos& f) { indicador_.fijarFallos(f); }
    void programarFallos(const QList<simulador::Fallo>& f) { indicador_.programarFallos(f); }
    int tramasRecibidas(int funcion = 0) const { return indicador_.tramasRecibidas(funcion); }

    // Points the link of the current data folder (bascora.ini) at this simulator: TCP to
    // 127.0.0.1:puerto(), or the serial line on port 1 mapped to the pty.
    void ConfigurarEnlaceTcp() const;
    void ConfigurarEnlaceSerie() const;

  private:
    simulador::Indicador indicador_;
    QThread hilo_;
    QObject contexto_;  // lives in hilo_
    simulador::Servidor* servidor_ = nullptr;
    quint16 puerto_ = 0;
    QString rutaPty_;
};

// The real executable (BASCORA_DIR_BINARIOS/bascora-simulador) as a child process, stopped by its
// PID when the object goes. Arguments as on the command line; "--tcp 0" is added unless given.
class ProcesoSimulador {
  public:
    explicit ProcesoSimulador(QStringList argumentos = {});
    ~ProcesoSimulador();
    bool iniciado() const { return puerto_ != 0 || !rutaPty_.isEmpty(); }
    quint16 puerto() const { return puerto_; }
    QString rutaPty() const { return rutaPty_; }
    // SIGTERM, then waits for the exit; true when it ended by itself with status 0.
    bool detener();

  private:
    QProcess proceso_;
    quint16 puerto_ = 0;
    QString rutaPty_;
};
