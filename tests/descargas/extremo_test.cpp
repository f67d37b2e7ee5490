// Downloads from the simulated indicator over TCP on 127.0.0.1 into a prepared data folder with
// all three sinks: every weighing must end up stored exactly once, whatever fails on the way.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>

#include "base/Globales.h"
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
    static long long Lote() { return LoteGuardado(); }

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
        ASSERT_EQ(int(filas.size()), n);
        const QString prefijo = QString::number(lote) + ";";
        const QStringList lineas = Plano().filter(QRegularExpression("^" + prefijo));
        ASSERT_EQ(lineas.size(), n);
        auto hoja = LeerHoja(carpeta.ruta("libro.xlsx"), "Pesadas Bascora");
        EXPECT_EQ(hoja[celdaLote].valor, QString::number(lote));
        EXPECT_FALSE(hoja["C" + QString::number(6 + n)].existe);
        for (int i = 1; i <= n; ++i) {
            const QVariantList& f = filas[size_t(i - 1)];
            EXPECT_EQ(f[1].toInt(), i);
            EXPECT_EQ(f[2].toDouble(), 10.0 * i);
            EXPECT_EQ(f[3].toInt(), i);
            EXPECT_EQ(f[4].toInt(), 1000 + i);
            const QString& l = lineas[i - 1];
            EXPECT_TRUE(l.startsWith(
                prefijo + QStringLiteral("%1;%2;%1;%3;").arg(i).arg(10 * i).arg(1000 + i)))
                << l.toStdString();
            EXPECT_TRUE(l.endsWith(";" + QString::number(primera + i - 1)));
            const QString fila = QString::number(5 + i);
            ASSERT_TRUE(hoja["C" + fila].existe) << i;
            EXPECT_EQ(hoja["C" + fila].valor.toDouble(), 10.0 * i);
            EXPECT_EQ(hoja["D" + fila].valor, QString::number(i));
            EXPECT_EQ(hoja["I" + fila].valor.toLongLong(), primera + i - 1);
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
    // A scheduled download of n weighings whose delete does not reach the indicator.
    void ProgramadaSinEliminar(BajadaAuto& bajada, int n) {
        Cargar(n);
        bajada.fijarReloj([] { return QDateTime(QDate(2026, 5, 4), QTime(10, 0)); });
        Cortar([](const PeticionEnlace& p) { return p.Modo == "T" && p.Direccion == "6"; });
        bajada.Iniciar();
        bajada.BajarAhora();
        EXPECT_EQ(bajada.EtapaBajada, 2);
        Restablecer();
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
    EXPECT_EQ(Tabla().size(), 500u);
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
    EXPECT_EQ(op.textos().last(), "Error al comunicar con el Indicador");
    EXPECT_TRUE(Tabla().empty());
    EXPECT_FALSE(QFile::exists(carpeta.ruta("plano.txt")));
    EXPECT_FALSE(QFile::exists(carpeta.ruta("libro.xlsx")));
    EXPECT_EQ(Lote(), 20);
    EXPECT_TRUE(carpeta.leer("Datos.log").contains("No se pudo bajar las 500 pesadas (6500)"));
    EXPECT_TRUE(carpeta.leer("Datos.log").contains("\r\nEnlace: tramas "));  // with the counts
    ComprobarIntacto(500);

    enlace.fijarProgreso({});
    sim.fijarFallos({});
    EXPECT_EQ(Bajar().fin, FinDescarga::Completa);
    ComprobarGuardadas(500, 21);
    EXPECT_EQ(Tabla().size(), 500u);
    ComprobarIntacto(0, false);
}

TEST_F(DescargaExtremo, StorageFailuresKeepTheRecordsAndTheNextDownloadStoresThemAll) {
    const int n = 40;
    Cargar(n);

    // The table refuses the 25th weighing as a duplicate: nothing of the batch is stored anywhere.
    ASSERT_TRUE(Sql("INSERT INTO " + DataTbReporte + " (Lote, Numero, Peso) VALUES (1, 99, 250)"));
    ASSERT_TRUE(Sql("CREATE UNIQUE INDEX peso_unico ON " + DataTbReporte + " (Peso)"));
    EXPECT_EQ(Bajar().fin, FinDescarga::FalloAlmacenamiento);
    EXPECT_EQ(op.textos().last(), "Error en base de datos");
    ComprobarIntacto(n);
    EXPECT_TRUE(Tabla(21).empty());
    EXPECT_TRUE(Plano().isEmpty());
    EXPECT_FALSE(QFile::exists(carpeta.ruta("libro.xlsx")));
    EXPECT_EQ(Lote(), 21);
    ASSERT_TRUE(Sql("DROP INDEX peso_unico"));
    ASSERT_TRUE(Sql("DELETE FROM " + DataTbReporte));

    // No template.
    QFile::rename(carpeta.ruta("PlantillaBascora.xlsx"), carpeta.ruta("guardada.xlsx"));
    EXPECT_EQ(Bajar().fin, FinDescarga::FalloAlmacenamiento);
    EXPECT_EQ(op.textos().last(), "No se encuentra datos.mdb.");
    ComprobarIntacto(n);
    QFile::rename(carpeta.ruta("guardada.xlsx"), carpeta.ruta("PlantillaBascora.xlsx"));

    // A file where the export folder should be.
    carpeta.escribir("salida", "no soy una carpeta");
    GuardarConfig("Opciones", "Ruta", "salida/");
    EXPECT_EQ(Bajar().fin, FinDescarga::FalloAlmacenamiento);
    ComprobarIntacto(n);
    EXPECT_EQ(Lote(), 23);

    GuardarConfig("Opciones", "Ruta", "");
    op.mensajes.clear();
    EXPECT_EQ(Bajar().fin, FinDescarga::Completa);
    EXPECT_EQ(op.textos(), QStringList({"Recepción finalizada con éxito\nSe han recibido 40 "
                                        "pesadas"}));
    ComprobarGuardadas(n, 24);
    ComprobarIntacto(0, false);
}

TEST_F(DescargaExtremo, NamesForCodesAndTotalsByProduct) {
    Cargar(3);
    GuardarConfig("Global", "GuardarNombre", "1");
    GuardarConfig("Global", "BajarTotCod", "1");
    ASSERT_TRUE(Sql("UPDATE " + DataTbPLU_SETUP + " SET Alfa = -1 WHERE Codigo = 1"));
    ASSERT_TRUE(Sql("UPDATE " + DataTbPLU_SETUP + " SET Texto = 1 WHERE Codigo = 3"));
    ASSERT_TRUE(Sql("DELETE FROM " + DataTbPLU));
    for (const char* fila : {"(1, 1, 'Harina')", "(1, 2, 'Azucar')", "(2, 5, 'Sal')"})
        ASSERT_TRUE(Sql("INSERT INTO " + DataTbPLU + " (Grupo, Codigo, Nombre) VALUES " + fila));
    campos = Llena_Opciones();
    // Totals: entry 1 has 3 weighings of 1500, entry 2 none, entry 3 one of 700.
    QByteArray totales =
        QByteArray::fromHex("DC050003000000000000BC02000100").leftJustified(1250, '\0');
    sim.escribirRegistros(DirTotales, totales);

    EXPECT_EQ(Bajar().fin, FinDescarga::Completa);
    EXPECT_EQ(op.textos().last(), "Recepción de totales por producto finalizada con éxito");
    const QStringList lineas = Plano();
    ASSERT_EQ(lineas.size(), 3);
    EXPECT_TRUE(lineas[0].startsWith("21;1;10;Harina;1001;ABC;")) << lineas[0].toStdString();
    EXPECT_TRUE(lineas[1].startsWith("21;2;20;Azucar;1002;ABC;"));
    EXPECT_TRUE(lineas[2].startsWith("21;3;30;;1003;ABC;"));  // no product 3 in group 1
    const std::vector<QVariantList> filas = Tabla();
    ASSERT_EQ(filas.size(), 3u);
    EXPECT_EQ(filas[0][3].toInt(), 0);  // a name is not a number
    auto hoja = LeerHoja(carpeta.ruta("libro.xlsx"), "Totales");
    EXPECT_EQ(hoja["C6"].valor, "Harina");
    EXPECT_EQ(hoja["D6"].valor.toDouble(), 1500.0);
    EXPECT_EQ(hoja["C7"].valor, "Sal");  // entry 2 has no weighings
    EXPECT_FALSE(hoja["A8"].existe);

    // The totals read fails: told and logged, and the download still deletes and unlocks.
    Cargar(2, 200);
    op.mensajes.clear();
    Cortar([](const PeticionEnlace& p) { return p.Direccion == "13547"; });
    EXPECT_EQ(Bajar().fin, FinDescarga::Completa);
    EXPECT_EQ(op.textos(), QStringList({"Error al bajar los totales por producto",
                                        "Recepción finalizada con éxito\nSe han recibido 2 "
                                        "pesadas"}));
    EXPECT_TRUE(carpeta.leer("Datos.log").contains("Error al bajar los totales por producto"));
    ComprobarIntacto(0, false);
}

TEST_F(DescargaExtremo, ScheduledDownloadResumesAtTheDeleteAndAtTheUnlock) {
    const int n = 30;
    BajadaAuto bajada(espia);
    ProgramadaSinEliminar(bajada, n);
    EXPECT_EQ(bajada.BajadaPendiente, 1);
    EXPECT_TRUE(bajada.TimerReconect->isActive());
    ComprobarIntacto(n);
    EXPECT_EQ(Lote(), 21);

    sim.indicador().reiniciarContadores();
    bajada.Reconectar();
    EXPECT_EQ(bajada.BajadaPendiente, 0);
    ComprobarIntacto(0, false);
    EXPECT_EQ(sim.tramasRecibidas(6), 2);  // the delete and the unlock, nothing else written
    EXPECT_EQ(Lote(), 21);
    ComprobarGuardadas(n, 21, "K3");
    EXPECT_EQ(Tabla().size(), size_t(n));

    // Now the unlock fails at the end of a download: the retry sends only the unlock.
    Cargar(n, 200);
    Cortar([](const PeticionEnlace& p) {  // the unlock only
        return p.Modo == "T" && p.Direccion == "13541" && p.Dato.at(0) == 0;
    });
    bajada.BajarAhora();
    EXPECT_EQ(bajada.EtapaBajada, 1);
    ComprobarIntacto(0);
    Restablecer();
    sim.indicador().reiniciarContadores();
    bajada.Reconectar();
    EXPECT_EQ(sim.tramasRecibidas(6), 1);
    EXPECT_FALSE(sim.indicador().bloqueado());
    EXPECT_EQ(bajada.BajadaPendiente, 0);
    EXPECT_EQ(Lote(), 22);
    ComprobarGuardadas(n, 22, "K3", 200);
    EXPECT_EQ(Tabla().size(), size_t(2 * n));
    bajada.Terminar();
}

TEST_F(DescargaExtremo, ResumedDeleteKeepsWeighingsTakenSinceAndTheNextDownloadStoresThem) {
    const int n = 20;
    BajadaAuto bajada(espia);
    ProgramadaSinEliminar(bajada, n);

    // Someone unlocks the indicator by hand and it weighs 5 more before the retry.
    sim.escribirRegistros(DirBloqueo, DatoDesbloquear());
    for (int i = n + 1; i <= n + 5; ++i) sim.agregarPesada(RegistroDePrueba(i));
    sim.fijarContador(quint32(n + 5 + 100));
    bajada.Reconectar();
    EXPECT_EQ(sim.indicador().cuenta(), n + 5);  // nothing deleted
    EXPECT_FALSE(sim.indicador().bloqueado());
    EXPECT_EQ(bajada.EtapaBajada, 0);
    EXPECT_TRUE(carpeta.leer("Datos.log").contains("cambi"));

    // The next download stores the 5 and skips the 20 already stored.
    bajada.BajarAhora();
    ComprobarIntacto(0, false);
    EXPECT_EQ(Tabla().size(), size_t(n + 5));
    EXPECT_EQ(Plano().size(), n + 5);
    EXPECT_EQ(Tabla(22).size(), 5u);
    bajada.Terminar();
}

TEST_F(DescargaExtremo, FailedDeleteThenASecondDownloadStoresEachWeighingOnce) {
    const int n = 30;
    Cargar(n);
    Cortar([](const PeticionEnlace& p) { return p.Modo == "T" && p.Direccion == "6"; });
    EXPECT_EQ(Bajar().fin, FinDescarga::FalloEliminar);
    Restablecer();
    const QByteArray libro = carpeta.leer("libro.xlsx");
    sim.escribirRegistros(DirBloqueo, DatoDesbloquear());  // "Desbloquear"

    op.mensajes.clear();
    EXPECT_EQ(Bajar().fin, FinDescarga::Completa);
    EXPECT_EQ(op.textos().last(),
              "Recepción finalizada con éxito\nSe han recibido 30 pesadas\n"
              "30 ya estaban guardadas y no se repitieron");
    ComprobarGuardadas(n, 21);
    EXPECT_EQ(Tabla().size(), size_t(n));
    EXPECT_EQ(Plano().size(), n);
    EXPECT_EQ(carpeta.leer("libro.xlsx"), libro);  // a batch with nothing new keeps the workbook
    ComprobarIntacto(0, false);
}

TEST_F(DescargaExtremo, NoActiveOutputLeavesTheIndicatorAlone) {
    Cargar(5);
    GuardarConfigSeccion("Global",
                         {{"FormatoAccess", "0"}, {"FormatoExcel", "0"}, {"ArchivoPlano", "0"}});
    EXPECT_EQ(Bajar().fin, FinDescarga::SinSalida);
    EXPECT_TRUE(op.textos().last().startsWith("No hay ninguna salida activa"));
    EXPECT_EQ(sim.tramasRecibidas(6), 0);
    ComprobarIntacto(5, false);
    EXPECT_EQ(Lote(), 20);
}

TEST_F(DescargaExtremo, ExportPathsAreNeverFollowedThroughLinks) {
    Cargar(4);
    QTemporaryDir fuera;
    const QString ajeno = fuera.filePath("ajeno.txt");
    QFile f(ajeno);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("no tocar\n");
    f.close();
    ASSERT_TRUE(QFile::link(ajeno, carpeta.ruta("plano.txt")));
    ASSERT_TRUE(QFile::link(ajeno, carpeta.ruta("libro.xlsx")));

    EXPECT_EQ(Bajar().fin, FinDescarga::FalloAlmacenamiento);  // the text file refuses the link
    ComprobarIntacto(4);
    QFile::remove(carpeta.ruta("plano.txt"));
    sim.escribirRegistros(DirBloqueo, DatoDesbloquear());
    EXPECT_EQ(Bajar().fin, FinDescarga::Completa);  // the workbook replaces the link
    ComprobarIntacto(0, false);

    QFile leido(ajeno);
    ASSERT_TRUE(leido.open(QIODevice::ReadOnly));
    EXPECT_EQ(leido.readAll(), "no tocar\n");
    EXPECT_FALSE(QFileInfo(carpeta.ruta("libro.xlsx")).isSymLink());
}

// Two data folders (two PCs) store into one weighing table: their batch numbers never collide.
TEST_F(DescargaExtremo, TwoDataFoldersSharingOneTableNeverReuseABatch) {
    const QString archivo = carpeta.ruta("datos.db");
    const QString cadena = QStringLiteral("Driver=QSQLITE;Data Source=%1;").arg(archivo);
    GuardarConfig("BaseDeDatos", "DataCSReporte", cadena, true);
    CargarValoresGlobales();
    Cargar(3);
    EXPECT_EQ(Bajar().fin, FinDescarga::Completa);  // PC A: batch 21
    {
        CarpetaTemporal otra;  // PC B, its own settings with Lote 20 as well
        const InformeProvision informe = PrepararCarpeta();
        ASSERT_TRUE(informe.ok());
        ASSERT_TRUE(CrearPlantilla(otra.ruta("PlantillaBascora.xlsx")));
        sim.ConfigurarEnlaceTcp();
        ConfigurarPlano("plano", "20", {{"FormatoAccess", "1"}});
        GuardarConfig("BaseDeDatos", "DataCSReporte", cadena, true);
        CargarValoresGlobales();
        Cargar(3, 300);
        EXPECT_EQ(Bajar().fin, FinDescarga::Completa);
        EXPECT_EQ(Lote(), 22);
    }
    CargarValoresGlobales();
    Cargar(3, 400);
    EXPECT_EQ(Bajar().fin, FinDescarga::Completa);  // PC A again: past PC B's batch
    EXPECT_EQ(Lote(), 23);
    EXPECT_EQ(Tabla().size(), 9u);
}

}  // namespace
