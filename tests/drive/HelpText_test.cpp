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

QString FromUtf8(const char* utf8) {
    return QString::fromUtf8(utf8);
}

std::string ToStd(const QString& text) {
    return text.toStdString();
}

// Every parameter code of the six groups, in group order.
QStringList AllCodes() {
    QStringList codes;
    for (int g = 0; g < kParamGroupCount; ++g) {
        const ParamGroupInfo& group = GroupInfo(g);
        for (int n = 1; n <= group.count; ++n) {
            codes << ParamCode{group.letter, n}.Text();
        }
    }
    return codes;
}

} // namespace

TEST(HelpText, EveryParameterButTheContactMasksHasFilledHelpEndingWithALineBreak) {
    const QStringList codes = AllCodes();
    ASSERT_EQ(codes.size(), kParameterCount);
    for (const QString& code : codes) {
        const QString help = HelpText(ParamCode::FromText(code));
        if (code == QLatin1String("Hn518") || code == QLatin1String("Hn519")) { // contact masks
            EXPECT_TRUE(help.isEmpty()) << ToStd(code);
            continue;
        }
        EXPECT_FALSE(help.trimmed().isEmpty()) << ToStd(code);
        EXPECT_TRUE(help.endsWith(QLatin1Char('\n'))) << ToStd(code);
        for (const char* format : {"%d", "%0", "%s", "%X"}) {
            EXPECT_FALSE(help.contains(FromUtf8(format)))
                << ToStd(code) << " still holds " << format;
        }
    }
}

TEST(HelpText, UnknownCodesAndNonDigitTailsHaveNoHelp) {
    for (const char* code : {"",      "C",     "Cn0",   "Cn0a5", "Cn00x", "Cn000", "Cn041",
                             "Tn100", "Tn109", "Sn219", "Pn300", "Pn370", "qn400", "qn408",
                             "Hn500", "Hn520", "Un-01", "dn-01", "Xn001", "cn001", "Qn401"}) {
        EXPECT_TRUE(HelpText(ParamCode::FromText(FromUtf8(code))).isEmpty()) << code;
    }
}

TEST(HelpText, StatesTheCatalogueUnitRangeDefaultAndRestartNeed) {
    for (const ParamSpec& p : AllParameters()) {
        if (p.letter == 'H') {
            continue; // the contact help is the list of functions and levels
        }
        const QString code = ParamCode{p.letter, p.number}.Text();
        const QString help = HelpText(ParamCode::FromText(code));
        if (*p.unit != '\0') {
            EXPECT_TRUE(help.contains(FromUtf8("单位：") + FromUtf8(p.unit)))
                << ToStd(code) << " unit " << p.unit;
        }
        if (p.rangeRule == RangeRule::Fixed) {
            const QString range =
                FromUtf8("设定范围：") + RangeText(ParamCode::FromText(code), p.min, p.max);
            EXPECT_TRUE(help.contains(range)) << ToStd(code) << " should state " << ToStd(range);
        }
        if (p.defaultRule == DefaultRule::Fixed || p.defaultRule == DefaultRule::EncoderPulses) {
            const QString value =
                FromUtf8("默认值：") + FormatValue(ParamCode::FromText(code), p.defaultValue, true);
            EXPECT_TRUE(help.contains(value)) << ToStd(code) << " should state " << ToStd(value);
        }
        EXPECT_EQ(help.contains(FromUtf8("重新启动")), p.restart)
            << ToStd(code) << (p.restart ? " needs a restart" : " takes effect at once");
    }
}

TEST(HelpText, BitFieldParametersExplainEachDigitInOrder) {
    const std::pair<const char*, int> bitFields[] = {
        {"Cn002", 4}, {"Cn006", 2}, {"Cn015", 2}, {"Cn037", 2},
        {"Pn301", 3}, {"Pn316", 2}, {"Pn365", 4},
    };
    for (const auto& [code, digits] : bitFields) {
        const QString help = HelpText(ParamCode::FromText(FromUtf8(code)));
        qsizetype previous = -1;
        for (int d = 0; d < digits; ++d) {
            const QString name = QStringLiteral("%1.%2").arg(FromUtf8(code)).arg(d);
            const qsizetype at = help.indexOf(name);
            EXPECT_GT(at, previous) << name.toStdString() << " missing or out of order";
            previous = at;
        }
        EXPECT_FALSE(help.contains(QStringLiteral("%1.%2").arg(FromUtf8(code)).arg(digits)))
            << code << " names a digit it does not have";
    }
}

TEST(HelpLayout, EveryTextOfTheHelpBlockServesExactlyOneParameterOrTheContacts) {
    // A text given to two parameters or to none means the layout has slipped: a parameter shows
    // its neighbour's help.
    std::vector<std::pair<QString, QString>> helps; // code, help
    for (const QString& code : AllCodes()) {
        if (QStringLiteral("CTSP").contains(code.front())) {
            helps.emplace_back(code, HelpText(ParamCode::FromText(code)));
        }
    }
    const QString contactHelp = HelpText(ParamCode::FromText(FromUtf8("Hn501"))) +
                                HelpText(ParamCode::FromText(FromUtf8("Hn514")));
    for (const StringEntry& entry : ParameterHelpStrings()) {
        const QString text = QString::fromUtf8(entry.utf8);
        EXPECT_FALSE(text.trimmed().isEmpty()) << entry.id;
        EXPECT_TRUE(text.endsWith(QLatin1Char('\n'))) << entry.id;
        if (text.contains(FromUtf8("%d"))) {
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
                << "text " << entry.id << " is used by [" << ToStd(users.join(u' ')) << "]";
        }
    }
}

TEST(HelpLayout, QuickParametersShowTheHelpOfTheirTwins) {
    for (int n = 1; n <= GroupInfo(ParamGroup::Quick).count; ++n) {
        const QString quick = ParamCode{'q', n}.Text();
        EXPECT_EQ(ToStd(HelpText(ParamCode::FromText(quick))), ToStd(HelpText(QuickTwinOf(n))))
            << ToStd(quick);
    }
}

TEST(HelpText, InternalPositionTextsNameTheirOwnPosition) {
    for (int k = 1; k <= 16; ++k) {
        for (int part = 0; part < 3; ++part) {
            const int number = 14 + 3 * k + part;
            const QString code = ParamCode{'P', number}.Text();
            const QString help = HelpText(ParamCode::FromText(code));
            for (int other = 1; other <= 16; ++other) {
                const QString mention = QStringLiteral("内部位置命令%1的").arg(other);
                EXPECT_EQ(help.contains(mention), other == k)
                    << ToStd(code) << (other == k ? " does not name " : " names ")
                    << ToStd(mention);
            }
        }
    }
    // The revolutions of position 2 use the shared text, the first position its own.
    EXPECT_TRUE(
        HelpText(ParamCode::FromText(FromUtf8("Pn320"))).contains(FromUtf8("内部位置命令2的圈数")));
    EXPECT_EQ(ToStd(HelpText(ParamCode::FromText(FromUtf8("Pn317")))), ToStd(StringText(667)));
    EXPECT_NE(ToStd(HelpText(ParamCode::FromText(FromUtf8("Pn320")))), ToStd(StringText(667)));
}

TEST(ContactHelp, ContactsListTheCatalogueFunctionsAndTheLevelsUnderTheirHeads) {
    const struct {
        const char* code;
        int functions;
        QString (*name)(int);
    } contacts[] = {{"Hn503", 28, DiFunctionName}, {"Hn514", 8, DoFunctionName}};
    for (const auto& c : contacts) {
        // After the head (checked for every contact below): functions, level head, levels, "".
        const QStringList lines = HelpText(ParamCode::FromText(FromUtf8(c.code)))
                                      .section(QLatin1Char('\n'), 1)
                                      .split(u'\n');
        ASSERT_EQ(lines.size(), c.functions + 1 + 2 + 1) << c.code;
        for (int i = 0; i < c.functions; ++i) {
            const QString start = QString::asprintf("%02X: ", i + 1) + c.name(i) + FromUtf8(" - ");
            EXPECT_TRUE(lines[i].startsWith(start))
                << c.code << " line " << i << ": " << ToStd(lines[i]);
        }
        const QStringList levels = lines.mid(c.functions + 1);
        EXPECT_TRUE(levels[0].startsWith(FromUtf8("0: ")) && levels[0].contains(FromUtf8("低电位")))
            << c.code;
        EXPECT_TRUE(levels[1].startsWith(FromUtf8("1: ")) && levels[1].contains(FromUtf8("高电位")))
            << c.code;
        EXPECT_TRUE(levels[2].isEmpty()) << c.code;
    }
}

TEST(ContactHelp, EachContactNamesItsOwnCodeAndPin) {
    for (int n = 1; n <= 17; ++n) {
        const QString code = ParamCode{'H', n}.Text();
        const bool input = n <= 13;
        const QString pin =
            input ? QStringLiteral("DI-%1").arg(n) : QStringLiteral("DO-%1").arg(n - 13);
        const QString help = HelpText(ParamCode::FromText(code));
        EXPECT_TRUE(help.startsWith(QStringLiteral("%1.1 && %1.0 %2").arg(code, pin) +
                                    FromUtf8("接脚功能\n")))
            << ToStd(code);
        EXPECT_TRUE(help.contains(QStringLiteral("\n%1.2 %2").arg(code, pin) +
                                  FromUtf8("接脚功能动作电位\n")))
            << ToStd(code);
        // Apart from the heads, every input has the same help, and so has every output.
        const auto generic = [](const QString& c, const QString& p) {
            return ToStd(HelpText(ParamCode::FromText(c))
                             .replace(c, FromUtf8("<code>"))
                             .replace(p, FromUtf8("<pin>")));
        };
        EXPECT_EQ(generic(code, pin), input ? generic(FromUtf8("Hn501"), FromUtf8("DI-1"))
                                            : generic(FromUtf8("Hn514"), FromUtf8("DO-1")))
            << ToStd(code);
    }
}
