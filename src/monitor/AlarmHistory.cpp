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

AlarmHistory::AlarmHistory(DriveAccess& access, const DriveProfile& profile,
                           CNolvaServoDoc& document, Messenger& messenger)
    : access_(access), profile_(profile), document_(document), messenger_(messenger) {}

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
    for (int step = 0; step < DriveAccess::kFetchSteps; ++step) {
        if (!access_.FetchStep(step, kPointerIndex)) {
            return false;
        }
    }
    const int32_t pointer = access_.LastValue & 0xFFFF;
    document_.alarmHistoryPosition = pointer;

    if (progress != nullptr) {
        progress->Open(QString(), kReadSteps);
    }
    std::array<int32_t, kEntryCount> entries{};
    for (int i = 0; i < kEntryCount; ++i) {
        if (progress != nullptr) {
            progress->SetText(StringText(StringId::kAlarmHistoryReading) + AlarmRowName(i));
        }
        for (int step = 0; step < DriveAccess::kFetchSteps; ++step) {
            if (progress != nullptr) {
                progress->Step();
            }
            const bool ok = access_.FetchStep(step, i);
            if (progress != nullptr) {
                progress->ExchangeDone();
            }
            if (!ok) {
                if (progress != nullptr) {
                    progress->Close();
                }
                return false;
            }
        }
        entries[static_cast<size_t>(i)] =
            RawToDisplay({'A', i + 1}, access_.LastValue, profile_.maxMotorSpeed);
        document_.alarmHistory[static_cast<size_t>(i)] = entries[static_cast<size_t>(i)];
    }
    if (progress != nullptr) {
        progress->Close();
    }

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
    if (access_.LinkUp) {
        emit changed();
    }
    readRequested_ = false;
    return true;
}

bool AlarmHistory::Clear() {
    if (!access_.LinkUp) {
        return false;
    }
    for (int i = 0; i < kEntryCount; ++i) {
        for (int step = 0; step < DriveAccess::kStoreSteps; ++step) {
            if (!access_.StoreStep(step, i, 0)) {
                Message message;
                message.text = StringText(StringId::kErrorCaption) + QStringLiteral(":\n\n") +
                               StringText(StringId::kLinkError);
                message.caption = StringText(StringId::kClearAlarmCaption);
                message.icon = MessageIcon::Error;
                messenger_.show(message);
                return false;
            }
        }
    }
    for (int i = 0; i < kEntryCount; ++i) {
        document_.alarmHistory[static_cast<size_t>(i)] = 0;
    }
    codes_ = {};
    emit changed();
    return true;
}
