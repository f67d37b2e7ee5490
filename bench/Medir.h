#pragma once
// What the benchmarks share: elapsed milliseconds, the process CPU time, a data folder with a
// large weighing table, and the caption of a record navigator.

#include <time.h>

#include <QElapsedTimer>
#include <QWidget>
#include <cstdio>

#include "data/Provision.h"
#include "tests/support/PesadasAleatorias.h"

inline double Ms(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

inline double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// The weighing table of `cadena` with `filas` random weighings, prepared; prints both times.
inline bool TablaGrande(const QString& cadena, int filas) {
    InformeProvision informe;
    PrepararBase(cadena, informe);
    QElapsedTimer t;
    t.start();
    if (!LlenarPesadasAleatorias(cadena, filas)) return false;
    std::printf("fill %d rows (one transaction): %.0f ms\n", filas, Ms(t));
    t.restart();
    informe = {};
    PrepararBase(cadena, informe);
    std::printf("preparation (FechaIso of every row, the indexes): %.0f ms%s\n", Ms(t),
                informe.ok() ? "" : qPrintable(" PROBLEM: " + informe.Texto()));
    return informe.ok();
}

inline QString Caption(const QWidget& w) {
    return w.findChild<QWidget*>(QStringLiteral("Data1"))->property("caption").toString();
}
