#include "tests/support/SimuladorPrueba.h"

#include <signal.h>

#include "settings/Config.h"

SimuladorPrueba::SimuladorPrueba(bool conPty) {
    hilo_.setObjectName(QStringLiteral("simulador"));
    contexto_.moveToThread(&hilo_);
    hilo_.start();
    QMetaObject::invokeMethod(
        &contexto_,
        [this, conPty] {
            servidor_ = new simulador::Servidor(indicador_);
            if (servidor_->escucharTcp(0)) puerto_ = servidor_->puerto();
            if (conPty && servidor_->abrirPty()) rutaPty_ = servidor_->rutaPty();
        },
        Qt::BlockingQueuedConnection);
}

SimuladorPrueba::~SimuladorPrueba() {
    QMetaObject::invokeMethod(
        &contexto_, [this] { delete servidor_; }, Qt::BlockingQueuedConnection);
    hilo_.quit();
    hilo_.wait();
}

void SimuladorPrueba::ConfigurarEnlaceTcp() const {
    GuardarConfig(QStringLiteral("Global"), QStringLiteral("Comunicacion_1"), 1);
    GuardarConfig(QStringLiteral("Global"), QStringLiteral("Host_1"), QStringLiteral("127.0.0.1"));
    GuardarConfig(QStringLiteral("Global"), QStringLiteral("Port_1"), int(puerto_));
}

void SimuladorPrueba::ConfigurarEnlaceSerie() const {
    GuardarConfig(QStringLiteral("Global"), QStringLiteral("Comunicacion_1"), 0);
    GuardarConfig(QStringLiteral("Global"), QStringLiteral("Comm_1"), 1);
    GuardarConfig(QStringLiteral("Puertos"), QStringLiteral("1"), rutaPty_);
}

ProcesoSimulador::ProcesoSimulador(QStringList argumentos) {
    if (!argumentos.contains(QStringLiteral("--tcp")))
        argumentos << QStringLiteral("--tcp") << QStringLiteral("0");
    const bool conPty = argumentos.contains(QStringLiteral("--pty"));
    proceso_.setProgram(QStringLiteral(BASCORA_DIR_BINARIOS "/bascora-simulador"));
    proceso_.setArguments(argumentos);
    proceso_.start();
    if (!proceso_.waitForStarted(5000)) return;
    // The first lines name the port and the pty.
    QByteArray salida;
    while ((puerto_ == 0 || (conPty && rutaPty_.isEmpty())) && proceso_.waitForReadyRead(5000)) {
        salida += proceso_.readAllStandardOutput();
        for (const QByteArray& linea : salida.split('\n')) {
            if (linea.startsWith("TCP ")) puerto_ = quint16(linea.mid(4).trimmed().toUInt());
            if (linea.startsWith("PTY ")) rutaPty_ = QString::fromLocal8Bit(linea.mid(4).trimmed());
        }
    }
}

ProcesoSimulador::~ProcesoSimulador() {
    detener();  // nothing when it has ended
    if (proceso_.state() == QProcess::NotRunning) return;
    ::kill(pid_t(proceso_.processId()), SIGKILL);
    proceso_.waitForFinished(5000);
}

bool ProcesoSimulador::detener() {
    if (proceso_.state() == QProcess::NotRunning) return false;
    ::kill(pid_t(proceso_.processId()), SIGTERM);
    return proceso_.waitForFinished(5000) && proceso_.exitStatus() == QProcess::NormalExit &&
           proceso_.exitCode() == 0;
}
