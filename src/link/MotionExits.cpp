#include "link/MotionExits.h"

#include <algorithm>

QString Motion::End() {
    if (ended_) {
        return {};
    }
    ended_ = true;
    return exit_();
}

QString Motion::Try() {
    if (ended_) {
        return {};
    }
    QString failure = exit_();
    ended_ = failure.isEmpty();
    return failure;
}

void MotionExits::Add(const std::shared_ptr<Motion>& motion) {
    motions_.push_back(motion);
}

bool MotionExits::Active() const {
    return std::any_of(motions_.begin(), motions_.end(), [](const std::weak_ptr<Motion>& m) {
        const std::shared_ptr<Motion> motion = m.lock();
        return motion && !motion->Ended();
    });
}

std::vector<std::shared_ptr<Motion>> MotionExits::ActiveMotions() {
    std::vector<std::shared_ptr<Motion>> active;
    for (auto m = motions_.rbegin(); m != motions_.rend(); ++m) {
        if (std::shared_ptr<Motion> motion = m->lock(); motion && !motion->Ended()) {
            active.push_back(std::move(motion));
        }
    }
    // The ended and the gone are forgotten.
    motions_.assign(active.rbegin(), active.rend());
    return active;
}

QStringList MotionExits::EndAll() {
    QStringList failures;
    for (const std::shared_ptr<Motion>& motion : ActiveMotions()) {
        if (const QString failure = motion->End(); !failure.isEmpty()) {
            failures << failure;
        }
    }
    return failures;
}

QStringList MotionExits::TryAll() {
    QStringList failures;
    for (const std::shared_ptr<Motion>& motion : ActiveMotions()) {
        if (const QString failure = motion->Try(); !failure.isEmpty()) {
            failures << failure;
        }
    }
    return failures;
}
