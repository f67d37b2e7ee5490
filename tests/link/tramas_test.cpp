// Frames byte for byte, and the splitting and retry rules of register runs, against a scripted
// line that records what was sent and answers from a queue.
#include <gtest/gtest.h>

#include <QList>

#include "base/Globales.h"
#include "link/Registros.h"
#include "link/Tramas.h"
#include "link/Transporte.h"
#include "tests/support/LineaGuion.h"

namespace {

QByteArray H(const char* hex) {
    return QByteArray::fromHex(hex);
}

QByteArray ConCrc(const QByteArray& cuerpo) {
    return cuerpo + crc16(cuerpo);
}

TEST(Tramas, CrcAndRequestFrames) {
    EXPECT_EQ(crc16("123456789"), H("374B"));
    EXPECT_EQ(crc16(QByteArray()), H("FFFF"));
    // The frames below carry their CRC, so they check it too.
    EXPECT_EQ(TramaLectura(1, 0, 8), H("010300000008440C"));
    EXPECT_EQ(TramaLectura(0, 14396, 1), H("0003383C000148B7"));
    EXPECT_EQ(TramaEscritura(0, 13541, H("FF00")), H("000634E500FFD79C"));
    EXPECT_EQ(TramaEscritura(0, 6, QByteArray("G\0", 2)), H("0006000600472828"));
    // Out of range: nothing to send.
    EXPECT_TRUE(TramaLectura(0, 65536, 1).isEmpty());
    EXPECT_TRUE(TramaLectura(256, 0, 1).isEmpty());
    EXPECT_TRUE(TramaLectura(0, -1, 1).isEmpty());
    EXPECT_TRUE(TramaEscritura(0, 0, "A").isEmpty());
}

TEST(RxDTxD, SwapBytesAndSendNothingForBadCounts) {
    LineaGuion l;
    l.respuestas = {ConCrc(H("0103021234"))};
    EXPECT_EQ(RxD(l, 1, 0, 1), H("3412"));
    EXPECT_EQ(l.esperas.at(0), 7);
    l.respuestas = {"eco"};
    EXPECT_EQ(TxD(l, 0, 6524, "AB"), QByteArray("AB"));
    EXPECT_EQ(l.enviadas.at(1), ConCrc(H("0006197C4241")));

    // Counts beyond a frame are refused without sending anything.
    l.enviadas.clear();
    EXPECT_TRUE(RxD(l, 0, 0, 9).isEmpty());
    EXPECT_TRUE(RxD(l, 0, 0, 0).isEmpty());
    EXPECT_TRUE(l.enviadas.isEmpty());
}

// Answers that are cut, damaged or do not answer the request are never data, and the line is
// told so (it must not trust what arrives next).
class LineaJuzgada : public LineaGuion {
  public:
    LineaJuzgada() {
        fijarObservador([this](const JuicioRespuesta& j) { veredictos.append(j.veredicto); });
    }
    QList<Veredicto> veredictos;
};

TEST(Respuestas, BadAnswersAreRefusedAndJudged) {
    struct Caso {
        const char* que;
        int id;
        bool escritura;
        QByteArray respuesta;
        Veredicto veredicto;
    };
    const Caso casos[] = {
        {"read, other slave", 1, false, ConCrc(H("0203021234")), Veredicto::Malformada},
        {"read, other function", 1, false, ConCrc(H("0104021234")), Veredicto::Malformada},
        {"read, byte count", 1, false, ConCrc(H("0103041234")), Veredicto::Malformada},
        {"read, bad CRC", 1, false, H("01030212340000"), Veredicto::CrcMalo},
        {"read, short", 1, false, ConCrc(H("010302")), Veredicto::SinRespuesta},
        {"read, exception", 1, false, ConCrc(H("018304")), Veredicto::SinRespuesta},
        {"read, long", 1, false, ConCrc(H("010302123400")), Veredicto::Malformada},
        {"read, nothing", 1, false, QByteArray(), Veredicto::SinRespuesta},
        {"read, id 0 takes any slave", 0, false, ConCrc(H("0703021234")), Veredicto::Buena},
        {"write, short", 1, true, ConCrc(H("0106197C4241")).left(7), Veredicto::SinRespuesta},
        {"write, bad CRC", 1, true, H("0106197C42410000"), Veredicto::CrcMalo},
        {"write, long", 1, true, ConCrc(H("0106197C4241")) + 'x', Veredicto::Malformada},
        {"write, other slave", 1, true, ConCrc(H("0206197C4241")), Veredicto::Malformada},
        {"write, other function", 1, true, ConCrc(H("0103197C4241")), Veredicto::Malformada},
        {"write, other register", 1, true, ConCrc(H("0106197D4241")), Veredicto::Malformada},
        {"write, other value", 1, true, ConCrc(H("0106197C4242")), Veredicto::Malformada},
        {"write, id 0 takes any slave", 0, true, ConCrc(H("0706197C4241")), Veredicto::Buena},
    };
    for (const Caso& c : casos) {
        LineaJuzgada l;
        l.respuestas = {c.respuesta};
        const QByteArray dato = c.escritura ? TxD(l, c.id, 6524, "AB") : RxD(l, c.id, 0, 1);
        EXPECT_EQ(dato.isEmpty(), c.veredicto != Veredicto::Buena) << c.que;
        ASSERT_EQ(l.veredictos.size(), 1) << c.que;
        EXPECT_EQ(l.veredictos.at(0), c.veredicto) << c.que;
        EXPECT_EQ(l.ultimoFallo().isEmpty(), c.veredicto == Veredicto::Buena) << c.que;
    }
}

TEST(TRxC, ExactlyNinetyBytes) {
    LineaGuion l;
    const QByteArray setup(90, 'x');
    l.respuestas = {setup, setup.left(89), setup + 'x'};
    EXPECT_EQ(TRxC(l, "M"), setup);
    EXPECT_EQ(l.enviadas.at(0), QByteArray(":M\r\n"));
    EXPECT_EQ(l.esperas.at(0), 90);
    EXPECT_TRUE(TRxC(l, "M").isEmpty());
    EXPECT_TRUE(TRxC(l, "M").isEmpty());
}

TEST(Leer, SplitsIntoBlocksOfEight) {
    LineaGuion l;
    l.respuestas = {"*"};
    EXPECT_EQ(Leer(l, 0, 0, 8).size(), 16);
    EXPECT_EQ(l.enviadas.size(), 1);

    l.enviadas.clear();
    l.respuestas = {"*", "*"};
    const QByteArray d = Leer(l, 0, 0, 9);
    ASSERT_EQ(l.enviadas.size(), 2);
    EXPECT_EQ(l.enviadas.at(0), TramaLectura(0, 0, 8));
    EXPECT_EQ(l.enviadas.at(1), TramaLectura(0, 8, 1));
    EXPECT_EQ(d.mid(16), H("0800"));  // register 8 holds 8, low byte first

    l.enviadas.clear();
    l.respuestas.clear();
    for (int i = 0; i < 813; ++i) l.respuestas.append("*");
    QList<int> progreso;
    ControlRegistros c;
    c.progreso = [&](int p) { progreso.append(p); };
    EXPECT_EQ(Leer(l, 0, 7040, 6500, c).size(), 13000);
    ASSERT_EQ(l.enviadas.size(), 813);
    EXPECT_EQ(l.enviadas.last(), TramaLectura(0, 7040 + 812 * 8, 4));
    EXPECT_EQ(progreso.size(), 813);
    EXPECT_EQ(progreso.last(), 100);
    EXPECT_TRUE(std::is_sorted(progreso.begin(), progreso.end()));
}

TEST(Leer, RetriesAndTheRetryCounter) {
    LineaGuion l;
    // Third block fails three times: two blocks come back, Reintentos grows by 2.
    l.respuestas = {"*", "*", {}, {}, {}, "*"};
    Reintentos = 0;
    const QByteArray d = Leer(l, 0, 100, 24);
    EXPECT_EQ(d.size(), 32);
    EXPECT_EQ(Reintentos.load(), 2);
    EXPECT_EQ(l.enviadas.size(), 5);
    EXPECT_EQ(l.enviadas.at(4), TramaLectura(0, 116, 8));

    // A block that works at its second attempt adds 1, to the run's own count too.
    l.respuestas = {{}, "*"};
    Reintentos = 5;
    int propios = 0;
    ControlRegistros c;
    c.reintentos = &propios;
    EXPECT_EQ(Leer(l, 0, 0, 3, c).size(), 6);
    EXPECT_EQ(Reintentos.load(), 6);
    EXPECT_EQ(propios, 1);
}

TEST(Leer, CancelBetweenBlocksAndRunsPastTheLastRegister) {
    LineaGuion l;
    for (int i = 0; i < 20; ++i) l.respuestas.append("*");
    std::atomic<bool> cancelado{false};
    ControlRegistros c;
    c.cancelado = &cancelado;
    c.progreso = [&](int p) {
        if (p >= 15) cancelado = true;  // pressed during the third block
    };
    EXPECT_EQ(Leer(l, 0, 0, 160, c).size(), 48);
    EXPECT_EQ(l.enviadas.size(), 3);

    // A run that passes 65535 gives the blocks before it, and never sends a wrapped address.
    l.enviadas.clear();
    l.respuestas = {"*", "*", "*"};
    EXPECT_EQ(Leer(l, 0, 65520, 24).size(), 32);
    EXPECT_EQ(l.enviadas.size(), 2);
    EXPECT_TRUE(Leer(l, 0, 0, 0).isEmpty());
}

TEST(Escribir, OneRegisterPerFrameWithPadding) {
    LineaGuion l;
    l.respuestas = {"eco", "eco"};
    Reintentos = 0;
    EXPECT_EQ(Escribir(l, 0, 6524, "ABC"), QByteArray("ABC\0", 4));
    ASSERT_EQ(l.enviadas.size(), 2);
    EXPECT_EQ(l.enviadas.at(0), ConCrc(H("0006197C4241")));
    EXPECT_EQ(l.enviadas.at(1), ConCrc(H("0006197D0043")));
    EXPECT_EQ(Reintentos.load(), 0);

    EXPECT_TRUE(Escribir(l, 0, 0, QByteArray()).isEmpty());

    // A register failing three times: "" and the run stops there.
    l.enviadas.clear();
    l.respuestas = {"eco", {}, {}, {}, "eco"};
    EXPECT_TRUE(Escribir(l, 0, 10, "AABBCC").isEmpty());
    EXPECT_EQ(l.enviadas.size(), 4);
    EXPECT_EQ(Reintentos.load(), 2);

    // Cancel: "" even though registers were written; no try once it is raised.
    l.enviadas.clear();
    l.respuestas = {"eco", "eco", "eco"};
    std::atomic<bool> cancelado{false};
    ControlRegistros c;
    c.cancelado = &cancelado;
    c.progreso = [&](int) { cancelado = true; };
    Reintentos = 0;
    EXPECT_TRUE(Escribir(l, 0, 10, "AABBCC", c).isEmpty());
    EXPECT_EQ(l.enviadas.size(), 1);
    EXPECT_EQ(Reintentos.load(), 0);

    l.enviadas.clear();
    l.respuestas = {"eco", "eco"};
    EXPECT_TRUE(Escribir(l, 0, 65535, "AABB").isEmpty());
    EXPECT_EQ(l.enviadas.size(), 1);
}

}  // namespace
