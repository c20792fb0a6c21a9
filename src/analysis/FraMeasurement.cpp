#include "analysis/FraMeasurement.h"

#include "base/CFormat.h"
#include "base/Messenger.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "drive/DriveMap.h"
#include "drive/ParameterCatalogue.h"
#include "link/DriveOperations.h"
#include "params/DriveConnection.h"

#include <algorithm>
#include <limits>

namespace {

// "追踪设定资料至伺服驱动器。": what every failed step of a run reports.
constexpr int kRunFailedText = 770;

constexpr int kLoadTorqueMin = 1;
constexpr int kLoadTorqueMax = 100;
constexpr int kBufferWords = 1024;

// Half word values: the drive's "ready" and the host's "fetched".
constexpr int kFirstHalfReady = 0;
constexpr int kSecondHalfReady = 2;
constexpr int kFirstHalfFetched = 1;
constexpr int kSecondHalfFetched = 0;
constexpr int kRunStart = 1;
constexpr int kRunEnd = 0;

void ShowLinkError(Messenger& messenger) {
    Message message;
    message.text = StringText(StringId::kLinkError);
    message.caption = StringText(StringId::kLinkCaption);
    message.icon = MessageIcon::Error;
    messenger.show(message);
}

void ShowStepError(Messenger& messenger, const QString& step) {
    Message message;
    message.text = StringText(StringId::kErrorCaption) + QStringLiteral(":\n\n") + step;
    message.caption = StringText(StringId::kLinkCaption);
    message.icon = MessageIcon::Error;
    messenger.show(message);
}

} // namespace

int32_t FieldInteger(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace()) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    int64_t value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        value = std::min<int64_t>(value * 10 + (text[i].unicode() - '0'),
                                  int64_t{std::numeric_limits<int32_t>::max()} + 1);
    }
    value = negative ? -value : value;
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

std::optional<int> LoadTorqueOfField(const QString& text, Messenger& messenger) {
    if (text.isEmpty()) {
        messenger.show(QString::fromUtf8("请输入加载转矩的相对大小！"));
        return std::nullopt;
    }
    const int32_t percent = FieldInteger(text);
    if (percent < kLoadTorqueMin || percent > kLoadTorqueMax) {
        messenger.show(QString::fromUtf8("加载转矩不在设定的范围内！"));
        return std::nullopt;
    }
    return percent;
}

FraMeasurement::FraMeasurement(DriveConnection& connection, const DriveProfile& profile,
                               Messenger& messenger)
    : connection_(connection), profile_(profile), messenger_(messenger) {}

bool FraMeasurement::Start(const QString& loadText, FraRecord& record,
                           const std::function<void()>& accepted) {
    if (!connection_.LinkUp()) {
        ShowLinkError(messenger_);
        return false;
    }
    const std::optional<int> load = LoadTorqueOfField(loadText, messenger_);
    if (!load || connection_.Operations().Running()) {
        return false;
    }
    if (accepted) {
        accepted();
    }
    record = FraRecord{};
    bool ok = false;
    connection_.Operations().RunExclusive([&] { ok = Run(*load, record); });
    return ok;
}

bool FraMeasurement::Run(int loadPercent, FraRecord& record) {
    if (!connection_.LinkUp()) {
        ShowLinkError(messenger_);
        return false;
    }
    if (!StartExcitation(loadPercent)) {
        return false;
    }
    if (!Poll(record)) {
        return false;
    }
    DriveAccess& access = connection_.Access();
    if (!access.WriteDriveWord(DriveMap::kRunClearSecond, 0, false) ||
        !access.WriteDriveWord(DriveMap::kRunControl, kRunEnd, false)) {
        return Fail();
    }
    return true;
}

bool FraMeasurement::StartExcitation(int loadPercent) {
    DriveAccess& access = connection_.Access();
    const int32_t n = profile_.maxMotorSpeed;
    const bool ok =
        access.WriteDriveWord(DriveMap::kRunSpeedSetting, DisplayToRaw({'M', 1}, kSpeedSetting, n),
                              false) &&
        access.WriteDriveWord(DriveMap::kRunClearSecond, 0, false) &&
        access.WriteDriveWord(DriveMap::kRunClearFirst, 0, false) &&
        access.WriteDriveWord(DriveMap::kRunLoadTorque, DisplayToRaw({'M', 10}, loadPercent, n),
                              false) &&
        access.WriteDriveWord(DriveMap::kRunControl, kRunStart, false);
    return ok || Fail();
}

// Polls the run control word without pause until the second half has been fetched and
// acknowledged. A failed poll or half-word read ends the run; a failed acknowledgement is tried
// again at the next poll, as the drive still shows the same half.
bool FraMeasurement::Poll(FraRecord& record) {
    DriveAccess& access = connection_.Access();
    int64_t lastHalfAt = ClockMs();
    for (;;) {
        if (pump_) {
            pump_();
        }
        const int state = access.QueryServoState();
        if (state == 0) {
            return Fail();
        }
        if (state == 2) {
            if (!access.ReadDriveWord(DriveMap::kRunHalf)) {
                return Fail();
            }
            const int half = access.LastValue;
            if (half == kFirstHalfReady || half == kSecondHalfReady) {
                if (!FetchHalf(half, record)) {
                    if (cancelled_) { // the user stopped it: the drive ends its run too
                        access.WriteDriveWord(DriveMap::kRunClearSecond, 0, false);
                        access.WriteDriveWord(DriveMap::kRunControl, kRunEnd, false);
                    }
                    return false;
                }
                lastHalfAt = ClockMs();
                const bool second = half == kSecondHalfReady;
                if (access.WriteDriveWord(DriveMap::kRunHalf,
                                          second ? kSecondHalfFetched : kFirstHalfFetched,
                                          false) &&
                    second) {
                    return true;
                }
                continue;
            }
        }
        if (ClockMs() - lastHalfAt > kRunPatienceMs) {
            return Fail();
        }
    }
}

bool FraMeasurement::FetchHalf(int halfState, FraRecord& record) {
    cancelled_ = false;
    if (progress_ != nullptr && !progress_->Open(kBufferWords)) {
        progress_->Close();
        cancelled_ = true;
        return false;
    }
    const bool ok = ReadHalfRecord(halfState, record);
    if (progress_ != nullptr) {
        progress_->Close();
    }
    return ok;
}

bool FraMeasurement::ReadHalfRecord(int halfState, FraRecord& record) {
    DriveAccess& access = connection_.Access();
    const int first = (halfState == kSecondHalfReady ? 1 : 0) * kBufferWords / 2;
    int32_t previous = 0;
    for (int count = 1; count <= kBufferWords; ++count) {
        const int word = count - 1;
        const QString text = FormatC("%d/1024--->(%04XH)", count, static_cast<unsigned>(previous));
        if (progress_ != nullptr) {
            progress_->SetText(text);
            progress_->Step();
        }
        const int location = word % DriveMap::kPageSize;
        int32_t raw = 0;
        if (!access.ReadSignedWord(DriveMap::kRecordPages[word / DriveMap::kPageSize], location,
                                   &raw)) {
            ShowStepError(messenger_, text);
            return false;
        }
        // The torque word of a pair sits at the even location, the speed word after it.
        const bool torque = location % 2 == 0;
        previous = RawToDisplay(torque ? ParamCode{'R', 2} : ParamCode{'R', 1}, raw,
                                profile_.maxMotorSpeed);
        RecordArray& into = torque ? record.torque : record.speed;
        into[first + word / 2 + 1] = previous;
        if (progress_ != nullptr && !progress_->ExchangeDone()) {
            cancelled_ = true;
            return false;
        }
    }
    return true;
}

bool FraMeasurement::Fail() {
    ShowStepError(messenger_, StringText(kRunFailedText));
    return false;
}

int64_t FraMeasurement::ClockMs() const {
    SerialBackend* backend = connection_.Link().Backend();
    return backend != nullptr ? backend->clockMs() : 0;
}
