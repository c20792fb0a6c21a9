#include "sim/Scaling.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kPercentScale = 40.96;              // 4096 raw = 100 %
constexpr double kAnalogTorqueScale = 4096.0 / 1050; // raw per %/10V
constexpr double kMillivoltScale = 2.1504;           // raw per mV

// A double held within int32 and truncated toward zero.
int32_t Truncated(double x) {
    constexpr double kLow = std::numeric_limits<int32_t>::min();
    constexpr double kHigh = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::fmax(kLow, std::fmin(kHigh, std::trunc(x))));
}

int32_t Rounded(double x) {
    return Truncated(x >= 0 ? x + 0.5 : x - 0.5);
}

int32_t PlusHalfTruncated(double x) {
    return Truncated(x + 0.5);
}

int32_t Low16(int32_t x) {
    return x & 0xFFFF;
}

// Raw speed units per rpm: 16384 means N.
double SpeedScale(int32_t n) {
    return 16384.0 / n;
}

double AnalogSpeedScale(int32_t n) {
    return 67108864.0 / (static_cast<double>(n) * 21504.0);
}

} // namespace

int32_t RawToValue(Scaling scaling, int32_t raw, int32_t n) {
    switch (scaling) {
    case Scaling::Word16: return Low16(raw);
    case Scaling::Signed: return raw;
    case Scaling::Tenths: return Rounded(raw / 10.0);
    case Scaling::NegatedTenths: return -Rounded(raw / 10.0);
    case Scaling::Direction:
        switch (raw) {
        case 0: return 2;
        case 1: return 0;
        case 256: return 3;
        case 257: return 1;
        default: return Low16(raw);
        }
    case Scaling::Speed: return Rounded(raw / SpeedScale(n));
    case Scaling::Speed16: return Low16(PlusHalfTruncated(raw / SpeedScale(n)));
    case Scaling::Torque: return Rounded(raw / kPercentScale);
    case Scaling::Torque16: return Low16(Rounded(raw / kPercentScale));
    case Scaling::Offset256: return raw - 256;
    case Scaling::AnalogTorque: return Low16(PlusHalfTruncated(raw / kAnalogTorqueScale));
    case Scaling::Millivolt: return Rounded(raw / kMillivoltScale);
    case Scaling::Fifths: return Low16(raw / 5);
    case Scaling::AnalogSpeed: return Low16(PlusHalfTruncated(raw / AnalogSpeedScale(n)));
    case Scaling::TuningAcceleration:
        return PlusHalfTruncated(raw * (static_cast<double>(n) * 10000.0) / 16384.0);
    }
    return raw;
}

int32_t ValueToRaw(Scaling scaling, int32_t value, int32_t n) {
    switch (scaling) {
    case Scaling::Word16:
    case Scaling::Signed: return value;
    case Scaling::Tenths: return Rounded(value * 10.0);
    case Scaling::NegatedTenths: return -Rounded(value * 10.0);
    case Scaling::Direction:
        switch (value) {
        case 0: return 1;
        case 1: return 257;
        case 2: return 0;
        case 3: return 256;
        default: return value;
        }
    case Scaling::Speed:
    case Scaling::Speed16: return Rounded(SpeedScale(n) * value);
    case Scaling::Torque:
    case Scaling::Torque16: return Rounded(value * kPercentScale);
    case Scaling::Offset256: return value + 256;
    case Scaling::AnalogTorque: return Rounded(value * kAnalogTorqueScale);
    case Scaling::Millivolt: return Rounded(value * kMillivoltScale);
    case Scaling::Fifths: return value * 5;
    case Scaling::AnalogSpeed: return Rounded(AnalogSpeedScale(n) * value);
    case Scaling::TuningAcceleration:
        return Rounded(16384.0 / (static_cast<double>(n) * 10000.0) * value);
    }
    return value;
}
