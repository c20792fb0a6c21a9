// The drive's transactions over an in-memory port: attempts, acceptance rules, result codes and
// the time each costs on the port's clock. Reply vectors were worked out by hand (command byte
// sums, Modbus LRC) and with an independent CRC-16 routine.

#include "link/ModbusLink.h"

#include "base/Messenger.h"
#include "link/Frames.h"
#include "link/MemorySerialBackend.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <memory>
#include <tuple>
#include <vector>

namespace {

// What the drive answers to one request: bytes, how long after the request, or nothing.
struct Answer {
    QByteArray bytes;
    int64_t delayMs = 0;
};

// Hex digits with spaces between bytes.
QByteArray Hex(const char* digits) {
    return QByteArray::fromHex(digits);
}

class LinkTest : public ::testing::Test {
protected:
    LinkTest() {
        port->SetResponder([this](QByteArrayView) {
            if (!script.empty()) {
                const Answer answer = script.front();
                script.pop_front();
                if (!answer.bytes.isEmpty()) {
                    port->Deliver(answer.bytes, answer.delayMs);
                }
            }
            return QByteArray();
        });
        EXPECT_EQ(link.Open(QStringLiteral("COM1")), 0u);
    }

    void Script(const std::vector<Answer>& answers) {
        script.assign(answers.begin(), answers.end());
    }

    // Starts a case on a quiet line at a fresh moment.
    void Reset() {
        port->Advance(10000);
        uint8_t drain[64];
        int n = 0;
        port->TakeInput(drain, sizeof drain, &n);
        script.clear();
        writesBefore = static_cast<int>(port->Writes().size());
        start = port->Now();
    }

    int Writes() const { return static_cast<int>(port->Writes().size()) - writesBefore; }
    int64_t Elapsed() const { return port->Now() - start; }

    RecordingMessenger messenger;
    MemorySerialBackend* port = new MemorySerialBackend;
    ModbusLink link{std::unique_ptr<SerialBackend>(port), &messenger};
    std::deque<Answer> script;
    int writesBefore = 0;
    int64_t start = 0;
};

TEST_F(LinkTest, CommandExchanges) {
    uint8_t read[kReadCommandLength];
    BuildReadCommand(read, '6', 0xCB);
    uint8_t write[kWriteCommandLength];
    BuildWriteCommand(write, '5', 0x70, 2);
    uint8_t writeLong[kWriteLongCommandLength];
    std::memcpy(writeLong, "M552FFF85EE0", 12); // a 32-bit write: -500000 into 5/52
    AppendCommandChecksum(writeLong, kWriteLongCommandLength);

    struct Case {
        const char* name;
        const uint8_t* request;
        int requestLength;
        int replyLength;
        std::vector<Answer> answers;
        ExchangeResult result;
        int writes;
        int64_t elapsed;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"write accepted",                          write,     10, 1, {{"%"}},                   ExchangeResult::Accepted, 1, 0},
        {"long write accepted",                     writeLong, 14, 1, {{"%"}},                   ExchangeResult::Accepted, 1, 0},
        {"write refused three times",               write,     10, 1, {{"!"}, {"!"}, {"!"}},     ExchangeResult::NoReply,   3, 0},
        {"write refused, then accepted",            write,     10, 1, {{"!"}, {"%"}},            ExchangeResult::Accepted, 2, 0},
        {"write unanswered",                        write,     10, 1, {},                        ExchangeResult::NoReply,   3, 1200},
        {"read reply good",                         read,      6,  7, {{"%0064EF"}},             ExchangeResult::Good, 1, 0},
        {"read reply 30 ms late",                   read,      6,  7, {{"%0064EF", 30}},         ExchangeResult::Good, 1, 30},
        {"last checksum digit wrong three times",   read,      6,  7, {{"%0064EE"}, {"%0064EE"}, {"%0064EE"}},
                                                                                                 ExchangeResult::NoReply,   3, 0},
        {"first checksum digit wrong, then good",   read,      6,  7, {{"%0064FF"}, {"%0064EF"}}, ExchangeResult::Good, 2, 0},
        {"read refused, then good",                 read,      6,  7, {{"!"}, {"%0064EF"}},      ExchangeResult::Good, 2, 50},
        {"read answered by a bare '%'",             read,      6,  7, {{"%"}, {"%"}, {"%"}},     ExchangeResult::NoReply,   3, 150},
        {"no answer at all",                        read,      6,  7, {},                        ExchangeResult::NoReply,   3, 1200},
    };
    // clang-format on
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        Reset();
        Script(test.answers);
        uint8_t reply[16] = {};
        EXPECT_EQ(link.ExchangeCommand(test.request, test.requestLength, reply, test.replyLength),
                  test.result);
        EXPECT_EQ(Writes(), test.writes);
        EXPECT_EQ(Elapsed(), test.elapsed);
        for (int i = writesBefore; i < port->Writes().size(); ++i) {
            EXPECT_EQ(port->Writes()[i],
                      QByteArray(reinterpret_cast<const char*>(test.request), test.requestLength));
        }
        if (test.result == ExchangeResult::Good) {
            int32_t word = 0;
            ASSERT_TRUE(DecodeWord(reply + 1, &word));
            EXPECT_EQ(word, 100);
        }
    }
    EXPECT_TRUE(messenger.messages.isEmpty());
}

// A good reply left in the buffer by an earlier exchange is never taken: neither to complete a
// reply that is only '%' nor after a failed write.
TEST_F(LinkTest, AnEarlierReplyInTheBufferIsNeverTaken) {
    uint8_t read[kReadCommandLength];
    BuildReadCommand(read, '5', 0x10);
    uint8_t reply[kReadReplyLength];
    std::memcpy(reply, "%0064EF", kReadReplyLength);
    Reset();
    Script({{QByteArray("%")}, {QByteArray("%")}, {QByteArray("%")}});
    EXPECT_EQ(link.ExchangeCommand(read, 6, reply, 7), ExchangeResult::NoReply);
    EXPECT_EQ(Writes(), 3);

    port->writeError = EIO;
    std::memcpy(reply, "%0064EF", kReadReplyLength);
    Reset();
    EXPECT_EQ(link.ExchangeCommand(read, 6, reply, 7), ExchangeResult::NoReply);
    EXPECT_EQ(Elapsed(), 0) << "a read would have cost 400 ms on the clock";
    EXPECT_EQ(reply[0], 0);
}

TEST_F(LinkTest, AsciiExchanges) {
    uint8_t request[kAsciiRequestLength];
    const int replyLength = BuildReadRegisters(request, 1, 0, 1, true);
    ASSERT_EQ(replyLength, 15);

    struct Case {
        const char* name;
        int attempts;
        std::vector<Answer> answers;
        ExchangeResult result;
        int writes;
        int64_t elapsed; // the 2 ms pause before each write included
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"good reply",                              1, {{":010302006496\r\n"}}, ExchangeResult::Good,      1, 2},
        {"line end not checked",                    1, {{":010302006496??"}},     ExchangeResult::Good,      1, 2},
        {"exception reply ends by the gap",         1, {{":0183027A\r\n"}},     ExchangeResult::Exception, 1, 52},
        {"function digits 8 and 3 with a bad LRC",  1, {{":0183020000\r\n"}},   ExchangeResult::Corrupt,   1, 52},
        {"lower-case hex digit",                    1, {{":010302006a90\r\n"}}, ExchangeResult::Corrupt,   1, 2},
        {"character that is no hex digit",          1, {{":0103020G6496\r\n"}}, ExchangeResult::Corrupt,   1, 2},
        {"wrong LRC",                               1, {{":010302006497\r\n"}}, ExchangeResult::Corrupt,   1, 2},
        {"fewer than five bytes",                   1, {{":01\r"}},              ExchangeResult::Corrupt,   1, 52},
        {"corrupt reply is not retried",            2, {{":010302006497\r\n"}, {":010302006496\r\n"}},
                                                                                 ExchangeResult::Corrupt,   1, 2},
        {"reply without ':' is retried",            2, {{"010302006496\r\n"}, {":010302006496\r\n"}},
                                                                                 ExchangeResult::Good,      2, 2 + 50 + 2},
        {"no answer, one attempt",                  1, {},                        ExchangeResult::NoReply,   1, 402},
        {"no answer, two attempts",                 2, {},                        ExchangeResult::NoReply,   2, 804},
    };
    // clang-format on
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        Reset();
        Script(test.answers);
        uint8_t reply[32] = {};
        EXPECT_EQ(
            link.ExchangeAscii(request, kAsciiRequestLength, reply, replyLength, test.attempts),
            test.result);
        EXPECT_EQ(Writes(), test.writes);
        EXPECT_EQ(Elapsed(), test.elapsed);
        if (test.writes > 0) {
            // The line is quiet for 2 ms before the request goes out.
            EXPECT_EQ(port->WriteTimes()[writesBefore] - start, 2);
        }
    }
}

TEST_F(LinkTest, AsciiIgnoresALeftoverColonWhenNothingArrives) {
    uint8_t request[kAsciiRequestLength];
    BuildReadRegisters(request, 1, 0, 1, true);
    uint8_t reply[16];
    std::memcpy(reply, ":010302006496\r\n", 15);
    Reset();
    EXPECT_EQ(link.ExchangeAscii(request, sizeof request, reply, 15, 1), ExchangeResult::NoReply);
}

TEST_F(LinkTest, RtuExchanges) {
    uint8_t request[kRtuRequestLength];
    const int replyLength = BuildReadRegisters(request, 1, 0, 1, false);
    ASSERT_EQ(replyLength, 7);

    struct Case {
        const char* name;
        std::vector<Answer> answers;
        uint32_t timeout;
        ExchangeResult result;
        int lastReplyLength;
        int64_t elapsed;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"good reply",                                 {{Hex("01 03 02 00 64 B9 AF")}},     400, ExchangeResult::Good,      7, 0},
        {"exception reply of 5 bytes ends by the gap", {{Hex("01 83 02 C0 F1")}},           400, ExchangeResult::Exception, 5, 4},
        {"CRC high byte wrong",                        {{Hex("01 03 02 00 64 B9 AE")}},     400, ExchangeResult::Corrupt,   7, 0},
        {"CRC bytes swapped",                          {{Hex("01 03 02 00 64 AF B9")}},     400, ExchangeResult::Corrupt,   7, 0},
        {"a single byte",                              {{Hex("01")}},                       400, ExchangeResult::NoReply,   1, 50},
        {"no answer",                                  {},                                  400, ExchangeResult::NoReply,   0, 400},
        {"answer later than the time-out",             {{Hex("01 83 02 C0 F1"), 40}},       30,  ExchangeResult::NoReply,   0, 30},
    };
    // clang-format on
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        Reset();
        Script(test.answers);
        uint8_t reply[16] = {};
        EXPECT_EQ(link.ExchangeRtu(request, kRtuRequestLength, reply, replyLength, test.timeout),
                  test.result);
        EXPECT_TRUE(link.RequestSent());
        EXPECT_EQ(link.LastReplyLength(), test.lastReplyLength);
        EXPECT_EQ(Writes(), 1);
        EXPECT_EQ(Elapsed(), test.elapsed);
    }
}

TEST_F(LinkTest, RtuClearsItsStateAndStopsOnAFailedWrite) {
    uint8_t request[kRtuRequestLength];
    BuildReadRegisters(request, 1, 0, 1, false);
    uint8_t reply[8] = {};
    Reset();
    Script({{Hex("01 03 02 00 64 B9 AF")}});
    ASSERT_EQ(link.ExchangeRtu(request, 8, reply, 7, 400), ExchangeResult::Good);
    ASSERT_EQ(link.LastReplyLength(), 7);

    port->writeError = EIO;
    Reset();
    EXPECT_EQ(link.ExchangeRtu(request, 8, reply, 7, 400), ExchangeResult::NoReply);
    EXPECT_FALSE(link.RequestSent());
    EXPECT_EQ(link.LastReplyLength(), 0);
    EXPECT_EQ(Elapsed(), 0);
}

// The copy an echoing line hands back, then the reply.
QByteArray Echoed(const uint8_t* request, int length, const QByteArray& reply) {
    return QByteArray(reinterpret_cast<const char*>(request), length) + reply;
}

TEST_F(LinkTest, EchoOnTakesTheCopyOffTheLineAndChecksIt) {
    link.SetEcho(EchoMode::On);
    uint8_t read[kReadCommandLength];
    BuildReadCommand(read, '6', 0xCB);
    uint8_t ascii[kAsciiRequestLength];
    const int asciiReplyLength = BuildReadRegisters(ascii, 1, 0x0100, 1, true);
    uint8_t rtu[kRtuRequestLength];
    BuildReadRegisters(rtu, 1, 0, 1, false);
    uint8_t rtuWrite[kRtuRequestLength];
    BuildWriteRegister(rtuWrite, 1, 0x0105, 100, false);
    const QByteArray rtuReply = Hex("01 03 02 00 64 B9 AF");
    uint8_t reply[32] = {};

    Reset();
    QByteArray damaged = Echoed(read, 6, "%0064EF");
    damaged[3] = 'X';
    Script({{damaged}, {Echoed(read, 6, "%0064EF")}});
    EXPECT_EQ(link.ExchangeCommand(read, 6, reply, 7), ExchangeResult::Good);
    EXPECT_EQ(Writes(), 2) << "a damaged copy makes the next attempt";
    Reset();
    Script({{Echoed(ascii, kAsciiRequestLength, ":010302006496\r\n")}});
    EXPECT_EQ(link.ExchangeAscii(ascii, kAsciiRequestLength, reply, asciiReplyLength, 1),
              ExchangeResult::Good);
    // A write's reply is its request again: the second copy is the reply.
    Reset();
    Script({{Echoed(rtuWrite, 8, Echoed(rtuWrite, 8, {}))}});
    EXPECT_EQ(link.ExchangeRtu(rtuWrite, 8, reply, 8, 400), ExchangeResult::Good);
    EXPECT_EQ(port->InputAvailable(), 0);
    // Bytes left over from an earlier exchange are no part of the copy.
    Reset();
    port->Deliver(Hex("01 03 02 00 63"));
    port->Advance(1);
    Script({{Echoed(rtu, 8, rtuReply)}});
    EXPECT_EQ(link.ExchangeRtu(rtu, 8, reply, 7, 400), ExchangeResult::Good);
    QByteArray rtuDamaged = Echoed(rtu, 8, rtuReply);
    rtuDamaged[2] = '\x7F';
    Reset();
    Script({{rtuDamaged}});
    EXPECT_EQ(link.ExchangeRtu(rtu, 8, reply, 7, 400), ExchangeResult::Corrupt);
    Reset();
    Script({{Echoed(rtu, 4, {})}}); // half a copy, then silence
    EXPECT_EQ(link.ExchangeRtu(rtu, 8, reply, 7, 400), ExchangeResult::NoReply);
}

TEST_F(LinkTest, AutomaticEchoIsDecidedByAReadAndNeverByAWrite) {
    uint8_t read[kReadCommandLength];
    BuildReadCommand(read, '6', 0xCB);
    uint8_t rtuWrite[kRtuRequestLength];
    BuildWriteRegister(rtuWrite, 1, 0x0105, 100, false);
    uint8_t reply[32] = {};
    link.SetEcho(EchoMode::Automatic);
    Reset();
    Script({{Echoed(rtuWrite, 8, {})}});
    EXPECT_EQ(link.ExchangeRtu(rtuWrite, 8, reply, 8, 400), ExchangeResult::Good);
    EXPECT_FALSE(link.EchoDecided()) << "a write's reply equals its request";
    // The probe's copy came back, but its reply was damaged: nothing is decided yet.
    Reset();
    Script({{Echoed(read, 6, "%0064EE")}, {Echoed(read, 6, "%0064EE")}, {Echoed(read, 6, "%")}});
    EXPECT_EQ(link.ExchangeCommand(read, 6, reply, 7), ExchangeResult::NoReply);
    EXPECT_FALSE(link.EchoDecided());
    Reset();
    Script({{Echoed(read, 6, "%0064EF")}});
    EXPECT_EQ(link.ExchangeCommand(read, 6, reply, 7), ExchangeResult::Good);
    EXPECT_TRUE(link.ExpectsEcho());
    // The next connect asks again; a refusal is never a copy and ends by the read's gap.
    link.SetEcho(EchoMode::Automatic);
    Reset();
    Script({{"!"}, {"%0064EF"}});
    EXPECT_EQ(link.ExchangeCommand(read, 6, reply, 7), ExchangeResult::Good);
    EXPECT_TRUE(link.EchoDecided());
    EXPECT_FALSE(link.ExpectsEcho());
    EXPECT_EQ(Elapsed(), 50);
}

TEST_F(LinkTest, RtuRequestsKeepThreeAndAHalfCharactersOfSilence) {
    uint8_t rtu[kRtuRequestLength];
    BuildReadRegisters(rtu, 1, 0, 1, false);
    uint8_t read[kReadCommandLength];
    BuildReadCommand(read, '6', 0xCB);
    uint8_t reply[16] = {};
    // 11 bits a character at 9600 and 19200 bit/s; fixed above. Gaps on the port's ms clock.
    for (const auto& [baud, silenceUs, gapMs] :
         {std::tuple{9600u, 4011, 5}, {19200u, 2006, 3}, {38400u, 1750, 2}}) {
        link.SetLineTiming(baud, 8, 2, 0);
        EXPECT_EQ(link.RtuSilenceUs(), silenceUs);
        Reset();
        Script({{Hex("01 03 02 00 64 B9 AF")}, {"%0064EF"}, {Hex("01 03 02 00 64 B9 AF")}});
        ASSERT_EQ(link.ExchangeRtu(rtu, 8, reply, 7, 400), ExchangeResult::Good);
        // A command exchange needs no silence but counts as the line's activity.
        ASSERT_EQ(link.ExchangeCommand(read, 6, reply, 7), ExchangeResult::Good);
        ASSERT_EQ(link.ExchangeRtu(rtu, 8, reply, 7, 400), ExchangeResult::Good);
        const QList<int64_t>& at = port->WriteTimes();
        EXPECT_EQ(at[at.size() - 2] - at[at.size() - 3], 0) << baud;
        EXPECT_EQ(at[at.size() - 1] - at[at.size() - 2], gapMs) << baud;
    }
}

} // namespace
