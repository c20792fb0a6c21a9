// The small parameter editors without their windows: which editor a code opens, the lists each
// shows, how a value splits into list selections and how choices compose the value again.

#include "params/BitFieldEditors.h"

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

TEST(BitFieldKinds, EachCodeOpensItsEditor) {
    struct Case {
        const char* code;
        ValueEditorKind kind;
    };
    const Case cases[] = {
        {"Cn002", ValueEditorKind::Digits},          {"Cn006", ValueEditorKind::Digits},
        {"Cn015", ValueEditorKind::Digits},          {"Cn037", ValueEditorKind::Digits},
        {"Pn301", ValueEditorKind::Digits},          {"Pn316", ValueEditorKind::Digits},
        {"Pn365", ValueEditorKind::Digits},          {"Cn026", ValueEditorKind::Rigidity},
        {"Cn030", ValueEditorKind::Model},           {"Hn501", ValueEditorKind::ContactFunction},
        {"Hn513", ValueEditorKind::ContactFunction}, {"Hn514", ValueEditorKind::ContactFunction},
        {"Hn517", ValueEditorKind::ContactFunction}, {"Hn518", ValueEditorKind::ContactMask},
        {"Hn519", ValueEditorKind::ContactMask},     {"Cn001", ValueEditorKind::Generic},
        {"Cn005", ValueEditorKind::Generic},         {"Cn013", ValueEditorKind::Generic},
        {"Pn302", ValueEditorKind::Generic},         {"Pn366", ValueEditorKind::Generic},
        {"Sn201", ValueEditorKind::Generic},         {"qn401", ValueEditorKind::Generic},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EditorKindOf(QString::fromLatin1(c.code)), c.kind) << c.code;
    }
    EXPECT_EQ(FieldEditorFor(QStringLiteral("Cn026")), nullptr);
    EXPECT_EQ(FieldEditorFor(QStringLiteral("Hn501")), nullptr);
    EXPECT_EQ(EditorWindowTitle(), U("编辑"));
}

// ---- Digit editors ----

struct ListShape {
    const char* name;
    const char* range;
    int items;
};

struct EditorShape {
    const char* code;
    const char* heading;
    const char* range;
    std::vector<ListShape> lists;
};

const std::vector<EditorShape>& DigitEditorShapes() {
    static const std::vector<EditorShape> shapes = {
        {"Cn002",
         " 接点辅助功能及自动增益调整设定, EMC复归摸式选择",
         "(0000-0111)",
         {{"Cn002.0", "(0-1)", 2},
          {"Cn002.1", "(0-1)", 2},
          {"Cn002.2", "(0-1)", 2},
          {"Cn002.3", "(0-1)", 2}}},
        {"Cn006",
         " 类比监视输出选择",
         "(0000-0066)",
         {{"Cn006.0", "(0-6)", 7}, {"Cn006.1", "(0-6)", 7}}},
        {"Cn015",
         " PI/P和两段增益模式的切换判断种类选择",
         "(0000-0044)",
         {{"Cn015.0", "(0-4)", 5}, {"Cn015.1", "(0-4)", 5}}},
        {"Cn037", " 通讯传输率", "(0000-0035)", {{"Cn037.0", "(0-5)", 6}, {"Cn037.1", "(0-3)", 4}}},
        {"Pn301",
         " 位置脉冲命令型式和逻辑选择, 驱动禁止命令接收选择",
         "(0000-0113)",
         {{"Pn301.0", "(0-3)", 4}, {"Pn301.1", "(0-1)", 2}, {"Pn301.2", "(0-1)", 2}}},
        {"Pn316",
         " 内部位置命令模式与暂停(PHOLD)程序选择",
         "(0000-0011)",
         {{"Pn316.0", "(0-1)", 2}, {"Pn316.1", "(0-1)", 2}}},
        {"Pn365",
         " 原点复归激活模式设定",
         "(0000-1225)",
         {{"Pn365.0", "(0-5)", 6},
          {"Pn365.1", "(0-2)", 3},
          {"Pn365.2", "(0-2)", 3},
          {"Pn365.3", "(0-1)", 2}}},
    };
    return shapes;
}

TEST(BitFieldDigitEditors, ListsHaveTheirNamesRangesAndOptionCounts) {
    for (const EditorShape& shape : DigitEditorShapes()) {
        SCOPED_TRACE(shape.code);
        const FieldEditor& editor = Editor(shape.code);
        EXPECT_EQ(editor.code, QString::fromLatin1(shape.code));
        EXPECT_EQ(S(editor.heading), shape.heading);
        EXPECT_EQ(S(editor.rangeText), shape.range);
        ASSERT_EQ(editor.lists.size(), shape.lists.size());
        for (size_t i = 0; i < shape.lists.size(); ++i) {
            const FieldList& list = editor.lists[i];
            EXPECT_EQ(S(list.name), shape.lists[i].name);
            EXPECT_EQ(S(list.rangeText), shape.lists[i].range);
            EXPECT_EQ(list.shift, static_cast<int>(4 * i));
            EXPECT_EQ(list.width, 4);
            EXPECT_FALSE(list.caption.isEmpty());
            ASSERT_EQ(list.items.size(), shape.lists[i].items) << S(list.name);
            // Item i stands for digit value i and says so.
            for (int item = 0; item < list.items.size(); ++item) {
                EXPECT_TRUE(list.items[item].startsWith(QStringLiteral("%1: ").arg(item)))
                    << S(list.items[item]);
            }
        }
    }
}

TEST(BitFieldDigitEditors, OptionTextsAreTheDrivesWording) {
    const FieldEditor& cn037 = Editor("Cn037");
    EXPECT_EQ(cn037.lists[0].items.last(), QStringLiteral("5: 115200 bps"));
    EXPECT_EQ(cn037.lists[1].items.last(), QStringLiteral("3: 38400 bps"));
    EXPECT_EQ(S(cn037.lists[0].caption), "Modbus RS-485通讯传输率");

    const FieldEditor& cn006 = Editor("Cn006");
    EXPECT_EQ(cn006.lists[0].items, cn006.lists[1].items);
    EXPECT_EQ(S(cn006.lists[1].caption), "类比监视输出MON2");
    EXPECT_EQ(S(cn006.lists[0].items[6]), "6: 主回路(Vdc Bus)电压");

    const FieldEditor& cn015 = Editor("Cn015");
    EXPECT_EQ(S(cn015.lists[0].items[4]), "4: 利用输入接点PCNT来切换");
    EXPECT_EQ(S(cn015.lists[1].items[4]), "4: 利用输入接点G-SEL来切换");

    const FieldEditor& cn002 = Editor("Cn002");
    EXPECT_EQ(S(cn002.lists[2].caption), "Cn002.2  自动增益调整设定");
    EXPECT_EQ(S(cn002.lists[3].items[1]),
              "1: 於Servo on或Servo off状态下，皆可自动复归解除AL-09显示。");

    const FieldEditor& pn301 = Editor("Pn301");
    EXPECT_EQ(S(pn301.lists[0].items[0]), "0: 脉冲(Pulse)+符号(Sign)");

    const FieldEditor& pn365 = Editor("Pn365");
    EXPECT_EQ(S(pn365.lists[0].items[5]),
              "5: 电机以第一段速度反转方向寻找原点，不需原点参考点直接寻找最近Z相脉冲原点。");
    EXPECT_EQ(S(pn365.lists[1].items[2]),
              "2: 当Pn365.0=2或3时，寻找到输入接点ORG的上缘做为机械原点；当Pn365.0=4或5时，"
              "寻找到Z相脉冲做为机械原点。");
    EXPECT_EQ(S(pn365.lists[3].caption), "找到机械原点后之停止模式设定");
}

TEST(BitFieldDigitEditors, Pn365OpensOnEachDigitAndChoosingDigit3RewritesOnlyIt) {
    const FieldEditor& pn365 = Editor("Pn365");
    EXPECT_EQ(ValueFieldText(pn365.code, 0x1225), QStringLiteral("1225"));
    EXPECT_EQ(SelectedItems(pn365, 0x1225), (std::vector<int>{5, 2, 2, 1}));
    EXPECT_EQ(ChooseItem(pn365, 0x1225, 3, 0), 0x0225);
    EXPECT_EQ(ChooseItem(pn365, 0x0225, 3, 1), 0x1225);
    EXPECT_EQ(ChooseItem(pn365, 0x1225, 1, 0), 0x1205);
    EXPECT_EQ(ValueFieldText(pn365.code, 0x0225), QStringLiteral("0225"));
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
    for (const EditorShape& shape : DigitEditorShapes()) {
        SCOPED_TRACE(shape.code);
        const FieldEditor& editor = Editor(shape.code);
        std::vector<int> choice(editor.lists.size(), 0);
        int combinations = 0;
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
            const std::array<int, 4> digits = HexDigits(value);
            int32_t recomposed = 0;
            for (int d = 3; d >= 0; --d) {
                recomposed = recomposed * 0x10 + digits[d];
            }
            ASSERT_EQ(recomposed, value);
            ++combinations;

            size_t i = 0;
            while (i < choice.size() && ++choice[i] == editor.lists[i].items.size()) {
                choice[i++] = 0;
            }
            if (i == choice.size()) {
                break;
            }
        }
        int product = 1;
        for (const ListShape& list : shape.lists) {
            product *= list.items;
        }
        EXPECT_EQ(combinations, product);
    }
}

TEST(BitFieldDigitEditors, HexDigitsSplitLowestFirst) {
    EXPECT_EQ(HexDigits(0x1225), (std::array<int, 4>{5, 2, 2, 1}));
    EXPECT_EQ(HexDigits(0xABCD), (std::array<int, 4>{0xD, 0xC, 0xB, 0xA}));
    EXPECT_EQ(HexDigits(0x1F00F), (std::array<int, 4>{0xF, 0, 0, 0xF}));
}

// ---- Contact masks ----

TEST(BitFieldContactMasks, ThirteenListsOnePerInputContact) {
    struct Case {
        const char* code;
        const char* heading;
        const char* item0;
        const char* item1;
    };
    const Case cases[] = {
        {"Hn518", " 数位输入接点控制方式选择", "0: 数位输入接点由外部端子控制",
         "1: 数位输入接点由通讯控制"},
        {"Hn519", " 通讯控制数位输入接点状态", "0: 数位输入接点OFF", "1: 数位输入接点ON"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const FieldEditor& editor = Editor(c.code);
        EXPECT_EQ(S(editor.heading), c.heading);
        EXPECT_EQ(S(editor.rangeText), "(0000-1FFF)");
        ASSERT_EQ(editor.lists.size(), 13u);
        for (int i = 0; i < 13; ++i) {
            const FieldList& list = editor.lists[i];
            EXPECT_EQ(list.name, QStringLiteral("DI-%1").arg(i + 1));
            EXPECT_EQ(list.mask(), 1u << i);
            ASSERT_EQ(list.items.size(), 2);
            EXPECT_EQ(S(list.items[0]), c.item0);
            EXPECT_EQ(S(list.items[1]), c.item1);
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

// ---- Contact function editor ----

TEST(BitFieldContactEditor, InputContactShowsDiTextsAndLists) {
    const ContactEditor editor = ContactEditorFor(QStringLiteral("Hn501"));
    EXPECT_TRUE(editor.input);
    EXPECT_EQ(S(editor.heading), "DI-1接脚功能设定");
    EXPECT_EQ(S(editor.rangeText), "(0001-011C)");
    EXPECT_EQ(S(editor.functionRangeText), "(01-1C)");
    EXPECT_EQ(S(editor.functionLabel), "Hn501.1 && Hn501.0");
    EXPECT_EQ(S(editor.levelLabel), "Hn501.2");
    EXPECT_EQ(S(editor.functionCaption), "DI-1接脚功能\n");
    EXPECT_EQ(S(editor.levelCaption), "DI-1接脚功能动作电位\n");
    ASSERT_EQ(editor.functionItems.size(), 28);
    EXPECT_EQ(S(editor.functionItems.first()), "01: SON - 伺服激活\n");
    EXPECT_EQ(S(editor.functionItems.last()), "1C: RS2 - 转矩命令反向选择\n");
    ASSERT_EQ(editor.levelItems.size(), 2);
    EXPECT_EQ(S(editor.levelItems[0]), "0: 当接脚为低电位(与IG24接脚短路)时，机能动作。\n");
    EXPECT_EQ(S(editor.levelItems[1]), "1: 当接脚为高电位(与IG24接脚开路)时，机能动作。\n");

    const ContactEditor di13 = ContactEditorFor(QStringLiteral("Hn513"));
    EXPECT_TRUE(di13.input);
    EXPECT_EQ(S(di13.heading), "DI-13接脚功能设定");
    EXPECT_EQ(S(di13.functionCaption), "DI-13接脚功能\n");
    EXPECT_EQ(S(di13.functionLabel), "Hn513.1 && Hn513.0");
}

TEST(BitFieldContactEditor, OutputContactsCountFromDo1) {
    struct Case {
        const char* code;
        const char* heading;
        const char* caption;
        const char* levelCaption;
    };
    const Case cases[] = {
        {"Hn514", "DO-1接脚功能设定", "DO-1接脚功能\n", "DO-1接脚功能动作电位\n"},
        {"Hn517", "DO-4接脚功能设定", "DO-4接脚功能\n", "DO-4接脚功能动作电位\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const ContactEditor editor = ContactEditorFor(QString::fromLatin1(c.code));
        EXPECT_FALSE(editor.input);
        EXPECT_EQ(S(editor.heading), c.heading);
        EXPECT_EQ(S(editor.functionCaption), c.caption);
        EXPECT_EQ(S(editor.levelCaption), c.levelCaption);
        EXPECT_EQ(S(editor.rangeText), "(0001-0108)");
        EXPECT_EQ(S(editor.functionRangeText), "(01-08)");
        ASSERT_EQ(editor.functionItems.size(), 8);
        EXPECT_EQ(S(editor.functionItems.first()), "01: RDY - 伺服准备完成\n");
        EXPECT_EQ(S(editor.functionItems.last()), "08: INT - 转矩到达信号\n");
        ASSERT_EQ(editor.levelItems.size(), 2);
        EXPECT_EQ(S(editor.levelItems[0]), "0: 当功能动作时，接脚为低电位(与IG24接脚短路)。\n");
        EXPECT_EQ(S(editor.levelItems[1]), "1: 当机能动作时，接脚为高电位(与IG24接脚开路)。\n");
    }
}

// Item i of a function list is function i + 1: its number in hex, then the catalogue's name.
TEST(BitFieldContactEditor, FunctionItemsFollowTheCatalogueFunctionNames) {
    const ContactEditor input = ContactEditorFor(QStringLiteral("Hn505"));
    for (int i = 0; i < input.functionItems.size(); ++i) {
        EXPECT_TRUE(input.functionItems[i].startsWith(QString::asprintf("%02X: ", i + 1) +
                                                      DiFunctionName(i) + QStringLiteral(" - ")))
            << S(input.functionItems[i]);
    }
    const ContactEditor output = ContactEditorFor(QStringLiteral("Hn516"));
    for (int i = 0; i < output.functionItems.size(); ++i) {
        EXPECT_TRUE(output.functionItems[i].startsWith(QString::asprintf("%02X: ", i + 1) +
                                                       DoFunctionName(i) + QStringLiteral(" - ")))
            << S(output.functionItems[i]);
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
    EXPECT_EQ(S(do1.functionItems[ContactFunctionItem(do1, 0x0007)]),
              "07: HOME - 原点复归完成信号\n");
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

// ---- Rigidity and model editors ----

TEST(BitFieldRigidity, OpeningKeepsOnlyTheLevelDigit) {
    EXPECT_EQ(RigidityValueAtOpening(0x0013), 3);
    EXPECT_EQ(ValueFieldText(QStringLiteral("Cn026"), RigidityValueAtOpening(0x0013)),
              QStringLiteral("0003"));
    EXPECT_EQ(RigidityButton(RigidityValueAtOpening(0x0013)), 2);
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
    EXPECT_EQ(S(editor.heading), " 刚性设定");
    EXPECT_EQ(S(editor.rangeText), "(0001-000A)");
    EXPECT_EQ(S(editor.hint), "(1-9, A)");
    ASSERT_EQ(editor.buttons.size(), kRigidityLevels);
    EXPECT_EQ(editor.buttons.first(), QStringLiteral("1"));
    EXPECT_EQ(editor.buttons.last(), QStringLiteral("A"));
    EXPECT_EQ(editor.gainRowLabels,
              QStringList({U("位置回路增益"), U("速度回路增益"), U("速度回路积分时间常数")}));

    EXPECT_EQ(ChooseRigidityButton(3, 9), 10);
    EXPECT_EQ(ChooseRigidityButton(3, 0), 1);
    EXPECT_EQ(ChooseRigidityButton(3, 10), 3);
    EXPECT_EQ(ChooseRigidityButton(3, -1), 3);

    const int position[kRigidityLevels] = {15, 20, 30, 40, 60, 85, 120, 160, 200, 250};
    const int integral[kRigidityLevels] = {300, 225, 150, 100, 75, 50, 40, 30, 25, 20};
    for (int i = 0; i < kRigidityLevels; ++i) {
        EXPECT_EQ(editor.gains[i].positionLoopGain, position[i]) << i;
        EXPECT_EQ(editor.gains[i].speedLoopGain, position[i]) << i;
        EXPECT_EQ(editor.gains[i].speedIntegralTime, integral[i]) << i;
    }
}

TEST(BitFieldModel, ModelChoiceReplacesTheValueOnlyOnOk) {
    const ModelEditor& editor = Cn030Editor();
    EXPECT_EQ(S(editor.heading), " 系列化机种设定");
    EXPECT_EQ(S(editor.rangeText), "(0000-1FFF)");
    EXPECT_EQ(S(editor.modelButton), "设定型号(&S)...");
    EXPECT_EQ(AfterModelChoice(0x0121, 0x0232), 0x0232);
    EXPECT_EQ(AfterModelChoice(0x0121, std::nullopt), 0x0121);
    EXPECT_EQ(ValueFieldText(editor.code, 0x0232), QStringLiteral("0232"));

    EXPECT_TRUE(ValueEditorHasModelButton(QStringLiteral("Cn030")));
    EXPECT_FALSE(ValueEditorHasModelButton(QStringLiteral("Cn031")));
    EXPECT_FALSE(ValueEditorHasModelButton(QStringLiteral("Pn330")));
}

// ---- Generic value editor ----

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

TEST(BitFieldValueEditor, RefusedTypingBringsBackTextAndSelection) {
    const ValueEditState before{QStringLiteral("50"), 2, 2};
    const ValueEditState typedOutside{QStringLiteral("501"), 3, 3};
    EXPECT_EQ(ReviewValueEdit(before, typedOutside, 0, 500), before);
    const ValueEditState typedInside{QStringLiteral("500"), 3, 3};
    EXPECT_EQ(ReviewValueEdit(before, typedInside, 0, 500), typedInside);
    const ValueEditState cleared{QString(), 0, 0};
    EXPECT_EQ(ReviewValueEdit(before, cleared, 0, 500), cleared);
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
