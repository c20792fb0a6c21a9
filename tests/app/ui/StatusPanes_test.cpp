// The status bar's panes as a user sees them when the timer brings the link up ("连线(&C)" or
// the toolbar), also when the first status read after it fails.

#include "support/AppHarness.h"

#include <QLabel>

namespace {

std::string Pane(const AppHarness& h, int pane) {
    return h.Frame().Pane(pane)->text().toStdString();
}

bool ConnectByTimer(AppHarness& h) {
    return h.Frame().Trigger(Command::Connect) &&
           h.TickUntil([&h] { return h.Session().LinkUp(); }, AppHarness::kTicksToConnect);
}

} // namespace

TEST(StatusPanes, TimerConnectReplacesEveryNotLinkedText) {
    AppHarness h;
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.Frame().Trigger(Command::Connect));
    EXPECT_EQ(Pane(h, 6), std::string("信息: 通讯错误！！")); // asked for, not linked yet
    ASSERT_TRUE(h.TickUntil([&h] { return h.Session().LinkUp(); }, AppHarness::kTicksToConnect));
    EXPECT_EQ(Pane(h, 6), std::string("信息: "));
    EXPECT_EQ(Pane(h, 3), std::string("Servo 连线中"));
}

TEST(StatusPanes, FailedFirstStatusReadStillShowsTheLinkedPanes) {
    AppHarness h;
    ASSERT_TRUE(h.Start());
    FaultSettings faults;
    faults.hangUpAfter = 1; // the probe is answered, the status read after it is not
    h.drive.setFaults(faults);
    ASSERT_TRUE(ConnectByTimer(h));
    EXPECT_EQ(Pane(h, 3), std::string("Servo 连线中"));
    EXPECT_EQ(Pane(h, 6), std::string("信息: "));
    EXPECT_NE(Pane(h, 1), std::string("--- 控制"));
    EXPECT_NE(Pane(h, 2), std::string("版本: "));
}
