// The simulated drive as seen through an echoing converter (its silence report is checked with
// orvan-cli over the terminal).

#include "sim/SimulatedDrive.h"
#include "support/SimTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using simtest::Text;

TEST(DriveEcho, EveryByteComesBackBeforeTheReplyHungUpOrNot) {
    SimulatedDrive drive;
    drive.SetEcho(true);
    EXPECT_EQ(Text(drive.Receive("xR6C")), "xR6C");
    EXPECT_EQ(Text(drive.Receive("B0D")), "B0D%0000E5");
    drive.SetHungUp(true);
    EXPECT_EQ(Text(drive.Receive("R6CB0D")), "R6CB0D");
    // Paced, the copy spends the request's wire time and the reply does not again.
    drive.SetFaults({.latencyMs = 2, .pace = true, .baud = 10000});
    drive.SetHungUp(false);
    const auto replies = drive.Process("R6CB0D");
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(replies[0].byteTime, 1000us);
    EXPECT_EQ(replies[1].delay, 2ms);
}

} // namespace
