// The data-folder context: files found without regard to case, bascora.ini and Idioma.cfg read
// once per version of the file, its own folder whatever the current directory, the download lock.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QProcess>
#include <QThread>

#include "settings/Config.h"
#include "settings/ContextoCarpeta.h"
#include "settings/Idioma.h"
#include "tests/support/CarpetaTemporal.h"

namespace {

void FijarHora(const QString& ruta, const QDateTime& hora) {
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(hora, QFileDevice::FileModificationTime));
}

long long Lecturas() {
    return ContextoCarpeta::actual().contadores().lecturas;
}

TEST(Contexto, LeeElArchivoUnaVezYVuelveALeerloSoloCuandoCambia) {
    CarpetaTemporal carpeta;
    const QDateTime antigua = QDateTime::currentDateTime().addDays(-3);
    carpeta.escribir("bascora.ini", "[Global]\r\nK=uno.\r\n");
    FijarHora(carpeta.ruta("bascora.ini"), antigua);
    QThread::msleep(40);  // past the clock tick of the last read
    EXPECT_EQ(LeerConfig("Global", "K", ""), "uno");
    const long long tras1 = Lecturas();
    for (int i = 0; i < 50; ++i) EXPECT_EQ(LeerConfig("global", "k", ""), "uno");
    EXPECT_EQ(Lecturas(), tras1);

    // A new time with the same size, then the same time with a new size, then neither.
    for (const char* valor : {"dos", "tres3", "cua4a"}) {
        SCOPED_TRACE(valor);
        carpeta.escribir("bascora.ini", QByteArray("[Global]\r\nK=") + valor + ".\r\n");
        FijarHora(carpeta.ruta("bascora.ini"), antigua.addSecs(60));
        QThread::msleep(40);  // past the clock tick of the last read
        EXPECT_EQ(LeerConfig("Global", "K", ""), valor);
        const long long despues = Lecturas();
        EXPECT_EQ(LeerConfig("Global", "K", ""), valor);
        EXPECT_EQ(Lecturas(), despues);
    }
}

// The closing character of a text is dropped, an empty one falls back; a file put in place by a
// rename is seen at once, whatever the case of its name.
TEST(Contexto, ElIdiomaReemplazadoSeVeAlMomento) {
    CarpetaTemporal carpeta;
    carpeta.escribir("otro", "[Idioma]\r\n005002=Connect.\r\n005006=\r\n");
    ASSERT_TRUE(QFile::rename(carpeta.ruta("otro"), carpeta.ruta("Idioma.CFG")));
    EXPECT_EQ(TextoIdioma("005002", "Conectar"), "Connect");
    EXPECT_EQ(TextoIdioma("005006", "&Bajar"), "&Bajar");
}

TEST(Contexto, RutaSinDistinguirMayusculasYPrimeraEnOrdenDeNombre) {
    CarpetaTemporal carpeta;
    ContextoCarpeta& contexto = ContextoCarpeta::actual();
    EXPECT_EQ(contexto.ruta("Datos.log"), carpeta.ruta("Datos.log"));  // not there: as asked
    carpeta.escribir("datos.log", "y");
    carpeta.escribir("DATOS.LOG", "x");
    EXPECT_EQ(contexto.ruta("Datos.log"), carpeta.ruta("DATOS.LOG"));  // "D" sorts before "d"
    QDir(carpeta.ruta()).mkdir("datos.db");                            // folders are not files
    EXPECT_EQ(contexto.ruta("DATOS.DB"), carpeta.ruta("DATOS.DB"));
}

TEST(Contexto, NoSigueAlDirectorioActual) {
    CarpetaTemporal carpeta;
    carpeta.escribir("bascora.ini", "[Global]\r\nK=propia.\r\n");
    CarpetaTemporal otra;  // now the current directory and the context
    otra.escribir("bascora.ini", "[Global]\r\nK=ajena.\r\n");
    const auto propio = std::make_shared<ContextoCarpeta>(carpeta.ruta());
    const auto anterior = ContextoCarpeta::reemplazar(propio);
    EXPECT_EQ(LeerConfig("Global", "K", ""), "propia");
    ASSERT_TRUE(GuardarConfig("Global", "Nueva", "1"));
    EXPECT_TRUE(carpeta.leer("bascora.ini").contains("Nueva=1."));
    EXPECT_FALSE(otra.leer("bascora.ini").contains("Nueva"));
    ContextoCarpeta::reemplazar(anterior);
    EXPECT_EQ(LeerConfig("Global", "K", ""), "ajena");
}

// Another process holding the download lock: this test program again, in the helper below.
constexpr const char* kVariableAyudante = "BASCORA_PRUEBA_CANDADO";

TEST(CandadoDescarga, Ayudante) {
    const QString carpeta = qEnvironmentVariable(kVariableAyudante);
    if (carpeta.isEmpty()) GTEST_SKIP() << "helper of CandadoDescarga.OtroProceso";
    ContextoCarpeta contexto(carpeta);
    auto candado = contexto.bloquearDescarga();
    std::printf(candado ? "TOMADO\n" : "OCUPADO\n");
    std::fflush(stdout);
    QThread::sleep(60);  // until killed
}

// Two processes at once are the download command's test; here a lock left by a dead process.
TEST(CandadoDescarga, ElDeUnProcesoMuertoSeRecupera) {
    CarpetaTemporal carpeta;
    QProcess ayudante;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(kVariableAyudante, carpeta.ruta());
    ayudante.setProcessEnvironment(entorno);
    ayudante.start(QCoreApplication::applicationFilePath(),
                   {"--gtest_filter=CandadoDescarga.Ayudante"});
    QByteArray salida;
    while (!salida.contains("TOMADO") && ayudante.waitForReadyRead(10000))
        salida += ayudante.readAllStandardOutput();
    ASSERT_TRUE(salida.contains("TOMADO")) << salida.toStdString();
    EXPECT_FALSE(ContextoCarpeta::actual().bloquearDescarga());  // held by a live process
    ayudante.kill();                                             // dies holding it
    ayudante.waitForFinished();
    EXPECT_TRUE(QFile::exists(carpeta.ruta("descarga.lock")));
    EXPECT_TRUE(ContextoCarpeta::actual().bloquearDescarga());
}

}  // namespace
