#pragma once
// The program's icons: its own and the tool bar's, shipped in the iconos folder of the resources
// (one icon set, so they look alike whatever the desktop's theme).

#include <QIcon>
#include <QString>

// The program's icon (windows, About box).
QIcon IconoPrograma();
// An icon of the iconos folder by file name; a null icon when the file is missing.
QIcon IconoRecurso(const QString& archivo);
