#include "base/StringBlocks.h"
#include "base/StringTable.h"
#include "drive/CatalogueTable.h"
#include "drive/ParamCode.h"
#include "drive/ParameterCatalogue.h"

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

} // namespace

TEST(HelpText, EveryParameterButTheContactMasksHasFilledHelpEndingWithALineBreak) {
    const QStringList codes = AllCodes();
    ASSERT_EQ(codes.size(), kParameterCount);
    for (const QString& code : codes) {
        const QString help = HelpText(ParamCode::fromText(code));
        if (code == QLatin1String("Hn518") || code == QLatin1String("Hn519")) { // contact masks
            EXPECT_TRUE(help.isEmpty()) << S(code);
            continue;
        }
        EXPECT_FALSE(help.trimmed().isEmpty()) << S(code);
        EXPECT_TRUE(help.endsWith(QLatin1Char('\n'))) << S(code);
        for (const char* format : {"%d", "%0", "%s", "%X"}) {
            EXPECT_FALSE(help.contains(U(format))) << S(code) << " still holds " << format;
        }
    }
}

TEST(HelpText, UnknownCodesAndNonDigitTailsHaveNoHelp) {
    for (const char* code : {"",      "C",     "Cn0",   "Cn0a5", "Cn00x", "Cn000", "Cn041",
                             "Tn100", "Tn109", "Sn219", "Pn300", "Pn370", "qn400", "qn408",
                             "Hn500", "Hn520", "Un-01", "dn-01", "Xn001", "cn001", "Qn401"}) {
        EXPECT_TRUE(HelpText(ParamCode::fromText(U(code))).isEmpty()) << code;
    }
}

TEST(HelpText, StatesTheCatalogueUnitRangeDefaultAndRestartNeed) {
    for (const ParamSpec& p : AllParameters()) {
        if (p.letter == 'H') {
            continue; // the contact help is the list of functions and levels
        }
        const QString code = ParamCode{p.letter, p.number}.text();
        const QString help = HelpText(ParamCode::fromText(code));
        if (*p.unit != '\0') {
            EXPECT_TRUE(help.contains(U("单位：") + U(p.unit))) << S(code) << " unit " << p.unit;
        }
        if (p.rangeRule == RangeRule::Fixed) {
            const QString range =
                U("设定范围：") + RangeText(ParamCode::fromText(code), p.min, p.max);
            EXPECT_TRUE(help.contains(range)) << S(code) << " should state " << S(range);
        }
        if (p.defaultRule == DefaultRule::Fixed || p.defaultRule == DefaultRule::EncoderPulses) {
            const QString value =
                U("默认值：") + FormatValue(ParamCode::fromText(code), p.defaultValue, true);
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
        const QString help = HelpText(ParamCode::fromText(U(code)));
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

TEST(HelpLayout, EveryTextOfTheHelpBlockServesExactlyOneParameterOrTheContacts) {
    // A text given to two parameters or to none means the layout has slipped: a parameter shows
    // its neighbour's help.
    std::vector<std::pair<QString, QString>> helps; // code, help
    for (const QString& code : AllCodes()) {
        if (QStringLiteral("CTSP").contains(code.front())) {
            helps.emplace_back(code, HelpText(ParamCode::fromText(code)));
        }
    }
    const QString contactHelp =
        HelpText(ParamCode::fromText(U("Hn501"))) + HelpText(ParamCode::fromText(U("Hn514")));
    for (const StringEntry& entry : ParameterHelpStrings()) {
        const QString text = QString::fromUtf8(entry.utf8);
        EXPECT_FALSE(text.trimmed().isEmpty()) << entry.id;
        EXPECT_TRUE(text.endsWith(QLatin1Char('\n'))) << entry.id;
        if (text.contains(U("%d"))) {
            continue; // shared by the internal positions, checked below
        }
        QStringList users;
        for (const auto& [code, help] : helps) {
            if (help.contains(text)) {
                users << code;
            }
        }
        if (users.isEmpty()) {
            EXPECT_TRUE(contactHelp.contains(text)) << "text " << entry.id << " is used nowhere";
        } else {
            EXPECT_EQ(users.size(), 1)
                << "text " << entry.id << " is used by [" << S(users.join(u' ')) << "]";
        }
    }
}

TEST(HelpLayout, QuickParametersShowTheHelpOfTheirTwins) {
    for (int n = 1; n <= GroupInfo(ParamGroup::Quick).count; ++n) {
        const QString quick = ParamCode{'q', n}.text();
        EXPECT_EQ(S(HelpText(ParamCode::fromText(quick))), S(HelpText(QuickTwinOf(n)))) << S(quick);
    }
}

TEST(HelpText, InternalPositionTextsNameTheirOwnPosition) {
    for (int k = 1; k <= 16; ++k) {
        for (int part = 0; part < 3; ++part) {
            const int number = 14 + 3 * k + part;
            const QString code = ParamCode{'P', number}.text();
            const QString help = HelpText(ParamCode::fromText(code));
            for (int other = 1; other <= 16; ++other) {
                const QString mention = QStringLiteral("内部位置命令%1的").arg(other);
                EXPECT_EQ(help.contains(mention), other == k)
                    << S(code) << (other == k ? " does not name " : " names ") << S(mention);
            }
        }
    }
    // The revolutions of position 2 use the shared text, the first position its own.
    EXPECT_TRUE(HelpText(ParamCode::fromText(U("Pn320"))).contains(U("内部位置命令2的圈数")));
    EXPECT_EQ(S(HelpText(ParamCode::fromText(U("Pn317")))), S(StringText(667)));
    EXPECT_NE(S(HelpText(ParamCode::fromText(U("Pn320")))), S(StringText(667)));
}

TEST(ContactHelp, ContactsListTheCatalogueFunctionsAndTheLevelsUnderTheirHeads) {
    const struct {
        const char* code;
        int functions;
        QString (*name)(int);
    } contacts[] = {{"Hn503", 28, DiFunctionName}, {"Hn514", 8, DoFunctionName}};
    for (const auto& c : contacts) {
        // After the head (checked for every contact below): functions, level head, levels, "".
        const QStringList lines =
            HelpText(ParamCode::fromText(U(c.code))).section(QLatin1Char('\n'), 1).split(u'\n');
        ASSERT_EQ(lines.size(), c.functions + 1 + 2 + 1) << c.code;
        for (int i = 0; i < c.functions; ++i) {
            const QString start = QString::asprintf("%02X: ", i + 1) + c.name(i) + U(" - ");
            EXPECT_TRUE(lines[i].startsWith(start))
                << c.code << " line " << i << ": " << S(lines[i]);
        }
        const QStringList levels = lines.mid(c.functions + 1);
        EXPECT_TRUE(levels[0].startsWith(U("0: ")) && levels[0].contains(U("低电位"))) << c.code;
        EXPECT_TRUE(levels[1].startsWith(U("1: ")) && levels[1].contains(U("高电位"))) << c.code;
        EXPECT_TRUE(levels[2].isEmpty()) << c.code;
    }
}

TEST(ContactHelp, EachContactNamesItsOwnCodeAndPin) {
    for (int n = 1; n <= 17; ++n) {
        const QString code = ParamCode{'H', n}.text();
        const bool input = n <= 13;
        const QString pin =
            input ? QStringLiteral("DI-%1").arg(n) : QStringLiteral("DO-%1").arg(n - 13);
        const QString help = HelpText(ParamCode::fromText(code));
        EXPECT_TRUE(
            help.startsWith(QStringLiteral("%1.1 && %1.0 %2").arg(code, pin) + U("接脚功能\n")))
            << S(code);
        EXPECT_TRUE(
            help.contains(QStringLiteral("\n%1.2 %2").arg(code, pin) + U("接脚功能动作电位\n")))
            << S(code);
        // Apart from the heads, every input has the same help, and so has every output.
        const auto generic = [](const QString& c, const QString& p) {
            return S(
                HelpText(ParamCode::fromText(c)).replace(c, U("<code>")).replace(p, U("<pin>")));
        };
        EXPECT_EQ(generic(code, pin),
                  input ? generic(U("Hn501"), U("DI-1")) : generic(U("Hn514"), U("DO-1")))
            << S(code);
    }
}
