// The parameter group windows as the user sees them: drive buttons and the link, what the buttons
// ask of the view, the message when no parameter row has the focus, defaults, a new maximum motor
// speed at activation, typed values, the keyboard. The rows, ranges, defaults and request codes
// themselves are checked beside the tables; closing, showing the document's values again and
// after a read in the running program.

#include "params/ui/ParaGroupDialog.h"

#include "base/Messenger.h"
#include "params/NolvaServoDoc.h"
#include "support/ParameterWindowSupport.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include <memory>

namespace {

constexpr int kValueColumn = 2;
constexpr int kRange = 4;
constexpr int kDefault = 5;

class GroupWindowTest : public ::testing::Test {
protected:
    GroupWindowTest() {
        document.OnNewDocument();
        document.modified = false;
    }

    std::unique_ptr<CParaGroupDialog> Make(ParamGroup group) {
        switch (group) {
        case ParamGroup::Control:
            return std::make_unique<CCtrlParaDialog>(document, profile, requests, messenger);
        case ParamGroup::Torque:
            return std::make_unique<CTorqueParaDialog>(document, profile, requests, messenger);
        case ParamGroup::Speed:
            return std::make_unique<CSpeedParaDialog>(document, profile, requests, messenger);
        default:
            return std::make_unique<CPositionParaDialog>(document, profile, requests, messenger);
        }
    }

    static void Activate(QWidget& window) {
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&window, &activate);
    }

    DriveProfile profile;
    CNolvaServoDoc document{profile};
    RecordingRequests requests;
    RecordingMessenger messenger;
};

const ParamGroup kGroups[] = {ParamGroup::Control, ParamGroup::Torque, ParamGroup::Speed,
                              ParamGroup::Position};

TEST_F(GroupWindowTest, DriveButtonsFollowTheLink) {
    for (ParamGroup group : kGroups) {
        SCOPED_TRACE(static_cast<int>(group));
        requests.linkUp = false;
        auto window = Make(group);
        for (const char* name : {"writeButton", "readAllButton", "writeAllButton"})
            EXPECT_FALSE(Button(*window, name)->isEnabled()) << name;
        EXPECT_TRUE(Button(*window, "defaultsButton")->isEnabled());
        requests.linkUp = true;
        Activate(*window);
        EXPECT_TRUE(Button(*window, "writeAllButton")->isEnabled());
        requests.linkUp = false;
        window->SyncWithDrive(); // the view's word that the link dropped
        EXPECT_FALSE(Button(*window, "readAllButton")->isEnabled());
    }
}

TEST_F(GroupWindowTest, WriteWithoutAParameterRowSaysSoAndSendsNothing) {
    requests.linkUp = true;
    auto window = Make(ParamGroup::Control);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    // The focused grid gets a current cell from Qt (row 1, Cn001) that nobody chose.
    QTableWidget* grid = Grid(*window);
    grid->setFocus();
    QCoreApplication::processEvents();
    if (!grid->currentIndex().isValid())
        grid->selectionModel()->setCurrentIndex(grid->model()->index(0, 0),
                                                QItemSelectionModel::NoUpdate);
    Button(*window, "writeButton")->click();
    EXPECT_TRUE(requests.posts.isEmpty());
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].icon, MessageIcon::Warning);
}

// Every text a group window shows is read whole: columns take their width from the content
// (Cn005's default "编码器一转脉冲数" among them).
TEST_F(GroupWindowTest, EveryCellShowsItsWholeText) {
    for (ParamGroup group : kGroups) {
        SCOPED_TRACE(static_cast<int>(group));
        auto window = Make(group);
        window->show();
        ExpectTextsFit(*Grid(*window));
        QCoreApplication::processEvents();
        EXPECT_EQ(Grid(*window)->horizontalScrollBar()->maximum(), 0) << "a column is hidden";
    }
}

TEST_F(GroupWindowTest, ButtonsPostTheGroupsRequestsForTheFocusRow) {
    requests.linkUp = true;
    auto window = Make(ParamGroup::Speed);
    Grid(*window)->setCurrentCell(4, 1); // row 5, any column
    Button(*window, "writeButton")->click();
    Button(*window, "readAllButton")->click();
    Button(*window, "writeAllButton")->click();
    EXPECT_EQ(requests.posts, (QList<ParameterRequest>{
                                  ParameterRequest::WriteGroupRow(ParamGroup::Speed, 5),
                                  ParameterRequest::ReadAll(ParamGroup::Speed),
                                  ParameterRequest::WriteAll(ParamGroup::Speed)}));
    EXPECT_TRUE(messenger.messages.isEmpty());
}

TEST_F(GroupWindowTest, DefaultsAskFirstAndResetTheWholeControlGroup) {
    for (int32_t& v : document.values.control)
        v = 7;
    auto window = Make(ParamGroup::Control);
    messenger.answers = {MessageAnswer::Cancel};
    Button(*window, "defaultsButton")->click();
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(document.values.control[0], 7);
    EXPECT_FALSE(document.modified);

    Button(*window, "defaultsButton")->click(); // OK this time
    EXPECT_EQ(Cell(*window, 12, kValueColumn), QString::number(document.defaults.control[11]));
    EXPECT_TRUE(requests.posts.isEmpty()); // nothing goes to the drive
}

TEST_F(GroupWindowTest, NewMaximumSpeedShowsAtActivationWhileLinked) {
    auto window = Make(ParamGroup::Speed);
    ASSERT_EQ(Cell(*window, 1, kRange), "-3000~3000");
    profile.maxMotorSpeed = 5000;

    requests.linkUp = false;
    Activate(*window);
    EXPECT_EQ(Cell(*window, 1, kRange), "-3000~3000"); // not while the link is down

    requests.linkUp = true;
    Activate(*window);
    EXPECT_EQ(Cell(*window, 1, kRange), "-5000~5000");
    EXPECT_EQ(Cell(*window, 16, kDefault), "5000");
}

TEST_F(GroupWindowTest, TypedValuesGoIntoTheDocumentWhenInRange) {
    auto window = Make(ParamGroup::Control);
    QTableWidget* grid = Grid(*window);
    grid->item(2, kValueColumn)->setText("-150"); // as the cell editor commits it: Cn003
    EXPECT_EQ(document.values.control[2], -150);

    grid->item(2, kValueColumn)->setText("5000");
    EXPECT_EQ(Cell(*window, 3, kValueColumn), "-150");
    EXPECT_TRUE(messenger.messages.isEmpty()); // told after the editor has closed
    Settle();
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_TRUE(messenger.messages[0].text.startsWith(QStringLiteral("Cn003")));
}

TEST_F(GroupWindowTest, EnterAndEscapeStayInTheGrid) {
    requests.linkUp = true;
    auto window = Make(ParamGroup::Position);
    window->show();
    QTableWidget* grid = Grid(*window);
    grid->setFocus();
    grid->setCurrentCell(0, 0);
    QTest::keyClick(grid, Qt::Key_Escape);
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(requests.posts.isEmpty());
    grid->setCurrentCell(0, kValueColumn);
    QTest::keyClick(grid, Qt::Key_Return);
    auto* editor = grid->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
}

} // namespace
