#include "drive/StatusTexts.h"

#include "base/StringIds.h"
#include "base/StringTable.h"

namespace {} // namespace

QString AlarmText(uint16_t alarmWord) {
    if (alarmWord == 0) {
        return StringText(StringId::kNoAlarm);
    }
    for (int bit = 0; bit < 15; ++bit) {
        if ((alarmWord & (1u << bit)) != 0) {
            return StringText(StringId::kFirstAlarm + bit);
        }
    }
    return StringText(StringId::kOverVoltageAlarm);
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
