#include "trace/DriveTrace.h"

#include "base/Messenger.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "drive/DriveProfile.h"
#include "link/DriveAccess.h"
#include "link/DriveOperations.h"
#include "params/DriveConnection.h"
#include "params/ParameterTransfer.h"
#include "trace/TraceDisplay.h"

namespace {

constexpr int kSetupFailureString = 770; // "追踪设定资料至伺服驱动器。"

QString StepFailureText(const QString& step) {
    return StringText(StringId::kErrorCaption) + QStringLiteral(":\n\n") + step;
}

} // namespace

DriveTrace::DriveTrace(DriveConnection& connection, const DriveProfile& profile,
                       Messenger& messenger)
    : connection_(connection), profile_(profile), messenger_(messenger) {}

bool DriveTrace::RunNow(const std::function<void()>& job) {
    return connection_.Operations().RunIfIdle(job);
}

bool DriveTrace::RequireLink() {
    return connection_.RequireLink(messenger_);
}

bool DriveTrace::ReadContactFunctions(TransferProgress* progress) {
    bool read = false;
    RunNow([&] {
        ContactTransfer& contacts = connection_.Contacts();
        contacts.SetProgress(progress);
        read = contacts.Read();
        contacts.SetProgress(nullptr);
    });
    return read;
}

void DriveTrace::ShowSetupFailure() {
    connection_.TellLinkFailure(messenger_, StepFailureText(StringText(kSetupFailureString)));
}

bool DriveTrace::Start(const TraceSettings& settings) {
    bool written = false;
    const bool ran = RunNow([&] {
        DriveAccess& access = connection_.Access();
        for (const TraceWrite& w : TraceSetupWrites(settings, profile_.maxMotorSpeed)) {
            if (!access.WriteDriveWord(kTracePage, w.location, w.value, false)) {
                return;
            }
        }
        written = access.WriteDriveWord(kTracePage, kTraceStateLocation, 1, false);
    });
    if (ran && !written) {
        ShowSetupFailure();
    }
    return written;
}

DriveTrace::Recording DriveTrace::Check() {
    Recording state = Recording::Waiting;
    RunNow([&] {
        DriveAccess& access = connection_.Access();
        if (!access.ReadDriveWord(kTracePage, kTraceStateLocation)) {
            state = Recording::Failed;
        } else if (access.LastValue == kTraceFinishedState) {
            state = Recording::Finished;
        }
    });
    return state;
}

bool DriveTrace::ReadBack(const TraceSettings& settings, TraceData& data,
                          TransferProgress* progress) {
    TraceReadBack words(settings, profile_.maxMotorSpeed);
    QString failedAt;
    const bool ran = RunNow([&] {
        DriveAccess& access = connection_.Access();
        if (progress != nullptr) {
            progress->Open(QString(), TraceReadBack::kRequests);
        }
        while (!words.Done()) {
            const QString text = words.ProgressText();
            if (progress != nullptr) {
                progress->SetText(text);
                progress->Step();
            }
            int32_t word = 0;
            const bool ok = access.ReadSignedWord(words.NextPage(), words.NextLocation(), &word);
            if (progress != nullptr) {
                progress->ExchangeDone();
            }
            if (!ok) {
                failedAt = text;
                break;
            }
            words.Add(static_cast<int16_t>(word));
        }
        if (progress != nullptr) {
            progress->Close();
        }
    });
    if (!ran) {
        return false;
    }
    if (!words.Done()) {
        connection_.TellLinkFailure(messenger_, StepFailureText(failedAt));
        return false;
    }
    return words.TakeInto(data);
}

bool CaptureTrace(DriveTrace& drive, const TraceSettings& settings, TraceData& data,
                  const TraceWaiter& wait, TransferProgress* progress) {
    if (!drive.RequireLink() || !drive.Start(settings)) {
        return false;
    }
    if (!wait([&drive] { return drive.Check(); })) {
        return false;
    }
    return drive.ReadBack(settings, data, progress);
}

bool CaptureTraceRecord(DriveTrace& drive, TraceRecord& record, const TraceWaiter& wait,
                        TransferProgress* progress) {
    const TraceSettings& settings = record.settings;
    if (!CaptureTrace(drive, settings, record.data, wait, progress)) {
        return false;
    }
    record.intervalUs = static_cast<float>(settings.IntervalUs());
    record.points = TraceSettings::kPoints;
    RefreshVerticalScales(record);
    return true;
}
