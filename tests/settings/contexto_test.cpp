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

// Past the window in which a change could share the clock tick of the last read.
void DejarAsentar() {
    QThread::msleep(40);
}

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
    DejarAsentar();
    EXPECT_EQ(LeerConfig("Global", "K", ""), "uno");
    const long long tras1 = Lecturas();
    for (int i = 0; i < 50; ++i) EXPECT_EQ(LeerConfig("global", "k", ""), "uno");
    EXPECT_EQ(Lecturas(), tras1);

    struct Cambio {
        const char* nombre;
        QByteArray contenido;
        QDateTime hora;
        const char* esperado;
    };
    const QList<Cambio> cambios = {
        {"same size, new time", "[Global]\r\nK=dos.\r\n", antigua.addSecs(60), "dos"},
        {"same time, new size", "[Global]\r\nK=tres3.\r\n", antigua.addSecs(60), "tres3"},
        {"same size, same time", "[Global]\r\nK=cua4a.\r\n", antigua.addSecs(60), "cua4a"},
    };
    for (const Cambio& c : cambios) {
        SCOPED_TRACE(c.nombre);
        carpeta.escribir("bascora.ini", c.contenido);
        FijarHora(carpeta.ruta("bascora.ini"), c.hora);
        DejarAsentar();
        EXPECT_EQ(LeerConfig("Global", "K", ""), c.esperado);
        const long long despues = Lecturas();
        EXPECT_EQ(LeerConfig("Global", "K", ""), c.esperado);
        EXPECT_EQ(Lecturas(), despues);
    }
}

// Our own write is seen at once; it may be read once more while its time is recent, never again.
TEST(Contexto, NuestraEscrituraSeVeAlMomentoYDespuesNoSeRelee) {
    CarpetaTemporal carpeta;
    ASSERT_TRUE(GuardarConfig("Global", "K", "uno"));
    EXPECT_EQ(LeerConfig("Global", "K", ""), "uno");
    ASSERT_TRUE(GuardarConfig("Global", "K", "dos"));
    EXPECT_EQ(LeerConfig("Global", "K", ""), "dos");
    DejarAsentar();
    const long long antes = Lecturas();
    for (int i = 0; i < 20; ++i) EXPECT_EQ(LeerConfig("Global", "K", ""), "dos");
    EXPECT_LE(Lecturas(), antes + 1);
}

// The closing character of a text is dropped, an empty one falls back; a replaced file is seen
// at once.
TEST(Contexto, ElIdiomaReemplazadoSeVeAlMomento) {
    CarpetaTemporal carpeta;
    EXPECT_EQ(TextoIdioma("005002", "Conectar"), "Conectar");
    carpeta.escribir("otro", "[Idioma]\r\n005002=Connect.\r\n005005=Exit\r\n005006=\r\n");
    ASSERT_TRUE(QFile::rename(carpeta.ruta("otro"), carpeta.ruta("Idioma.CFG")));
    EXPECT_EQ(TextoIdioma("005002", "Conectar"), "Connect");
    EXPECT_EQ(TextoIdioma("005005", "&Salir"), "Exi");
    EXPECT_EQ(TextoIdioma("005006", "&Bajar"), "&Bajar");
    EXPECT_EQ(TextoIdioma("005007", "&Codigos"), "&Codigos");
    carpeta.escribir("otro", "[Idioma]\r\n005002=Verbinden.\r\n");
    QFile::remove(carpeta.ruta("Idioma.CFG"));
    ASSERT_TRUE(QFile::rename(carpeta.ruta("otro"), carpeta.ruta("IDIOMA.cfg")));
    EXPECT_EQ(TextoIdioma("005002", "Conectar"), "Verbinden");
    QFile::remove(carpeta.ruta("IDIOMA.cfg"));
    EXPECT_EQ(TextoIdioma("005002", "Conectar"), "Conectar");
}

TEST(Contexto, RutaSinDistinguirMayusculasYPrimeraEnOrdenDeNombre) {
    CarpetaTemporal carpeta;
    ContextoCarpeta& contexto = ContextoCarpeta::actual();
    EXPECT_EQ(contexto.ruta("Datos.log"), carpeta.ruta("Datos.log"));  // not there: as asked
    carpeta.escribir("DATOS.LOG", "x");
    EXPECT_EQ(contexto.ruta("Datos.log"), carpeta.ruta("DATOS.LOG"));
    carpeta.escribir("datos.log", "y");
    EXPECT_EQ(contexto.ruta("Datos.log"), carpeta.ruta("DATOS.LOG"));  // "D" sorts before "d"
    QDir(carpeta.ruta()).mkdir("datos.db");                            // folders are not files
    EXPECT_EQ(contexto.ruta("DATOS.DB"), carpeta.ruta("DATOS.DB"));
    EXPECT_EQ(contexto.ruta("sub/x.txt"), carpeta.ruta("sub/x.txt"));
}

TEST(Contexto, NoSigueAlDirectorioActual) {
    CarpetaTemporal carpeta;
    carpeta.escribir("bascora.ini", "[Global]\r\nK=propia.\r\n");
    CarpetaTemporal otra;  // now the current directory and the context
    otra.escribir("bascora.ini", "[Global]\r\nK=ajena.\r\n");
    const auto propio = std::make_shared<ContextoCarpeta>(carpeta.ruta());
    const auto anterior = ContextoCarpeta::reemplazar(propio);
    EXPECT_EQ(QDir::currentPath(), QDir(otra.ruta()).canonicalPath());
    EXPECT_EQ(LeerConfig("Global", "K", ""), "propia");
    carpeta.escribir("Ingles.IDM", "[Idioma]\r\n005002=Connect.\r\n");
    otra.escribir("ingles.idm", "[Idioma]\r\n005002=Wrong.\r\n");
    EXPECT_EQ(LeerValorPerfil("ingles.idm", "Idioma", "005002", "x"), "Connect");
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

TEST(CandadoDescarga, UnHiloOProcesoALaVezYElDeUnProcesoMuertoSeRecupera) {
    CarpetaTemporal carpeta;
    ContextoCarpeta& contexto = ContextoCarpeta::actual();
    {
        auto primero = contexto.bloquearDescarga();
        ASSERT_TRUE(primero);
        std::unique_ptr<QLockFile> otroHilo;
        QThread* hilo = QThread::create([&] { otroHilo = contexto.bloquearDescarga(); });
        hilo->start();
        hilo->wait();
        delete hilo;
        EXPECT_FALSE(otroHilo);
        EXPECT_FALSE(ContextoCarpeta(carpeta.ruta()).bloquearDescarga());
    }
    QProcess ayudante;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(kVariableAyudante, carpeta.ruta());
    ayudante.setProcessEnvironment(entorno);
    ayudante.start(QCoreApplication::applicationFilePath(),
                   {"--gtest_filter=CandadoDescarga.Ayudante"});
    ASSERT_TRUE(ayudante.waitForStarted());
    QByteArray salida;
    while (!salida.contains("TOMADO") && !salida.contains("OCUPADO") &&
           ayudante.waitForReadyRead(10000))
        salida += ayudante.readAllStandardOutput();
    EXPECT_TRUE(salida.contains("TOMADO")) << salida.toStdString();
    EXPECT_FALSE(contexto.bloquearDescarga());  // held by a live process
    ayudante.kill();                            // dies holding it
    ayudante.waitForFinished();
    EXPECT_TRUE(QFile::exists(carpeta.ruta("descarga.lock")));
    EXPECT_TRUE(contexto.bloquearDescarga());
}

}  // namespace
