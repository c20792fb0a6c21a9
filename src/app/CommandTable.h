#pragma once

#include "base/CommandIds.h"

#include <QString>

#include <cstdint>
#include <set>
#include <vector>

// The menus of the menu bar, in their order.
enum class Menu { File, Parameters, Monitor, Tools, Link, View, Help };
QString MenuTitle(Menu menu);

enum class Shortcut { None, New, Open, Save, Print, F1 };
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
    bool recentFiles = false;         // stands for the recent-file entries, FileMru1 on
    bool onlyWhileSimulating = false; // shown only while the program runs a simulated drive
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
// Whether a command may open its window now: the link is up if it needs one, and no blocking or
// refusing window is open.
bool MayOpenWindow(int command, const CommandState& state);
// The first open window that refuses the command (its menu item stays enabled), 0 when none does.
int RefusingWindow(int command, const CommandState& state);
// The status bar's note when a command did nothing because the window `windowTitle` is open.
QString RefusedCommandText(const QString& windowTitle);
