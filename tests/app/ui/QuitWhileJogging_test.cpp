// The program closing while JOG turns the motor, every way it can close: the exit writes go out
// before the window goes, and an exit that does not reach the drive is told (a box, or a line on
// standard error after a stop signal). The lost link tries the exit too.

#include "support/AppHarness.h"

#include "support/ParameterWindowSupport.h"
#include "support/SimTestSupport.h"
#include "tuning/JogControl.h"
#include "tuning/ui/JogButton.h"
#include "tuning/ui/JogDialog.h"

#include <QLabel>

#include <csignal>

namespace {

using simtest::Cmd;

enum class Quit { MenuExit, WindowClose, Sigterm, Sigint };

const char* Name(Quit quit) {
    switch (quit) {
    case Quit::MenuExit: return "menu exit";
    case Quit::WindowClose: return "window close";
    case Quit::Sigterm: return "SIGTERM";
    case Quit::Sigint: return "SIGINT";
    }
    return "";
}

bool BySignal(Quit quit) {
    return quit == Quit::Sigterm || quit == Quit::Sigint;
}

// Starts the program, opens JOG and turns the motor forward at 500 rpm.
CJogDialog* StartJogging(AppHarness& app, Quit quit) {
    app.drive.SetWord('5', 0x36, 2731); // Sn201: 500 rpm
    if (!app.Start(AppHarness::Connected(), BySignal(quit)) || !app.Frame().Trigger(Command::Jog))
        return nullptr;
    auto* jog = qobject_cast<CJogDialog*>(app.View().ToolWindow(Command::Jog));
    if (jog != nullptr) {
        QTest::mouseClick(jog->ForwardButton(), Qt::LeftButton);
        Settle();
    }
    return jog;
}

// Closes the program the given way and waits until its window is gone.
bool QuitProgram(AppHarness& app, Quit quit) {
    switch (quit) {
    case Quit::MenuExit: app.Frame().Trigger(Command::AppExit); break;
    case Quit::WindowClose: app.Frame().close(); break;
    case Quit::Sigterm: ::raise(SIGTERM); break;
    case Quit::Sigint: ::raise(SIGINT); break;
    }
    return AppHarness::WaitFor([&app] { return !app.Frame().isVisible(); }, 5000);
}

constexpr Quit kAllQuits[] = {Quit::MenuExit, Quit::WindowClose, Quit::Sigterm, Quit::Sigint};

TEST(QuitWhileJogging, EveryWayOfClosingRunsTheJogExitFirst) {
    for (const Quit quit : kAllQuits) {
        AppHarness app;
        ASSERT_NE(StartJogging(app, quit), nullptr) << Name(quit);
        EXPECT_EQ(app.drive.Word('5', 0x36), 0xF555) << Name(quit) << ": -500 rpm";
        app.drive.ClearRequestLog();
        ASSERT_TRUE(QuitProgram(app, quit)) << Name(quit);
        // Enable off, Sn201 back to 500 rpm, JOG mode off; nothing else.
        EXPECT_EQ(app.drive.RequestLog(),
                  (QStringList{Cmd("W63E0000"), Cmd("W5360AAB"), Cmd("W60A0000")}))
            << Name(quit);
        EXPECT_TRUE(app.messenger.messages.isEmpty()) << Name(quit);
        EXPECT_FALSE(app.Session().Connection().Motions().Active()) << Name(quit);
    }
}

TEST(QuitWhileJogging, AnExitThatDoesNotReachTheDriveIsToldAndTheProgramStillCloses) {
    for (const Quit quit : kAllQuits) {
        AppHarness app;
        ASSERT_NE(StartJogging(app, quit), nullptr) << Name(quit);
        app.drive.SetHungUp(true);
        testing::internal::CaptureStderr();
        const bool closed = QuitProgram(app, quit);
        const std::string err = testing::internal::GetCapturedStderr();
        ASSERT_TRUE(closed) << Name(quit);
        EXPECT_EQ(app.drive.Word('6', 0x3E), 1) << Name(quit);
        if (BySignal(quit)) {
            EXPECT_NE(err.find(("orvan-servo: " + JogNotEndedText() + "\n").toStdString()),
                      std::string::npos)
                << Name(quit) << ": " << err;
            EXPECT_TRUE(app.messenger.messages.isEmpty()) << Name(quit);
        } else {
            ASSERT_EQ(app.messenger.messages.size(), 1) << Name(quit);
            EXPECT_EQ(app.messenger.messages[0].text, JogNotEndedText()) << Name(quit);
            EXPECT_EQ(app.messenger.messages[0].icon, MessageIcon::Warning) << Name(quit);
        }
    }
}

TEST(QuitWhileJogging, LostLinkTriesTheExitAndTellsWhenItDidNotGetThrough) {
    AppHarness app;
    CJogDialog* jog = StartJogging(app, Quit::MenuExit);
    ASSERT_NE(jog, nullptr);
    app.drive.SetHungUp(true);
    app.drive.ClearRequestLog();
    ASSERT_TRUE(
        app.TickUntil([&app] { return !app.Session().LinkUp(); }, AppHarness::kTicksToConnect + 1));
    ASSERT_EQ(app.messenger.messages.size(), 2);
    EXPECT_EQ(app.messenger.messages[0].text, QString::fromUtf8("通讯错误！！\n\n断开 !!"));
    EXPECT_EQ(app.messenger.messages[1].text, JogNotEndedText());
    EXPECT_EQ(app.messenger.messages[1].caption, QString::fromUtf8("通讯信息"));
    // The window stays, says so, and closing it says it once more.
    Settle();
    ASSERT_EQ(app.View().ToolWindow(Command::Jog), jog);
    EXPECT_FALSE(jog->LinkWarning()->isHidden());
    jog->close();
    Settle();
    EXPECT_EQ(app.View().ToolWindow(Command::Jog), nullptr);
    ASSERT_EQ(app.messenger.messages.size(), 3);
    EXPECT_EQ(app.messenger.messages[2].text, JogNotReachedText());

    // When the exit gets through as the link is dropped, JOG is over and its window goes.
    AppHarness back;
    jog = StartJogging(back, Quit::MenuExit);
    ASSERT_NE(jog, nullptr);
    int probes = 0;
    back.port->SetResponder([&probes, drive = back.port->CurrentResponder()](QByteArrayView written) {
        // The probe (dn-03) goes unanswered; everything else is answered.
        if (written.startsWith("R6CB")) {
            ++probes;
            return QByteArray();
        }
        return drive(written);
    });
    ASSERT_TRUE(back.TickUntil([&back] { return !back.Session().LinkUp(); },
                               AppHarness::kTicksToConnect + 1));
    EXPECT_EQ(back.drive.Word('6', 0x3E), 0);
    EXPECT_EQ(back.drive.Word('6', 0x0A), 0);
    ASSERT_EQ(back.messenger.messages.size(), 1);
    back.tickers.Advance();
    Settle();
    EXPECT_EQ(back.View().ToolWindow(Command::Jog), nullptr);
    EXPECT_GT(probes, 0);
}

} // namespace
