// The contact planner in the running program: the command reads the contacts, the window shows
// them, clicks and Enter move through it, and finishing writes the planned values to the drive.

#include "support/AppHarness.h"

#include "drive/ParameterCatalogue.h"
#include "params/NolvaServoDoc.h"
#include "planning/ui/ContactBitmaps.h"
#include "planning/ui/InOutParaDialog.h"
#include "support/ParameterWindowSupport.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {

bool Shows(const QPushButton* cell, ContactBitmap bitmap) {
    const QPixmap expected = ContactBitmapPixmap(bitmap);
    return cell->icon().pixmap(expected.size()).toImage() == expected.toImage();
}

// The texts of the labels not hidden.
QStringList ShownLabels(const QWidget& dialog) {
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        if (!label->isHidden() && !label->text().isEmpty())
            texts << label->text();
    return texts;
}

TEST(ContactPlanner, ClicksGoToTheOutputPageAndFinishWritesThePlan) {
    AppHarness h;
    ASSERT_TRUE(h.Start(AppHarness::Connected()));
    ASSERT_TRUE(h.TickUntil([&] { return h.Session().LinkUp(); }, AppHarness::kTicksToConnect));
    h.drive.State().SetWord(5, ParameterIndexOf({'H', 1}), 0x0101); // SON normally closed
    h.drive.State().SetWord(5, ParameterIndexOf({'H', 14}), 0x0002);
    h.app->Document().modified = false;
    bool handled = false;
    WhenModal<CInOutParaDialog>([&](CInOutParaDialog& dialog) {
        auto* group = dialog.findChild<QGroupBox*>();
        auto* next = dialog.findChild<QPushButton*>(QStringLiteral("nextButton"));
        auto* finish = dialog.findChild<QPushButton*>(QStringLiteral("finishButton"));
        EXPECT_EQ(group->title(), QString::fromUtf8("输入接点信号设定"));
        EXPECT_TRUE(Shows(dialog.Cell(0, 0), ContactBitmap::NormallyClosed));
        EXPECT_TRUE(dialog.Cell(0, 0)->isChecked());
        EXPECT_EQ(dialog.Cell(12, 27)->geometry(), QRect(120 + 51 * 12, 83 + 21 * 27, 51, 21));
        EXPECT_TRUE(ShownLabels(dialog).contains(" DI-13") && ShownLabels(dialog).contains("RS2"));

        QTest::mouseClick(dialog.Cell(0, 0), Qt::LeftButton); // normally open now
        QTest::mouseClick(dialog.Cell(1, 4), Qt::LeftButton); // DI-2: CCWL normally closed
        EXPECT_TRUE(Shows(dialog.Cell(0, 0), ContactBitmap::NormallyOpen));
        EXPECT_FALSE(dialog.Cell(0, 0)->isChecked());
        EXPECT_TRUE(Shows(dialog.Cell(1, 4), ContactBitmap::NormallyClosed));
        // Enter on a cell of the input page ends nothing; on "下一步" it turns the page.
        QTest::keyClick(dialog.Cell(1, 4), Qt::Key_Return);
        EXPECT_TRUE(finish->isHidden());
        next->setFocus();
        QTest::keyClick(next, Qt::Key_Return);
        EXPECT_EQ(dialog.Page(), 1);

        EXPECT_EQ(group->title(), QString::fromUtf8("输出接点信号设定"));
        EXPECT_TRUE(dialog.Cell(0, 0)->isHidden() && !dialog.Cell(13, 8)->isEnabled());
        EXPECT_TRUE(Shows(dialog.Cell(13, 1), ContactBitmap::NormallyOpen));
        EXPECT_EQ(dialog.Cell(16, 0)->geometry(), QRect(120 + 153 * 3, 83, 153, 21));
        const QStringList labels = ShownLabels(dialog);
        EXPECT_TRUE(labels.contains(" DO-4") && labels.contains("INT"));
        EXPECT_FALSE(labels.contains("Hn501") || labels.contains("09") || labels.contains("SON"));
        QTest::mouseClick(dialog.Cell(13, 7), Qt::LeftButton); // DO-1: INT normally closed
        handled = true;
        QTest::mouseClick(finish, Qt::LeftButton);
    });
    ASSERT_TRUE(h.Frame().Trigger(Command::ContactPlanning));
    ASSERT_TRUE(handled);

    EXPECT_EQ(h.drive.State().StoredRaw('H', 1), 0x0001);
    EXPECT_EQ(h.drive.State().StoredRaw('H', 2), 0x0105);
    EXPECT_EQ(h.drive.State().StoredRaw('H', 14), 0x0108);
    EXPECT_TRUE(h.app->Document().modified);
}

} // namespace
