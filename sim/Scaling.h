#pragma once

#include <cstdint>

// How the drive turns the number a user sets into the word it keeps, and back, as its parameter
// list documents each scaling. Raw values are the word sign-extended from 16 bits, or, for a
// two-word value, high << 16 | low. Quotients are taken in double precision; "rounded" is half
// away from zero, "+1/2 truncated" adds 0.5 and truncates toward zero whatever the sign, and
// "low 16 bits" shows a negative word as 0..65535. N is the maximum motor speed in rpm.
enum class Scaling : uint8_t {
    Word16,        // low 16 bits; back unchanged
    Signed,        // unchanged both ways
    Tenths,        // raw / 10 rounded; back value × 10 rounded
    NegatedTenths, // the same, negated
    Direction,     // raw 0 -> 2, 1 -> 0, 256 -> 3, 257 -> 1, other low 16 bits
    Speed,         // raw / (16384 / N) rounded; back 16384 / N × value rounded
    Speed16,       // low 16 bits of raw / (16384 / N) +1/2 truncated; back as Speed
    Torque,        // raw / 40.96 rounded (4096 = 100 %); back value × 40.96 rounded
    Torque16,      // low 16 bits of Torque; back as Torque
    Offset256,     // raw − 256; back value + 256
    AnalogTorque,  // low 16 bits of raw / (4096 / 1050) +1/2 truncated; back × rounded
    Millivolt,     // raw / 2.1504 rounded; back value × 2.1504 rounded
    Fifths,        // low 16 bits of raw / 5 (integer division); back value × 5
    AnalogSpeed,   // low 16 bits of raw / (67108864 / (N × 21504)) +1/2 truncated
    // rpm/s: raw × N × 10000 / 16384 +1/2 truncated, the whole value (not its low 16 bits: the
    // drive accelerates at what its word says, and up to 90000 rpm/s is past 16 bits); back
    // 16384 / (N × 10000) × value rounded.
    TuningAcceleration,
};

// The number a raw value stands for.
int32_t RawToValue(Scaling scaling, int32_t raw, int32_t maxMotorSpeed);
// The raw value the drive keeps for a number.
int32_t ValueToRaw(Scaling scaling, int32_t value, int32_t maxMotorSpeed);
