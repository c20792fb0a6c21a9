#pragma once

#include <QObject>

#include <deque>
#include <functional>
#include <map>

// The one path every drive operation takes: window requests, transfers, the copy commands and
// the monitors' requests. Busy is set while one runs, so that no poll of the drive overlaps it.
// Operations run one at a time: a transfer lets the event loop run after each exchange, and an
// operation that arrives meanwhile waits until the running one has ended, then runs under the
// same Busy.
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
    // The same for the poll's reads, which show what they read themselves: their end alone is
    // not announced (operations that came meanwhile still announce theirs).
    void RunQuietly(std::function<void()> job);
    // Runs `job` exclusively later, on the event loop, after the current event.
    void Post(std::function<void()> job);

    // Requests by code, as the tool windows post them. A code without a handler is ignored; the
    // handler is looked up when the request runs, so a replaced handler takes the waiting ones.
    using RequestHandler = std::function<void(int argument)>;
    void SetRequestHandler(int code, RequestHandler handler);
    void PostRequest(int code, int argument);

signals:
    // The queue ran empty: what the operations changed (document, link) may be shown.
    void operationsEnded();

private:
    struct Job {
        std::function<void()> run;
        bool announced;
    };
    void Run(Job job);

    std::deque<Job> waiting_;
    std::map<int, RequestHandler> handlers_;
    bool busy_ = false;
    bool running_ = false;
};
