// The parameter editor in the running program: which parameters it lists, writing, reading and
// editing the ticked rows against the simulated drive, the question at each connection, the
// compare window and the display settings dialog.

#include "support/AppHarness.h"

#include "drive/ParameterCatalogue.h"
#include "params/NvpFile.h"
#include "params/ui/ChangeDialog.h"
#include "params/ui/CompareDialog.h"
#include "params/ui/DefParaDialog.h"
#include "params/ui/EditorDialogs.h"
#include "params/ui/ParaEditDialog.h"
#include "support/ParameterWindowSupport.h"
#include "support/ViewParameterWindows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>

#include <algorithm>

namespace {

// Ticks from "连线" to the editor's question: the connect, then the editor's next check.
constexpr int kTicksToAsk = AppHarness::kTicksToConnect + 1;

const QString kReadDriveQuestion = QStringLiteral("您想要读取伺服驱动器的参数吗？");

int Questions(const AppHarness& h) {
    return static_cast<int>(
        std::ranges::count(h.messenger.messages, kReadDriveQuestion, &Message::text));
}

CParaEditDialog* OpenEditor(AppHarness& h) {
    if (!h.Frame().Trigger(Command::ParameterEditor))
        return nullptr;
    return ParameterEditorWindow(h.View());
}

// The program started with `options`, its editor open.
class ParameterEditor : public ::testing::Test {
protected:
    void Open(const ProgramOptions& options = {}) {
        ASSERT_TRUE(h.Start(options));
        editor = OpenEditor(h);
        ASSERT_NE(editor, nullptr);
    }
    // Edits the row of `code` to `value`, as its value editor would.
    void EditTo(const ParamCode& code, int32_t value) {
        editor->SetValueEditor(
            [value](QWidget*, const ParamCode&, int32_t* v, int32_t, int32_t, Messenger&) {
                *v = value;
                return true;
            });
        editor->EditRow(editor->RowOf(code));
    }

    AppHarness h;
    CParaEditDialog* editor = nullptr;
};

QStringList ListedCodes(const CParaEditDialog& editor) {
    QStringList codes;
    for (int row = 0; row < editor.List()->rowCount(); ++row)
        codes << editor.List()->item(row, 0)->text();
    return codes;
}

void Tick(CParaEditDialog& editor, const QString& code, Qt::CheckState state = Qt::Checked) {
    const int row = static_cast<int>(ListedCodes(editor).indexOf(code));
    ASSERT_GE(row, 0) << code.toStdString();
    editor.List()->item(row, 0)->setCheckState(state);
}

TEST_F(ParameterEditor, ShowsEveryRowWholeAndIsRebuiltWhenTheDocumentWasReplaced) {
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_TRUE(editor->isVisible());
    ASSERT_EQ(editor->List()->rowCount(), kParameterCount); // the settings of a first start
    ExpectTextsFit(*editor->List());
    int widths = 0;
    for (int c = 0; c < editor->List()->columnCount(); ++c)
        widths += editor->List()->columnWidth(c);
    EXPECT_EQ(widths, editor->List()->viewport()->width()); // the name column takes the rest

    // Closing hides it and clears the view's flag; the command shows the same window again,
    // rebuilt when the document was replaced.
    editor->close();
    EXPECT_FALSE(h.View().ToolWindowOpen(Command::ParameterEditor));
    h.app->Document().values.torque[0] = 77;
    h.app->Document().contentReplaced = true;
    EXPECT_EQ(OpenEditor(h), editor);
    EXPECT_FALSE(h.app->Document().contentReplaced);
    const int tn101 = static_cast<int>(ListedCodes(*editor).indexOf(QStringLiteral("Tn101")));
    EXPECT_EQ(editor->List()->item(tn101, 2)->text(),
              FormatValue(ParamCode::FromText(QStringLiteral("Tn101")), 77, false));
}

TEST_F(ParameterEditor, EditingARowChangesOnlyThatRowAndItsOwnSlot) {
    ASSERT_NO_FATAL_FAILURE(Open());
    CNolvaServoDoc& document = h.app->Document();
    const int q = static_cast<int>(ListedCodes(*editor).indexOf(QStringLiteral("qn401")));
    ASSERT_GE(q, 0);
    const ParamCode twin = QuickTwinOf(1);
    const int32_t twinBefore = *document.values.Slot(twin);
    const int32_t before = document.values.quick[0];
    QTableWidgetItem* otherCell = editor->List()->item(0, 2);

    editor->SetValueEditor(
        [&](QWidget*, const ParamCode& code, int32_t* value, int32_t min, int32_t max, Messenger&) {
            EXPECT_EQ(code.Text(), QStringLiteral("qn401"));
            EXPECT_EQ(min, document.minimums.quick[0]);
            EXPECT_EQ(max, document.maximums.quick[0]);
            *value = before + 1;
            return true;
        });
    editor->List()->setCurrentCell(q, 1);
    editor->OnEdit();
    EXPECT_EQ(document.values.quick[0], before + 1);
    EXPECT_EQ(*document.values.Slot(twin), twinBefore);
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(editor->List()->item(q, 0)->checkState(), Qt::Checked);
    EXPECT_EQ(editor->List()->item(q, 2)->text(),
              FormatValue(ParamCode::FromText(QStringLiteral("qn401")), before + 1, false));
    EXPECT_NE(editor->List()->item(q, 1)->background(), editor->List()->item(0, 1)->background());
    EXPECT_EQ(editor->List()->item(0, 2), otherCell); // the list was not rebuilt

    // Confirming the same value changes nothing.
    EditTo({'C', 1}, document.values.control[0]);
    EXPECT_FALSE(editor->Flags().Changed({'C', 1}));
}

void DoubleClickRow(CParaEditDialog& editor, int row) {
    QTableWidget* list = editor.List();
    QTableWidgetItem* cell = list->item(row, 1);
    list->scrollToItem(cell);
    const QPoint centre = list->visualItemRect(cell).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
}

TEST_F(ParameterEditor, DoubleClickOpensTheParametersOwnEditorAndShowsItsChoice) {
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(editor));
    CNolvaServoDoc& document = h.app->Document();
    document.values.position[64] = 0x1225; // Pn365
    editor->Rebuild();
    const int row = editor->RowOf({'P', 65});
    ASSERT_GE(row, 0);

    QString shownInEditor;
    WhenModal<CEditFieldsDialog>([&](CEditFieldsDialog& dialog) {
        shownInEditor = dialog.ValueField()->text();
        dialog.List(3)->setCurrentIndex(0);
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        buttons->button(QDialogButtonBox::Ok)->click();
    });
    DoubleClickRow(*editor, row);
    EXPECT_EQ(shownInEditor, QStringLiteral("1225"));
    EXPECT_EQ(document.values.position[64], 0x0225);
    EXPECT_EQ(editor->List()->item(row, 2)->text(),
              FormatValue(ParamCode::FromText(QStringLiteral("Pn365")), 0x0225, false));
    EXPECT_EQ(editor->List()->item(row, 0)->checkState(), Qt::Checked);
}

TEST_F(ParameterEditor, DefaultsSetOnlyTheTickedRowsFromTheCurrentDriveProfile) {
    ASSERT_NO_FATAL_FAILURE(Open());
    CNolvaServoDoc& document = h.app->Document();
    document.values.control[6] = 1234; // Cn007, default a third of the maximum speed
    document.values.control[4] = 77;   // Cn005, default the encoder pulses
    document.values.speed[15] = 999;   // Sn216, default the maximum speed, not ticked
    document.modified = false;
    h.app->Profile().maxMotorSpeed = 4500;
    h.app->Profile().encoderPulses = 8192;
    Tick(*editor, QStringLiteral("Cn007"));
    Tick(*editor, QStringLiteral("Cn005"));

    h.messenger.answers = {MessageAnswer::Cancel};
    Button(*editor, "defaults")->click();
    ASSERT_EQ(h.messenger.messages.size(), 1);
    EXPECT_EQ(document.values.control[6], 1234);
    EXPECT_FALSE(document.modified);

    h.messenger.answers = {MessageAnswer::Ok};
    Button(*editor, "defaults")->click();
    EXPECT_EQ(document.values.control[6], 1500);
    EXPECT_EQ(document.values.control[4], 8192);
    EXPECT_EQ(document.values.speed[15], 999);
    EXPECT_TRUE(editor->Flags().Changed({'C', 7}));
    EXPECT_EQ(editor->List()->item(editor->RowOf({'C', 7}), 2)->text(), QStringLiteral("1500"));
    EXPECT_EQ(h.drive.RequestLog().size(), 0); // nothing goes to the drive
}

TEST_F(ParameterEditor, FailurePartWayKeepsWhatWasDone) {
    h.messenger.answers = {MessageAnswer::No};
    ASSERT_NO_FATAL_FAILURE(Open(AppHarness::Connected()));
    CNolvaServoDoc& document = h.app->Document();
    // Cn010 and Cn012 (torque limit, resistor power) edited; the first write alone tells how
    // many requests one write takes.
    EditTo({'C', 10}, 250);
    const uint64_t before = h.drive.Counts().requests;
    Button(*editor, "write")->click();
    const uint64_t perWrite = h.drive.Counts().requests - before;
    ASSERT_GT(perWrite, 0u);
    EXPECT_FALSE(editor->Flags().Changed({'C', 10}));

    EditTo({'C', 10}, 200);
    EditTo({'C', 12}, 100);
    h.drive.SetFaults(
        {.hangUpAfter = static_cast<int64_t>(h.drive.Counts().requests + perWrite)});
    h.messenger.messages.clear();
    Button(*editor, "write")->click();
    ASSERT_FALSE(h.messenger.messages.isEmpty());
    EXPECT_EQ(h.messenger.messages[0].text, QStringLiteral("错误:\n\n写入参数中 ... Cn012"));
    EXPECT_FALSE(editor->Flags().Changed({'C', 10})); // in the drive
    EXPECT_TRUE(editor->Flags().Changed({'C', 12}));  // not
    EXPECT_NE(editor->List()->item(editor->RowOf({'C', 12}), 1)->background(),
              editor->List()->item(editor->RowOf({'C', 10}), 1)->background());
    h.drive.SetFaults({});
    h.drive.SetHungUp(false);

    // A read that fails at its third parameter keeps the two read before it.
    for (const char* code : {"Cn010", "Cn012"})
        Tick(*editor, QString::fromLatin1(code), Qt::Unchecked);
    for (const char* code : {"Cn001", "Cn003", "Cn004"})
        Tick(*editor, QString::fromLatin1(code));
    document.values.control[0] = 5;
    document.values.control[2] = 77;
    document.values.control[3] = 3;
    document.modified = false;
    // Three exchanges per parameter.
    h.drive.SetFaults({.hangUpAfter = static_cast<int64_t>(h.drive.Counts().requests + 6)});
    h.messenger.messages.clear();
    Button(*editor, "read")->click();
    ASSERT_FALSE(h.messenger.messages.isEmpty());
    EXPECT_EQ(h.messenger.messages[0].text, QStringLiteral("错误:\n\n读取参数中 ... Cn004"));
    EXPECT_EQ(document.values.control[0], 2); // the drive's defaults
    EXPECT_EQ(document.values.control[2], 0);
    EXPECT_EQ(document.values.control[3], 3); // not read
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(editor->List()->item(editor->RowOf({'C', 1}), 2)->text(), QStringLiteral("2"));
    EXPECT_FALSE(h.Session().Busy());
}

// The writes and reads themselves, with their messages, are checked beside the transfer and in
// the failure test above.
TEST_F(ParameterEditor, WriteAndReadNeedATickedRowAndTheLink) {
    h.messenger.answers = {MessageAnswer::No}; // no whole-drive read when it opens
    ASSERT_NO_FATAL_FAILURE(Open(AppHarness::Connected()));
    ASSERT_EQ(Questions(h), 1);
    h.messenger.messages.clear();
    const qsizetype heard = h.drive.RequestLog().size();

    Button(*editor, "write")->click();
    ASSERT_EQ(h.messenger.messages.size(), 1);
    EXPECT_EQ(h.messenger.messages[0].icon, MessageIcon::Warning);

    Tick(*editor, QStringLiteral("Sn211"));
    h.View().OnDisconnect();
    Button(*editor, "read")->click();
    EXPECT_EQ(h.messenger.messages.size(), 2);
    EXPECT_EQ(h.drive.RequestLog().size(), heard); // nothing was sent
}

TEST_F(ParameterEditor, SelectAllTicksEveryRowAndClearsThemAgain) {
    ASSERT_NO_FATAL_FAILURE(Open());
    auto* selectAll = editor->findChild<QCheckBox*>(QStringLiteral("selectAll"));
    ASSERT_NE(selectAll, nullptr);
    for (const Qt::CheckState state : {Qt::Checked, Qt::Unchecked}) {
        selectAll->click();
        for (int row = 0; row < editor->List()->rowCount(); ++row)
            ASSERT_EQ(editor->List()->item(row, 0)->checkState(), state) << row;
        EXPECT_EQ(editor->Flags().Checked({'H', 19}), state == Qt::Checked);
    }
}

// The question at each connection: asked once, and a modified document kept when its save fails.
TEST_F(ParameterEditor, AsksOncePerConnectionAndKeepsADocumentWhoseSaveFails) {
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(Questions(h), 0);
    CNolvaServoDoc& document = h.app->Document();
    document.values.control[2] = 77; // Cn003, the drive holds 0
    document.modified = true;

    // Yes to reading, Yes to saving, and the file dialog cancelled: nothing is read. (The
    // answers themselves are checked beside the question.)
    h.messenger.answers = {MessageAnswer::Yes, MessageAnswer::Yes};
    ASSERT_TRUE(h.Frame().Trigger(Command::Connect));
    ASSERT_TRUE(h.TickUntil([this] { return Questions(h) == 1; }, kTicksToAsk));
    h.tickers.Advance(2);
    EXPECT_EQ(document.values.control[2], 77);
    EXPECT_TRUE(document.modified);
    EXPECT_FALSE(h.Session().Busy());
    // More ticks of the same connection ask nothing, nor does opening the window again (every
    // load opens it).
    editor->close();
    h.tickers.Advance(2);
    ASSERT_EQ(OpenEditor(h), editor);
    h.tickers.Advance(2);
    EXPECT_EQ(Questions(h), 1);

    // The next connection asks again; saved under a name, the drive's values come in.
    ASSERT_TRUE(h.Frame().Trigger(Command::Disconnect));
    h.tickers.Advance(2);
    const QString path = h.dir.filePath(QStringLiteral("before-read.nvp"));
    h.chooser.answers = {path};
    h.messenger.answers = {MessageAnswer::Yes, MessageAnswer::Yes};
    ASSERT_TRUE(h.Frame().Trigger(Command::Connect));
    ASSERT_TRUE(h.TickUntil([&] { return document.values.control[2] == 0; }, kTicksToAsk));
    EXPECT_EQ(Questions(h), 2);
    CNolvaServoDoc saved;
    QString error;
    ASSERT_TRUE(OpenDocumentFile(path, saved, &error)) << error.toStdString();
    EXPECT_EQ(saved.values.control[2], 77);
}

TEST_F(ParameterEditor, CompareListsExactlyTheChangedParameters) {
    h.messenger.answers = {MessageAnswer::Yes}; // read the whole drive when it opens
    ASSERT_NO_FATAL_FAILURE(Open(AppHarness::Connected()));
    CNolvaServoDoc& document = h.app->Document();
    ASSERT_EQ(Questions(h), 1);
    EXPECT_EQ(h.messenger.messages.size(), 1); // the read itself says nothing

    document.values.position[19] += 1; // Pn320
    document.values.torque[2] += 1;    // Tn103
    QStringList shown;
    bool opened = false;
    WhenModal<CCompareDialog>([&](CCompareDialog& dialog) {
        opened = true;
        // The name column takes what the code and the two values leave of the list.
        EXPECT_GE(dialog.List()->columnWidth(1), dialog.List()->viewport()->width() - 194);
        for (int row = 0; row < dialog.List()->rowCount(); ++row)
            shown << dialog.List()->item(row, 0)->text();
        dialog.accept();
    });
    Button(*editor, "compare")->click();
    EXPECT_TRUE(opened);
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Tn103"), QStringLiteral("Pn320")}));
}

TEST_F(ParameterEditor, DisplaySettingsDialogChangesTheListAndTheApplicationsSettings) {
    ASSERT_NO_FATAL_FAILURE(Open());
    h.app->Settings().customTable.Entries = {{2, 2}, {1, 4}}; // Tn103, Cn005
    WhenModal<CChangeDialog>([](CChangeDialog& dialog) {
        dialog.findChild<QRadioButton*>(QStringLiteral("mode2"))->click();
        dialog.findChild<QPushButton*>(QStringLiteral("ok"))->click();
    });
    Button(*editor, "change")->click();
    EXPECT_EQ(h.app->Settings().display.DisplayMode, 2);
    EXPECT_EQ(ListedCodes(*editor),
              (QStringList{QStringLiteral("Tn103"), QStringLiteral("Cn005")}));

    // Cancel keeps the settings.
    WhenModal<CChangeDialog>([](CChangeDialog& dialog) {
        dialog.findChild<QRadioButton*>(QStringLiteral("mode0"))->click();
        dialog.reject();
    });
    Button(*editor, "change")->click();
    EXPECT_EQ(h.app->Settings().display.DisplayMode, 2);
    EXPECT_EQ(editor->List()->rowCount(), 2);
}

} // namespace
