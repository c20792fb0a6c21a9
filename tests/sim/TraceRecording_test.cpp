// The drive's trace recorder as the program meets it: set-up words and the start on page '7', the
// state word, and the samples laid out on their eight pages, with time advanced by the test.

#include "sim/ControlLines.h"
#include "sim/RegisterMap.h"
#include "sim/SimulatedDrive.h"
#include "support/SimTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

using namespace std::chrono_literals;
using simtest::Cmd;

int Read(SimulatedDrive& drive, char page, int location) {
    char body[8];
    std::snprintf(body, sizeof body, "R%c%02X", page, location);
    const QByteArray reply = drive.Receive(Cmd(body));
    EXPECT_EQ(reply.size(), 7) << body;
    return static_cast<int16_t>(reply.mid(1, 4).toUShort(nullptr, 16));
}

void Write(SimulatedDrive& drive, char page, int location, int value) {
    char body[12];
    std::snprintf(body, sizeof body, "W%c%02X%04X", page, location, value & 0xFFFF);
    ASSERT_EQ(drive.Receive(Cmd(body)), "%") << body;
}

void Start(SimulatedDrive& drive, int code, int data1, int data2, int mode, int level) {
    Write(drive, '7', 0xD6, code);
    Write(drive, '7', 0xCD, data2 * 512 + data1 * 2 + mode * 4096);
    Write(drive, '7', 0xD8, level);
    Write(drive, '7', 0xD0, 1);
}

TEST(TraceRecording, SpeedLevelTriggerRecordsTheStepOnItsPages) {
    SimulatedDrive drive; // N = 3000 rpm
    // Speed feedback and speed command at 500 us, trigger on the feedback reaching 1500 rpm.
    Start(drive, 5, 1, 0, 3, 8192);
    EXPECT_EQ(Read(drive, '7', 0xD0), 0) << "armed";
    drive.Advance(200ms);
    EXPECT_EQ(Read(drive, '7', 0xD0), 0) << "at rest the level is not reached";
    ASSERT_TRUE(RunControlLine(drive, QStringLiteral("jog 2000")).ok);
    drive.Advance(1s);
    ASSERT_EQ(Read(drive, '7', 0xD0), 2);
    const int first = Read(drive, '0', 0x00);
    EXPECT_GE(first, 8192);
    EXPECT_LT(first, 8192 + 400) << "the first sample is where the level was crossed";
    EXPECT_NEAR(Read(drive, '1', 0xFF), 10923, 40) << "settled at 2000 rpm after 256 ms";
    EXPECT_EQ(Read(drive, '2', 0x00), 10923) << "data 2: the speed command";
    EXPECT_EQ(Read(drive, '3', 0xFF), 10923);
    // The output contacts, 1 = on, against dn-02 which is active low.
    const WordAddress dn2 = MonitorAddress('D', 2);
    EXPECT_EQ(Read(drive, 'F', 0xFF), ~drive.Word(dn2.page, dn2.location) & 0xFF);
    EXPECT_NE(Read(drive, 'F', 0xFF), 0) << "a ready drive has outputs on";

    // A second start with new words: at once, 512 samples of 100 us while the motor reverses;
    // the samples between two machine steps lie on the line between them.
    ASSERT_TRUE(RunControlLine(drive, QStringLiteral("jog -1000")).ok);
    Start(drive, 1, 7, 1, 0, 0);
    drive.Advance(51ms);
    EXPECT_EQ(Read(drive, '7', 0xD0), 0);
    drive.Advance(1ms);
    ASSERT_EQ(Read(drive, '7', 0xD0), 2);
    const int s0 = Read(drive, '2', 0x00), s1 = Read(drive, '2', 0x01), s2 = Read(drive, '2', 0x02);
    EXPECT_GT(s0 - s2, 20) << "decelerating";
    EXPECT_LE(std::abs(2 * s1 - s0 - s2), 1) << s0 << " " << s1 << " " << s2;
    for (int location : {0x00, 0x80, 0xFF}) {
        const int angle = Read(drive, '1', location);
        EXPECT_TRUE(angle >= 0 && angle <= 1023) << angle;
    }
}

TEST(TraceRecording, ContactTriggerWaitsForTheInput) {
    SimulatedDrive drive;
    Start(drive, 1, 0, 1, 5 + 2, 0); // DI-3
    drive.Advance(300ms);
    EXPECT_EQ(Read(drive, '7', 0xD0), 0);
    ASSERT_TRUE(RunControlLine(drive, QStringLiteral("di 3 on")).ok);
    drive.Advance(60ms);
    ASSERT_EQ(Read(drive, '7', 0xD0), 2);
    EXPECT_EQ(Read(drive, '4', 0x00) & 0x1FFF, 0x4);
    EXPECT_EQ(Read(drive, 'D', 0xFF) & 0x1FFF, 0x4);
}

} // namespace
