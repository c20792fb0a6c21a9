#include "tuning/JogControl.h"

#include "drive/DriveMap.h"
#include "link/DriveAccess.h"
#include "link/DriveOperations.h"
#include "link/MotionExits.h"
#include "params/DriveConnection.h"

#include <algorithm>
#include <cstdlib>

std::optional<int32_t> EnterJog(DriveAccess& access) {
    if (!access.ReadDriveWord(DriveMap::kSpeedCommand1)) {
        return std::nullopt;
    }
    const int32_t speed = access.LastValue;
    // The entry value is the speed in rpm: the write converts it to the drive's scale once.
    const bool entered = access.WriteDriveWord(DriveMap::kJogMode, 1, false) &&
                         access.WriteDriveWord(DriveMap::kJogSpeed, speed, false) &&
                         access.WriteDriveWord(DriveMap::kSpeedCommand1, 0, false) &&
                         access.WriteDriveWord(DriveMap::kJogEnable, 1, false);
    return entered ? std::optional<int32_t>(speed) : std::nullopt;
}

bool RunJogRequest(DriveAccess& access, int request, int argument, int32_t* speedRead) {
    switch (request) {
    case JogRequest::ReadSpeed:
        if (!access.ReadDriveWord(DriveMap::kSpeedCommand1)) {
            return false;
        }
        if (speedRead != nullptr) {
            *speedRead = access.LastValue;
        }
        return true;
    case JogRequest::Turn:
    case JogRequest::Forward:
    case JogRequest::Reverse:
        return access.WriteDriveWord(DriveMap::kSpeedCommand1, argument, false);
    case JogRequest::Stop: return access.WriteDriveWord(DriveMap::kSpeedCommand1, 0, false);
    case JogRequest::Exit:
        // The motor stops before its speed command is given back.
        return access.WriteDriveWord(DriveMap::kJogEnable, 0, false) &&
               access.WriteDriveWord(DriveMap::kSpeedCommand1, argument, false) &&
               access.WriteDriveWord(DriveMap::kJogMode, 0, false);
    default: return true;
    }
}

int32_t JogArgument(bool forward, int32_t speed) {
    const int32_t magnitude = std::abs(speed);
    return forward ? -magnitude : magnitude;
}

int32_t JogShownSpeed(int32_t driveSpeed, int32_t maxSpeed) {
    const int64_t magnitude = std::abs(static_cast<int64_t>(driveSpeed));
    return static_cast<int32_t>(std::min<int64_t>(magnitude, std::max(0, maxSpeed)));
}

QString JogNotReachedText() {
    return QString::fromUtf8("驱动器未回应：命令未送达，电机可能仍在运转！");
}

QString JogNotEndedText() {
    return QString::fromUtf8("点动模式未能结束：驱动器未回应，电机可能仍在运转！");
}

std::optional<int32_t> AcceptJogSpeed(const QString& text, int32_t maxSpeed) {
    if (text.isEmpty()) {
        return 0;
    }
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0 || value > maxSpeed) {
        return std::nullopt;
    }
    return value;
}

struct JogControl::Shared {
    explicit Shared(DriveAccess& a) : access(a) {}
    DriveAccess& access;
    std::shared_ptr<Motion> motion; // from a successful entry on
    bool reached = true;
    std::function<void()> changed;
    std::function<void(int32_t)> speedRead;
};

JogControl::JogControl(DriveConnection& connection)
    : connection_(connection), shared_(std::make_shared<Shared>(connection.Access())) {}

JogControl::~JogControl() {
    SetListeners({}, {});
}

bool JogControl::Enter() {
    DriveOperations& operations = connection_.Operations();
    if (operations.Running()) {
        return false;
    }
    std::optional<int32_t> entered;
    operations.RunExclusive([&] { entered = EnterJog(connection_.Access()); });
    if (!entered) {
        return false;
    }
    entrySpeed_ = *entered;
    shared_->motion = std::make_shared<Motion>([access = &connection_.Access(), speed = *entered] {
        return RunJogRequest(*access, JogRequest::Exit, speed) ? QString() : JogNotEndedText();
    });
    connection_.Motions().Add(shared_->motion);
    return true;
}

void JogControl::Post(int request, int argument) {
    connection_.Operations().Post([shared = shared_, request, argument] {
        Motion* motion = shared->motion.get();
        int32_t speed = 0;
        bool speedTaken = false;
        if (motion != nullptr && motion->Ended()) {
            // Out of JOG already: a speed now would reach a drive that no longer jogs.
        } else if (request == JogRequest::Exit && motion != nullptr) {
            shared->reached = motion->End().isEmpty();
        } else {
            shared->reached = RunJogRequest(shared->access, request, argument, &speed);
            speedTaken = shared->reached;
        }
        if (speedTaken && request == JogRequest::ReadSpeed && shared->speedRead) {
            shared->speedRead(speed);
        }
        if (shared->changed) {
            shared->changed();
        }
    });
}

bool JogControl::DriveReached() const {
    return shared_->reached && shared_->access.LinkUp();
}

bool JogControl::Ended() const {
    return shared_->motion != nullptr && shared_->motion->Ended();
}

void JogControl::SetListeners(std::function<void()> changed,
                              std::function<void(int32_t)> speedRead) {
    shared_->changed = std::move(changed);
    shared_->speedRead = std::move(speedRead);
}
