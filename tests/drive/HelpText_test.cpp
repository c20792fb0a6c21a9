#include "base/StringBlocks.h"
#include "base/StringTable.h"
#include "drive/CatalogueTable.h"
#include "drive/ParamCode.h"
#include "drive/ParameterCatalogue.h"

#include <QSet>
#include <QString>
#include <QStringList>

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

// Every parameter code of the six groups, in group order.
QStringList AllCodes() {
    QStringList codes;
    for (int g = 0; g < kParamGroupCount; ++g) {
        const ParamGroupInfo& group = GroupInfo(g);
        for (int n = 1; n <= group.count; ++n) {
            codes << ParamCode{group.letter, n}.text();
        }
    }
    return codes;
}

bool IsContactMask(const QString& code) {
    return code == QLatin1String("Hn518") || code == QLatin1String("Hn519");
}

// The string IDs the help layout uses: the parameter texts and the contact lines.
QSet<int> LayoutIds() {
    QSet<int> ids;
    const std::pair<int, int> ranges[] = {{570, 617}, {620, 628}, {630, 675}, {678, 705},
                                          {708, 709}, {711, 718}, {720, 721}};
    for (const auto& [first, last] : ranges) {
        for (int id = first; id <= last; ++id) {
            ids.insert(id);
        }
    }
    return ids;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Which codes have help

TEST(HelpText, EveryParameterButTheContactMasksHasHelpEndingWithALineBreak) {
    const QStringList codes = AllCodes();
    ASSERT_EQ(codes.size(), kParameterCount);
    for (const QString& code : codes) {
        const QString help = HelpText(code);
        if (IsContactMask(code)) {
            EXPECT_TRUE(help.isEmpty()) << S(code);
            continue;
        }
        EXPECT_FALSE(help.trimmed().isEmpty()) << S(code);
        EXPECT_TRUE(help.endsWith(QLatin1Char('\n'))) << S(code);
    }
}

TEST(HelpText, UnknownCodesAndNonDigitTailsHaveNoHelp) {
    for (const char* code : {"",      "C",     "Cn0",   "Cn0a5", "Cn00x", "Cn000", "Cn041",
                             "Tn100", "Tn109", "Sn219", "Pn300", "Pn370", "qn400", "qn408",
                             "Hn500", "Hn520", "Un-01", "dn-01", "Xn001", "cn001", "Qn401"}) {
        EXPECT_TRUE(HelpText(U(code)).isEmpty()) << code;
    }
}

TEST(HelpText, NoHelpKeepsAnUnfilledFormat) {
    for (const QString& code : AllCodes()) {
        const QString help = HelpText(code);
        for (const char* format : {"%d", "%0", "%s", "%X"}) {
            EXPECT_FALSE(help.contains(U(format))) << S(code) << " still holds " << format;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// The help agrees with the catalogue

TEST(HelpText, StatesTheCatalogueUnitRangeDefaultAndRestartNeed) {
    for (const ParamSpec& p : AllParameters()) {
        if (p.letter == 'H') {
            continue; // the contact help is the list of functions and levels
        }
        const QString code = ParamCode{p.letter, p.number}.text();
        const QString help = HelpText(code);
        if (*p.unit != '\0') {
            EXPECT_TRUE(help.contains(U("单位：") + U(p.unit))) << S(code) << " unit " << p.unit;
        }
        if (p.rangeRule == RangeRule::Fixed) {
            const QString range = U("设定范围：") + RangeText(code, p.min, p.max);
            EXPECT_TRUE(help.contains(range)) << S(code) << " should state " << S(range);
        }
        if (p.defaultRule == DefaultRule::Fixed || p.defaultRule == DefaultRule::EncoderPulses) {
            const QString value = U("默认值：") + FormatValue(code, p.defaultValue, true);
            EXPECT_TRUE(help.contains(value)) << S(code) << " should state " << S(value);
        }
        EXPECT_EQ(help.contains(U("重新启动")), p.restart)
            << S(code) << (p.restart ? " needs a restart" : " takes effect at once");
    }
}

TEST(HelpText, BitFieldParametersExplainEachDigitInOrder) {
    const std::pair<const char*, int> bitFields[] = {
        {"Cn002", 4}, {"Cn006", 2}, {"Cn015", 2}, {"Cn037", 2},
        {"Pn301", 3}, {"Pn316", 2}, {"Pn365", 4},
    };
    for (const auto& [code, digits] : bitFields) {
        const QString help = HelpText(U(code));
        qsizetype previous = -1;
        for (int d = 0; d < digits; ++d) {
            const QString name = QStringLiteral("%1.%2").arg(U(code)).arg(d);
            const qsizetype at = help.indexOf(name);
            EXPECT_GT(at, previous) << name.toStdString() << " missing or out of order";
            previous = at;
        }
        EXPECT_FALSE(help.contains(QStringLiteral("%1.%2").arg(U(code)).arg(digits)))
            << code << " names a digit it does not have";
    }
}

// ---------------------------------------------------------------------------------------------
// The layout of the help texts in the string table

TEST(HelpLayout, TheHelpBlockHoldsExactlyTheLayoutIdsEachEndingWithALineBreak) {
    const QSet<int> layout = LayoutIds();
    QSet<int> held;
    for (const StringEntry& entry : ParameterHelpStrings()) {
        held.insert(entry.id);
        EXPECT_TRUE(layout.contains(entry.id))
            << "help text " << entry.id << " is outside the layout";
    }
    for (int id : layout) {
        EXPECT_TRUE(held.contains(id)) << "help text " << id << " is missing";
        const QString text = StringText(id);
        EXPECT_FALSE(text.trimmed().isEmpty()) << id;
        EXPECT_TRUE(text.endsWith(QLatin1Char('\n'))) << id;
    }
}

TEST(HelpLayout, EveryOwnTextServesExactlyOneParameter) {
    // The texts of the control, torque, speed and position parameters, the shared internal
    // position texts excepted: each must appear in the help of one parameter only, so that no
    // text is skipped and none is given to two parameters.
    std::vector<std::pair<QString, QString>> helps; // code, help
    for (const QString& code : AllCodes()) {
        const QChar letter = code.front();
        if (letter == QLatin1Char('C') || letter == QLatin1Char('T') ||
            letter == QLatin1Char('S') || letter == QLatin1Char('P')) {
            helps.emplace_back(code, HelpText(code));
        }
    }
    QList<int> ids;
    for (int id = 570; id <= 617; ++id)
        ids << id;
    for (int id = 620; id <= 628; ++id)
        ids << id;
    for (int id = 630; id <= 667; ++id)
        ids << id;
    for (int id = 671; id <= 675; ++id)
        ids << id;
    for (int id : ids) {
        const QString text = StringText(id);
        QStringList users;
        for (const auto& [code, help] : helps) {
            if (help.contains(text)) {
                users << code;
            }
        }
        EXPECT_EQ(users.size(), 1)
            << "text " << id << " is used by [" << S(users.join(u' ')) << "]";
    }
}

TEST(HelpLayout, SplitParametersJoinTheirTextsInIdOrder) {
    const struct {
        const char* code;
        int firstId;
        int count;
    } splits[] = {
        {"Cn001", 570, 2}, {"Cn002", 572, 4}, {"Cn006", 579, 2}, {"Cn015", 589, 2},
        {"Cn037", 612, 2}, {"Cn038", 614, 2}, {"Tn101", 620, 2}, {"Sn204", 633, 2},
        {"Sn205", 635, 2}, {"Pn301", 650, 2},
    };
    for (const auto& split : splits) {
        QString expected;
        for (int id = split.firstId; id < split.firstId + split.count; ++id) {
            expected += StringText(id);
        }
        EXPECT_EQ(S(HelpText(U(split.code))), S(expected)) << split.code;
    }
    // The run ends: the last parameter of each run ends at the last ID of its span.
    EXPECT_EQ(S(HelpText(U("Cn040"))), S(StringText(617)));
    EXPECT_EQ(S(HelpText(U("Tn108"))), S(StringText(628)));
    EXPECT_EQ(S(HelpText(U("Sn218"))), S(StringText(649)));
    EXPECT_EQ(S(HelpText(U("Pn316"))), S(StringText(666)));
    EXPECT_EQ(S(HelpText(U("Pn365"))), S(StringText(671)));
    EXPECT_EQ(S(HelpText(U("Pn369"))), S(StringText(675)));
}

TEST(HelpLayout, QuickParametersShowTheSpeedAndPositionLoopTexts) {
    const struct {
        const char* quick;
        const char* twin;
        int id;
    } pairs[] = {
        {"qn401", "Sn211", 642}, {"qn402", "Sn212", 643}, {"qn403", "Sn213", 644},
        {"qn404", "Sn214", 645}, {"qn405", "Pn310", 660}, {"qn406", "Pn311", 661},
        {"qn407", "Pn312", 662},
    };
    for (const auto& pair : pairs) {
        const QString help = HelpText(U(pair.quick));
        EXPECT_FALSE(help.isEmpty()) << pair.quick;
        EXPECT_EQ(S(help), S(StringText(pair.id))) << pair.quick;
        EXPECT_EQ(S(help), S(HelpText(U(pair.twin)))) << pair.quick;
    }
}

// ---------------------------------------------------------------------------------------------
// Internal positions

TEST(HelpText, InternalPositionTextsNameTheirOwnPosition) {
    for (int k = 1; k <= 16; ++k) {
        for (int part = 0; part < 3; ++part) {
            const int number = 14 + 3 * k + part;
            const QString code = ParamCode{'P', number}.text();
            const QString help = HelpText(code);
            for (int other = 1; other <= 16; ++other) {
                const QString mention = QStringLiteral("内部位置命令%1的").arg(other);
                EXPECT_EQ(help.contains(mention), other == k)
                    << S(code) << (other == k ? " does not name " : " names ") << S(mention);
            }
        }
    }
    // The revolutions of position 2 use the shared text, the first position its own.
    EXPECT_TRUE(HelpText(U("Pn320")).contains(U("内部位置命令2的圈数")));
    EXPECT_EQ(S(HelpText(U("Pn317"))), S(StringText(667)));
    EXPECT_NE(S(HelpText(U("Pn320"))), S(StringText(667)));
}

TEST(HelpText, ParametersAroundTheInternalPositionsKeepTheirOwnTexts) {
    for (const char* code : {"Pn316", "Pn365", "Pn366", "Pn369"}) {
        const QString help = HelpText(U(code));
        for (int id : {667, 668, 669, 670}) {
            const QString shared = StringText(id).section(U("%d"), 0, 0);
            EXPECT_FALSE(help.startsWith(shared)) << code << " uses internal position text " << id;
        }
    }
    EXPECT_TRUE(HelpText(U("Pn365")).startsWith(StringText(671)));
    EXPECT_TRUE(HelpText(U("Pn364")).contains(U("内部位置命令16的移动速度")));
}

// ---------------------------------------------------------------------------------------------
// Multi-function contacts

TEST(ContactHelp, InputContactListsTheFunctionsAndLevelsUnderItsHeads) {
    const QString help = HelpText(U("Hn503"));
    const QString head = U("Hn503.1 && Hn503.0 DI-3接脚功能\n");
    ASSERT_TRUE(help.startsWith(head)) << S(help.left(40));

    const QStringList lines = help.mid(head.size()).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 28 + 1 + 2 + 1) << S(help); // functions, level head, levels, ""
    for (int i = 0; i < 28; ++i) {
        const QString start = QString::asprintf("%02X: ", i + 1) + DiFunctionName(i) + U(" - ");
        EXPECT_TRUE(lines[i].startsWith(start)) << "line " << i << ": " << S(lines[i]);
    }
    EXPECT_EQ(S(lines[28]), S(U("Hn503.2 DI-3接脚功能动作电位")));
    EXPECT_TRUE(lines[29].startsWith(U("0: ")) && lines[29].contains(U("低电位"))) << S(lines[29]);
    EXPECT_TRUE(lines[30].startsWith(U("1: ")) && lines[30].contains(U("高电位"))) << S(lines[30]);
    EXPECT_TRUE(lines[31].isEmpty());
}

TEST(ContactHelp, OutputContactListsItsEightFunctionsAndLevels) {
    const QString help = HelpText(U("Hn514"));
    const QString head = U("Hn514.1 && Hn514.0 DO-1接脚功能\n");
    ASSERT_TRUE(help.startsWith(head)) << S(help.left(40));

    const QStringList lines = help.mid(head.size()).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 8 + 1 + 2 + 1) << S(help);
    for (int i = 0; i < 8; ++i) {
        const QString start = QString::asprintf("%02X: ", i + 1) + DoFunctionName(i) + U(" - ");
        EXPECT_TRUE(lines[i].startsWith(start)) << "line " << i << ": " << S(lines[i]);
    }
    EXPECT_EQ(S(lines[8]), S(U("Hn514.2 DO-1接脚功能动作电位")));
    EXPECT_TRUE(lines[9].startsWith(U("0: ")) && lines[9].contains(U("低电位"))) << S(lines[9]);
    EXPECT_TRUE(lines[10].startsWith(U("1: ")) && lines[10].contains(U("高电位"))) << S(lines[10]);
}

TEST(ContactHelp, EachContactNamesItsOwnCodeAndPin) {
    for (int n = 1; n <= 17; ++n) {
        const QString code = ParamCode{'H', n}.text();
        const bool input = n <= 13;
        const QString pin =
            input ? QStringLiteral("DI-%1").arg(n) : QStringLiteral("DO-%1").arg(n - 13);
        const QString help = HelpText(code);
        EXPECT_TRUE(
            help.startsWith(QStringLiteral("%1.1 && %1.0 %2").arg(code, pin) + U("接脚功能\n")))
            << S(code);
        EXPECT_TRUE(
            help.contains(QStringLiteral("\n%1.2 %2").arg(code, pin) + U("接脚功能动作电位\n")))
            << S(code);
        // Apart from the heads, every input has the same help, and so has every output.
        const QString reference = input ? U("Hn501") : U("Hn514");
        const QString referencePin = input ? U("DI-1") : U("DO-1");
        QString body = help;
        body.replace(code, U("<code>")).replace(pin, U("<pin>"));
        QString referenceBody = HelpText(reference);
        referenceBody.replace(reference, U("<code>")).replace(referencePin, U("<pin>"));
        EXPECT_EQ(S(body), S(referenceBody)) << S(code);
    }
}
