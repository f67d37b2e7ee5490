// The report's record set on every engine: date filters by calendar date, patterns with quotes,
// positions read from either end, code names, and the derived date column.
#include "base/Globales.h"
#include "data/Conexion.h"
#include "data/Provision.h"
#include "reports/ConsultaReporte.h"
#include "tests/data/MotorDatos.h"
#include "weighings/TablaPesadas.h"

namespace {

class Reporte : public MotorDatos {
  protected:
    VistaReporte Vista(QList<Filtro> filtros = {}, const QString& orden = QString()) const {
        return {{cadena, QStringLiteral("Reporte")}, std::move(filtros), orden};
    }
    void Insertar(int numero, const QString& fecha, const QString& hora) {
        Sql(QStringLiteral(
                "INSERT INTO Reporte (Lote, Numero, Fecha, Hora) VALUES (1, %1, '%2', '%3')")
                .arg(numero)
                .arg(fecha, hora));
    }
    // (Lote, Numero) of every row of a view, in its order.
    QList<QPair<int, int>> Claves(const VistaReporte& vista) {
        ConsultaReporte c;
        QString error;
        EXPECT_TRUE(c.Abrir(vista, &error)) << qPrintable(error);
        QList<QPair<int, int>> claves;
        c.Recorrer(
            [&](const QVariantList& f) {
                claves.append({f.at(0).toInt(), f.at(1).toInt()});
                return true;
            },
            &error);
        return claves;
    }
    void TearDown() override {
        CerrarConexionesDelHilo();
        MotorDatos::TearDown();
    }
};

TEST_P(Reporte, FiltroDeFechasPorDiaDelCalendarioOrdenadoPorFechaYHora) {
    // Both edges of 1-5 March 2005 and, as text, dates of other months and years that sort inside.
    int numero = 0;
    for (const char* f : {"03/03/05 10:00", "28/02/05 09:00", "01/03/05 23:59", "02/03/04 08:00",
                          "05/03/05 00:01", "06/03/05 07:00", "01/03/05 06:15", "0A/03/05 14:00"})
        Insertar(++numero, QString::fromLatin1(f).left(8), QString::fromLatin1(f).mid(9));
    // Stored before the derived column was filled: the preparation fills it.
    Sql(QStringLiteral("UPDATE Reporte SET FechaIso = NULL"));
    InformeProvision informe;
    PrepararBase(cadena, informe);
    ASSERT_TRUE(informe.ok()) << qPrintable(informe.Texto());

    const auto filtro = FiltroFecha("Fecha", QDate(2005, 3, 1), QDate(2005, 3, 5), "DD/MM/YYYY");
    ASSERT_TRUE(filtro);
    const QList<QPair<int, int>> esperadas{{1, 7}, {1, 3}, {1, 1}, {1, 5}};
    EXPECT_EQ(Claves(Vista({*filtro}, "Fecha")), esperadas);

    // The same answer from the expression when the table has no derived column.
    Sql(EsPostgres() ? QStringLiteral("ALTER TABLE Reporte DROP COLUMN FechaIso CASCADE")
                     : QStringLiteral("DROP INDEX Reporte_Orden_FechaIso"));
    if (!EsPostgres()) Sql(QStringLiteral("ALTER TABLE Reporte DROP COLUMN FechaIso"));
    CerrarConexionesDelHilo();
    EXPECT_EQ(Claves(Vista({*filtro}, "Fecha")), esperadas);
}

TEST_P(Reporte, LaDescargaGuardaLaFechaDelCalendario) {
    DataCSReporte = cadena;
    DataTbReporte = QStringLiteral("Reporte");
    TablaPesadas tabla;
    tabla.Abrir();
    const QStringList fechas{"24/12/05", "01/01/80", "99/99/99"};
    for (int i = 0; i < 3; ++i) tabla.Agregar(Pesada{fechas[i], "09:30", 1, {}, i + 1, 4, 0});
    tabla.Cerrar();
    QStringList iso;
    for (int i = 1; i <= 3; ++i)
        iso << Valor(QStringLiteral("SELECT FechaIso FROM Reporte WHERE Numero = %1").arg(i))
                   .toString();
    EXPECT_EQ(iso, QStringList({"2005-12-24", "1980-01-01", ""}));
}

// Values never become SQL: a pattern with a quote is data, a column outside the report is refused.
TEST_P(Reporte, PatronConComillaEsDatoYSoloColumnasDelReporte) {
    Insertar(1, "01/03/05", "O''Ho");  // SQL text: the quote doubled
    Insertar(2, "01/03/05", "OHo");
    EXPECT_EQ(Claves(Vista({FiltroTexto("Hora", "O'*")})), (QList<QPair<int, int>>{{1, 1}}));
    EXPECT_TRUE(Claves(Vista({FiltroTexto("Hora", "x' OR '1'='1")})).isEmpty());
    // A pattern on a number column compares its decimal text.
    EXPECT_EQ(Claves(Vista({FiltroTexto("Numero", "2")})), (QList<QPair<int, int>>{{1, 2}}));
    ConsultaReporte c;
    EXPECT_FALSE(c.Abrir(Vista({FiltroTexto("Lote; DROP TABLE Reporte", "1")}), nullptr));
    EXPECT_FALSE(c.Abrir(Vista({}, "Peso DESC"), nullptr));
}

// Every position read on its own, from whichever end is nearer, agrees with the full walk, also
// with ties in the sorted column and NULLs in it.
TEST_P(Reporte, PosicionesDesdeAmbosExtremosSiguenElOrden) {
    LlenarReporte(300);
    Sql(QStringLiteral("UPDATE Reporte SET Codigo1 = Numero % 7, Codigo2 = NULL"));
    Sql(QStringLiteral("UPDATE Reporte SET Codigo2 = Numero % 3 WHERE Numero > 150"));
    for (const char* orden : {"", "Codigo1", "Codigo2"}) {
        const VistaReporte vista =
            Vista({FiltroNumero("Numero", TipoFiltro::Numero, "2", "290")}, orden);
        const QList<QPair<int, int>> todas = Claves(vista);
        ASSERT_EQ(todas.size(), 289);
        ConsultaReporte c;
        ASSERT_TRUE(c.Abrir(vista, nullptr));
        for (qint64 p : {289, 1, 150, 151, 2, 288}) {
            EXPECT_EQ(c.Fila(p).value(1).toInt(), todas.at(p - 1).second) << orden << " " << p;
        }
        EXPECT_TRUE(c.Fila(0).isEmpty() && c.Fila(290).isEmpty());
    }
}

TEST_P(Reporte, NombresDeCodigosEnOrdenHastaOcho) {
    Sql(QStringLiteral("UPDATE PLU_SETUP SET Nombre = 'Cliente' WHERE Codigo = 2"));
    Sql(
        QStringLiteral("INSERT INTO PLU_SETUP (Codigo, Nombre, Letra, Alfa, Texto, CUIT) VALUES "
                       "(0, 'Primero', 'Z', 0, 0, 0), (9, 'Noveno', 'I', 0, 0, 0)"));
    const QStringList nombres = NombresCodigos({cadena, QStringLiteral("PLU_SETUP")});
    EXPECT_EQ(nombres, QStringList({"Primero", "Codigo 1", "Cliente", "Codigo 3", "Codigo 4",
                                    "Codigo 5", "Codigo 6", "Codigo 7"}));
}

INSTANCIAR_MOTORES(Reporte);

}  // namespace
