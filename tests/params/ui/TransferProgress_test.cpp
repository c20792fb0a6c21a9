// The progress windows, and the parameter windows' requests carried out against the simulated
// drive the way the main view carries them out: queued, under Busy, with the progress window
// keeping the event loop running, and the windows told what changed.

#include "frame/TransferProgressDialog.h"

#include "analysis/ui/FraReadDialog.h"
#include "drive/ParameterCatalogue.h"
#include "params/ParameterRequestRunner.h"
#include "params/ui/DefParaDialog.h"
#include "params/ui/ParaGroupDialog.h"
#include "params/ui/RequestOutcome.h"
#include "sim/MemoryPortDrive.h"
#include "support/ManualTickers.h"
#include "support/ParameterWindowSupport.h"
#include "support/TransferRig.h"
#include "trace/ui/TraceWaitDialogs.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

namespace {

TEST(ProgressWindows, GroupTransfersUseTheSmallWindowWholeSetsTheWaitingWindow) {
    CTransferProgress progress;
    progress.Open(QString(), 9);
    ASSERT_EQ(progress.Active(), &progress.ProgressWindow());
    EXPECT_TRUE(progress.ProgressWindow().isVisible());
    EXPECT_TRUE(progress.ProgressWindow().isModal());
    progress.SetText(QString::fromUtf8("读取控制参数：Cn001"));
    for (int i = 0; i < 12; ++i)
        progress.Step(); // more steps than announced stop at the end
    EXPECT_EQ(progress.ProgressWindow().Text(), QString::fromUtf8("读取控制参数：Cn001"));
    EXPECT_EQ(progress.ProgressWindow().Value(), 9);
    progress.Close();
    EXPECT_FALSE(progress.ProgressWindow().isVisible());
    EXPECT_EQ(progress.Active(), nullptr);

    progress.Open(QString::fromUtf8("写入"), 462);
    ASSERT_EQ(progress.Active(), &progress.WaitingWindow());
    EXPECT_EQ(progress.WaitingWindow().windowTitle(), QString::fromUtf8("写入"));
    EXPECT_EQ(progress.WaitingWindow().Maximum(), 462);
    EXPECT_EQ(progress.WaitingWindow().Value(), 0);
    EXPECT_TRUE(progress.WaitingWindow().Text().isEmpty());
    EXPECT_FALSE(progress.ProgressWindow().isVisible());
    QStringList labels;
    for (QLabel* label : progress.WaitingWindow().findChildren<QLabel*>())
        labels << label->text();
    EXPECT_TRUE(labels.contains(QString::fromUtf8("等待中....")));
    progress.Close();
}

TEST(ProgressWindows, TheUserCannotCloseThemAndExchangesLetTheEventLoopRun) {
    CTransferProgress progress;
    progress.Open(QString(), 3);
    progress.ProgressWindow().close();
    static_cast<QDialog&>(progress.ProgressWindow()).reject(); // Escape
    EXPECT_TRUE(progress.ProgressWindow().isVisible());
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    progress.ExchangeDone();
    EXPECT_TRUE(ran);
    progress.Close();
}

// The windows' requests carried out by the program's request runner over a connection to the
// simulated drive; the windows shown are told the outcome as the main view tells them.
struct ViewStandIn : TransferRig {
    ViewStandIn() : TransferRig({}) {
        AttachToMemoryPort(drive, *port); // replies come later, as on a line
        EXPECT_TRUE(connection.Probe());
        requests.SetProgressSource([this] { return &windows; });
        requests.SetOutcomeHandler([this](const ParameterAction& a, const ParameterOutcome& o) {
            ShowRequestOutcome(a, o, groupWindow, customWindow);
            ++finished;
        });
    }

    void SetDriveParameter(char letter, int number, int32_t raw) {
        ASSERT_TRUE(connection.Access().StoreParameter(ParameterIndexOf({letter, number}), raw));
        ASSERT_TRUE(connection.Access().WriteDriveWord('5', ParameterIndexOf({letter, number}), raw,
                                                       false));
    }

    CustomTable customTable;
    ParameterRequestRunner requests{connection, customTable};
    CTransferProgress windows; // the progress windows the view shows
    CParaGroupDialog* groupWindow = nullptr;
    CDefParaDialog* customWindow = nullptr;
    int finished = 0;
};

// Each progress and wait window comes up centred over the window that started it, at a position
// of its own (a window manager does not get to put it in a corner); the transfer windows keep
// their caption without a close button.
TEST(ProgressWindows, OpenCentredOverTheirOwner) {
    QWidget owner;
    owner.setGeometry(60, 90, 500, 400);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    const auto expectCentred = [&owner](const QWidget& window) {
        const std::string name = window.windowTitle().toStdString();
        EXPECT_TRUE(window.testAttribute(Qt::WA_Moved)) << name;
        const QPoint offset = window.frameGeometry().center() - owner.frameGeometry().center();
        EXPECT_LE(offset.manhattanLength(), 8) << name;
    };
    CTransferProgress progress(&owner);
    for (const QString& caption : {QString(), QString::fromUtf8("读取")}) {
        progress.Open(caption, 3);
        ASSERT_NE(progress.Active(), nullptr);
        expectCentred(*progress.Active());
        const Qt::WindowFlags flags = progress.Active()->windowFlags();
        EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
        progress.Close();
    }
    CTraceReadDialog reading(&owner);
    reading.Open(QString(), 3);
    expectCentred(reading);
    reading.Close();
    CFRAReadDialog response(&owner);
    response.Open(3);
    expectCentred(response);
    response.Close();
    ManualTickers tickers;
    CTraceStartDialog wait(
        1000, 512, tickers, [] { return DriveTrace::Recording::Waiting; }, &owner);
    wait.show();
    expectCentred(wait);
}

TEST(WindowRequests, ReadAllFillsTheGroupWindowWhileTheEventLoopRuns) {
    ViewStandIn view;
    view.SetDriveParameter('T', 3, DisplayToRaw({'T', 3}, 150, 3000));
    view.SetDriveParameter('T', 7, 1000);
    CTorqueParaDialog window(view.document, view.profile, view.requests, view.messenger);
    view.groupWindow = &window;
    window.Present();

    // A timer of the program keeps firing throughout the transfer: it sees every parameter's
    // progress text.
    QStringList seenWhileBusy;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const QString text = view.windows.ProgressWindow().Text();
        if (view.operations.Busy() && !seenWhileBusy.contains(text))
            seenWhileBusy << text;
    });
    timer.start(0);
    Button(window, "readAllButton")->click();
    Settle();
    timer.stop();

    EXPECT_EQ(view.finished, 1);
    for (int number = 1; number <= 7; ++number) {
        EXPECT_TRUE(seenWhileBusy.contains(ReadProgressText({'T', number}))) << number;
    }
    EXPECT_EQ(Cell(window, 3, 2), "150");
    EXPECT_EQ(Cell(window, 7, 2), QString::number(RawToDisplay({'T', 7}, 1000, 3000)));
    EXPECT_EQ(view.document.values.torque[2], 150);
    EXPECT_FALSE(view.windows.ProgressWindow().isVisible());
    EXPECT_EQ(view.windows.ProgressWindow().Value(), 3 * 7);
    EXPECT_EQ(view.windows.ProgressWindow().Text(), QString::fromUtf8("读取转矩参数：Tn107"));
    EXPECT_TRUE(view.messenger.messages.isEmpty());
}

TEST(WindowRequests, WriteOneFromTheGroupWindowReachesTheDrive) {
    ViewStandIn view;
    CCtrlParaDialog window(view.document, view.profile, view.requests, view.messenger);
    Grid(window)->item(6, 2)->setText("1200"); // Cn007, typed
    Grid(window)->setCurrentCell(6, 0);
    Button(window, "writeButton")->click();
    Settle();
    EXPECT_EQ(view.drive.State().StoredRaw('C', 7), DisplayToRaw({'C', 7}, 1200, 3000));
    EXPECT_EQ(view.drive.State().LiveRaw('C', 7), DisplayToRaw({'C', 7}, 1200, 3000));
    ASSERT_EQ(view.messenger.messages.size(), 1);
    EXPECT_EQ(view.messenger.messages[0].text, QString::fromUtf8("写入参数成功！！"));
}

TEST(WindowRequests, CustomListReadAndAFailedSingleWrite) {
    ViewStandIn view;
    view.customTable.Entries = {{4, 15}, {5, 0}, {1, 9}};
    view.SetDriveParameter('P', 16, 77);
    view.SetDriveParameter('C', 10, 123);
    CDefParaDialog window(view.customTable, view.document, view.profile, view.requests,
                          view.messenger);
    view.customWindow = &window;

    Button(window, "readAllButton")->click();
    Settle();
    EXPECT_EQ(Cell(window, 1, 2), QString::number(RawToDisplay({'P', 16}, 77, 3000)));
    EXPECT_EQ(Cell(window, 3, 2), QString::number(RawToDisplay({'C', 10}, 123, 3000)));
    // The quick row was read under its own letter (its twin Sn211 in the drive).
    EXPECT_EQ(view.windows.ProgressWindow().Maximum(), 9);

    view.drive.SetHungUp(true);
    Grid(window)->setCurrentCell(2, 0); // Cn010
    Button(window, "writeButton")->click();
    Settle();
    EXPECT_TRUE(window.Table().IsMarkedFailed(3));
    EXPECT_FALSE(window.Table().IsMarkedFailed(1));
    EXPECT_TRUE(view.messenger.messages.isEmpty()); // a single write fails silently
}

TEST(WindowRequests, FailedGroupWriteClosesTheWindowAndNamesTheParameter) {
    ViewStandIn view;
    CSpeedParaDialog window(view.document, view.profile, view.requests, view.messenger);
    view.drive.SetHungUp(true);
    Button(window, "writeAllButton")->click();
    Settle();
    EXPECT_FALSE(view.windows.ProgressWindow().isVisible());
    ASSERT_EQ(view.messenger.messages.size(), 1);
    EXPECT_EQ(view.messenger.messages[0].text, QString::fromUtf8("错误:\n\n写入速度参数：Sn201"));
    EXPECT_EQ(view.messenger.messages[0].caption, QString::fromUtf8("通讯信息"));
}

} // namespace
