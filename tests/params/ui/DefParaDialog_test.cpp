// The custom parameter table and its add/remove dialog: rows, what each button asks of the
// view, quick and contact rows, failed rows, defaults, editing the list, the 81st entry.

#include "params/ui/AddRemoveDialog.h"
#include "params/ui/DefParaDialog.h"

#include "support/ParameterWindowSupport.h"
#include "base/Messenger.h"
#include "params/NolvaServoDoc.h"
#include "drive/ParameterCatalogue.h"

#include <QApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QPointer>
#include <QTest>
#include <QTimer>

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
    for (int row = 1; row <= Grid(window)->rowCount(); ++row) {
        codes.append(Cell(window, row, kCode));
    }
    return codes;
}

TEST_F(CustomWindowTest, RowsAreTheListInItsOrder) {
    auto window = Make();
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("自定参数"));
    EXPECT_EQ(CodeColumn(*window), QStringList({"Pn316", "Cn010", "qn401", "Hn519", "Sn214"}));
    EXPECT_EQ(Cell(*window, 5, 3), UnitText("Sn214")); // the catalogue's unit here

    table.Entries.clear();
    window->Present(); // an empty list gives an empty grid
    EXPECT_EQ(Grid(*window)->rowCount(), 0);
    window->hide();
}

TEST_F(CustomWindowTest, OnlyTheFirstEightyEntriesAreShown) {
    table.Entries.clear();
    for (int i = 0; i < 85; ++i) {
        table.Entries.append({i < 69 ? 4 : 6, i < 69 ? i : i - 69});
    }
    auto window = Make();
    EXPECT_EQ(Grid(*window)->rowCount(), 80);
    EXPECT_EQ(Cell(*window, 80, kCode), "Hn511");
    EXPECT_EQ(table.Entries.size(), 85); // the application keeps them all
}

TEST_F(CustomWindowTest, DriveButtonsFollowTheLink) {
    auto window = Make();
    for (const char* name : {"writeButton", "readAllButton", "writeAllButton"}) {
        EXPECT_FALSE(Button(*window, name)->isEnabled()) << name;
    }
    for (const char* name : {"defaultsButton", "addRemoveButton", "closeButton"}) {
        EXPECT_TRUE(Button(*window, name)->isEnabled()) << name;
    }
    requests.linkUp = true;
    window->SyncWithDrive();
    EXPECT_TRUE(Button(*window, "writeButton")->isEnabled());
}

TEST_F(CustomWindowTest, WriteOnePostsTheRowsGroupRequest) {
    requests.linkUp = true;
    auto window = Make();
    Grid(*window)->setCurrentCell(0, 3); // Pn316
    Button(*window, "writeButton")->click();
    Grid(*window)->setCurrentCell(1, 0); // Cn010
    Button(*window, "writeButton")->click();
    Grid(*window)->setCurrentCell(4, 2); // Sn214
    Button(*window, "writeButton")->click();
    Button(*window, "readAllButton")->click();
    Button(*window, "writeAllButton")->click();
    EXPECT_EQ(requests.posts,
              (QList<PostedRequest>{
                  {0x658, 14, 1}, {0x658, 11, 2}, {0x658, 13, 5}, {0x658, 2, 0}, {0x658, 3, 0}}));
    EXPECT_TRUE(messenger.messages.isEmpty());
}

TEST_F(CustomWindowTest, QuickAndContactRowsAreNotWrittenAlone) {
    requests.linkUp = true;
    auto window = Make();
    for (int row : {2, 3}) { // qn401, Hn519
        Grid(*window)->setCurrentCell(row, kValue);
        Button(*window, "writeButton")->click();
    }
    EXPECT_TRUE(requests.posts.isEmpty());
    ASSERT_EQ(messenger.messages.size(), 2);
    EXPECT_TRUE(messenger.messages[0].text.startsWith("qn401"));
    EXPECT_TRUE(messenger.messages[1].text.startsWith("Hn519"));
    EXPECT_EQ(messenger.messages[1].caption, QString::fromUtf8("写入讯息"));
}

TEST_F(CustomWindowTest, WriteWithoutAParameterRowSaysSo) {
    requests.linkUp = true;
    auto window = Make();
    Button(*window, "writeButton")->click();
    EXPECT_TRUE(requests.posts.isEmpty());
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].text, QString::fromUtf8("没有参数被选择！"));
    EXPECT_EQ(messenger.messages[0].caption, QString::fromUtf8("写入讯息"));
}

TEST_F(CustomWindowTest, FailedRowIsMarkedUntilWrittenAgainOrRead) {
    requests.linkUp = true;
    auto window = Make();
    auto* grid = qobject_cast<QTableWidget*>(Grid(*window));
    window->MarkRowFailed(2);
    EXPECT_TRUE(window->Table().IsMarkedFailed(2));
    EXPECT_EQ(grid->item(1, kValue)->foreground().color(), QColor(200, 0, 0));
    EXPECT_NE(grid->item(0, kValue)->foreground().color(), QColor(200, 0, 0));
    grid->setCurrentCell(1, 0);
    Button(*window, "writeButton")->click(); // a new attempt clears the mark
    EXPECT_FALSE(window->Table().IsMarkedFailed(2));

    window->MarkRowFailed(1);
    document.values.position[15] = 42;
    window->RefreshValues();
    EXPECT_FALSE(window->Table().IsMarkedFailed(1));
    EXPECT_EQ(Cell(*window, 1, kValue), "42");
}

TEST_F(CustomWindowTest, DefaultsResetTheListedParameters) {
    document.values.position.fill(3);
    document.values.control.fill(3);
    auto window = Make();
    messenger.answers = {MessageAnswer::Cancel, MessageAnswer::Ok};
    Button(*window, "defaultsButton")->click();
    EXPECT_EQ(document.values.position[15], 3);
    Button(*window, "defaultsButton")->click();
    EXPECT_EQ(document.values.position[15], document.defaults.position[15]);
    EXPECT_EQ(document.values.control[9], document.defaults.control[9]);
    EXPECT_EQ(document.values.control[8], 3); // Cn009 is not in the list
    EXPECT_EQ(Cell(*window, 2, kValue), QString::number(document.defaults.control[9]));
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(messenger.messages[0].text, QString::fromUtf8("您想要将参数设定为默认值吗？"));
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
    EXPECT_EQ(help->toPlainText(), HelpText("Cn010"));
    // Hn501's help is long: its heads show "&&" as one "&", stand apart from the caption, and
    // the text scrolls inside the box instead of running over it.
    table.Entries.append({6, 0});
    window->Present();
    Grid(*window)->setCurrentCell(CodeColumn(*window).indexOf(QStringLiteral("Hn501")), 1);
    EXPECT_TRUE(help->toPlainText().startsWith(QString::fromUtf8("Hn501.1 & Hn501.0 DI-1接脚功能\n")))
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

TEST_F(CustomWindowTest, CloseTellsTheViewAndDeletesTheWindow) {
    QPointer<CDefParaDialog> window = Make().release();
    bool closed = false;
    QObject::connect(window, &CDefParaDialog::closed, [&] { closed = true; });
    window->Present();
    Button(*window, "closeButton")->click();
    EXPECT_TRUE(closed);
    Settle();
    EXPECT_TRUE(window.isNull());
}

// ---- The add/remove dialog on its own ----

class AddRemoveTest : public ::testing::Test {
protected:
    QListWidget* List(CAddRemoveDialog& dialog, const char* name) {
        return dialog.findChild<QListWidget*>(QString::fromLatin1(name));
    }
    static QStringList Texts(QListWidget* list) {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i) {
            texts.append(list->item(i)->text());
        }
        return texts;
    }
    RecordingMessenger messenger;
};

TEST_F(AddRemoveTest, OpensWithBothListsAndTheButtonsOfAnUnselectedList) {
    CAddRemoveDialog dialog({{4, 15}, {1, 9}}, messenger);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("加入/移除"));
    EXPECT_EQ(Texts(List(dialog, "customList")),
              QStringList({"Pn316:" + ParameterName('P', 16), "Cn010:" + ParameterName('C', 10)}));
    EXPECT_EQ(List(dialog, "availableList")->count(), 159);
    for (const char* name : {"removeButton", "moveUpButton", "moveDownButton"}) {
        EXPECT_FALSE(Button(dialog, name)->isEnabled()) << name;
    }
    for (const char* name : {"addButton", "addAllButton", "removeAllButton"}) {
        EXPECT_TRUE(Button(dialog, name)->isEnabled()) << name;
    }
    CAddRemoveDialog empty({}, messenger);
    EXPECT_FALSE(Button(empty, "removeAllButton")->isEnabled());
}

TEST_F(AddRemoveTest, SelectionInTheCustomListEnablesRemoveAndTheMoves) {
    CAddRemoveDialog dialog({{1, 0}, {1, 1}, {1, 2}}, messenger);
    QListWidget* custom = List(dialog, "customList");
    custom->setCurrentRow(0);
    EXPECT_TRUE(Button(dialog, "removeButton")->isEnabled());
    EXPECT_FALSE(Button(dialog, "moveUpButton")->isEnabled());
    EXPECT_TRUE(Button(dialog, "moveDownButton")->isEnabled());
    custom->setCurrentRow(2);
    EXPECT_TRUE(Button(dialog, "moveUpButton")->isEnabled());
    EXPECT_FALSE(Button(dialog, "moveDownButton")->isEnabled());
    Button(dialog, "moveUpButton")->click();
    EXPECT_EQ(custom->currentRow(), 1);
    EXPECT_TRUE(custom->item(1)->text().startsWith("Cn003"));
    EXPECT_TRUE(Button(dialog, "moveDownButton")->isEnabled());
}

TEST_F(AddRemoveTest, AddingWithNothingSelectedAppendsInTheOrderAdded) {
    CAddRemoveDialog dialog({}, messenger);
    QListWidget* available = List(dialog, "availableList");
    const auto select = [&](const char* code) {
        const auto items = available->findItems(QString::fromLatin1(code), Qt::MatchStartsWith);
        ASSERT_EQ(items.size(), 1) << code;
        available->setCurrentItem(items[0]);
    };
    select("Pn316");
    Button(dialog, "addButton")->click();
    EXPECT_TRUE(available->currentItem()->text().startsWith("Pn317")); // the next row
    select("Cn010");
    Button(dialog, "addButton")->click();
    EXPECT_EQ(dialog.Entries(), (QList<CustomEntry>{{4, 15}, {1, 9}}));
    EXPECT_TRUE(Button(dialog, "removeAllButton")->isEnabled());
    EXPECT_EQ(available->count(), 159);
}

TEST_F(AddRemoveTest, DoubleClicksMoveEntriesBetweenTheLists) {
    CAddRemoveDialog dialog({{1, 0}}, messenger);
    QListWidget* available = List(dialog, "availableList");
    QListWidget* custom = List(dialog, "customList");
    emit available->itemDoubleClicked(available->item(0)); // Cn002
    EXPECT_EQ(dialog.Entries(), (QList<CustomEntry>{{1, 0}, {1, 1}}));
    emit custom->itemDoubleClicked(custom->item(0)); // Cn001 goes back to its place
    EXPECT_EQ(dialog.Entries(), (QList<CustomEntry>{{1, 1}}));
    EXPECT_TRUE(available->item(0)->text().startsWith("Cn001"));
}

TEST_F(AddRemoveTest, TheEightyFirstEntryIsRefusedWithAMessage) {
    QList<CustomEntry> eighty;
    for (int i = 0; i < 40; ++i) {
        eighty.append({1, i});
        eighty.append({4, i});
    }
    CAddRemoveDialog dialog(eighty, messenger);
    List(dialog, "availableList")->setCurrentRow(0);
    Button(dialog, "addButton")->click();
    EXPECT_EQ(dialog.Entries(), eighty);
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].text,
              QString::fromUtf8("自定义参数表最多只能加入 80 个参数。"));
    EXPECT_EQ(messenger.messages[0].caption, QString::fromUtf8("加入/移除"));
    EXPECT_EQ(messenger.messages[0].icon, MessageIcon::Warning);
    Button(dialog, "addAllButton")->click();
    EXPECT_EQ(messenger.messages.size(), 2);
    EXPECT_EQ(dialog.Entries(), eighty);
}

} // namespace
