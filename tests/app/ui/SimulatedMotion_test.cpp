// Motion with the simulated drive, as the README tells a new user to try it: Cn001 = 1 written in
// "控制参数", the drive restarted so that the stored mode takes effect, the servo on and an analog
// speed given in "模拟驱动器"; the status display then shows the speed and a trace records it.

#include "support/AppHarness.h"

#include "monitor/ui/MonUnDialog.h"
#include "params/ui/ParaGroupDialog.h"
#include "sim/ControlLines.h"
#include "support/ParameterWindowSupport.h"
#include "support/ViewParameterWindows.h"
#include "trace/ui/TraceGraphDialog.h"
#include "trace/ui/TraceSetupDialog.h"
#include "trace/ui/TraceWaitDialogs.h"

#include <QCheckBox>
#include <QTableWidget>

#include <algorithm>

namespace {

using namespace std::chrono_literals;

constexpr int kValueColumn = 2;

void Control(SimulatedDrive& drive, const QString& line) {
    const ControlReply reply = RunControlLine(drive, line);
    ASSERT_TRUE(reply.ok) << line.toStdString() << ": " << reply.text.toStdString();
}

TEST(SimulatedMotion, SpeedModeAfterARestartShowsAndTracesTheAnalogSpeed) {
    AppHarness h;
    ASSERT_TRUE(h.Start(AppHarness::Connected()));
    ASSERT_TRUE(h.TickUntil([&] { return h.Session().LinkUp(); }, AppHarness::kTicksToConnect));

    // Cn001 = 1 written from "控制参数": a restart parameter, stored until the drive restarts.
    ASSERT_TRUE(h.Frame().Trigger(Command::ControlParameters));
    CParaGroupDialog* parameters = GroupWindow(h.View(), ParamGroup::Control);
    ASSERT_NE(parameters, nullptr);
    Grid(*parameters)->item(0, kValueColumn)->setText(QStringLiteral("1"));
    Grid(*parameters)->setCurrentCell(0, 0);
    Button(*parameters, "writeButton")->click();
    ASSERT_TRUE(AppHarness::WaitFor([&] { return !h.messenger.messages.isEmpty(); }, 3000));
    EXPECT_TRUE(h.messenger.messages[0].text.contains(QString::fromUtf8("请重新启动伺服驱动器")));
    EXPECT_EQ(h.drive.State().StoredRaw('C', 1), 1);
    parameters->close();
    Settle();

    // Servo on and 5 V before the restart: the drive stays in position mode, the motor at rest.
    Control(h.drive, ControlLine::Servo(true));
    Control(h.drive, ControlLine::AnalogSpeed(5));
    h.drive.Advance(1s);
    EXPECT_NEAR(h.drive.Machine().Machine().MotorSpeed(), 0, 1);

    // "重新启动", then "Servo On" again: 5 V are half of Sn216 (3000 rpm at 10 V).
    Control(h.drive, ControlLine::Restart());
    EXPECT_EQ(h.drive.State().LiveRaw('C', 1), 1);
    EXPECT_FALSE(h.drive.Machine().ServoOn());
    Control(h.drive, ControlLine::Servo(true));
    h.drive.Advance(1s);

    ASSERT_TRUE(h.Frame().Trigger(Command::StatusMonitor));
    auto* status = qobject_cast<CMonUnDialog*>(h.View().ToolWindow(Command::StatusMonitor));
    ASSERT_NE(status, nullptr);
    status->findChild<QCheckBox*>(QStringLiteral("checkUn-01"))->click();
    h.tickers.Advance();
    EXPECT_NEAR(status->ValueText(1).toDouble(), 1500, 5) << status->ValueText(1).toStdString();
    status->close();
    Settle();

    // A trace of the speed command and feedback, started at once: both at 1500 rpm throughout.
    bool recorded = false;
    WhenModal<CTraceGraphDialog>([&](CTraceGraphDialog& window) {
        WhenModal<CTraceSetupDialog>([](CTraceSetupDialog& setup) { setup.accept(); });
        QTest::mouseClick(window.findChild<QPushButton*>("settingButton"), Qt::LeftButton);
        WhenModal<CTraceStartDialog>([&](CTraceStartDialog& wait) {
            for (int tick = 0; tick < 20 && wait.isVisible(); ++tick) {
                h.drive.Advance(100ms);
                h.tickers.Advance();
            }
        });
        QTest::mouseClick(window.findChild<QPushButton*>("startButton"), Qt::LeftButton);
        for (const std::vector<int32_t>& speed :
             {window.View().Record().data.channels[0], window.View().Record().data.channels[1]}) {
            ASSERT_GE(speed.size(), size_t{TraceSettings::kPoints});
            const auto recorded = speed.begin() + TraceSettings::kPoints;
            const auto [low, high] = std::minmax_element(speed.begin(), recorded);
            EXPECT_NEAR(*low, 1500, 10);
            EXPECT_NEAR(*high, 1500, 10);
        }
        recorded = true;
        window.reject();
    });
    ASSERT_TRUE(h.Frame().Trigger(Command::Trace));
    EXPECT_TRUE(recorded);
    EXPECT_EQ(h.messenger.messages.size(), 1) << h.messenger.messages.last().text.toStdString();
}

} // namespace
