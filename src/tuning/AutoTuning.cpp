#include "tuning/AutoTuning.h"

#include "base/Messenger.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "drive/DriveMap.h"
#include "drive/DriveProfile.h"
#include "drive/ParameterCatalogue.h"
#include "link/DriveAccess.h"
#include "link/DriveOperations.h"
#include "link/MotionExits.h"
#include "params/DriveConnection.h"
#include "params/ParameterChannel.h"

#include <algorithm>

namespace {

constexpr int kTuningMessage = 734;   // on-line tuning starts with the servo
constexpr int kTuningCaption = 735;   // "自动增益调适信息"
constexpr int kTuningCancelled = 736; // "取消自动增益调适。"
constexpr int kTuningDone = 739;      // "调适完成"

constexpr int kAccelerationMin = 2000;
constexpr int kAccelerationMax = 90000;
constexpr int kHoldTimeMax = 10000;

// The pattern's words O 6..O 8 (page '5' 0xD4, 0xD3, 0xD2) for groups 1..3.
ParamCode PatternCode(int group) {
    return {'O', 5 + group};
}

DriveLocation ParameterAt(ParamCode code) {
    return {DriveMap::kParameterPage, ParameterIndexOf(code)};
}

const DriveLocation kAutoTuningMode = ParameterAt({'C', 2});
const DriveLocation kInertiaRatio = ParameterAt({'C', 25});

void Tell(Messenger& messenger, int text, int caption, MessageIcon icon) {
    Message message;
    message.text = StringText(text);
    message.caption = StringText(caption);
    message.icon = icon;
    messenger.Show(message);
}

// One drive step of the command as a drive operation; false while another one runs.
bool RunDriveStep(DriveConnection& connection, const std::function<bool(DriveAccess&)>& step) {
    DriveOperations& operations = connection.Operations();
    if (operations.Running()) {
        return false;
    }
    bool ok = false;
    operations.RunExclusive([&] { ok = step(connection.Access()); });
    return ok;
}

// Reads Cn002 and stores it through `change`.
bool StoreTuningMode(DriveAccess& access, int32_t (*change)(int32_t)) {
    return access.ReadDriveWord(kAutoTuningMode) &&
           access.WriteDriveWord(kAutoTuningMode, change(access.LastValue), true);
}

// Automatic tuning off and the off-line switch cleared.
bool SwitchTuningOff(DriveAccess& access) {
    return StoreTuningMode(access, WithAutoTuningOff) &&
           access.WriteDriveWord(DriveMap::kOfflineTuning, 0, true);
}

struct RunStart {
    int32_t tuningMode = 0; // Cn002 as stored for the run
    bool servoOn = false;
    int32_t ratio = 0;
};

// Tuning on, the off-line switch set, then what the run window starts from.
std::optional<RunStart> StartOfflineRun(DriveAccess& access) {
    RunStart start;
    if (!access.ReadDriveWord(kAutoTuningMode)) {
        return std::nullopt;
    }
    start.tuningMode = WithAutoTuningOn(access.LastValue);
    if (!access.WriteDriveWord(kAutoTuningMode, start.tuningMode, true) ||
        !access.WriteDriveWord(DriveMap::kOfflineTuning, 1, true) ||
        !access.ReadDriveWord(DriveMap::kServoState)) {
        return std::nullopt;
    }
    start.servoOn = (access.LastValue & 1) != 0;
    if (!access.ReadDriveWord(DriveMap::kInertiaEstimate)) {
        return std::nullopt;
    }
    start.ratio = access.LastValue;
    return start;
}

void RunOffline(DriveConnection& connection, const DriveProfile& profile, Messenger& messenger,
                const AutoTuningDialogs& dialogs) {
    std::optional<PatternValues> pattern;
    RunDriveStep(connection, [&](DriveAccess&) {
        pattern = ReadPattern(connection.Parameters());
        return pattern.has_value();
    });
    if (!pattern) {
        return;
    }
    {
        PatternWriter writer(connection, profile, messenger);
        if (!dialogs.pattern(*pattern, writer)) {
            return;
        }
    }
    std::optional<RunStart> start;
    RunDriveStep(connection, [&](DriveAccess& access) {
        start = StartOfflineRun(access);
        return start.has_value();
    });
    if (!start) {
        return;
    }
    // From here the drive is in tuning mode: the quit and the lost link end the run too.
    const auto motion =
        std::make_shared<Motion>([access = &connection.Access(), mode = start->tuningMode] {
            return RestoreAfterRun(*access, mode);
        });
    connection.Motions().Add(motion);
    const auto run = std::make_shared<TuningRun>(connection.Access(), start->servoOn, start->ratio);
    const bool next = dialogs.run(run);
    run->SetListener({});
    if (motion->Ended()) {
        return; // ended from outside, which has said what it had to
    }
    QString notRestored;
    if (connection.Operations().Running()) {
        notRestored = motion->End(); // inside another operation: the exit cannot wait for it
    } else {
        connection.Operations().RunExclusive([&] { notRestored = motion->End(); });
    }
    if (!notRestored.isEmpty()) {
        Message message;
        message.text = notRestored;
        message.caption = StringText(kTuningCaption);
        message.icon = MessageIcon::Warning;
        messenger.Show(message);
        return;
    }
    if (!next) {
        Tell(messenger, kTuningCancelled, kTuningCaption, MessageIcon::Information);
        return;
    }
    const int32_t ratio = run->LastRatio();
    if (dialogs.storeResult(ratio) &&
        RunDriveStep(connection, [ratio](DriveAccess& access) {
            return access.WriteDriveWord(kInertiaRatio, ratio, true);
        })) {
        Tell(messenger, StringId::kWriteSuccess, kTuningDone, MessageIcon::Warning);
    }
}

// A pattern group's range: 1 maximum speed 0..N, 2 acceleration, 3 hold time.
int32_t PatternLow(int group) {
    return group == 2 ? kAccelerationMin : 0;
}

int32_t PatternHigh(int group, int32_t maxSpeed) {
    return group == 1 ? maxSpeed : group == 2 ? kAccelerationMax : kHoldTimeMax;
}

} // namespace

QString RestoreAfterRun(DriveAccess& access, int32_t tuningMode) {
    // Both are tried: one left in tuning mode is better than two.
    const bool modeRestored = StoreTuningMode(access, WithAutoTuningOff);
    const bool switchRestored = access.WriteDriveWord(DriveMap::kOfflineTuning, 0, true);
    if (modeRestored && switchRestored) {
        return {};
    }
    QStringList left;
    if (!modeRestored) {
        left << QString::asprintf("Cn002 = %04Xh", static_cast<unsigned>(tuningMode & 0xFFFF));
    }
    if (!switchRestored) {
        left << QString::fromUtf8("Off-line 调谐开关 (5-DCh) = 1");
    }
    return QString::fromUtf8("驱动器未回应：自动增益调谐的设定未能恢复，驱动器仍处于调谐模式（") +
           left.join(QString::fromUtf8("，")) +
           QString::fromUtf8("）。请在连线后选择 \"取消自动增益调谐\"。");
}

int32_t WithAutoTuningOn(int32_t cn002) {
    return cn002 | DriveMap::kAutoTuningOn;
}

int32_t WithAutoTuningOff(int32_t cn002) {
    return cn002 & ~DriveMap::kAutoTuningBits;
}

int32_t& PatternValues::operator[](int group) {
    return group == 1 ? maxSpeed : group == 2 ? acceleration : holdTime;
}

QString PatternRangeText(int group, int32_t maxSpeed) {
    switch (group) {
    case 1: return QStringLiteral("0~%1").arg(maxSpeed);
    case 2: return QStringLiteral("%1~%2").arg(kAccelerationMin).arg(kAccelerationMax);
    default: return QStringLiteral("0~%1").arg(kHoldTimeMax);
    }
}

std::optional<int32_t> PatternValueInRange(int group, const QString& text, int32_t maxSpeed) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || value < PatternLow(group) || value > PatternHigh(group, maxSpeed)) {
        return std::nullopt;
    }
    return value;
}

int32_t PatternSetValueShown(int group, int32_t value, int32_t maxSpeed) {
    return std::clamp(value, PatternLow(group),
                      std::max(PatternLow(group), PatternHigh(group, maxSpeed)));
}

std::optional<PatternValues> ReadPattern(ParameterChannel& channel) {
    PatternValues values;
    for (int group = 1; group <= kPatternGroups; ++group) {
        if (!channel.Read(PatternCode(group), ParameterRoute::LiveCopy, &values[group])) {
            return std::nullopt;
        }
    }
    return values;
}

std::optional<int32_t> WritePatternValue(ParameterChannel& channel, int group, int32_t value) {
    const ParamCode code = PatternCode(group);
    // The store writes the live copy, and the live copy is written once more after it: the
    // sequence the drive has always been sent for its pattern words.
    int32_t current = 0;
    if (!channel.Write(code, value, ParameterRoute::Mailbox, true) ||
        !channel.Write(code, value, ParameterRoute::LiveCopy, true) ||
        !channel.Read(code, ParameterRoute::LiveCopy, &current)) {
        return std::nullopt;
    }
    return current;
}

struct PatternWriter::Shared {
    Shared(ParameterChannel& c, Messenger& m) : channel(c), messenger(m) {}
    ParameterChannel& channel;
    Messenger& messenger;
    std::function<void(int, int32_t)> shown;
};

PatternWriter::PatternWriter(DriveConnection& connection, const DriveProfile& profile,
                             Messenger& messenger)
    : connection_(connection), profile_(profile),
      shared_(std::make_shared<Shared>(connection.Parameters(), messenger)) {}

PatternWriter::~PatternWriter() {
    SetListener({});
}

void PatternWriter::SetListener(std::function<void(int, int32_t)> shown) {
    shared_->shown = std::move(shown);
}

bool PatternWriter::Press(int group, const QString& text) {
    const int32_t n = profile_.maxMotorSpeed;
    const std::optional<int32_t> value = PatternValueInRange(group, text, n);
    if (!value) {
        Message message;
        message.text = QStringLiteral("超出范围！！\n\n范围值: ") + PatternRangeText(group, n);
        message.caption = QStringLiteral("错误信息");
        message.icon = MessageIcon::Warning;
        shared_->messenger.Show(message);
        return false;
    }
    connection_.Operations().Post([shared = shared_, group, v = *value] {
        const std::optional<int32_t> current = WritePatternValue(shared->channel, group, v);
        if (!current) {
            return;
        }
        if (shared->shown) {
            shared->shown(group, *current);
        }
        Tell(shared->messenger, StringId::kWriteSuccess, StringId::kWriteCaption,
             MessageIcon::Information);
    });
    return true;
}

TuningRun::TuningRun(DriveAccess& access, bool servoOn, int32_t ratio)
    : access_(access), servoSeenOn_(servoOn), waiting_(servoOn), ratio_(ratio) {}

void TuningRun::Step() {
    if (!servoSeenOn_) {
        if (!access_.ReadDriveWord(DriveMap::kServoState)) {
            return;
        }
        if ((access_.LastValue & 1) != 0) {
            servoSeenOn_ = true;
            waiting_ = true;
        }
        return;
    }
    if (!access_.ReadDriveWord(DriveMap::kInertiaEstimate)) {
        return;
    }
    ratio_ = access_.LastValue;
    lastRatio_ = ratio_;
    if (!access_.ReadDriveWord(DriveMap::kServoState)) {
        return;
    }
    if ((access_.LastValue & 1) == 0) {
        servoSeenOn_ = false;
        nextEnabled_ = true;
    }
}

void TuningRun::PostStep(DriveOperations& operations) {
    operations.Post([self = shared_from_this()] {
        self->Step();
        if (self->changed_) {
            self->changed_();
        }
    });
}

void RunAutoTuning(DriveConnection& connection, const DriveProfile& profile, Messenger& messenger,
                   const AutoTuningDialogs& dialogs) {
    const std::optional<TuningMode> mode = dialogs.chooseMode();
    if (!mode || !connection.LinkUp()) {
        return;
    }
    switch (*mode) {
    case TuningMode::OnLine:
        if (RunDriveStep(connection, [](DriveAccess& access) {
                return StoreTuningMode(access, WithAutoTuningOn);
            })) {
            Tell(messenger, kTuningMessage, kTuningCaption, MessageIcon::Information);
        }
        return;
    case TuningMode::Off:
        if (RunDriveStep(connection, SwitchTuningOff)) {
            Tell(messenger, kTuningCancelled, kTuningCaption, MessageIcon::Information);
        }
        return;
    case TuningMode::OffLine: RunOffline(connection, profile, messenger, dialogs); return;
    }
}
