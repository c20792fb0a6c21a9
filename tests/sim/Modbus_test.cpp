// The simulated drive on RS-485: Modbus ASCII and RTU replies byte for byte, exceptions, the
// register map and what a Modbus write does to the parameters. The check values of the
// expected frames come from the published Modbus examples and from pymodbus's computeCRC and
// computeLRC, not from the code under test.

#include "sim/ModbusSlave.h"
#include "sim/SimulatedDrive.h"
#include "support/SimTestSupport.h"

#include <gtest/gtest.h>

namespace {

using simtest::Ascii;
using simtest::Bytes;
using simtest::HexText;
using simtest::Text;

DriveLinkOptions Rs485(int frameFormat, int station = 1) {
    return DriveLinkOptions{true, station, frameFormat};
}

constexpr int kAsciiFormat = 3; // 8 data bits, no parity, 2 stop bits, ASCII
constexpr int kRtuFormat = 6;   // 8 data bits, no parity, 2 stop bits, RTU

TEST(ModbusCheckValues, PublishedExamples) {
    // The read-holding-registers example of the Modbus serial line guide: station 0x11,
    // registers 0x006B.. count 3.
    const QByteArray pdu = Bytes("03 00 6B 00 03");
    EXPECT_EQ(HexText(RtuFrame(0x11, pdu)), "11 03 00 6B 00 03 76 87");
    EXPECT_EQ(Text(AsciiFrame(0x11, pdu)), ":1103006B00037E\r\n");
    EXPECT_TRUE(HasGoodCrc(Bytes("11 03 00 6B 00 03 76 87")));
    EXPECT_FALSE(HasGoodCrc(Bytes("11 03 00 6B 00 03 87 76")));
    QByteArray decoded;
    ASSERT_TRUE(DecodeAsciiFrame(":1103006B00037E\r\n", &decoded));
    EXPECT_EQ(HexText(decoded), "11 03 00 6B 00 03");
    EXPECT_FALSE(DecodeAsciiFrame(":1103006B00037F\r\n", &decoded));
}

struct Exchange {
    const char* rtuRequest;
    const char* rtuReply;
    const char* asciiRequest; // without CR LF
    const char* asciiReply;
    const char* what;
};

// Station 1, power-up state.
const Exchange kExchanges[] = {
    {"01 03 00 00 00 01 84 0A", "01 03 02 01 21 79 CC", ":010300000001FB", ":0103020121D8",
     "register 0 answers the model code"},
    {"01 03 01 05 00 01 95 F7", "01 03 02 02 22 39 3D", ":010301050001F5", ":0103020222D6",
     "Tn105: 100 rpm as raw 546"},
    {"01 03 03 07 00 01 35 8F", "01 03 02 00 0A 38 43", ":010303070001F1", ":010302000AF0",
     "Pn307: the low half"},
    {"01 03 00 00 00 02 C4 0B", "01 03 04 01 21 00 02 2A 04", ":010300000002FA",
     ":01030401210002D4", "two registers: model code, then Cn001"},
    {"01 06 01 05 02 58 98 AD", "01 06 01 05 02 58 98 AD", ":01060105025899", ":01060105025899",
     "06 echoes the request"},
    {"01 08 00 00 12 34 ED 7C", "01 08 00 00 12 34 ED 7C", ":010800001234B1", ":010800001234B1",
     "08 sub-function 0 echoes"},
    {"01 10 03 01 00 02 04 00 11 00 07 37 54", "01 10 03 01 00 02 10 4C",
     ":0110030100020400110007CD", ":011003010002E9", "16 answers start and count"},
    {"01 03 03 46 00 01 65 9B", "01 83 02 C0 F1", ":010303460001B2", ":0183027A",
     "Pn370 does not exist: illegal address"},
    {"01 06 06 01 00 00 D8 82", "01 86 02 C3 A1", ":010606010000F2", ":01860277",
     "monitor registers are read-only"},
    {"01 03 00 00 00 7E C5 EA", "01 83 03 01 31", ":01030000007E7E", ":01830379",
     "126 registers are too many: illegal data value"},
    {"01 10 03 01 00 02 03 00 11 00 C9 03", "01 90 03 0C 01", ":01100301000203001100D5",
     ":0190036C", "byte count does not match the count"},
    {"01 08 00 01 00 00 B1 CB", "01 88 01 87 C0", ":010800010000F6", ":01880176",
     "diagnostics sub-function 1 is not supported"},
    {"01 2B 0E 01 00 70 77", "01 AB 01 9E F0", ":012B0E0100C5", ":01AB0153",
     "unknown function: illegal function"},
};

TEST(ModbusRtu, RepliesByteForByte) {
    for (const Exchange& e : kExchanges) {
        SimulatedDrive drive({}, Rs485(kRtuFormat));
        EXPECT_EQ(HexText(drive.Receive(Bytes(e.rtuRequest))), e.rtuReply) << e.what;
    }
}

TEST(ModbusAscii, RepliesByteForByte) {
    for (const Exchange& e : kExchanges) {
        SimulatedDrive drive({}, Rs485(kAsciiFormat));
        EXPECT_EQ(Text(drive.Receive(Ascii(e.asciiRequest))), Text(Ascii(e.asciiReply))) << e.what;
    }
}

TEST(ModbusRtu, AnswersOnlyItsOwnStation) {
    SimulatedDrive drive({}, Rs485(kRtuFormat, 5));
    EXPECT_EQ(HexText(drive.Receive(Bytes("01 03 00 00 00 01 84 0A"))), "");
    EXPECT_EQ(HexText(drive.Receive(Bytes("05 03 00 00 00 01 85 8E"))), "05 03 02 01 21 88 0C");
    EXPECT_EQ(drive.RequestLog(),
              (QStringList{"01 03 00 00 00 01 84 0A", "05 03 00 00 00 01 85 8E"}));
    EXPECT_EQ(drive.Counts().ignored, 1u);
}

TEST(ModbusFraming, CorruptFramesAreIgnored) {
    struct Case {
        int format;
        QByteArray request;
        const char* what;
    } cases[] = {
        {kRtuFormat, Bytes("01 03 00 00 00 01 84 0B"), "RTU CRC high byte off by one"},
        {kRtuFormat, Bytes("01 03 00 00 00 02 84 0A"), "RTU data changed under its CRC"},
        {kAsciiFormat, Ascii(":010300000001FC"), "ASCII LRC off by one"},
        {kAsciiFormat, Ascii(":010300000001fb"), "ASCII lower-case digits"},
        {kAsciiFormat, Ascii(":01030000001FB"), "ASCII odd number of digits"},
        {kAsciiFormat, QByteArray(":010300000001FB\n"), "ASCII without CR"},
    };
    for (const Case& c : cases) {
        SimulatedDrive drive({}, Rs485(c.format));
        EXPECT_EQ(drive.Receive(c.request), QByteArray()) << c.what;
        // ...and the drive still answers the next good request.
        const QByteArray good =
            c.format == kRtuFormat ? Bytes("01 03 00 00 00 01 84 0A") : Ascii(":010300000001FB");
        EXPECT_FALSE(drive.Receive(good).isEmpty()) << c.what;
    }
}

TEST(ModbusFraming, CommandProtocolStillWorksOnRs485) {
    for (const int format : {kAsciiFormat, kRtuFormat}) {
        SimulatedDrive drive({}, Rs485(format));
        EXPECT_EQ(Text(drive.Receive("R6CB0D")), "%0000E5") << format;
    }
}

TEST(ModbusRegisters, WritesAreLiveAndStoredAlsoForHalvesAndQuickTwins) {
    SimulatedDrive drive({}, Rs485(kRtuFormat));
    // 06 Tn105 := 600 (0x0258).
    ASSERT_FALSE(drive.Receive(Bytes("01 06 01 05 02 58 98 AD")).isEmpty());
    EXPECT_EQ(drive.State().LiveRaw('T', 5), 600);
    EXPECT_EQ(drive.State().StoredRaw('T', 5), 600);
    // 16 Pn301, Pn302 := 0x11, 7.
    ASSERT_FALSE(drive.Receive(Bytes("01 10 03 01 00 02 04 00 11 00 07 37 54")).isEmpty());
    EXPECT_EQ(drive.State().StoredRaw('P', 1), 0x11);
    EXPECT_EQ(drive.State().LiveRaw('P', 2), 7);
    drive.State().Restart();
    EXPECT_EQ(drive.State().LiveRaw('P', 1), 0x11);

    // Pn308 register 0x308 := 0x1234 sets the low half; the high half 0x0007 stays.
    EXPECT_EQ(HexText(drive.Receive(Bytes("01 06 03 08 12 34 05 3B"))), "01 06 03 08 12 34 05 3B");
    EXPECT_EQ(drive.State().StoredRaw('P', 8), 0x00071234);
    EXPECT_EQ(drive.State().LiveRaw('P', 8), 0x00071234);
    // qn405 (0x405) := 80 is Pn310.
    ASSERT_FALSE(drive.Receive(Bytes("01 06 04 05 00 50 98 C7")).isEmpty());
    EXPECT_EQ(drive.State().StoredRaw('P', 10), 80);
    EXPECT_EQ(drive.State().LiveRaw('P', 10), 80);
}

TEST(ModbusRegisters, MonitorRegistersReadTheirPages) {
    SimulatedDrive drive({}, Rs485(kRtuFormat));
    drive.SetWord('6', 0xE4, 1234); // Un-01, motor speed
    EXPECT_EQ(HexText(drive.Receive(Bytes("01 03 06 01 00 01 D5 42"))), "01 03 02 04 D2 3A D9");

    struct Case {
        int reg;
        char page;
        int location;
    } cases[] = {
        {0x602, '9', 0xB6},                     // Un-02 on page '9'
        {0x603, '6', 0x91}, {0x607, '6', 0x5D}, // Un-07 two words: the low half
        {0x608, '6', 0x89}, {0x60E, '8', 0xBB}, // Un-14 on page '8'
        {0x613, '8', 0x44},
    };
    for (const Case& c : cases) {
        drive.SetWord(c.page, c.location, static_cast<uint16_t>(0x4000 + c.reg));
        EXPECT_EQ(drive.State().ReadRegister(c.reg), 0x4000 + c.reg) << std::hex << c.reg;
        EXPECT_FALSE(drive.State().IsWritableRegister(c.reg)) << std::hex << c.reg;
    }
    EXPECT_FALSE(drive.State().ReadRegister(0x614).has_value());
    EXPECT_FALSE(drive.State().ReadRegister(0x600).has_value());
}

TEST(ModbusRegisters, MapCoversEveryParameterAndNothingElse) {
    const DriveState state;
    struct Group {
        int base;
        int count;
    } groups[] = {{0x000, 40}, {0x100, 8}, {0x200, 18}, {0x300, 69}, {0x400, 7}, {0x500, 19}};
    int writable = 0;
    for (const Group& g : groups) {
        for (int n = 0; n <= 0xFF; ++n) {
            const bool exists = n >= 1 && n <= g.count;
            EXPECT_EQ(state.IsWritableRegister(g.base + n), exists) << std::hex << g.base + n;
            writable += state.IsWritableRegister(g.base + n) ? 1 : 0;
        }
    }
    EXPECT_EQ(writable, 161);
    EXPECT_FALSE(state.ReadRegister(0x700).has_value());
    EXPECT_FALSE(state.ReadRegister(0xFFFF).has_value());
}

} // namespace
