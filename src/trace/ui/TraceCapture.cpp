// The trace window's "Trace Setting" and "START": the drive steps are DriveTrace's, the windows
// here only ask and show.

#include "trace/ui/TraceCapture.h"

#include "frame/ToolWindows.h"
#include "params/NolvaServoDoc.h"
#include "trace/DriveTrace.h"
#include "trace/TraceDisplay.h"
#include "trace/TraceRecord.h"
#include "trace/ui/TraceSetupDialog.h"
#include "trace/ui/TraceWaitDialogs.h"

bool RunTraceSetting(CommandActionContext& context, QWidget* parent, TraceRecord& record) {
    ToolWindowContext& windows = context.windows;
    DriveTrace drive(context.connection, windows.profile, windows.messenger);
    if (!drive.RequireLink() || !drive.ReadContactFunctions(&context.progress)) {
        return false;
    }
    CTraceSetupDialog dialog(record.settings, windows.document.contactsInDrive, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    ConfigureTrace(record, dialog.Settings());
    return true;
}

bool RunTraceStart(CommandActionContext& context, QWidget* parent, TraceRecord& record) {
    ToolWindowContext& windows = context.windows;
    DriveTrace drive(context.connection, windows.profile, windows.messenger);
    const TraceSettings settings = record.settings;
    const auto wait = [&](const CTraceStartDialog::Check& check) {
        CTraceStartDialog dialog(settings.IntervalUs(), TraceSettings::kPoints, windows.tickers,
                                 check, parent);
        return dialog.exec() == QDialog::Accepted;
    };
    CTraceReadDialog reading(parent);
    return CaptureTraceRecord(drive, record, wait, &reading);
}
