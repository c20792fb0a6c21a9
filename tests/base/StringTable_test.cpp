#include "base/StringBlocks.h"
#include "base/StringTable.h"
#include "drive/ModelTable.h"
#include "drive/ParamCode.h"
#include "drive/ParameterCatalogue.h"

#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

struct NamedBlock {
    const char* name;
    std::span<const StringEntry> entries;
};

std::vector<NamedBlock> AllBlocks() {
    return {{"common", CommonStrings()},
            {"parameter names", ParameterNameStrings()},
            {"help texts", ParameterHelpStrings()},
            {"motor models", MotorModelStrings()}};
}

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

std::string S(const QString& text) {
    return text.toStdString();
}

// Name of parameter `number` (1-based) of a group, through the group table.
QString ParamName(ParamGroup group, int number) {
    return StringText(GroupInfo(group).firstNameId + number - 1);
}

} // namespace

// Each block ascends, no ID is defined twice, every text is valid UTF-8 with its escapes
// resolved, and the lookup finds every entry of every block.
TEST(StringTableBlocks, BlocksAreOrderedDistinctValidAndAllFoundByTheLookup) {
    std::map<int, const char*> owner;
    for (const NamedBlock& block : AllBlocks()) {
        int previous = 0;
        for (const StringEntry& entry : block.entries) {
            EXPECT_GT(entry.id, previous) << block.name << " is out of order at ID " << entry.id;
            previous = entry.id;
            ASSERT_NE(entry.utf8, nullptr) << block.name << " ID " << entry.id;
            const auto [it, inserted] = owner.emplace(entry.id, block.name);
            EXPECT_TRUE(inserted) << "string " << entry.id << " is defined by " << it->second
                                  << " and by " << block.name;
            const QString text = QString::fromUtf8(entry.utf8);
            EXPECT_FALSE(text.contains(QChar::ReplacementCharacter))
                << block.name << " ID " << entry.id << " is not valid UTF-8";
            // A "\\n" written where "\n" was meant shows up as a backslash on screen.
            EXPECT_FALSE(text.contains(QLatin1Char('\\')))
                << block.name << " ID " << entry.id << ": " << S(text);
            EXPECT_EQ(StringText(entry.id), text) << entry.id;
        }
    }
    for (int id : {-1, 0, 915, 990, 100000}) {
        EXPECT_FALSE(HasString(id)) << id;
        EXPECT_TRUE(StringText(id).isEmpty()) << id;
    }
}

TEST(StringTableTexts, ProgressTextsFormatTheParameterCodeOfTheirGroup) {
    for (ParamGroup g :
         {ParamGroup::Control, ParamGroup::Torque, ParamGroup::Speed, ParamGroup::Position}) {
        const int group = static_cast<int>(g);
        for (int number : {1, GroupInfo(g).count}) {
            const QString code = ParamCode{GroupInfo(g).letter, number}.Text();
            for (int id : {136 + group, 141 + group}) {
                const QString text = QString::asprintf(StringText(id).toUtf8().constData(), number);
                EXPECT_TRUE(text.endsWith(U("：") + code)) << id << ": " << S(text);
            }
        }
    }
}

TEST(StringTableTexts, AlarmTextsAreDistinctSentences) {
    QSet<QString> distinct;
    for (int id = 380; id <= 395; ++id) {
        EXPECT_TRUE(StringText(id).endsWith(U("。"))) << id;
        distinct.insert(StringText(id));
    }
    EXPECT_EQ(distinct.size(), 16);
}

TEST(StringTableTexts, FileFiltersRepeatTheDocumentTemplate) {
    const QStringList parts = StringText(128).split(QLatin1Char('\n'));
    ASSERT_EQ(parts.size(), 8);
    ASSERT_TRUE(parts[4].endsWith(U("(*") + parts[5] + U(")"))) << S(parts[4]);

    // Save filter: one pair; open filter: the same pair and "all files". Both end with "||".
    const QStringList save = StringText(173).split(QLatin1Char('|'));
    const QStringList open = StringText(172).split(QLatin1Char('|'));
    EXPECT_EQ(save, (QStringList{parts[4], U("*") + parts[5], {}, {}}));
    ASSERT_EQ(open.size(), 6);
    EXPECT_EQ(open.mid(0, 2), save.mid(0, 2));
    EXPECT_EQ(open[3], U("*.*"));

    const QStringList traceSave = StringText(773).split(QLatin1Char('|'));
    const QStringList traceOpen = StringText(772).split(QLatin1Char('|'));
    EXPECT_EQ(traceSave.size(), 4);
    EXPECT_EQ(traceOpen.mid(0, 2), traceSave.mid(0, 2));
    EXPECT_EQ(traceOpen.mid(2), open.mid(2));
}

TEST(StringTableTexts, SharedTextsAgree) {
    // The not-linked control pane is the dashes followed by the control suffix.
    EXPECT_EQ(StringText(122), U("---") + StringText(148));
    EXPECT_EQ(StringText(900), StringText(252));
    // Trace data 1 and data 2 offer the same eight quantities.
    for (int i = 0; i < 8; ++i) {
        EXPECT_FALSE(StringText(750 + i).isEmpty()) << 750 + i;
        EXPECT_EQ(StringText(760 + i), StringText(750 + i)) << 760 + i;
    }
}

TEST(StringTableNames, EveryParameterAndMonitorHasAName) {
    for (int g = 0; g < kParamGroupCount; ++g) {
        const ParamGroupInfo& info = GroupInfo(g);
        for (int n = 1; n <= info.count; ++n) {
            EXPECT_FALSE(ParamName(static_cast<ParamGroup>(g), n).isEmpty())
                << info.letter << " number " << n;
        }
    }
    // The groups do not run into one another: nothing sits right after the torque, speed,
    // position and quick names.
    for (ParamGroup g :
         {ParamGroup::Torque, ParamGroup::Speed, ParamGroup::Position, ParamGroup::Quick}) {
        EXPECT_FALSE(HasString(GroupInfo(g).firstNameId + GroupInfo(g).count))
            << GroupInfo(g).letter;
    }
    for (const auto& [first, last] : {std::pair{301, 319}, {351, 354}, {361, 370}}) {
        for (int id = first; id <= last; ++id) {
            EXPECT_FALSE(StringText(id).isEmpty()) << "monitor name " << id;
        }
    }
}

TEST(StringTableNames, NamesAreDistinctExceptTheQuickAliases) {
    std::map<QString, QString> seen; // name -> code
    for (ParamGroup g : {ParamGroup::Control, ParamGroup::Torque, ParamGroup::Speed,
                         ParamGroup::Position, ParamGroup::Contact}) {
        for (int n = 1; n <= GroupInfo(g).count; ++n) {
            const QString code = ParamCode{GroupInfo(g).letter, n}.Text();
            const auto [it, inserted] = seen.emplace(ParamName(g, n), code);
            EXPECT_TRUE(inserted) << S(code) << " has the same name as " << S(it->second);
        }
    }
    for (int n = 1; n <= GroupInfo(ParamGroup::Quick).count; ++n) {
        const ParamCode twin = QuickTwinOf(n);
        EXPECT_EQ(ParamName(ParamGroup::Quick, n),
                  ParamName(static_cast<ParamGroup>(GroupIndexOfLetter(twin.letter)), twin.number))
            << "quick parameter " << n;
    }
}

TEST(StringTableNames, RepeatedNamesCountWithTheirParameters) {
    // A name left out or doubled in a run shifts every later name of the run.
    for (int k = 1; k <= 16; ++k) {
        const QString head = U("内部位置命令%1-").arg(k);
        for (int part = 0; part < 3; ++part) {
            EXPECT_TRUE(ParamName(ParamGroup::Position, 14 + 3 * k + part).startsWith(head)) << k;
        }
    }
    for (int n = 1; n <= 17; ++n) {
        const QString pin = n <= 13 ? U("DI-%1接脚").arg(n) : U("DO-%1接脚").arg(n - 13);
        EXPECT_TRUE(ParamName(ParamGroup::Contact, n).startsWith(pin)) << n;
    }
}

TEST(StringTableMotorModels, EachRowNamesItsOwnMotor) {
    // OSM<power in 10 W>-<speed in 100 rpm><encoder P/Q/S>-<drive digit><motor digit><A/B>
    static const QRegularExpression pattern(
        QStringLiteral("^OSM(\\d{3})-(\\d{2})([PQS])-([0-9A-F])([0-9A-F])([AB])$"));
    static const QRegularExpression motor(QStringLiteral("^([0-9.]+)(K?W) (\\d+)rpm (\\d+)ppr$"));
    const std::map<QString, int> encoder{{U("P"), 2000}, {U("Q"), 2500}, {U("S"), 8192}};

    QSet<QString> distinct;
    ASSERT_EQ(ModelList().size(), MotorModelStrings().size());
    for (const ModelListRow& row : ModelList()) {
        const QString part = StringText(row.motorNameId);
        distinct.insert(part);
        const QRegularExpressionMatch p = pattern.match(part);
        ASSERT_TRUE(p.hasMatch()) << row.motorNameId << ": " << S(part);
        const QRegularExpressionMatch m = motor.match(MotorTypeText(row.code));
        ASSERT_TRUE(m.hasMatch()) << S(MotorTypeText(row.code));

        const double watts = m.captured(1).toDouble() * (m.captured(2) == U("KW") ? 1000 : 1);
        EXPECT_EQ(p.captured(1).toInt() * 10, qRound(watts)) << S(part);
        EXPECT_EQ(p.captured(2).toInt() * 100, m.captured(3).toInt()) << S(part);
        EXPECT_EQ(encoder.at(p.captured(3)), m.captured(4).toInt()) << S(part);
        EXPECT_EQ(p.captured(4).toInt(nullptr, 16), (row.code >> 8) & 0xF) << S(part);
        EXPECT_EQ(p.captured(5).toInt(nullptr, 16), (row.code >> 4) & 0xF) << S(part);
        EXPECT_EQ(p.captured(6) == U("B"), (row.code & 0xF) >= 3) << S(part);
    }
    EXPECT_EQ(distinct.size(), static_cast<qsizetype>(ModelList().size()));
}
