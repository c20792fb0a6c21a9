#include "trace/TraceSettings.h"

#include "base/CFormat.h"
#include "base/StringTable.h"
#include "drive/ParameterCatalogue.h"

#include <cmath>

namespace {

constexpr int kFirstQuantityString = 750; // 750..757, the data 1 list
constexpr int kNoneString = 749;
constexpr int kSecondsString = 771;
constexpr int kFirstDoParameter = TraceSettings::kDiCount; // Hn514 is DO-1
constexpr float kTorqueUnit = 40.96F;                      // raw units per %: 4096 is 100 %
constexpr float kElectricDegreeUnit = 2.841666666666667F;  // raw units per degree: 1023 / 360

// The trigger list: after "None" the four analog quantities in this order.
constexpr std::array<int, 4> kTriggerQuantityStrings{753, 750, 751, 752};

// A contact's function number from its parameter: v − 1, or v − 257 for a normally closed one.
int FunctionIndex(int32_t value) {
    return value >= 256 ? value - 257 : value - 1;
}

} // namespace

bool TraceSettings::SetIntervalCode(int32_t code) {
    if (code < kMinIntervalCode || code > kMaxIntervalCode)
        return false;
    intervalCode = code;
    return true;
}

bool TraceSettings::SetTriggerLevel(int32_t level) {
    if (level < 0 || level > TriggerLevelMax(triggerMode))
        return false;
    triggerLevel = level;
    return true;
}

void TraceSettings::SetTriggerMode(int32_t mode) {
    triggerMode = mode;
    if (mode < 1 || mode > 3 || triggerLevel > TriggerLevelMax(mode))
        triggerLevel = 0;
}

int32_t TriggerLevelMax(int32_t mode) {
    if (mode >= 1 && mode <= 3)
        return 3000;
    return mode == 4 ? 300 : 0;
}

QString TriggerLevelUnitText(int32_t mode) {
    if (mode >= 1 && mode <= 3)
        return QStringLiteral("[rpm]  (0~3000)");
    return mode == 4 ? QStringLiteral("[%]  (0~300)") : QString();
}

int32_t TraceConfigurationWord(const TraceSettings& settings) {
    return settings.data2 * 512 + settings.data1 * 2 + settings.triggerMode * 4096;
}

void DecodeConfigurationWord(int32_t word, int32_t* data1, int32_t* data2, int32_t* triggerMode) {
    *data1 = (word >> 1) & 0xFF;
    *data2 = (word >> 9) & 0x7;
    *triggerMode = (word >> 12) & 0xF;
}

int32_t TriggerLevelRaw(const TraceSettings& settings, int32_t maxMotorSpeed) {
    const int32_t mode = settings.triggerMode;
    if (mode >= 1 && mode <= 3 && maxMotorSpeed != 0)
        return RoundSingle(static_cast<float>(settings.triggerLevel) * 16384.0F /
                           static_cast<float>(maxMotorSpeed));
    if (mode == 4)
        return RoundSingle(static_cast<float>(settings.triggerLevel) * 40.96F);
    return settings.triggerLevel;
}

std::vector<TraceWrite> TraceSetupWrites(const TraceSettings& settings, int32_t maxMotorSpeed) {
    return {{kTraceIntervalLocation, settings.intervalCode},
            {kTraceConfigLocation, TraceConfigurationWord(settings)},
            {kTraceLevelLocation, TriggerLevelRaw(settings, maxMotorSpeed)}};
}

int32_t ConvertTraceSample(int32_t selection, int16_t raw, int32_t maxMotorSpeed) {
    // The codec's R conversions, each rounded from a single-precision intermediate: at some
    // speeds (N = 3500, raw 2048 gives exactly 437.5) the double quotient lies just below the
    // half and would round the other way.
    const float x = static_cast<float>(raw);
    switch (selection) {
    case 0:
    case 1:
    case 3: return RoundSingle(x * static_cast<float>(maxMotorSpeed) / 16384.0F);
    case 2:
    case 4:
    case 5: return RoundSingle(x / kTorqueUnit);
    case 7: return RoundSingle(x / kElectricDegreeUnit);
    case kContactWordQuantity: return static_cast<uint16_t>(raw);
    default: return raw;
    }
}

QString QuantityText(int32_t selection) {
    if (selection < 0 || selection >= TraceSettings::kQuantityCount)
        return {};
    return StringText(kFirstQuantityString + selection);
}

QString QuantityUnit(int32_t selection) {
    switch (selection) {
    case 0:
    case 1:
    case 3: return QStringLiteral("rpm");
    case 2:
    case 4:
    case 5: return QStringLiteral("%");
    case 6: return QStringLiteral("pulse");
    case 7: return QStringLiteral("degree");
    default: return {};
    }
}

QString QuantityLegend(int32_t selection) {
    return QStringLiteral("%1 [%2]").arg(QuantityText(selection), QuantityUnit(selection));
}

uint32_t TraceColourRef(int32_t index) {
    static constexpr std::array<uint32_t, 15> kColours{
        0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0x808000, 0x800080,
        0xC0C0C0, 0x80FFFF, 0x80FF00, 0xFFFF80, 0xFF8080, 0x8000FF, 0x4080FF};
    if (index < 0 || index >= static_cast<int32_t>(kColours.size()))
        return 0xFFFFFF;
    return kColours[static_cast<size_t>(index)];
}

QString DiLegendText(const std::array<int32_t, TraceSettings::kContactCount>& functions,
                     int contact) {
    if (contact < 0 || contact >= TraceSettings::kDiCount)
        return {};
    return QStringLiteral("DI-%1 - ").arg(contact + 1) +
           DiFunctionName(FunctionIndex(functions[static_cast<size_t>(contact)]));
}

QString DoLegendText(const std::array<int32_t, TraceSettings::kContactCount>& functions,
                     int contact) {
    if (contact < 0 || contact >= TraceSettings::kDoCount)
        return {};
    return QStringLiteral("DO-%1 - ").arg(contact + 1) +
           DoFunctionName(
               FunctionIndex(functions[static_cast<size_t>(kFirstDoParameter + contact)]));
}

QString TriggerModeText(int32_t mode,
                        const std::array<int32_t, TraceSettings::kContactCount>& functions) {
    if (mode >= 1 && mode <= 4)
        return StringText(kTriggerQuantityStrings[static_cast<size_t>(mode - 1)]);
    if (mode >= 5 && mode <= 12)
        return DiLegendText(functions, mode - 5);
    if (mode >= 13 && mode <= 15)
        return DoLegendText(functions, mode - 13);
    return StringText(kNoneString);
}

QString TriggerLevelText(int32_t mode, int32_t level) {
    const int32_t max = TriggerLevelMax(mode);
    if (max == 0)
        return {};
    if (level < 0 || level > max)
        level = 0;
    return mode == 4 ? QStringLiteral(" %1 %").arg(level) : QStringLiteral(" %1 rpm").arg(level);
}

int32_t ExpectedWaitTicks(int32_t intervalUs, int32_t points) {
    return static_cast<int32_t>(static_cast<int64_t>(intervalUs) * points / 1000 / 100 + 1);
}

double RecordingSeconds(int32_t intervalUs, int32_t points) {
    return static_cast<double>(intervalUs) * points / 1000000.0;
}

QString WaitProgressText(int32_t ticks, int32_t intervalUs, int32_t points) {
    return FormatC("%.3f/%.3f ", ticks * 0.1, RecordingSeconds(intervalUs, points)) +
           StringText(kSecondsString);
}

TraceWait::TraceWait(int32_t intervalUs, int32_t points)
    : intervalUs_(intervalUs), points_(points), expected_(ExpectedWaitTicks(intervalUs, points)) {}

bool TraceWait::Tick() {
    ++ticks_;
    if (ticks_ >= expected_) {
        ticks_ = 0;
        return true;
    }
    return ticks_ % 4 == 0;
}

QString TraceWait::Text() const {
    return ticks_ == 0 ? QString() : WaitProgressText(ticks_, intervalUs_, points_);
}
