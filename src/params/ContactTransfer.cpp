#include "params/ContactTransfer.h"

#include "base/Messenger.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "drive/DriveMap.h"
#include "drive/DriveProfile.h"
#include "drive/ParameterCatalogue.h"
#include "link/DriveAccess.h"
#include "link/LinkSettings.h"
#include "params/NolvaServoDoc.h"
#include "params/ParameterTransfer.h"
#include "params/ReadParameterNow.h"

#include <array>

namespace {

QString ReadText(int number) {
    return QStringLiteral("读取输入/输出接点规划参数:") + QString::asprintf("Hn5%02d", number);
}

QString WriteText(int number) {
    return QString::asprintf("写入输入/输出接点规划参数: Hn5%02d", number);
}

} // namespace

ContactTransfer::ContactTransfer(DriveAccess& access, const LinkSettings& settings,
                                 DriveProfile& profile, CNolvaServoDoc& document,
                                 Messenger& messenger)
    : access_(access), settings_(settings), profile_(profile), document_(document),
      messenger_(messenger) {}

bool ContactTransfer::Fail() {
    if (progress_ != nullptr) {
        progress_->Close();
    }
    Message message;
    message.text = StringText(StringId::kErrorCaption) + QStringLiteral(":\n\n") +
                   (failedRead_ ? ReadText(failedNumber_) : WriteText(failedNumber_));
    message.caption = StringText(StringId::kLinkCaption);
    message.icon = MessageIcon::Error;
    messenger_.show(message);
    return false;
}

bool ContactTransfer::Read() {
    if (!access_.LinkUp) {
        return false;
    }
    if (progress_ != nullptr) {
        progress_->Open(QString(), kParameterCount);
    }
    std::array<int32_t, 20> values{};
    for (int n = 1; n <= kParameterCount; ++n) {
        const ParamCode code{'H', n};
        if (progress_ != nullptr) {
            progress_->SetText(ReadText(n));
            progress_->Step();
        }
        int32_t value = 0;
        const bool ok = ReadParameterNow(access_, settings_, profile_, code, &value);
        if (progress_ != nullptr) {
            progress_->ExchangeDone();
        }
        if (!ok) {
            failedRead_ = true;
            failedNumber_ = n;
            return Fail();
        }
        values[static_cast<size_t>(n - 1)] = value;
    }
    if (progress_ != nullptr) {
        progress_->Close();
    }
    document_.contactsInDrive = values;
    return true;
}

bool ContactTransfer::Write() {
    if (!access_.LinkUp) {
        return false;
    }
    if (progress_ != nullptr) {
        progress_->Open(QString(), kParameterCount);
    }
    for (int n = 1; n <= kParameterCount; ++n) {
        const ParamCode code{'H', n};
        if (progress_ != nullptr) {
            progress_->SetText(WriteText(n));
            progress_->Step();
        }
        const int32_t raw =
            DisplayToRaw(code, *document_.values.slot(code), profile_.maxMotorSpeed);
        bool ok = true;
        if (settings_.RS485Port) {
            ok = access_.WriteParameterModbus(code, raw, settings_.AsciiMode);
        } else {
            const int index = ParameterIndexOf(code);
            for (int step = 0; ok && step < DriveAccess::kStoreSteps - 1; ++step) {
                ok = access_.StoreStep(step, index, raw);
            }
        }
        if (progress_ != nullptr) {
            progress_->ExchangeDone();
        }
        if (!ok) {
            failedRead_ = false;
            failedNumber_ = n;
            return Fail();
        }
    }
    if (progress_ != nullptr) {
        progress_->Close();
    }
    ShowWriteSuccess(messenger_, true); // the drive takes contact functions at its next start
    return true;
}
