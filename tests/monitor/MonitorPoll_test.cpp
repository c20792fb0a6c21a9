// The monitors' reads against the simulated drive: which requests go out and in what order, the
// conversions and texts, the first failure ending a tick with nothing shown changed, the alarm
// ring's row order and its clearing.

#include "monitor/MonitorPoll.h"

#include "drive/ParameterCatalogue.h"
#include "link/DriveOperations.h"
#include "sim/ControlLines.h"
#include "support/SimTestSupport.h"
#include "support/TransferRig.h"

#include <QCoreApplication>

namespace {

using simtest::Cmd;

class MonitorTest : public ::testing::Test, protected TransferRig {
protected:
    MonitorTest() : TransferRig({}) {
        monitors.SetProgressSource([this] { return &progress; });
    }

    void SetRing(const std::array<uint16_t, 10>& entries, uint16_t pointer) {
        for (int i = 0; i < 10; ++i) {
            drive.State().SetStoredWord(i, entries[static_cast<size_t>(i)]);
            drive.SetWord('5', i, entries[static_cast<size_t>(i)]);
        }
        drive.State().SetStoredWord(0x0A, pointer);
        drive.SetWord('5', 0x0A, pointer);
    }

    QStringList RowCodes() const {
        QStringList codes;
        for (int row = 0; row < AlarmHistory::kEntryCount; ++row) {
            codes << alarms.CodeText(row);
        }
        return codes;
    }

    MonitorPoll monitors{connection, profile, document, messenger};
    StatusMonitor& display = monitors.Status();
    DiagnosticsMonitor& diagnostics = monitors.Diagnostics();
    AlarmHistory& alarms = monitors.Alarms();
};

TEST_F(MonitorTest, StatusDisplayReadsTheTickedValuesAndAFailureChangesNoText) {
    display.SetActive(true);
    EXPECT_TRUE(monitors.Run());
    EXPECT_TRUE(drive.RequestLog().isEmpty()) << "nothing ticked, nothing sent";

    for (int number : {1, 2, 3, 4, 5, 7, 9}) {
        display.SetSelected(number, true);
    }
    drive.SetWord('6', 0xE4, 8192);   // half of N = 3000 rpm
    drive.SetWord('9', 0xB6, 2048);   // 50 %
    drive.SetWord('6', 0x91, 0xFFFF); // unsigned
    drive.SetWord('6', 0x5C, 0xFFFF);
    drive.SetWord('6', 0x5D, 0xFFFE);
    drive.SetWord('6', 0x32, static_cast<uint16_t>(-819));
    document.statusSnapshot[5] = 77; // Un-06 is not ticked
    ASSERT_TRUE(monitors.Run());
    EXPECT_EQ(drive.RequestLog(),
              (QStringList{Cmd("R6E4"), Cmd("R9B6"), Cmd("R691"), Cmd("R693"), Cmd("R694"),
                           Cmd("R65C"), Cmd("R65D"), Cmd("R632")}));
    EXPECT_EQ(display.Text(1), "1500");
    EXPECT_EQ(display.Text(2), "50");
    EXPECT_EQ(display.Text(3), "65535");
    EXPECT_EQ(display.Text(7), "-2");
    EXPECT_EQ(display.Text(9), "-0.49");
    EXPECT_EQ(document.statusSnapshot[6], -2);
    EXPECT_EQ(document.statusSnapshot[5], 0);
    EXPECT_EQ(StatusValueText(9, 1000), "10.00");

    drive.ClearRequestLog();
    drive.SetWord('6', 0xE4, 16384);
    refuse = [](const QString& r) { return r.startsWith("R694"); };
    EXPECT_FALSE(monitors.Run());
    EXPECT_EQ(drive.RequestLog(),
              (QStringList{Cmd("R6E4"), Cmd("R9B6"), Cmd("R691"), Cmd("R693")}));
    EXPECT_EQ(document.statusSnapshot[0], 3000) << "values before the failure are read";
    EXPECT_EQ(display.Text(1), "1500") << "but not shown";

    display.SetSelected(7, false);
    EXPECT_EQ(display.Text(7), "");
}

TEST_F(MonitorTest, DiagnosticsShowContactsAndLabelTheLampsFromTheContactParameters) {
    drive.SetWord('5', 0x10, 3);
    drive.SetInputContacts(0x0005);
    drive.SetWord('5', ParameterIndexOf({'H', 1}), 258); // normally closed, function 1
    drive.SetWord('5', ParameterIndexOf({'H', 2}), 2);
    drive.SetWord('5', ParameterIndexOf({'H', 3}), 0x30); // no such function
    // Outputs from the machine at rest: DO-1 zero speed (on), DO-2..DO-4 alarm, alarm, home (off).
    drive.SetWord('5', ParameterIndexOf({'H', 14}), 3);
    drive.SetWord('5', ParameterIndexOf({'H', 16}), 2);
    drive.SetWord('5', ParameterIndexOf({'H', 17}), 7);
    diagnostics.SetActive(true);
    diagnostics.RequestContactRead();
    EXPECT_EQ(diagnostics.InputLabel(1), "S1: DI-1");

    ASSERT_TRUE(monitors.Run());
    const QStringList diagnosticReads{Cmd("R510"), Cmd("R6AF"), Cmd("R6CB"), Cmd("R5E2")};
    EXPECT_EQ(drive.RequestLog().size(), 19 + 4);
    EXPECT_EQ(drive.RequestLog().mid(19), diagnosticReads);
    EXPECT_EQ(diagnostics.Text(1), "3: 位置(Pe)-速度(S)");
    EXPECT_EQ(diagnostics.Text(2), "00000001");
    EXPECT_EQ(diagnostics.Text(3), "0000000000101");
    EXPECT_EQ(diagnostics.Text(4), "2.58");
    EXPECT_TRUE(diagnostics.InputOn(1) && diagnostics.InputOn(3) && diagnostics.OutputOn(1));
    EXPECT_FALSE(diagnostics.InputOn(2) || diagnostics.OutputOn(2) || diagnostics.OutputOn(8));
    EXPECT_EQ(diagnostics.InputLabel(1), "S1: ALRS");
    EXPECT_EQ(diagnostics.InputLabel(2), "S2: ALRS");
    EXPECT_EQ(diagnostics.InputLabel(3), "S3: 48");
    EXPECT_EQ(diagnostics.OutputLabel(1), "R1: ZS");
    EXPECT_EQ(diagnostics.OutputLabel(5), "R5: LM/A0");

    drive.ClearRequestLog();
    drive.SetInputContacts(0);
    ASSERT_TRUE(monitors.Run());
    EXPECT_EQ(drive.RequestLog(), diagnosticReads) << "the contact parameters only once";
    EXPECT_FALSE(diagnostics.InputOn(1));
}

TEST_F(MonitorTest, TheMonitorsRunInOrderAndTheFirstFailureEndsTheTick) {
    display.SetActive(true);
    display.SetSelected(2, true);
    diagnostics.SetActive(true);
    alarms.SetActive(true);
    alarms.RequestRead();
    refuse = [](const QString& r) { return r.startsWith("R6AF"); };
    EXPECT_FALSE(monitors.Run());
    EXPECT_EQ(drive.RequestLog(), (QStringList{Cmd("R9B6"), Cmd("R510")}));
    EXPECT_TRUE(alarms.ReadRequested());

    drive.ClearRequestLog();
    refuse = {};
    monitors.Run();
    const QStringList log = drive.RequestLog();
    ASSERT_GE(log.size(), 6);
    EXPECT_EQ(log.mid(0, 6), (QStringList{Cmd("R9B6"), Cmd("R510"), Cmd("R6AF"), Cmd("R6CB"),
                                          Cmd("R5E2"), Cmd("W573000A")}));
}

// A command chosen between the monitors' exchanges ends the tick there; it runs afterwards.
TEST_F(MonitorTest, ACommandChosenBetweenExchangesEndsTheTickAndRunsAfterIt) {
    display.SetActive(true);
    for (int number : {1, 2, 3}) {
        display.SetSelected(number, true);
    }
    alarms.SetActive(true);
    alarms.RequestRead();
    for (int turn = 0; turn < 3; ++turn) {
        SCOPED_TRACE(turn);
        drive.ClearRequestLog();
        int turns = 0;
        int ran = 0;
        monitors.SetExchangeHook([&] {
            if (turns++ == turn) {
                connection.Operations().RunChosen(1, [&] { ++ran; });
            }
        });
        EXPECT_FALSE(monitors.Run());
        EXPECT_EQ(drive.RequestLog().size(), turn + 1) << "no read after the command was chosen";
        EXPECT_EQ(ran, 0);
        QCoreApplication::processEvents();
        EXPECT_EQ(ran, 1);
    }
    drive.ClearRequestLog();
    monitors.SetExchangeHook({});
    EXPECT_TRUE(monitors.Run());
    EXPECT_GT(drive.RequestLog().size(), 3) << "the next tick reads the alarms too";
}

TEST_F(MonitorTest, AlarmRowsRunBackFromThePointerAndClearingStopsAtTheFirstFailure) {
    alarms.SetActive(true);
    alarms.RequestRead();
    SetRing({1, 2, 3, 4, 5, 6, 7, 8, 9, 16}, 0);
    ASSERT_TRUE(monitors.Run());
    EXPECT_EQ(RowCodes(),
              (QStringList{"16", "09", "08", "07", "06", "05", "04", "03", "02", "01"}));
    EXPECT_EQ(alarms.Description(0), "   -----");
    EXPECT_EQ(alarms.Description(9), "   电源电压过低。");
    EXPECT_EQ(progress.steps, 30);
    EXPECT_EQ(progress.stepped, 30);
    EXPECT_EQ(progress.texts.first(), "读取异常警报履历参数: AL");
    EXPECT_EQ(progress.texts.last(), "读取异常警报履历参数: A9");
    EXPECT_FALSE(progress.open);

    drive.ClearRequestLog();
    ASSERT_TRUE(monitors.Run());
    EXPECT_TRUE(drive.RequestLog().isEmpty()) << "read only on request";

    SetRing({1, 2, 3, 4, 5, 6, 7, 8, 9, 16}, 3);
    alarms.RequestRead();
    ASSERT_TRUE(monitors.Run());
    EXPECT_EQ(RowCodes().mid(0, 5), (QStringList{"03", "02", "01", "16", "09"}));

    refuse = [](const QString& r) { return r.startsWith("W5710003"); };
    EXPECT_FALSE(alarms.Clear());
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].text, "错误:\n\n通讯错误！！");
    EXPECT_EQ(messenger.messages[0].caption, "清除异常警报履历信息");
    EXPECT_EQ(drive.State().StoredWord(2), 0) << "entries already cleared stay cleared";
    EXPECT_EQ(drive.State().StoredWord(3), 4);
    EXPECT_EQ(drive.State().StoredWord(0x0A), 3) << "the pointer is not written";

    refuse = {};
    EXPECT_TRUE(alarms.Clear());
    EXPECT_EQ(drive.State().StoredWord(9), 0);
    EXPECT_EQ(RowCodes(), QStringList(10, "00"));
}

} // namespace

TEST_F(MonitorTest, StatusDisplayFollowsTheMachine) {
    display.SetActive(true);
    for (int number : {1, 2, 6}) {
        display.SetSelected(number, true);
    }
    drive.SetWord('5', ParameterIndexOf({'C', 1}), 1); // speed mode
    ASSERT_TRUE(RunControlLine(drive, "servo on").ok);
    ASSERT_TRUE(RunControlLine(drive, "analog-speed 2").ok); // 2 V of 10 V = 600 rpm at N = 3000
    drive.Advance(std::chrono::milliseconds(1));
    ASSERT_TRUE(monitors.Run());
    EXPECT_EQ(display.Text(6), "600");
    EXPECT_GT(display.Text(2).toInt(), 100) << "accelerating takes torque";
    drive.Advance(std::chrono::seconds(1));
    ASSERT_TRUE(monitors.Run());
    EXPECT_NEAR(display.Text(1).toInt(), 600, 3);
    EXPECT_LT(std::abs(display.Text(2).toInt()), 10) << "a steady speed takes little torque";
}
