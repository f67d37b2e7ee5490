#pragma once
// What the recipe tests share: a data folder with the recipes table, the simulated indicator on
// 127.0.0.1 behind a link that records every request and can make chosen ones fail.

#include <gtest/gtest.h>

#include <QList>
#include <functional>

#include "data/Conexion.h"
#include "data/Provision.h"
#include "link/EnlaceDirecto.h"
#include "products/Recetas.h"
#include "settings/Config.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"
#include "tests/support/SimuladorPrueba.h"

class EnlaceEspia : public Enlace {
  public:
    explicit EnlaceEspia(Enlace& base) : base_(base) {}
    void Solicitar(PeticionEnlace& p) override {
        peticiones.append(p);
        if (fallar && fallar(p)) {
            p.Exito = false;
            p.Dato.clear();
            return;
        }
        base_.Solicitar(p);
    }
    QList<PeticionEnlace> peticiones;
    std::function<bool(const PeticionEnlace&)> fallar;  // true: the request fails unsent

  private:
    Enlace& base_;
};

class EntornoRecetas : public ::testing::Test {
  protected:
    void SetUp() override {
        InformeProvision informe;
        PrepararBase(tabla.conexion, informe);
        ASSERT_TRUE(informe.ok()) << qPrintable(informe.Texto());
        sim.ConfigurarEnlaceTcp();
        directo.fijarEsperas(150, 1000);
    }
    void TearDown() override { CerrarConexionesDelHilo(); }

    // The stored values of recipe r, components 1..n, as text.
    QStringList Valores(int r, int n = 16) {
        QString error;
        const auto registro = LeerReceta(tabla, r, &error);
        EXPECT_TRUE(registro.has_value()) << qPrintable(error);
        QStringList v;
        for (int k = 0; k < n && registro; ++k) v << TextoValor(registro->Ingrediente[k]);
        return v;
    }
    void Guardar(int r, const QStringList& valores) {
        RegistroReceta registro;
        registro.Receta = r;
        for (int k = 0; k < valores.size(); ++k) {
            std::optional<double> v;
            ASSERT_TRUE(ValorDeTexto(valores[k], &v));
            registro.Ingrediente[k] = v;
        }
        QString error;
        ASSERT_TRUE(GuardarReceta(tabla, registro, &error)) << qPrintable(error);
    }

    CarpetaTemporal carpeta;
    TablaDatos tabla{QStringLiteral("Driver=QSQLITE;Data Source=datos.db;"),
                     QStringLiteral("Recetas")};
    SimuladorPrueba sim;
    EnlaceDirecto directo;
    EnlaceEspia enlace{directo};
    InteraccionGuion op;
};
