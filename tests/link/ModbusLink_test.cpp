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
        port->setResponder([this](QByteArrayView) {
            if (!script.empty()) {
                const Answer answer = script.front();
                script.pop_front();
                if (!answer.bytes.isEmpty()) {
                    port->deliver(answer.bytes, answer.delayMs);
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
        port->advance(10000);
        uint8_t drain[64];
        int n = 0;
        port->takeInput(drain, sizeof drain, &n);
        script.clear();
        writesBefore = static_cast<int>(port->writes().size());
        start = port->now();
    }

    int Writes() const { return static_cast<int>(port->writes().size()) - writesBefore; }
    int64_t Elapsed() const { return port->now() - start; }

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
        for (int i = writesBefore; i < port->writes().size(); ++i) {
            EXPECT_EQ(port->writes()[i],
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
            EXPECT_EQ(port->writeTimes()[writesBefore] - start, 2);
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

TEST_F(LinkTest, EchoOnTakesTheCopyOffTheLineInEveryProtocol) {
    uint8_t read[kReadCommandLength];
    BuildReadCommand(read, '6', 0xCB);
    uint8_t asciiRead[kAsciiRequestLength];
    const int asciiReplyLength = BuildReadRegisters(asciiRead, 1, 0x0100, 1, true);
    uint8_t rtuRead[kRtuRequestLength];
    BuildReadRegisters(rtuRead, 1, 0, 1, false);
    uint8_t rtuWrite[kRtuRequestLength];
    BuildWriteRegister(rtuWrite, 1, 0x0105, 100, false);
    const QByteArray asciiReply = ":010302006496\r\n";
    const QByteArray rtuReply = Hex("01 03 02 00 64 B9 AF");
    const QByteArray rtuWriteReply(reinterpret_cast<const char*>(rtuWrite), kRtuRequestLength);

    for (const EchoMode mode : {EchoMode::On, EchoMode::Off}) {
        SCOPED_TRACE(static_cast<int>(mode));
        link.SetEcho(mode);
        const bool on = mode == EchoMode::On;
        uint8_t reply[32] = {};
        Reset();
        Script({{Echoed(read, 6, "%0064EF")}, {Echoed(read, 6, "%0064EF")},
                {Echoed(read, 6, "%0064EF")}});
        EXPECT_EQ(link.ExchangeCommand(read, 6, reply, 7),
                  on ? ExchangeResult::Good : ExchangeResult::NoReply);
        EXPECT_EQ(QByteArray(reinterpret_cast<char*>(reply), on ? 7 : 0),
                  on ? QByteArray("%0064EF") : QByteArray());

        Reset();
        Script({{Echoed(asciiRead, kAsciiRequestLength, asciiReply)}});
        EXPECT_EQ(link.ExchangeAscii(asciiRead, kAsciiRequestLength, reply, asciiReplyLength, 1),
                  on ? ExchangeResult::Good : ExchangeResult::Corrupt);

        Reset();
        Script({{Echoed(rtuRead, kRtuRequestLength, rtuReply)}});
        EXPECT_EQ(link.ExchangeRtu(rtuRead, kRtuRequestLength, reply, 7, 400),
                  on ? ExchangeResult::Good : ExchangeResult::Corrupt);

        // A write's reply is its request again: with the echo expected, the second copy is the
        // reply; without, the copy alone passes for it.
        Reset();
        Script({{Echoed(rtuWrite, kRtuRequestLength, rtuWriteReply)}});
        EXPECT_EQ(link.ExchangeRtu(rtuWrite, kRtuRequestLength, reply, 8, 400),
                  ExchangeResult::Good);
        EXPECT_EQ(link.LastReplyLength(), 8);
    }
}

TEST_F(LinkTest, ACopyThatDiffersIsACorruptReplyAndAMissingOneNoReply) {
    link.SetEcho(EchoMode::On);
    uint8_t read[kReadCommandLength];
    BuildReadCommand(read, '6', 0xCB);
    QByteArray damaged = Echoed(read, 6, "%0064EF");
    damaged[3] = 'X';
    uint8_t reply[32] = {};
    Reset();
    Script({{damaged}, {Echoed(read, 6, "%0064EF")}});
    EXPECT_EQ(link.ExchangeCommand(read, 6, reply, 7), ExchangeResult::Good);
    EXPECT_EQ(Writes(), 2);

    uint8_t rtuRead[kRtuRequestLength];
    BuildReadRegisters(rtuRead, 1, 0, 1, false);
    QByteArray rtuDamaged = Echoed(rtuRead, 8, Hex("01 03 02 00 64 B9 AF"));
    rtuDamaged[2] = '\x7F';
    Reset();
    Script({{rtuDamaged}});
    EXPECT_EQ(link.ExchangeRtu(rtuRead, 8, reply, 7, 400), ExchangeResult::Corrupt);
    // The parameter traffic tries again, as after any corrupt reply.
    Reset();
    Script({{rtuDamaged}, {Echoed(rtuRead, 8, Hex("01 03 02 00 64 B9 AF"))}});
    EXPECT_EQ(link.ExchangeModbus(rtuRead, 8, reply, 7, false), ExchangeResult::Good);
    EXPECT_EQ(Writes(), 2);

    uint8_t asciiRead[kAsciiRequestLength];
    const int asciiReplyLength = BuildReadRegisters(asciiRead, 1, 0x0100, 1, true);
    QByteArray asciiDamaged = Echoed(asciiRead, kAsciiRequestLength, ":010302006496\r\n");
    asciiDamaged[5] = 'F';
    Reset();
    Script({{asciiDamaged}});
    EXPECT_EQ(link.ExchangeAscii(asciiRead, kAsciiRequestLength, reply, asciiReplyLength, 1),
              ExchangeResult::Corrupt);

    // Only half the copy, then silence.
    Reset();
    Script({{Echoed(rtuRead, 4, {})}});
    EXPECT_EQ(link.ExchangeRtu(rtuRead, 8, reply, 7, 400), ExchangeResult::NoReply);
}

TEST_F(LinkTest, EchoExpectedDropsInputLeftOverFromAnEarlierExchange) {
    link.SetEcho(EchoMode::On);
    uint8_t rtuRead[kRtuRequestLength];
    BuildReadRegisters(rtuRead, 1, 0, 1, false);
    Reset();
    port->deliver(Hex("01 03 02 00 63")); // the tail of a reply that came too late
    port->advance(1);
    Script({{Echoed(rtuRead, 8, Hex("01 03 02 00 64 B9 AF"))}});
    uint8_t reply[16] = {};
    EXPECT_EQ(link.ExchangeRtu(rtuRead, 8, reply, 7, 400), ExchangeResult::Good);
    EXPECT_EQ(reply[4], 0x64);
}

TEST_F(LinkTest, AutomaticEchoIsDecidedByAReadAndNeverByAWrite) {
    uint8_t read[kReadCommandLength];
    BuildReadCommand(read, '6', 0xCB);
    uint8_t rtuWrite[kRtuRequestLength];
    BuildWriteRegister(rtuWrite, 1, 0x0105, 100, false);
    const QByteArray writeCopy(reinterpret_cast<const char*>(rtuWrite), kRtuRequestLength);
    uint8_t reply[32] = {};

    // A write's reply equals its request: it leaves the question open.
    link.SetEcho(EchoMode::Automatic);
    Reset();
    Script({{writeCopy}});
    EXPECT_EQ(link.ExchangeRtu(rtuWrite, 8, reply, 8, 400), ExchangeResult::Good);
    EXPECT_FALSE(link.EchoDecided());

    // The probe's copy came back.
    Reset();
    Script({{Echoed(read, 6, "%0064EF")}});
    EXPECT_EQ(link.ExchangeCommand(read, 6, reply, 7), ExchangeResult::Good);
    EXPECT_TRUE(link.EchoDecided());
    EXPECT_TRUE(link.ExpectsEcho());
    EXPECT_EQ(reply[0], '%');
    Reset();
    Script({{writeCopy + writeCopy}});
    EXPECT_EQ(link.ExchangeRtu(rtuWrite, 8, reply, 8, 400), ExchangeResult::Good);
    EXPECT_EQ(port->inputAvailable(), 0) << "the reply was taken, not left for the next exchange";

    // The next connect asks again; a refusal ('!' is never a copy) says there is no echo.
    link.SetEcho(EchoMode::Automatic);
    EXPECT_FALSE(link.EchoDecided());
    Reset();
    Script({{"!"}, {"%0064EF"}});
    EXPECT_EQ(link.ExchangeCommand(read, 6, reply, 7), ExchangeResult::Good);
    EXPECT_TRUE(link.EchoDecided());
    EXPECT_FALSE(link.ExpectsEcho());
    EXPECT_EQ(Elapsed(), 50) << "the refusal ends by the read's gap, as without the question";

    // A Modbus register read decides as well; an exchange that then fails leaves it open.
    uint8_t rtuRead[kRtuRequestLength];
    BuildReadRegisters(rtuRead, 1, 0, 1, false);
    link.SetEcho(EchoMode::Automatic);
    Reset();
    Script({{Echoed(rtuRead, 8, Hex("01 03 02 00 64 B9 AE"))}});
    EXPECT_EQ(link.ExchangeRtu(rtuRead, 8, reply, 7, 400), ExchangeResult::Corrupt);
    EXPECT_FALSE(link.EchoDecided());
    Reset();
    Script({{Hex("01 03 02 00 64 B9 AF")}});
    EXPECT_EQ(link.ExchangeRtu(rtuRead, 8, reply, 7, 400), ExchangeResult::Good);
    EXPECT_TRUE(link.EchoDecided());
    EXPECT_FALSE(link.ExpectsEcho());
}

TEST_F(LinkTest, RtuRequestsKeepThreeAndAHalfCharactersOfSilence) {
    uint8_t rtuRead[kRtuRequestLength];
    BuildReadRegisters(rtuRead, 1, 0, 1, false);
    uint8_t read[kReadCommandLength];
    BuildReadCommand(read, '6', 0xCB);
    uint8_t reply[16] = {};
    const struct {
        uint32_t baud;
        int parity;
        int64_t silenceUs;
        int64_t gapMs; // on the port's millisecond clock
    } cases[] = {
        {9600, 2, 4011, 5},  // 11 bits a character
        {19200, 0, 2006, 3}, // 8N2, 11 bits as well
        {38400, 2, 1750, 2}, // fixed above 19200
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.baud);
        link.SetLineTiming(c.baud, 8, c.parity, c.parity == 0 ? 2 : 0);
        EXPECT_EQ(link.RtuSilenceUs(), c.silenceUs);
        Reset();
        Script({{Hex("01 03 02 00 64 B9 AF")}, {Hex("01 03 02 00 64 B9 AF")}, {"%0064EF"},
                {Hex("01 03 02 00 64 B9 AF")}});
        ASSERT_EQ(link.ExchangeRtu(rtuRead, 8, reply, 7, 400), ExchangeResult::Good);
        ASSERT_EQ(link.ExchangeRtu(rtuRead, 8, reply, 7, 400), ExchangeResult::Good);
        // A command exchange between them counts as line activity too.
        ASSERT_EQ(link.ExchangeCommand(read, 6, reply, 7), ExchangeResult::Good);
        ASSERT_EQ(link.ExchangeRtu(rtuRead, 8, reply, 7, 400), ExchangeResult::Good);
        const QList<int64_t>& at = port->writeTimes();
        const qsizetype n = at.size();
        EXPECT_EQ(at[n - 3] - at[n - 4], c.gapMs);
        EXPECT_EQ(at[n - 2] - at[n - 3], 0) << "the command protocol needs no silence";
        EXPECT_EQ(at[n - 1] - at[n - 2], c.gapMs);
    }
}

} // namespace
