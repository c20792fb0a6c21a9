#include "base/StringBlocks.h"
#include "base/StringTable.h"
#include "drive/ModelTable.h"
#include "drive/ParamCode.h"

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

QString Format(int id, int value) {
    return QString::asprintf(StringText(id).toUtf8().constData(), value);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The blocks as data

TEST(StringTableBlocks, EachBlockIsAscendingAndNoIdIsDefinedTwice) {
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
        }
    }
}

TEST(StringTableBlocks, EachBlockKeepsToItsOwnIdRanges) {
    for (const StringEntry& entry : ParameterHelpStrings()) {
        EXPECT_TRUE(entry.id >= 570 && entry.id <= 721) << "help text with ID " << entry.id;
    }
    for (const StringEntry& entry : MotorModelStrings()) {
        EXPECT_TRUE(entry.id >= 916 && entry.id <= 989) << "motor model with ID " << entry.id;
    }
    for (const StringEntry& entry : ParameterNameStrings()) {
        const int id = entry.id;
        const bool monitor =
            (id >= 301 && id <= 319) || (id >= 351 && id <= 354) || (id >= 361 && id <= 370);
        bool parameter = false;
        for (int g = 0; g < kParamGroupCount; ++g) {
            const ParamGroupInfo& info = GroupInfo(g);
            parameter = parameter || (id >= info.firstNameId && id < info.firstNameId + info.count);
        }
        EXPECT_TRUE(monitor || parameter) << "parameter name block holds ID " << id;
    }
    for (const StringEntry& entry : CommonStrings()) {
        EXPECT_FALSE(entry.id >= 570 && entry.id <= 721)
            << "common block holds help ID " << entry.id;
        EXPECT_FALSE(entry.id >= 916 && entry.id <= 989)
            << "common block holds motor ID " << entry.id;
    }
}

TEST(StringTableBlocks, EveryTextIsValidUtf8WithItsEscapesResolved) {
    for (const NamedBlock& block : AllBlocks()) {
        for (const StringEntry& entry : block.entries) {
            const QString text = QString::fromUtf8(entry.utf8);
            EXPECT_FALSE(text.contains(QChar::ReplacementCharacter))
                << block.name << " ID " << entry.id << " is not valid UTF-8";
            // A "\\n" written where "\n" was meant shows up as a backslash on screen.
            EXPECT_FALSE(text.contains(QLatin1Char('\\')))
                << block.name << " ID " << entry.id << ": " << S(text);
        }
    }
}

TEST(StringTableBlocks, LookupMergesTheBlocksAndLeavesGapsEmpty) {
    for (const NamedBlock& block : AllBlocks()) {
        for (const StringEntry& entry : block.entries) {
            ASSERT_TRUE(HasString(entry.id)) << entry.id;
            EXPECT_EQ(StringText(entry.id), QString::fromUtf8(entry.utf8)) << entry.id;
        }
    }
    for (int id : {0, 101, 449, 540, 548, 915, 990, 100000}) {
        EXPECT_FALSE(HasString(id)) << id;
        EXPECT_TRUE(StringText(id).isEmpty()) << id;
    }
}

// ---------------------------------------------------------------------------------------------
// Texts the program composes or shows as they stand

TEST(StringTableTexts, MessagesKeepLineBreaksAndChinese) {
    EXPECT_EQ(StringText(208), U("错误：未找到系统资料！！\n\n请重新安装Orvan Servo软件。"));
    EXPECT_EQ(StringText(167), U("请重新启动伺服驱动器！！\n(关闭电源后，再重新输入电源。)"));
    EXPECT_EQ(StringText(723).count(QLatin1Char('\n')), 2);
    EXPECT_EQ(StringText(737), U("请等待至数值稳定後，将 Servo Off 并按 \"下一步\" 继续。"));
    EXPECT_EQ(StringText(130), U("通讯错误！！"));
    EXPECT_EQ(StringText(132), U("通讯信息"));
    // Start-up needs a text of its own for a failed component library.
    EXPECT_FALSE(StringText(100).isEmpty());
    EXPECT_TRUE(StringText(129).startsWith(QLatin1String("https://")));
}

TEST(StringTableTexts, AlarmTextsByCode) {
    EXPECT_EQ(StringText(380), U("无异常警报发生。"));
    EXPECT_EQ(StringText(381), U("电源电压过低。"));
    EXPECT_EQ(StringText(382), U("电源电压过高(回生异常)。"));
    EXPECT_EQ(StringText(395), U("驱动器过热。"));
    QSet<QString> distinct;
    for (int id = 380; id <= 395; ++id) {
        EXPECT_TRUE(StringText(id).endsWith(U("。"))) << id;
        distinct.insert(StringText(id));
    }
    EXPECT_EQ(distinct.size(), 16);
}

TEST(StringTableTexts, StatusBarIndicatorsCarryTheirTrailingBlanks) {
    EXPECT_EQ(StringText(102), U("Servo 状态: "));
    EXPECT_EQ(StringText(103), U("版本: "));
    EXPECT_EQ(StringText(121), U("信息: "));
    EXPECT_EQ(StringText(124), U("电机型式:"));
    EXPECT_EQ(StringText(148), U(" 控制"));
    // The not-linked control pane is the dashes followed by the control suffix.
    EXPECT_EQ(StringText(122), U("---") + StringText(148));
}

TEST(StringTableTexts, DocumentTemplateAndFileFiltersAgree) {
    const QStringList parts = StringText(128).split(QLatin1Char('\n'));
    ASSERT_EQ(parts.size(), 7 + 1);
    EXPECT_EQ(parts[0], U("Orvan Servo v0.9.080331"));
    EXPECT_TRUE(parts[1].isEmpty());
    EXPECT_EQ(parts[2], U("无标题"));
    EXPECT_EQ(parts[3], U("Orvan Servo"));
    EXPECT_EQ(parts[4], U("Orvan Servo 文档 (*.nvp)"));
    EXPECT_EQ(parts[5], U(".nvp"));
    EXPECT_EQ(parts[6], U("OrvanServo 文件"));
    EXPECT_EQ(parts[7], U("Orvan Servo 文件"));

    // Save filter: one pair; open filter: the same pair and "all files". Both end with "||".
    const QStringList save = StringText(173).split(QLatin1Char('|'));
    const QStringList open = StringText(172).split(QLatin1Char('|'));
    EXPECT_EQ(save, (QStringList{parts[4], U("*.nvp"), {}, {}}));
    EXPECT_EQ(open, (QStringList{parts[4], U("*.nvp"), U("所有文档 (*.*)"), U("*.*"), {}, {}}));

    const QStringList traceSave = StringText(773).split(QLatin1Char('|'));
    const QStringList traceOpen = StringText(772).split(QLatin1Char('|'));
    EXPECT_EQ(traceSave, (QStringList{U("追踪波形资料文档 (*.trd)"), U("*.trd"), {}, {}}));
    EXPECT_EQ(traceOpen.mid(0, 2), traceSave.mid(0, 2));
    EXPECT_EQ(traceOpen.mid(2), open.mid(2));
}

TEST(StringTableTexts, ProgressTextsFormatTheParameterCode) {
    EXPECT_EQ(Format(136, 5), U("读取控制参数：Cn005"));
    EXPECT_EQ(Format(137, 8), U("读取转矩参数：Tn108"));
    EXPECT_EQ(Format(138, 18), U("读取速度参数：Sn218"));
    EXPECT_EQ(Format(139, 69), U("读取位置参数：Pn369"));
    EXPECT_EQ(Format(141, 1), U("写入控制参数：Cn001"));
    EXPECT_EQ(Format(144, 10), U("写入位置参数：Pn310"));
    EXPECT_EQ(Format(800, 3000), U("(默认值: 1000 rpm, 范围: 0~3000)"));
    EXPECT_EQ(StringText(216) + QLatin1String("Cn001"), U("读取参数中 ... Cn001"));
    EXPECT_EQ(StringText(214) + QLatin1String("Hn519"), U("写入参数中 ... Hn519"));
}

TEST(StringTableTexts, ListHeadersAndTraceQuantities) {
    const QStringList headers{U("代号"), U("参数名称"), U("设定值"),
                              U("单位"), U("设定范围"), U("默认值")};
    for (int i = 0; i < headers.size(); ++i) {
        EXPECT_EQ(StringText(250 + i), headers[i]) << 250 + i;
    }
    EXPECT_EQ(StringText(900), StringText(252));
    // Data 1 and data 2 offer the same eight quantities.
    for (int i = 0; i < 8; ++i) {
        EXPECT_FALSE(StringText(750 + i).isEmpty()) << 750 + i;
        EXPECT_EQ(StringText(760 + i), StringText(750 + i)) << 760 + i;
    }
    EXPECT_EQ(StringText(749), U("None"));
    const QStringList sizes{U("KVDM15"), U("KVDM20"), U("KVDM30"), U("KVDM50"), U("KVDM75")};
    for (int i = 0; i < sizes.size(); ++i) {
        EXPECT_EQ(StringText(910 + i), sizes[i]);
    }
}

// ---------------------------------------------------------------------------------------------
// Parameter and monitor names

TEST(StringTableNames, EveryParameterOfTheSixGroupsHasAName) {
    int named = 0;
    for (int g = 0; g < kParamGroupCount; ++g) {
        const ParamGroupInfo& info = GroupInfo(g);
        for (int n = 1; n <= info.count; ++n) {
            EXPECT_FALSE(ParamName(static_cast<ParamGroup>(g), n).isEmpty())
                << info.letter << " number " << n;
            ++named;
        }
    }
    EXPECT_EQ(named, kParameterCount);
    // The groups do not run into one another: nothing sits right after the torque, speed,
    // position and quick names.
    for (ParamGroup g :
         {ParamGroup::Torque, ParamGroup::Speed, ParamGroup::Position, ParamGroup::Quick}) {
        EXPECT_FALSE(HasString(GroupInfo(g).firstNameId + GroupInfo(g).count))
            << GroupInfo(g).letter;
    }
}

TEST(StringTableNames, NamesAreDistinctExceptTheQuickAliases) {
    std::map<QString, QString> seen; // name -> code
    for (ParamGroup g : {ParamGroup::Control, ParamGroup::Torque, ParamGroup::Speed,
                         ParamGroup::Position, ParamGroup::Contact}) {
        for (int n = 1; n <= GroupInfo(g).count; ++n) {
            const QString code = ParamCode{GroupInfo(g).letter, n}.text();
            const auto [it, inserted] = seen.emplace(ParamName(g, n), code);
            EXPECT_TRUE(inserted) << S(code) << " has the same name as " << S(it->second);
        }
    }
    // qn401..qn404 are Sn211..Sn214, qn405..qn407 are Pn310..Pn312.
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(ParamName(ParamGroup::Quick, n), ParamName(ParamGroup::Speed, 10 + n)) << n;
    }
    for (int n = 5; n <= 7; ++n) {
        EXPECT_EQ(ParamName(ParamGroup::Quick, n), ParamName(ParamGroup::Position, 5 + n)) << n;
    }
}

TEST(StringTableNames, KnownNamesSitAtTheirParameters) {
    EXPECT_EQ(ParamName(ParamGroup::Control, 1), U("控制模式选择"));
    EXPECT_EQ(ParamName(ParamGroup::Control, 30), U("系列化机种设定"));
    EXPECT_EQ(ParamName(ParamGroup::Control, 40), U("通讯回覆延迟时间"));
    EXPECT_EQ(ParamName(ParamGroup::Torque, 8), U("转矩到达判定值"));
    EXPECT_EQ(ParamName(ParamGroup::Speed, 18), U("模拟速度命令限制"));
    EXPECT_EQ(ParamName(ParamGroup::Position, 16), U("内部位置命令模式"));
    EXPECT_EQ(ParamName(ParamGroup::Position, 65), U("原点复归激活模式设定"));
    EXPECT_EQ(ParamName(ParamGroup::Position, 69), U("原点复归偏移脉冲数"));
    // Internal position k: revolutions, pulses and speed at Pn3(14+3k) .. Pn3(16+3k).
    for (int k = 1; k <= 16; ++k) {
        const QString head = U("内部位置命令%1-").arg(k);
        EXPECT_EQ(ParamName(ParamGroup::Position, 14 + 3 * k), head + U("圈数")) << k;
        EXPECT_EQ(ParamName(ParamGroup::Position, 15 + 3 * k), head + U("脉冲数")) << k;
        EXPECT_EQ(ParamName(ParamGroup::Position, 16 + 3 * k), head + U("移动速度")) << k;
    }
    for (int n = 1; n <= 13; ++n) {
        EXPECT_EQ(ParamName(ParamGroup::Contact, n), U("DI-%1接脚功能设定").arg(n));
    }
    for (int n = 14; n <= 17; ++n) {
        EXPECT_EQ(ParamName(ParamGroup::Contact, n), U("DO-%1接脚功能设定").arg(n - 13));
    }
    EXPECT_EQ(ParamName(ParamGroup::Contact, 18), U("数位输入接点控制方式选择"));
    EXPECT_EQ(ParamName(ParamGroup::Contact, 19), U("通讯控制数位输入接点状态"));
}

TEST(StringTableNames, MonitorValuesHaveNames) {
    for (int id = 301; id <= 319; ++id) {
        EXPECT_FALSE(StringText(id).isEmpty()) << id;
    }
    for (int id = 351; id <= 354; ++id) {
        EXPECT_FALSE(StringText(id).isEmpty()) << id;
    }
    for (int id = 361; id <= 370; ++id) {
        EXPECT_FALSE(StringText(id).isEmpty()) << id;
    }
    // The table's Un-15 says 脉波 where the monitor window's label says 脉冲.
    EXPECT_EQ(StringText(315), U("电机回授-旋转一圈内的脉波数(绝对值)"));
    EXPECT_EQ(StringText(317), U("脉冲命令-旋转一圈内的脉冲数(绝对值)"));
    EXPECT_EQ(StringText(353), U(" 输入接点信号状态"));
    EXPECT_EQ(StringText(355), U("转矩(T)"));
    EXPECT_EQ(StringText(358), U("位置(Pi)"));
}

// ---------------------------------------------------------------------------------------------
// Motor part numbers of the model list

TEST(StringTableMotorModels, BlocksAreContiguousWithTheirRowCounts) {
    const struct {
        int first;
        int rows;
    } blocks[] = {{916, 14}, {930, 17}, {947, 23}, {970, 14}, {984, 6}};
    int expectedNext = 916;
    for (const auto& block : blocks) {
        EXPECT_EQ(block.first, expectedNext);
        for (int id = block.first; id < block.first + block.rows; ++id) {
            EXPECT_FALSE(StringText(id).isEmpty()) << id;
        }
        expectedNext = block.first + block.rows;
    }
    EXPECT_FALSE(HasString(915));
    EXPECT_FALSE(HasString(expectedNext));
    EXPECT_EQ(MotorModelStrings().size(), 74u);
}

TEST(StringTableMotorModels, EachRowNamesItsOwnMotor) {
    // OSM<power in 10 W>-<speed in 100 rpm><encoder P/Q/S>-<drive digit><motor digit><A/B>
    static const QRegularExpression pattern(
        QStringLiteral("^OSM(\\d{3})-(\\d{2})([PQS])-([0-9A-F])([0-9A-F])([AB])$"));
    static const QRegularExpression motor(QStringLiteral("^([0-9.]+)(K?W) (\\d+)rpm (\\d+)ppr$"));
    const std::map<QString, int> encoder{{U("P"), 2000}, {U("Q"), 2500}, {U("S"), 8192}};

    QSet<QString> distinct;
    ASSERT_EQ(ModelList().size(), 74u);
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
    EXPECT_EQ(distinct.size(), 74);
}
