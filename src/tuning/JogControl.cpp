#include "tuning/JogControl.h"

#include "drive/DriveMap.h"
#include "link/DriveAccess.h"
#include "link/DriveOperations.h"
#include "params/DriveConnection.h"

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
    if (entered) {
        entrySpeed_ = *entered;
    }
    return entered.has_value();
}

void JogControl::Post(int request, int argument) {
    connection_.Operations().Post([shared = shared_, request, argument] {
        int32_t speed = 0;
        shared->reached = RunJogRequest(shared->access, request, argument, &speed);
        if (shared->reached && request == JogRequest::ReadSpeed && shared->speedRead) {
            shared->speedRead(speed);
        }
        if (shared->changed) {
            shared->changed();
        }
    });
}

bool JogControl::DriveReached() const {
    return shared_->reached && shared_->access.LinkUp;
}

void JogControl::SetListeners(std::function<void()> changed,
                              std::function<void(int32_t)> speedRead) {
    shared_->changed = std::move(changed);
    shared_->speedRead = std::move(speedRead);
}
