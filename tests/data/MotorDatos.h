#pragma once
// Runs a test on every database engine: SQLite in a temporary data folder always, PostgreSQL when
// BASCORA_PRUEBA_PG names a server (scripts/postgres-prueba.sh starts one), skipped otherwise.

#include <gtest/gtest.h>

#include <string>

#include "data/CDatos.h"
#include "tests/support/CarpetaTemporal.h"

// Readable parameter names in gtest and ctest output.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << s.toStdString();
}

// Runs SQL on a database directly, on a connection of its own.
void EjecutarSql(const QString& cadena, const QString& sql);

class MotorDatos : public ::testing::TestWithParam<QString> {
  protected:
    void SetUp() override;
    void TearDown() override;
    bool EsPostgres() const { return GetParam() == u"PostgreSQL"; }

    // Runs SQL on the test database directly (not through the code under test).
    void Sql(const QString& sql) { EjecutarSql(cadena, sql); }
    // The same, for a statement that may fail: whether it ran.
    bool IntentarSql(const QString& sql);
    // The first value of the first row of a query run directly.
    QVariant Valor(const QString& sql);
    // Appends n weighings (Lote 1, Numero 1..n, Peso = Numero / 10, Codigo1 = n - Numero).
    void LlenarReporte(int n);

    CarpetaTemporal carpeta;
    QString cadena;  // connection string of the test database, every logical table prepared
};

// What running `f` gives: "ok", "error" (an ErrorBase) or "duplicada" (a duplicate key).
template <typename F>
std::string Fallo(F&& f) {
    try {
        f();
        return "ok";
    } catch (const ErrorBase& e) {
        return e.esClaveDuplicada() ? "duplicada" : "error";
    }
}

// "SQLite" and "PostgreSQL" instances of a MotorDatos suite.
#define INSTANCIAR_MOTORES(suite)                                                                  \
    INSTANTIATE_TEST_SUITE_P(                                                                      \
        Motores, suite, ::testing::Values(QStringLiteral("SQLite"), QStringLiteral("PostgreSQL")), \
        [](const auto& info) { return info.param.toStdString(); })
