// Two PCs, each with its own settings file, storing batches into one weighing table: the batch
// numbers must never collide, on SQLite (one shared file) and on PostgreSQL (a central server).
#include <QDir>
#include <QFileInfo>

#include "base/Globales.h"
#include "settings/Config.h"
#include "settings/ContextoCarpeta.h"
#include "tests/data/MotorDatos.h"
#include "weighings/Sumideros.h"

namespace {

class LotesCompartidos : public MotorDatos {};

// One download of `n` weighings into the table from the data folder `carpeta`.
long long Bajar(const QString& carpeta, const QString& cadena, int n, int secuencia) {
    ContextoCarpeta::iniciar(carpeta);
    DataCSReporte = cadena;
    DataTbReporte = QStringLiteral("Reporte");
    OpcionesSalida o;
    o.tabla = true;
    Sumideros s(TipoDescarga::Manual, o);
    s.Preparar();
    QString error;
    const long long lote = TomarLote(s.loteMaximoTabla(), &error);
    EXPECT_GT(lote, 0) << error.toStdString();
    s.Abrir(lote);
    for (int i = 1; i <= n; ++i) {
        Pesada p{"01/03/05", "10:00", double(i), {"1", "2", "3", "4", "5"}, i, lote, secuencia + i};
        EXPECT_TRUE(s.Agregar(p));
    }
    s.Cerrar();
    return lote;
}

TEST_P(LotesCompartidos, AlternatingDownloadsOfTwoDataFoldersNeverReuseABatch) {
    // A relative SQLite file would be one database per folder: both name the same file.
    if (!EsPostgres())
        cadena = QStringLiteral("Driver=QSQLITE;Data Source=%1;")
                     .arg(QFileInfo(QStringLiteral("datos.db")).absoluteFilePath());
    const QString pcA = QDir::currentPath();
    CarpetaTemporal otra;
    const QString pcB = QDir::currentPath();
    for (const QString& carpeta : {pcA, pcB}) {
        ContextoCarpeta::iniciar(carpeta);
        GuardarConfig("global", "Lote", "1");
    }
    QList<long long> lotes;
    for (int vuelta = 0; vuelta < 3; ++vuelta) {
        lotes << Bajar(pcA, cadena, 3, 100 * vuelta);
        lotes << Bajar(pcB, cadena, 2, 100 * vuelta + 50);
    }
    EXPECT_EQ(lotes, QList<long long>({2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(LeerConfig("global", "Lote", ""), "7");  // PC B's own counter caught up
}

INSTANCIAR_MOTORES(LotesCompartidos);

}  // namespace
