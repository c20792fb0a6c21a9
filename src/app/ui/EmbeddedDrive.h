#pragma once

#include <QString>

#include <QStringList>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

class PtyDriveHost;
class SimulatedDrive;

// The simulated drive of "--simulate": served on a pseudo-terminal by a thread of its own, so
// that the user-interface thread reaches it through the serial port exactly as it reaches a real
// drive (its exchanges are synchronous and would wait for themselves on one thread).
class EmbeddedDrive {
public:
    EmbeddedDrive();
    ~EmbeddedDrive(); // stops the thread and closes the terminal

    EmbeddedDrive(const EmbeddedDrive&) = delete;
    EmbeddedDrive& operator=(const EmbeddedDrive&) = delete;

    // Opens the terminal and starts serving. False with `error` set when the terminal failed.
    bool Start(QString* error);
    void Stop();
    // The device to open: the terminal's slave side.
    QString DevicePath() const;

    // A control line for the drive's machine (ControlLines.h), from any thread: it is queued and
    // run on the drive's own thread at its next turn (within 100 ms).
    void Control(const QString& line);

private:
    void RunQueuedControl();

    std::mutex controlMutex_;
    QStringList controlQueue_;
    std::unique_ptr<SimulatedDrive> drive_;
    std::unique_ptr<PtyDriveHost> host_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
