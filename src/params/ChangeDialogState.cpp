#include "params/ChangeDialogState.h"

#include "params/ParameterEditorRows.h"

#include <algorithm>

namespace {

constexpr int kAllGroups = 0;

bool SixGroupsOn(const ChangeDialogState& state) {
    return std::all_of(state.groupFlags.begin() + 1, state.groupFlags.end(),
                       [](bool on) { return on; });
}

bool NoGroupOn(const ChangeDialogState& state) {
    return std::none_of(state.groupFlags.begin(), state.groupFlags.end(),
                        [](bool on) { return on; });
}

} // namespace

ChangeDialogState OpenChangeDialog(const DisplaySettings& settings, const CustomTable& custom) {
    ChangeDialogState state;
    state.displayMode = settings.DisplayMode;
    state.groupFlags = settings.groupFlags;
    state.controlModeFlags = settings.controlModeFlags;
    state.custom = custom.Entries;
    return state;
}

ChangeDialogControls UpdateControls(ChangeDialogState& state) {
    ChangeDialogControls controls;
    if (state.displayMode >= 0 && state.displayMode < 3) {
        controls.modeRadio[state.displayMode] = true;
    }
    switch (state.displayMode) {
    case 0:
        controls.groupEnabled[kAllGroups] = true;
        if (state.groupFlags[kAllGroups]) {
            state.groupFlags.fill(true);
            controls.groupChecked.fill(true);
            // the six group boxes stay disabled
        } else {
            for (int g = 1; g < 7; ++g) {
                controls.groupEnabled[g] = true;
                controls.groupChecked[g] = state.groupFlags[g];
            }
        }
        break;
    case 1:
        controls.controlModeEnabled.fill(true);
        controls.controlModeChecked = state.controlModeFlags;
        if (SixGroupsOn(state)) {
            state.groupFlags[kAllGroups] = true;
        }
        break;
    case 2:
        controls.addRemoveEnabled = true;
        if (SixGroupsOn(state)) {
            state.groupFlags[kAllGroups] = true;
        }
        break;
    default: break;
    }
    return controls;
}

ChangeDialogControls ClickDisplayMode(ChangeDialogState& state, int mode) {
    state.displayMode = mode;
    return UpdateControls(state);
}

ChangeDialogControls ClickAllParameters(ChangeDialogState& state) {
    state.groupFlags[kAllGroups] = !state.groupFlags[kAllGroups];
    return UpdateControls(state);
}

ChangeDialogControls ClickGroup(ChangeDialogState& state, int group) {
    if (group >= 1 && group < 7) {
        state.groupFlags[group] = !state.groupFlags[group];
        if (SixGroupsOn(state)) {
            state.groupFlags[kAllGroups] = true;
        }
    }
    return UpdateControls(state);
}

ChangeDialogControls ClickControlMode(ChangeDialogState& state, int mode) {
    if (mode >= 0 && mode < 4) {
        state.controlModeFlags[mode] = !state.controlModeFlags[mode];
    }
    return UpdateControls(state);
}

void ReplaceCustomList(ChangeDialogState& state, const QList<CustomEntry>& entries) {
    state.custom = entries;
}

void ConfirmChangeDialog(ChangeDialogState& state) {
    if (state.displayMode == 0) {
        if (SixGroupsOn(state)) {
            state.groupFlags[kAllGroups] = true;
        }
        if (NoGroupOn(state)) {
            state.groupFlags.fill(true);
        }
    } else if (state.displayMode == 1) {
        const bool none = std::none_of(state.controlModeFlags.begin(), state.controlModeFlags.end(),
                                       [](bool on) { return on; });
        if (none) {
            state.controlModeFlags.fill(true);
        }
    }
}

void ApplyChangeDialog(const ChangeDialogState& state, DisplaySettings& settings,
                       CustomTable& custom) {
    settings.DisplayMode = state.displayMode;
    settings.groupFlags = state.groupFlags;
    settings.controlModeFlags = state.controlModeFlags;
    settings.controlModeMask = ControlModeMaskOf(state.controlModeFlags);
    if (state.displayMode == 2) {
        custom.Entries = state.custom;
    }
}
