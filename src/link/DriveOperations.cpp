#include "link/DriveOperations.h"

#include "base/Messenger.h"

QString BusyCommandText() {
    return QStringLiteral("正在与驱动器通讯，此命令未执行：请待当前操作结束后再选。");
}

DriveOperations::DriveOperations(QObject* parent) : QObject(parent) {}

void DriveOperations::RunExclusive(std::function<void()> job) {
    Run({std::move(job), true});
}

void DriveOperations::RunPoll(std::function<void()> job, bool announced) {
    Run({std::move(job), announced, true});
}

void DriveOperations::Run(Job job) {
    waiting_.push_back(std::move(job));
    if (running_) {
        return; // the operation that is running takes it when it ends
    }
    running_ = true;
    const bool wasBusy = busy_;
    busy_ = true;
    bool announce = false;
    while (!waiting_.empty()) {
        Job next = std::move(waiting_.front());
        waiting_.pop_front();
        announce = announce || next.announced;
        pollRunning_ = next.yields;
        next.run();
        pollRunning_ = false;
    }
    busy_ = wasBusy;
    running_ = false;
    yieldWanted_ = false;
    if (!chosen_.empty()) {
        // From the event loop: the poll that gave way is left first, with its tick.
        QMetaObject::invokeMethod(
            this, [this] { RunWaitingCommands(); }, Qt::QueuedConnection);
    }
    if (announce) {
        emit operationsEnded();
    }
}

DriveOperations::Chosen DriveOperations::RunChosen(int command, std::function<void()> run) {
    if (!running_ && chosen_.empty()) {
        run();
        return Chosen::Ran;
    }
    if (running_ && !pollRunning_) {
        return Chosen::Refused;
    }
    yieldWanted_ = running_;
    for (const auto& waiting : chosen_) {
        if (command != kEveryChoice && waiting.first == command) {
            return Chosen::Waiting;
        }
    }
    chosen_.emplace_back(command, std::move(run));
    return Chosen::Waiting;
}

void DriveOperations::RunWaitingCommands() {
    // Another operation may have started meanwhile (a nested event loop let it in): its end
    // posts this again.
    while (!running_ && !chosen_.empty()) {
        auto command = std::move(chosen_.front().second);
        chosen_.pop_front();
        command();
    }
}

bool DriveOperations::RunIfIdle(std::function<void()> job) {
    if (running_) {
        return false;
    }
    RunExclusive(std::move(job));
    return true;
}

void DriveOperations::Post(std::function<void()> job) {
    // Queued on this object: a request still waiting when the owner goes is dropped.
    QMetaObject::invokeMethod(
        this, [this, job = std::move(job)] { RunExclusive(job); }, Qt::QueuedConnection);
}

void RunPressed(DriveOperations& operations, Messenger& messenger, std::function<void()> press) {
    if (operations.RunChosen(DriveOperations::kEveryChoice, std::move(press)) ==
        DriveOperations::Chosen::Refused) {
        Message message;
        message.text = BusyCommandText();
        message.caption = QString::fromUtf8("错误信息");
        message.icon = MessageIcon::Warning;
        messenger.Show(message);
    }
}
