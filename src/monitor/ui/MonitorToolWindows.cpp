// The monitor windows as tool windows of the main view. The status display and the diagnostics
// close when the connect routine loses the drive; the alarm history stays.

#include "base/CommandIds.h"
#include "frame/ToolWindows.h"
#include "monitor/MonitorPoll.h"
#include "monitor/ui/MonAnDialog.h"
#include "monitor/ui/MonDnDialog.h"
#include "monitor/ui/MonUnDialog.h"

namespace {

// The view's monitor poll: the monitor windows show what it reads.
MonitorPoll& Monitors(ToolWindowContext& c) {
    return c.services.Get<MonitorPoll>();
}

const ToolWindowRegistration kStatus(Command::StatusMonitor,
                                     {[](ToolWindowContext& c, QWidget* owner) -> QWidget* {
                                          return new CMonUnDialog(Monitors(c).Status(), owner);
                                      },
                                      PresentAs<CMonUnDialog>, false, true});

const ToolWindowRegistration kDiagnostics(Command::Diagnostics,
                                          {[](ToolWindowContext& c, QWidget* owner) -> QWidget* {
                                               return new CMonDnDialog(Monitors(c).Diagnostics(),
                                                                       owner);
                                           },
                                           PresentAs<CMonDnDialog>, false, true});

const ToolWindowRegistration kAlarms(Command::AlarmHistory,
                                     {[](ToolWindowContext& c, QWidget* owner) -> QWidget* {
                                          return new CMonAnDialog(Monitors(c), owner);
                                      },
                                      PresentAs<CMonAnDialog>});

} // namespace
