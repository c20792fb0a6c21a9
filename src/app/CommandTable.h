#pragma once

#include <QString>

#include <cstdint>
#include <set>
#include <vector>

// Command identifiers of the menus and the toolbar.
namespace Command {
inline constexpr int FileNew = 57600;
inline constexpr int FileOpen = 57601;
inline constexpr int FileSave = 57603;
inline constexpr int FileSaveAs = 57604;
inline constexpr int FileMru1 = 57616; // 57616..57619: the recent files
inline constexpr int AppExit = 57665;
inline constexpr int AppAbout = 57664;
inline constexpr int HelpContents = 178;
inline constexpr int CopyToDrive = 179;
inline constexpr int CopyToComputer = 180;
inline constexpr int StatusMonitor = 155;
inline constexpr int Diagnostics = 156;
inline constexpr int AlarmHistory = 157;
inline constexpr int Trace = 181;
inline constexpr int Jog = 158;
inline constexpr int AutoTuning = 159;
inline constexpr int AutoOffset = 160;
inline constexpr int ParameterEditor = 32776;
inline constexpr int OnlineEditing = 32777;
inline constexpr int ContactPlanning = 32788;
inline constexpr int PositionPlanning = 32799;
inline constexpr int MachineAnalysis = 32801;
inline constexpr int Connect = 32774;
inline constexpr int Disconnect = 32775;
inline constexpr int PortSettings = 161;
inline constexpr int ControlParameters = 151;
inline constexpr int TorqueParameters = 152;
inline constexpr int SpeedParameters = 153;
inline constexpr int PositionParameters = 154;
inline constexpr int CustomParameters = 188;
} // namespace Command

// The menus of the menu bar, in their order.
enum class Menu { File, Parameters, Monitor, Tools, Link, View, Help };
QString MenuTitle(Menu menu);

enum class Shortcut { None, New, Open, Save, F1 };
// A toolbar button shows the platform's icon for it, or else the row's glyph.
enum class StandardIcon { None, File, Open, Save };

// What a command needs of the link besides its blocking windows.
enum class Needs {
    Nothing,
    Link,          // a linked drive
    LinkNotWanted, // "连线": enabled while the link is not wanted, checked while it is
    LinkWanted,    // "断开": enabled while the link is wanted, checked while it is not
};

// One menu command. A window is named by the command that opens it; a blocking window that is
// open keeps the command disabled, a refusing one leaves the item enabled and the command does
// nothing. The status-bar prompt and tool tip come from the string of the command's own id
// ("prompt\ntip") when the string table holds one.
struct CommandRow {
    int id = 0;
    Menu menu = Menu::File;
    const char* text = ""; // with its & accelerator
    int textString = 0;    // the text comes from this string instead when not 0
    bool separatorBefore = false;
    Shortcut shortcut = Shortcut::None;
    int toolGroup = 0; // toolbar group 1..5, separated from each other; 0: no button
    StandardIcon icon = StandardIcon::None;
    const char* glyph = "";
    uint32_t glyphColour = 0; // 0xRRGGBB
    Needs needs = Needs::Nothing;
    std::vector<int> blockedBy{};
    std::vector<int> refusedBy{};
    bool checkable = false;
    bool recentFiles = false; // stands for the recent-file entries, FileMru1 on
};

// Every command in menu order.
const std::vector<CommandRow>& CommandRows();
// The command's row; null for a command that has none (the recent-file entries after the first).
const CommandRow* FindCommand(int id);
QString CommandText(const CommandRow& row);

// What enabling and checking depend on: the link and the open windows, by command id.
struct CommandState {
    bool linkUp = false;
    bool linkRequested = false;
    std::set<int> openWindows;
};

// Whether a command is enabled; commands without a row are always enabled.
bool IsCommandEnabled(int command, const CommandState& state);
// Whether a command's menu item carries a check mark.
bool IsCommandChecked(int command, const CommandState& state);
// Whether a command may open its window now: no blocking or refusing window is open.
bool MayOpenWindow(int command, const CommandState& state);
