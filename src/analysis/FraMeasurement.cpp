#include "analysis/FraMeasurement.h"

#include "base/CFormat.h"
#include "base/Messenger.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "drive/DriveMap.h"
#include "drive/ParameterCatalogue.h"
#include "link/DriveOperations.h"
#include "link/MotionExits.h"
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

// "错误:\n\n" and the step, then what was left running when the run could not be ended.
void ShowStepError(DriveConnection& connection, Messenger& messenger, const QString& step,
                   const QString& notEnded = {}) {
    QString text = StringText(StringId::kErrorCaption) + QStringLiteral(":\n\n") + step;
    if (!notEnded.isEmpty()) {
        text += QStringLiteral("\n\n") + notEnded;
    }
    connection.TellLinkFailure(messenger, text);
}

} // namespace

QString FraNotEndedText() {
    return QString::fromUtf8("机械特性分析的运转未能结束：驱动器未回应，电机可能仍在运转！");
}

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
        messenger.Show(QString::fromUtf8("请输入加载转矩的相对大小！"));
        return std::nullopt;
    }
    const int32_t percent = FieldInteger(text);
    if (percent < kLoadTorqueMin || percent > kLoadTorqueMax) {
        messenger.Show(QString::fromUtf8("加载转矩不在设定的范围内！"));
        return std::nullopt;
    }
    return percent;
}

FraMeasurement::FraMeasurement(DriveConnection& connection, const DriveProfile& profile,
                               Messenger& messenger)
    : connection_(connection), profile_(profile), messenger_(messenger) {}

bool FraMeasurement::Start(const QString& loadText, FraRecord& record,
                           const std::function<void()>& accepted) {
    if (!connection_.RequireLink(messenger_)) {
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
    if (!connection_.RequireLink(messenger_)) {
        return false;
    }
    failedStep_.clear();
    QString startNotEnded;
    if (!StartExcitation(loadPercent, &startNotEnded)) {
        ShowStepError(connection_, messenger_, failedStep_, startNotEnded);
        return false;
    }
    // From the start on the drive runs: every way out of the measurement ends the run.
    const auto run =
        std::make_shared<Motion>([access = &connection_.Access()] { return EndRun(*access); });
    connection_.Motions().Add(run);
    run_ = run.get();
    cancelled_ = false;
    const bool complete = Poll(record);
    run_ = nullptr;
    if (run->Ended()) {
        return false; // the program's quit ended it and has said so where it failed
    }
    const QString notEnded = run->End();
    if (complete && notEnded.isEmpty()) {
        return true;
    }
    if (complete) {
        failedStep_ = StringText(kRunFailedText);
    }
    if (!failedStep_.isEmpty()) {
        ShowStepError(connection_, messenger_, failedStep_, notEnded);
    } else if (!notEnded.isEmpty()) { // cancelled by the user
        ShowStepError(connection_, messenger_, StringText(kRunFailedText), notEnded);
    }
    return false;
}

QString FraMeasurement::EndRun(DriveAccess& access) {
    // Both are sent whatever the first one's fate.
    const bool cleared = access.WriteDriveWord(DriveMap::kRunClearSecond, 0, false);
    const bool ended = access.WriteDriveWord(DriveMap::kRunControl, kRunEnd, false);
    return cleared && ended ? QString() : FraNotEndedText();
}

bool FraMeasurement::Ended() const {
    return run_ != nullptr && run_->Ended();
}

bool FraMeasurement::StartExcitation(int loadPercent, QString* notEnded) {
    DriveAccess& access = connection_.Access();
    const int32_t n = profile_.maxMotorSpeed;
    const bool prepared = access.WriteDriveWord(DriveMap::kRunSpeedSetting,
                                                DisplayToRaw({'M', 1}, kSpeedSetting, n), false) &&
                          access.WriteDriveWord(DriveMap::kRunClearSecond, 0, false) &&
                          access.WriteDriveWord(DriveMap::kRunClearFirst, 0, false) &&
                          access.WriteDriveWord(DriveMap::kRunLoadTorque,
                                                DisplayToRaw({'M', 10}, loadPercent, n), false);
    if (!prepared) {
        return Fail();
    }
    if (access.WriteDriveWord(DriveMap::kRunControl, kRunStart, false)) {
        return true;
    }
    // The start may have reached the drive with only its answer lost: the run is ended as
    // Cancel ends it, so that a motor that did start is not left turning unseen.
    *notEnded = EndRun(access);
    return Fail();
}

// Polls the run control word without pause until the second half has been fetched and
// acknowledged. A failed poll or half-word read ends the measurement; a failed acknowledgement
// is tried again at the next poll, as the drive still shows the same half.
bool FraMeasurement::Poll(FraRecord& record) {
    DriveAccess& access = connection_.Access();
    int64_t lastHalfAt = ClockMs();
    for (;;) {
        if (pump_) {
            pump_();
        }
        if (Ended()) {
            return false;
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
                    return false;
                }
                lastHalfAt = ClockMs();
                const bool second = half == kSecondHalfReady;
                if (access.WriteDriveWord(DriveMap::kRunHalf,
                                          second ? kSecondHalfFetched : kFirstHalfFetched, false) &&
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
        cancelled_ = !Ended();
        return false;
    }
    const bool ok = ReadHalf(halfState, record);
    if (progress_ != nullptr) {
        progress_->Close();
    }
    return ok;
}

bool FraMeasurement::ReadHalfRecord(int halfState, FraRecord& record) {
    failedStep_.clear();
    const bool ok = ReadHalf(halfState, record);
    if (!failedStep_.isEmpty()) {
        ShowStepError(connection_, messenger_, failedStep_);
    }
    return ok;
}

bool FraMeasurement::ReadHalf(int halfState, FraRecord& record) {
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
            failedStep_ = text;
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
        if (Ended()) {
            return false;
        }
    }
    return true;
}

bool FraMeasurement::Fail() {
    failedStep_ = StringText(kRunFailedText);
    return false;
}

int64_t FraMeasurement::ClockMs() const {
    SerialBackend* backend = connection_.Link().Backend();
    return backend != nullptr ? backend->ClockMs() : 0;
}
