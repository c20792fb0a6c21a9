#include "monitor/MonitorPoll.h"

#include "link/DriveOperations.h"
#include "params/DriveConnection.h"

MonitorPoll::MonitorPoll(DriveConnection& connection, const DriveProfile& profile,
                         CNolvaServoDoc& document, Messenger& messenger)
    : connection_(connection), status_(connection.Access(), profile, document),
      diagnostics_(connection.Access(), connection.Contacts(), profile, document),
      alarms_(connection.Access(), connection.Settings(), profile, document, messenger) {}

void MonitorPoll::SetProgressSource(std::function<TransferProgress*()> source) {
    progress_ = std::move(source);
}

void MonitorPoll::SetExchangeHook(std::function<void()> hook) {
    exchangeDone_ = std::move(hook);
}

TransferProgress* MonitorPoll::Progress() const {
    return progress_ ? progress_() : nullptr;
}

bool MonitorPoll::Run() {
    if (!status_.Active() && !diagnostics_.Active() && !alarms_.Active()) {
        return true;
    }
    DriveOperations& operations = connection_.Operations();
    if (operations.Running()) {
        return false;
    }
    // A command chosen while the event loop turns ends the tick: it runs once the tick is over.
    const auto goOn = [this, &operations] {
        if (exchangeDone_) {
            exchangeDone_();
        }
        return !operations.YieldWanted();
    };
    bool ran = false;
    bool ok = true;
    operations.RunPoll(
        [&] {
            ran = true;
            // Each window may close while the event loop turns: look again before each update.
            ok = (!status_.Active() || status_.Update(goOn)) &&
                 (!diagnostics_.Active() || diagnostics_.Update(Progress(), goOn)) &&
                 !operations.YieldWanted() && (!alarms_.Active() || alarms_.Update(Progress()));
        },
        true);
    return ran && ok;
}

void MonitorPoll::PostAlarmClear() {
    connection_.Operations().Post([this] { alarms_.Clear(); });
}
