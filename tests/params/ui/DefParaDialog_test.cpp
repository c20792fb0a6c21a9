// The custom parameter table and its add/remove dialog as the user sees them: what each button
// asks of the view, the messages, failed rows, defaults, editing the list. Which rows, the
// defaults, the list's rules and its limit are checked beside the table and the list editor;
// the drive buttons following the link beside the group windows, which share them; closing the
// window in the running program.

#include "params/ui/AddRemoveDialog.h"
#include "params/ui/DefParaDialog.h"

#include "base/Messenger.h"
#include "drive/ParameterCatalogue.h"
#include "params/CustomListEditor.h"
#include "params/NolvaServoDoc.h"
#include "support/ParameterWindowSupport.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

#include <memory>

namespace {

constexpr int kCode = 0;
constexpr int kValue = 2;

class CustomWindowTest : public ::testing::Test {
protected:
    CustomWindowTest() {
        document.OnNewDocument();
        document.modified = false;
        table.Entries = {{4, 15}, {1, 9}, {5, 0}, {6, 18}, {3, 13}};
    }

    std::unique_ptr<CDefParaDialog> Make() {
        return std::make_unique<CDefParaDialog>(table, document, profile, requests, messenger);
    }

    DriveProfile profile;
    CNolvaServoDoc document{profile};
    CustomTable table;
    RecordingRequests requests;
    RecordingMessenger messenger;
};

QStringList CodeColumn(QWidget& window) {
    QStringList codes;
    for (int row = 1; row <= Grid(window)->rowCount(); ++row)
        codes.append(Cell(window, row, kCode));
    return codes;
}

TEST_F(CustomWindowTest, WriteOnePostsTheRowsGroupRequestOrSaysWhyNot) {
    requests.linkUp = true;
    auto window = Make();
    Button(*window, "writeButton")->click(); // no row
    // qn401 and Hn519 cannot be written alone; Pn316, Cn010 and Sn214 from any column.
    for (const auto& [row, column] :
         {std::pair{2, kValue}, {3, kValue}, {0, 3}, {1, kCode}, {4, kValue}}) {
        Grid(*window)->setCurrentCell(row, column);
        Button(*window, "writeButton")->click();
    }
    Button(*window, "readAllButton")->click();
    Button(*window, "writeAllButton")->click();
    EXPECT_EQ(requests.posts,
              (QList<ParameterRequest>{ParameterRequest::WriteCustomRow(1, ParamGroup::Position),
                                       ParameterRequest::WriteCustomRow(2, ParamGroup::Control),
                                       ParameterRequest::WriteCustomRow(5, ParamGroup::Speed),
                                       ParameterRequest::ReadAll(std::nullopt),
                                       ParameterRequest::WriteAll(std::nullopt)}));
    ASSERT_EQ(messenger.messages.size(), 3);
    EXPECT_TRUE(messenger.messages[1].text.startsWith("qn401"));
    EXPECT_TRUE(messenger.messages[2].text.startsWith("Hn519"));
}

TEST_F(CustomWindowTest, FailedRowIsMarkedUntilWrittenAgainOrRead) {
    requests.linkUp = true;
    auto window = Make();
    auto* grid = qobject_cast<QTableWidget*>(Grid(*window));
    const QColor plain = grid->item(1, kValue)->foreground().color();
    window->MarkRowFailed(2);
    EXPECT_NE(grid->item(1, kValue)->foreground().color(), plain);
    EXPECT_EQ(grid->item(0, kValue)->foreground().color(), plain);
    grid->setCurrentCell(1, 0);
    Button(*window, "writeButton")->click(); // a new attempt clears the mark
    EXPECT_EQ(grid->item(1, kValue)->foreground().color(), plain);
}

TEST_F(CustomWindowTest, DefaultsResetTheListedParameters) {
    document.values.position.fill(3);
    document.values.control.fill(3);
    auto window = Make();
    messenger.answers = {MessageAnswer::Cancel, MessageAnswer::Ok};
    Button(*window, "defaultsButton")->click();
    EXPECT_EQ(document.values.position[15], 3);
    Button(*window, "defaultsButton")->click();
    EXPECT_EQ(Cell(*window, 2, kValue), QString::number(document.defaults.control[9]));
    EXPECT_EQ(messenger.messages.size(), 2);
    EXPECT_TRUE(requests.posts.isEmpty());
}

TEST_F(CustomWindowTest, HelpBoxShowsTheChosenRowsHelpWholeAndScrolling) {
    auto window = Make();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    auto* help = window->findChild<QPlainTextEdit*>(QStringLiteral("helpText"));
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->toPlainText().isEmpty());
    Grid(*window)->setCurrentCell(1, 1);
    EXPECT_EQ(help->toPlainText(), HelpText(ParamCode::FromText("Cn010")));
    // Hn501's help is long: its heads show "&&" as one "&", stand apart from the caption, and
    // the text scrolls inside the box instead of running over it.
    table.Entries.append({6, 0});
    window->Present();
    Grid(*window)->setCurrentCell(CodeColumn(*window).indexOf(QStringLiteral("Hn501")), 1);
    EXPECT_TRUE(
        help->toPlainText().startsWith(QString::fromUtf8("Hn501.1 & Hn501.0 DI-1接脚功能\n")))
        << help->toPlainText().left(40).toStdString();
    QCoreApplication::processEvents();
    EXPECT_GT(help->verticalScrollBar()->maximum(), 0);
}

TEST_F(CustomWindowTest, AddRemoveReplacesTheListAndRefillsTheGrid) {
    auto window = Make();
    bool changed = false;
    QObject::connect(window.get(), &CDefParaDialog::customTableChanged, [&] { changed = true; });
    // The modal dialog: move Pn316 below Cn010, add Cn001 at the end, then OK.
    QTimer::singleShot(0, [&] {
        auto* dialog = window->findChild<CAddRemoveDialog*>();
        ASSERT_NE(dialog, nullptr);
        auto* custom = dialog->findChild<QListWidget*>(QStringLiteral("customList"));
        auto* available = dialog->findChild<QListWidget*>(QStringLiteral("availableList"));
        custom->setCurrentRow(0);
        Button(*dialog, "moveDownButton")->click();
        custom->setCurrentRow(-1);
        available->setCurrentRow(0);
        Button(*dialog, "addButton")->click();
        Button(*dialog, "okButton")->click();
    });
    Button(*window, "addRemoveButton")->click();
    EXPECT_TRUE(changed);
    EXPECT_EQ(table.Entries,
              (QList<CustomEntry>{{1, 9}, {4, 15}, {5, 0}, {6, 18}, {3, 13}, {1, 0}}));
    EXPECT_EQ(CodeColumn(*window),
              QStringList({"Cn010", "Pn316", "qn401", "Hn519", "Sn214", "Cn001"}));
}

TEST_F(CustomWindowTest, CancelledAddRemoveKeepsTheList) {
    auto window = Make();
    const CustomTable before = table;
    QTimer::singleShot(0, [&] {
        auto* dialog = window->findChild<CAddRemoveDialog*>();
        ASSERT_NE(dialog, nullptr);
        Button(*dialog, "removeAllButton")->click();
        Button(*dialog, "cancelButton")->click();
    });
    Button(*window, "addRemoveButton")->click();
    EXPECT_EQ(table, before);
}

TEST(AddRemoveDialog, DoubleClicksMoveEntriesBetweenTheLists) {
    RecordingMessenger messenger;
    CAddRemoveDialog dialog({{1, 0}}, messenger);
    auto* available = dialog.findChild<QListWidget*>(QStringLiteral("availableList"));
    auto* custom = dialog.findChild<QListWidget*>(QStringLiteral("customList"));
    emit available->itemDoubleClicked(available->item(0)); // Cn002
    EXPECT_EQ(dialog.Entries(), (QList<CustomEntry>{{1, 0}, {1, 1}}));
    emit custom->itemDoubleClicked(custom->item(0)); // Cn001 goes back to its place
    EXPECT_EQ(dialog.Entries(), (QList<CustomEntry>{{1, 1}}));
    EXPECT_TRUE(available->item(0)->text().startsWith("Cn001"));
}

// Every parameter's line is read whole in both lists, whichever list holds it.
TEST(AddRemoveDialog, NamesAreNotCut) {
    RecordingMessenger messenger;
    CAddRemoveDialog dialog({{1, 0}}, messenger);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    for (const char* name : {"availableList", "customList"}) {
        auto* list = dialog.findChild<QListWidget*>(QString::fromLatin1(name));
        ASSERT_NE(list, nullptr);
        // The custom list may come to hold any parameter: it is as wide as the available one.
        const int room = list->viewport()->width();
        auto* all = dialog.findChild<QListWidget*>(QStringLiteral("availableList"));
        for (int row = 0; row < all->count(); ++row) {
            const QString text = all->item(row)->text();
            EXPECT_LE(list->fontMetrics().horizontalAdvance(text) + 8, room)
                << name << ": " << text.toStdString();
        }
    }
}

} // namespace
