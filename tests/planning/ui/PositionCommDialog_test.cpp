// The position planner in the running program: the command reads the 50 parameters, the window
// shows them, refuses keystrokes out of range, and OK writes what it shows to the drive.

#include "support/AppHarness.h"

#include "drive/ParameterCatalogue.h"
#include "planning/PositionPlan.h"
#include "planning/ui/PlannerSpinField.h"
#include "planning/ui/PositionCommDialog.h"
#include "support/ParameterWindowSupport.h"

#include <QLineEdit>
#include <QRadioButton>

namespace {

void Retype(PlannerSpinField* field, const QString& text) {
    field->Edit()->selectAll();
    QTest::keyClicks(field->Edit(), text);
}

TEST(PositionPlanner, TypedRowsReachTheDriveOnOk) {
    AppHarness h;
    ASSERT_TRUE(h.Start(AppHarness::Connected()));
    ASSERT_TRUE(h.TickUntil([&] { return h.Session().LinkUp(); }, AppHarness::kTicksToConnect));
    h.drive.State().SetWord(5, ParameterIndexOf({'P', 16}), 0x0011);
    h.drive.State().SetWord(5, ParameterIndexOf({'P', 23}), 0xFFFE); // command 3: -2 revolutions
    h.drive.State().SetWord(5, ParameterIndexOf({'P', 25}), 700);    // command 3's speed
    h.drive.State().SetWord(5, ParameterIndexOf({'P', 19}), 500);    // command 1's speed
    bool handled = false;
    WhenModal<CPositionCommDialog>([&](CPositionCommDialog& dialog) {
        EXPECT_TRUE(dialog.findChild<QRadioButton*>("relative")->isChecked());
        EXPECT_TRUE(dialog.findChild<QRadioButton*>("pholdImmediate")->isChecked());
        PlannerSpinField* revolutions = dialog.Field(PlannerField::Revolutions, 2);
        EXPECT_EQ(revolutions->Edit()->text(), "-2");
        Retype(revolutions, "30001");
        EXPECT_EQ(revolutions->Edit()->text(), "3000") << "the last keystroke is refused";
        QTest::keyClick(revolutions->Edit(), Qt::Key_Up);
        EXPECT_EQ(revolutions->Edit()->text(), "3001");
        PlannerSpinField* speed = dialog.Field(PlannerField::Speed, 2);
        Retype(speed, "3001");
        EXPECT_EQ(speed->Edit()->text(), "300");
        Retype(dialog.Field(PlannerField::Pulses, 15), "-1");
        speed->Edit()->clear(); // an empty field goes back as 0
        dialog.Field(PlannerField::Speed, 0)->Edit()->setText("-");
        auto* absolute = dialog.findChild<QRadioButton*>("absolute");
        QTest::mouseClick(absolute, Qt::LeftButton, {}, {8, absolute->height() / 2}); // its mark
        EXPECT_TRUE(absolute->isChecked());
        handled = true;
        dialog.accept();
    });
    ASSERT_TRUE(h.Frame().Trigger(Command::PositionPlanning));
    ASSERT_TRUE(handled);
    EXPECT_EQ(h.drive.State().StoredRaw('P', 16), 0x0010);
    EXPECT_EQ(h.drive.State().StoredRaw('P', 23), 3001);
    EXPECT_EQ(h.drive.State().LiveRaw('P', 25), 0);
    EXPECT_EQ(h.drive.State().LiveRaw('P', 63), -1);
    EXPECT_EQ(h.drive.State().StoredRaw('P', 19), 0);
    EXPECT_EQ(h.messenger.messages.back().caption, QString::fromUtf8("写入讯息"));
}

// A field takes only so many characters while typing; a value the drive holds beyond its range
// (or longer than the field) shows as OK writes it, held within the range, never cut.
TEST(PositionPlanner, ValuesBeyondAFieldShowHeldWithinItsRange) {
    struct Case {
        PlannerField field;
        int32_t value;
        const char* shown;
    };
    const Case cases[] = {
        {PlannerField::Speed, 10000, "3000"},
        {PlannerField::Speed, 65535, "3000"},
        {PlannerField::Speed, -5, "0"},
        {PlannerField::Speed, 3000, "3000"},
        {PlannerField::SmoothingTime, 65535, "10000"},
        {PlannerField::SmoothingTime, 10000, "10000"},
        {PlannerField::Revolutions, -300000, "-30000"},
        {PlannerField::Revolutions, 30001, "30000"},
        {PlannerField::Pulses, 32768, "32767"},
        {PlannerField::Pulses, -32768, "-32767"},
    };
    for (const Case& c : cases) {
        PlannerSpinField field(c.field);
        field.SetValue(c.value);
        EXPECT_EQ(field.Edit()->text(), QString::fromLatin1(c.shown)) << c.value;
        EXPECT_EQ(field.ValueOnOk(), QString::fromLatin1(c.shown).toInt()) << c.value;
    }
}

TEST(PositionPlanner, SpeedOfTenThousandFromTheDriveGoesBackAsTheRangeLimit) {
    AppHarness h;
    ASSERT_TRUE(h.Start(AppHarness::Connected()));
    ASSERT_TRUE(h.TickUntil([&] { return h.Session().LinkUp(); }, AppHarness::kTicksToConnect));
    h.drive.State().SetWord(5, ParameterIndexOf({'P', 19}), 10000); // command 1's speed
    bool handled = false;
    WhenModal<CPositionCommDialog>([&](CPositionCommDialog& dialog) {
        EXPECT_EQ(dialog.Field(PlannerField::Speed, 0)->Edit()->text(), "3000");
        handled = true;
        dialog.accept();
    });
    ASSERT_TRUE(h.Frame().Trigger(Command::PositionPlanning));
    ASSERT_TRUE(handled);
    EXPECT_EQ(h.drive.State().StoredRaw('P', 19), 3000);
}

} // namespace
