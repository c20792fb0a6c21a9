#include "link/DriveOperations.h"

DriveOperations::DriveOperations(QObject* parent) : QObject(parent) {}

void DriveOperations::RunExclusive(std::function<void()> job) {
    Run({std::move(job), true});
}

void DriveOperations::RunQuietly(std::function<void()> job) {
    Run({std::move(job), false});
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
        next.run();
    }
    busy_ = wasBusy;
    running_ = false;
    if (announce) {
        emit operationsEnded();
    }
}

void DriveOperations::Post(std::function<void()> job) {
    // Queued on this object: a request still waiting when the owner goes is dropped.
    QMetaObject::invokeMethod(
        this, [this, job = std::move(job)] { RunExclusive(job); }, Qt::QueuedConnection);
}

void DriveOperations::SetRequestHandler(int code, RequestHandler handler) {
    handlers_[code] = std::move(handler);
}

void DriveOperations::PostRequest(int code, int argument) {
    QMetaObject::invokeMethod(
        this,
        [this, code, argument] {
            if (handlers_.find(code) == handlers_.end()) {
                return;
            }
            RunExclusive([this, code, argument] {
                const auto handler = handlers_.find(code);
                if (handler != handlers_.end()) {
                    handler->second(argument);
                }
            });
        },
        Qt::QueuedConnection);
}
