#include "planning/PositionTransfer.h"

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

QString PositionReadText(int item) {
    return QStringLiteral("读取内部位置命令路径规划参数: ") +
           QString::asprintf("Pn3%02d", PlannerItemParameter(item).number);
}

QString PositionWriteText(int item) {
    return QString::asprintf("写入内部位置命令路径规划参数: Pn3%02d",
                             PlannerItemParameter(item).number);
}

PositionTransfer::PositionTransfer(DriveAccess& access, const LinkSettings& settings,
                                   const DriveProfile& profile, CNolvaServoDoc& document,
                                   Messenger& messenger)
    : access_(access), settings_(settings), profile_(profile), document_(document),
      messenger_(messenger) {}

void PositionTransfer::Begin(const QString& text) {
    if (progress_ != nullptr) {
        progress_->SetText(text);
        progress_->Step();
    }
}

bool PositionTransfer::Fail(const QString& text) {
    if (progress_ != nullptr) {
        progress_->Close();
    }
    Message message;
    message.text = StringText(StringId::kErrorCaption) + QStringLiteral(":\n\n") + text;
    message.caption = StringText(StringId::kLinkCaption);
    message.icon = MessageIcon::Error;
    messenger_.show(message);
    return false;
}

bool PositionTransfer::Read() {
    if (!access_.LinkUp) {
        return false;
    }
    if (progress_ != nullptr) {
        progress_->Open(QString(), kPlannerItems);
    }
    PlannerValues values{};
    for (int item = 0; item < kPlannerItems; ++item) {
        const ParamCode code = PlannerItemParameter(item);
        Begin(PositionReadText(item));
        int32_t value = 0;
        const bool ok = ReadParameterNow(access_, settings_, profile_, code, &value);
        if (progress_ != nullptr) {
            progress_->ExchangeDone();
        }
        if (!ok) {
            return Fail(PositionReadText(item));
        }
        values[static_cast<size_t>(item)] = value;
    }
    if (progress_ != nullptr) {
        progress_->Close();
    }
    if (PlannerValuesOf(document_.values) != values) {
        SetPlannerValues(document_.values, values);
        document_.modified = true;
    }
    return true;
}

bool PositionTransfer::Write() {
    if (!access_.LinkUp) {
        return false;
    }
    if (progress_ != nullptr) {
        progress_->Open(QString(), kPlannerItems);
    }
    const PlannerValues values = PlannerValuesOf(document_.values);
    for (int item = 0; item < kPlannerItems; ++item) {
        const ParamCode code = PlannerItemParameter(item);
        Begin(PositionWriteText(item));
        const int32_t raw =
            DisplayToRaw(code, values[static_cast<size_t>(item)], profile_.maxMotorSpeed);
        const int index = ParameterIndexOf(code);
        for (int step = 0; step < DriveAccess::kStoreSteps; ++step) {
            const bool ok = access_.StoreStep(step, index, raw);
            if (progress_ != nullptr) {
                progress_->ExchangeDone();
            }
            if (!ok) {
                return Fail(PositionWriteText(item));
            }
        }
    }
    if (progress_ != nullptr) {
        progress_->Close();
    }
    ShowWriteSuccess(messenger_, true); // Pn313 and Pn316 take effect at the drive's next start
    return true;
}
