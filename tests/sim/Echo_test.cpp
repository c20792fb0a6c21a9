// The simulated drive as seen through an echoing converter, and the silence it reports before
// Modbus RTU requests.

#include "sim/ControlLines.h"
#include "sim/SimulatedDrive.h"
#include "support/SimTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace std::chrono_literals;
using simtest::Bytes;
using simtest::Text;

TEST(DriveEcho, EveryByteComesBackBeforeTheReplyEvenNoise) {
    SimulatedDrive drive;
    drive.setEcho(true);
    EXPECT_EQ(Text(drive.receive("R6CB0D")), "R6CB0D%0000E5");
    // Noise and a request in pieces come back as they arrive; the reply follows the last piece.
    EXPECT_EQ(Text(drive.receive("xR6C")), "xR6C");
    EXPECT_EQ(Text(drive.receive("B0D")), "B0D%0000E5");
    // The converter is not the drive: a drive that hung up still has its bytes handed back.
    drive.setHungUp(true);
    EXPECT_EQ(Text(drive.receive("R6CB0D")), "R6CB0D");
    drive.setEcho(false);
    drive.setHungUp(false);
    EXPECT_EQ(Text(drive.receive("R6CB0D")), "%0000E5");
}

TEST(DriveEcho, PacedCopyTakesTheRequestsWireTimeOnce) {
    SimulatedDrive drive;
    drive.setEcho(true);
    drive.setFaults({.latencyMs = 2, .pace = true, .baud = 10000});
    const auto replies = drive.process("R6CB0D");
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(Text(replies[0].bytes), "R6CB0D");
    EXPECT_EQ(replies[0].delay, 0us);
    EXPECT_EQ(replies[0].byteTime, 1000us);
    EXPECT_EQ(Text(replies[1].bytes), "%0000E5");
    EXPECT_EQ(replies[1].delay, 2ms) << "the copy already spent the request's 6 ms";
}

TEST(DriveEcho, StatusReportsTheSmallestSilenceBeforeAnRtuRequest) {
    SimulatedDrive drive({}, {true, 1, 7});
    drive.setFaults({.baud = 9600});
    EXPECT_FALSE(RunControlLine(drive, "status").text.contains("silence"));
    const QByteArray read = Bytes("01 03 00 00 00 01 84 0A");
    drive.noteSilence(5000us);
    drive.receive(read);
    drive.noteSilence(900us); // before a command frame: not an RTU request
    drive.receive("R6CB0D");
    drive.noteSilence(4200us);
    drive.receive(read);
    drive.noteSilence(8000us);
    drive.receive(read);
    EXPECT_EQ(drive.smallestRtuSilence(), 4200us);
    // 4.2 ms at 9600 bit/s with 11 bits a character.
    EXPECT_TRUE(RunControlLine(drive, "status")
                    .text.endsWith(", smallest RTU silence 4.200 ms (3.67 characters)"))
        << RunControlLine(drive, "status").text.toStdString();
}

} // namespace
