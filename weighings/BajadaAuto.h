#pragma once
// The scheduled download: once a day at Hora:Minuto (or at once on request) it connects to the
// indicator and empties its audit memory without asking anyone. Every event becomes a report line
// (signal `reporte` and the file auto.txt); a failed download is retried every minute and resumes
// at the delete or the unlock when the records were already stored. The window frmAuto and
// "bascora-cli auto" both drive this object.

#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>

#include "weighings/Descarga.h"

class Enlace;
class QTimer;

class BajadaAuto : public QObject {
    Q_OBJECT
  public:
    explicit BajadaAuto(Enlace& enlace, QObject* padre = nullptr);
    ~BajadaAuto() override;

    // Test hooks: the connection test (default conec) and the clock (default the system time).
    void fijarConectar(std::function<int(Enlace&)> conectar);
    void fijarReloj(std::function<QDateTime()> reloj);
    void fijarCampos(const OpcionesCampos& campos) { campos_ = campos; }

    // Hora and Minuto from the settings.
    void LeerHorario();
    // Opening: schedule and InicioBajar from the settings, "ON", first connection (and the
    // download when InicioBajar asks for it), then the clock starts.
    void Iniciar();
    // Closing: timers stopped, "OFF".
    void Terminar();

    void Tick();        // Timer1: the clock and the schedule
    void Reconectar();  // TimerReconect: connect and, when due, download
    void BajarAhora();  // the double click on the state: download at the next connection now
    void BajarAuditoria();
    void TRP(const QString& Dato);
    // A line of Datos.log, with the link's counts.
    void Registrar(const QString& texto);

    // A connection test or a download is running (the link may yield to the event loop).
    bool ocupado() const { return enCurso_ > 0; }
    QString textoHora() const;  // the schedule as hh:mm:00

    int Hora = 0;
    int Minuto = 0;
    int BajadaPendiente = 0;  // 1: download at the next successful connection
    int EtapaBajada = 0;      // next download starts at: 0 the lock, 2 the delete, 1 the unlock
    bool Disparado = false;   // the schedule fired in the current minute
    int EstadoConexion = 0;   // last conec() result, 1 = connected

    QTimer* Timer1;         // 200 ms, runs from Iniciar to Terminar
    QTimer* TimerReconect;  // 60000 ms, runs while a retry is due

  Q_SIGNALS:
    void reporte(const QString& linea);         // "HH:MM - text"
    void estadoConexion(const QString& texto);  // "Conectando...", "Conectado", "Desconectado"
    void horaActual(const QDateTime& ahora);    // every Timer1 tick
    void libre();                               // a connection test or download has ended

  private:
    void Conectar();
    void Desbloquear();
    void TerminarEtapas();
    void SeguirEtapas(FinDescarga fin);

    Enlace& enlace_;
    std::function<int(Enlace&)> conectar_;
    std::function<QDateTime()> reloj_;
    OpcionesCampos campos_;
    int enCurso_ = 0;
    // The records read by a download that has not finished yet: a resumed run reports their
    // retries once it has unlocked the indicator.
    int cantidadPendiente_ = 0;
    int reintentosPendientes_ = 0;
    // Count and weighing counter of the stored download whose delete is still due: the resumed
    // delete goes ahead only when the indicator still shows them.
    int cuentaGuardada_ = 0;
    long long contadorGuardado_ = 0;
};
