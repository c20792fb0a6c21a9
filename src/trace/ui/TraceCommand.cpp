// "追踪波形(&T)...": the trace window, modal, with or without a drive (trace files can be viewed
// offline). The trace it shows lives for the whole run, so the window opens again on the last one.

#include "base/CommandIds.h"
#include "frame/ToolWindows.h"
#include "link/DriveOperations.h"
#include "params/DriveConnection.h"
#include "params/ParameterRequests.h"
#include "trace/ui/TraceCapture.h"
#include "trace/ui/TraceGraphDialog.h"

#include <memory>

namespace {

TraceRun& RunTrace() {
    static const auto run = std::make_unique<TraceRun>();
    return *run;
}

const CommandActionRegistration kTrace(Command::Trace, [](CommandActionContext& c) {
    TraceWindowServices services{
        c.windows.messenger,
        c.windows.files,
        [&c] { return c.windows.requests.LinkUp(); },
        [&c](QWidget* parent, TraceRecord& record) {
            return RunTraceSetting(c, parent, record);
        },
        [&c](QWidget* parent, TraceRecord& record) { return RunTraceStart(c, parent, record); },
        [&c](QWidget* parent) { RunRegisteredAction(Command::OnlineEditing, c, parent); },
        &c.windows.tickers,
        [&c](std::function<void()> press) {
            RunPressed(c.connection.Operations(), c.windows.messenger, std::move(press));
        }};
    CTraceGraphDialog dialog(std::move(services), RunTrace(), c.owner);
    dialog.exec();
});

} // namespace
