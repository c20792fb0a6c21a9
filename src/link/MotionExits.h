#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// One operation that moves the motor while it runs (JOG, a tuning run, a frequency-response run)
// and its exit: the writes that stop the motion and give back what the operation changed. The
// exit runs once, whoever runs it: the operation's own end, the program's quit, or the lost link.
class Motion {
public:
    // Runs the exit's writes directly on the link; an empty text when all of them reached the
    // drive, otherwise the one-line text that tells the user what was left as it was.
    using Exit = std::function<QString()>;

    explicit Motion(Exit exit) : exit_(std::move(exit)) {}

    // The exit has run with success, or the program ran it on its way out.
    bool Ended() const { return ended_; }

    // The operation's own end: runs the exit unless it ended already. The failure text of this
    // run (empty when it succeeded or did not run).
    QString End();
    // Runs the exit and ends the motion only when it succeeded (the lost link: the operation
    // stays active, so that its own end or the quit tries again). The failure text.
    QString Try();

private:
    Exit exit_;
    bool ended_ = false;
};

// The motions that are active now. The operations hold their Motion; this list only looks at
// them, so a motion whose operation is gone drops out by itself.
class MotionExits {
public:
    void Add(const std::shared_ptr<Motion>& motion);
    bool Active() const;

    // The program closes: every active motion's exit runs, the newest first, and every motion
    // ends whether its exit succeeded or not. The failure texts.
    QStringList EndAll();
    // The link was lost: every active motion's exit is tried (Motion::Try). The failure texts.
    QStringList TryAll();

private:
    std::vector<std::shared_ptr<Motion>> ActiveMotions();

    std::vector<std::weak_ptr<Motion>> motions_;
};
