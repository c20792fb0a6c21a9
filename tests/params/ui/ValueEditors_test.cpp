// The value editors of the parameter editor driven as a user drives them: lists chosen, buttons
// clicked, text typed; the value each window hands back after "确定", the model list's rows and
// selection, and the one entry point choosing the editor by parameter code.

#include "base/Messenger.h"
#include "params/BitFieldEditors.h"
#include "drive/ParameterCatalogue.h"
#include "params/ui/EditValueDialog.h"
#include "params/ui/EditorDialogs.h"
#include "params/ui/ModelTypeDialog.h"
#include "params/ui/ParameterEditors.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QFontMetrics>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Runs `act` on the modal window that opens next, once it is up.
void WhenModalOpens(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(modal);
        }
    });
    timer->start();
}

const FieldEditor& Fields(const char* code) {
    const FieldEditor* editor = FieldEditorFor(QString::fromLatin1(code));
    EXPECT_NE(editor, nullptr) << code;
    return *editor;
}

// ---- Digit editors ----

TEST(DigitEditorWindow, Pn365ShowsItsDigitsAndComposesTheValueFromTheLists) {
    CEditFieldsDialog dialog(Fields("Pn365"), 0x1225);
    EXPECT_EQ(dialog.windowTitle(), U("编辑"));
    ASSERT_EQ(dialog.ListCount(), 4);
    EXPECT_EQ(dialog.ValueField()->text(), QStringLiteral("1225"));
    EXPECT_TRUE(dialog.ValueField()->isReadOnly());
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("rangeText"))->text(),
              QStringLiteral("(0000-1225)"));
    // Item i of list .N is digit value i: 5, 2, 2, 1.
    EXPECT_EQ(dialog.List(0)->count(), 6);
    EXPECT_EQ(dialog.List(0)->currentIndex(), 5);
    EXPECT_EQ(dialog.List(1)->currentIndex(), 2);
    EXPECT_EQ(dialog.List(2)->currentIndex(), 2);
    EXPECT_EQ(dialog.List(3)->currentIndex(), 1);
    EXPECT_EQ(
        dialog.List(3)->itemText(0),
        U("0: 纪录此位置为机械原点，电机减速停止，电机停止後以第二段速折返移动到机械原点位置。"));

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
    EXPECT_EQ(dialog.Value(), 0x0225);
    EXPECT_EQ(dialog.ValueField()->text(), QStringLiteral("0225"));
    EXPECT_EQ(dialog.List(3)->toolTip(), dialog.List(3)->itemText(0));

    dialog.List(0)->setCurrentIndex(3);
    dialog.List(1)->setCurrentIndex(0);
    EXPECT_EQ(dialog.Value(), 0x0203);
    EXPECT_EQ(dialog.ValueField()->text(), QStringLiteral("0203"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Value(), 0x0203);
}

TEST(DigitEditorWindow, DigitWithoutAnItemShowsNoChoiceAndKeepsItsValueUntilOneIsMade) {
    // Cn006 has items 0..6 in both lists; digit 0 is 9, digit 1 is 2.
    CEditFieldsDialog dialog(Fields("Cn006"), 0x0029);
    ASSERT_EQ(dialog.ListCount(), 2);
    EXPECT_EQ(dialog.List(0)->currentIndex(), -1);
    EXPECT_EQ(dialog.List(1)->currentIndex(), 2);
    dialog.List(1)->setCurrentIndex(4);
    EXPECT_EQ(dialog.Value(), 0x0049);
    dialog.List(0)->setCurrentIndex(6);
    EXPECT_EQ(dialog.Value(), 0x0046);
    EXPECT_EQ(dialog.ValueField()->text(), QStringLiteral("0046"));
}

TEST(DigitEditorWindow, ChoiceMadeByKeyboardInTheListChangesTheValue) {
    CEditFieldsDialog dialog(Fields("Pn316"), 0x0000);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.List(1)->setFocus();
    QTest::keyClick(dialog.List(1), Qt::Key_Down);
    EXPECT_EQ(dialog.Value(), 0x0010);
    EXPECT_EQ(dialog.ValueField()->text(), QStringLiteral("0010"));
}

// ---- Contact mask editors ----

TEST(ContactMaskWindow, Hn518ShowsThirteenContactsAndClearsTheUpperBits) {
    CEditFieldsDialog dialog(Fields("Hn518"), 0x1FFF);
    ASSERT_EQ(dialog.ListCount(), 13);
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(dialog.List(i)->currentText(), U("1: 数位输入接点由通讯控制")) << i;
    }
    EXPECT_EQ(dialog.List(12)->objectName(), QStringLiteral("DI-13"));
    dialog.List(12)->setCurrentIndex(0);
    EXPECT_EQ(dialog.Value(), 0x0FFF);
    EXPECT_EQ(dialog.ValueField()->text(), QStringLiteral("0FFF"));

    CEditFieldsDialog upper(Fields("Hn519"), 0xE000);
    EXPECT_EQ(upper.List(0)->currentText(), U("0: 数位输入接点OFF"));
    upper.List(0)->setCurrentIndex(1);
    EXPECT_EQ(upper.Value(), 0x0001);
}

// ---- Contact function editor ----

TEST(ContactFunctionWindow, Hn501ChoosesFunctionAndLevel) {
    CEditHn501Dialog dialog(QStringLiteral("Hn501"), 0x0101);
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("heading"))->text(), U("DI-1接脚功能设定"));
    EXPECT_EQ(dialog.FunctionList()->count(), 28);
    EXPECT_EQ(dialog.FunctionList()->currentIndex(), 0);
    EXPECT_EQ(dialog.FunctionList()->currentText(), U("01: SON - 伺服激活"));
    EXPECT_EQ(dialog.LevelList()->currentIndex(), 1);
    EXPECT_EQ(dialog.ValueField()->text(), QStringLiteral("0101"));

    dialog.FunctionList()->setCurrentIndex(27);
    EXPECT_EQ(dialog.FunctionList()->currentText(), U("1C: RS2 - 转矩命令反向选择"));
    EXPECT_EQ(dialog.Value(), 0x011C);
    EXPECT_EQ(dialog.ValueField()->text(), QStringLiteral("011C"));

    dialog.LevelList()->setCurrentIndex(0);
    EXPECT_EQ(dialog.Value(), 0x001C);
    EXPECT_EQ(dialog.ValueField()->text(), QStringLiteral("001C"));
}

TEST(ContactFunctionWindow, Hn514IsTheFirstOutputContact) {
    CEditHn501Dialog dialog(QStringLiteral("Hn514"), 0x0007);
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("heading"))->text(), U("DO-1接脚功能设定"));
    EXPECT_EQ(dialog.FunctionList()->count(), 8);
    EXPECT_EQ(dialog.FunctionList()->currentText(), U("07: HOME - 原点复归完成信号"));
    EXPECT_EQ(dialog.LevelList()->currentIndex(), 0);
    dialog.LevelList()->setCurrentIndex(1);
    dialog.FunctionList()->setCurrentIndex(0);
    EXPECT_EQ(dialog.Value(), 0x0101);
}

// ---- Rigidity editor ----

TEST(RigidityWindow, OpeningKeepsTheLevelAndTheButtonsSetIt) {
    CEditCn026Dialog dialog(0x0013);
    EXPECT_EQ(dialog.CheckedButton(), 2);
    EXPECT_TRUE(dialog.LevelButton(2)->isChecked());
    EXPECT_EQ(dialog.LevelButton(2)->text(), QStringLiteral("3"));
    EXPECT_EQ(dialog.Value(), 3);
    EXPECT_EQ(dialog.ValueField()->text(), QStringLiteral("0003"));

    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.LevelButton(9), Qt::LeftButton);
    EXPECT_EQ(dialog.LevelButton(9)->text(), QStringLiteral("A"));
    EXPECT_EQ(dialog.CheckedButton(), 9);
    EXPECT_EQ(dialog.Value(), 0x000A);
    EXPECT_EQ(dialog.ValueField()->text(), QStringLiteral("000A"));
    QTest::mouseClick(dialog.LevelButton(0), Qt::LeftButton);
    EXPECT_EQ(dialog.Value(), 1);
}

TEST(RigidityWindow, LevelWithoutAButtonChecksNone) {
    CEditCn026Dialog dialog(0x0020);
    EXPECT_EQ(dialog.CheckedButton(), -1);
    EXPECT_EQ(dialog.Value(), 0);
    EXPECT_EQ(dialog.ValueField()->text(), QStringLiteral("0000"));
}

// ---- Generic value editor ----

TEST(GenericValueWindow, TypingOutsideTheRangeIsUndone) {
    CEditValueDialog dialog(QStringLiteral("Sn201"), QString(), QString(), QString(), 0, 500, 0);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QLineEdit* field = dialog.Field();
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("501"));
    EXPECT_EQ(field->text(), QStringLiteral("50"));
    QTest::keyClicks(field, QStringLiteral("0"));
    EXPECT_EQ(field->text(), QStringLiteral("500"));

    // A replaced selection that would leave the range comes back with its selection.
    field->setText(QStringLiteral("250"));
    field->setSelection(0, 1);
    QTest::keyClicks(field, QStringLiteral("7"));
    EXPECT_EQ(field->text(), QStringLiteral("250"));
    EXPECT_EQ(field->selectionStart(), 0);
    EXPECT_EQ(field->selectedText(), QStringLiteral("2"));
    QTest::keyClicks(field, QStringLiteral("4"));
    EXPECT_EQ(field->text(), QStringLiteral("450"));

    // A minus sign only where the range reaches below zero.
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("-"));
    EXPECT_EQ(field->text(), QStringLiteral("450"));

    dialog.accept();
    EXPECT_EQ(dialog.Value(), 450);
}

TEST(GenericValueWindow, NegativeRangeAcceptsTypingAMinusFirst) {
    CEditValueDialog dialog(QStringLiteral("Sn201"), QString(), QString(), QString(), -100, 100, 0);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.Field()->selectAll();
    QTest::keyClicks(dialog.Field(), QStringLiteral("-1005"));
    EXPECT_EQ(dialog.Field()->text(), QStringLiteral("-100"));
    dialog.accept();
    EXPECT_EQ(dialog.Value(), -100);
}

TEST(GenericValueWindow, OkLimitsTheValueToTheRange) {
    CEditValueDialog above(QStringLiteral("Sn201"), QString(), QString(), QString(), 0, 500, 600);
    EXPECT_EQ(above.Field()->text(), QStringLiteral("600"));
    above.accept();
    EXPECT_EQ(above.Value(), 500);

    CEditValueDialog below(QStringLiteral("Sn201"), QString(), QString(), QString(), 10, 500, 3);
    below.accept();
    EXPECT_EQ(below.Value(), 10);

    // An emptied field hands back the value it was given, limited as well.
    CEditValueDialog emptied(QStringLiteral("Sn201"), QString(), QString(), QString(), 0, 500, 42);
    emptied.Field()->clear();
    emptied.accept();
    EXPECT_EQ(emptied.Value(), 42);

    CEditValueDialog cancelled(QStringLiteral("Sn201"), QString(), QString(), QString(), 0, 500,
                               600);
    cancelled.reject();
    EXPECT_EQ(cancelled.Value(), 600);
}

TEST(GenericValueWindow, SpinControlStepsWithinTheRange) {
    CEditValueDialog dialog(QStringLiteral("Sn201"), QString(), QString(), QString(), 0, 300, 299);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.SpinUpButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.Field()->text(), QStringLiteral("300"));
    QTest::mouseClick(dialog.SpinUpButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.Field()->text(), QStringLiteral("300"));
    QTest::mouseClick(dialog.SpinDownButton(), Qt::LeftButton);
    QTest::keyClick(dialog.Field(), Qt::Key_Down);
    EXPECT_EQ(dialog.Field()->text(), QStringLiteral("298"));

    dialog.Field()->setText(QStringLiteral("0"));
    dialog.Spin(-1);
    EXPECT_EQ(dialog.Field()->text(), QStringLiteral("0"));
    dialog.accept();
    EXPECT_EQ(dialog.Value(), 0);
}

TEST(GenericValueWindow, ShowsTheParameterAndItsHelpAndTheModelButtonOnlyForCn030) {
    const QString code = QStringLiteral("Sn201");
    CEditValueDialog dialog(code, QStringLiteral("name"), QStringLiteral("rpm"),
                            QStringLiteral("range"), 0, 500, 7);
    EXPECT_EQ(dialog.windowTitle(), U("编辑"));
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("code"))->text(), code);
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("unit"))->text(), QStringLiteral("rpm"));
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("rangeText"))->text(),
              QStringLiteral("range"));
    ASSERT_FALSE(HelpText(code).isEmpty());
    EXPECT_EQ(dialog.HelpLabel()->text(), HelpText(code));
    EXPECT_EQ(dialog.Field()->maxLength(), 6);
    EXPECT_FALSE(dialog.ModelButton()->isEnabled());
    dialog.show();
    EXPECT_FALSE(dialog.ModelButton()->isVisible());

    CEditValueDialog model(QStringLiteral("Cn030"), QString(), QString(), QString(), 0, 0x1FFF,
                           0x0110);
    model.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&model));
    EXPECT_TRUE(model.ModelButton()->isVisible());
    EXPECT_TRUE(model.ModelButton()->isEnabled());
    EXPECT_EQ(model.ModelButton()->text(), U("设定型号(&S)..."));

    // The model list opens on the field's code; its choice goes into the field.
    int selectedAtOpening = -2;
    WhenModalOpens([&selectedAtOpening](QWidget* modal) {
        auto* list = qobject_cast<CModelTypeDialog*>(modal);
        ASSERT_NE(list, nullptr);
        selectedAtOpening = list->SelectedRow();
        list->List()->setCurrentItem(list->List()->topLevelItem(1));
        list->accept();
    });
    QTest::mouseClick(model.ModelButton(), Qt::LeftButton);
    EXPECT_EQ(selectedAtOpening, 0);
    EXPECT_EQ(model.Field()->text(), QString::number(0x1111));
    model.accept();
    EXPECT_EQ(model.Value(), 0x1111);
}

// ---- Model list and model editor ----

TEST(ModelTypeWindow, ListsEveryCombinationAndSelectsTheCurrentCode) {
    CModelTypeDialog dialog(0x0331);
    QTreeWidget* list = dialog.List();
    ASSERT_EQ(list->topLevelItemCount(), 74);
    EXPECT_EQ(list->headerItem()->text(0), U("设定值"));
    EXPECT_EQ(list->headerItem()->text(3), U("人机显示状态"));
    const int row = dialog.SelectedRow();
    ASSERT_GE(row, 0);
    const QTreeWidgetItem* item = list->topLevelItem(row);
    EXPECT_EQ(item->text(0), QStringLiteral("0331"));
    EXPECT_EQ(item->text(1), QStringLiteral("KVDM30"));
    EXPECT_FALSE(item->text(2).isEmpty());
    EXPECT_EQ(item->text(3), QStringLiteral("1KW 2000rpm 2500ppr"));
    EXPECT_EQ(list->selectedItems().size(), 1);

    // Codes show all 16 bits: the second row carries bit 12.
    EXPECT_EQ(list->topLevelItem(1)->text(0), QStringLiteral("1111"));
    EXPECT_EQ(list->topLevelItem(0)->text(3), QStringLiteral("120W 3000rpm 2000ppr"));
    EXPECT_EQ(list->topLevelItem(73)->text(1), QStringLiteral("KVDM75"));

    // Selected rows: grey background, blue text.
    EXPECT_EQ(list->palette().color(QPalette::Active, QPalette::Highlight), QColor(0xF0F0F0));
    EXPECT_EQ(list->palette().color(QPalette::Inactive, QPalette::HighlightedText),
              QColor(0, 0, 255));

    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    // The description column takes the rest of the list.
    const int fixed = list->columnWidth(0) + list->columnWidth(1) + list->columnWidth(2);
    EXPECT_EQ(list->columnWidth(3), list->viewport()->width() - fixed);
    dialog.resize(dialog.width() + 50, dialog.height());
    QApplication::processEvents();
    EXPECT_EQ(list->columnWidth(3), list->viewport()->width() - fixed);
}

TEST(ModelTypeWindow, SelectedRowAtTheEndOfTheListIsScrolledIntoView) {
    CModelTypeDialog dialog(0x0722);
    ASSERT_EQ(dialog.SelectedRow(), 73);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTreeWidget* list = dialog.List();
    EXPECT_GT(list->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(list->viewport()->rect().contains(list->visualItemRect(list->topLevelItem(73))));
    // Every model text is read whole (the motor models are the longest).
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        for (int column = 0; column < list->columnCount(); ++column) {
            const QTreeWidgetItem* item = list->topLevelItem(row);
            EXPECT_LE(QFontMetrics(item->font(column)).horizontalAdvance(item->text(column)),
                      list->columnWidth(column))
                << item->text(column).toStdString();
        }
    }
}

TEST(ModelTypeWindow, UnknownCodeSelectsNothingAndOkKeepsTheCode) {
    CModelTypeDialog dialog(0x0999);
    EXPECT_EQ(dialog.SelectedRow(), -1);
    EXPECT_TRUE(dialog.List()->selectedItems().isEmpty());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_TRUE(dialog.List()->selectedItems().isEmpty());
    // The bit-12 twin of a listed code is another code.
    CModelTypeDialog twin(0x0111);
    EXPECT_EQ(twin.SelectedRow(), -1);
    dialog.accept();
    EXPECT_EQ(dialog.Code(), 0x0999);
}

TEST(ModelTypeWindow, OkAndDoubleClickReadTheSelectedRowsCode) {
    CModelTypeDialog dialog(0x0331);
    dialog.List()->setCurrentItem(dialog.List()->topLevelItem(73));
    EXPECT_EQ(dialog.Code(), 0x0331);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
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

TEST(ModelEditorWindow, Cn030TakesTheModelListsChoiceOnlyOnOk) {
    CEditCn030Dialog dialog(0x0331);
    EXPECT_EQ(dialog.ValueField()->text(), QStringLiteral("0331"));
    EXPECT_TRUE(dialog.ValueField()->isReadOnly());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    WhenModalOpens([](QWidget* modal) {
        auto* list = qobject_cast<CModelTypeDialog*>(modal);
        ASSERT_NE(list, nullptr);
        list->List()->setCurrentItem(list->List()->topLevelItem(0));
        list->reject();
    });
    QTest::mouseClick(dialog.ModelButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.Value(), 0x0331);

    WhenModalOpens([](QWidget* modal) {
        auto* list = qobject_cast<CModelTypeDialog*>(modal);
        ASSERT_NE(list, nullptr);
        list->List()->setCurrentItem(list->List()->topLevelItem(1));
        list->accept();
    });
    QTest::mouseClick(dialog.ModelButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.Value(), 0x1111);
    EXPECT_EQ(dialog.ValueField()->text(), QStringLiteral("1111"));
}

// ---- Entry point ----

TEST(EditParameterValue, OpensTheEditorOfTheCodeAndStoresItsValueOnlyOnOk) {
    RecordingMessenger messenger;
    struct Case {
        ParamCode code;
        const char* editorClass;
    };
    const Case cases[] = {{{'P', 65}, "CEditFieldsDialog"}, {{'H', 18}, "CEditFieldsDialog"},
                          {{'H', 1}, "CEditHn501Dialog"},   {{'H', 17}, "CEditHn501Dialog"},
                          {{'C', 26}, "CEditCn026Dialog"},  {{'C', 30}, "CEditCn030Dialog"},
                          {{'S', 1}, "CEditValueDialog"},   {{'H', 20}, "CEditValueDialog"}};
    for (const Case& c : cases) {
        QString opened;
        WhenModalOpens([&opened](QWidget* modal) {
            opened = QString::fromLatin1(modal->metaObject()->className());
            static_cast<QDialog*>(modal)->reject();
        });
        int32_t value = 1;
        EXPECT_FALSE(EditParameterValue(nullptr, c.code, &value, 0, 500, messenger));
        EXPECT_EQ(opened, QString::fromLatin1(c.editorClass)) << c.code.text().toStdString();
        EXPECT_EQ(value, 1);
    }

    int32_t value = 0x1225;
    WhenModalOpens([](QWidget* modal) {
        auto* editor = qobject_cast<CEditFieldsDialog*>(modal);
        ASSERT_NE(editor, nullptr);
        editor->List(3)->setCurrentIndex(0);
        editor->accept();
    });
    EXPECT_TRUE(EditParameterValue(nullptr, ParamCode{'P', 65}, &value, 0, 0x1225, messenger));
    EXPECT_EQ(value, 0x0225);

    // The generic editor gets the document's range: 600 is limited to 500 on OK.
    value = 600;
    QString range;
    WhenModalOpens([&range](QWidget* modal) {
        auto* editor = qobject_cast<CEditValueDialog*>(modal);
        ASSERT_NE(editor, nullptr);
        range = editor->findChild<QLabel*>(QStringLiteral("rangeText"))->text();
        editor->accept();
    });
    EXPECT_TRUE(EditParameterValue(nullptr, ParamCode{'S', 1}, &value, 0, 500, messenger));
    EXPECT_EQ(value, 500);
    EXPECT_EQ(range, RangeText(QStringLiteral("Sn201"), 0, 500));
    EXPECT_TRUE(messenger.messages.isEmpty());
}

} // namespace
