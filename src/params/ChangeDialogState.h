#pragma once

#include "params/CustomTable.h"
#include "params/DisplaySettings.h"

#include <QList>

#include <array>
#include <cstdint>

// The display-settings dialog ("显示设定") without its window: the dialog's copies of the
// settings, the rules by which its controls follow them and change them, and the rules applied on
// OK. The window only shows ChangeDialogControls and passes the clicks on.
//
// Group flags: 0 "所有的参数", 1..6 Cn, Tn, Sn, Pn, qn, Hn. Control-mode flags: 0 torque,
// 1 speed, 2 position by internal commands, 3 position by external pulses.
struct ChangeDialogState {
    int32_t displayMode = 0; // 0 by group, 1 by control mode, 2 custom list
    std::array<bool, 7> groupFlags{true, true, true, true, true, true, true};
    std::array<bool, 4> controlModeFlags{true, true, true, true};
    QList<CustomEntry> custom; // the dialog's copy of the custom list
};

// What the controls show: for each box whether it is checked and enabled.
struct ChangeDialogControls {
    std::array<bool, 3> modeRadio{};    // "选择参数", "控制模式", "自定义参数"
    std::array<bool, 7> groupChecked{}; // "所有的参数", then the six groups
    std::array<bool, 7> groupEnabled{};
    std::array<bool, 4> controlModeChecked{};
    std::array<bool, 4> controlModeEnabled{};
    bool addRemoveEnabled = false; // "加入/移除(&A)..."
    bool operator==(const ChangeDialogControls&) const = default;
};

// The dialog as it opens on the editor's settings and the application's custom list.
ChangeDialogState OpenChangeDialog(const DisplaySettings& settings, const CustomTable& custom);

// Brings the flags in line with the display mode (in mode 0 a set "所有的参数" sets the six
// group flags; in modes 1 and 2 six set group flags set "所有的参数") and returns what the
// controls show. Every click below ends with this.
ChangeDialogControls UpdateControls(ChangeDialogState& state);

ChangeDialogControls ClickDisplayMode(ChangeDialogState& state, int mode);
ChangeDialogControls ClickAllParameters(ChangeDialogState& state);
// `group` 1..6; six set flags then set "所有的参数".
ChangeDialogControls ClickGroup(ChangeDialogState& state, int group);
// `mode` 0..3.
ChangeDialogControls ClickControlMode(ChangeDialogState& state, int mode);
// "加入/移除(&A)..." confirmed: the add/remove dialog's list replaces the copy.
void ReplaceCustomList(ChangeDialogState& state, const QList<CustomEntry>& entries);

// "确定": in mode 0 six set group flags set "所有的参数" and no set flag sets all seven; in mode 1
// no set control-mode flag sets all four.
void ConfirmChangeDialog(ChangeDialogState& state);

// The editor after OK: takes the settings back and recomputes the control-mode mask; in mode 2
// the dialog's custom list becomes the application's.
void ApplyChangeDialog(const ChangeDialogState& state, DisplaySettings& settings,
                       CustomTable& custom);
