// The online editor in the running program: the set-up puts a parameter on a panel, an up button
// changes the digits shown and the drive's value at once, and the panels come back after a
// restart.

#include "support/AppHarness.h"

#include "online/ui/OnlineParaEditDialog.h"
#include "online/ui/OnlineParaSetupDialog.h"
#include "online/ui/SetParaSelDialog.h"
#include "support/ParameterWindowSupport.h"
#include "widgets/DigitDisplay.h"

#include <QComboBox>
#include <QTreeWidget>

namespace {

// Chooses `entry` in the selection window that "设定 N" opens; `offered` gets its entries.
void ChooseWhenAsked(const QString& entry, QStringList* offered) {
    WhenModal<CSetParaSelDialog>([entry, offered](CSetParaSelDialog& choose) {
        QComboBox* list = choose.List();
        for (int i = 0; i < list->count(); ++i)
            offered->append(list->itemText(i));
        list->setCurrentIndex(list->findText(entry, Qt::MatchStartsWith));
        choose.accept();
    });
}

TEST(OnlineEditorWindow, UpButtonChangesTheDigitsAndTheDriveAndPanelsSurviveARestart) {
    AppHarness h;
    ASSERT_TRUE(h.Start(AppHarness::Connected()));
    ASSERT_TRUE(h.TickUntil([&] { return h.Session().LinkUp(); }, AppHarness::kTicksToConnect));
    QStringList firstOffer;
    QStringList secondOffer;
    bool handled = false;
    WhenModal<COnlineParaEdit>([&](COnlineParaEdit& editor) {
        EXPECT_FALSE(editor.UpButton(0, 1)->isEnabled()) << "no parameter yet";
        WhenModal<COnlineParaSetupDialog>([&](COnlineParaSetupDialog& setup) {
            ChooseWhenAsked(QStringLiteral("qn401"), &firstOffer);
            Button(setup, "set1")->click();
            EXPECT_EQ(setup.List()->topLevelItem(0)->text(0), QStringLiteral("qn401"));
            EXPECT_TRUE(Button(setup, "clear1")->isEnabled());
            ChooseWhenAsked(QStringLiteral("Sn212"), &secondOffer);
            Button(setup, "set2")->click();
            EXPECT_EQ(setup.List()->topLevelItem(1)->text(3), QStringLiteral("1~500"));
            Button(setup, "okButton")->click();
        });
        Button(editor, "setupButton")->click();

        DigitDisplay* display = editor.Display(0);
        EXPECT_EQ(display->Text(), QStringLiteral("   40"));
        EXPECT_TRUE(editor.UpButton(0, 3)->isVisible());
        EXPECT_FALSE(editor.UpButton(0, 4)->isVisible()) << "10..450 has no thousands";
        editor.UpButton(0, 2)->click();
        EXPECT_EQ(display->Text(), QStringLiteral("   50"));
        handled = true;
        Button(editor, "closeButton")->click();
    });
    ASSERT_TRUE(h.Frame().Trigger(Command::OnlineEditing));
    ASSERT_TRUE(handled);
    EXPECT_EQ(h.drive.State().LiveRaw('S', 11), 50) << "qn401 is Sn211 in the drive";
    EXPECT_TRUE(firstOffer.contains(QString::fromUtf8("Sn211 - 速度回路增益1")));
    EXPECT_TRUE(secondOffer.filter(QStringLiteral("Sn211")).isEmpty() &&
                secondOffer.filter(QStringLiteral("qn401")).isEmpty())
        << "the twin on panel 1 keeps both out";
    EXPECT_TRUE(h.messenger.messages.isEmpty());

    EXPECT_TRUE(h.Frame().close());
    h.app.reset();
    ASSERT_TRUE(h.Start());
    EXPECT_EQ(h.app->Settings().onlineCodes,
              (OnlinePanelCodes{ParamCode{'q', 1}, ParamCode{'S', 12}, ParamCode{}, ParamCode{}}));
}

} // namespace
