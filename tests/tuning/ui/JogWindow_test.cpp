// The JOG window in the running program: opened after the entry writes, its buttons' writes, the
// speed edit's limit, the exit sequence when it closes, and the warning when the drive is lost.

#include "support/AppHarness.h"

#include "support/ParameterWindowSupport.h"
#include "support/SimTestSupport.h"
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
    h.drive.setWord('5', 0x36, 2731); // Sn201: 500 rpm
    ASSERT_TRUE(h.Start(AppHarness::Connected()));
    h.drive.clearRequestLog();
    ASSERT_TRUE(h.Frame().Trigger(Command::Jog));
    auto* jog = qobject_cast<CJogDialog*>(h.View().ToolWindow(Command::Jog));
    ASSERT_NE(jog, nullptr);
    EXPECT_EQ(jog->SpeedEdit()->value(), 500);
    EXPECT_EQ(h.drive.requestLog().last(), Cmd("W63E0001"));
    EXPECT_FALSE(h.Enabled(Command::StatusMonitor)) << "JOG keeps the monitors out";

    // A speed above N goes back to the one before.
    auto* edit = jog->SpeedEdit()->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_0); // 5000
    EXPECT_EQ(jog->Speed(), 500);
    EXPECT_EQ(edit->text(), QStringLiteral("500"));

    h.drive.clearRequestLog();
    QTest::mouseClick(jog->ForwardButton(), Qt::LeftButton);
    Settle();
    QTest::mouseClick(jog->ReverseButton(), Qt::LeftButton);
    Settle();
    QTest::mouseClick(jog->StopButton(), Qt::LeftButton);
    Settle();
    EXPECT_EQ(h.drive.requestLog(),
              (QStringList{Cmd("W536F555"), Cmd("W5360AAB"), Cmd("W5360000")}));
    EXPECT_TRUE(jog->LinkWarning()->isHidden());

    // The drive stops answering: the window stays and says the stop did not arrive.
    h.drive.setHungUp(true);
    QTest::mouseClick(jog->StopButton(), Qt::LeftButton);
    Settle();
    EXPECT_EQ(h.View().ToolWindow(Command::Jog), jog);
    EXPECT_FALSE(jog->LinkWarning()->isHidden());
    h.drive.setHungUp(false);

    h.drive.clearRequestLog();
    QTest::mouseClick(jog->CloseButton(), Qt::LeftButton);
    Settle();
    EXPECT_EQ(h.View().ToolWindow(Command::Jog), nullptr);
    EXPECT_EQ(h.drive.requestLog(),
              (QStringList{Cmd("W63E0000"), Cmd("W5360AAB"), Cmd("W60A0000")}));
    EXPECT_TRUE(h.Enabled(Command::StatusMonitor));
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
