#pragma once

#include <cstdint>

// What the system knows about the connected drive that changes ranges, defaults and speed
// conversions. One process-wide instance lives in the application; the values below are those
// used before any drive has been read.
struct DriveProfile {
    int32_t maxMotorSpeed = 3000; // N in rpm: speed registers are scaled so that 16384 means N
    int32_t encoderPulses = 2500; // encoder pulses per revolution: 2000, 2500 or 8192
    int32_t modelCode = 0x121;    // Cn030, the drive/motor series code
};
