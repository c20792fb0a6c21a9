#pragma once

#include <cstdint>

// The two factors whose product, with 0.01, turns the drive's torque percentage into the torque
// the frequency response is computed from. They depend on the motor.
struct TorqueFactors {
    double first = 0.0;
    double second = 0.0;
};

// The factors of the motor named by the low 12 bits of `modelCode` (Cn030); unknown motors take
// the general pair 2.0 and 0.524.
TorqueFactors MotorTorqueFactors(int32_t modelCode);
