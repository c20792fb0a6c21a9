// Drive value access (words by page and location, the parameter mailbox, Modbus parameter reads)
// against the simulated drive on an in-memory port, with every request recorded.

#include "drive/ParameterCatalogue.h"
#include "link/DriveAccess.h"
#include "link/MemorySerialBackend.h"
#include "link/ModbusLink.h"
#include "sim/MemoryPortDrive.h"
#include "sim/SimulatedDrive.h"
#include "support/SimTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

namespace {

using simtest::Cmd;

class DriveAccessTest : public ::testing::Test {
protected:
    explicit DriveAccessTest(DriveLinkOptions options = {}) : drive({}, options) {
        AttachToMemoryPort(drive, *port);
        EXPECT_EQ(link.Open(QStringLiteral("/dev/sim")), 0u);
        settings.RS485Port = options.rs485;
        settings.StationID = options.station;
        settings.FrameFormat = options.frameFormat;
        settings.AsciiMode = options.AsciiMode();
        access.AssumeLinkUp();
    }

    QStringList Requests() const { return drive.RequestLog(); }

    SimulatedDrive drive;
    MemorySerialBackend* port = new MemorySerialBackend;
    ModbusLink link{std::unique_ptr<SerialBackend>(port)};
    LinkSettings settings;
    DriveProfile profile;
    DriveAccess access{link, settings, profile};
};

TEST_F(DriveAccessTest, NothingIsSentWhileTheLinkIsDown) {
    access.DropLink();
    access.LastValue = 7;
    EXPECT_FALSE(access.ReadDriveWord('5', 0x10));
    EXPECT_FALSE(access.WriteDriveWord('5', 0x10, 1, true));
    EXPECT_EQ(access.QueryServoState(), 0);
    EXPECT_FALSE(access.ReadParameterModbus({'C', 1}, false));
    EXPECT_FALSE(access.FetchParameter(0x10));
    EXPECT_FALSE(access.StoreParameter(0x10, 1));
    int32_t word = 0;
    EXPECT_FALSE(access.ReadSignedWord('5', 0x10, &word));
    EXPECT_FALSE(access.WriteParameterModbus({'C', 1}, 1, false));
    EXPECT_TRUE(port->Writes().empty());
    EXPECT_EQ(access.LastValue, 7);
}

TEST_F(DriveAccessTest, WordsAreUnsignedExceptAtTheConvertedLocations) {
    drive.SetWord('7', 0x20, 0xFFFF);
    ASSERT_TRUE(access.ReadDriveWord('7', 0x20));
    EXPECT_EQ(access.LastValue, 65535);
    // Page 5 0x36 is internal speed command 1: -5461 raw is -1000 rpm at N = 3000.
    drive.SetWord('5', 0x36, static_cast<uint16_t>(-5461));
    ASSERT_TRUE(access.ReadDriveWord('5', 0x36));
    EXPECT_EQ(access.LastValue, -1000);
    // Page 6 0xE4 is the motor speed feedback, converted as a speed.
    drive.SetWord('6', 0xE4, 5461);
    ASSERT_TRUE(access.ReadDriveWord('6', 0xE4));
    EXPECT_EQ(access.LastValue, 1000);
    EXPECT_EQ(Requests(), (QStringList{Cmd("R720"), Cmd("R536"), Cmd("R6E4")}));
}

TEST_F(DriveAccessTest, WritesGoThroughTheMailboxWhenStoredOrOnPageZero) {
    // Cn001 lives at 0x10: the mailbox, then the live write.
    ASSERT_TRUE(access.WriteDriveWord('5', 0x10, 3, true));
    EXPECT_EQ(Requests(), (QStringList{Cmd("W5710010"), Cmd("W5720003"), Cmd("W5700001"),
                                       Cmd("W5100003"), Cmd("W5100003")}));
    EXPECT_EQ(drive.State().StoredRaw('C', 1), 3);
    EXPECT_EQ(drive.State().LiveRaw('C', 1), 3);

    drive.ClearRequestLog();
    ASSERT_TRUE(access.WriteDriveWord(0, 0x10, 4, false));
    EXPECT_EQ(Requests(),
              (QStringList{Cmd("W5710010"), Cmd("W5720004"), Cmd("W5700001"), Cmd("W5100004")}));

    // A converted location takes the codec: JOG speed -1000 rpm is -5461.
    drive.ClearRequestLog();
    ASSERT_TRUE(access.WriteDriveWord('6', 0x0B, -1000, false));
    EXPECT_EQ(Requests(), (QStringList{Cmd("W60BEAAB")}));
}

TEST_F(DriveAccessTest, FetchReadsTheStoredParameterThroughTheMailbox) {
    const int index = ParameterIndexOf({'C', 30});
    ASSERT_TRUE(access.FetchParameter(index));
    EXPECT_EQ(access.LastValue, 0x0121);
    EXPECT_EQ(Requests(), (QStringList{Cmd("W573000B"), Cmd("W5700002"), Cmd("R574")}));
    // A negative word comes back signed for the caller's conversion.
    ASSERT_TRUE(access.StoreParameter(ParameterIndexOf({'C', 11}), -12288));
    ASSERT_TRUE(access.FetchParameter(ParameterIndexOf({'C', 11})));
    EXPECT_EQ(access.LastValue, -12288);
    EXPECT_EQ(RawToDisplay({'C', 11}, access.LastValue, 3000), -300);
}

TEST_F(DriveAccessTest, StoreStopsAtTheFirstUnacknowledgedStep) {
    FaultSettings faults;
    faults.refuse = 1.0;
    drive.SetFaults(faults);
    EXPECT_FALSE(access.StoreParameter(0x10, 1));
    // The first step is tried three times and nothing after it.
    EXPECT_EQ(Requests(), (QStringList{Cmd("W5710010"), Cmd("W5710010"), Cmd("W5710010")}));
}

TEST_F(DriveAccessTest, ServoStateAndProbe) {
    drive.SetWord('A', 0x98, 2);
    EXPECT_EQ(access.QueryServoState(), 2);
    drive.SetWord('A', 0x98, 5);
    EXPECT_EQ(access.QueryServoState(), 1);
    access.DropLink();
    drive.SetInputContacts(0x1234);
    int32_t dn03 = 0;
    ASSERT_TRUE(access.Probe(&dn03));
    EXPECT_EQ(dn03, 0x1234);
    EXPECT_TRUE(access.LinkUp());
}

class DriveAccessModbusTest : public DriveAccessTest, public ::testing::WithParamInterface<int> {
protected:
    DriveAccessModbusTest() : DriveAccessTest(DriveLinkOptions{true, 5, GetParam()}) {}
};

TEST_P(DriveAccessModbusTest, ReadsAParameterByItsRegisterAndConverts) {
    ASSERT_TRUE(access.ReadParameterModbus({'C', 30}, settings.AsciiMode));
    EXPECT_EQ(access.LastValue, 0x0121);
    ASSERT_TRUE(access.StoreParameter(ParameterIndexOf({'C', 11}), -12288));
    ASSERT_TRUE(access.WriteDriveWord('5', ParameterIndexOf({'C', 11}), -12288, false));
    ASSERT_TRUE(access.ReadParameterModbus({'C', 11}, settings.AsciiMode));
    EXPECT_EQ(access.LastValue, -300);
    // A register outside the map: an exception reply, so no value.
    access.LastValue = 9;
    EXPECT_FALSE(access.ReadParameterModbus({'P', 70}, settings.AsciiMode));
    EXPECT_EQ(access.LastValue, 9);
}

TEST_P(DriveAccessModbusTest, LostOrCorruptRepliesAreTriedAgainButExceptionsAreNot) {
    int spoil = 0; // replies still to lose or damage
    bool damage = false;
    port->SetResponder([&](QByteArrayView written) {
        QByteArray reply = drive.Receive(written);
        if (spoil > 0 && !reply.isEmpty()) {
            --spoil;
            if (!damage)
                return QByteArray();
            const qsizetype at = reply.size() - (settings.AsciiMode ? 3 : 1); // a check digit
            reply[at] = static_cast<char>(reply[at] == '0' ? '1' : '0');
        }
        return reply;
    });
    spoil = 2;
    ASSERT_TRUE(access.ReadParameterModbus({'C', 30}, settings.AsciiMode));
    EXPECT_EQ(access.LastValue, 0x0121);
    EXPECT_EQ(port->Writes().size(), 3);
    damage = true;
    spoil = 2;
    EXPECT_TRUE(access.WriteParameterModbus({'C', 11}, 77, settings.AsciiMode));
    EXPECT_EQ(port->Writes().size(), 6);
    spoil = 3;
    EXPECT_FALSE(access.ReadParameterModbus({'C', 11}, settings.AsciiMode));
    EXPECT_EQ(port->Writes().size(), 9);
    EXPECT_FALSE(access.ReadParameterModbus({'P', 70}, settings.AsciiMode)); // exception: once
    EXPECT_EQ(port->Writes().size(), 10);
}

TEST_P(DriveAccessModbusTest, AShortReplyWithAGoodCheckValueGivesNoValue) {
    ASSERT_TRUE(access.ReadParameterModbus({'C', 30}, settings.AsciiMode));
    // A sound frame too short to hold a register: ASCII ":0000" CR LF, RTU one byte and its CRC.
    const QByteArray shortReply =
        settings.AsciiMode ? QByteArray(":0000\r\n") : QByteArray("\x01\x7E\x80", 3);
    port->SetResponder([&shortReply](QByteArrayView) { return shortReply; });
    access.LastValue = 9;
    EXPECT_FALSE(access.ReadParameterModbus({'C', 30}, settings.AsciiMode));
    EXPECT_EQ(access.LastValue, 9);
}

INSTANTIATE_TEST_SUITE_P(AsciiAndRtu, DriveAccessModbusTest, ::testing::Values(0, 6));

// A silent drive gets its three attempts and keeps the link for the probe to judge; a device that
// is gone under the port gets one attempt, and the link goes down at once.
TEST_F(DriveAccessTest, GoneDeviceEndsTheExchangeAfterOneAttemptAndDropsTheLink) {
    port->SetResponder({});
    EXPECT_FALSE(access.ReadDriveWord('7', 0x20));
    EXPECT_EQ(port->Writes().size(), 3);
    EXPECT_TRUE(access.LinkUp());

    port->readError = ENXIO;
    EXPECT_FALSE(access.WriteDriveWord('7', 0x20, 1, false));
    EXPECT_EQ(port->Writes().size(), 4);
    EXPECT_FALSE(access.LinkUp());
}

} // namespace
