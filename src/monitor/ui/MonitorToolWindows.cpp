// The monitor windows as tool windows of the main view. The status display and the diagnostics
// close when the connect routine loses the drive; the alarm history stays.

#include "base/CommandIds.h"
#include "monitor/MonitorPoll.h"
#include "monitor/ui/MonAnDialog.h"
#include "monitor/ui/MonDnDialog.h"
#include "monitor/ui/MonUnDialog.h"
#include "params/ui/ToolWindows.h"

namespace {

const ToolWindowRegistration kStatus(Command::StatusMonitor,
                                     {[](ToolWindowContext& c, QWidget* owner) -> QWidget* {
                                          return new CMonUnDialog(c.monitors.Status(), owner);
                                      },
                                      PresentAs<CMonUnDialog>, false, true});

const ToolWindowRegistration kDiagnostics(Command::Diagnostics,
                                          {[](ToolWindowContext& c, QWidget* owner) -> QWidget* {
                                               return new CMonDnDialog(c.monitors.Diagnostics(),
                                                                       owner);
                                           },
                                           PresentAs<CMonDnDialog>, false, true});

const ToolWindowRegistration kAlarms(Command::AlarmHistory,
                                     {[](ToolWindowContext& c, QWidget* owner) -> QWidget* {
                                          return new CMonAnDialog(c.monitors, owner);
                                      },
                                      PresentAs<CMonAnDialog>});

} // namespace
