#pragma once
// Process-wide values: the database connection settings and date settings read once at start-up,
// the indicator's register map, and the retry counter shared by the link and the downloads.

#include <QString>
#include <atomic>

// Connection text and table name of each logical table (section "BaseDeDatos", scrambled).
extern QString DataCSPLU, DataTbPLU;
extern QString DataCSPLU_SETUP, DataTbPLU_SETUP;
extern QString DataCSTicket, DataTbTicket;
extern QString DataCSReporte, DataTbReporte;
extern QString DataCSSetup, DataTbSetup;
extern QString DataCSGlobal, DataTbGlobal;
extern QString DataCSRecetas, DataTbRecetas;

// Date pattern of the downloads and the report filter, and the character around date literals.
extern QString Fecha_Frm;
extern QString Fecha_Chr;

// Register map of the indicator (register numbers; 16-bit words).
inline constexpr int DirPeso = 0;
inline constexpr int DirComando = 6;
inline constexpr int DirLblCodigos = 8;
inline constexpr int DirSetupSP = 12;
inline constexpr int DirPLU = 20;
inline constexpr int DirPLUFlags = 6520;
inline constexpr int DirMembrete = 6524;
inline constexpr int DirTotal = 7037;
inline constexpr int DirAuditoria = 7040;
inline constexpr int DirBloqueo = 13541;
inline constexpr int DirContadores = 13542;
inline constexpr int DirTotales = 13547;
inline constexpr int DirCodigos = 14172;
inline constexpr int DirSP = 14204;
inline constexpr int DirNombCod = 14228;
inline constexpr int DirNombSP = 14276;
inline constexpr int DirEstado = 14396;
inline constexpr int DirRecetas = 14404;
inline constexpr int DirContador = 15705;

// Every attempt at a frame adds 1, every finished block takes 1 off: over a run it grows by the
// number of repeated attempts. The link never resets it; the downloads do.
extern std::atomic<int> Reintentos;
