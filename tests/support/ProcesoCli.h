#pragma once
// bascora-cli as a child process, with short link waits (the simulator answers on loopback).

#include <QProcess>
#include <QStringList>

// Starts it; the caller waits.
inline void IniciarCli(QProcess& p, const QStringList& argumentos) {
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("BASCORA_ESPERA_MS"), QStringLiteral("200"));
    entorno.insert(QStringLiteral("BASCORA_ESPERA_CONEXION_MS"), QStringLiteral("1000"));
    p.setProcessEnvironment(entorno);
    p.start(QStringLiteral(BASCORA_DIR_BINARIOS "/bascora-cli"), argumentos);
}

// Runs it to its end: the exit code (-1 when it hung or crashed). Its standard output goes to
// *salida, followed by the error output unless *errores takes that apart.
inline int EjecutarCli(const QStringList& argumentos, QByteArray* salida = nullptr,
                       QByteArray* errores = nullptr) {
    QProcess p;
    IniciarCli(p, argumentos);
    p.closeWriteChannel();
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    const QByteArray err = p.readAllStandardError();
    if (salida) *salida = p.readAllStandardOutput() + (errores ? QByteArray() : err);
    if (errores) *errores = err;
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}
