#pragma once
// bascora-cli as a child process, with short link waits (the simulator answers on loopback).

#include <QByteArray>
#include <QProcess>
#include <QStringList>

// Starts it; the caller waits.
void IniciarCli(QProcess& p, const QStringList& argumentos);

// Runs it to its end: the exit code (-1 when it hung or crashed). Its standard output goes to
// *salida, followed by the error output unless *errores takes that apart.
int EjecutarCli(const QStringList& argumentos, QByteArray* salida = nullptr,
                QByteArray* errores = nullptr);
