#pragma once

#include <array>
#include <cstdint>

// Which parameters the parameter editor lists.
struct DisplaySettings {
    int32_t DisplayMode = 0; // 0 by group, 1 by control mode, 2 custom list
    // all parameters, Cn, Tn, Sn, Pn, qn, Hn
    std::array<bool, 7> groupFlags{true, true, true, true, true, true, true};
    // 0x1000 torque, 0x0100 speed, 0x0010 internal positions, 0x0001 external pulses
    int32_t controlModeMask = 0;
    // torque, speed, position (internal commands), position (external pulses)
    std::array<bool, 4> controlModeFlags{true, true, true, true};
    bool operator==(const DisplaySettings&) const = default;
};
