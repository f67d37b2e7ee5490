// Frames byte for byte, and the splitting rules of register runs, against a scripted line that
// records what was sent and answers from a queue. Retries and faults run end to end in
// enlace_test and cliente_test.
#include <gtest/gtest.h>

#include "link/Registros.h"
#include "link/Tramas.h"
#include "tests/support/LineaGuion.h"

namespace {

QByteArray H(const char* hex) {
    return QByteArray::fromHex(hex);
}

QByteArray ConCrc(const QByteArray& cuerpo) {
    return cuerpo + crc16(cuerpo);
}

TEST(Tramas, RequestFramesAndTheirExchange) {
    EXPECT_EQ(crc16("123456789"), H("374B"));
    // The frames below carry their CRC, so they check it too.
    EXPECT_EQ(TramaLectura(1, 0, 8), H("010300000008440C"));
    EXPECT_EQ(TramaEscritura(0, 13541, H("FF00")), H("000634E500FFD79C"));
    // Out of range: nothing to send.
    EXPECT_TRUE(TramaLectura(0, 65536, 1).isEmpty());
    EXPECT_TRUE(TramaLectura(256, 0, 1).isEmpty());
    EXPECT_TRUE(TramaEscritura(0, 0, "A").isEmpty());

    // Registers come low byte first; counts beyond a frame are refused without sending anything.
    LineaGuion l;
    l.respuestas = {ConCrc(H("0103021234")), "eco"};
    EXPECT_EQ(RxD(l, 1, 0, 1), H("3412"));
    EXPECT_EQ(l.esperas.at(0), 7);
    EXPECT_EQ(TxD(l, 0, 6524, "AB"), QByteArray("AB"));
    EXPECT_EQ(l.enviadas.at(1), ConCrc(H("0006197C4241")));
    EXPECT_TRUE(RxD(l, 0, 0, 9).isEmpty());
    EXPECT_TRUE(RxD(l, 0, 0, 0).isEmpty());
    EXPECT_EQ(l.enviadas.size(), 2);

    // The setup command answers exactly 90 bytes.
    const QByteArray setup(90, 'x');
    l.respuestas = {setup, setup.left(89), setup + 'x'};
    EXPECT_EQ(TRxC(l, "M"), setup);
    EXPECT_EQ(l.enviadas.last(), QByteArray(":M\r\n"));
    EXPECT_EQ(l.esperas.last(), 90);
    EXPECT_TRUE(TRxC(l, "M").isEmpty());
    EXPECT_TRUE(TRxC(l, "M").isEmpty());
}

// Answers the simulator does not fake: each is judged, and only a good one is data.
class LineaJuzgada : public LineaGuion {
  public:
    LineaJuzgada() {
        fijarObservador([this](const JuicioRespuesta& j) { veredictos.append(j.veredicto); });
    }
    QList<Veredicto> veredictos;
};

TEST(Respuestas, BadAnswersAreRefusedAndJudged) {
    const struct {
        const char* que;
        int id;
        bool escritura;
        QByteArray respuesta;
        Veredicto veredicto;
    } casos[] = {
        {"read, exception", 1, false, ConCrc(H("018304")), Veredicto::SinRespuesta},
        {"read, id 0 takes any slave", 0, false, ConCrc(H("0703021234")), Veredicto::Buena},
        {"write, long", 1, true, ConCrc(H("0106197C4241")) + 'x', Veredicto::Malformada},
        {"write, other register", 1, true, ConCrc(H("0106197D4241")), Veredicto::Malformada},
        {"write, id 0 takes any slave", 0, true, ConCrc(H("0706197C4241")), Veredicto::Buena},
    };
    for (const auto& c : casos) {
        LineaJuzgada l;
        l.respuestas = {c.respuesta};
        const QByteArray dato = c.escritura ? TxD(l, c.id, 6524, "AB") : RxD(l, c.id, 0, 1);
        EXPECT_EQ(dato.isEmpty(), c.veredicto != Veredicto::Buena) << c.que;
        ASSERT_EQ(l.veredictos.size(), 1) << c.que;
        EXPECT_EQ(l.veredictos.at(0), c.veredicto) << c.que;
        EXPECT_EQ(l.ultimoFallo().isEmpty(), c.veredicto == Veredicto::Buena) << c.que;
    }
}

TEST(Leer, BlocksOfEightWithProgressAndNeverPastTheLastRegister) {
    LineaGuion l;
    for (int i = 0; i < 813; ++i) l.respuestas.append("*");
    QList<int> progreso;
    ControlRegistros c;
    c.progreso = [&](int p) { progreso.append(p); };
    const QByteArray d = Leer(l, 0, 7040, 6500, c);
    ASSERT_EQ(d.size(), 13000);
    EXPECT_EQ(d.mid(16, 2), H("881B"));  // register 7048 holds 7048, low byte first
    ASSERT_EQ(l.enviadas.size(), 813);
    EXPECT_EQ(l.enviadas.at(1), TramaLectura(0, 7048, 8));
    EXPECT_EQ(l.enviadas.last(), TramaLectura(0, 7040 + 812 * 8, 4));
    EXPECT_EQ(progreso.last(), 100);
    EXPECT_TRUE(std::is_sorted(progreso.begin(), progreso.end()));

    // A run that passes 65535 gives the blocks before it, and never sends a wrapped address.
    l.enviadas.clear();
    l.respuestas = {"*", "*", "*"};
    EXPECT_EQ(Leer(l, 0, 65520, 24).size(), 32);
    EXPECT_EQ(l.enviadas.size(), 2);
}

TEST(Escribir, OneRegisterPerFrameWithPaddingAndNothingOnAFailure) {
    LineaGuion l;
    l.respuestas = {"eco", "eco"};
    EXPECT_EQ(Escribir(l, 0, 6524, "ABC"), QByteArray("ABC\0", 4));
    ASSERT_EQ(l.enviadas.size(), 2);
    EXPECT_EQ(l.enviadas.at(1), ConCrc(H("0006197D0043")));

    // A register failing three times: "" and the run stops there.
    l.enviadas.clear();
    l.respuestas = {"eco", {}, {}, {}, "eco"};
    EXPECT_TRUE(Escribir(l, 0, 10, "AABBCC").isEmpty());
    EXPECT_EQ(l.enviadas.size(), 4);

    // Cancel: "" even though a register was written; no try once it is raised.
    l.enviadas.clear();
    l.respuestas = {"eco", "eco", "eco"};
    std::atomic<bool> cancelado{false};
    ControlRegistros c;
    c.cancelado = &cancelado;
    c.progreso = [&](int) { cancelado = true; };
    EXPECT_TRUE(Escribir(l, 0, 10, "AABBCC", c).isEmpty());
    EXPECT_EQ(l.enviadas.size(), 1);

    l.enviadas.clear();
    l.respuestas = {"eco", "eco"};
    EXPECT_TRUE(Escribir(l, 0, 65535, "AABB").isEmpty());
    EXPECT_EQ(l.enviadas.size(), 1);
}

}  // namespace
