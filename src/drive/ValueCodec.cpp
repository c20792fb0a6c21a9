// Conversions between the drive's raw register words and the numbers the user sees.

#include "drive/CatalogueTable.h"
#include "drive/ParameterCatalogue.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// 4096 raw units are 100 % torque.
constexpr double kTorqueUnit = 40.96;
// 4096 / 1050: raw units per % of the analog torque command scale.
constexpr double kAnalogTorqueUnit = 3.900952380952381;
// Raw units per mV of the analog offset adjustments.
constexpr double kMillivoltUnit = 2.1504;
// Raw units per unit of the tuning monitor value R 7.
constexpr double kTuningLoadUnit = 2.841666666666667;

// A double to int32 without undefined behaviour: out-of-range values saturate and a value that
// is not a number (N = 0) gives 0.
int32_t ToInt32(double x) {
    if (std::isnan(x)) {
        return 0;
    }
    if (x >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
        return std::numeric_limits<int32_t>::max();
    }
    if (x <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(x); // truncates toward zero
}

// Half away from zero.
int32_t Round(double x) {
    return ToInt32(x >= 0.0 ? x + 0.5 : x - 0.5);
}

// Add one half and truncate toward zero whatever the sign.
int32_t HalfUpTruncated(double x) {
    return ToInt32(x + 0.5);
}

int32_t MonitorSpeedToDisplay(int32_t raw, int32_t n) {
    return RoundSingle(static_cast<float>(raw) * static_cast<float>(n) / 16384.0F);
}

int32_t MonitorPercentToDisplay(int32_t raw) {
    return RoundSingle(static_cast<float>(raw) / static_cast<float>(kTorqueUnit));
}

int32_t Low16(int32_t x) {
    return x & 0xFFFF;
}

double SpeedUnit(int32_t n) {
    return 16384.0 / n; // raw units per rpm: 16384 means N
}

int32_t SpeedToDisplay(int32_t raw, int32_t n) {
    return Round(raw / SpeedUnit(n));
}

int32_t Speed16ToDisplay(int32_t raw, int32_t n) {
    return Low16(HalfUpTruncated(raw / SpeedUnit(n)));
}

int32_t SpeedToRaw(int32_t value, int32_t n) {
    return Round(SpeedUnit(n) * value);
}

int32_t TorqueToDisplay(int32_t raw) {
    return Round(raw / kTorqueUnit);
}

int32_t TorqueToRaw(int32_t value) {
    return Round(value * kTorqueUnit);
}

double AnalogSpeedUnit(int32_t n) {
    return 67108864.0 / (static_cast<double>(n) * 21504.0);
}

int32_t ParameterToDisplay(Conversion conversion, int32_t raw, int32_t n) {
    switch (conversion) {
    case Conversion::Bits16: return Low16(raw);
    case Conversion::SignedRaw: return raw;
    case Conversion::Tenths: return Round(raw / 10.0);
    case Conversion::NegatedTenths: return Round(-static_cast<double>(raw) / 10.0);
    case Conversion::DirectionCode:
        switch (raw) {
        case 0: return 2;
        case 1: return 0;
        case 256: return 3;
        case 257: return 1;
        default: return Low16(raw);
        }
    case Conversion::Speed: return SpeedToDisplay(raw, n);
    case Conversion::Speed16: return Speed16ToDisplay(raw, n);
    case Conversion::Torque: return TorqueToDisplay(raw);
    case Conversion::Torque16: return Low16(TorqueToDisplay(raw));
    case Conversion::Offset256: return static_cast<int32_t>(static_cast<int64_t>(raw) - 256);
    case Conversion::AnalogTorqueScale: return Low16(HalfUpTruncated(raw / kAnalogTorqueUnit));
    case Conversion::Millivolt: return Round(raw / kMillivoltUnit);
    case Conversion::Fifths: return Low16(raw / 5);
    case Conversion::AnalogSpeedScale: return Low16(HalfUpTruncated(raw / AnalogSpeedUnit(n)));
    }
    return raw;
}

int32_t ParameterToRaw(Conversion conversion, int32_t value, int32_t n) {
    switch (conversion) {
    case Conversion::Bits16:
    case Conversion::SignedRaw: return value;
    case Conversion::Tenths: return Round(value * 10.0);
    case Conversion::NegatedTenths: return Round(-(value * 10.0));
    case Conversion::DirectionCode:
        switch (value) {
        case 0: return 1;
        case 1: return 257;
        case 2: return 0;
        case 3: return 256;
        default: return value;
        }
    case Conversion::Speed:
    case Conversion::Speed16: return SpeedToRaw(value, n);
    case Conversion::Torque:
    case Conversion::Torque16: return TorqueToRaw(value);
    case Conversion::Offset256: return static_cast<int32_t>(static_cast<int64_t>(value) + 256);
    case Conversion::AnalogTorqueScale: return Round(value * kAnalogTorqueUnit);
    case Conversion::Millivolt: return Round(value * kMillivoltUnit);
    case Conversion::Fifths: return static_cast<int32_t>(static_cast<int64_t>(value) * 5);
    case Conversion::AnalogSpeedScale: return Round(AnalogSpeedUnit(n) * value);
    }
    return value;
}

int32_t MonitorToDisplay(char letter, int number, int32_t raw, int32_t n) {
    switch (letter) {
    case 'U':
        switch (number) {
        case 1:
        case 6:
        case 11: return MonitorSpeedToDisplay(raw, n);
        case 2:
        case 4:
        case 5:
        case 12:
        case 13:
        case 18: return MonitorPercentToDisplay(raw);
        case 3: return Low16(raw);
        case 9: return ToInt32(static_cast<double>(raw) * 100.0 / 1638.4);
        case 10: return Low16(HalfUpTruncated(static_cast<double>(raw) * 502.0 / 1024.0));
        default: return raw;
        }
    case 'D': return number >= 1 && number <= 4 ? Low16(raw) : raw;
    case 'A': return number >= 1 && number <= 10 ? Low16(raw) : raw;
    case 'O':
        switch (number) {
        case 6: return Speed16ToDisplay(raw, n);
        // The whole value: the acceleration's range reaches 90000 rpm/s, past 16 bits.
        case 7: return HalfUpTruncated(static_cast<double>(raw) * (n * 10000.0) / 16384.0);
        case 8: return Low16(raw);
        default: return raw;
        }
    case 'R':
        switch (number) {
        case 0:
        case 1:
        case 3: return SpeedToDisplay(raw, n);
        case 2:
        case 4:
        case 5: return TorqueToDisplay(raw);
        case 7: return Round(raw / kTuningLoadUnit);
        case 8: return Low16(raw);
        default: return raw;
        }
    default: return raw;
    }
}

int32_t MonitorToRaw(char letter, int number, int32_t value, int32_t n) {
    switch (letter) {
    case 'O':
        switch (number) {
        case 6: return SpeedToRaw(value, n);
        case 7: return Round(16384.0 / (n * 10000.0) * value);
        default: return value;
        }
    case 'G':
        if (number >= 1 && number <= 3) {
            return SpeedToRaw(value, n);
        }
        return number == 4 ? TorqueToRaw(value) : value;
    case 'M':
        if (number == 1) {
            return SpeedToRaw(value, n);
        }
        return number == 10 ? TorqueToRaw(value) : value;
    default: return value;
    }
}

} // namespace

int32_t RawToDisplay(ParamCode code, int32_t raw, int32_t maxMotorSpeed) {
    const auto [letter, number] = code;
    if (const ParamSpec* p = FindParam({letter, number})) {
        return ParameterToDisplay(p->conversion, raw, maxMotorSpeed);
    }
    return MonitorToDisplay(letter, number, raw, maxMotorSpeed);
}

int32_t DisplayToRaw(ParamCode code, int32_t value, int32_t maxMotorSpeed) {
    const auto [letter, number] = code;
    if (const ParamSpec* p = FindParam({letter, number})) {
        return ParameterToRaw(p->conversion, value, maxMotorSpeed);
    }
    return MonitorToRaw(letter, number, value, maxMotorSpeed);
}

int32_t RoundSingle(float x) {
    return ToInt32(static_cast<double>(x < 0.0F ? x - 0.5F : x + 0.5F));
}
