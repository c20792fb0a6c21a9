// The small parameter editors without their windows: which editor a code opens, the lists each
// shows, how a value splits into list selections and how choices compose the value again.

#include "params/BitFieldEditors.h"

#include "drive/CatalogueTable.h"
#include "drive/ParameterCatalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

std::string S(const QString& text) {
    return text.toStdString();
}

const FieldEditor& Editor(const char* code) {
    const FieldEditor* editor = FieldEditorFor(QString::fromLatin1(code));
    EXPECT_NE(editor, nullptr) << code;
    static const FieldEditor none{};
    return editor != nullptr ? *editor : none;
}

// The parameters whose catalogue format is four hexadecimal digits open a list editor; all
// others the plain value editor.
TEST(BitFieldKinds, HexadecimalParametersOpenTheirListEditorsAndTheOthersTheValueEditor) {
    for (const ParamSpec& p : AllParameters()) {
        const QString code = ParamCode{p.letter, p.number}.Text();
        const ValueEditorKind kind = EditorKindOf(code);
        const bool hex = (p.attributes & kAttrFormatMask) == 0xE0;
        EXPECT_EQ(kind != ValueEditorKind::Generic, hex) << S(code);
        const bool fieldEditor =
            kind == ValueEditorKind::Digits || kind == ValueEditorKind::ContactMask;
        EXPECT_EQ(FieldEditorFor(code) != nullptr, fieldEditor) << S(code);
        if (p.letter == 'H') {
            EXPECT_EQ(kind, p.number <= 17 ? ValueEditorKind::ContactFunction
                                           : ValueEditorKind::ContactMask)
                << S(code);
        }
    }
    EXPECT_EQ(EditorKindOf(QStringLiteral("Cn026")), ValueEditorKind::Rigidity);
    EXPECT_EQ(EditorKindOf(QStringLiteral("Cn030")), ValueEditorKind::Model);
}

// Each digit list offers the digit values the catalogue's range allows, item i standing for i.
TEST(BitFieldDigitEditors, ListsAgreeWithTheCatalogueRange) {
    int editors = 0;
    for (const ParamSpec& p : AllParameters()) {
        const QString code = ParamCode{p.letter, p.number}.Text();
        if (EditorKindOf(code) != ValueEditorKind::Digits) {
            continue;
        }
        SCOPED_TRACE(S(code));
        ++editors;
        const FieldEditor& editor = Editor(code.toLatin1().constData());
        ASSERT_FALSE(editor.lists.empty());
        const std::array<int, 4> maxDigits = HexDigits(p.max);
        for (size_t i = 0; i < editor.lists.size(); ++i) {
            const FieldList& list = editor.lists[i];
            EXPECT_EQ(list.name, code + QStringLiteral(".%1").arg(i));
            EXPECT_EQ(list.shift, static_cast<int>(4 * i));
            EXPECT_GE(list.items.size(), maxDigits[i] + 1) << S(list.name);
            EXPECT_EQ(list.rangeText,
                      QStringLiteral("(0-%1)").arg(list.items.size() - 1, 0, 16).toUpper());
            for (int item = 0; item < list.items.size(); ++item) {
                EXPECT_TRUE(list.items[item].startsWith(QStringLiteral("%1: ").arg(item)))
                    << S(list.items[item]);
            }
        }
        for (size_t i = editor.lists.size(); i < 4; ++i) {
            EXPECT_EQ(maxDigits[i], 0) << "digit " << i << " has no list";
        }
    }
    EXPECT_EQ(editors, 7);
    // The two monitor outputs choose among the same signals.
    EXPECT_EQ(Editor("Cn006").lists[0].items, Editor("Cn006").lists[1].items);
}

TEST(BitFieldDigitEditors, DigitWithoutItemStaysUnselectedAndKeepsItsValue) {
    const FieldEditor& pn365 = Editor("Pn365");
    // Digit 0 = 7 and digit 2 = 9 have no items; digit 1 = 2 and digit 3 = 1 do.
    EXPECT_EQ(SelectedItems(pn365, 0x1927), (std::vector<int>{-1, 2, -1, 1}));
    EXPECT_EQ(ChooseItem(pn365, 0x1927, 1, 0), 0x1907);
    EXPECT_EQ(ChooseItem(pn365, 0x1927, 0, 3), 0x1923);

    // Digits 2 and 3 of Cn006 have no list at all and stay as given.
    const FieldEditor& cn006 = Editor("Cn006");
    EXPECT_EQ(SelectedItems(cn006, 0x4321), (std::vector<int>{1, 2}));
    EXPECT_EQ(ChooseItem(cn006, 0x4321, 0, 6), 0x4326);
}

TEST(BitFieldDigitEditors, ChoiceKeepsSixteenBitsAndIgnoresItemsOutsideTheLists) {
    const FieldEditor& pn316 = Editor("Pn316");
    EXPECT_EQ(ChooseItem(pn316, 0x12345, 0, 0), 0x2340);
    EXPECT_EQ(ChooseItem(pn316, -1, 1, 0), 0xFF0F);
    EXPECT_EQ(ChooseItem(pn316, 0x0011, 0, 2), 0x0011);  // no item 2
    EXPECT_EQ(ChooseItem(pn316, 0x0011, 0, -1), 0x0011); // nothing chosen
    EXPECT_EQ(ChooseItem(pn316, 0x0011, 2, 0), 0x0011);  // no list .2
}

TEST(BitFieldDigitEditors, EveryCombinationOfItemsComposesAndReadsBack) {
    for (const char* code : {"Cn002", "Cn006", "Cn015", "Cn037", "Pn301", "Pn316", "Pn365"}) {
        SCOPED_TRACE(code);
        const FieldEditor& editor = Editor(code);
        std::vector<int> choice(editor.lists.size(), 0);
        for (;;) {
            // Start from a value whose every digit differs from the choice.
            int32_t value = 0xFFFF;
            for (size_t i = 0; i < choice.size(); ++i) {
                value = ChooseItem(editor, value, static_cast<int>(i), choice[i]);
            }
            int32_t expected = 0xFFFF;
            for (size_t i = 0; i < choice.size(); ++i) {
                expected = (expected & ~(0xF << (4 * i))) | (choice[i] << (4 * i));
            }
            ASSERT_EQ(value, expected);
            ASSERT_EQ(SelectedItems(editor, value), choice);

            size_t i = 0;
            while (i < choice.size() && ++choice[i] == editor.lists[i].items.size()) {
                choice[i++] = 0;
            }
            if (i == choice.size()) {
                break;
            }
        }
    }
}

TEST(BitFieldContactMasks, ThirteenListsOnePerInputContact) {
    for (const char* code : {"Hn518", "Hn519"}) {
        SCOPED_TRACE(code);
        const FieldEditor& editor = Editor(code);
        ASSERT_EQ(editor.lists.size(), 13u);
        for (int i = 0; i < 13; ++i) {
            const FieldList& list = editor.lists[i];
            EXPECT_EQ(list.name, QStringLiteral("DI-%1").arg(i + 1));
            EXPECT_EQ(list.Mask(), 1u << i);
            ASSERT_EQ(list.items.size(), 2);
            EXPECT_EQ(list.items, editor.lists[0].items);
        }
    }
}

TEST(BitFieldContactMasks, ChoosingRewritesOneBitAndClearsBitsAboveThirteen) {
    const FieldEditor& hn518 = Editor("Hn518");
    EXPECT_EQ(SelectedItems(hn518, 0x1FFF), std::vector<int>(13, 1));
    EXPECT_EQ(ChooseItem(hn518, 0x1FFF, 12, 0), 0x0FFF);
    EXPECT_EQ(ChooseItem(hn518, 0x0000, 0, 1), 0x0001);
    EXPECT_EQ(ChooseItem(hn518, 0x0000, 4, 1), 0x0010);
    EXPECT_EQ(ChooseItem(hn518, 0xFFFF, 0, 0), 0x1FFE);
    EXPECT_EQ(ChooseItem(hn518, 0xE000, 12, 1), 0x1000);

    const FieldEditor& hn519 = Editor("Hn519");
    EXPECT_EQ(SelectedItems(hn519, 0x0005),
              (std::vector<int>{1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    int32_t value = 0;
    for (int i = 0; i < 13; i += 2) {
        value = ChooseItem(hn519, value, i, 1);
    }
    EXPECT_EQ(value, 0x1555);
}

// Every contact names its own pin and code; item i of a function list is function i + 1: its
// number in hex, then the catalogue's name.
TEST(BitFieldContactEditor, EachContactNamesItsPinAndListsTheCatalogueFunctions) {
    for (int n = 1; n <= 17; ++n) {
        const QString code = ParamCode{'H', n}.Text();
        SCOPED_TRACE(S(code));
        const ContactEditor editor = ContactEditorFor(code);
        const bool input = n <= 13;
        const QString pin =
            input ? QStringLiteral("DI-%1").arg(n) : QStringLiteral("DO-%1").arg(n - 13);
        EXPECT_EQ(editor.input, input);
        EXPECT_EQ(editor.heading, pin + U("接脚功能设定"));
        EXPECT_EQ(editor.levelCaption, pin + U("接脚功能动作电位\n"));
        EXPECT_EQ(S(editor.rangeText), input ? "(0001-011C)" : "(0001-0108)");
        EXPECT_EQ(S(editor.functionRangeText), input ? "(01-1C)" : "(01-08)");
        ASSERT_EQ(editor.functionItems.size(), input ? 28 : 8);
        for (int i = 0; i < editor.functionItems.size(); ++i) {
            const QString name = input ? DiFunctionName(i) : DoFunctionName(i);
            EXPECT_TRUE(editor.functionItems[i].startsWith(QString::asprintf("%02X: ", i + 1) +
                                                           name + QStringLiteral(" - ")))
                << S(editor.functionItems[i]);
        }
        ASSERT_EQ(editor.levelItems.size(), 2);
        EXPECT_TRUE(editor.levelItems[0].startsWith(U("0: ")));
        EXPECT_TRUE(editor.levelItems[1].startsWith(U("1: ")));
    }
}

TEST(BitFieldContactEditor, FunctionAndLevelComposeTheValue) {
    const ContactEditor di1 = ContactEditorFor(QStringLiteral("Hn501"));
    EXPECT_EQ(ContactFunctionItem(di1, 0x0101), 0);
    EXPECT_EQ(ContactLevelItem(di1, 0x0101), 1);
    EXPECT_EQ(ChooseContactFunction(di1, 0x0101, 27), 0x011C);
    EXPECT_EQ(ChooseContactFunction(di1, 0x0001, 15), 0x0010);
    EXPECT_EQ(ChooseContactLevel(di1, 0x011C, 0), 0x001C);
    EXPECT_EQ(ChooseContactLevel(di1, 0x000A, 1), 0x010A);
    EXPECT_EQ(ValueFieldText(di1.code, 0x011C), QStringLiteral("011C"));

    const ContactEditor do1 = ContactEditorFor(QStringLiteral("Hn514"));
    EXPECT_EQ(ContactFunctionItem(do1, 0x0007), 6);
    EXPECT_EQ(ContactLevelItem(do1, 0x0007), 0);
    EXPECT_EQ(ChooseContactLevel(do1, 0x0007, 1), 0x0107);
}

TEST(BitFieldContactEditor, ValuesWithoutItemsStayUntilChosenAndDigit3IsDropped) {
    const ContactEditor di = ContactEditorFor(QStringLiteral("Hn502"));
    const ContactEditor dout = ContactEditorFor(QStringLiteral("Hn515"));
    // Function 0, a function past the list and a level above 1 select nothing.
    EXPECT_EQ(ContactFunctionItem(di, 0x0100), -1);
    EXPECT_EQ(ContactFunctionItem(di, 0x001D), -1);
    EXPECT_EQ(ContactFunctionItem(dout, 0x0009), -1);
    EXPECT_EQ(ContactFunctionItem(dout, 0x0008), 7);
    EXPECT_EQ(ContactLevelItem(di, 0x0201), -1);
    // The other part is kept as it is; digit 3 goes.
    EXPECT_EQ(ChooseContactLevel(di, 0x001D, 1), 0x011D);
    EXPECT_EQ(ChooseContactFunction(di, 0x0201, 2), 0x0203);
    EXPECT_EQ(ChooseContactFunction(di, 0x3104, 0), 0x0101);
    EXPECT_EQ(ChooseContactLevel(di, 0x3104, 0), 0x0004);
    // Items outside the lists change nothing.
    EXPECT_EQ(ChooseContactFunction(di, 0x0104, 28), 0x0104);
    EXPECT_EQ(ChooseContactFunction(dout, 0x0104, 8), 0x0104);
    EXPECT_EQ(ChooseContactFunction(dout, 0x0104, -1), 0x0104);
    EXPECT_EQ(ChooseContactLevel(di, 0x0104, 2), 0x0104);
}

TEST(BitFieldRigidity, OpeningKeepsOnlyTheLevelDigit) {
    EXPECT_EQ(RigidityValueAtOpening(0x0013), 3);
    EXPECT_EQ(RigidityButton(3), 2);
    EXPECT_EQ(RigidityValueAtOpening(0x123A), 10);
    EXPECT_EQ(RigidityButton(10), 9);
    EXPECT_EQ(RigidityButton(1), 0);
    // Levels 0 and B..F have no button.
    EXPECT_EQ(RigidityValueAtOpening(0x0010), 0);
    EXPECT_EQ(RigidityButton(0), -1);
    EXPECT_EQ(RigidityButton(RigidityValueAtOpening(0x000B)), -1);
}

TEST(BitFieldRigidity, ButtonsSetTheLevelAndTheTableGivesItsGains) {
    const RigidityEditor& editor = Cn026Editor();
    ASSERT_EQ(editor.buttons.size(), kRigidityLevels);

    EXPECT_EQ(ChooseRigidityButton(3, 9), 10);
    EXPECT_EQ(ChooseRigidityButton(3, 0), 1);
    EXPECT_EQ(ChooseRigidityButton(3, 10), 3);
    EXPECT_EQ(ChooseRigidityButton(3, -1), 3);

    // Stiffer levels have higher loop gains and shorter integral times; both loops share a gain.
    for (int i = 0; i < kRigidityLevels; ++i) {
        EXPECT_EQ(editor.gains[i].speedLoopGain, editor.gains[i].positionLoopGain) << i;
        if (i > 0) {
            EXPECT_GT(editor.gains[i].positionLoopGain, editor.gains[i - 1].positionLoopGain) << i;
            EXPECT_LT(editor.gains[i].speedIntegralTime, editor.gains[i - 1].speedIntegralTime)
                << i;
        }
    }
}

TEST(BitFieldModel, ModelChoiceReplacesTheValueOnlyOnOk) {
    const ModelEditor& editor = Cn030Editor();
    EXPECT_EQ(AfterModelChoice(0x0121, 0x0232), 0x0232);
    EXPECT_EQ(AfterModelChoice(0x0121, std::nullopt), 0x0121);
    EXPECT_EQ(ValueFieldText(editor.code, 0x0232), QStringLiteral("0232"));

    EXPECT_TRUE(ValueEditorHasModelButton(QStringLiteral("Cn030")));
    EXPECT_FALSE(ValueEditorHasModelButton(QStringLiteral("Cn031")));
    EXPECT_FALSE(ValueEditorHasModelButton(QStringLiteral("Pn330")));
}

TEST(BitFieldValueEditor, TypingOutsideTheRangeIsRefused) {
    struct Case {
        const char* text;
        int32_t min;
        int32_t max;
        bool accepted;
    };
    const Case cases[] = {
        {"501", 0, 500, false},      {"500", 0, 500, true},          {"0", 0, 500, true},
        {"", 0, 500, true},          {"-", 0, 500, false},           {"-1", 0, 500, false},
        {"5x", 0, 500, false},       {"-", -300, 0, true},           {"-300", -300, 0, true},
        {"-301", -300, 0, false},    {"1", -300, 0, false},          {"99999", 0, 99999, true},
        {"100000", 0, 99999, false}, {"1000000", 0, 2000000, false}, // seven characters
        {"1", 5, 500, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ValueTextAcceptable(QString::fromLatin1(c.text), c.min, c.max), c.accepted)
            << c.text << " in " << c.min << ".." << c.max;
    }
}

TEST(BitFieldValueEditor, SpinAndOkHoldTheValueInRange) {
    EXPECT_EQ(SpinValue(499, 1, 0, 500), 500);
    EXPECT_EQ(SpinValue(500, 1, 0, 500), 500);
    EXPECT_EQ(SpinValue(0, -1, 0, 500), 0);
    EXPECT_EQ(SpinValue(-300, -1, -300, 0), -300);
    EXPECT_EQ(SpinValue(600, -1, 0, 500), 500);
    EXPECT_EQ(SpinValue(2147483647, 1, 0, 2147483647), 2147483647);

    EXPECT_EQ(LimitToRange(600, 0, 500), 500);
    EXPECT_EQ(LimitToRange(-5, 0, 500), 0);
    EXPECT_EQ(LimitToRange(250, 0, 500), 250);
    EXPECT_EQ(LimitToRange(-301, -300, 300), -300);
    EXPECT_EQ(LimitToRange(7, kValueEditorDefaultMin, kValueEditorDefaultMax), 7);
    EXPECT_EQ(LimitToRange(100000, kValueEditorDefaultMin, kValueEditorDefaultMax), 99999);

    EXPECT_EQ(ParseValueText(QStringLiteral("-42")), -42);
    EXPECT_EQ(ParseValueText(QStringLiteral("abc")), std::nullopt);
    EXPECT_EQ(ParseValueText(QString()), std::nullopt);
}

} // namespace
