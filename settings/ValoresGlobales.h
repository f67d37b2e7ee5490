#pragma once
// Start-up: the fourteen "BaseDeDatos" settings and the date settings into the process-wide values.

void CargarValoresGlobales();
