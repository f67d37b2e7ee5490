#include "settings/VariablesGlobales.h"

// The database back end arrives with the data store; until then settings kept in the database
// read as their default and writes are dropped.
QString LeerVariableGlobal(const QString&, const QString& defecto) { return defecto; }
void GuardarVariableGlobal(const QString&, const QString&) {}
