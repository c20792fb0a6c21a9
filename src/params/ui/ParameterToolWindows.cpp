// The parameter windows as tool windows of the main view: the four group windows, the custom
// table and the parameter editor.

#include "base/CommandIds.h"
#include "params/CustomTable.h"
#include "params/ui/DefParaDialog.h"
#include "params/ui/ParaEditDialog.h"
#include "params/ui/ParaGroupDialog.h"
#include "params/ui/ToolWindows.h"

namespace {

template <typename Window> ToolWindowKind GroupWindow() {
    return {[](ToolWindowContext& c, QWidget* owner) -> QWidget* {
                return new Window(c.document, c.profile, c.requests, c.messenger, owner);
            },
            PresentAs<CParaGroupDialog>};
}

const ToolWindowRegistration kControl(Command::ControlParameters, GroupWindow<CCtrlParaDialog>());
const ToolWindowRegistration kTorque(Command::TorqueParameters, GroupWindow<CTorqueParaDialog>());
const ToolWindowRegistration kSpeed(Command::SpeedParameters, GroupWindow<CSpeedParaDialog>());
const ToolWindowRegistration kPosition(Command::PositionParameters,
                                       GroupWindow<CPositionParaDialog>());

const ToolWindowRegistration kCustomTable(Command::CustomParameters,
                                          {[](ToolWindowContext& c, QWidget* owner) -> QWidget* {
                                               return new CDefParaDialog(c.customTable, c.document,
                                                                         c.profile, c.requests,
                                                                         c.messenger, owner);
                                           },
                                           PresentAs<CDefParaDialog>});

// The editor keeps its ticks while hidden: closing only hides it.
const ToolWindowRegistration kEditor(Command::ParameterEditor,
                                     {[](ToolWindowContext& c, QWidget* owner) -> QWidget* {
                                          return new CParaEditDialog(
                                              c.display, c.customTable, c.document, c.profile,
                                              c.editorHost, c.messenger, c.tickers, owner);
                                      },
                                      PresentAs<CParaEditDialog>, true});

} // namespace
