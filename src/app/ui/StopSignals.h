#pragma once

#include <QObject>

#include <csignal>
#include <memory>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a Qt signal on the user-interface thread. The signal handler only
// writes the signal's number into a pipe (the one thing it may safely do); a socket notifier on
// the other end emits stopRequested() from the event loop. The previous handlers come back when
// the object is destroyed. One instance at a time.
class StopSignals : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

signals:
    void stopRequested(int signalNumber);

private:
    void Drain();

    int pipe_[2] = {-1, -1};
    bool installed_ = false;
    struct sigaction previousTerm_ {};
    struct sigaction previousInt_ {};
    std::unique_ptr<QSocketNotifier> notifier_;
};
