#include "drive/StatusTexts.h"

#include "base/StringTable.h"

namespace {

constexpr int kNoAlarmText = 380;     // "无异常警报发生。"
constexpr int kFirstAlarmText = 381;  // bit 0; bit i uses 381 + i up to bit 14
constexpr int kOverVoltageText = 382; // bit 15 reports as over-voltage, like bit 1

} // namespace

QString AlarmText(uint16_t alarmWord) {
    if (alarmWord == 0) {
        return StringText(kNoAlarmText);
    }
    for (int bit = 0; bit < 15; ++bit) {
        if ((alarmWord & (1u << bit)) != 0) {
            return StringText(kFirstAlarmText + bit);
        }
    }
    return StringText(kOverVoltageText);
}

QString ControlModeText(int32_t controlMode) {
    static const char* const kModes[] = {"T", "S", "Pe", "Pe-S", "S-T", "Pe-T", "Pi"};
    if (controlMode < 0 || controlMode >= static_cast<int32_t>(std::size(kModes))) {
        return {};
    }
    return QLatin1String(kModes[controlMode]);
}

QString VersionText(int32_t version) {
    return QString::asprintf("%d.%02d", version / 100, version % 100);
}
