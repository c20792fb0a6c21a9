#include "analysis/ResonanceFilter.h"

#include "analysis/FraMeasurement.h"
#include "analysis/ResponsePlot.h"
#include "base/Messenger.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "drive/ParameterCatalogue.h"
#include "link/DriveOperations.h"
#include "params/DriveConnection.h"
#include "params/NolvaServoDoc.h"

namespace {

constexpr ParamCode kFilterFrequency{'C', 13};
constexpr ParamCode kFilterQuality{'C', 14};

void ShowRangeError(Messenger& messenger, const char* text) {
    Message message;
    message.text = QString::fromUtf8(text);
    message.caption = StringText(StringId::kErrorCaption);
    message.icon = MessageIcon::Error;
    messenger.Show(message);
}

void TakeIntoDocument(CNolvaServoDoc& document, ParamCode code, int32_t value) {
    int32_t* slot = document.values.Slot(code);
    if (slot != nullptr && *slot != value) {
        *slot = value;
        document.modified = true;
    }
}

} // namespace

FilterWrite WriteResonanceFilter(DriveConnection& connection, CNolvaServoDoc& document,
                                 const DriveProfile& profile, Messenger& messenger,
                                 const QString& frequencyText, const QString& qualityText) {
    if (!connection.RequireLink(messenger)) {
        return FilterWrite::NotLinked;
    }
    const int32_t frequency = FieldInteger(frequencyText);
    if (!FilterFrequencyInRange(frequency)) {
        ShowRangeError(messenger, "滤波器频率超出设定范围！");
        return FilterWrite::FrequencyOutOfRange;
    }
    const int32_t quality = FieldInteger(qualityText);
    if (!FilterQualityInRange(quality)) {
        ShowRangeError(messenger, "滤波器品质因数超出设定范围！");
        return FilterWrite::QualityOutOfRange;
    }
    TakeIntoDocument(document, kFilterFrequency, frequency);
    TakeIntoDocument(document, kFilterQuality, quality);
    if (connection.Operations().Running()) {
        return FilterWrite::Failed;
    }
    bool stored = false;
    connection.Operations().RunExclusive([&] {
        DriveAccess& access = connection.Access();
        const int32_t n = profile.maxMotorSpeed;
        stored = access.StoreParameter(ParameterIndexOf(kFilterFrequency),
                                       DisplayToRaw(kFilterFrequency, frequency, n)) &&
                 access.StoreParameter(ParameterIndexOf(kFilterQuality),
                                       DisplayToRaw(kFilterQuality, quality, n));
    });
    if (!stored) {
        return FilterWrite::Failed;
    }
    ShowWriteSuccess(messenger, true);
    return FilterWrite::Written;
}
