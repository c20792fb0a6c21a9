// The value editors of the parameter editor driven as a user drives them: lists chosen, buttons
// clicked, text typed; what each window shows and the value it hands back after "确定", the model
// list's rows and selection, and the one entry point choosing the editor by parameter code. The
// values the fields compose and the texts they offer are checked beside their logic.

#include "base/Messenger.h"
#include "drive/ParameterCatalogue.h"
#include "params/BitFieldEditors.h"
#include "params/ui/EditValueDialog.h"
#include "params/ui/EditorDialogs.h"
#include "params/ui/ModelTypeDialog.h"
#include "params/ui/ParameterEditors.h"
#include "support/ParameterWindowSupport.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace {

const FieldEditor& Fields(const char* code) {
    const FieldEditor* editor = FieldEditorFor(QString::fromLatin1(code));
    EXPECT_NE(editor, nullptr) << code;
    return *editor;
}

TEST(DigitEditorWindow, ListsShowTheDigitsAndTheChoiceRewritesTheField) {
    CEditFieldsDialog dialog(Fields("Pn365"), 0x1225);
    ASSERT_EQ(dialog.ListCount(), 4);
    EXPECT_EQ(dialog.ValueField()->text(), QStringLiteral("1225"));
    EXPECT_EQ(dialog.List(0)->currentIndex(), 5);
    EXPECT_EQ(dialog.List(3)->currentIndex(), 1);

    // The options are sentences: the open list shows each whole, the closed one on hovering.
    for (int i = 0; i < dialog.ListCount(); ++i) {
        QComboBox* list = dialog.List(i);
        for (int item = 0; item < list->count(); ++item) {
            EXPECT_GE(list->view()->minimumWidth(),
                      list->fontMetrics().horizontalAdvance(list->itemText(item)))
                << i << " " << item;
        }
    }
    dialog.List(3)->setCurrentIndex(0);
    EXPECT_EQ(dialog.ValueField()->text(), QStringLiteral("0225"));
    EXPECT_EQ(dialog.List(3)->toolTip(), dialog.List(3)->itemText(0));

    // A choice made with the keyboard counts as well.
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.List(1)->setFocus();
    QTest::keyClick(dialog.List(1), Qt::Key_Up);
    EXPECT_EQ(dialog.ValueField()->text(), QStringLiteral("0215"));
    dialog.accept();
    EXPECT_EQ(dialog.Value(), 0x0215);
}

TEST(ContactFunctionWindow, FunctionAndLevelListsRewriteTheField) {
    CEditHn501Dialog dialog(QStringLiteral("Hn501"), 0x0101);
    EXPECT_EQ(dialog.FunctionList()->currentIndex(), 0);
    EXPECT_EQ(dialog.LevelList()->currentIndex(), 1);
    dialog.FunctionList()->setCurrentIndex(27);
    EXPECT_EQ(dialog.ValueField()->text(), QStringLiteral("011C"));
    dialog.LevelList()->setCurrentIndex(0);
    EXPECT_EQ(dialog.ValueField()->text(), QStringLiteral("001C"));
    EXPECT_EQ(dialog.Value(), 0x001C);
}

TEST(RigidityWindow, ClickedLevelButtonSetsTheValue) {
    CEditCn026Dialog dialog(0x0013);
    EXPECT_TRUE(dialog.LevelButton(2)->isChecked());
    EXPECT_EQ(dialog.ValueField()->text(), QStringLiteral("0003"));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.LevelButton(9), Qt::LeftButton);
    EXPECT_EQ(dialog.CheckedButton(), 9);
    EXPECT_EQ(dialog.ValueField()->text(), QStringLiteral("000A"));
    EXPECT_EQ(dialog.Value(), 0x000A);
}

// A value longer than the field's six characters (a damaged file, a drive beyond the range) shows
// as OK takes it, held within the range, instead of cut to six digits.
TEST(GenericValueWindow, ValueBeyondTheFieldShowsHeldWithinTheRange) {
    CEditValueDialog dialog(QStringLiteral("Pn307"), QString(), QString(), QString(), -99999, 99999,
                            1234567);
    EXPECT_EQ(dialog.Field()->text(), QStringLiteral("99999"));
    dialog.accept();
    EXPECT_EQ(dialog.Value(), 99999);
}

TEST(GenericValueWindow, KeysOutsideTheRangeAreUndoneAndTheSpinStopsAtItsEnds) {
    CEditValueDialog dialog(QStringLiteral("Sn201"), QString(), QString(), QString(), 0, 500, 0);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QLineEdit* field = dialog.Field();
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("501"));
    EXPECT_EQ(field->text(), QStringLiteral("50"));

    // A replaced selection that would leave the range comes back with its selection.
    field->setText(QStringLiteral("250"));
    field->setSelection(0, 1);
    QTest::keyClicks(field, QStringLiteral("7"));
    EXPECT_EQ(field->text(), QStringLiteral("250"));
    EXPECT_EQ(field->selectedText(), QStringLiteral("2"));
    QTest::keyClicks(field, QStringLiteral("4"));
    EXPECT_EQ(field->text(), QStringLiteral("450"));

    field->setText(QStringLiteral("499"));
    QTest::mouseClick(dialog.SpinUpButton(), Qt::LeftButton);
    QTest::mouseClick(dialog.SpinUpButton(), Qt::LeftButton);
    EXPECT_EQ(field->text(), QStringLiteral("500"));
    QTest::mouseClick(dialog.SpinDownButton(), Qt::LeftButton);
    QTest::keyClick(field, Qt::Key_Down);
    EXPECT_EQ(field->text(), QStringLiteral("498"));
    dialog.accept();
    EXPECT_EQ(dialog.Value(), 498);
}

TEST(GenericValueWindow, ShowsTheParameterAndItsHelpAndTheModelButtonOnlyForCn030) {
    const QString code = QStringLiteral("Sn201");
    CEditValueDialog dialog(code, QString(), QString(), QString(), 0, 500, 7);
    ASSERT_FALSE(HelpText(ParamCode::FromText(code)).isEmpty());
    EXPECT_EQ(dialog.HelpLabel()->text(), HelpText(ParamCode::FromText(code)));
    dialog.show();
    EXPECT_FALSE(dialog.ModelButton()->isVisible());

    CEditValueDialog model(QStringLiteral("Cn030"), QString(), QString(), QString(), 0, 0x1FFF,
                           0x0110);
    model.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&model));
    EXPECT_TRUE(model.ModelButton()->isVisible());
    EXPECT_TRUE(model.ModelButton()->isEnabled());

    // The model list opens on the field's code; its choice goes into the field.
    int selectedAtOpening = -2;
    WhenModal<CModelTypeDialog>([&selectedAtOpening](CModelTypeDialog& list) {
        selectedAtOpening = list.SelectedRow();
        list.List()->setCurrentItem(list.List()->topLevelItem(1));
        list.accept();
    });
    QTest::mouseClick(model.ModelButton(), Qt::LeftButton);
    EXPECT_EQ(selectedAtOpening, 0);
    EXPECT_EQ(model.Field()->text(), QString::number(0x1111));
    model.accept();
    EXPECT_EQ(model.Value(), 0x1111);
}

TEST(ModelTypeWindow, SelectsTheCurrentCodeInViewAndTheNameColumnTakesTheRest) {
    CModelTypeDialog dialog(0x0722);
    QTreeWidget* list = dialog.List();
    ASSERT_EQ(dialog.SelectedRow(), 73);
    EXPECT_EQ(list->topLevelItem(73)->text(0), QStringLiteral("0722"));
    EXPECT_EQ(list->selectedItems().size(), 1);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_GT(list->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(list->viewport()->rect().contains(list->visualItemRect(list->topLevelItem(73))));
    // The description column takes the rest of the list.
    const int fixed = list->columnWidth(0) + list->columnWidth(1) + list->columnWidth(2);
    dialog.resize(dialog.width() + 50, dialog.height());
    QApplication::processEvents();
    EXPECT_EQ(list->columnWidth(3), list->viewport()->width() - fixed);
    // Every model text is read whole (the motor models are the longest).
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        for (int column = 0; column < list->columnCount(); ++column) {
            const QTreeWidgetItem* item = list->topLevelItem(row);
            EXPECT_LE(QFontMetrics(item->font(column)).horizontalAdvance(item->text(column)),
                      list->columnWidth(column))
                << item->text(column).toStdString();
        }
    }

    // A code that is no row selects nothing, and OK keeps it.
    CModelTypeDialog unknown(0x0999);
    EXPECT_TRUE(unknown.List()->selectedItems().isEmpty());
    unknown.accept();
    EXPECT_EQ(unknown.Code(), 0x0999);
}

TEST(ModelTypeWindow, OkAndDoubleClickReadTheSelectedRowsCode) {
    CModelTypeDialog dialog(0x0331);
    dialog.List()->setCurrentItem(dialog.List()->topLevelItem(73));
    dialog.accept();
    EXPECT_EQ(dialog.Code(), 0x0722);

    CModelTypeDialog clicked(0x0331);
    clicked.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&clicked));
    QTreeWidget* list = clicked.List();
    QTreeWidgetItem* target = list->topLevelItem(2);
    list->scrollToItem(target);
    const QPoint at = list->visualItemRect(target).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(clicked.result(), QDialog::Accepted);
    EXPECT_EQ(clicked.Code(), 0x0112);

    CModelTypeDialog cancelled(0x0331);
    cancelled.List()->setCurrentItem(cancelled.List()->topLevelItem(0));
    cancelled.reject();
    EXPECT_EQ(cancelled.Code(), 0x0331);
}

TEST(EditParameterValue, OpensTheEditorOfTheCodeAndStoresItsValueOnlyOnOk) {
    RecordingMessenger messenger;
    const std::pair<ParamCode, const char*> cases[] = {
        {{'P', 65}, "CEditFieldsDialog"}, {{'H', 18}, "CEditFieldsDialog"},
        {{'H', 1}, "CEditHn501Dialog"},   {{'C', 26}, "CEditCn026Dialog"},
        {{'C', 30}, "CEditCn030Dialog"},  {{'S', 1}, "CEditValueDialog"}};
    for (const auto& [code, editorClass] : cases) {
        QString opened;
        WhenModal<QDialog>([&opened](QDialog& modal) {
            opened = QString::fromLatin1(modal.metaObject()->className());
            modal.reject();
        });
        int32_t value = 1;
        EXPECT_FALSE(EditParameterValue(nullptr, code, &value, 0, 500, messenger));
        EXPECT_EQ(opened, QString::fromLatin1(editorClass)) << code.Text().toStdString();
        EXPECT_EQ(value, 1);
    }

    // The generic editor gets the document's range: 600 is limited to 500 on OK.
    int32_t value = 600;
    QString range;
    WhenModal<CEditValueDialog>([&range](CEditValueDialog& editor) {
        range = editor.findChild<QLabel*>(QStringLiteral("rangeText"))->text();
        editor.accept();
    });
    EXPECT_TRUE(EditParameterValue(nullptr, ParamCode{'S', 1}, &value, 0, 500, messenger));
    EXPECT_EQ(value, 500);
    EXPECT_EQ(range, RangeText(ParamCode::FromText(QStringLiteral("Sn201")), 0, 500));
}

} // namespace
