// The simulated drive's command protocol: status words, parameter words at their raw defaults,
// the page-'5' mailbox, the long forms and every refusal.

#include "sim/SimulatedDrive.h"
#include "support/SimTestSupport.h"

#include <gtest/gtest.h>

namespace {

using simtest::Cmd;
using simtest::Text;

// Reads one word through the protocol; the reply must be a good read reply.
std::string Read(SimulatedDrive& drive, const std::string& pageAndLocation) {
    return Text(drive.Receive(Cmd("R" + pageAndLocation)));
}

std::string Write(SimulatedDrive& drive, const std::string& pageLocationValue) {
    return Text(drive.Receive(Cmd("W" + pageLocationValue)));
}

// Mailbox fetch of one parameter index (two hex digits): the reply to the read of 0x74.
std::string Fetch(SimulatedDrive& drive, const std::string& index) {
    EXPECT_EQ(Write(drive, "57300" + index), "%");
    EXPECT_EQ(Write(drive, "5700002"), "%");
    return Read(drive, "574");
}

void Store(SimulatedDrive& drive, const std::string& index, const std::string& value) {
    EXPECT_EQ(Write(drive, "57100" + index), "%");
    EXPECT_EQ(Write(drive, "572" + value), "%");
    EXPECT_EQ(Write(drive, "5700001"), "%");
}

TEST(CommandProtocol, IdentificationProbeIsAnsweredWithTheInputContacts) {
    SimulatedDrive drive;
    EXPECT_EQ(Text(drive.Receive("R6CB0D")), "%0000E5");
    drive.SetInputContacts(0x1234);
    EXPECT_EQ(Text(drive.Receive("R6CB0D")), "%1234EF");
}

TEST(CommandProtocol, StatusWordsThePollReads) {
    SimulatedDrive drive;
    struct Case {
        const char* address;
        const char* before; // at power-up
        const char* after;  // after the setters below
    } cases[] = {
        {"510", "0002", "0002"}, // control mode: Cn001's live copy
        {"666", "0000", "0001"}, // servo on, bit 0
        {"5E2", "0102", "012D"}, // software version 258, then 301
        {"50C", "0121", "0222"}, // model code (Cn030 at 0x0B keeps its stored value)
        {"547", "0BB8", "07D0"}, // maximum motor speed 3000, then 2000
        {"660", "0000", "8006"}, // alarm word
    };
    for (const Case& c : cases)
        EXPECT_EQ(Read(drive, c.address), Text(Cmd(std::string("%") + c.before))) << c.address;
    drive.SetServoOn(true);
    drive.SetSoftwareVersion(301);
    drive.SetModelCode(0x222);
    drive.SetMaxSpeed(2000);
    drive.SetAlarm(0x8006);
    for (const Case& c : cases)
        EXPECT_EQ(Read(drive, c.address), Text(Cmd(std::string("%") + c.after))) << c.address;
    drive.SetServoOn(false);
    EXPECT_EQ(Read(drive, "666"), Text(Cmd("%0000")));
}

TEST(CommandProtocol, LiveParameterWordsStartAtTheirRawDefaults) {
    // Each default worked out by hand from the display default and its conversion at N = 3000.
    SimulatedDrive drive;
    struct Case {
        const char* address;
        const char* word;
        const char* why;
    } cases[] = {
        {"50B", "0121", "Cn030: the model code"},
        {"513", "09C4", "Cn005: 2500 encoder pulses of model 0x121"},
        {"515", "1555", "Cn007: N / 3 = 1000 rpm, x 16384 / 3000 = 5461"},
        {"533", "0C31", "Sn216: N rpm/10V -> 67108864 / 21504 = 3121"},
        {"599", "4148", "Sn218: N x 1.02 = 3060 rpm -> 16712"},
        {"552", "0000", "Pn307 high half"},
        {"553", "000A", "Pn307 low half: 10"},
        {"556", "0007", "Pn308 high half of 500000"},
        {"557", "A120", "Pn308 low half"},
        {"558", "FFF8", "Pn309 high half of -500000"},
        {"559", "5EE0", "Pn309 low half"},
        {"5C3", "0104", "Hn504: 0x104"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Read(drive, c.address), Text(Cmd(std::string("%") + c.word))) << c.why;
}

TEST(CommandProtocol, MailboxFetchReadsTheStoredCopy) {
    SimulatedDrive drive;
    // Cn030's index is 0x0B: the literal exchange a whole-set read makes.
    EXPECT_EQ(Text(drive.Receive("W573000BC8")), "%");
    EXPECT_EQ(Text(drive.Receive("W5700002")), ""); // incomplete: no checksum yet
    EXPECT_EQ(Text(drive.Receive("B5")), "%");
    EXPECT_EQ(Text(drive.Receive("R574F2")), "%0121E9");
    // The command word is cleared once the command has run.
    EXPECT_EQ(Read(drive, "570"), Text(Cmd("%0000")));
    EXPECT_EQ(Fetch(drive, "53"), Text(Cmd("%000A")));
}

TEST(CommandProtocol, StoreChangesTheStoredCopyOnlyUntilRestart) {
    SimulatedDrive drive;
    Store(drive, "10", "0003"); // Cn001, control mode 3
    EXPECT_EQ(Fetch(drive, "10"), Text(Cmd("%0003")));
    EXPECT_EQ(drive.State().StoredRaw('C', 1), 3);
    EXPECT_EQ(Read(drive, "510"), Text(Cmd("%0002"))) << "a store must not touch the live copy";
    drive.State().Restart();
    EXPECT_EQ(Read(drive, "510"), Text(Cmd("%0003")));

    // A live write alone is lost at the next restart.
    EXPECT_EQ(Write(drive, "5100004"), "%");
    EXPECT_EQ(Read(drive, "510"), Text(Cmd("%0004")));
    drive.State().Restart();
    EXPECT_EQ(Read(drive, "510"), Text(Cmd("%0003")));
}

TEST(CommandProtocol, TwoRegisterParameterIsStoredAsTwoHalves) {
    SimulatedDrive drive;
    // Pn308 = 12345.6 pulses: raw 123456 = 0x0001E240, high half at 0x56, low half at 0x57.
    Store(drive, "56", "0001");
    Store(drive, "57", "E240");
    EXPECT_EQ(drive.State().StoredRaw('P', 8), 123456);
    EXPECT_EQ(Fetch(drive, "56"), Text(Cmd("%0001")));
    EXPECT_EQ(Fetch(drive, "57"), Text(Cmd("%E240")));
    // The neighbours are untouched.
    EXPECT_EQ(drive.State().StoredRaw('P', 7), 10);
    EXPECT_EQ(drive.State().StoredRaw('P', 9), -500000);
}

TEST(CommandProtocol, QuickParametersAreTheWordsOfTheirTwins) {
    SimulatedDrive drive;
    Store(drive, "5A", "0064"); // Pn310 = qn405
    EXPECT_EQ(drive.State().StoredRaw('q', 5), 100);
    EXPECT_EQ(drive.State().StoredRaw('P', 10), 100);
    EXPECT_EQ(Write(drive, "5300050"), "%"); // Sn211 = qn401, live
    EXPECT_EQ(drive.State().LiveRaw('q', 1), 0x50);
}

TEST(CommandProtocol, LongFormsCarryTwoWordsHighHalfFirst) {
    SimulatedDrive drive;
    EXPECT_EQ(Text(drive.Receive(Cmd("L556"))), "%0007A120C0");
    EXPECT_EQ(Text(drive.Receive(Cmd("M556000186A0"))), "%");
    EXPECT_EQ(Read(drive, "556"), Text(Cmd("%0001")));
    EXPECT_EQ(Read(drive, "557"), Text(Cmd("%86A0")));
    EXPECT_EQ(drive.State().LiveRaw('P', 8), 100000);
}

TEST(CommandProtocol, RefusesWhatItCannotCarryOut) {
    const std::pair<QByteArray, const char*> cases[] = {
        {"R6CB0E", "checksum off by one"},
        {"R6CBD0", "checksum digits swapped"},
        {Cmd("RGCB"), "page G does not exist"},
        {Cmd("RaCB"), "page characters are upper case"},
        {Cmd("R6CX"), "location is not hexadecimal"},
        {Cmd("W5100XY3"), "value is not hexadecimal"},
        {Cmd("L5FF"), "long read past the end of the page"},
        {Cmd("M5FF00000001"), "long write past the end of the page"},
    };
    for (const auto& [frame, what] : cases) {
        SimulatedDrive drive;
        EXPECT_EQ(Text(drive.Receive(frame)), "!") << what;
        EXPECT_EQ(drive.State().Word(5, 0x10), 2) << what;
    }
}

TEST(CommandProtocol, MailboxRefusesIndicesWithoutParameter) {
    SimulatedDrive drive;
    // 0x0C holds the model code, not a parameter; 0x100 is off the page.
    EXPECT_EQ(Write(drive, "571000C"), "%");
    EXPECT_EQ(Write(drive, "5720005"), "%");
    EXPECT_EQ(Write(drive, "5700001"), "!");
    EXPECT_EQ(drive.State().StoredWord(0x0C), 0);
    EXPECT_EQ(Write(drive, "5730100"), "%");
    EXPECT_EQ(Write(drive, "5700002"), "!");
    // Other command values are kept and do nothing.
    EXPECT_EQ(Write(drive, "5700007"), "%");
    EXPECT_EQ(Read(drive, "570"), Text(Cmd("%0007")));
}

} // namespace
