// Downloads from the simulated indicator over TCP on 127.0.0.1 into a prepared data folder with
// all three sinks: every weighing must end up stored exactly once, whatever fails on the way.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTcpServer>

#include "data/Provision.h"
#include "link/EnlaceDirecto.h"
#include "settings/ValoresGlobales.h"
#include "tests/descargas/EnlaceFalso.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"
#include "tests/support/LibroLeido.h"
#include "tests/support/SimuladorPrueba.h"
#include "tests/weighings/Auxiliares.h"
#include "weighings/BajadaAuto.h"
#include "weighings/LeerAuditoria.h"
#include "weighings/Plantilla.h"

namespace {

// The real link, with a hook around each request.
class EnlaceEspia : public Enlace {
  public:
    explicit EnlaceEspia(Enlace& base) : base_(base) {}
    std::function<void(const PeticionEnlace&)> antes;
    void Solicitar(PeticionEnlace& p) override {
        if (antes) antes(p);
        base_.Solicitar(p);
    }
    QString ResumenSalud() const override { return base_.ResumenSalud(); }

  private:
    Enlace& base_;
};

class DescargaExtremo : public ::testing::Test {
  protected:
    void SetUp() override {
        const InformeProvision informe = PrepararCarpeta();
        ASSERT_TRUE(informe.ok()) << informe.Texto().toStdString();
        if (!QFile::exists(carpeta.ruta("PlantillaBascora.xlsx"))) {
            ASSERT_TRUE(CrearPlantilla(carpeta.ruta("PlantillaBascora.xlsx")));
        }
        CargarValoresGlobales();
        sim.ConfigurarEnlaceTcp();
        puerto = LeerConfig("Global", "Port_1", "");
        enlace.fijarEsperas(150, 1000);
        ConfigurarPlano("plano", "20",
                        {{"FormatoAccess", "1"}, {"FormatoExcel", "1"}, {"NombreExcel", "libro"}});
        GuardarConfig("Opciones", "Ruta", "");
    }

    static bool Sql(const QString& sentencia) { return aux::Sql({sentencia}); }

    // n weighings whose Secuencia runs from `primera` (each reload is new weighings).
    void Cargar(int n, int primera = 100) {
        for (int i = 1; i <= n; ++i) sim.agregarPesada(RegistroDePrueba(i));
        sim.fijarContador(quint32(n + primera));
    }
    ResultadoDescarga Bajar() { return LeerAuditoria(espia, op, campos); }

    // Rows (Lote, Numero, Peso, Codigo1, Codigo2) of the report table, of one batch or of all.
    static std::vector<QVariantList> Tabla(long long lote = -1) {
        std::vector<QVariantList> filas;
        aux::Sql({"SELECT Lote, Numero, Peso, Codigo1, Codigo2 FROM " + DataTbReporte +
                  (lote < 0 ? QString() : " WHERE Lote = " + QString::number(lote)) +
                  " ORDER BY Lote, Numero"},
                 &filas);
        return filas;
    }
    static QStringList Plano() { return LineasDe("plano.txt"); }

    // Each of the n weighings given, exactly once, in batch `lote` of all three sinks.
    void ComprobarGuardadas(int n, long long lote, const QString& celdaLote = "H3",
                            int primera = 100) {
        const std::vector<QVariantList> filas = Tabla(lote);
        const QString prefijo = QString::number(lote) + ";";
        const QStringList lineas = Plano().filter(QRegularExpression("^" + prefijo));
        auto hoja = LeerHoja(carpeta.ruta("libro.xlsx"), "Pesadas Bascora");
        ASSERT_EQ(int(filas.size()), n);
        ASSERT_EQ(lineas.size(), n);
        EXPECT_EQ(hoja[celdaLote].valor, QString::number(lote));
        EXPECT_FALSE(hoja["C" + QString::number(6 + n)].existe);
        for (int i = 1; i <= n; ++i) {
            const QVariantList& f = filas[size_t(i - 1)];
            EXPECT_EQ(QStringList({f[1].toString(), f[2].toString(), f[4].toString()}),
                      QStringList({QString::number(i), QString::number(10 * i),
                                   QString::number(1000 + i)}));
            const QString secuencia = QString::number(primera + i - 1);
            EXPECT_TRUE(
                lineas[i - 1].startsWith(prefijo + QStringLiteral("%1;%2;").arg(i).arg(10 * i)));
            EXPECT_TRUE(lineas[i - 1].endsWith(";" + secuencia)) << lineas[i - 1].toStdString();
            const QString fila = QString::number(5 + i);
            EXPECT_EQ(hoja["D" + fila].valor, QString::number(i));
            EXPECT_EQ(hoja["I" + fila].valor, secuencia);
        }
    }

    // n records in the indicator (all of them when locked), and whether it is locked.
    void ComprobarIntacto(int n, bool bloqueado = true) {
        EXPECT_EQ(sim.indicador().bloqueado(), bloqueado);
        EXPECT_EQ(sim.indicador().cuenta(), n);
        EXPECT_EQ(sim.indicador().pesadas().size(), n);
    }

    // Until Restablecer(), the requests `cae` picks go to a port where nobody listens.
    void Cortar(const std::function<bool(const PeticionEnlace&)>& cae) {
        QTcpServer s;
        s.listen(QHostAddress::LocalHost, 0);
        const QString cerrado = QString::number(s.serverPort());
        espia.antes = [this, cae, cerrado](const PeticionEnlace& p) {
            GuardarConfig("Global", "Port_1", cae(p) ? cerrado : puerto);
        };
    }
    void Restablecer() {
        espia.antes = {};
        GuardarConfig("Global", "Port_1", puerto);
    }
    CarpetaTemporal carpeta;
    SimuladorPrueba sim;
    EnlaceDirecto enlace;
    EnlaceEspia espia{enlace};
    InteraccionGuion op;
    OpcionesCampos campos;
    QString puerto;
};

TEST_F(DescargaExtremo, TenthOfAnswersDroppedStillStoresEveryWeighingOnce) {
    Cargar(500);
    sim.indicador().fijarSemilla(7);
    simulador::AjustesFallos fallos;
    fallos.perder = 0.1;
    sim.fijarFallos(fallos);
    const ResultadoDescarga r = Bajar();
    EXPECT_EQ(r.fin, FinDescarga::Completa) << op.textos().join(" | ").toStdString();
    EXPECT_EQ(r.lote, 21);
    EXPECT_GT(r.reintentos, 0);
    ComprobarGuardadas(500, 21);
    ComprobarIntacto(0, false);
}

TEST_F(DescargaExtremo, IndicatorGoneDuringTheRecordsReadLeavesEverythingForTheNextDownload) {
    Cargar(500);
    bool enPesadas = false;
    espia.antes = [&](const PeticionEnlace& p) { enPesadas = p.Direccion == "7041"; };
    enlace.fijarProgreso([&](int avance) {
        if (enPesadas && avance >= 50) {
            simulador::AjustesFallos muerto;
            muerto.perder = 1.0;
            sim.fijarFallos(muerto);
        }
    });
    EXPECT_EQ(Bajar().fin, FinDescarga::FalloPesadas);
    EXPECT_TRUE(Tabla().empty());
    EXPECT_FALSE(QFile::exists(carpeta.ruta("plano.txt")));
    EXPECT_FALSE(QFile::exists(carpeta.ruta("libro.xlsx")));
    EXPECT_EQ(LoteGuardado(), 20);
    ComprobarIntacto(500);

    enlace.fijarProgreso({});
    sim.fijarFallos({});
    EXPECT_EQ(Bajar().fin, FinDescarga::Completa);
    ComprobarGuardadas(500, 21);
    ComprobarIntacto(0, false);
}

TEST_F(DescargaExtremo, NoOutputOrAFailedStoreKeepsTheRecordsAndTheNextDownloadStoresThemAll) {
    const int n = 40;
    Cargar(n);
    // No active output: the indicator is left alone, not emptied into nowhere.
    GuardarConfigSeccion("Global",
                         {{"FormatoAccess", "0"}, {"FormatoExcel", "0"}, {"ArchivoPlano", "0"}});
    EXPECT_EQ(Bajar().fin, FinDescarga::SinSalida);
    EXPECT_EQ(sim.tramasRecibidas(6), 0);
    ComprobarIntacto(n, false);
    GuardarConfigSeccion("Global",
                         {{"FormatoAccess", "1"}, {"FormatoExcel", "1"}, {"ArchivoPlano", "1"}});

    // The table refuses the 25th weighing as a duplicate: nothing of the batch is stored anywhere.
    ASSERT_TRUE(Sql("INSERT INTO " + DataTbReporte + " (Lote, Numero, Peso) VALUES (1, 99, 250)"));
    ASSERT_TRUE(Sql("CREATE UNIQUE INDEX peso_unico ON " + DataTbReporte + " (Peso)"));
    EXPECT_EQ(Bajar().fin, FinDescarga::FalloAlmacenamiento);
    ComprobarIntacto(n);
    EXPECT_TRUE(Tabla(21).empty());
    EXPECT_TRUE(Plano().isEmpty());
    EXPECT_FALSE(QFile::exists(carpeta.ruta("libro.xlsx")));
    EXPECT_EQ(LoteGuardado(), 21);
    ASSERT_TRUE(Sql("DROP INDEX peso_unico"));
    ASSERT_TRUE(Sql("DELETE FROM " + DataTbReporte));

    // No template.
    QFile::rename(carpeta.ruta("PlantillaBascora.xlsx"), carpeta.ruta("guardada.xlsx"));
    EXPECT_EQ(Bajar().fin, FinDescarga::FalloAlmacenamiento);
    ComprobarIntacto(n);
    QFile::rename(carpeta.ruta("guardada.xlsx"), carpeta.ruta("PlantillaBascora.xlsx"));

    GuardarConfig("Opciones", "Ruta", "");
    EXPECT_EQ(Bajar().fin, FinDescarga::Completa);
    ComprobarGuardadas(n, 23);
    ComprobarIntacto(0, false);
}

// A failed totals read is told and logged; the weighings are stored, deleted and unlocked.
TEST_F(DescargaExtremo, AFailedTotalsReadStillCompletesTheDownload) {
    Cargar(3);
    GuardarConfig("Global", "BajarTotCod", "1");
    Cortar([](const PeticionEnlace& p) { return p.Direccion == "13547"; });
    EXPECT_EQ(Bajar().fin, FinDescarga::Completa);
    EXPECT_EQ(op.textos().first(), "Error al bajar los totales por producto");
    EXPECT_TRUE(carpeta.leer("Datos.log").contains("Error al bajar los totales por producto"));
    ComprobarGuardadas(3, 21);
    ComprobarIntacto(0, false);
}

// A scheduled download resumes where it stopped: at the delete, at the unlock, and when someone
// changed the indicator meanwhile, deletes nothing and stores only the new weighings next time.
TEST_F(DescargaExtremo, ScheduledDownloadResumesWhereItStopped) {
    const int n = 20;
    const auto sinEliminar = [](const PeticionEnlace& p) {
        return p.Modo == "T" && p.Direccion == "6";
    };
    BajadaAuto bajada(espia);
    bajada.fijarReloj([] { return QDateTime(QDate(2026, 5, 4), QTime(10, 0)); });
    bajada.Iniciar();
    Cargar(n);
    Cortar(sinEliminar);
    bajada.BajarAhora();
    EXPECT_EQ(bajada.EtapaBajada, 2);
    EXPECT_TRUE(bajada.TimerReconect->isActive());
    ComprobarIntacto(n);
    Restablecer();
    sim.indicador().reiniciarContadores();
    bajada.Reconectar();
    EXPECT_EQ(bajada.BajadaPendiente, 0);
    EXPECT_EQ(sim.tramasRecibidas(6), 2);  // the delete and the unlock, nothing else written
    ComprobarIntacto(0, false);
    ComprobarGuardadas(n, 21, "K3");

    Cargar(n, 200);
    Cortar([](const PeticionEnlace& p) {  // the unlock only
        return p.Modo == "T" && p.Direccion == "13541" && p.Dato.at(0) == 0;
    });
    bajada.BajarAhora();
    EXPECT_EQ(bajada.EtapaBajada, 1);
    Restablecer();
    sim.indicador().reiniciarContadores();
    bajada.Reconectar();
    EXPECT_EQ(sim.tramasRecibidas(6), 1);
    ComprobarIntacto(0, false);
    ComprobarGuardadas(n, 22, "K3", 200);

    // Someone unlocks the indicator by hand and it weighs 5 more before the retry.
    Cargar(n, 300);
    Cortar(sinEliminar);
    bajada.BajarAhora();
    Restablecer();
    sim.escribirRegistros(DirBloqueo, DatoDesbloquear());
    for (int i = n + 1; i <= n + 5; ++i) sim.agregarPesada(RegistroDePrueba(i));
    sim.fijarContador(quint32(n + 5 + 300));
    bajada.Reconectar();
    EXPECT_EQ(sim.indicador().cuenta(), n + 5);  // nothing deleted
    EXPECT_EQ(bajada.EtapaBajada, 0);
    EXPECT_TRUE(carpeta.leer("Datos.log").contains("cambi"));
    bajada.BajarAhora();
    ComprobarIntacto(0, false);
    EXPECT_EQ(Tabla().size(), size_t(3 * n + 5));
    EXPECT_EQ(Tabla(24).size(), 5u);
    bajada.Terminar();
}

TEST_F(DescargaExtremo, ExportPathsAreNeverFollowedThroughLinks) {
    Cargar(4);
    carpeta.escribir("ajeno.txt", "no tocar\n");
    for (const char* nombre : {"plano.txt", "libro.xlsx"})
        ASSERT_TRUE(QFile::link(carpeta.ruta("ajeno.txt"), carpeta.ruta(nombre)));
    EXPECT_EQ(Bajar().fin, FinDescarga::FalloAlmacenamiento);  // the text file refuses the link
    ComprobarIntacto(4);
    QFile::remove(carpeta.ruta("plano.txt"));
    sim.escribirRegistros(DirBloqueo, DatoDesbloquear());
    EXPECT_EQ(Bajar().fin, FinDescarga::Completa);  // the workbook replaces the link
    ComprobarIntacto(0, false);

    EXPECT_EQ(carpeta.leer("ajeno.txt"), "no tocar\n");
    EXPECT_FALSE(QFileInfo(carpeta.ruta("libro.xlsx")).isSymLink());
}

}  // namespace
