#pragma once
// A prepared data folder with the simulated indicator on 127.0.0.1, and helpers to fill and read
// the product tables directly.

#include <gtest/gtest.h>

#include "data/Conexion.h"
#include "data/Provision.h"
#include "data/Tablas.h"
#include "link/EnlaceDirecto.h"
#include "products/TablaProductos.h"
#include "settings/ValoresGlobales.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"
#include "tests/support/SimuladorPrueba.h"

class EntornoProductos : public ::testing::Test {
  protected:
    void SetUp() override {
        const InformeProvision informe = PrepararCarpeta();
        ASSERT_TRUE(informe.ok()) << informe.Texto().toStdString();
        CargarValoresGlobales();
        sim.ConfigurarEnlaceTcp();
        enlace.fijarEsperas(300, 1000);
        plu = TablaDe(TablaLogica::PLU);
        setup = TablaDe(TablaLogica::PLU_SETUP);
    }
    void TearDown() override { CerrarConexionesDelHilo(); }

    void Llenar(const QList<Producto>& productos) {
        ASSERT_TRUE(ReemplazarProductos(plu, productos));
    }
    QList<Producto> Tabla() const {
        return LeerProductos(plu, 0, OrdenProductos::GrupoCodigo).value_or(QList<Producto>{});
    }

    CarpetaTemporal carpeta;
    SimuladorPrueba sim;
    EnlaceDirecto enlace;
    InteraccionGuion op;
    TablaDatos plu, setup;
};

// The real link; requests at one register fail without reaching the indicator.
class EnlaceQueFalla : public Enlace {
  public:
    EnlaceQueFalla(Enlace& base, int direccion) : base_(base), direccion_(direccion) {}
    void Solicitar(PeticionEnlace& p) override {
        peticiones.append(p.Modo + p.Direccion);
        if (p.Direccion.toInt() == direccion_) {
            p.Exito = false;
            p.Dato.clear();
            return;
        }
        base_.Solicitar(p);
    }
    QStringList peticiones;

  private:
    Enlace& base_;
    int direccion_;
};
