#include "params/BitFieldEditors.h"

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "drive/ParamCode.h"
#include "drive/ParameterCatalogue.h"

#include <limits>

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QStringList Items(const std::vector<const char*>& texts) {
    QStringList items;
    for (const char* text : texts) {
        items << U(text);
    }
    return items;
}

// ---- Digit editors ----

struct DigitText {
    const char* caption;
    std::vector<const char*> items;
};

FieldEditor DigitEditor(const char* code, const char* heading, const char* range,
                        std::initializer_list<DigitText> digits) {
    FieldEditor editor{U(code), U(heading), U(range), 0xFFFFu, {}};
    int digit = 0;
    for (const DigitText& d : digits) {
        FieldList list;
        list.shift = digit * 4;
        list.width = 4;
        list.name = editor.code + QStringLiteral(".%1").arg(digit);
        list.caption = U(d.caption);
        list.items = Items(d.items);
        list.rangeText = QStringLiteral("(0-%1)").arg(list.items.size() - 1, 0, 16).toUpper();
        editor.lists.push_back(std::move(list));
        ++digit;
    }
    return editor;
}

// Analog monitor outputs MON1 and MON2 offer the same signals.
const std::vector<const char*> kMonitorSignals = {
    "0: 速度回授检出", "1: 转矩指令", "2: 速度指令",           "3: 脉冲输入指令",
    "4: 位置偏差量",   "5: 电气角",   "6: 主回路(Vdc Bus)电压"};

std::vector<FieldEditor> BuildDigitEditors() {
    std::vector<FieldEditor> editors;
    editors.push_back(
        DigitEditor("Cn002", " 接点辅助功能及自动增益调整设定, EMC复归摸式选择", "(0000-0111)",
                    {{"接点辅助功能 - 输入接点SON功能选择",
                      {"0: 由输入接点SON控制伺服激活。",
                       "1: 不使用输入接点SON控制伺服激活，电源开启马上激活伺服。"}},
                     {"接点辅助功能 - 输入接点CCWL和CWL功能选择",
                      {"0: 由输入接点CCWL和CWL控制CCW和CW驱动禁止。",
                       "1: 不使用输入接点CCWL和CWL控制CCW和CW驱动禁止，忽略CCW和CW驱动禁止功能。"}},
                     {"Cn002.2  自动增益调整设定",
                      {"0: 不使用自动增益调整功能", "1: 持续使用自动增益调整功能"}},
                     {"Cn002.3  EMC复归摸式选择",
                      {"0: 于Servo off状态下，以ALRS信号清除AL-09显示。",
                       "1: 於Servo on或Servo off状态下，皆可自动复归解除AL-09显示。"}}}));
    editors.push_back(DigitEditor(
        "Cn006", " 类比监视输出选择", "(0000-0066)",
        {{"类比监视输出MON1", kMonitorSignals}, {"类比监视输出MON2", kMonitorSignals}}));
    editors.push_back(
        DigitEditor("Cn015", " PI/P和两段增益模式的切换判断种类选择", "(0000-0044)",
                    {{"PI/P模式的切换判断种类选择",
                      {"0: 判断转矩命令是否大于Cn016", "1: 判断速度命令是否大于Cn017",
                       "2: 判断加速度命令是否大于Cn018", "3: 判断位置误差量是否大于Cn019",
                       "4: 利用输入接点PCNT来切换"}},
                     {"两段增益模式的切换判断种类选择",
                      {"0: 判断转矩命令是否大于Cn021", "1: 判断速度命令是否大于Cn022",
                       "2: 判断加速度命令是否大于Cn023", "3: 判断位置误差量是否大于Cn024",
                       "4: 利用输入接点G-SEL来切换"}}}));
    editors.push_back(
        DigitEditor("Cn037", " 通讯传输率", "(0000-0035)",
                    {{"Modbus RS-485通讯传输率",
                      {"0: 4800 bps", "1: 9600 bps", "2: 19200 bps", "3: 38400 bps", "4: 57600 bps",
                       "5: 115200 bps"}},
                     {"PC软件RS-232通讯传输率",
                      {"0: 4800 bps", "1: 9600 bps", "2: 19200 bps", "3: 38400 bps"}}}));
    editors.push_back(DigitEditor(
        "Pn301", " 位置脉冲命令型式和逻辑选择, 驱动禁止命令接收选择", "(0000-0113)",
        {{"位置脉冲命令型式选择",
          {"0: 脉冲(Pulse)+符号(Sign)", "1: 正转(CCW)/反转(CW)脉冲", "2: AB相脉冲x2",
           "3: AB相脉冲x4"}},
         {"位置脉冲命令逻辑选择", {"0: 正逻辑", "1: 负逻辑"}},
         {"驱动禁止命令接收选择",
          {"0: 驱动禁止後，继续纪录位置命令输入量", "1: 驱动禁止後，忽略位置命令输入量"}}}));
    editors.push_back(DigitEditor("Pn316", " 内部位置命令模式与暂停(PHOLD)程序选择", "(0000-0011)",
                                  {{"内部位置命令模式", {"0: 绝对型定位", "1: 相对型定位"}},
                                   {"内部位置命令暂停(PHOLD)程序选择",
                                    {"0: 电机会继续完成PHOLD触发前之内部位置命令",
                                     "1: 电机会立即依当时所选择的内部位置命令运转"}}}));
    editors.push_back(DigitEditor(
        "Pn365", " 原点复归激活模式设定", "(0000-1225)",
        {{"原点复归激活后，原点寻找方向及选择原点参考点设定",
          {"0: 电机以第一段速度正转方向寻找原点，并以输入接点CCWL或CWL作为原点参考点。",
           "1: 电机以第一段速度反转方向寻找原点，并以输入接点CCWL或CWL作为原点参考点。",
           "2: 电机以第一段速度正转方向寻找原点，并以输入接点ORG(外部检测器输入点)作为原点参考点。",
           "3: 电机以第一段速度反转方向寻找原点，并以输入接点ORG(外部检测器输入点)作为原点参考点。",
           "4: 电机以第一段速度正转方向寻找原点，不需原点参考点直接寻找最近Z相脉冲原点。",
           "5: 电机以第一段速度反转方向寻找原点，不需原点参考点直接寻找最近Z相脉冲原点。"}},
         {"找到原点参考点后，寻找机械原点之移动方式设定",
          {"0: 电机以第二段速折返寻找最近的Z相脉冲做为机械原点。",
           "1: 电机以第二段速继续向前寻找最近的Z相脉冲做为机械原点。",
           "2: 当Pn365.0=2或3时，寻找到输入接点ORG的上缘做为机械原点；当Pn365.0=4或5时，"
           "寻找到Z相脉冲做为机械原点。"}},
         {"原点复归激活模式设定",
          {"0: 关闭原点复归功能。",
           "1: 电源开启後，只有第一次激活伺服(Servo ON)会自动执行原点复归功能。",
           "2: 由输入接点SHOME触发原点复归功能。"}},
         {"找到机械原点后之停止模式设定",
          {"0: 纪录此位置为机械原点，电机减速停止，电机停止後以第二段速折返移动到机械原点位置。",
           "1: 纪录此位置为机械原点，电机减速停止。"}}}));
    return editors;
}

// ---- Contact masks: bit i − 1 belongs to input contact DI-i ----

constexpr int kMaskContacts = 13;

FieldEditor MaskEditor(const char* code, const char* heading,
                       const std::vector<const char*>& items) {
    FieldEditor editor{
        U(code), U(heading), QStringLiteral("(0000-1FFF)"), (1u << kMaskContacts) - 1u, {}};
    for (int i = 1; i <= kMaskContacts; ++i) {
        FieldList list;
        list.shift = i - 1;
        list.width = 1;
        list.name = QStringLiteral("DI-%1").arg(i);
        list.items = Items(items);
        editor.lists.push_back(std::move(list));
    }
    return editor;
}

const std::vector<FieldEditor>& FieldEditors() {
    static const std::vector<FieldEditor> editors = [] {
        std::vector<FieldEditor> all = BuildDigitEditors();
        all.push_back(MaskEditor("Hn518", " 数位输入接点控制方式选择",
                                 {"0: 数位输入接点由外部端子控制", "1: 数位输入接点由通讯控制"}));
        all.push_back(MaskEditor("Hn519", " 通讯控制数位输入接点状态",
                                 {"0: 数位输入接点OFF", "1: 数位输入接点ON"}));
        return all;
    }();
    return editors;
}

// ---- Contact functions ----

constexpr int kInputContacts = 13;
constexpr int kOutputContacts = 4;
// The list lines are those the contact parameters' help is made of (StringId).
constexpr int kDiFunctionCount = 28;
constexpr int kDoFunctionCount = 8;
constexpr int kLevelCount = 2;

QStringList StringRun(int firstId, int count) {
    QStringList texts;
    for (int id = firstId; id < firstId + count; ++id) {
        texts << StringText(id);
    }
    return texts;
}

bool IsBetween(int value, int low, int high) {
    return value >= low && value <= high;
}

} // namespace

ValueEditorKind EditorKindOf(const QString& code) {
    const ParamCode pc = ParamCode::FromText(code);
    if (pc == ParamCode{'C', 26}) {
        return ValueEditorKind::Rigidity;
    }
    if (pc == ParamCode{'C', 30}) {
        return ValueEditorKind::Model;
    }
    if (pc.letter == 'H' && IsBetween(pc.number, 1, kInputContacts + kOutputContacts)) {
        return ValueEditorKind::ContactFunction;
    }
    if (const FieldEditor* editor = FieldEditorFor(code)) {
        return editor->lists.front().width == 1 ? ValueEditorKind::ContactMask
                                                : ValueEditorKind::Digits;
    }
    return ValueEditorKind::Generic;
}

QString EditorWindowTitle() {
    return U("编辑");
}

QString ValueFieldText(const QString& code, int32_t value) {
    return FormatValue(ParamCode::FromText(code), value, false);
}

const FieldEditor* FieldEditorFor(const QString& code) {
    const ParamCode wanted = ParamCode::FromText(code);
    for (const FieldEditor& editor : FieldEditors()) {
        if (ParamCode::FromText(editor.code) == wanted) {
            return &editor;
        }
    }
    return nullptr;
}

std::array<int, 4> HexDigits(int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    return {static_cast<int>(v & 0x000Fu), static_cast<int>((v & 0x00F0u) >> 4),
            static_cast<int>((v & 0x0F00u) >> 8), static_cast<int>((v & 0xF000u) >> 12)};
}

int FieldValue(const FieldList& list, int32_t value) {
    return static_cast<int>((static_cast<uint32_t>(value) & list.Mask()) >> list.shift);
}

int SelectedItem(const FieldList& list, int32_t value) {
    const int field = FieldValue(list, value);
    return field < list.items.size() ? field : -1;
}

std::vector<int> SelectedItems(const FieldEditor& editor, int32_t value) {
    std::vector<int> items;
    for (const FieldList& list : editor.lists) {
        items.push_back(SelectedItem(list, value));
    }
    return items;
}

int32_t ChooseItem(const FieldEditor& editor, int32_t value, int listIndex, int item) {
    if (listIndex < 0 || listIndex >= static_cast<int>(editor.lists.size())) {
        return value;
    }
    const FieldList& list = editor.lists[listIndex];
    if (item < 0 || item >= list.items.size()) {
        return value;
    }
    const uint32_t kept = static_cast<uint32_t>(value) & editor.keptMask & ~list.Mask();
    return static_cast<int32_t>(kept | (static_cast<uint32_t>(item) << list.shift));
}

ContactEditor ContactEditorFor(const QString& code) {
    const ParamCode pc = ParamCode::FromText(code);
    const int n = pc.number;
    ContactEditor editor;
    editor.code = code;
    if (IsBetween(n, 1, kInputContacts + kOutputContacts)) {
        editor.heading = ParameterName({'H', n});
    }
    editor.functionLabel = QStringLiteral("%1.1 && %1.0").arg(code);
    editor.levelLabel = QStringLiteral("%1.2").arg(code);
    editor.input = IsBetween(n, 1, kInputContacts);
    if (editor.input) {
        editor.rangeText = QStringLiteral("(0001-011C)");
        editor.functionRangeText = QStringLiteral("(01-1C)");
        editor.functionCaption = U("DI-%1接脚功能\n").arg(n);
        editor.levelCaption = U("DI-%1接脚功能动作电位\n").arg(n);
        editor.functionItems = StringRun(StringId::kDiFunctionLines, kDiFunctionCount);
        editor.levelItems = StringRun(StringId::kDiLevelLines, kLevelCount);
    } else {
        editor.rangeText = QStringLiteral("(0001-0108)");
        editor.functionRangeText = QStringLiteral("(01-08)");
        editor.functionCaption = U("DO-%1接脚功能\n").arg(n - kInputContacts);
        editor.levelCaption = U("DO-%1接脚功能动作电位\n").arg(n - kInputContacts);
        editor.functionItems = StringRun(StringId::kDoFunctionLines, kDoFunctionCount);
        editor.levelItems = StringRun(StringId::kDoLevelLines, kLevelCount);
    }
    return editor;
}

int ContactFunctionCode(int32_t value) {
    return static_cast<int>(static_cast<uint32_t>(value) & 0x00FFu);
}

int ContactLevel(int32_t value) {
    return static_cast<int>((static_cast<uint32_t>(value) & 0x0F00u) >> 8);
}

int ContactFunctionItem(const ContactEditor& editor, int32_t value) {
    const int item = ContactFunctionCode(value) - 1;
    return IsBetween(item, 0, static_cast<int>(editor.functionItems.size()) - 1) ? item : -1;
}

int ContactLevelItem(const ContactEditor& editor, int32_t value) {
    const int level = ContactLevel(value);
    return level < editor.levelItems.size() ? level : -1;
}

int32_t ChooseContactFunction(const ContactEditor& editor, int32_t value, int item) {
    if (!IsBetween(item, 0, static_cast<int>(editor.functionItems.size()) - 1)) {
        return value;
    }
    return ContactLevel(value) * 0x100 + (item + 1);
}

int32_t ChooseContactLevel(const ContactEditor& editor, int32_t value, int item) {
    if (!IsBetween(item, 0, static_cast<int>(editor.levelItems.size()) - 1)) {
        return value;
    }
    return item * 0x100 + ContactFunctionCode(value);
}

const RigidityEditor& Cn026Editor() {
    static const RigidityEditor editor{
        QStringLiteral("Cn026"),
        U(" 刚性设定"),
        QStringLiteral("(0001-000A)"),
        QStringLiteral("(1-9, A)"),
        U("使用自动增益调整功能时，应先依照应用场合所需增益设定刚性等级，"
          "各种应用场合所对应的刚性设定范围如下表所示。"),
        Items({"1", "2", "3", "4", "5", "6", "7", "8", "9", "A"}),
        Items({"位置回路增益", "速度回路增益", "速度回路积分时间常数"}),
        {{{15, 15, 300},
          {20, 20, 225},
          {30, 30, 150},
          {40, 40, 100},
          {60, 60, 75},
          {85, 85, 50},
          {120, 120, 40},
          {160, 160, 30},
          {200, 200, 25},
          {250, 250, 20}}}};
    return editor;
}

int32_t RigidityValueAtOpening(int32_t value) {
    return HexDigits(value)[0];
}

int RigidityButton(int32_t value) {
    const int level = static_cast<int>(value);
    return IsBetween(level, 1, kRigidityLevels) ? level - 1 : -1;
}

int32_t ChooseRigidityButton(int32_t value, int button) {
    return IsBetween(button, 0, kRigidityLevels - 1) ? button + 1 : value;
}

const ModelEditor& Cn030Editor() {
    static const ModelEditor editor{
        QStringLiteral("Cn030"), U(" 系列化机种设定"), QStringLiteral("(0000-1FFF)"),
        U("  在设定此参数之前，请先详细阅读伺服驱动器使用手册内容。"), U("设定型号(&S)...")};
    return editor;
}

int32_t AfterModelChoice(int32_t value, std::optional<int32_t> chosenCode) {
    return chosenCode.value_or(value);
}

bool ValueEditorHasModelButton(const QString& code) {
    return code == QLatin1String("Cn030");
}

std::optional<int32_t> ParseValueText(const QString& text) {
    bool ok = false;
    const qlonglong number = text.trimmed().toLongLong(&ok, 10);
    if (!ok || number < std::numeric_limits<int32_t>::min() ||
        number > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(number);
}

bool ValueTextAcceptable(const QString& text, int32_t min, int32_t max) {
    if (text.size() > kValueEditMaxLength) {
        return false;
    }
    if (text.isEmpty() || (text == QLatin1String("-") && min < 0)) {
        return true;
    }
    const std::optional<int32_t> number = ParseValueText(text);
    return number && *number >= min && *number <= max;
}

int32_t SpinValue(int32_t current, int steps, int32_t min, int32_t max) {
    const int64_t moved = static_cast<int64_t>(current) + steps;
    if (moved > max) {
        return max;
    }
    if (moved < min) {
        return min;
    }
    return static_cast<int32_t>(moved);
}

int32_t LimitToRange(int32_t value, int32_t min, int32_t max) {
    if (value > max) {
        return max;
    }
    if (value < min) {
        return min;
    }
    return value;
}
