// Cutting the byte stream into requests: fragments, several requests at once, line noise and
// the resynchronisation after it.

#include "sim/SimulatedDrive.h"
#include "support/SimTestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using simtest::Ascii;
using simtest::Bytes;
using simtest::Cmd;
using simtest::HexText;
using simtest::Text;

DriveLinkOptions Link(bool rs485, int frameFormat) {
    return DriveLinkOptions{rs485, 1, frameFormat};
}

struct Mode {
    const char* name;
    DriveLinkOptions link;
    QByteArray request;
    QByteArray reply;
};

const Mode kModes[] = {
    {"RS-232 command", Link(false, 0), "R6CB0D", "%0000E5"},
    {"Modbus ASCII", Link(true, 0), Ascii(":010300000001FB"), Ascii(":0103020121D8")},
    {"Modbus RTU", Link(true, 8), Bytes("01 03 00 00 00 01 84 0A"), Bytes("01 03 02 01 21 79 CC")},
};

TEST(RequestFraming, ARequestArrivingByteByByteIsAnsweredOnItsLastByte) {
    for (const Mode& m : kModes) {
        SimulatedDrive drive({}, m.link);
        QByteArray replies;
        for (qsizetype i = 0; i < m.request.size(); ++i) {
            const QByteArray reply = drive.Receive(m.request.sliced(i, 1));
            if (i + 1 < m.request.size()) {
                EXPECT_TRUE(reply.isEmpty()) << m.name << " byte " << i;
            }
            replies += reply;
        }
        EXPECT_EQ(replies, m.reply) << m.name;
    }
}

TEST(RequestFraming, SeveralRequestsInOneWriteAreAnsweredInOrder) {
    SimulatedDrive drive({}, Link(true, 6));
    const QByteArray burst =
        Cmd("W7CE0001") + Bytes("01 03 00 00 00 01 84 0A") + QByteArray("R6CB0D");
    EXPECT_EQ(HexText(drive.Receive(burst)),
              HexText("%" + Bytes("01 03 02 01 21 79 CC") + QByteArray("%0000E5")));
    EXPECT_EQ(drive.RequestLog(),
              (QStringList{Cmd("W7CE0001"), "01 03 00 00 00 01 84 0A", "R6CB0D"}));
}

TEST(RequestFraming, NoiseBeforeARequestIsSkipped) {
    struct Case {
        Mode mode;
        QByteArray noise;
        const char* what;
    } cases[] = {
        {kModes[0], "\r\nxyz", "line ends and letters"},
        {kModes[0], "W57", "the start of a write cut off"},
        {kModes[0], "R6", "the start of a read cut off"},
        {kModes[1], ":0103", "the start of an ASCII frame cut off"},
        {kModes[1], "garbage\r\n", "text"},
        {kModes[2], Bytes("01 03 00"), "the start of an RTU frame cut off"},
        {kModes[2], Bytes("01 10 00 00 00 05 0A"), "a write announcing ten data bytes"},
        {kModes[2], Bytes("01 45"), "a function without a fixed length"},
        {kModes[2], Bytes("02 03 00 00 00 01 84 39"), "a whole frame for another station"},
    };
    for (const Case& c : cases) {
        SimulatedDrive drive({}, c.mode.link);
        EXPECT_EQ(drive.Receive(c.noise), QByteArray()) << c.what;
        EXPECT_EQ(drive.Receive(c.mode.request), c.mode.reply) << c.what;
    }
}

TEST(RequestFraming, LineIdleDiscardsAnUnfinishedRequest) {
    SimulatedDrive drive;
    EXPECT_EQ(drive.Receive("R6C"), QByteArray());
    EXPECT_TRUE(drive.HasPendingBytes());
    drive.LineIdle();
    EXPECT_FALSE(drive.HasPendingBytes());
    EXPECT_EQ(drive.Receive("B0D"), QByteArray()) << "the tail alone is no request";
    EXPECT_EQ(drive.Receive("R6CB0D"), QByteArray("%0000E5"));
}

// Random bytes for a good while, in random pieces; then a request must get its exact reply.
TEST(RequestFraming, SurvivesRandomNoise) {
    for (const Mode& m : kModes) {
        for (const uint32_t seed : {1u, 2u, 3u}) {
            SimulatedDrive drive({}, m.link);
            std::mt19937 random(seed);
            for (int sent = 0; sent < 20000;) {
                QByteArray piece(static_cast<qsizetype>(1 + random() % 32), '\0');
                for (char& b : piece)
                    b = static_cast<char>(random() & 0xFF);
                drive.Receive(piece);
                sent += static_cast<int>(piece.size());
            }
            EXPECT_EQ(drive.Receive(m.request), m.reply) << m.name << " seed " << seed;
            EXPECT_GT(drive.Counts().noiseBytes, 10000u) << m.name << " seed " << seed;
        }
    }
}

TEST(RequestFraming, PrintableNoiseThatFormsACommandIsRefused) {
    SimulatedDrive drive;
    // Nine printable characters after a command letter make a complete frame with a wrong
    // checksum: refused, not silently taken.
    EXPECT_EQ(drive.Receive("Wabcdefghi"), QByteArray("!"));
    EXPECT_EQ(drive.Receive("R6CB0D"), QByteArray("%0000E5"));
}

} // namespace
