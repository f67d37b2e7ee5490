// Writes of bascora.ini that lose nothing: refused when the file cannot hold the value as given,
// concurrent writers and counters never losing a key (a full disk: the download's command test).
#include <gtest/gtest.h>

#include <QSet>
#include <QThread>
#include <atomic>
#include <climits>
#include <vector>

#include "base/Globales.h"
#include "settings/Config.h"
#include "settings/Cp1252.h"
#include "settings/Idioma.h"
#include "tests/support/CarpetaTemporal.h"

namespace {

const char* kIni = "bascora.ini";
const QByteArray kInicial = "; a mano\r\n[Global]\r\nK=antes.\r\n";

struct Caso {
    const char* nombre;
    QString seccion;
    QString clave;
    QString valor;
    bool cifrado;
    bool guardable;
};

QString Texto(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Every value either comes back exactly as given or is refused with the file untouched.
TEST(Escritura, ValorONombreQueElArchivoNoPuedeGuardarSeRechazaSinTocarNada) {
    const QString largo253(253, u'x');
    const QList<Caso> casos = {
        {"plain ò õ ß keep", "Global", "K", Texto("xòõß y"), false, true},
        {"253 scrambled", "Global", "K", largo253, true, true},
        {"euro and undefined byte", "Global", "K", Texto("€ \u0081"), true, true},
        {"254 scrambled", "Global", "K", largo253 + u'x', true, false},
        {"LF", "Global", "K", "uno\n[B]\nX=dos", false, false},
        {"ò scrambles to CR", "Global", "K", Texto("Bòveda"), true, false},
        {"leading blank", "Global", "K", " 5", false, false},
        {"ÿ scrambles to NUL", "Global", "K", Texto("aÿ"), true, false},
        {"outside Windows-1252", "Global", "K", Texto("日本"), false, false},
        {"section with ]", "A]B", "K", "v", false, false},
        {"empty section", "", "K", "v", false, false},
        {"key with =", "Global", "a=b", "v", false, false},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        CarpetaTemporal carpeta;
        carpeta.escribir(kIni, kInicial);
        QString error;
        const bool guardado = GuardarConfig(c.seccion, c.clave, c.valor, c.cifrado, false, &error);
        EXPECT_EQ(guardado, c.guardable) << error.toStdString();
        if (guardado) {
            EXPECT_EQ(LeerConfig(c.seccion, c.clave, "falta", c.cifrado), c.valor);
            continue;
        }
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(UltimoErrorConfig(), error);
        EXPECT_EQ(carpeta.leer(kIni), kInicial);
        EXPECT_EQ(LeerConfig("B", "X", "none"), "none");
    }
}

TEST(Escritura, UnaSeccionEsTodoONadaYElErrorSeBorraTrasUnExito) {
    CarpetaTemporal carpeta;
    carpeta.escribir(kIni, kInicial);
    QString error;
    EXPECT_FALSE(GuardarConfigSeccion("Setup", {{"1", "5"}, {"2", "a\nb"}}, &error));
    EXPECT_TRUE(error.startsWith("2: ")) << error.toStdString();  // names the refused key
    EXPECT_EQ(carpeta.leer(kIni), kInicial);
    EXPECT_TRUE(GuardarConfigSeccion("Setup", {{"1", "5"}, {"2", "7"}}));
    EXPECT_TRUE(UltimoErrorConfig().isEmpty());
    EXPECT_EQ(LeerConfig("setup", "2", ""), "7");
}

// The table back end gives no outcome of its own; an unreachable table must not read as stored.
TEST(Escritura, EnLaBaseSinTablaAlcanzableNoSeDaPorGuardado) {
    CarpetaTemporal carpeta;
    const QString cadena = DataCSGlobal, tabla = DataTbGlobal;
    DataCSGlobal = QStringLiteral("Driver=QSQLITE;Data Source=falta/no/global.db;");
    DataTbGlobal = QStringLiteral("Globales");
    QString error;
    EXPECT_FALSE(GuardarConfig("x", "Clave", "uno", false, true, &error));
    EXPECT_FALSE(error.isEmpty());
    DataCSGlobal = cadena;
    DataTbGlobal = tabla;
}

TEST(Contador, IncrementaDesdeElMinimoYLoDejaEnDisco) {
    struct Fila {
        QByteArray archivo;
        long long minimo;
        long long esperado;
    };
    const QList<Fila> filas = {
        {"", 1, 2},                           // no file: the minimum counts as stored
        {"[global]\r\nLote=7.\r\n", 10, 11},  // below the minimum
        {"[global]\r\nLote=9999999999.\r\n", 1, 10000000000},
    };
    for (const Fila& f : filas) {
        SCOPED_TRACE(f.archivo.toStdString());
        CarpetaTemporal carpeta;
        if (!f.archivo.isEmpty()) carpeta.escribir(kIni, f.archivo);
        QString error;
        const auto nuevo = IncrementarConfig("global", "Lote", f.minimo, &error);
        ASSERT_TRUE(nuevo.has_value()) << error.toStdString();
        EXPECT_EQ(*nuevo, f.esperado);
        EXPECT_TRUE(carpeta.leer(kIni).contains("=" + QByteArray::number(f.esperado) + ".\r\n"));
    }
    CarpetaTemporal carpeta;
    carpeta.escribir(kIni, "[global]\r\nLote=7.\r\n");
    QString error;
    EXPECT_FALSE(IncrementarConfig("global", "Lote", LLONG_MAX, &error).has_value());
    EXPECT_FALSE(IncrementarConfig("glo]bal", "Lote", 1, &error).has_value());
    EXPECT_EQ(carpeta.leer(kIni), "[global]\r\nLote=7.\r\n");
}

// Threads of one process at once: writers of distinct keys and counters lose nothing, each
// counter value is handed out once, and readers meanwhile see every value whole.
TEST(Escritura, HilosQueGuardanEIncrementanALaVezNoPierdenNada) {
    constexpr int kHilos = 4, kVeces = 15;
    CarpetaTemporal carpeta;
    carpeta.escribir("Idioma.cfg", "[Idioma]\r\n005002=Connect.\r\n");
    ASSERT_TRUE(GuardarConfig("Global", "Fijo", "siempre"));
    const auto clave = [](int h, int i) { return QStringLiteral("H%1_%2").arg(h).arg(i); };
    std::atomic<int> escritos = 0, fallos = 0, malos = 0;
    std::vector<std::vector<long long>> vistos(kHilos);
    std::vector<std::unique_ptr<QThread>> hilos;
    for (int h = 0; h < 2 * kHilos; ++h) {
        hilos.emplace_back(QThread::create([&, h] {
            while (h >= kHilos && escritos < kHilos) {  // a reader
                if (LeerConfig("Global", "Fijo", "") != "siempre") ++malos;
                if (TextoIdioma("005002", "Conectar") != "Connect") ++malos;
            }
            for (int i = 0; h < kHilos && i < kVeces; ++i) {
                if (!GuardarConfig("Global", clave(h, i), clave(h, i))) ++fallos;
                if (const auto v = IncrementarConfig("global", "Lote", 1)) vistos[h].push_back(*v);
            }
            if (h < kHilos) ++escritos;
        }));
        hilos.back()->start();
    }
    for (auto& h : hilos) h->wait();
    EXPECT_EQ(fallos, 0);
    EXPECT_EQ(malos, 0);
    QSet<long long> todos;
    for (const auto& v : vistos) todos.unite(QSet<long long>(v.begin(), v.end()));
    EXPECT_EQ(todos.size(), kHilos * kVeces);
    EXPECT_EQ(ValorEntero(LeerConfig("global", "Lote", "")), 1 + kHilos * kVeces);
    for (int h = 0; h < kHilos; ++h)
        for (int i = 0; i < kVeces; ++i)
            EXPECT_EQ(LeerConfig("Global", clave(h, i), "falta"), clave(h, i));
}

}  // namespace
