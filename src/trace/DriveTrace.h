#pragma once

#include "trace/TraceData.h"
#include "trace/TraceRecord.h"
#include "trace/TraceSettings.h"

#include <functional>

class DriveConnection;
class Messenger;
class TransferProgress;
struct DriveProfile;

// A capture's exchanges with the drive, each step one drive operation under Busy: the set-up and
// start writes, a look at the recording state, the read-back of the 2048 sample words. Each
// failure is told to the user here; the caller only learns that the step failed.
class DriveTrace {
public:
    // All parts belong to the caller and outlive this object. The profile gives N for the
    // trigger level and the samples' speed conversion.
    DriveTrace(DriveConnection& connection, const DriveProfile& profile, Messenger& messenger);

    // False, with "通讯错误！！", while no drive is linked.
    bool RequireLink();

    // The contact functions Hn501..Hn519 into the document, for the DI/DO names (the contact
    // read with its own failure message). `progress` may be null.
    bool ReadContactFunctions(TransferProgress* progress);

    // Page '7': interval code, configuration word and raw trigger level, then 1 to the state
    // word. The first failed write ends it with "错误:\n\n追踪设定资料至伺服驱动器。".
    bool Start(const TraceSettings& settings);

    // One look at the recording state. A failed read ends the wait without a word; a look that
    // finds another operation running says Waiting and leaves the drive alone.
    enum class Recording { Waiting, Finished, Failed };
    Recording Check();

    // Reads the recorded words page by page into `data`, showing "n/2048--->(XXXXH)" before each
    // request. A failed request closes the progress and shows "错误:\n\n" + that text; `data`
    // then keeps what it held. `progress` may be null.
    bool ReadBack(const TraceSettings& settings, TraceData& data, TransferProgress* progress);

private:
    // Runs `job` as a drive operation now; false (nothing run) while another one is running.
    bool RunNow(const std::function<void()>& job);
    void ShowSetupFailure();

    DriveConnection& connection_;
    const DriveProfile& profile_;
    Messenger& messenger_;
};

// How the wait for the recording is shown: it calls `check` when its clock says so, and answers
// true once a check found the recording finished, false when a check failed or the user gave up.
using TraceWaiter = std::function<bool(const std::function<DriveTrace::Recording()>& check)>;

// The whole capture: link check, start, the wait, the read-back into `data`. False when any step
// failed (its message shown) or the wait was given up; `data` then holds its old samples.
bool CaptureTrace(DriveTrace& drive, const TraceSettings& settings, TraceData& data,
                  const TraceWaiter& wait, TransferProgress* progress);

// The capture of `record`'s settings stored as the trace window shows it and a trace file keeps
// it: the new samples, the interval and points they were taken at, and each line on "AUTO" fitted
// to them. On failure `record` is unchanged.
bool CaptureTraceRecord(DriveTrace& drive, TraceRecord& record, const TraceWaiter& wait,
                        TransferProgress* progress);
