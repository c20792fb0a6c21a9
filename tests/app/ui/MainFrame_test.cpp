// The main window, its view and the application object in the test process: menus and toolbar
// following the link, the status bar, the About box and the poll, closing with the settings file
// and the save question, opening files, and the stop signals. The document commands' own rules
// (the save question, the recovery offer, refused files, File New) are checked beside them.

#include "support/AppHarness.h"

#include "app/DocumentCommands.h"
#include "app/SettingsFile.h"
#include "app/ui/AboutDialog.h"
#include "app/ui/HelpWindow.h"
#include "params/NvpFile.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <csignal>

namespace {

struct MainFrame : ::testing::Test {
    AppHarness h;
};

TEST_F(MainFrame, StartsWithTheTitleToolbarGreyViewAndEightPanes) {
    ASSERT_TRUE(h.Start());
    CMainFrame& frame = h.Frame();
    EXPECT_TRUE(frame.isVisible());
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("无标题[*] - Orvan Servo v0.9.080331"));
    EXPECT_FALSE(frame.isWindowModified());
    EXPECT_TRUE(h.View().TimerRunning());

    const QImage view = h.View().grab().toImage();
    ASSERT_FALSE(view.isNull());
    EXPECT_EQ(view.pixelColor(view.width() / 2, view.height() / 2), QColor(128, 128, 128));
}

// Each pane lies to the right of the one before and inside the status bar: no text is drawn
// over another's and none falls off the edge. A maximised window gives each its designed width.
void ExpectPanesSideBySide(const CMainFrame& frame, bool designedWidths, const char* situation) {
    const int screenWidth = QGuiApplication::primaryScreen()->geometry().width();
    for (int pane = 0; pane < CMainFrame::kPaneCount; ++pane) {
        const QRect at = frame.Pane(pane)->geometry();
        if (designedWidths) {
            EXPECT_EQ(at.width(), screenWidth / CMainFrame::kPaneWidthDivisors[pane])
                << situation << ", pane " << pane;
        }
        EXPECT_GT(at.width(), 0) << situation << ", pane " << pane;
        EXPECT_LE(at.right(), frame.Pane(pane)->parentWidget()->width())
            << situation << ", pane " << pane << " is off the edge";
        if (pane > 0) {
            EXPECT_GT(at.left(), frame.Pane(pane - 1)->geometry().right())
                << situation << ", pane " << pane;
        }
    }
}

TEST_F(MainFrame, CoversTheScreenRestoresInsideItAndKeepsEveryPaneInView) {
    ASSERT_TRUE(h.Start());
    CMainFrame& frame = h.Frame();
    QTest::qWait(50);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(frame.frameGeometry().united(available), frame.frameGeometry());
    ExpectPanesSideBySide(frame, true, "maximised");
    // Un-maximised, the window keeps its title bar on the screen.
    EXPECT_TRUE(available.contains(frame.normalGeometry()));
    EXPECT_LT(frame.normalGeometry().width(), available.width());

    frame.showNormal();
    frame.resize(320, 240);
    QTest::qWait(50);
    ExpectPanesSideBySide(frame, false, "narrow");
}

// Every menu item sits in its row's menu, in table order, with its text and check box, enabled
// and checked as the table says for the view's state of this moment.
void ExpectCommandsAsTheTableSays(const CMainFrame& frame, const char* situation) {
    const CommandState state = frame.View()->CommandStatus();
    QList<int> order;
    for (const CommandRow& row : CommandRows()) {
        const QAction* action = frame.Action(row.id);
        ASSERT_NE(action, nullptr) << row.id;
        const auto* menu = qobject_cast<const QMenu*>(action->parent());
        ASSERT_NE(menu, nullptr) << row.id;
        EXPECT_EQ(menu->title(), MenuTitle(row.menu)) << row.id;
        if (row.recentFiles)
            continue; // its entries come last, with the list
        order << row.id;
        EXPECT_EQ(action->text(), CommandText(row)) << row.id;
        EXPECT_EQ(action->isCheckable(), row.checkable) << row.id;
        if (row.onlyWhileSimulating) {
            EXPECT_FALSE(action->isVisible()) << row.id << " without a simulated drive";
            continue;
        }
        EXPECT_EQ(action->isEnabled(), IsCommandEnabled(row.id, state))
            << situation << ": " << row.id;
        EXPECT_EQ(action->isChecked(), IsCommandChecked(row.id, state))
            << situation << ": " << row.id;
    }
    EXPECT_EQ(frame.Commands().mid(0, order.size()), order);
}

TEST_F(MainFrame, MenusAndToolbarFollowTheCommandTableTheLinkAndTheOpenWindows) {
    ASSERT_TRUE(h.Start(AppHarness::Connected()));
    CMainFrame& frame = h.Frame();
    CNolvaServoView& view = h.View();
    ASSERT_TRUE(h.Session().LinkUp());
    const QString linkedPane = frame.Pane(3)->text();
    // Allowed, and the JOG window is registered for it.
    EXPECT_TRUE(IsCommandEnabled(Command::Jog, view.CommandStatus()));
    EXPECT_TRUE(h.Enabled(Command::Jog));
    int toolButtons = 0;
    for (const CommandRow& row : CommandRows()) {
        if (row.toolGroup > 0) {
            ++toolButtons;
            EXPECT_TRUE(frame.ToolBar()->actions().contains(frame.Action(row.id))) << row.id;
        }
    }
    EXPECT_EQ(frame.ToolBar()->actions().size(), toolButtons + 4); // five groups

    // From here every command has a handler: the table alone decides.
    int runs = 0;
    for (const CommandRow& row : CommandRows())
        frame.SetCommandHandler(row.id, [&runs] { ++runs; });
    ExpectCommandsAsTheTableSays(frame, "linked");
    ASSERT_TRUE(view.OpenToolWindow(Command::CustomParameters));
    ExpectCommandsAsTheTableSays(frame, "custom table");
    view.ToolWindow(Command::CustomParameters)->close();

    view.OnDisconnect();
    EXPECT_FALSE(h.Session().LinkUp());
    ExpectCommandsAsTheTableSays(frame, "disconnected");
    EXPECT_FALSE(frame.Trigger(Command::CopyToDrive)); // a disabled command does not run
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(frame.Trigger(Command::PortSettings));
    EXPECT_EQ(runs, 1);
    EXPECT_NE(frame.Pane(3)->text(), linkedPane);

    // "连线": the timer connects within ten ticks, and the menus follow without being opened.
    view.OnConnect();
    ASSERT_TRUE(h.TickUntil([this] { return h.Session().LinkUp(); }, AppHarness::kTicksToConnect));
    ExpectCommandsAsTheTableSays(frame, "connected again");
    EXPECT_EQ(frame.Pane(3)->text(), linkedPane);
}

// A command left enabled while an open window refuses it does nothing, and the status bar says
// which window is in the way for a few seconds.
TEST_F(MainFrame, RefusedCommandNamesTheOpenWindowInTheStatusBar) {
    ASSERT_TRUE(h.Start(AppHarness::Connected()));
    ASSERT_TRUE(h.TickUntil([this] { return h.Session().LinkUp(); }, AppHarness::kTicksToConnect));
    CMainFrame& frame = h.Frame();
    ASSERT_TRUE(frame.Trigger(Command::Jog));
    ASSERT_TRUE(h.Enabled(Command::AutoTuning)) << "JOG refuses the tuning, it does not disable it";
    EXPECT_TRUE(frame.statusBar()->currentMessage().isEmpty());

    EXPECT_TRUE(frame.Trigger(Command::AutoTuning));
    EXPECT_TRUE(h.messenger.messages.isEmpty()) << "nothing ran";
    EXPECT_EQ(frame.statusBar()->currentMessage(),
              QString::fromUtf8("“点动模式 (dn-05)”已打开，此命令暂不可用：请先关闭该窗口。"));
}

TEST_F(MainFrame, AboutBoxKeepsThePollAwayWhileItIsOpen) {
    ASSERT_TRUE(h.Start(AppHarness::Connected()));
    // Polling: the drive hears from the program on every tick.
    const qsizetype atStart = h.drive.RequestLog().size();
    h.tickers.Advance(2);
    ASSERT_GE(h.drive.RequestLog().size(), atStart + 12);

    qsizetype whenOpened = -1;
    qsizetype beforeClose = -1;
    bool busyWhileOpen = false;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
        if (about == nullptr)
            return;
        whenOpened = h.drive.RequestLog().size();
        h.tickers.Advance(3);
        beforeClose = h.drive.RequestLog().size();
        busyWhileOpen = h.Session().Busy();
        about->accept();
    });
    h.app->OnAppAbout();

    ASSERT_GE(whenOpened, 0) << "the About box did not open";
    EXPECT_TRUE(busyWhileOpen);
    EXPECT_EQ(beforeClose, whenOpened) << "the drive was polled while the About box was open";
    EXPECT_FALSE(h.Session().Busy());
    const qsizetype afterClose = h.drive.RequestLog().size();
    h.tickers.Advance();
    EXPECT_GE(h.drive.RequestLog().size(), afterClose + 6);
}

TEST_F(MainFrame, CloseWritesTheSettingsFileWithTheEntrysOwnDevice) {
    ProgramOptions options = AppHarness::Connected();
    options.port = QStringLiteral("/dev/ttyACM7"); // this run only
    ASSERT_TRUE(h.Start(options));
    EXPECT_EQ(h.app->Settings().comDevices[0], QStringLiteral("/dev/ttyACM7"));
    EXPECT_EQ(h.port->Device(), QStringLiteral("/dev/ttyACM7"));
    h.app->Settings().link.BaudRateIndex = 2;
    h.app->Settings().comDevices[4] = QStringLiteral("/dev/ttyS9");
    ASSERT_FALSE(QFile::exists(h.SettingsPath()));

    EXPECT_TRUE(h.Frame().close());
    EXPECT_FALSE(h.Frame().isVisible());
    AppSettings expected;
    expected.link.BaudRateIndex = 2;
    expected.comDevices[4] = QStringLiteral("/dev/ttyS9");
    EXPECT_EQ(AppHarness::ReadAll(h.SettingsPath()), FormatSettings(expected));
}

TEST_F(MainFrame, ClosingAModifiedDocumentAsksWhetherToSaveIt) {
    ASSERT_TRUE(h.Start());
    CNolvaServoDoc& doc = h.app->Document();
    doc.values.torque[1] = 250;
    h.app->Documents().SetModified(true);
    EXPECT_TRUE(h.Frame().isWindowModified());

    // Cancel: the window stays and nothing is written.
    h.messenger.answers = {MessageAnswer::Cancel};
    EXPECT_FALSE(h.Frame().close());
    EXPECT_TRUE(h.Frame().isVisible());
    ASSERT_EQ(h.messenger.messages.size(), 1);
    EXPECT_FALSE(QFile::exists(h.SettingsPath()));

    // Yes, then cancel the file dialog: still open.
    h.messenger.answers = {MessageAnswer::Yes};
    h.chooser.answers = {std::nullopt};
    EXPECT_FALSE(h.Frame().close());
    EXPECT_TRUE(h.Frame().isVisible());

    // Yes with a name: saved, then closed with the settings file.
    const QString saved = h.dir.filePath(QStringLiteral("press"));
    h.messenger.answers = {MessageAnswer::Yes};
    h.chooser.answers = {saved};
    EXPECT_TRUE(h.Frame().close());
    EXPECT_TRUE(QFile::exists(h.SettingsPath()));
    EXPECT_TRUE(QFile::exists(saved + QStringLiteral(".nvp"))); // its content: DocumentCommands
}

TEST_F(MainFrame, OpenedOrDroppedFileIsOpenedAndNamesTheWindowAndJoinsTheRecentList) {
    ASSERT_TRUE(h.Start());
    EXPECT_FALSE(h.Frame().Action(Command::FileMru1)->isVisible());
    CNolvaServoDoc sample(h.app->Profile());
    sample.OnNewDocument();
    const QString nvp = h.dir.filePath(QStringLiteral("axis.nvp"));
    const QString path = h.dir.filePath(QStringLiteral("dropped.nvp"));
    QString error;
    ASSERT_TRUE(SaveDocumentFile(nvp, sample, &error));
    sample.values.speed[3] = 777;
    ASSERT_TRUE(SaveDocumentFile(path, sample, &error));

    h.chooser.answers = {nvp};
    ASSERT_TRUE(h.Frame().Trigger(Command::FileOpen));
    EXPECT_TRUE(h.Frame().windowTitle().startsWith(QStringLiteral("axis.nvp[*] - ")));
    QAction* recent = h.Frame().Action(Command::FileMru1);
    EXPECT_TRUE(recent->isVisible());
    EXPECT_TRUE(recent->isEnabled());
    EXPECT_TRUE(recent->text().endsWith(nvp));

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const QPoint at = h.Frame().rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&h.Frame(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&h.Frame(), &drop);
    EXPECT_EQ(h.app->Document().values.speed[3], 777);
    EXPECT_EQ(h.app->Documents().Path(), path);
}

TEST_F(MainFrame, StopSignalKeepsAModifiedDocumentAndWritesTheSettings) {
    ASSERT_TRUE(h.Start({}, /*stopSignals=*/true));
    QSignalSpy terminated(h.app.get(), &CNolvaServoApp::terminated);
    h.app->Document().values.position[10] = 4321;
    h.app->Documents().SetModified(true);
    const QString recovery = h.app->RecoveryPath();
    EXPECT_EQ(QFileInfo(recovery).dir(), QDir(h.dir.path())); // beside the settings file

    ASSERT_EQ(std::raise(SIGTERM), 0);
    ASSERT_TRUE(AppHarness::WaitFor([&] { return terminated.count() == 1; }, 3000));
    EXPECT_FALSE(h.Frame().isVisible());
    EXPECT_TRUE(h.messenger.messages.isEmpty()); // no question on the way out
    EXPECT_EQ(AppHarness::ReadAll(h.SettingsPath()), FormatSettings(AppSettings{}));
    CNolvaServoDoc kept(h.app->Profile());
    QString error;
    ASSERT_TRUE(OpenDocumentFile(recovery, kept, &error)) << error.toStdString();
    EXPECT_EQ(kept.values.position[10], 4321);
}

TEST_F(MainFrame, HelpContentsShowsTheProgramsOwnHelpWithoutTheHelpFile) {
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.Frame().Trigger(Command::HelpContents));
    CHelpWindow* help = h.app->HelpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_FALSE(help->Browser()->toPlainText().isEmpty());
    EXPECT_TRUE(h.messenger.messages.isEmpty());
}

} // namespace
