#pragma once

#include "monitor/AlarmHistory.h"
#include "monitor/DiagnosticsMonitor.h"
#include "monitor/StatusMonitor.h"

#include <functional>

class CNolvaServoDoc;
class DriveConnection;
class Messenger;
class TransferProgress;
struct DriveProfile;

// The monitor windows' part of the main view's poll, after the status read: the status display,
// then the diagnostics, then the alarm history, each only while its window is open; the first
// that fails ends the tick. The monitors live here for the whole run (the windows only show
// them), so the status display's selection outlives its window and a window closed while a tick
// reads for it leaves nothing dangling.
//
// A tick's reads run as one drive operation: the event loop turns between the exchanges so that
// the program keeps drawing, while a window's request (the alarm clear) waits for the tick to end.
// A menu command chosen meanwhile ends the tick at the next exchange and runs after it.
class MonitorPoll {
public:
    // All parts belong to the caller and outlive this object.
    MonitorPoll(DriveConnection& connection, const DriveProfile& profile, CNolvaServoDoc& document,
                Messenger& messenger);

    StatusMonitor& Status() { return status_; }
    DiagnosticsMonitor& Diagnostics() { return diagnostics_; }
    AlarmHistory& Alarms() { return alarms_; }

    // The window that shows the contact and alarm reads' progress, asked for when one starts.
    void SetProgressSource(std::function<TransferProgress*()> source);
    // Runs after every exchange of the status display and diagnostics reads.
    void SetExchangeHook(std::function<void()> hook);

    // The open monitors' updates in order. False at the first failure, when an operation runs
    // already (the tick is skipped) and when a chosen command ended the tick early.
    bool Run();

    // "清除(&L)": the alarm history clear, run as a drive operation after the current event.
    void PostAlarmClear();

private:
    TransferProgress* Progress() const;

    DriveConnection& connection_;
    StatusMonitor status_;
    DiagnosticsMonitor diagnostics_;
    AlarmHistory alarms_;
    std::function<TransferProgress*()> progress_;
    std::function<void()> exchangeDone_;
};
