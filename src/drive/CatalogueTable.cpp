#include "drive/CatalogueTable.h"

#include "drive/ParamCode.h"
#include "drive/ParameterCatalogue.h"

#include <array>

namespace {

constexpr uint8_t kHex = 0xE0; // "%04X": bit-field parameters, entered digit by digit
constexpr uint8_t kSigned = kAttrSigned;

// Ranges that depend on N are stored for N = 3000 and recomputed by their rule; defaults with a
// rule other than Fixed are computed from the drive profile.
// clang-format off
constexpr ParamSpec kParameters[] = {
    // Control
    {'C', 1, 0x10, "", 0, 6, 2, Conversion::Bits16, 0, true, false},
    {'C', 2, 0x1D, "", 0, 4369, 0, Conversion::Bits16, kHex, false, false, RangeRule::Fixed, DefaultRule::Fixed, WriteRule::LowByteOnRestart},
    {'C', 3, 0x11, "ms", -2000, 2000, 0, Conversion::Tenths, 0, false, false},
    {'C', 4, 0x12, "", 0, 3, 0, Conversion::DirectionCode, 0, false, false},
    {'C', 5, 0x13, "pulse", 1, 8192, 0, Conversion::Bits16, kAttrEncoderDefault, true, false, RangeRule::Fixed, DefaultRule::EncoderPulses},
    {'C', 6, 0x14, "", 0, 102, 2, Conversion::Bits16, kHex, false, false},
    {'C', 7, 0x15, "rpm", 0, 4500, 0, Conversion::Speed16, 0, false, false, RangeRule::Fixed, DefaultRule::ThirdOfN},
    {'C', 8, 0x16, "", 0, 3, 2, Conversion::Bits16, 0, false, false, RangeRule::Fixed, DefaultRule::Fixed, WriteRule::LowBitsOnly},
    {'C', 9, 0x17, "", 0, 2, 0, Conversion::Bits16, 0, true, false},
    {'C', 10, 0x18, "%", 0, 300, 300, Conversion::Torque, 0, false, false},
    {'C', 11, 0x19, "%", -300, 0, -300, Conversion::Torque, 0, false, false},
    {'C', 12, 0x1A, "W", 0, 10000, 60, Conversion::Bits16, 0, false, false, RangeRule::Fixed, DefaultRule::Fixed, WriteRule::FollowUpCommit},
    {'C', 13, 0xDE, "Hz", 0, 1000, 0, Conversion::Bits16, 0, true, false},
    {'C', 14, 0xDF, "", 1, 100, 7, Conversion::Bits16, 0, true, false},
    {'C', 15, 0x8F, "", 0, 68, 68, Conversion::Bits16, kHex, false, false},
    {'C', 16, 0xF8, "%", 0, 399, 200, Conversion::Torque16, 0, false, false},
    {'C', 17, 0xF9, "rpm", 0, 4500, 0, Conversion::Speed16, 0, false, false},
    {'C', 18, 0xFA, "rps/s", 0, 18750, 0, Conversion::Bits16, 0, false, false},
    {'C', 19, 0xFB, "pulse", 0, 50000, 0, Conversion::Bits16, 0, false, false},
    {'C', 20, 0x3C, "*0.2ms", 0, 10000, 0, Conversion::Bits16, 0, false, false},
    {'C', 21, 0x3D, "%", 0, 399, 200, Conversion::Torque16, 0, false, false},
    {'C', 22, 0x3E, "rpm", 0, 4500, 0, Conversion::Speed16, 0, false, false},
    {'C', 23, 0x3F, "rps/s", 0, 18750, 0, Conversion::Bits16, 0, false, false},
    {'C', 24, 0x40, "pulse", 0, 50000, 0, Conversion::Bits16, 0, false, false},
    {'C', 25, 0x87, "*0.1", 0, 1000, 40, Conversion::Bits16, 0, false, false},
    {'C', 26, 0xD0, "", 1, 10, 4, Conversion::Bits16, kHex, false, false},
    {'C', 27, 0x8B, "*40mV", -250, 250, 4, Conversion::Offset256, 0, false, false},
    {'C', 28, 0x8C, "*40mV", -250, 250, 4, Conversion::Offset256, 0, false, false},
    {'C', 29, 0xFD, "", 0, 1, 0, Conversion::Bits16, 0, true, false},
    {'C', 30, 0x0B, "", 0, 8191, 0, Conversion::Bits16, kHex, true, false, RangeRule::Fixed, DefaultRule::ModelCode},
    {'C', 31, 0x0E, "", 0, 3, 0, Conversion::Bits16, 0, false, false},
    {'C', 32, 0x46, "Hz", 1, 1000, 500, Conversion::Bits16, 0, false, false},
    {'C', 33, 0x1E, "Hz", 1, 100, 40, Conversion::Bits16, 0, false, false},
    {'C', 34, 0xB8, "Hz", 0, 1000, 0, Conversion::Bits16, 0, false, false},
    {'C', 35, 0x41, "", 0, 19, 0, Conversion::Bits16, 0, false, false},
    {'C', 36, 0x1B, "", 0, 254, 1, Conversion::Bits16, 0, true, false},
    {'C', 37, 0x44, "", 0, 53, 17, Conversion::Bits16, kHex, true, false},
    {'C', 38, 0x45, "", 0, 8, 0, Conversion::Bits16, 0, true, false},
    {'C', 39, 0x67, "sec", 0, 20, 0, Conversion::Bits16, 0, true, false},
    {'C', 40, 0x79, "0.5ms", 0, 255, 0, Conversion::Bits16, 0, true, false},
    // Torque
    {'T', 1, 0x20, "", 0, 1, 0, Conversion::Bits16, 0, true, false},
    {'T', 2, 0x23, "ms", 1, 50000, 1, Conversion::Bits16, 0, true, false},
    {'T', 3, 0x21, "%/10V", 0, 300, 300, Conversion::AnalogTorqueScale, 0, false, false},
    {'T', 4, 0x22, "mV", -10000, 10000, 0, Conversion::Millivolt, kSigned, false, false},
    {'T', 5, 0x26, "rpm", 0, 3000, 100, Conversion::Speed16, 0, false, false, RangeRule::UpToN, DefaultRule::Fixed},
    {'T', 6, 0x27, "rpm", 0, 3000, 200, Conversion::Speed16, 0, false, false, RangeRule::UpToN, DefaultRule::Fixed},
    {'T', 7, 0x28, "rpm", 0, 3000, 300, Conversion::Speed16, 0, false, false, RangeRule::UpToN, DefaultRule::Fixed},
    {'T', 8, 0xCD, "%", 0, 300, 0, Conversion::Torque16, 0, false, false},
    // Speed
    {'S', 1, 0x36, "rpm", -3000, 3000, 100, Conversion::Speed, 0, false, false, RangeRule::PlusMinusN, DefaultRule::Fixed},
    {'S', 2, 0x37, "rpm", -3000, 3000, 200, Conversion::Speed, 0, false, false, RangeRule::PlusMinusN, DefaultRule::Fixed},
    {'S', 3, 0x38, "rpm", -3000, 3000, 300, Conversion::Speed, 0, false, false, RangeRule::PlusMinusN, DefaultRule::Fixed},
    {'S', 4, 0x29, "", 0, 1, 0, Conversion::Bits16, 0, false, false},
    {'S', 5, 0x2A, "", 0, 3, 0, Conversion::Bits16, 0, false, false},
    {'S', 6, 0x2B, "ms", 1, 10000, 1, Conversion::Bits16, 0, false, false},
    {'S', 7, 0x2C, "ms", 1, 50000, 1, Conversion::Bits16, 0, false, false},
    {'S', 8, 0xF1, "ms", 1, 1000, 1, Conversion::Fifths, 0, false, false},
    {'S', 9, 0xF2, "ms", 0, 5000, 200, Conversion::Bits16, 0, false, false},
    {'S', 10, 0xF3, "ms", 0, 5000, 200, Conversion::Bits16, 0, false, false},
    {'S', 11, 0x30, "Hz", 10, 450, 40, Conversion::Bits16, 0, false, false},
    {'S', 12, 0x31, "*0.2ms", 1, 500, 100, Conversion::Bits16, 0, false, false},
    {'S', 13, 0x3A, "Hz", 10, 450, 40, Conversion::Bits16, 0, false, false},
    {'S', 14, 0x3B, "*0.2ms", 1, 500, 100, Conversion::Bits16, 0, false, false},
    {'S', 15, 0x32, "rpm", 0, 4500, 50, Conversion::Speed16, 0, false, false},
    {'S', 16, 0x33, "rpm/10V", 100, 4500, 0, Conversion::AnalogSpeedScale, 0, false, false, RangeRule::Fixed, DefaultRule::N},
    {'S', 17, 0x34, "mV", -10000, 10000, 0, Conversion::Millivolt, kSigned, false, false},
    {'S', 18, 0x99, "rpm", 100, 4500, 0, Conversion::Speed16, 0, false, false, RangeRule::Fixed, DefaultRule::N102},
    // Position
    {'P', 1, 0x50, "", 0, 275, 0, Conversion::Bits16, kHex, true, false},
    {'P', 2, 0x60, "", 1, 50000, 1, Conversion::Bits16, 0, false, false},
    {'P', 3, 0x61, "", 1, 50000, 1, Conversion::Bits16, 0, false, false},
    {'P', 4, 0x62, "", 1, 50000, 1, Conversion::Bits16, 0, false, false},
    {'P', 5, 0x63, "", 1, 50000, 1, Conversion::Bits16, 0, false, false},
    {'P', 6, 0x54, "", 1, 50000, 1, Conversion::Bits16, 0, true, false},
    {'P', 7, 0x52, "pulse", 0, 50000, 10, Conversion::Bits16, 0, false, true},
    {'P', 8, 0x56, "pulse", 0, 50000, 50000, Conversion::Tenths, 0, false, true},
    {'P', 9, 0x58, "pulse", 0, 50000, 50000, Conversion::NegatedTenths, 0, false, true},
    {'P', 10, 0x5A, "1/s", 1, 450, 40, Conversion::Bits16, 0, false, false},
    {'P', 11, 0x51, "1/s", 1, 450, 40, Conversion::Bits16, 0, false, false},
    {'P', 12, 0x5B, "%", 0, 100, 0, Conversion::Bits16, 0, false, false},
    {'P', 13, 0x5C, "ms", 0, 10000, 0, Conversion::Bits16, 0, true, false},
    {'P', 14, 0x5D, "", 0, 1, 1, Conversion::Bits16, 0, false, false},
    {'P', 15, 0x1F, "", 0, 2, 0, Conversion::Bits16, 0, false, false},
    {'P', 16, 0x0D, "", 0, 17, 0, Conversion::Bits16, kHex, true, false},
    {'P', 17, 0x68, "rev", -30000, 30000, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 18, 0x69, "pulse", -32767, 32767, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 19, 0x6A, "rpm", 0, 3000, 0, Conversion::Bits16, 0, false, false},
    {'P', 20, 0x6B, "rev", -30000, 30000, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 21, 0x6C, "pulse", -32767, 32767, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 22, 0x6D, "rpm", 0, 3000, 0, Conversion::Bits16, 0, false, false},
    {'P', 23, 0x6E, "rev", -30000, 30000, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 24, 0x6F, "pulse", -32767, 32767, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 25, 0x75, "rpm", 0, 3000, 0, Conversion::Bits16, 0, false, false},
    {'P', 26, 0x76, "rev", -30000, 30000, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 27, 0x77, "pulse", -32767, 32767, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 28, 0x78, "rpm", 0, 3000, 0, Conversion::Bits16, 0, false, false},
    {'P', 29, 0x9C, "rev", -30000, 30000, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 30, 0x9D, "pulse", -32767, 32767, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 31, 0x9E, "rpm", 0, 3000, 0, Conversion::Bits16, 0, false, false},
    {'P', 32, 0x9F, "rev", -30000, 30000, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 33, 0xA0, "pulse", -32767, 32767, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 34, 0xA1, "rpm", 0, 3000, 0, Conversion::Bits16, 0, false, false},
    {'P', 35, 0xA2, "rev", -30000, 30000, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 36, 0xA3, "pulse", -32767, 32767, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 37, 0xA4, "rpm", 0, 3000, 0, Conversion::Bits16, 0, false, false},
    {'P', 38, 0xA5, "rev", -30000, 30000, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 39, 0xA6, "pulse", -32767, 32767, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 40, 0xA7, "rpm", 0, 3000, 0, Conversion::Bits16, 0, false, false},
    {'P', 41, 0xA8, "rev", -30000, 30000, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 42, 0xA9, "pulse", -32767, 32767, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 43, 0xAA, "rpm", 0, 3000, 0, Conversion::Bits16, 0, false, false},
    {'P', 44, 0xAB, "rev", -30000, 30000, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 45, 0xAC, "pulse", -32767, 32767, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 46, 0xAD, "rpm", 0, 3000, 0, Conversion::Bits16, 0, false, false},
    {'P', 47, 0xAE, "rev", -30000, 30000, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 48, 0xAF, "pulse", -32767, 32767, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 49, 0xB3, "rpm", 0, 3000, 0, Conversion::Bits16, 0, false, false},
    {'P', 50, 0xE0, "rev", -30000, 30000, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 51, 0xE1, "pulse", -32767, 32767, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 52, 0xE3, "rpm", 0, 3000, 0, Conversion::Bits16, 0, false, false},
    {'P', 53, 0xE4, "rev", -30000, 30000, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 54, 0xE5, "pulse", -32767, 32767, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 55, 0xE6, "rpm", 0, 3000, 0, Conversion::Bits16, 0, false, false},
    {'P', 56, 0xE7, "rev", -30000, 30000, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 57, 0xE8, "pulse", -32767, 32767, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 58, 0xE9, "rpm", 0, 3000, 0, Conversion::Bits16, 0, false, false},
    {'P', 59, 0xEA, "rev", -30000, 30000, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 60, 0xEB, "pulse", -32767, 32767, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 61, 0xEC, "rpm", 0, 3000, 0, Conversion::Bits16, 0, false, false},
    {'P', 62, 0xED, "rev", -30000, 30000, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 63, 0xEE, "pulse", -32767, 32767, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 64, 0xEF, "rpm", 0, 3000, 0, Conversion::Bits16, 0, false, false},
    {'P', 65, 0x4A, "", 0, 4645, 0, Conversion::Bits16, kHex, false, false},
    {'P', 66, 0x4B, "rpm", 0, 2000, 100, Conversion::Bits16, 0, false, false},
    {'P', 67, 0x4C, "rpm", 0, 500, 50, Conversion::Bits16, 0, false, false},
    {'P', 68, 0x4D, "rev", -30000, 30000, 0, Conversion::SignedRaw, kSigned, false, false},
    {'P', 69, 0x4E, "pulse", -32767, 32767, 0, Conversion::SignedRaw, kSigned, false, false},
    // Quick
    {'q', 1, 0x30, "Hz", 10, 450, 40, Conversion::Bits16, 0, false, false},
    {'q', 2, 0x31, "*0.2ms", 1, 500, 100, Conversion::Bits16, 0, false, false},
    {'q', 3, 0x3A, "Hz", 10, 450, 40, Conversion::Bits16, 0, false, false},
    {'q', 4, 0x3B, "*0.2ms", 1, 500, 100, Conversion::Bits16, 0, false, false},
    {'q', 5, 0x5A, "1/s", 1, 450, 40, Conversion::Bits16, 0, false, false},
    {'q', 6, 0x51, "1/s", 1, 450, 40, Conversion::Bits16, 0, false, false},
    {'q', 7, 0x5B, "%", 0, 100, 0, Conversion::Bits16, 0, false, false},
    // Multi-function contacts
    {'H', 1, 0xC0, "", 1, 284, 1, Conversion::Bits16, kHex, true, false},
    {'H', 2, 0xC1, "", 1, 284, 2, Conversion::Bits16, kHex, true, false},
    {'H', 3, 0xC2, "", 1, 284, 3, Conversion::Bits16, kHex, true, false},
    {'H', 4, 0xC3, "", 1, 284, 0x0104, Conversion::Bits16, kHex, true, false},
    {'H', 5, 0xC4, "", 1, 284, 0x0105, Conversion::Bits16, kHex, true, false},
    {'H', 6, 0xC5, "", 1, 284, 6, Conversion::Bits16, kHex, true, false},
    {'H', 7, 0xC6, "", 1, 284, 7, Conversion::Bits16, kHex, true, false},
    {'H', 8, 0xC7, "", 1, 284, 8, Conversion::Bits16, kHex, true, false},
    {'H', 9, 0xC8, "", 1, 284, 9, Conversion::Bits16, kHex, true, false},
    {'H', 10, 0xC9, "", 1, 284, 0x000A, Conversion::Bits16, kHex, true, false},
    {'H', 11, 0xCA, "", 1, 284, 0x000B, Conversion::Bits16, kHex, true, false},
    {'H', 12, 0xCB, "", 1, 284, 0x000C, Conversion::Bits16, kHex, true, false},
    {'H', 13, 0xCC, "", 1, 284, 0x000E, Conversion::Bits16, kHex, true, false},
    {'H', 14, 0xF4, "", 1, 264, 1, Conversion::Bits16, kHex, true, false},
    {'H', 15, 0xF5, "", 1, 264, 2, Conversion::Bits16, kHex, true, false},
    {'H', 16, 0xF6, "", 1, 264, 3, Conversion::Bits16, kHex, true, false},
    {'H', 17, 0xF7, "", 1, 264, 6, Conversion::Bits16, kHex, true, false},
    {'H', 18, 0xCE, "", 0, 8191, 0, Conversion::Bits16, kHex, true, false},
    {'H', 19, 0xFF, "", 0, 8191, 0, Conversion::Bits16, kHex, true, false},
};
// clang-format on

static_assert(std::size(kParameters) == kParameterCount);

// Row of each (group, number): built once so that look-ups do not search the table.
struct RowIndex {
    std::array<std::array<int16_t, 70>, kParamGroupCount> row{};
    RowIndex() {
        for (auto& g : row) {
            g.fill(-1);
        }
        for (int i = 0; i < kParameterCount; ++i) {
            const int g = GroupIndexOfLetter(kParameters[i].letter);
            row[g][kParameters[i].number - 1] = static_cast<int16_t>(i);
        }
    }
};

} // namespace

std::span<const ParamSpec> AllParameters() {
    return kParameters;
}

const ParamSpec* FindParam(ParamCode code) {
    const auto [letter, number] = code;
    static const RowIndex index;
    const int g = GroupIndexOfLetter(letter);
    if (g < 0 || number < 1 || number > 70) {
        return nullptr;
    }
    const int16_t row = index.row[g][number - 1];
    return row < 0 ? nullptr : &kParameters[row];
}
