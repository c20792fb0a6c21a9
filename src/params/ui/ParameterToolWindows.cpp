// The parameter windows as tool windows of the main view: the four group windows, the custom
// table and the parameter editor, with what each hears from the view.

#include "base/CommandIds.h"
#include "frame/ToolWindows.h"
#include "params/CustomTable.h"
#include "params/ui/DefParaDialog.h"
#include "params/ui/ParaEditDialog.h"
#include "params/ui/ParaGroupDialog.h"
#include "params/ui/RequestOutcome.h"

namespace {

// The drive buttons of the group windows and the custom table follow the link.
void SyncTableWithDrive(QWidget* window) {
    static_cast<CParameterTableWindow*>(window)->SyncWithDrive();
}

template <typename Window> ToolWindowKind GroupWindow() {
    ToolWindowKind kind{[](ToolWindowContext& c, QWidget* owner) -> QWidget* {
                            return new Window(c.document, c.profile, c.requests, c.messenger,
                                              owner);
                        },
                        PresentAs<CParaGroupDialog>};
    kind.linkChanged = SyncTableWithDrive;
    kind.requestDone = [](QWidget* window, const ParameterAction& action,
                          const ParameterOutcome& outcome) {
        ShowRequestOutcome(action, outcome, static_cast<CParaGroupDialog*>(window), nullptr);
    };
    return kind;
}

ToolWindowKind CustomTableWindow() {
    ToolWindowKind kind{[](ToolWindowContext& c, QWidget* owner) -> QWidget* {
                            return new CDefParaDialog(c.customTable, c.document, c.profile,
                                                      c.requests, c.messenger, owner);
                        },
                        PresentAs<CDefParaDialog>};
    kind.linkChanged = SyncTableWithDrive;
    kind.requestDone = [](QWidget* window, const ParameterAction& action,
                          const ParameterOutcome& outcome) {
        ShowRequestOutcome(action, outcome, nullptr, static_cast<CDefParaDialog*>(window));
    };
    return kind;
}

// The editor keeps its ticks while hidden: closing only hides it. A read may have changed the
// document's values under it while it is shown.
ToolWindowKind EditorWindow() {
    ToolWindowKind kind{[](ToolWindowContext& c, QWidget* owner) -> QWidget* {
                            return new CParaEditDialog(c.display, c.customTable, c.document,
                                                       c.profile, c.editorHost, c.messenger,
                                                       c.tickers, owner);
                        },
                        PresentAs<CParaEditDialog>, true};
    kind.operationsEnded = [](QWidget* window) {
        if (window->isVisible())
            static_cast<CParaEditDialog*>(window)->RefreshValues();
    };
    return kind;
}

const ToolWindowRegistration kControl(Command::ControlParameters, GroupWindow<CCtrlParaDialog>());
const ToolWindowRegistration kTorque(Command::TorqueParameters, GroupWindow<CTorqueParaDialog>());
const ToolWindowRegistration kSpeed(Command::SpeedParameters, GroupWindow<CSpeedParaDialog>());
const ToolWindowRegistration kPosition(Command::PositionParameters,
                                       GroupWindow<CPositionParaDialog>());
const ToolWindowRegistration kCustomTable(Command::CustomParameters, CustomTableWindow());
const ToolWindowRegistration kEditor(Command::ParameterEditor, EditorWindow());

} // namespace
