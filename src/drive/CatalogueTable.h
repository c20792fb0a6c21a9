#pragma once

#include "drive/ParamCode.h"

#include <cstdint>
#include <span>

// The catalogue's rows: one per parameter of the six groups. Everything else in the catalogue
// (conversions, formats, ranges, defaults) reads these rows.

enum class Conversion : uint8_t {
    Bits16,            // low 16 bits of raw
    SignedRaw,         // raw unchanged
    Tenths,            // round(raw / 10)
    NegatedTenths,     // -round(raw / 10)
    DirectionCode,     // the four motor-direction codes
    Speed,             // round(raw / (16384 / N))
    Speed16,           // low 16 bits of (raw / (16384 / N), +1/2 truncated)
    Torque,            // round(raw / 40.96)
    Torque16,          // low 16 bits of round(raw / 40.96)
    Offset256,         // raw - 256
    AnalogTorqueScale, // low 16 bits of (raw / (4096 / 1050), +1/2 truncated)
    Millivolt,         // round(raw / 2.1504)
    Fifths,            // low 16 bits of raw / 5 (integer division)
    AnalogSpeedScale,  // low 16 bits of (raw / (67108864 / (N * 21504)), +1/2 truncated)
};

// How a range depends on the drive.
enum class RangeRule : uint8_t {
    Fixed,
    PlusMinusN, // -N..N (internal speed commands)
    UpToN,      // 0..N (internal speed limits)
};

// How a default depends on the drive.
enum class DefaultRule : uint8_t {
    Fixed,
    EncoderPulses, // encoder pulses per revolution
    ThirdOfN,      // N / 3, integer division
    ModelCode,     // the drive's model code
    N,             // maximum motor speed
    N102,          // N * 1.02, truncated
};

// What a write of a parameter needs beyond storing its value.
enum class WriteRule : uint8_t {
    Plain,
    LowBitsOnly,      // only the low two bits of the stored word are the parameter's: the write
                      // reads the word and replaces those bits; a read shows only them
    FollowUpCommit,   // the drive takes a change over only after a write of 1 to its commit word
    LowByteOnRestart, // a change of the low byte takes effect only after a restart: store only
};

// The bits of a LowBitsOnly parameter within its stored word.
inline constexpr int32_t kLowBitsOnlyMask = 0x3;

struct ParamSpec {
    char letter;
    int8_t number;
    uint8_t index;    // mailbox index / page-'5' location (high word for two registers)
    const char* unit; // empty when none
    int32_t min;
    int32_t max;
    int32_t defaultValue;
    Conversion conversion;
    uint8_t attributes; // see ParamAttributes
    bool restart;
    bool twoRegister;
    RangeRule rangeRule = RangeRule::Fixed;
    DefaultRule defaultRule = DefaultRule::Fixed;
    WriteRule writeRule = WriteRule::Plain;
};

// All 161 parameters in group order C, T, S, P, q, H and by number within the group.
std::span<const ParamSpec> AllParameters();

// The row of a parameter, or nullptr. Constant time.
const ParamSpec* FindParam(ParamCode code);
