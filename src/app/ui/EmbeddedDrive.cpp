#include "app/ui/EmbeddedDrive.h"

#include "sim/ControlLines.h"
#include "sim/PtyDriveHost.h"
#include "sim/SimulatedDrive.h"

#include <csignal>
#include <pthread.h>

EmbeddedDrive::EmbeddedDrive()
    : drive_(std::make_unique<SimulatedDrive>()), host_(std::make_unique<PtyDriveHost>(*drive_)) {
    // The poll asks about fifteen questions a second for as long as the program runs; nobody
    // reads the log here.
    drive_->SetKeepLogInMemory(false);
    host_->SetIdleHook([this] { RunQueuedControl(); });
}

EmbeddedDrive::~EmbeddedDrive() {
    Stop();
}

bool EmbeddedDrive::Start(QString* error) {
    if (thread_.joinable())
        return true;
    if (!host_->Open(error))
        return false;
    stop_ = false;
    thread_ = std::thread([this] {
        // Stop signals belong to the user-interface thread, which turns them into a close.
        sigset_t blocked;
        sigemptyset(&blocked);
        sigaddset(&blocked, SIGTERM);
        sigaddset(&blocked, SIGINT);
        pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
        host_->Run(stop_);
    });
    return true;
}

void EmbeddedDrive::Stop() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    host_->Close();
}

void EmbeddedDrive::Control(const QString& line) {
    const std::lock_guard<std::mutex> lock(controlMutex_);
    controlQueue_.append(line);
}

void EmbeddedDrive::RunQueuedControl() {
    QStringList lines;
    {
        const std::lock_guard<std::mutex> lock(controlMutex_);
        lines.swap(controlQueue_);
    }
    // The lines come from the window's own controls, which speak only good lines.
    for (const QString& line : lines)
        RunHostControlLine(*drive_, *host_, line);
}

QString EmbeddedDrive::DevicePath() const {
    return host_->SlavePath();
}
