#include "app/CommandTable.h"

#include "base/StringTable.h"

#include <algorithm>

namespace {

constexpr uint32_t kBlue = 0x1F4E8C;
constexpr uint32_t kGreen = 0x2E7D32;
constexpr uint32_t kRed = 0xB71C1C;
constexpr uint32_t kTeal = 0x00695C;
constexpr uint32_t kPurple = 0x5E35B1;

std::vector<int> Join(std::vector<int> a, const std::vector<int>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<CommandRow> MakeRows() {
    using namespace Command;
    const std::vector<int> monitors{StatusMonitor, Diagnostics, AlarmHistory};
    const std::vector<int> groups{ControlParameters, TorqueParameters, SpeedParameters,
                                  PositionParameters};
    // JOG and the monitor windows keep every parameter window out.
    const std::vector<int> jogOrMonitor = Join({Jog}, monitors);
    const std::vector<int> groupRefusers = Join({CustomParameters}, jogOrMonitor);
    // The parameter windows keep the monitors out in turn.
    const std::vector<int> parameterWindows = Join({CustomParameters}, groups);
    // clang-format off
    auto group = [&](int id, const char* text, const char* glyph, bool separator = false) {
        return CommandRow{.id = id, .menu = Menu::Parameters, .text = text,
                          .separatorBefore = separator, .toolGroup = 3, .glyph = glyph,
                          .glyphColour = kBlue, .refusedBy = groupRefusers};
    };
    return {
        {.id = FileNew, .text = "新建(&N)", .shortcut = Shortcut::New, .toolGroup = 1,
         .icon = StandardIcon::File, .blockedBy = Join({CustomParameters}, jogOrMonitor)},
        {.id = FileOpen, .text = "打开(&O)...", .shortcut = Shortcut::Open, .toolGroup = 1,
         .icon = StandardIcon::Open, .blockedBy = Join({CustomParameters}, jogOrMonitor)},
        {.id = FileSave, .text = "保存(&S)", .shortcut = Shortcut::Save, .toolGroup = 1,
         .icon = StandardIcon::Save},
        {.id = FileSaveAs, .text = "另存为(&A)..."},
        {.id = CopyToDrive, .text = "复制至驱动器(&D)...", .separatorBefore = true,
         .needs = Needs::Link},
        {.id = CopyToComputer, .text = "复制至计算机(&C)...", .needs = Needs::Link},
        {.id = FilePrint, .text = "打印(&P)...", .separatorBefore = true,
         .shortcut = Shortcut::Print, .toolGroup = 1, .glyph = "印", .glyphColour = kBlue},
        {.id = FilePrintPreview, .text = "打印预览(&V)"},
        {.id = FilePrintSetup, .text = "打印设置(&R)..."},
        {.id = FileExportPdf, .text = "导出 PDF(&F)..."},
        {.id = FileMru1, .text = "最近的文件", .separatorBefore = true, .recentFiles = true},
        {.id = AppExit, .text = "退出(&X)", .separatorBefore = true},

        {.id = ParameterEditor, .menu = Menu::Parameters, .text = "参数设定(&E)...",
         .toolGroup = 3, .glyph = "参", .glyphColour = kBlue, .blockedBy = jogOrMonitor,
         .refusedBy = {CustomParameters}},
        {.id = OnlineEditing, .menu = Menu::Parameters, .text = "在线参数设定(&O)...",
         .toolGroup = 3, .glyph = "线", .glyphColour = kBlue, .needs = Needs::Link,
         .blockedBy = Join({ParameterEditor}, jogOrMonitor), .refusedBy = parameterWindows},
        group(ControlParameters, "控制参数(&C)...", "控", true),
        group(TorqueParameters, "转矩参数(&T)...", "转"),
        group(SpeedParameters, "速度参数(&S)...", "速"),
        group(PositionParameters, "位置参数(&P)...", "位"),
        {.id = CustomParameters, .menu = Menu::Parameters, .text = "自定义参数(&U)...",
         .separatorBefore = true, .toolGroup = 3, .glyph = "自", .glyphColour = kBlue,
         .refusedBy = Join(groups, jogOrMonitor)},

        {.id = StatusMonitor, .menu = Menu::Monitor, .text = "状态表示参数(&S)...", .toolGroup = 4,
         .glyph = "状", .glyphColour = kTeal, .needs = Needs::Link,
         .blockedBy = {Jog, ParameterEditor}, .refusedBy = parameterWindows},
        {.id = Diagnostics, .menu = Menu::Monitor, .text = "诊断参数(&D)...", .toolGroup = 4,
         .glyph = "诊", .glyphColour = kTeal, .needs = Needs::Link,
         .blockedBy = {Jog, ParameterEditor}, .refusedBy = parameterWindows},
        {.id = AlarmHistory, .menu = Menu::Monitor, .text = "异常警报履历参数(&A)...",
         .needs = Needs::Link, .blockedBy = {Jog, ParameterEditor}, .refusedBy = parameterWindows},
        {.id = Trace, .menu = Menu::Monitor, .text = "追踪波形(&T)...", .separatorBefore = true,
         .toolGroup = 4, .glyph = "波", .glyphColour = kTeal,
         .blockedBy = Join({ParameterEditor}, jogOrMonitor)},

        {.id = Jog, .menu = Menu::Tools, .text = "点动模式(&J)...", .toolGroup = 5, .glyph = "点",
         .glyphColour = kPurple, .needs = Needs::Link,
         .blockedBy = Join({ParameterEditor}, monitors), .refusedBy = parameterWindows},
        {.id = AutoTuning, .menu = Menu::Tools, .text = "自动增益调谐(A)...", .needs = Needs::Link,
         .blockedBy = Join({ParameterEditor}, monitors), .refusedBy = Join({Jog}, parameterWindows)},
        {.id = AutoOffset, .menu = Menu::Tools, .text = "自动偏移调整(&O)...", .needs = Needs::Link,
         .blockedBy = Join({ParameterEditor}, monitors), .refusedBy = Join({Jog}, parameterWindows)},
        {.id = ContactPlanning, .menu = Menu::Tools, .text = "输入/输出接点规划参数(&I)...",
         .separatorBefore = true, .needs = Needs::Link, .blockedBy = {Jog, ParameterEditor}},
        {.id = PositionPlanning, .menu = Menu::Tools, .text = "内部位置命令路径规划(&P)...",
         .needs = Needs::Link, .blockedBy = {Jog, ParameterEditor}},
        {.id = MachineAnalysis, .menu = Menu::Tools, .text = "机械特性分析(&M)...",
         .separatorBefore = true, .toolGroup = 5, .glyph = "析", .glyphColour = kPurple,
         .needs = Needs::Link, .blockedBy = Join({ParameterEditor}, monitors)},

        {.id = PortSettings, .menu = Menu::Link, .text = "连接端口设定(&P)...", .toolGroup = 2,
         .glyph = "端", .glyphColour = kBlue},
        {.id = Connect, .menu = Menu::Link, .textString = 810, .separatorBefore = true,
         .toolGroup = 2, .glyph = "连", .glyphColour = kGreen, .needs = Needs::LinkNotWanted,
         .checkable = true},
        {.id = Disconnect, .menu = Menu::Link, .textString = 811, .toolGroup = 2, .glyph = "断",
         .glyphColour = kRed, .needs = Needs::LinkWanted, .checkable = true},

        {.id = SimulatedDrive, .menu = Menu::View, .text = "模拟驱动器(&D)...",
         .onlyWhileSimulating = true},

        {.id = HelpContents, .menu = Menu::Help, .text = "内容(&C)", .shortcut = Shortcut::F1},
        {.id = AppAbout, .menu = Menu::Help, .text = "关于 Orvan Servo(&A)...",
         .separatorBefore = true, .toolGroup = 5, .glyph = "?", .glyphColour = kBlue},
    };
    // clang-format on
}

bool AnyOpen(const std::vector<int>& windows, const CommandState& state) {
    return std::any_of(windows.begin(), windows.end(),
                       [&state](int window) { return state.openWindows.count(window) != 0; });
}

// Whether the link is as the command needs it.
bool LinkAsNeeded(Needs needs, const CommandState& state) {
    switch (needs) {
    case Needs::Link: return state.linkUp;
    case Needs::LinkNotWanted: return !state.linkRequested;
    case Needs::LinkWanted: return state.linkRequested;
    case Needs::Nothing: break;
    }
    return true;
}

} // namespace

QString MenuTitle(Menu menu) {
    switch (menu) {
    case Menu::File: return QStringLiteral("文件(&F)");
    case Menu::Parameters: return QStringLiteral("参数(&P)");
    case Menu::Monitor: return QStringLiteral("监视(&M)");
    case Menu::Tools: return QStringLiteral("工具(&T)");
    case Menu::Link: return QStringLiteral("通信(&C)");
    case Menu::View: return QStringLiteral("视图(&V)");
    case Menu::Help: return QStringLiteral("帮助(&H)");
    }
    return {};
}

const std::vector<CommandRow>& CommandRows() {
    static const std::vector<CommandRow> rows = MakeRows();
    return rows;
}

const CommandRow* FindCommand(int id) {
    const std::vector<CommandRow>& rows = CommandRows();
    const auto row =
        std::find_if(rows.begin(), rows.end(), [id](const CommandRow& r) { return r.id == id; });
    return row == rows.end() ? nullptr : &*row;
}

QString CommandText(const CommandRow& row) {
    return row.textString != 0 ? StringText(row.textString) : QString::fromUtf8(row.text);
}

bool IsCommandEnabled(int command, const CommandState& state) {
    const CommandRow* row = FindCommand(command);
    return row == nullptr || (LinkAsNeeded(row->needs, state) && !AnyOpen(row->blockedBy, state));
}

bool IsCommandChecked(int command, const CommandState& state) {
    // A link command is checked while the link is as it makes it, that is while it is disabled.
    const CommandRow* row = FindCommand(command);
    return row != nullptr && row->checkable && !LinkAsNeeded(row->needs, state);
}

bool MayOpenWindow(int command, const CommandState& state) {
    const CommandRow* row = FindCommand(command);
    // A window that needs the drive does not open without it, whatever the menu shows.
    return row == nullptr || ((row->needs != Needs::Link || state.linkUp) &&
                              !AnyOpen(row->blockedBy, state) && !AnyOpen(row->refusedBy, state));
}

int RefusingWindow(int command, const CommandState& state) {
    const CommandRow* row = FindCommand(command);
    if (row == nullptr)
        return 0;
    const auto open = std::find_if(row->refusedBy.begin(), row->refusedBy.end(),
                                   [&state](int w) { return state.openWindows.count(w) != 0; });
    return open == row->refusedBy.end() ? 0 : *open;
}

QString RefusedCommandText(const QString& windowTitle) {
    return QStringLiteral("“%1”已打开，此命令暂不可用：请先关闭该窗口。").arg(windowTitle);
}
