#include "monitor/AlarmHistory.h"

#include "base/Messenger.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "drive/DriveProfile.h"
#include "drive/ParameterCatalogue.h"
#include "link/DriveAccess.h"
#include "params/NolvaServoDoc.h"
#include "params/ParameterTransfer.h"

namespace {

constexpr int kPointerIndex = 0x0A;
constexpr int32_t kHighestAlarmCode = 15;

} // namespace

QString AlarmRowName(int row) {
    return row == 0 ? QStringLiteral("AL") : QString::asprintf("A%d", row);
}

QString AlarmCodeText(int32_t code) {
    if (code < 0 || code > kHighestAlarmCode) {
        return QStringLiteral("-----");
    }
    return StringText(StringId::kNoAlarm + code);
}

AlarmHistory::AlarmHistory(DriveAccess& access, const LinkSettings& settings,
                           const DriveProfile& profile, CNolvaServoDoc& document,
                           Messenger& messenger)
    : document_(document), channel_(access, settings, profile, messenger) {}

int32_t AlarmHistory::Code(int row) const {
    return row >= 0 && row < kEntryCount ? codes_[static_cast<size_t>(row)] : 0;
}

QString AlarmHistory::CodeText(int row) const {
    return QString::asprintf("%02d", Code(row));
}

QString AlarmHistory::Description(int row) const {
    return QStringLiteral("   ") + AlarmCodeText(Code(row));
}

bool AlarmHistory::Update(TransferProgress* progress) {
    if (!readRequested_) {
        return true;
    }
    // The pointer goes before the window opens.
    channel_.SetProgress(nullptr);
    int32_t pointer = 0;
    if (!channel_.FetchWord(kPointerIndex, &pointer)) {
        return false;
    }
    pointer &= 0xFFFF;
    document_.alarmHistoryPosition = pointer;

    channel_.SetProgress(progress);
    channel_.Progress().Open(QString(), kReadSteps);
    std::array<int32_t, kEntryCount> entries{};
    for (int i = 0; i < kEntryCount; ++i) {
        channel_.BeginParameter(StringText(StringId::kAlarmHistoryReading) + AlarmRowName(i),
                                DriveAccess::kFetchSteps);
        if (!channel_.Read({'A', i + 1}, ParameterRoute::Mailbox,
                           &entries[static_cast<size_t>(i)])) {
            channel_.Progress().Close();
            return false;
        }
        document_.alarmHistory[static_cast<size_t>(i)] = entries[static_cast<size_t>(i)];
    }
    channel_.Progress().Close();

    // Newest first. A pointer beyond the ring (a drive fault) is taken round the ring rather than
    // read past its end.
    std::array<int32_t, kEntryCount> rows{};
    int k = (pointer % kEntryCount) - 1;
    for (int row = 0; row < kEntryCount; ++row) {
        if (k < 0) {
            k = kEntryCount - 1;
        }
        rows[static_cast<size_t>(row)] = entries[static_cast<size_t>(k)];
        --k;
    }
    codes_ = rows;
    if (channel_.LinkUp()) {
        emit changed();
    }
    readRequested_ = false;
    return true;
}

bool AlarmHistory::Clear() {
    if (!channel_.LinkUp()) {
        return false;
    }
    channel_.SetProgress(nullptr);
    for (int i = 0; i < kEntryCount; ++i) {
        if (!channel_.Write({'A', i + 1}, 0, ParameterRoute::Mailbox, true)) {
            return channel_.Fail(StringText(StringId::kLinkError),
                                 StringText(StringId::kClearAlarmCaption));
        }
    }
    for (int i = 0; i < kEntryCount; ++i) {
        document_.alarmHistory[static_cast<size_t>(i)] = 0;
    }
    codes_ = {};
    emit changed();
    return true;
}
