#pragma once
// Start-up hooks shared by the program's entry point and the windows that hand back to the main
// window.

class FrmPrincipal;

// Opens the scheduled download window instead of the main window. False when it could not be
// opened; the program then shows the main window.
bool AbrirVentanaAuto();

// The program's one main window, created on first use (not shown). Closing it ends the program.
FrmPrincipal& VentanaPrincipal();
