// The capture's windows: the settings dialog's rules as a user types and chooses, and the wait
// window's clock, looks at the drive and cancel.

#include "support/ManualTickers.h"
#include "trace/ui/TraceSetupDialog.h"
#include "trace/ui/TraceWaitDialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

template <typename W> W* Child(QWidget& parent, const char* name) {
    W* w = parent.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

TEST(TraceSetupDialog, TypedAndChosenValuesKeepTheirRules) {
    TraceSettings s;
    s.SetTriggerMode(2);
    ASSERT_TRUE(s.SetTriggerLevel(1500));
    CTraceSetupDialog dialog(s, {});
    dialog.show();
    auto* interval = Child<QLineEdit>(dialog, "intervalEdit");
    auto* level = Child<QLineEdit>(dialog, "levelEdit");
    auto* unit = Child<QLabel>(dialog, "levelUnit");
    EXPECT_EQ(level->text(), "1500");
    EXPECT_EQ(unit->text(), "[rpm]  (0~3000)");

    // Typing 1250 gives 64000 ms in all; one more digit leaves 1250 as it was.
    interval->selectAll();
    QTest::keyClicks(interval, "1250");
    EXPECT_EQ(Child<QLabel>(dialog, "intervalMs")->text(), "125.0");
    EXPECT_EQ(Child<QLabel>(dialog, "totalMs")->text(), "64000.00");
    QTest::keyClicks(interval, "0");
    EXPECT_EQ(interval->text(), "1250");
    EXPECT_EQ(dialog.Settings().intervalCode, 1250);
    interval->selectAll();
    QTest::keyClick(interval, Qt::Key_Backspace);
    EXPECT_EQ(interval->text(), "1250") << "an empty interval is no interval";

    // Torque command after speed command: the level goes to 0 and the range to 300 %.
    Child<QComboBox>(dialog, "triggerModeList")->setCurrentIndex(4);
    EXPECT_EQ(level->text(), "0");
    EXPECT_EQ(dialog.Settings().triggerLevel, 0);
    EXPECT_EQ(unit->text(), "[%]  (0~300)");
    level->selectAll();
    QTest::keyClicks(level, "350");
    EXPECT_EQ(level->text(), "35");
    EXPECT_EQ(dialog.Settings().triggerLevel, 35) << "350 % is above the range";
    QTest::mouseClick(Child<QWidget>(dialog, "levelUp"), Qt::LeftButton);
    EXPECT_EQ(level->text(), "36");

    // A contact trigger takes no level.
    Child<QComboBox>(dialog, "triggerModeList")->setCurrentIndex(7);
    EXPECT_FALSE(level->isEnabled());
    EXPECT_EQ(dialog.Settings().triggerLevel, 0);
    EXPECT_TRUE(unit->text().isEmpty());
}

// Reopened on a torque trigger, the dialog shows and keeps its level; choosing the mode resets it.
TEST(TraceSetupDialog, ReopeningKeepsTheLevelOfEveryMode) {
    const struct {
        int32_t mode;
        int32_t level;
        const char* shown;
    } cases[] = {{4, 150, "150"}, {4, 300, "300"}, {2, 1500, "1500"}, {0, 0, "0"},
                 {4, 301, "0"},   {17, 5, "0"}}; // out of range: as the trace window shows it
    for (const auto& c : cases) {
        TraceSettings s;
        s.triggerMode = c.mode;
        s.triggerLevel = c.level;
        CTraceSetupDialog dialog(s, {});
        EXPECT_EQ(Child<QLineEdit>(dialog, "levelEdit")->text(), QString::fromLatin1(c.shown))
            << "mode " << c.mode << ", level " << c.level;
        EXPECT_EQ(dialog.Settings().triggerLevel,
                  Child<QLineEdit>(dialog, "levelEdit")->text().toInt());
    }
    TraceSettings torque;
    torque.triggerMode = 4;
    torque.triggerLevel = 150;
    CTraceSetupDialog dialog(torque, {});
    EXPECT_EQ(Child<QLabel>(dialog, "levelUnit")->text(), "[%]  (0~300)");
    EXPECT_EQ(Child<QLineEdit>(dialog, "levelEdit")->maxLength(), 3);
    auto* modes = Child<QComboBox>(dialog, "triggerModeList");
    modes->setCurrentIndex(2);
    EXPECT_EQ(dialog.Settings().triggerLevel, 150) << "a level within 0..3000 stays";
    modes->setCurrentIndex(4);
    EXPECT_EQ(dialog.Settings().triggerLevel, 0);
}

TEST(TraceStartDialog, LooksEveryFourthTickAndCancelEndsTheLooks) {
    ManualTickers tickers;
    int looks = 0;
    // Code 1250: 64 s of recording.
    CTraceStartDialog dialog(125000, 512, tickers, [&] {
        ++looks;
        return DriveTrace::Recording::Waiting;
    });
    dialog.show();
    tickers.Advance(3);
    EXPECT_EQ(looks, 0);
    tickers.Advance(1);
    EXPECT_EQ(looks, 1);
    EXPECT_EQ(dialog.TimeText(), QStringLiteral("0.400/64.000 秒"));
    QTest::mouseClick(Child<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
    EXPECT_TRUE(dialog.Cancelled());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    tickers.Advance(8);
    EXPECT_EQ(looks, 1);

    // A finished recording closes the window as accepted.
    CTraceStartDialog finished(100, 512, tickers, [] { return DriveTrace::Recording::Finished; });
    finished.show();
    tickers.Advance(1); // 51.2 ms: the count starts again at once, with a look
    EXPECT_EQ(finished.result(), QDialog::Accepted);
    EXPECT_FALSE(finished.Cancelled());
}

} // namespace
