#pragma once
// Where the files shipped with the program (help, language files, templates, examples) are found,
// and the program's title.

#include <QString>

// The program title: window captions, the splash window, message box titles.
QString TituloPrograma();

// Folder of the shipped resources: $BASCORA_RECURSOS when set; else <exe dir>/../share/bascora when
// it exists (installed program); else the share folder of the source tree (a build that was not
// installed).
QString RutaRecursos();

// The help contents page in the language in use: ayuda/index.html (Spanish) or ayuda/<language
// code>/index.html, of the data folder when there is one (a site may ship its own), else among the
// shipped resources; the Spanish page when the language has none. Empty when none is readable.
QString RutaAyuda();
