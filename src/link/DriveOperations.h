#pragma once

#include <QObject>
#include <QString>

#include <deque>
#include <functional>

// The one path every drive operation takes: window requests, transfers, the copy commands and
// the monitors' requests. Busy is set while one runs, so that no poll of the drive overlaps it.
// Operations run one at a time: a transfer lets the event loop run after each exchange, and an
// operation that arrives meanwhile waits until the running one has ended, then runs under the
// same Busy.
//
// The poll's reads give way to the user: a command chosen while they run asks them to yield
// (they skip the rest of their tick) and runs as soon as they have ended. A command chosen while
// another operation runs does not run; its caller says why.
// What the user is told when a command they chose was refused because an operation runs.
QString BusyCommandText();

class Messenger;

class DriveOperations : public QObject {
    Q_OBJECT
public:
    explicit DriveOperations(QObject* parent = nullptr);

    bool Busy() const { return busy_; }
    // Also set around modal boxes and the connect routine, which are not operations.
    void SetBusy(bool busy) { busy_ = busy; }
    // An operation is running (others queue behind it).
    bool Running() const { return running_; }

    // Runs `job` under Busy now, or after the operation that is running. Busy is given back as
    // it was found: a modal box whose loop let this job in still holds it afterwards.
    void RunExclusive(std::function<void()> job);
    // Runs `job` under Busy now; false, running nothing, while another operation runs.
    bool RunIfIdle(std::function<void()> job);
    // The poll's reads, which show what they read themselves: their end alone is not announced
    // (operations that came meanwhile still announce theirs), and they end early once
    // YieldWanted is set.
    void RunPoll(std::function<void()> job, bool announced = false);
    // A command was chosen while the poll's reads ran: they should stop at their next exchange.
    bool YieldWanted() const { return yieldWanted_; }

    enum class Chosen { Ran, Waiting, Refused };
    // A command chosen by kEveryChoice waits once per choice (a digit button's press).
    static constexpr int kEveryChoice = 0;
    // A command the user chose (by its id): runs now when no operation runs; while the poll's
    // reads run, it waits for them to end and then runs from the event loop (chosen again while
    // it waits, it still runs once); while another operation runs it is refused.
    Chosen RunChosen(int command, std::function<void()> run);

    // Runs `job` exclusively later, on the event loop, after the current event.
    void Post(std::function<void()> job);

signals:
    // The queue ran empty: what the operations changed (document, link) may be shown.
    void operationsEnded();

private:
    struct Job {
        std::function<void()> run;
        bool announced;
        bool yields = false;
    };
    void Run(Job job);
    void RunWaitingCommands();

    std::deque<Job> waiting_;
    std::deque<std::pair<int, std::function<void()>>> chosen_;
    bool busy_ = false;
    bool running_ = false;
    bool pollRunning_ = false;
    bool yieldWanted_ = false;
};

// A button of a window that talks to the drive, pressed by the user: runs now, or after the
// poll's tick, each press on its own. While another operation holds the drive nothing runs and
// the user is told why.
void RunPressed(DriveOperations& operations, Messenger& messenger, std::function<void()> press);
