// The tuning run window as the user sees it: the instruction blinking and switching once the
// servo is seen on, the ratio shown, and "下一步(&N)" enabled only after the servo went off again.

#include "sim/ControlLines.h"
#include "support/ManualTickers.h"
#include "support/ParameterWindowSupport.h"
#include "support/TransferRig.h"
#include "tuning/ui/AutoTuningDialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <chrono>

namespace {

using namespace std::chrono_literals;

TEST(TuningWindows, RunWindowEnablesNextOnlyAfterTheServoWasSeenOnAndThenOff) {
    TransferRig rig{DriveLinkOptions{}};
    rig.drive.SetWord('5', 0xDC, 1); // the off-line run is switched on
    ManualTickers tickers;
    auto run = std::make_shared<TuningRun>(rig.access, false, 0);
    CTuningStartDialog window(run, rig.operations, tickers);
    const QString start = QString::fromUtf8("请将 Servo On 后，开始执行 Off-line 自动增益调谐。");
    EXPECT_EQ(window.Instruction()->text(), start);
    EXPECT_TRUE(window.RatioValue()->text().isEmpty());
    tickers.Advance(); // a blink: the instruction is blanked
    EXPECT_TRUE(window.Instruction()->text().isEmpty());
    tickers.Advance();
    EXPECT_EQ(window.Instruction()->text(), start);
    EXPECT_FALSE(window.NextButton()->isEnabled());

    RunControlLine(rig.drive, QStringLiteral("servo on"));
    tickers.Advance(2); // seen on, then the ratio is read
    EXPECT_EQ(window.Instruction()->text(),
              QString::fromUtf8("请等待至数值稳定後，将 Servo Off 并按 \"下一步\" 继续。"));
    EXPECT_EQ(window.RatioValue()->text(), QStringLiteral("40"));
    for (int step = 0; step < 40; ++step) {
        rig.drive.Advance(100ms);
        tickers.Advance();
    }
    EXPECT_LT(window.RatioValue()->text().toInt(), 40) << "settling toward the machine's 3.0";
    EXPECT_FALSE(window.NextButton()->isEnabled());
    RunControlLine(rig.drive, QStringLiteral("servo off"));
    tickers.Advance();
    EXPECT_TRUE(window.NextButton()->isEnabled());
}

// The set value fields take 4, 5 and 5 characters; values the drive holds beyond the ranges show
// held within them (what "写入" would take), not cut to the field's length.
TEST(TuningWindows, PatternSetValuesShowHeldWithinTheirRanges) {
    TransferRig rig{DriveLinkOptions{}};
    ManualTickers tickers;
    PatternWriter writer(rig.connection, rig.profile, rig.messenger);
    PatternValues current;
    current.maxSpeed = 10000;
    current.acceleration = 100000;
    current.holdTime = 65535;
    COffLineAutoTuning window(current, 3000, writer, tickers);
    EXPECT_EQ(window.findChild<QLineEdit*>("set1")->text(), "3000");
    EXPECT_EQ(window.findChild<QLineEdit*>("set2")->text(), "90000");
    EXPECT_EQ(window.findChild<QLineEdit*>("set3")->text(), "10000");
    EXPECT_EQ(window.findChild<QLineEdit*>("current1")->text(), "10000") << "read as it is";
}

TEST(TuningWindows, EnterInTheModeChoiceConfirmsIt) {
    CJogAutoGDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto* online = dialog.findChild<QRadioButton*>("mode2");
    online->setFocus();
    QTest::mouseClick(online, Qt::LeftButton, {}, {8, online->height() / 2});
    QTest::keyClick(online, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.Choice(), TuningMode::OnLine);
}

} // namespace
