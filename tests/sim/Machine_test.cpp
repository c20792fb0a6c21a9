// The machine behind the simulated drive, seen as the program sees it: through the words the
// command protocol reads, with time advanced by the test.

#include "sim/ControlLines.h"
#include "sim/SimulatedDrive.h"
#include "support/SimTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace {

using namespace std::chrono_literals;
using simtest::Cmd;

// The word at (page, location) as a read request returns it.
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

// A stored word fetched through the mailbox.
int Fetch(SimulatedDrive& drive, int index) {
    Write(drive, '5', 0x73, index);
    Write(drive, '5', 0x70, 2);
    return Read(drive, '5', 0x74);
}

void Line(SimulatedDrive& drive, const char* line) {
    const ControlReply reply = RunControlLine(drive, QString::fromLatin1(line));
    ASSERT_TRUE(reply.ok) << line << ": " << reply.text.toStdString();
}

TEST(Machine, SpeedStepIsFollowedWithinTheLoopTimeConstant) {
    Machine m(3000, 10000);
    SpeedLoopSettings loop;
    loop.assumedRatio = m.Settings().inertiaRatio; // a well-tuned loop: 40 Hz, tau = 4 ms
    m.SetLoop(loop);
    m.SetEnabled(true);
    m.SetSpeedCommand(1000);
    m.Advance(4ms);
    EXPECT_GT(m.Torque(), 100) << "accelerating";
    EXPECT_GT(m.MotorSpeed(), 400);
    m.Advance(16ms); // 5 tau: there, give or take the PI loop's overshoot
    EXPECT_NEAR(m.MotorSpeed(), 1000, 100);
    m.Advance(200ms);
    EXPECT_NEAR(m.MotorSpeed(), 1000, 2);
    EXPECT_NEAR(m.LoadSpeed(), 1000, 2) << "the shaft carries the load along";
    EXPECT_LT(std::abs(m.Torque()), 10) << "only friction left at constant speed";
    // Servo off: no torque, and the machine coasts down.
    m.SetEnabled(false);
    m.Advance(1s);
    EXPECT_EQ(m.Torque(), 0);
    EXPECT_LT(m.MotorSpeed(), 700);
}

// A torque step sets the shaft swinging at the resonance frequency set.
TEST(Machine, ShaftSwingsAtTheResonanceFrequency) {
    for (const double hz : {300.0, 600.0}) {
        Machine m;
        MachineSettings settings;
        settings.resonanceHz = hz;
        settings.damping = 0.005;
        m.SetSettings(settings);
        m.SetLoop({.gainHz = 1, .integralMs = 0}); // a weak loop: an almost constant torque
        m.SetEnabled(true);
        m.SetSpeedCommand(3000);
        // Half periods between the first and the last sign change of the twist, 40 ms.
        int crossings = 0;
        int first = -1;
        int lastCrossing = 0;
        double last = 0;
        for (int step = 0; step < 200; ++step) {
            m.Step();
            const double twist = m.MotorSpeed() - m.LoadSpeed();
            if (step > 0 && (twist > 0) != (last > 0)) {
                first = first < 0 ? step : first;
                lastCrossing = step;
                ++crossings;
            }
            last = twist;
        }
        ASSERT_GT(crossings, 4) << hz;
        const double seconds = (lastCrossing - first) * 200e-6;
        EXPECT_NEAR((crossings - 1) / 2.0 / seconds, hz, hz * 0.05) << hz;
    }
}

TEST(Machine, StatusWordsFollowTheMachineInSpeedMode) {
    SimulatedDrive drive;          // N = 3000 rpm, encoder 2500 pulses
    Write(drive, '5', 0x10, 1);    // Cn001: speed mode
    Write(drive, '5', 0x36, 5461); // Sn201: 1000 rpm
    Line(drive, "servo on");
    // Neither SPD1 nor SPD2: the analog command, Sn216 (N) rpm for 10 V.
    Line(drive, "analog-speed -2.5");
    EXPECT_EQ(Read(drive, '6', 0x32), -4096) << "Un-09";
    EXPECT_EQ(Read(drive, '6', 0x78), -4096) << "Un-06: -750 rpm";
    Line(drive, "analog-speed 0");
    drive.Advance(500ms);
    EXPECT_EQ(Read(drive, '6', 0xE4), 0);
    Line(drive, "di 10 on"); // Hn510 = SPD1
    EXPECT_EQ(Read(drive, '6', 0x78), 5461) << "Un-06";
    drive.Advance(2ms);
    EXPECT_GT(Read(drive, '9', 0xB6), 4096) << "Un-02 while accelerating";
    EXPECT_GT(Read(drive, '6', 0x7E), 4096) << "Un-18";
    drive.Advance(300ms);
    EXPECT_NEAR(Read(drive, '6', 0xE4), 5461, 30) << "Un-01";
    const int revolutions = Read(drive, '8', 0xBB); // Un-14, about 1000 rpm * 0.3 s
    EXPECT_GE(revolutions, 3);
    EXPECT_LE(revolutions, 5);
    const int feedbackHigh = Read(drive, '6', 0x88); // Un-08 in counts of 4 x 2500
    const int feedbackLow = Read(drive, '6', 0x89) & 0xFFFF;
    EXPECT_EQ((feedbackHigh << 16 | feedbackLow) / 10000, revolutions);
    EXPECT_NEAR(Read(drive, '6', 0xB7) * 502 / 1024.0, 310, 1) << "Un-10";
    EXPECT_EQ(Read(drive, '8', 0x44), 40) << "Un-19: Cn025 until a tuning run learns";
    EXPECT_GT(Read(drive, '6', 0x94), 4096) << "Un-05: the peak of the acceleration";
    // SPD1 and SPD2 together select Sn203 (default 300 rpm); braking shows a regenerative load.
    drive.Advance(2s);
    const int regenerativeBefore = Read(drive, '6', 0x91);
    Line(drive, "di 11 on");
    drive.Advance(300ms);
    EXPECT_NEAR(Read(drive, '6', 0xE4), 300 * 16384 / 3000, 30);
    EXPECT_GT(Read(drive, '6', 0x91), regenerativeBefore + 2) << "Un-03";
}

TEST(Machine, AlarmGoesIntoTheRingAndTheHistoryClearSequenceClearsAnEntry) {
    SimulatedDrive drive;
    drive.State().SetStoredWord(0x0A, 3);
    Line(drive, "servo on");
    ASSERT_EQ(Read(drive, '6', 0x66) & 1, 1);
    Line(drive, "alarm 5");
    EXPECT_EQ(Fetch(drive, 3), 5);
    EXPECT_EQ(Fetch(drive, 0x0A), 4) << "the pointer moves on";
    EXPECT_EQ(Read(drive, '5', 3), 5) << "live copy";
    EXPECT_EQ(Read(drive, '6', 0x60), 0x0010);
    EXPECT_EQ(Read(drive, '6', 0x66) & 1, 0) << "servo off";
    // The pointer wraps after entry 9.
    drive.State().SetStoredWord(0x0A, 9);
    Line(drive, "alarm 12");
    EXPECT_EQ(Fetch(drive, 9), 12);
    EXPECT_EQ(Fetch(drive, 0x0A), 0);
    // Clearing entry 3: store 0 at index 3, then the live word.
    Write(drive, '5', 0x71, 3);
    Write(drive, '5', 0x72, 0);
    Write(drive, '5', 0x70, 1);
    Write(drive, '5', 3, 0);
    EXPECT_EQ(Fetch(drive, 3), 0);
    EXPECT_EQ(Read(drive, '5', 3), 0);
    EXPECT_EQ(Fetch(drive, 9), 12) << "other entries stay";
    Line(drive, "alarm clear");
    EXPECT_EQ(Read(drive, '6', 0x60), 0);
    EXPECT_EQ(Read(drive, '6', 0x66) & 1, 0) << "the servo command was dropped by the alarm";
}

TEST(Machine, ContactsFollowTheContactParameters) {
    SimulatedDrive drive;
    Line(drive, "di 3 on");
    EXPECT_EQ(Read(drive, '6', 0xCB), 0x0004) << "dn-03 bit 2";
    // Outputs (active low): DO-1 RDY on, DO-2 ALM off, DO-3 ZS on, DO-4 INP off (servo off).
    EXPECT_EQ(Read(drive, '6', 0xAF), 0xFA);
    Line(drive, "di 1 on"); // Hn501 = SON, normally open
    EXPECT_EQ(Read(drive, '6', 0x66) & 1, 1);
    EXPECT_EQ(Read(drive, '6', 0xAF), 0xF2) << "INP on while holding position";
    Line(drive, "alarm 3");
    EXPECT_EQ(Read(drive, '6', 0xAF), 0xF9) << "RDY off, ALM on";
    Write(drive, '5', 0xF4, 0x0101); // Hn514: RDY, normally closed
    EXPECT_EQ(Read(drive, '6', 0xAF), 0xF8);
    // A normally closed SON contact turns the servo on while it is off.
    Line(drive, "alarm clear");
    Line(drive, "di 1 off");
    Write(drive, '5', 0xC0, 0x0101);
    EXPECT_EQ(Read(drive, '6', 0x66) & 1, 1);
}

// A restart is a power cycle: the stored parameters become live, the drive comes back with the
// servo off, no alarm, no JOG and the motor at rest, while what lies outside it (the wiring of
// its contacts, the analog voltage, the mechanics), its identity and its alarm history stay.
TEST(Machine, RestartIsAPowerCycle) {
    SimulatedDrive drive;
    drive.SetSoftwareVersion(301);
    const int cn001 = 0x10;
    // Cn001 = 1 (speed mode) stored through the mailbox, as a restart parameter is written.
    Write(drive, '5', 0x71, cn001);
    Write(drive, '5', 0x72, 1);
    Write(drive, '5', 0x70, 1);
    Line(drive, "analog-speed 5");
    Line(drive, "resonance 450");
    Line(drive, "di 4 on");
    Line(drive, "servo on");
    drive.Advance(500ms);
    EXPECT_EQ(Read(drive, '5', cn001), 2) << "stored only: the live copy keeps position mode";
    EXPECT_NEAR(drive.Machine().Machine().MotorSpeed(), 0, 1)
        << "no analog speed outside speed mode";
    Write(drive, '6', 0x3E, 1);
    Line(drive, "jog 500");
    drive.Advance(500ms);
    EXPECT_NEAR(drive.Machine().Machine().MotorSpeed(), 500, 5);
    Line(drive, "alarm 5");

    Line(drive, "restart");
    EXPECT_EQ(Read(drive, '5', cn001), 1);
    EXPECT_EQ(Read(drive, '6', 0x60), 0) << "no alarm";
    EXPECT_EQ(Read(drive, '6', 0x66) & 1, 0) << "servo off";
    EXPECT_EQ(Read(drive, '6', 0x3E), 0) << "JOG off";
    EXPECT_EQ(Read(drive, '6', 0xCB), 0x0008) << "DI-4 is still wired on";
    EXPECT_EQ(Read(drive, '5', 0xE2), 301) << "identity";
    EXPECT_EQ(Read(drive, '5', 0x00), 5) << "the alarm history";
    EXPECT_EQ(Fetch(drive, 0x0A), 1);
    EXPECT_EQ(drive.Machine().Machine().MotorSpeed(), 0);
    EXPECT_EQ(drive.Machine().Machine().Settings().resonanceHz, 450);
    drive.Advance(500ms);
    EXPECT_EQ(drive.Machine().Machine().MotorSpeed(), 0) << "the JOG speed went with the power";

    // Now in speed mode: servo on and the analog 5 V are half of Sn216 (N = 3000 rpm at 10 V).
    Line(drive, "servo on");
    drive.Advance(1s);
    EXPECT_NEAR(drive.Machine().Machine().MotorSpeed(), 1500, 5);
    EXPECT_NEAR(Read(drive, '6', 0xE4), 1500 * 16384 / 3000, 30) << "Un-01";
    EXPECT_FALSE(RunControlLine(drive, "restart now").ok);
}

TEST(Machine, BadControlLinesSayWhyAndChangeNothing) {
    SimulatedDrive drive;
    const MachineSettings before = drive.Machine().Machine().Settings();
    for (const char* line : {"di 14 on", "di 3", "di 2.5 on", "servo maybe", "alarm 16", "alarm 0",
                             "resonance 5", "load-inertia x", "damping", "spin 3"}) {
        const ControlReply reply = RunControlLine(drive, QString::fromLatin1(line));
        EXPECT_FALSE(reply.ok) << line;
        EXPECT_FALSE(reply.text.isEmpty()) << line;
    }
    EXPECT_EQ(RunControlLine(drive, "di 14 on").text.toStdString(),
              "di: a contact 1..13 and on or off expected, found \"di 14 on\"");
    EXPECT_EQ(Read(drive, '6', 0xCB), 0);
    EXPECT_EQ(Read(drive, '6', 0x60), 0);
    EXPECT_EQ(Fetch(drive, 0x0A), 0);
    EXPECT_EQ(drive.Machine().Machine().Settings().resonanceHz, before.resonanceHz);
    EXPECT_TRUE(RunControlLine(drive, "  RESONANCE   320 ").ok);
    EXPECT_EQ(drive.Machine().Machine().Settings().resonanceHz, 320);
    EXPECT_TRUE(RunControlLine(drive, "# a comment").ok);
}

} // namespace
