// The serial channel over an in-memory port with its own clock: result codes, messages, the port
// state, and the read time-outs measured on that clock.

#include "link/SerialChannel.h"

#include "base/Messenger.h"
#include "link/MemorySerialBackend.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <cerrno>
#include <functional>
#include <memory>
#include <vector>

namespace {

class ChannelTest : public ::testing::Test {
protected:
    QStringList Shown() const {
        QStringList texts;
        for (const Message& m : messenger.messages) {
            texts << m.text;
        }
        return texts;
    }

    RecordingMessenger messenger;
    MemorySerialBackend* port = new MemorySerialBackend;
    SerialChannel channel{std::unique_ptr<SerialBackend>(port), &messenger};
};

TEST_F(ChannelTest, OpenConfiguresMaskTimeoutsAndHandshaking) {
    ASSERT_EQ(channel.Open(QStringLiteral("COM1"), 2048, 2048), 0u);
    EXPECT_TRUE(channel.IsOpen());
    EXPECT_EQ(port->Device(), QStringLiteral("COM1"));
    EXPECT_EQ(port->InputQueueSize(), 2048u);
    EXPECT_EQ(channel.GetEventMask(), 0xC1u);
    EXPECT_EQ(channel.GetHandshaking(), 2u);
    EXPECT_TRUE(port->Dtr());
    EXPECT_TRUE(port->Rts());
    EXPECT_FALSE(port->XonXoff());
    // The caller names the channel after a successful open, not Open itself.
    EXPECT_TRUE(channel.DeviceName().isEmpty());
    EXPECT_TRUE(messenger.messages.isEmpty());
}

// Low latency is asked for on every open; a driver that refuses it (a pseudo-terminal, an
// on-board UART) leaves the open as good as before, without a word.
TEST_F(ChannelTest, OpenAsksForLowLatencyAndARefusalIsSilent) {
    ASSERT_EQ(channel.Open(QStringLiteral("/dev/ttyUSB0")), 0u);
    EXPECT_TRUE(port->LowLatency());
    channel.Close();

    port->lowLatencyError = ENOTTY;
    port->latencyTimer = 2;
    ASSERT_EQ(channel.Open(QStringLiteral("/dev/ttyS0")), 0u);
    EXPECT_EQ(port->LowLatencyRequests(), 2);
    EXPECT_EQ(channel.GetHandshaking(), 2u) << "the open went on to the end";
    EXPECT_EQ(channel.LatencyTimerMs(), std::optional<int>(2));
    EXPECT_TRUE(messenger.messages.isEmpty());
}

TEST_F(ChannelTest, SecondOpenReportsAlreadyOpenAndChangesNothing) {
    ASSERT_EQ(channel.Open(QStringLiteral("COM1")), 0u);
    ASSERT_EQ(channel.SetHandshaking(1), 0u);

    EXPECT_EQ(channel.Open(QStringLiteral("COM2")), kChannelAlreadyOpen);
    EXPECT_EQ(port->OpenCount(), 1);
    // Not configured again: handshaking stays as set after the first open.
    EXPECT_EQ(channel.GetHandshaking(), 1u);
    EXPECT_TRUE(port->XonXoff());
    EXPECT_EQ(channel.Write("R", 1), 0u);
}

TEST_F(ChannelTest, FailedOpenStepsDecideWhetherThePortStaysOpen) {
    for (int error : {ENOENT, EACCES, EBUSY}) {
        SCOPED_TRACE(error);
        port->openError = error;
        EXPECT_EQ(channel.Open(QStringLiteral("COM3")), static_cast<uint32_t>(error));
        EXPECT_EQ(channel.Write("R", 1), kChannelNotOpen);
    }
    EXPECT_TRUE(messenger.messages.isEmpty());
    port->openError = 0;

    // Refused queue sizes close the port again.
    port->queueSizesError = EINVAL;
    EXPECT_EQ(channel.Open(QStringLiteral("COM1")), static_cast<uint32_t>(EINVAL));
    EXPECT_FALSE(port->IsOpen());
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("unable to setup the COM-port!")});
    port->queueSizesError = 0;

    // Only the handshaking step decides the open's result; the port is open either way, so the
    // next Open reports 1247.
    port->modemLinesError = EIO;
    EXPECT_EQ(channel.Open(QStringLiteral("COM1")), static_cast<uint32_t>(EIO));
    EXPECT_TRUE(channel.IsOpen());
    EXPECT_EQ(channel.Open(QStringLiteral("COM1")), kChannelAlreadyOpen);
}

TEST_F(ChannelTest, CloseOfAClosedChannelSaysSoAndSucceeds) {
    EXPECT_EQ(channel.Close(), 0u);
    EXPECT_EQ(channel.LastError(), 0u);
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("method called when device is not open!")});

    messenger.messages.clear();
    ASSERT_EQ(channel.Open(QStringLiteral("COM1")), 0u);
    EXPECT_EQ(channel.Close(), 0u);
    EXPECT_FALSE(channel.IsOpen());
    EXPECT_FALSE(port->IsOpen());
    EXPECT_TRUE(messenger.messages.isEmpty());
    // Closed again: a new open works.
    EXPECT_EQ(channel.Open(QStringLiteral("COM1")), 0u);
}

TEST(ChannelClosed, EveryPortOperationFailsWithNotOpen) {
    struct Case {
        const char* name;
        std::function<uint32_t(SerialChannel&)> call;
        uint32_t result;
        const char* message; // nullptr: none
    };
    const std::vector<Case> cases = {
        {"Setup", [](SerialChannel& c) { return c.Setup(9600, 8, 0, 0); }, 6, nullptr},
        {"SetHandshaking", [](SerialChannel& c) { return c.SetHandshaking(2); }, 6, nullptr},
        {"SetEventChar", [](SerialChannel& c) { return c.SetEventChar('\r', true); }, 6,
         "unable to set DCB information"},
        {"WaitEvent", [](SerialChannel& c) { return c.WaitEvent(10); }, 6, nullptr},
        {"Write",
         [](SerialChannel& c) {
             int written = 99;
             const uint32_t r = c.Write("W", 1, &written);
             return written == 0 ? r : 0xBADu;
         },
         6, nullptr},
        {"Read",
         [](SerialChannel& c) {
             char buffer[8];
             int read = 99;
             const uint32_t r = c.Read(buffer, 7, &read);
             return read == 0 ? r : 0xBADu;
         },
         6, "Device is not opened!"},
        {"GetBaudRate", [](SerialChannel& c) { return c.GetBaudRate(); }, 0xFFFFFFFF,
         "unable to obtain DCB information"},
        {"GetParity", [](SerialChannel& c) { return c.GetParity(); }, 0xFFFFFFFF,
         "unable to obtain DCB information"},
        {"GetHandshaking", [](SerialChannel& c) { return c.GetHandshaking(); }, 0xFFFFFFFF,
         nullptr},
        {"GetEventMask", [](SerialChannel& c) { return c.GetEventMask(); }, 0, nullptr},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        RecordingMessenger messenger;
        SerialChannel channel(std::make_unique<MemorySerialBackend>(), &messenger);
        EXPECT_EQ(test.call(channel), test.result);
        EXPECT_EQ(channel.LastError(), kChannelNotOpen);
        ASSERT_EQ(messenger.messages.size(), test.message != nullptr ? 1 : 0);
        if (test.message != nullptr) {
            EXPECT_EQ(messenger.messages[0].text, QString::fromLatin1(test.message));
        }
    }
}

TEST_F(ChannelTest, SetupSetsTheLineAndParityChecking) {
    ASSERT_EQ(channel.Open(QStringLiteral("COM1")), 0u);
    EXPECT_EQ(channel.Setup(19200, 7, 2, 0), 0u);
    EXPECT_EQ(channel.GetBaudRate(), 19200u);
    EXPECT_EQ(channel.GetByteSize(), 7u);
    EXPECT_EQ(channel.GetParity(), 2u);
    EXPECT_EQ(channel.GetStopBits(), 0u);
    EXPECT_TRUE(messenger.messages.isEmpty());

    EXPECT_EQ(channel.Setup(9600, 8, 0, 2), 0u);
    EXPECT_EQ(channel.GetStopBits(), 2u);
    EXPECT_EQ(channel.GetParity(), 0u);
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("no parity")});

    // A refusal is reported without a message and leaves the line as it was.
    messenger.messages.clear();
    port->configureError = EINVAL;
    EXPECT_EQ(channel.Setup(4800, 7, 1, 0), static_cast<uint32_t>(EINVAL));
    EXPECT_TRUE(messenger.messages.isEmpty());
    port->configureError = 0;
    EXPECT_EQ(channel.GetBaudRate(), 9600u);
    EXPECT_EQ(channel.LastError(), 0u);
}

TEST_F(ChannelTest, HandshakingModes) {
    ASSERT_EQ(channel.Open(QStringLiteral("COM1")), 0u);
    struct Case {
        int mode;
        uint32_t reported;
        bool xonXoff, dtr, rts;
    };
    const Case cases[] = {
        {0, 0, false, false, false},
        {1, 1, true, false, false},
        {2, 2, false, true, true},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.mode);
        EXPECT_EQ(channel.SetHandshaking(test.mode), 0u);
        EXPECT_EQ(channel.GetHandshaking(), test.reported);
        EXPECT_EQ(port->XonXoff(), test.xonXoff);
        EXPECT_EQ(port->Dtr(), test.dtr);
        EXPECT_EQ(port->Rts(), test.rts);
    }
    // An unknown mode changes nothing.
    ASSERT_EQ(channel.SetHandshaking(1), 0u);
    EXPECT_EQ(channel.SetHandshaking(7), 0u);
    EXPECT_EQ(channel.GetHandshaking(), 1u);
    EXPECT_TRUE(port->XonXoff());
    // A device refusing the change leaves the mode as it was.
    port->flowControlError = EIO;
    EXPECT_EQ(channel.SetHandshaking(2), static_cast<uint32_t>(EIO));
    EXPECT_EQ(channel.GetHandshaking(), 1u);
    EXPECT_TRUE(messenger.messages.isEmpty());
}

// One read of `wanted` bytes with replies scheduled from the moment the read starts.
struct ReadCase {
    const char* name;
    std::vector<std::pair<int64_t, QByteArray>> arrivals;
    int wanted;
    uint32_t waitLimit;
    uint32_t result;
    int got;
    int64_t elapsed;
};

std::vector<std::pair<int64_t, QByteArray>> Trickle(int count, int64_t every) {
    std::vector<std::pair<int64_t, QByteArray>> arrivals;
    for (int i = 0; i < count; ++i) {
        arrivals.emplace_back(i * every, QByteArray(1, static_cast<char>('a' + i % 26)));
    }
    return arrivals;
}

void RunReadCases(SerialChannel& channel, MemorySerialBackend& port,
                  const std::vector<ReadCase>& cases) {
    for (const ReadCase& test : cases) {
        SCOPED_TRACE(test.name);
        // Whatever a previous case left on the line goes first.
        uint8_t drain[64];
        int ignored = 0;
        port.TakeInput(drain, sizeof drain, &ignored);
        port.Advance(10000);
        port.TakeInput(drain, sizeof drain, &ignored);

        for (const auto& [at, bytes] : test.arrivals) {
            port.Deliver(bytes, at);
        }
        uint8_t buffer[64] = {};
        int got = -1;
        const int64_t start = port.Now();
        EXPECT_EQ(channel.Read(buffer, test.wanted, &got, test.waitLimit), test.result);
        EXPECT_EQ(channel.LastError(), test.result);
        EXPECT_EQ(got, test.got);
        EXPECT_EQ(port.Now() - start, test.elapsed);
    }
}

TEST_F(ChannelTest, ReadEndsAtCountGapTotalOrWaitLimit) {
    ASSERT_EQ(channel.Open(QStringLiteral("COM1")), 0u);
    const std::vector<ReadCase> cases = {
        {"whole reply", {{0, "%0064EF"}}, 7, kNoTimeLimit, 0, 7, 0},
        {"four of seven, then silence", {{0, "%006"}}, 7, kNoTimeLimit, 0, 4, 50},
        {"nothing at all", {}, 7, kNoTimeLimit, 0, 0, 400},
        {"late first byte: no gap before it", {{120, "%0064EF"}}, 7, kNoTimeLimit, 0, 7, 120},
        {"gap inside the reply", {{0, "%00"}, {60, "64EF"}}, 7, kNoTimeLimit, 0, 3, 50},
        {"bytes 40 ms apart", {{0, "a"}, {40, "b"}, {80, "c"}}, 7, kNoTimeLimit, 0, 3, 130},
        {"trickle under the gap runs into the total", Trickle(20, 30), 20, kNoTimeLimit, 0, 14,
         400},
        {"gap ends before the wait limit", {{0, "%006"}}, 7, 400, 0, 4, 50},
        {"wait limit before the total", {}, 7, 100, kChannelTimedOut, 0, 100},
        {"wait limit equal to the total", Trickle(20, 30), 20, 400, kChannelTimedOut, 0, 400},
    };
    RunReadCases(channel, *port, cases);
    EXPECT_TRUE(messenger.messages.isEmpty());
}

TEST_F(ChannelTest, ReadTimeoutsModeOneWaitsForTheWholeCount) {
    ASSERT_EQ(channel.Open(QStringLiteral("COM1")), 0u);
    ASSERT_EQ(channel.SetReadTimeouts(1), 0u);
    const std::vector<ReadCase> cases = {
        {"rest arrives a second later", {{0, "%006"}, {1000, "4EF"}}, 7, kNoTimeLimit, 0, 7, 1000},
        {"only the wait limit ends it", {{0, "%006"}}, 7, 200, kChannelTimedOut, 0, 200},
    };
    RunReadCases(channel, *port, cases);

    ASSERT_EQ(channel.SetReadTimeouts(0), 0u);
    RunReadCases(channel, *port, {{"mode 0 again", {{0, "%006"}}, 7, kNoTimeLimit, 0, 4, 50}});
}

TEST_F(ChannelTest, UnknownReadTimeoutModeIsRejectedAndChangesNothing) {
    EXPECT_EQ(channel.SetReadTimeouts(2), kChannelBadArgument);
    ASSERT_EQ(channel.Open(QStringLiteral("COM1")), 0u);
    for (int mode : {2, -1}) {
        SCOPED_TRACE(mode);
        EXPECT_EQ(channel.SetReadTimeouts(mode), 0x80070057u);
        EXPECT_EQ(channel.LastError(), 0x80070057u);
    }
    RunReadCases(channel, *port, {{"still mode 0", {{0, "%006"}}, 7, kNoTimeLimit, 0, 4, 50}});
}

TEST_F(ChannelTest, ReadFailureSaysSo) {
    ASSERT_EQ(channel.Open(QStringLiteral("COM1")), 0u);
    port->readError = ECOMM;
    uint8_t buffer[8];
    int got = 99;
    EXPECT_EQ(channel.Read(buffer, 7, &got), static_cast<uint32_t>(ECOMM));
    EXPECT_EQ(got, 0);
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("Unable to read the data!")});
}

TEST_F(ChannelTest, WriteSendsTheBytesOrReportsWhyNot) {
    ASSERT_EQ(channel.Open(QStringLiteral("COM1")), 0u);
    int written = -1;
    EXPECT_EQ(channel.WriteString("R6CB0D", &written), 0u);
    EXPECT_EQ(written, 6);
    const uint8_t frame[] = {0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0A};
    EXPECT_EQ(channel.Write(frame, 8, &written, 400), 0u);
    EXPECT_EQ(written, 8);
    ASSERT_EQ(port->Writes().size(), 2);
    EXPECT_EQ(port->Writes()[0], QByteArray("R6CB0D"));
    EXPECT_EQ(port->Writes()[1], QByteArray(reinterpret_cast<const char*>(frame), 8));

    // A write slower than its wait limit is abandoned and its bytes never reach the drive.
    port->writeDelayMs = 100;
    EXPECT_EQ(channel.Write("W", 1, &written, 50), kChannelTimedOut);
    EXPECT_EQ(written, 0);
    EXPECT_EQ(port->Writes().size(), 2);
    EXPECT_EQ(channel.Write("W", 1, &written), 0u);
    EXPECT_EQ(written, 1);

    port->writeError = EIO;
    EXPECT_EQ(channel.Write("W", 1, &written), static_cast<uint32_t>(EIO));
    EXPECT_EQ(written, 0);
    EXPECT_TRUE(messenger.messages.isEmpty());
}

TEST_F(ChannelTest, WaitEventReportsReceivedAndEventCharacters) {
    ASSERT_EQ(channel.Open(QStringLiteral("COM1")), 0u);
    EXPECT_EQ(channel.SetEventChar('\r', true), 0u);
    EXPECT_EQ(channel.GetEventChar(), static_cast<uint32_t>('\r'));
    EXPECT_EQ(channel.GetEventMask(), 0xC3u);
    EXPECT_EQ(channel.Events(), 0xFFFFFFFFu);

    // Only the event character: plain bytes do not end the wait.
    ASSERT_EQ(channel.SetMask(kEventEventChar), 0u);
    port->Deliver("ab", 10);
    port->Deliver("\r", 30);
    const int64_t start = port->Now();
    EXPECT_EQ(channel.WaitEvent(100), 0u);
    EXPECT_EQ(channel.Events(), kEventEventChar);
    EXPECT_EQ(port->Now() - start, 30);

    ASSERT_EQ(channel.SetMask(kEventReceivedChar | kEventEventChar), 0u);
    EXPECT_EQ(channel.WaitEvent(100), 0u);
    EXPECT_EQ(channel.Events(), kEventReceivedChar | kEventEventChar);

    uint8_t drain[8];
    int got = 0;
    ASSERT_EQ(channel.Read(drain, 3, &got), 0u);
    ASSERT_EQ(got, 3);
    EXPECT_EQ(channel.WaitEvent(100), kChannelTimedOut);
    EXPECT_EQ(port->Now() - start, 130);
}

TEST_F(ChannelTest, ReplacingTheBackendClosesTheOldPort) {
    ASSERT_EQ(channel.Open(QStringLiteral("COM1")), 0u);
    auto next = std::make_unique<MemorySerialBackend>();
    MemorySerialBackend* nextPort = next.get();
    channel.SetBackend(std::move(next));
    port = nullptr; // released with the old backend
    EXPECT_FALSE(channel.IsOpen());
    EXPECT_EQ(channel.Open(QStringLiteral("COM2")), 0u);
    EXPECT_EQ(nextPort->Device(), QStringLiteral("COM2"));
}

} // namespace
