#pragma once

// The main view's parameter windows while they exist (the editor also while hidden); null
// otherwise.

#include "app/ui/NolvaServoView.h"
#include "base/CommandIds.h"
#include "params/ui/DefParaDialog.h"
#include "params/ui/ParaEditDialog.h"
#include "params/ui/ParaGroupDialog.h"

inline CParaGroupDialog* GroupWindow(const CNolvaServoView& view, ParamGroup group) {
    for (int command : {Command::ControlParameters, Command::TorqueParameters,
                        Command::SpeedParameters, Command::PositionParameters}) {
        auto* window = qobject_cast<CParaGroupDialog*>(view.ToolWindow(command));
        if (window != nullptr && window->Group() == group)
            return window;
    }
    return nullptr;
}

inline CDefParaDialog* CustomTableWindow(const CNolvaServoView& view) {
    return qobject_cast<CDefParaDialog*>(view.ToolWindow(Command::CustomParameters));
}

inline CParaEditDialog* ParameterEditorWindow(const CNolvaServoView& view) {
    return qobject_cast<CParaEditDialog*>(view.ToolWindow(Command::ParameterEditor));
}
