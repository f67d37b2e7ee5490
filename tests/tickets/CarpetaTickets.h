#pragma once
// A provisioned data folder (datos.db with the five layout tables and their starting rows) made
// the process's data, and a scripted operator.

#include <gtest/gtest.h>

#include "data/Conexion.h"
#include "data/Provision.h"
#include "data/Tablas.h"
#include "settings/ValoresGlobales.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"
#include "tests/support/SimuladorPrueba.h"

class CarpetaTickets : public ::testing::Test {
  protected:
    void SetUp() override {
        const InformeProvision informe = PrepararCarpeta();
        ASSERT_TRUE(informe.ok()) << qPrintable(informe.Texto());
        CargarValoresGlobales();
        tickets = TablaDe(TablaLogica::Ticket);
    }
    void TearDown() override { CerrarConexionesDelHilo(); }

    CarpetaTemporal carpeta;
    InteraccionGuion op;
    TablaDatos tickets;
};
