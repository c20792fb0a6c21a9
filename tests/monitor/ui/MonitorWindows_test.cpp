// The monitor windows in the running program: refused beside the parameter windows, filled by the
// view's poll after the status read in their order, the status display's selection surviving its
// window, and the status display and diagnostics closing when the drive is lost.

#include "support/AppHarness.h"

#include "drive/ParameterCatalogue.h"
#include "monitor/ui/MonDnDialog.h"
#include "monitor/ui/MonUnDialog.h"
#include "params/ui/ParaGroupDialog.h"
#include "support/ParameterWindowSupport.h"
#include "support/SimTestSupport.h"
#include "support/ViewParameterWindows.h"

#include <QCheckBox>

namespace {

using simtest::Cmd;

QCheckBox* Box(QWidget& window, const QString& name) {
    return window.findChild<QCheckBox*>(name);
}

struct MonitorWindows : ::testing::Test {
    AppHarness h;
};

TEST_F(MonitorWindows, PollFillsTheWindowsAfterTheStatusReadAndTheSelectionOutlivesTheWindow) {
    ASSERT_TRUE(h.Start(AppHarness::Connected()));
    ASSERT_TRUE(h.Frame().Trigger(Command::ControlParameters));
    EXPECT_TRUE(h.Frame().Trigger(Command::StatusMonitor)) << "the item stays enabled";
    EXPECT_EQ(h.View().ToolWindow(Command::StatusMonitor), nullptr) << "but opens nothing";
    GroupWindow(h.View(), ParamGroup::Control)->close();
    Settle();

    ASSERT_TRUE(h.Frame().Trigger(Command::StatusMonitor));
    ASSERT_TRUE(h.Frame().Trigger(Command::Diagnostics));
    auto* status = qobject_cast<CMonUnDialog*>(h.View().ToolWindow(Command::StatusMonitor));
    auto* diagnostics = qobject_cast<CMonDnDialog*>(h.View().ToolWindow(Command::Diagnostics));
    ASSERT_TRUE(status && diagnostics);
    EXPECT_EQ(diagnostics->InputLampText(1), "OFF");
    Box(*status, "checkUn-09")->click();
    h.drive.SetWord('6', 0x32, static_cast<uint16_t>(-819));
    h.drive.SetInputContacts(0x0001);
    h.drive.SetWord('5', ParameterIndexOf({'H', 1}), 0x0102); // normally closed ALRS

    h.drive.ClearRequestLog();
    h.tickers.Advance();
    const QStringList log = h.drive.RequestLog();
    ASSERT_EQ(log.size(), 6 + 1 + 19 + 4);
    EXPECT_EQ(log.mid(5, 2), (QStringList{Cmd("R660"), Cmd("R632")}));
    EXPECT_EQ(log.last(), Cmd("R5E2"));
    EXPECT_EQ(status->ValueText(9), "-0.49");
    EXPECT_EQ(diagnostics->ValueText(3), "0000000000001");
    EXPECT_EQ(diagnostics->InputLampText(1), "ON");
    EXPECT_EQ(diagnostics->InputLabelText(1), "S1: ALRS");
    EXPECT_EQ(diagnostics->OutputLabelText(8), "R8: GC/A3");

    status->close();
    Settle();
    ASSERT_TRUE(h.Frame().Trigger(Command::StatusMonitor));
    status = qobject_cast<CMonUnDialog*>(h.View().ToolWindow(Command::StatusMonitor));
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(Box(*status, "checkUn-09")->isChecked());
    EXPECT_FALSE(Box(*status, "checkUn-08")->isChecked());
}

TEST_F(MonitorWindows, LosingTheDriveClosesTheStatusDisplayAndDiagnosticsOnly) {
    ASSERT_TRUE(h.Start(AppHarness::Connected()));
    for (int command : {Command::StatusMonitor, Command::Diagnostics, Command::AlarmHistory})
        ASSERT_TRUE(h.Frame().Trigger(command)) << command;
    h.drive.SetHungUp(true);
    ASSERT_TRUE(
        h.TickUntil([this] { return !h.Session().LinkUp(); }, 2 * AppHarness::kTicksToConnect));
    Settle();
    EXPECT_FALSE(h.View().ToolWindowOpen(Command::StatusMonitor));
    EXPECT_FALSE(h.View().ToolWindowOpen(Command::Diagnostics));
    EXPECT_TRUE(h.View().ToolWindowOpen(Command::AlarmHistory));
    h.drive.SetHungUp(false);
}

} // namespace
