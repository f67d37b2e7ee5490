#pragma once
// Settings kept in the global variables table (DataCSGlobal / DataTbGlobal) instead of the INI
// file. The section is not used there and values are stored without the closing ".".

#include <QString>

QString LeerVariableGlobal(const QString& clave, const QString& defecto);
void GuardarVariableGlobal(const QString& clave, const QString& valor);
