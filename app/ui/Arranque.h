#pragma once
// Start-up hooks shared by the program's entry point.

// Opens the scheduled download window instead of the main window. False when it could not be
// opened; the program then shows the main window.
bool AbrirVentanaAuto();
