// The report's record set on every engine: date filters by calendar date, patterns with quotes,
// positions read from either end, delete-all, code names, and the derived date column.
#include <QSqlDatabase>
#include <QSqlQuery>

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
    void Insertar(int lote, int numero, const char* fecha, const char* hora, double peso,
                  int codigo1 = 0) {
        Sql(QStringLiteral("INSERT INTO Reporte (Lote, Numero, Fecha, Hora, Peso, Codigo1) VALUES "
                           "(%1, %2, '%3', '%4', %5, %6)")
                .arg(lote)
                .arg(numero)
                .arg(QString::fromLatin1(fecha), QString::fromLatin1(hora))
                .arg(peso)
                .arg(codigo1));
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
    // Around 1-5 March 2005 in other months and years; as text, several sort inside the range.
    const char* fechas[][2] = {{"03/03/05", "10:00"}, {"28/02/05", "09:00"}, {"01/03/05", "23:59"},
                               {"02/03/04", "08:00"}, {"05/03/05", "00:01"}, {"03/03/06", "11:00"},
                               {"06/03/05", "07:00"}, {"04/03/99", "12:00"}, {"01/03/05", "06:15"},
                               {"15/12/04", "13:00"}, {"03/03/05", "09:45"}, {"04/11/05", "14:00"},
                               {"0A/03/05", "14:00"}};
    int numero = 0;
    for (const auto& f : fechas) {
        ++numero;
        Insertar(1, numero, f[0], f[1], numero);
    }
    // Stored before the derived column was filled: the preparation fills it.
    Sql(QStringLiteral("UPDATE Reporte SET FechaIso = NULL"));
    InformeProvision informe;
    PrepararBase(cadena, informe);
    ASSERT_TRUE(informe.ok()) << qPrintable(informe.Texto());

    const auto filtro = FiltroFecha("Fecha", QDate(2005, 3, 1), QDate(2005, 3, 5), "DD/MM/YYYY");
    ASSERT_TRUE(filtro);
    const QList<QPair<int, int>> esperadas{{1, 9}, {1, 3}, {1, 11}, {1, 1}, {1, 5}};
    EXPECT_EQ(Claves(Vista({*filtro}, "Fecha")), esperadas);

    // The same answer from the expression when the table has no derived column.
    Sql(EsPostgres() ? QStringLiteral("ALTER TABLE Reporte DROP COLUMN FechaIso CASCADE")
                     : QStringLiteral("DROP INDEX Reporte_Orden_FechaIso"));
    if (!EsPostgres()) Sql(QStringLiteral("ALTER TABLE Reporte DROP COLUMN FechaIso"));
    CerrarConexionesDelHilo();
    ConsultaReporte sinColumna;
    ASSERT_TRUE(sinColumna.Abrir(Vista({*filtro}, "Fecha"), nullptr));
    EXPECT_FALSE(sinColumna.TieneFechaIso());
    EXPECT_EQ(Claves(Vista({*filtro}, "Fecha")), esperadas);
}

TEST_P(Reporte, LaDescargaGuardaLaFechaDelCalendario) {
    DataCSReporte = cadena;
    DataTbReporte = QStringLiteral("Reporte");
    TablaPesadas tabla;
    tabla.Abrir();
    int numero = 0;
    for (const char* fecha : {"24/12/05", "01/01/80", "99/99/99"}) {
        Pesada p;
        p.Fecha = QString::fromLatin1(fecha);
        p.Hora = QStringLiteral("09:30");
        p.Lote = 4;
        p.Numero = ++numero;
        tabla.Agregar(p);
    }
    tabla.Cerrar();
    QSqlQuery q(ConexionPara(cadena));
    ASSERT_TRUE(q.exec("SELECT Fecha, FechaIso FROM Reporte ORDER BY Fecha"));
    QStringList filas;
    while (q.next()) filas << q.value(0).toString() + u'=' + q.value(1).toString();
    EXPECT_EQ(filas, QStringList({"01/01/80=1980-01-01", "24/12/05=2005-12-24", "99/99/99="}));
}

TEST_P(Reporte, PatronConComillaEsDatoNuncaSql) {
    Insertar(1, 1, "01/03/05", "O''Ho", 1);  // SQL text: the quote doubled
    Insertar(1, 2, "01/03/05", "OHo", 2);
    EXPECT_EQ(Claves(Vista({FiltroTexto("Hora", "O'*")})), (QList<QPair<int, int>>{{1, 1}}));
    EXPECT_TRUE(Claves(Vista({FiltroTexto("Hora", "x' OR '1'='1")})).isEmpty());
    // A pattern on a number column compares its decimal text.
    EXPECT_EQ(Claves(Vista({FiltroTexto("Numero", "2")})), (QList<QPair<int, int>>{{1, 2}}));
}

TEST_P(Reporte, FiltrosYOrdenSoloSobreColumnasDelReporte) {
    ConsultaReporte c;
    QString error;
    EXPECT_FALSE(c.Abrir(Vista({FiltroTexto("Lote; DROP TABLE Reporte", "1")}), &error));
    EXPECT_FALSE(c.Abrir(Vista({}, "Peso DESC"), &error));
    EXPECT_FALSE(c.Abrir(Vista({FiltroCancelado("Lote", TipoFiltro::Texto)}), &error));
    EXPECT_TRUE(c.Abrir(Vista({}, "peso"), &error)) << qPrintable(error);
}

// Every position read on its own, from whichever end is nearer, agrees with the full walk, also
// with ties in the sorted column and NULLs in it.
TEST_P(Reporte, PosicionesDesdeAmbosExtremosSiguenElOrden) {
    LlenarReporte(300);
    Sql(QStringLiteral("UPDATE Reporte SET Codigo1 = Numero % 7, Codigo2 = NULL"));
    Sql(QStringLiteral("UPDATE Reporte SET Codigo2 = Numero % 3 WHERE Numero > 150"));
    for (const char* orden : {"", "Codigo1", "Codigo2", "Peso", "Numero"}) {
        const VistaReporte vista =
            Vista({FiltroNumero("Numero", TipoFiltro::Numero, "2", "290")}, orden);
        const QList<QPair<int, int>> todas = Claves(vista);
        ASSERT_EQ(todas.size(), 289);
        ConsultaReporte c;
        ASSERT_TRUE(c.Abrir(vista, nullptr));
        EXPECT_EQ(c.Cantidad(), 289);
        for (qint64 p : {289, 1, 150, 151, 2, 288, 100, 200, 37, 255}) {
            const QVariantList f = c.Fila(p);
            ASSERT_EQ(f.size(), 13) << orden << " " << p;
            EXPECT_EQ(f.at(1).toInt(), todas.at(p - 1).second) << orden << " " << p;
        }
        EXPECT_TRUE(c.Fila(0).isEmpty());
        EXPECT_TRUE(c.Fila(290).isEmpty());
    }
}

TEST_P(Reporte, BorrarTodoAlcanzaLasFilasFueraDelFiltro) {
    LlenarReporte(25);
    ASSERT_TRUE(BorrarPesadas({cadena, QStringLiteral("Reporte")}, nullptr));
    ConsultaReporte c;
    ASSERT_TRUE(c.Abrir(Vista(), nullptr));
    EXPECT_EQ(c.Cantidad(), 0);
    QString error;
    EXPECT_FALSE(BorrarPesadas({cadena, QStringLiteral("NoExiste")}, &error));
    EXPECT_FALSE(error.isEmpty());
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
