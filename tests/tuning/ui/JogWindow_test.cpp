// The JOG window in the running program: opened after the entry writes, its buttons' writes, the
// speed edit's limit, the exit sequence when it closes, and the warning when the drive is lost.

#include "support/AppHarness.h"

#include "support/ParameterWindowSupport.h"
#include "support/SimTestSupport.h"
#include "tuning/JogControl.h"
#include "tuning/ui/JogButton.h"
#include "tuning/ui/JogDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace {

using simtest::Cmd;

struct JogWindow : ::testing::Test {
    AppHarness h;
};

TEST_F(JogWindow, ButtonsWriteTheSignedSpeedAndClosingRunsTheExitSequence) {
    h.drive.SetWord('5', 0x36, 2731); // Sn201: 500 rpm
    ASSERT_TRUE(h.Start(AppHarness::Connected()));
    h.drive.ClearRequestLog();
    ASSERT_TRUE(h.Frame().Trigger(Command::Jog));
    auto* jog = qobject_cast<CJogDialog*>(h.View().ToolWindow(Command::Jog));
    ASSERT_NE(jog, nullptr);
    EXPECT_EQ(jog->SpeedEdit()->value(), 500);
    EXPECT_EQ(h.drive.RequestLog().last(), Cmd("W63E0001"));
    EXPECT_FALSE(h.Enabled(Command::StatusMonitor)) << "JOG keeps the monitors out";

    // A speed above N goes back to the one before.
    auto* edit = jog->SpeedEdit()->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_0); // 5000
    EXPECT_EQ(jog->Speed(), 500);
    EXPECT_EQ(edit->text(), QStringLiteral("500"));

    h.drive.ClearRequestLog();
    QTest::mouseClick(jog->ForwardButton(), Qt::LeftButton);
    Settle();
    QTest::mouseClick(jog->ReverseButton(), Qt::LeftButton);
    Settle();
    QTest::mouseClick(jog->StopButton(), Qt::LeftButton);
    Settle();
    EXPECT_EQ(h.drive.RequestLog(),
              (QStringList{Cmd("W536F555"), Cmd("W5360AAB"), Cmd("W5360000")}));
    EXPECT_TRUE(jog->LinkWarning()->isHidden());

    // The drive stops answering: the window stays and says the stop did not arrive.
    h.drive.SetHungUp(true);
    QTest::mouseClick(jog->StopButton(), Qt::LeftButton);
    Settle();
    EXPECT_EQ(h.View().ToolWindow(Command::Jog), jog);
    EXPECT_FALSE(jog->LinkWarning()->isHidden());
    h.drive.SetHungUp(false);

    h.drive.ClearRequestLog();
    QTest::mouseClick(jog->CloseButton(), Qt::LeftButton);
    Settle();
    EXPECT_EQ(h.View().ToolWindow(Command::Jog), nullptr);
    EXPECT_EQ(h.drive.RequestLog(),
              (QStringList{Cmd("W63E0000"), Cmd("W5360AAB"), Cmd("W60A0000")}));
    EXPECT_TRUE(h.Enabled(Command::StatusMonitor));
}

TEST_F(JogWindow, NegativeEntrySpeedShowsItsMagnitudeAndTheButtonsSendWhatIsShown) {
    h.drive.SetWord('5', 0x36, 0xEAAB); // Sn201: -1000 rpm
    ASSERT_TRUE(h.Start(AppHarness::Connected()));
    ASSERT_TRUE(h.Frame().Trigger(Command::Jog));
    auto* jog = qobject_cast<CJogDialog*>(h.View().ToolWindow(Command::Jog));
    ASSERT_NE(jog, nullptr);
    EXPECT_EQ(jog->SpeedEdit()->value(), 1000);
    EXPECT_EQ(jog->Speed(), 1000);

    h.drive.ClearRequestLog();
    QTest::mouseClick(jog->ForwardButton(), Qt::LeftButton);
    Settle();
    QTest::mouseClick(jog->ReverseButton(), Qt::LeftButton);
    Settle();
    QTest::mouseClick(jog->CloseButton(), Qt::LeftButton);
    Settle();
    // -1000, +1000, then the exit gives back the signed entry value.
    EXPECT_EQ(h.drive.RequestLog(), (QStringList{Cmd("W536EAAB"), Cmd("W5361555"), Cmd("W63E0000"),
                                                 Cmd("W536EAAB"), Cmd("W60A0000")}));
    EXPECT_EQ(h.View().ToolWindow(Command::Jog), nullptr);
    EXPECT_TRUE(h.messenger.messages.isEmpty());
}

TEST_F(JogWindow, ClosingWithoutReachingTheDriveShowsTheWarningBeforeTheWindowGoes) {
    struct Case {
        const char* what;
        std::function<void(AppHarness&, CJogDialog&)> fault;
    };
    const Case cases[] = {
        {"the drive stops answering before the stop",
         [](AppHarness& app, CJogDialog& jog) {
             app.drive.SetHungUp(true);
             QTest::mouseClick(jog.StopButton(), Qt::LeftButton);
             Settle();
         }},
        {"the drive refuses the exit's first write",
         [](AppHarness& app, CJogDialog&) {
             FaultSettings refuse;
             refuse.refuse = 1.0;
             app.drive.SetFaults(refuse);
         }},
    };
    for (const Case& c : cases) {
        AppHarness app;
        ASSERT_TRUE(app.Start(AppHarness::Connected())) << c.what;
        ASSERT_TRUE(app.Frame().Trigger(Command::Jog)) << c.what;
        auto* jog = qobject_cast<CJogDialog*>(app.View().ToolWindow(Command::Jog));
        ASSERT_NE(jog, nullptr) << c.what;
        QTest::mouseClick(jog->ForwardButton(), Qt::LeftButton);
        Settle();
        c.fault(app, *jog);
        bool shownWhileOpen = false;
        QObject::connect(jog, &QDialog::finished, jog,
                         [&] { shownWhileOpen = !app.messenger.messages.isEmpty(); });
        jog->close();
        Settle();
        EXPECT_EQ(app.View().ToolWindow(Command::Jog), nullptr) << c.what;
        ASSERT_EQ(app.messenger.messages.size(), 1) << c.what;
        EXPECT_EQ(app.messenger.messages[0].text, JogNotReachedText()) << c.what;
        EXPECT_EQ(app.messenger.messages[0].caption, QString::fromUtf8("点动模式 (dn-05)"))
            << c.what;
        EXPECT_TRUE(shownWhileOpen) << c.what;
        EXPECT_EQ(app.drive.Word('6', 0x3E), 1) << c.what << ": JOG still enabled";
    }
}

TEST_F(JogWindow, DirectionButtonsHaveFourDrawingsAndTheHandCursor) {
    CJogButtonCtrl button(CJogButtonCtrl::Direction::Forward, QString::fromUtf8("正转"));
    EXPECT_EQ(button.cursor().shape(), Qt::PointingHandCursor);
    const QImage normal = button.Drawing(CJogButtonCtrl::Look::Normal).toImage();
    for (auto look : {CJogButtonCtrl::Look::Hover, CJogButtonCtrl::Look::Pressed,
                      CJogButtonCtrl::Look::Disabled})
        EXPECT_NE(button.Drawing(look).toImage(), normal);
    CJogButtonCtrl reverse(CJogButtonCtrl::Direction::Reverse, QString::fromUtf8("正转"));
    EXPECT_NE(reverse.Drawing(CJogButtonCtrl::Look::Normal).toImage(), normal)
        << "the arrows turn opposite ways";
}

} // namespace
