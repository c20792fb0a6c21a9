// Commands chosen while the status poll turns the event loop between its exchanges, with a slow
// drive: each runs once the poll's tick has given way, none is lost, none runs twice, and one that
// finds the link gone or another operation running says so.

#include "support/AppHarness.h"

#include "analysis/ui/FilterDialog.h"
#include "analysis/ui/FraDialog.h"
#include "app/CommandTable.h"
#include "base/CommandIds.h"
#include "link/DriveOperations.h"
#include "online/ui/OnlineParaEditDialog.h"
#include "online/ui/OnlineParaSetupDialog.h"
#include "online/ui/SetParaSelDialog.h"
#include "planning/ui/PositionCommDialog.h"
#include "support/ParameterWindowSupport.h"
#include "support/SimTestSupport.h"
#include "trace/ui/TraceGraphDialog.h"
#include "trace/ui/TraceSetupDialog.h"
#include "widgets/DigitDisplay.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>

#include <functional>

namespace {

using simtest::Cmd;

// The poll's status reads, in order.
const QStringList kPollReads{Cmd("R510"), Cmd("R666"), Cmd("R5E2"),
                             Cmd("R50C"), Cmd("R547"), Cmd("R660")};

struct ChosenCase {
    const char* name;
    int command;
};

class ChosenDuringPoll : public ::testing::TestWithParam<ChosenCase> {
protected:
    void SetUp() override {
        ASSERT_TRUE(h.Start(AppHarness::Connected()));
        ASSERT_TRUE(h.TickUntil([&] { return h.Session().LinkUp(); }, AppHarness::kTicksToConnect));
    }

    // A late, paced drive for the poll; the command is chosen after the poll's exchange `turn`
    // (counted from 0) while the poll lets the event loop turn. The drive is quick again for the
    // command's own exchanges.
    void ChooseDuringTick(int turn, int times = 1) {
        h.drive.SetFaults({.latencyMs = 25, .pace = true, .baud = 9600});
        h.drive.ClearRequestLog();
        int turns = 0;
        h.Session().SetExchangeHook([&, turn, times] {
            if (turns++ == turn) {
                readsWhenChosen = static_cast<int>(h.drive.RequestLog().size());
                for (int i = 0; i < times; ++i)
                    h.Frame().Trigger(GetParam().command);
                h.drive.SetFaults({});
            }
            QCoreApplication::processEvents();
        });
        h.tickers.Advance();
        h.Session().SetExchangeHook([] { QCoreApplication::processEvents(); });
        Settle();
    }

    AppHarness h;
    int readsWhenChosen = -1;
};

// One tick of the poll with a late, paced drive: `press` runs after the poll's exchange `turn`
// (counted from 0) while the poll lets the event loop turn; the drive is quick again for what the
// press starts.
void PressDuringTick(AppHarness& h, int turn, const std::function<void()>& press) {
    h.drive.SetFaults({.latencyMs = 25, .pace = true, .baud = 9600});
    int turns = 0;
    h.Session().SetExchangeHook([&] {
        if (turns++ == turn) {
            press();
            h.drive.SetFaults({});
        }
        QCoreApplication::processEvents();
    });
    h.tickers.Advance();
    h.Session().SetExchangeHook([] { QCoreApplication::processEvents(); });
}

// How often the position planner's window was shown.
struct Watch {
    int ran = 0;
};

// Answers the command's first question so that it ends quickly.
void Arm(AppHarness& h, int command, Watch& watch) {
    switch (command) {
    case Command::CopyToComputer:
        // The file dialog is the command's first step; cancelled, nothing is sent.
        h.chooser.answers = {std::nullopt, std::nullopt};
        break;
    case Command::PositionPlanning:
        WhenModal<CPositionCommDialog>([&watch](CPositionCommDialog& dialog) {
            ++watch.ran;
            dialog.reject();
        });
        break;
    case Command::AutoOffset: h.messenger.answers = {MessageAnswer::Yes, MessageAnswer::Yes}; break;
    default: break;
    }
}

// How often the command ran: its first step shows.
int TimesRan(AppHarness& h, int command, const Watch& watch) {
    switch (command) {
    case Command::CopyToComputer: return static_cast<int>(h.chooser.filters.size());
    case Command::PositionPlanning: return watch.ran;
    case Command::AutoOffset: {
        int done = 0;
        for (const Message& message : h.messenger.messages)
            done += message.text == QString::fromUtf8("成功！！") ? 1 : 0;
        return done;
    }
    default: return -1;
    }
}

TEST_P(ChosenDuringPoll, RunsOnceAfterTheTickAtEveryExchange) {
    for (int turn = 0; turn < kPollReads.size(); ++turn) {
        SCOPED_TRACE(turn);
        Watch watch;
        h.chooser.filters.clear();
        h.messenger.messages.clear();
        Arm(h, GetParam().command, watch);
        ChooseDuringTick(turn, 2); // chosen twice while it waits: still one run
        ASSERT_TRUE(
            AppHarness::WaitFor([&] { return TimesRan(h, GetParam().command, watch) > 0; }, 3000));
        Settle();
        EXPECT_EQ(TimesRan(h, GetParam().command, watch), 1);
        EXPECT_EQ(readsWhenChosen, turn + 1);
        // The poll gave way: the rest of its status reads were left for the next tick.
        const QStringList log = h.drive.RequestLog();
        EXPECT_EQ(log.mid(0, turn + 1), kPollReads.mid(0, turn + 1));
        if (turn + 1 < kPollReads.size() && log.size() > turn + 1) {
            EXPECT_NE(log[turn + 1], kPollReads[turn + 1]);
        }
        EXPECT_FALSE(h.Session().Operations().Running());
        EXPECT_FALSE(h.Session().Busy());
    }
    // The poll goes on afterwards.
    h.drive.ClearRequestLog();
    h.tickers.Advance();
    EXPECT_EQ(h.drive.RequestLog(), kPollReads);
}

INSTANTIATE_TEST_SUITE_P(Commands, ChosenDuringPoll,
                         ::testing::Values(ChosenCase{"CopyToComputer", Command::CopyToComputer},
                                           ChosenCase{"PositionPlanner", Command::PositionPlanning},
                                           ChosenCase{"AutoOffset", Command::AutoOffset}),
                         [](const auto& info) { return std::string(info.param.name); });

class ChosenCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(h.Start(AppHarness::Connected()));
        ASSERT_TRUE(h.TickUntil([&] { return h.Session().LinkUp(); }, AppHarness::kTicksToConnect));
    }
    AppHarness h;
};

// The link went down while the command waited: it says so instead of asking for a file.
TEST_F(ChosenCommandTest, LinkLostWhileWaitingIsSaid) {
    h.chooser.answers = {h.dir.filePath(QStringLiteral("lost"))};
    int turns = 0;
    h.Session().SetExchangeHook([&] {
        if (turns++ == 1) {
            h.Frame().Trigger(Command::CopyToComputer);
            h.Session().Disconnect();
        }
        QCoreApplication::processEvents();
    });
    h.tickers.Advance();
    Settle();
    EXPECT_TRUE(h.chooser.filters.isEmpty());
    ASSERT_EQ(h.messenger.messages.size(), 1);
    EXPECT_EQ(h.messenger.messages[0].text, QString::fromUtf8("通讯错误！！"));
    EXPECT_EQ(h.messenger.messages[0].caption, QString::fromUtf8("通讯信息"));
}

// Chosen while an operation of the user's own runs: the status bar says why nothing happened,
// and the command does not run later either.
TEST_F(ChosenCommandTest, RefusedDuringAnotherOperationSaysWhy) {
    h.chooser.answers = {h.dir.filePath(QStringLiteral("late"))};
    h.Session().Operations().RunExclusive([&] { h.Frame().Trigger(Command::CopyToComputer); });
    Settle();
    EXPECT_TRUE(h.chooser.filters.isEmpty());
    EXPECT_EQ(h.Frame().statusBar()->currentMessage(), BusyCommandText());
}

// A digit press in the online editor while the poll reads: it waits for the tick, and two
// presses are two steps.
TEST_F(ChosenCommandTest, OnlineEditorPressesDuringThePollEachRunAfterIt) {
    bool handled = false;
    QString shown;
    WhenModal<COnlineParaEdit>([&](COnlineParaEdit& editor) {
        WhenModal<COnlineParaSetupDialog>([&](COnlineParaSetupDialog& setup) {
            WhenModal<CSetParaSelDialog>([](CSetParaSelDialog& choose) {
                QComboBox* list = choose.List();
                list->setCurrentIndex(list->findText(QStringLiteral("qn401"), Qt::MatchStartsWith));
                choose.accept();
            });
            Button(setup, "set1")->click();
            Button(setup, "okButton")->click();
        });
        Button(editor, "setupButton")->click();
        ASSERT_EQ(editor.Display(0)->Text(), QStringLiteral("   40"));
        PressDuringTick(h, 2, [&] {
            editor.UpButton(0, 2)->click();
            editor.UpButton(0, 2)->click();
        });
        Settle();
        shown = editor.Display(0)->Text();
        handled = true;
        Button(editor, "closeButton")->click();
    });
    ASSERT_TRUE(h.Frame().Trigger(Command::OnlineEditing));
    ASSERT_TRUE(handled);
    EXPECT_EQ(shown, QStringLiteral("   60"));
    EXPECT_EQ(h.drive.State().LiveRaw('S', 11), 60) << "qn401 is Sn211 in the drive";
    EXPECT_TRUE(h.messenger.messages.isEmpty());
}

// The resonance filter's "写入(&W)" pressed while the poll reads: it waits for the tick, then
// stores both values. The press used to be dropped, the dialog closing as if it had written.
TEST_F(ChosenCommandTest, FilterWriteDuringThePollStoresAfterIt) {
    CEditCn013Dialog filter(h.Session().Connection(), h.app->Document(), h.app->Profile(),
                            h.messenger, 320, 9);
    filter.show();
    PressDuringTick(h, 2,
                    [&] { filter.findChild<QPushButton*>(QStringLiteral("write"))->click(); });
    ASSERT_TRUE(AppHarness::WaitFor([&] { return !h.messenger.messages.isEmpty(); }, 3000));
    EXPECT_EQ(h.messenger.messages.front().text.left(8), QString::fromUtf8("写入参数成功！！"));
    EXPECT_EQ(h.drive.State().StoredRaw('C', 13), 320);
    EXPECT_EQ(h.drive.State().StoredRaw('C', 14), 9);
    EXPECT_FALSE(filter.isVisible());
}

// "开始(&T)" of the analysis pressed while the poll reads: the measurement runs after the tick.
TEST(ChosenCommandAnalysis, StartDuringThePollMeasuresAfterIt) {
    AppHarness h;
    h.machineFollowsPort = true; // the drive's run advances with the exchanges
    ASSERT_TRUE(h.Start(AppHarness::Connected()));
    ASSERT_TRUE(h.TickUntil([&] { return h.Session().LinkUp(); }, AppHarness::kTicksToConnect));
    h.port->writeDelayMs = 1;
    bool measured = false;
    WhenModal<CFRADlg>([&](CFRADlg& dialog) {
        PressDuringTick(h, 1,
                        [&] { dialog.findChild<QPushButton*>(QStringLiteral("start"))->click(); });
        AppHarness::WaitFor([&] { return dialog.DataValid(); }, 5000);
        measured = dialog.DataValid();
        dialog.accept();
    });
    ASSERT_TRUE(h.Frame().Trigger(Command::MachineAnalysis));
    EXPECT_TRUE(measured);
    EXPECT_TRUE(h.messenger.messages.isEmpty()) << h.messenger.messages.value(0).text.toStdString();
}

// "Trace Setting" in the trace window pressed while the poll reads: it runs after the tick.
TEST_F(ChosenCommandTest, TraceSettingDuringThePollRunsAfterIt) {
    bool setUp = false;
    bool handled = false;
    WhenModal<CTraceGraphDialog>([&](CTraceGraphDialog& window) {
        WhenModal<CTraceSetupDialog>([&](CTraceSetupDialog& setup) {
            setUp = true;
            setup.accept();
        });
        PressDuringTick(h, 2, [&] {
            window.findChild<QPushButton*>(QStringLiteral("settingButton"))->click();
        });
        AppHarness::WaitFor([&] { return setUp; }, 3000);
        Settle();
        handled = true;
        window.reject();
    });
    ASSERT_TRUE(h.Frame().Trigger(Command::Trace));
    ASSERT_TRUE(handled);
    EXPECT_TRUE(setUp);
    EXPECT_TRUE(h.messenger.messages.isEmpty()) << h.messenger.messages.value(0).text.toStdString();
}

} // namespace
