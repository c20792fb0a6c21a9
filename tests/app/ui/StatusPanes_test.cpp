// The status bar's panes as a user sees them when the timer brings the link up ("连线(&C)" or
// the toolbar), also when the first status read after it fails.

#include "support/AppHarness.h"

#include <QLabel>

namespace {

std::string Pane(const AppHarness& h, int pane) {
    return h.Frame().Pane(pane)->text().toStdString();
}

} // namespace

TEST(StatusPanes, TimerConnectReplacesEveryNotLinkedTextAlsoWhenTheFirstStatusReadFails) {
    for (const bool statusAnswered : {true, false}) {
        SCOPED_TRACE(statusAnswered ? "status answered" : "status unanswered");
        AppHarness h;
        ASSERT_TRUE(h.Start());
        FaultSettings faults;
        faults.hangUpAfter = statusAnswered ? -1 : 1; // 1: only the probe is answered
        h.drive.SetFaults(faults);
        ASSERT_TRUE(h.Frame().Trigger(Command::Connect));
        EXPECT_EQ(Pane(h, 6), std::string("信息: 通讯错误！！")); // asked for, not linked yet
        ASSERT_TRUE(
            h.TickUntil([&h] { return h.Session().LinkUp(); }, AppHarness::kTicksToConnect));
        EXPECT_EQ(Pane(h, 3), std::string("Servo 连线中"));
        EXPECT_EQ(Pane(h, 6), std::string("信息: "));
        EXPECT_NE(Pane(h, 1), std::string("--- 控制"));
        EXPECT_NE(Pane(h, 2), std::string("版本: "));
    }
}
