#pragma once
// Settings kept in the global variables table (DataCSGlobal / DataTbGlobal) instead of the INI
// file. The section is not used there and values are stored without the closing ".".
// The table lives in the data store, which sits above the settings: the data store installs the
// back end here (data/VariablesGlobales.cpp does it when the program links the data store).
// Without one, reads give the default and writes are dropped, as with an unreachable database.

#include <QString>
#include <functional>

struct AlmacenVariablesGlobales {
    std::function<QString(const QString& clave, const QString& defecto)> leer;
    std::function<void(const QString& clave, const QString& valor)> guardar;
};

inline AlmacenVariablesGlobales& AlmacenVariablesGlobalesActual() {
    static AlmacenVariablesGlobales almacen;
    return almacen;
}

inline void InstalarAlmacenVariablesGlobales(AlmacenVariablesGlobales almacen) {
    AlmacenVariablesGlobalesActual() = std::move(almacen);
}

inline QString LeerVariableGlobal(const QString& clave, const QString& defecto) {
    const AlmacenVariablesGlobales& a = AlmacenVariablesGlobalesActual();
    return a.leer ? a.leer(clave, defecto) : defecto;
}

inline void GuardarVariableGlobal(const QString& clave, const QString& valor) {
    const AlmacenVariablesGlobales& a = AlmacenVariablesGlobalesActual();
    if (a.guardar) a.guardar(clave, valor);
}
