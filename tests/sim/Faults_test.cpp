// Fault switches of the simulated drive: what each does to a reply and to the request, that
// a seed repeats a run exactly, hang-up, timing, and the request log.

#include "sim/ModbusSlave.h"
#include "sim/SimulatedDrive.h"
#include "support/SimTestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <chrono>

namespace {

using simtest::Ascii;
using simtest::Bytes;
using simtest::Cmd;
using simtest::Text;

FaultSettings Faults(double drop, double corrupt, double refuse, uint32_t seed) {
    return {.drop = drop, .corrupt = corrupt, .refuse = refuse, .seed = seed};
}

// The replies to `count` requests alternating between a read and a write, one per request.
std::vector<QByteArray> RunMixed(SimulatedDrive& drive, int count) {
    std::vector<QByteArray> replies;
    for (int i = 0; i < count; ++i)
        replies.push_back(drive.Receive(i % 2 == 0 ? QByteArray("R6CB0D") : Cmd("W7CE0001")));
    return replies;
}

TEST(FaultSwitches, TheSameSeedRepeatsTheSameFaults) {
    SimulatedDrive a;
    SimulatedDrive b;
    SimulatedDrive c;
    a.SetFaults(Faults(0.2, 0.2, 0.2, 42));
    b.SetFaults(Faults(0.2, 0.2, 0.2, 42));
    c.SetFaults(Faults(0.2, 0.2, 0.2, 43));
    const auto first = RunMixed(a, 400);
    EXPECT_EQ(first, RunMixed(b, 400));
    EXPECT_NE(first, RunMixed(c, 400));
    // Setting the faults again starts the draws again from the seed.
    a.SetFaults(Faults(0.2, 0.2, 0.2, 42));
    EXPECT_EQ(RunMixed(a, 400), first);
}

TEST(FaultSwitches, ProbabilitiesAreHonoured) {
    // 4000 reads per switch; with a fixed seed the counts are fixed, and a wrong use of the
    // probability (inverted, or a switch feeding another) would land far outside these bands.
    struct Case {
        FaultSettings faults;
        uint64_t SimulatedDrive::Counters::*counter;
        uint64_t low;
        uint64_t high;
        const char* what;
    } cases[] = {
        {Faults(0.25, 0, 0, 7), &SimulatedDrive::Counters::dropped, 900, 1100, "drop"},
        {Faults(0, 0.1, 0, 7), &SimulatedDrive::Counters::corrupted, 330, 470, "corrupt"},
        {Faults(0, 0, 0.5, 7), &SimulatedDrive::Counters::refused, 1850, 2150, "refuse"},
        {Faults(0, 0, 0.5, 7), &SimulatedDrive::Counters::dropped, 0, 0, "nothing dropped"},
    };
    for (const Case& c : cases) {
        SimulatedDrive drive;
        drive.SetFaults(c.faults);
        for (int i = 0; i < 4000; ++i)
            drive.Receive("R6CB0D");
        const uint64_t n = drive.Counts().*c.counter;
        EXPECT_GE(n, c.low) << c.what;
        EXPECT_LE(n, c.high) << c.what;
    }
}

TEST(FaultSwitches, ADroppedReplyBelongsToARequestThatWasCarriedOut) {
    SimulatedDrive drive;
    drive.SetFaults(Faults(1.0, 0, 0, 1));
    EXPECT_EQ(drive.Receive(Cmd("W7CE0005")), QByteArray());
    EXPECT_EQ(drive.Word('7', 0xCE), 5);
    EXPECT_EQ(drive.Receive("R6CB0D"), QByteArray());
    EXPECT_EQ(drive.Counts().dropped, 2u);
}

TEST(FaultSwitches, CorruptionDamagesOnlyTheCheckValue) {
    SimulatedDrive command;
    command.SetFaults(Faults(0, 1.0, 0, 1));
    const QByteArray read = command.Receive("R6CB0D");
    ASSERT_EQ(read.size(), 7);
    EXPECT_EQ(read.first(5), QByteArray("%0000"));
    EXPECT_NE(read, QByteArray("%0000E5"));
    // A write reply has no check value to damage.
    EXPECT_EQ(command.Receive(Cmd("W7CE0001")), QByteArray("%"));

    SimulatedDrive rtu({}, DriveLinkOptions{true, 1, 6});
    rtu.SetFaults(Faults(0, 1.0, 0, 1));
    const QByteArray rtuReply = rtu.Receive(Bytes("01 03 00 00 00 01 84 0A"));
    ASSERT_EQ(rtuReply.size(), 7);
    EXPECT_EQ(rtuReply.first(5), Bytes("01 03 02 01 21"));
    EXPECT_FALSE(HasGoodCrc(rtuReply));

    SimulatedDrive ascii({}, DriveLinkOptions{true, 1, 0});
    ascii.SetFaults(Faults(0, 1.0, 0, 1));
    const QByteArray asciiReply = ascii.Receive(Ascii(":010300000001FB"));
    QByteArray decoded;
    ASSERT_EQ(asciiReply.size(), 15);
    EXPECT_EQ(asciiReply.first(11), QByteArray(":0103020121"));
    EXPECT_FALSE(DecodeAsciiFrame(asciiReply, &decoded));
}

TEST(FaultSwitches, ARefusedCommandIsNotCarriedOut) {
    SimulatedDrive drive;
    drive.SetFaults(Faults(0, 0, 1.0, 1));
    EXPECT_EQ(drive.Receive(Cmd("W7CE0005")), QByteArray("!"));
    EXPECT_EQ(drive.Word('7', 0xCE), 0);
    EXPECT_EQ(drive.Receive("R6CB0D"), QByteArray("!"));

    // Modbus has no refusal: the switch leaves it alone.
    SimulatedDrive modbus({}, DriveLinkOptions{true, 1, 6});
    modbus.SetFaults(Faults(0, 0, 1.0, 1));
    EXPECT_EQ(modbus.Receive(Bytes("01 03 00 00 00 01 84 0A")), Bytes("01 03 02 01 21 79 CC"));
}

TEST(FaultSwitches, HangUp) {
    SimulatedDrive drive;
    drive.SetFaults({.hangUpAfter = 3});
    int answered = 0;
    for (int i = 0; i < 6; ++i)
        answered += drive.Receive("R6CB0D").isEmpty() ? 0 : 1;
    EXPECT_EQ(answered, 3);
    EXPECT_TRUE(drive.HungUp());
    EXPECT_EQ(drive.RequestLog().size(), 6) << "a hung-up drive still hears the requests";

    drive.SetHungUp(false);
    EXPECT_EQ(drive.Receive("R6CB0D"), QByteArray("%0000E5"));
    drive.SetHungUp(true);
    EXPECT_EQ(drive.Receive(Cmd("W7CE0005")), QByteArray());
    EXPECT_EQ(drive.Word('7', 0xCE), 0) << "a hung-up drive carries nothing out";
}

TEST(FaultSwitches, LatencyAndPacingDelayTheReply) {
    using std::chrono::microseconds;
    SimulatedDrive drive;
    drive.SetFaults({.latencyMs = 20, .pace = true, .baud = 9600});

    const auto timed = drive.Process("R6CB0D");
    ASSERT_EQ(timed.size(), 1u);
    // 10 bits at 9600 bit/s: 1041 us a byte; the 6 request bytes come before the reply.
    EXPECT_EQ(timed[0].byteTime, microseconds(1041));
    EXPECT_EQ(timed[0].delay, microseconds(20000 + 6 * 1041));

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(drive.Receive("R6CB0D"), QByteArray("%0000E5"));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, microseconds(20000 + 13 * 1041));
}

TEST(RequestLog, OneLinePerRequestInMemoryAndInAFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("requests.log");
    SimulatedDrive drive({}, DriveLinkOptions{true, 1, 7});
    QString error;
    ASSERT_TRUE(drive.SetLogFile(path, &error)) << error.toStdString();
    drive.Receive("R6CB0D");
    drive.Receive("R6CB0E"); // refused, but received
    drive.Receive(Bytes("01 03 00 00 00 01 84 0A"));
    const QStringList expected = {"R6CB0D", "R6CB0E", "01 03 00 00 00 01 84 0A"};
    EXPECT_EQ(drive.RequestLog(), expected);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("R6CB0D\nR6CB0E\n01 03 00 00 00 01 84 0A\n"));

    SimulatedDrive ascii({}, DriveLinkOptions{true, 1, 0});
    ascii.Receive(Ascii(":010300000001FB"));
    EXPECT_EQ(ascii.RequestLog(), QStringList{":010300000001FB"});
}

} // namespace
