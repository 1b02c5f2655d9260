// The brick's byte protocol without any device: framing, reply parsing, the
// toggle twin, lengths, request bytes and the assembler's lowering of blocks.
#include "link/protocol/RcxAssembler.h"
#include "link/protocol/RcxPacket.h"
#include "link/protocol/RcxRequests.h"

#include <gtest/gtest.h>

using namespace rcx;

namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }
std::string hexOf(const QByteArray& b) { return b.toHex(' ').toStdString(); }

}  // namespace

TEST(RcxPacket, FramesWithComplementsAndChecksum)
{
    EXPECT_EQ(hexOf(frame(req::alive())), "55 ff 00 10 ef 10 ef");
    EXPECT_EQ(hexOf(frame(req::poll(0, 3))), "55 ff 00 12 ed 00 ff 03 fc 15 ea");
    // The checksum wraps at 256.
    EXPECT_EQ(hexOf(frame(hex("f0f0"))), "55 ff 00 f0 0f f0 0f e0 1f");
}

TEST(RcxPacket, ReplyFoundBehindEchoAndWithLostHeaderBytes)
{
    const QByteArray reply = frame(hex("ed2a00"));  // a poll's reply: 42
    struct Case {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"plain", reply},
        {"behind the serial tower's echo", frame(req::poll(0, 3)) + reply},
        {"first 55 lost", reply.mid(1)},
        {"55 FF lost", reply.mid(2)},
        {"twin opcode", frame(hex("e52a00"))},
    };
    for (const Case& c : cases) {
        const auto found = unframe(c.bytes, 3, Op::Poll);
        ASSERT_TRUE(found.has_value()) << c.name;
        EXPECT_EQ(reply::shortValue(found->data.mid(1)).value(), 42) << c.name;
        EXPECT_EQ(found->end, c.bytes.size()) << c.name;
    }
}

TEST(RcxPacket, BrokenRepliesAreRefused)
{
    const QByteArray good = frame(hex("ed2a00"));
    QByteArray badSum = good;
    badSum[9] = char(0x01);
    badSum[10] = char(0xFE);
    QByteArray badComplement = good;
    badComplement[6] = char(0x00);
    EXPECT_FALSE(unframe(good.left(good.size() - 1), 3, Op::Poll)) << "cut short";
    EXPECT_FALSE(unframe(badSum, 3, Op::Poll)) << "checksum";
    EXPECT_FALSE(unframe(badComplement, 3, Op::Poll)) << "complement";
    EXPECT_FALSE(unframe(frame(req::poll(0, 3)), 3, Op::Poll)) << "the echo alone is no reply";
    EXPECT_FALSE(unframe(QByteArray(), 1, Op::Alive));
}

TEST(RcxPacket, TwinAndReplyMask)
{
    EXPECT_EQ(twin(0x10), 0x18);
    EXPECT_EQ(twin(0x18), 0x10);
    EXPECT_TRUE(answers(0x10, 0xEF));
    EXPECT_TRUE(answers(0x18, 0xEF));
    EXPECT_TRUE(answers(0x10, 0xE7));
    EXPECT_FALSE(answers(0x10, 0xED));
}

TEST(RcxPacket, Lengths)
{
    struct Case {
        std::uint8_t op;
        int params;
    } cases[] = {{0x10, 0}, {0x16, 0}, {0x17, 1}, {0x12, 2}, {0x14, 4}, {0x25, 5}, {0x45, -1},
                 {0x85, 6}, {0x8D, 6}, {0x95, 7}, {0xF6, 0}, {0xF7, 1}, {0x72, 2}, {0x1A, 2}};
    for (const Case& c : cases)
        EXPECT_EQ(parameterLength(c.op), c.params) << int(c.op);
    EXPECT_EQ(replyLength(req::memoryMap()), 188);
    EXPECT_EQ(replyLength(req::upload(0, 78)), 234);
    EXPECT_EQ(replyLength(hex("f705")), -1);
    EXPECT_EQ(replyLength(req::alive()), 0);

    const QByteArray transfer = req::transfer(1, hex("0102030405"));
    EXPECT_EQ(hexOf(transfer), "45 01 00 05 00 01 02 03 04 05 0f");
    const auto* code = reinterpret_cast<const std::uint8_t*>(transfer.constData());
    EXPECT_EQ(instructionLength(code, int(transfer.size())), transfer.size());
    EXPECT_EQ(instructionLength(code, int(transfer.size()) - 1), 0);
}

TEST(RcxPacket, RequestsReadOutOfAStream)
{
    const QByteArray stream = frame(req::transfer(2, hex("aabb"))) + frame(req::alive());
    const auto first = nextRequest(stream);
    ASSERT_TRUE(first);
    EXPECT_EQ(hexOf(first->data), "45 02 00 02 00 aa bb 65");
    const auto second = nextRequest(stream, first->end);
    ASSERT_TRUE(second);
    EXPECT_EQ(hexOf(second->data), "10");
    EXPECT_FALSE(nextRequest(stream.left(stream.size() - 1), first->end)) << "not whole yet";
}

TEST(RcxRequests, OperationBytes)
{
    EXPECT_EQ(hexOf(req::variable(Op::SetVar, 3, 2, -3)), "14 03 02 fd ff");
    EXPECT_EQ(hexOf(req::outputMode(*motorMask("02"), OutFlag::On)), "21 85");
    EXPECT_EQ(hexOf(req::outputDirection(*motorMask("1"), 0)), "e1 02");
    EXPECT_EQ(hexOf(req::outputPower(*motorMask("0"), 2, 5)), "13 01 02 05");
    EXPECT_EQ(hexOf(req::sensorMode(1, 4, 0)), "42 01 80");
    EXPECT_EQ(hexOf(req::playTone(3000, 40)), "23 b8 0b 28");
    EXPECT_EQ(hexOf(req::beginSub(0, 20)), "35 00 00 00 14 00");
    EXPECT_EQ(hexOf(req::beginFirmware(0x1234)), "75 00 80 34 12 00");
    EXPECT_FALSE(motorMask("3"));
    EXPECT_FALSE(motorMask("0,1"));
}

TEST(RcxRequests, ReplyDecoding)
{
    const auto v = reply::versions(hex("0003000100030009"));
    ASSERT_TRUE(v);
    EXPECT_EQ(v->romMinor, 1);
    EXPECT_EQ(v->firmwareMajor, 3);
    EXPECT_EQ(v->firmwareMinor, 9);
    EXPECT_FALSE(reply::versions(hex("00030001")));

    QByteArray map(188, 0);
    map[180] = char(0x7F);  // word 90, big-endian
    map[181] = char(0x10);
    EXPECT_EQ(reply::memoryMap(map)->at(90), 0x7F10);

    const auto log = reply::upload(hex("ff0300" "05f6ff"), 2);
    ASSERT_TRUE(log);
    EXPECT_EQ(log->at(0).type, 0xFF);
    EXPECT_EQ(log->at(0).value, 3);
    EXPECT_EQ(log->at(1).value, -10);
    EXPECT_FALSE(reply::upload(hex("ff03"), 1));
}

// The lowering of blocks, checked against what the peer compiler makes of
// the same program (repeat, if/else) and at the near/far boundary.
TEST(RcxAssembler, BlocksLowerToTestsJumpsAndCounters)
{
    Assembler a;
    a.Loop(Src::Constant, 3);
    a.add(req::outputMode(1, OutFlag::On));
    a.EndLoop();
    a.If(Src::Variable, 0, 2, Src::Constant, 2);  // var0 = 2
    a.add(req::outputMode(1, OutFlag::Off));
    a.Else();
    a.add(req::outputMode(2, 0));
    a.EndIf();
    EXPECT_EQ(a.fault(), Assembler::Fault::None);
    EXPECT_EQ(hexOf(a.code()), "82 02 03 37 05 21 81 27 85 "
                               "85 82 00 02 00 00 05 21 41 27 03 21 02");
}

TEST(RcxAssembler, WhileInfiniteLoopAndConstantConditions)
{
    Assembler a;
    a.Loop(Src::Constant, 0);
    a.While(Src::Timer, 0, 1, Src::Constant, 50);  // timer 0 < 50
    a.EndWhile();
    a.If(Src::Constant, 1, 0, Src::Constant, 2);  // 1 > 2 never: straight to ELSE
    a.EndIf();
    a.EndLoop();
    // TOP: test(50 <= timer0) -> END; jump TOP; END: the If jumps to its end; jump TOP
    EXPECT_EQ(hexOf(a.code()), "85 02 01 32 00 00 03 27 88 27 01 27 8c");
}

TEST(RcxAssembler, RandomOperandsGoThroughScratchVariables)
{
    Assembler a;
    a.If(Src::Random, 10, 2, Src::Program, 0);
    a.EndIf();
    EXPECT_EQ(hexOf(a.code()), "14 01 04 0a 00 14 00 08 00 00 85 80 00 01 00 00 01");
}

TEST(RcxAssembler, FarFormsWhenTheDistanceNeedsThem)
{
    for (int body : {120, 124, 125, 126, 250, 255, 256, 300}) {
        Assembler a;
        a.While(Src::Variable, 1, 2, Src::Variable, 2);
        for (int i = 0; i < body; ++i)
            a.add(QByteArray(1, char(0x50)));
        a.EndWhile();
        const QByteArray code = a.code();
        // The jump back covers the test, the body and its own opcode.
        const int back = 7 + body + 1;
        const bool farTest = 2 + body + (back > 127 ? 3 : 2) - 2 > 255;  // measured from the offset byte
        const int testSize = farTest ? 8 : 7;
        ASSERT_EQ(std::uint8_t(code[0]), farTest ? 0x95 : 0x85) << body;
        const int jumpAt = testSize + body;
        const int distance = jumpAt + 1;
        if (distance <= 127) {
            EXPECT_EQ(std::uint8_t(code[jumpAt]), 0x27) << body;
            EXPECT_EQ(std::uint8_t(code[jumpAt + 1]), 0x80 | distance) << body;
        } else {
            EXPECT_EQ(std::uint8_t(code[jumpAt]), 0x72) << body;
            EXPECT_EQ((std::uint8_t(code[jumpAt + 1]) & 0x7F) + 128 * std::uint8_t(code[jumpAt + 2]), distance)
                << body;
        }
        // The test lands just past the jump.
        const int offset = farTest ? shortAt(code, 6) : std::uint8_t(code[6]);
        EXPECT_EQ(6 + offset, code.size()) << body;
    }
}

TEST(RcxAssembler, FaultsOfBlocks)
{
    struct Case {
        const char* name;
        std::function<void(Assembler&)> build;
        Assembler::Fault fault;
    } cases[] = {
        {"EndIf alone", [](Assembler& a) { a.EndIf(); }, Assembler::Fault::Unbalanced},
        {"Else in a loop", [](Assembler& a) { a.Loop(2, 2); a.Else(); a.EndLoop(); }, Assembler::Fault::Unbalanced},
        {"open while", [](Assembler& a) { a.While(0, 0, 0, 0, 1); }, Assembler::Fault::Unbalanced},
        {"crossed", [](Assembler& a) { a.Loop(2, 2); a.If(0, 0, 0, 0, 1); a.EndLoop(); a.EndIf(); },
         Assembler::Fault::Unbalanced},
        {"five counters",
         [](Assembler& a) {
             for (int i = 0; i < 5; ++i)
                 a.Loop(2, 2);
             for (int i = 0; i < 5; ++i)
                 a.EndLoop();
         },
         Assembler::Fault::TooDeep},
        {"four counters and endless loops",
         [](Assembler& a) {
             for (int i = 0; i < 6; ++i)
                 a.Loop(2, i < 4 ? 2 : 0);
             for (int i = 0; i < 6; ++i)
                 a.EndLoop();
         },
         Assembler::Fault::None},
    };
    for (const Case& c : cases) {
        Assembler a;
        c.build(a);
        EXPECT_EQ(a.fault(), c.fault) << c.name;
    }
}
