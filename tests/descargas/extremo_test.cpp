// Downloads from the simulated indicator over TCP on 127.0.0.1 into a prepared data folder with
// all three sinks: every weighing must end up stored exactly once, whatever fails on the way.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTimer>
#include <QUuid>

#include "app/Globales.h"
#include "data/Provision.h"
#include "link/EnlaceDirecto.h"
#include "settings/Config.h"
#include "tests/descargas/EnlaceFalso.h"
#include "tests/descargas/LibroLeido.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"
#include "tests/support/SimuladorPrueba.h"
#include "weighings/BajadaAuto.h"
#include "weighings/LeerAuditoria.h"
#include "weighings/Plantilla.h"

namespace {

// The real link, with a hook around each request.
class EnlaceEspia : public Enlace {
  public:
    explicit EnlaceEspia(Enlace& base) : base_(base) {}
    std::function<void(const PeticionEnlace&)> antes;
    std::function<void(const PeticionEnlace&)> despues;
    void Solicitar(PeticionEnlace& p) override {
        if (antes) antes(p);
        base_.Solicitar(p);
        if (despues) despues(p);
    }

  private:
    Enlace& base_;
};

struct Fila {
    long long lote, numero;
    double peso;
    long long codigo1, codigo2;
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
        enlace.fijarEsperas(150, 1000);
        GuardarConfig("global", "Lote", "20");
        GuardarConfig("global", "FormatoAccess", "1");
        GuardarConfig("global", "FormatoExcel", "1");
        GuardarConfig("global", "ArchivoPlano", "1");
        GuardarConfig("global", "NombreExcel", "libro");
        GuardarConfig("global", "NombreTXT", "plano");
        GuardarConfig("Opciones", "Extension", ".txt");
        GuardarConfig("Opciones", "Separador", "59");
        GuardarConfig("Opciones", "Ruta", "");
    }

    bool Sql(const QString& sentencia) const {
        const QString nombre = QUuid::createUuid().toString();
        bool ok = false;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nombre);
            db.setDatabaseName(carpeta.ruta("datos.db"));
            ok = db.open() && QSqlQuery(db).exec(sentencia);
        }
        QSqlDatabase::removeDatabase(nombre);
        return ok;
    }

    void Cargar(int n) {
        for (int i = 1; i <= n; ++i) sim.agregarPesada(RegistroDePrueba(i));
        sim.fijarContador(quint32(n + 100));
    }
    ResultadoDescarga Bajar() { return LeerAuditoria(espia, op, campos); }
    long long Lote() const { return ValorEntero(LeerConfig("global", "Lote", "1")); }

    std::vector<Fila> Tabla() const {
        std::vector<Fila> filas;
        const QString nombre = QUuid::createUuid().toString();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nombre);
            db.setDatabaseName(carpeta.ruta("datos.db"));
            if (db.open()) {
                QSqlQuery q(db);
                q.exec("SELECT Lote, Numero, Peso, Codigo1, Codigo2 FROM " + DataTbReporte +
                       " ORDER BY Lote, Numero");
                while (q.next())
                    filas.push_back({q.value(0).toLongLong(), q.value(1).toLongLong(),
                                     q.value(2).toDouble(), q.value(3).toLongLong(),
                                     q.value(4).toLongLong()});
            }
        }
        QSqlDatabase::removeDatabase(nombre);
        return filas;
    }
    QStringList Plano() const {
        QStringList l = QString::fromLatin1(carpeta.leer("plano.txt")).split("\r\n");
        if (!l.isEmpty() && l.last().isEmpty()) l.removeLast();
        return l;
    }

    // Each of the n weighings given, exactly once, in batch `lote` of all three sinks.
    void ComprobarGuardadas(int n, long long lote, const QString& celdaLote = "H3") {
        const std::vector<Fila> filas = Tabla();
        std::vector<Fila> delLote;
        for (const Fila& f : filas)
            if (f.lote == lote) delLote.push_back(f);
        ASSERT_EQ(int(delLote.size()), n);
        for (int i = 1; i <= n; ++i) {
            const Fila& f = delLote[size_t(i - 1)];
            EXPECT_EQ(f.numero, i);
            EXPECT_EQ(f.peso, 10.0 * i);
            EXPECT_EQ(f.codigo1, i);
            EXPECT_EQ(f.codigo2, 1000 + i);
        }
        const QString prefijo = QString::number(lote) + ";";
        const QStringList lineas = Plano().filter(QRegularExpression("^" + prefijo));
        ASSERT_EQ(lineas.size(), n);
        for (int i = 1; i <= n; ++i) {
            const QString esperado =
                prefijo + QStringLiteral("%1;%2;%1;%3;").arg(i).arg(10 * i).arg(1000 + i);
            EXPECT_TRUE(lineas[i - 1].startsWith(esperado)) << lineas[i - 1].toStdString();
            EXPECT_TRUE(lineas[i - 1].endsWith(";" + QString::number(100 + i - 1)));
        }
        const auto hoja = LeerHojaLibro(carpeta.ruta("libro.xlsx"), "Pesadas Bascora");
        EXPECT_EQ(hoja.count(celdaLote) ? hoja.at(celdaLote) : QString(), QString::number(lote));
        for (int i = 1; i <= n; ++i) {
            const QString fila = QString::number(5 + i);
            ASSERT_TRUE(hoja.count("C" + fila)) << i;
            EXPECT_EQ(hoja.at("C" + fila).toDouble(), 10.0 * i);
            EXPECT_EQ(hoja.at("D" + fila), QString::number(i));
            EXPECT_EQ(hoja.at("I" + fila).toLongLong(), 100 + i - 1);
        }
        EXPECT_FALSE(hoja.count("C" + QString::number(6 + n)));
    }

    void ComprobarIntacto(int n) {
        EXPECT_TRUE(sim.indicador().bloqueado());
        EXPECT_EQ(sim.indicador().cuenta(), n);
        EXPECT_EQ(sim.indicador().pesadas().size(), n);
    }

    // A port where nobody listens: requests sent there never reach the indicator.
    static int PuertoCerrado() {
        QTcpServer s;
        s.listen(QHostAddress::LocalHost, 0);
        return s.serverPort();
    }

    CarpetaTemporal carpeta;
    SimuladorPrueba sim;
    EnlaceDirecto enlace;
    EnlaceEspia espia{enlace};
    InteraccionGuion op;
    OpcionesCampos campos;
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
    EXPECT_EQ(sim.indicador().cuenta(), 0);
    EXPECT_FALSE(sim.indicador().bloqueado());
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
    ComprobarIntacto(500);

    enlace.fijarProgreso({});
    sim.fijarFallos({});
    EXPECT_EQ(Bajar().fin, FinDescarga::Completa);
    ComprobarGuardadas(500, 21);
    EXPECT_EQ(Tabla().size(), 500u);
    EXPECT_EQ(sim.indicador().cuenta(), 0);
}

TEST_F(DescargaExtremo, StorageFailuresKeepTheRecordsAndTheNextDownloadStoresThemAll) {
    const int n = 40;
    Cargar(n);

    // A row of the coming batch is already in the table: the 25th weighing is refused.
    ASSERT_TRUE(Sql("INSERT INTO " + DataTbReporte + " (Lote, Numero, Peso) VALUES (21, 25, 0)"));
    EXPECT_EQ(Bajar().fin, FinDescarga::FalloAlmacenamiento);
    EXPECT_EQ(op.textos().last(), "Error en base de datos");
    ComprobarIntacto(n);
    // What was written stays: the text line of each weighing goes out before its table row.
    EXPECT_EQ(Plano().filter(QRegularExpression("^21;")).size(), 25);
    EXPECT_EQ(Lote(), 21);

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
    EXPECT_EQ(sim.indicador().cuenta(), 0);
    EXPECT_FALSE(sim.indicador().bloqueado());
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
    QByteArray totales(1250, '\0');
    totales[0] = char(1500 & 0xFF);
    totales[1] = char(1500 >> 8);
    totales[3] = 3;
    totales[10] = char(700 & 0xFF);
    totales[11] = char(700 >> 8);
    totales[13] = 1;
    sim.escribirRegistros(DirTotales, totales);

    EXPECT_EQ(Bajar().fin, FinDescarga::Completa);
    EXPECT_EQ(op.textos().last(), "Recepción de totales por producto finalizada con éxito");
    const QStringList lineas = Plano();
    ASSERT_EQ(lineas.size(), 3);
    EXPECT_TRUE(lineas[0].startsWith("21;1;10;Harina;1001;ABC;")) << lineas[0].toStdString();
    EXPECT_TRUE(lineas[1].startsWith("21;2;20;Azucar;1002;ABC;"));
    EXPECT_TRUE(lineas[2].startsWith("21;3;30;;1003;ABC;"));  // no product 3 in group 1
    const std::vector<Fila> filas = Tabla();
    ASSERT_EQ(filas.size(), 3u);
    EXPECT_EQ(filas[0].codigo1, 0);  // a name is not a number
    const auto hoja = LeerHojaLibro(carpeta.ruta("libro.xlsx"), "Totales");
    EXPECT_EQ(hoja.count("C6") ? hoja.at("C6") : QString(), "Harina");
    EXPECT_EQ(hoja.count("D6") ? hoja.at("D6").toDouble() : 0, 1500.0);
    EXPECT_EQ(hoja.count("E6") ? hoja.at("E6").toInt() : 0, 3);
    EXPECT_EQ(hoja.count("A7") ? hoja.at("A7").toInt() : 0, 2);
    EXPECT_EQ(hoja.count("C7") ? hoja.at("C7") : QString(), "Sal");
    EXPECT_FALSE(hoja.count("A8"));

    // The totals read fails: told and logged, and the download still deletes and unlocks.
    Cargar(2);
    op.mensajes.clear();
    const QString puerto = LeerConfig("Global", "Port_1", "");
    const QString cerrado = QString::number(PuertoCerrado());
    espia.antes = [&](const PeticionEnlace& p) {
        GuardarConfig("Global", "Port_1", p.Direccion == "13547" ? cerrado : puerto);
    };
    EXPECT_EQ(Bajar().fin, FinDescarga::Completa);
    EXPECT_EQ(op.textos(), QStringList({"Error al bajar los totales por producto",
                                        "Recepción finalizada con éxito\nSe han recibido 2 "
                                        "pesadas"}));
    EXPECT_TRUE(carpeta.leer("Datos.log").contains("Error al bajar los totales por producto"));
    EXPECT_EQ(sim.indicador().cuenta(), 0);
    EXPECT_FALSE(sim.indicador().bloqueado());
}

TEST_F(DescargaExtremo, ScheduledDownloadResumesAtTheDeleteAndAtTheUnlock) {
    const int n = 30;
    Cargar(n);
    BajadaAuto bajada(espia);
    bajada.fijarReloj([] { return QDateTime(QDate(2026, 5, 4), QTime(10, 0)); });
    const QString puerto = LeerConfig("Global", "Port_1", "");
    const QString cerrado = QString::number(PuertoCerrado());
    // The line goes down for the delete only.
    espia.antes = [&](const PeticionEnlace& p) {
        GuardarConfig("Global", "Port_1", p.Modo == "T" && p.Direccion == "6" ? cerrado : puerto);
    };
    bajada.Iniciar();
    bajada.BajarAhora();
    EXPECT_EQ(bajada.EtapaBajada, 2);
    EXPECT_EQ(bajada.BajadaPendiente, 1);
    EXPECT_TRUE(bajada.TimerReconect->isActive());
    ComprobarIntacto(n);
    EXPECT_EQ(Lote(), 21);

    espia.antes = {};
    GuardarConfig("Global", "Port_1", puerto);
    sim.indicador().reiniciarContadores();
    bajada.Reconectar();
    EXPECT_EQ(bajada.BajadaPendiente, 0);
    EXPECT_EQ(sim.indicador().cuenta(), 0);
    EXPECT_FALSE(sim.indicador().bloqueado());
    EXPECT_EQ(sim.tramasRecibidas(6), 2);  // the delete and the unlock, nothing else written
    EXPECT_EQ(Lote(), 21);
    ComprobarGuardadas(n, 21, "K3");
    EXPECT_EQ(Tabla().size(), size_t(n));

    // Now the unlock fails at the end of a download: the retry sends only the unlock.
    Cargar(n);
    espia.antes = [&](const PeticionEnlace& p) {
        const bool desbloqueo = p.Modo == "T" && p.Direccion == "13541" && p.Dato.at(0) == 0;
        GuardarConfig("Global", "Port_1", desbloqueo ? cerrado : puerto);
    };
    bajada.BajarAhora();
    EXPECT_EQ(bajada.EtapaBajada, 1);
    EXPECT_TRUE(sim.indicador().bloqueado());
    EXPECT_EQ(sim.indicador().cuenta(), 0);
    espia.antes = {};
    GuardarConfig("Global", "Port_1", puerto);
    sim.indicador().reiniciarContadores();
    bajada.Reconectar();
    EXPECT_EQ(sim.tramasRecibidas(6), 1);
    EXPECT_FALSE(sim.indicador().bloqueado());
    EXPECT_EQ(bajada.BajadaPendiente, 0);
    EXPECT_EQ(Lote(), 22);
    ComprobarGuardadas(n, 22, "K3");
    EXPECT_EQ(Tabla().size(), size_t(2 * n));
    bajada.Terminar();
}

}  // namespace
