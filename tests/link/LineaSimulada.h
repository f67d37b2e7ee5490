#pragma once
// A fresh data folder whose link points at an in-process simulator, over TCP or over its pty: the
// fixture of the link tests that run on both lines.
#include <gtest/gtest.h>

#include <string>

#include "link/Solicitud.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/SimuladorPrueba.h"

enum class Linea { Tcp, Serie };

class LineaSimulada : public ::testing::TestWithParam<Linea> {
  protected:
    void SetUp() override {
        ASSERT_NE(sim.puerto(), 0);
        ASSERT_FALSE(sim.rutaPty().isEmpty());
        GetParam() == Linea::Tcp ? sim.ConfigurarEnlaceTcp() : sim.ConfigurarEnlaceSerie();
    }
    CarpetaTemporal carpeta;
    SimuladorPrueba sim{true};
};

inline std::string NombreLinea(const ::testing::TestParamInfo<Linea>& i) {
    return i.param == Linea::Tcp ? "Tcp" : "Serie";
}

// A request to the link client: a read of `cantidad` registers, or a write of `dato`.
inline SolicitudEnlace Solicitud(int direccion, int cantidad, const QByteArray& dato = {}) {
    SolicitudEnlace s;
    s.tipo = dato.isEmpty() ? TipoSolicitud::Leer : TipoSolicitud::Escribir;
    s.direccion = direccion;
    s.cantidad = cantidad;
    s.dato = dato;
    return s;
}
