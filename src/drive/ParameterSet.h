#pragma once

#include "drive/ParamCode.h"

#include <array>
#include <cstdint>
#include <span>

// One integer per parameter slot of the six groups, in the document's table sizes
// (control 40, torque 20, speed 20, position 70, quick 20, contacts 20). The document keeps its
// values, minimums, maximums, defaults and transfer buffers in this shape.
struct ParameterSet {
    std::array<int32_t, 40> control{};
    std::array<int32_t, 20> torque{};
    std::array<int32_t, 20> speed{};
    std::array<int32_t, 70> position{};
    std::array<int32_t, 20> quick{};
    std::array<int32_t, 20> contact{};

    std::span<int32_t> Group(ParamGroup g);
    std::span<const int32_t> Group(ParamGroup g) const;

    // Slot of parameter `number` (1-based) of the group `letter`; nullptr when the code is not a
    // parameter of the six groups.
    int32_t* Slot(ParamCode code);
    const int32_t* Slot(ParamCode code) const;

    void Fill(int32_t value);

    bool operator==(const ParameterSet&) const = default;
};

// Slots of all six groups together (190).
inline constexpr int kParameterSlotCount = 40 + 20 + 20 + 70 + 20 + 20;
