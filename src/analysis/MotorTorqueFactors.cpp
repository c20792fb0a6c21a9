#include "analysis/MotorTorqueFactors.h"

#include <array>

namespace {

struct FactorRow {
    int32_t firstCode;
    int32_t lastCode;
    TorqueFactors factors;
};

// Motor codes (low 12 bits), inclusive ranges.
constexpr std::array<FactorRow, 30> kFactorRows{{
    {0x110, 0x112, {0.94, 0.391}}, {0x120, 0x122, {2.0, 0.523}},  {0x130, 0x130, {1.8, 0.45}},
    {0x133, 0x134, {1.7, 0.39}},   {0x140, 0x142, {3.5, 0.386}},  {0x143, 0x144, {3.3, 0.39}},
    {0x210, 0x212, {3.4, 0.774}},  {0x220, 0x220, {3.5, 0.409}},  {0x221, 0x222, {3.5, 0.386}},
    {0x223, 0x224, {3.3, 0.39}},   {0x230, 0x230, {4.4, 0.604}},  {0x233, 0x234, {5.0, 0.5}},
    {0x240, 0x242, {3.43, 1.679}}, {0x250, 0x252, {2.98, 1.294}}, {0x310, 0x310, {4.4, 0.604}},
    {0x313, 0x314, {5.0, 0.5}},    {0x320, 0x322, {5.16, 2.039}}, {0x330, 0x332, {5.16, 1.019}},
    {0x340, 0x342, {5.0, 1.41}},   {0x351, 0x352, {4.96, 0.715}}, {0x360, 0x362, {7.45, 2.108}},
    {0x370, 0x372, {7.57, 1.06}},  {0x380, 0x382, {7.06, 0.74}},  {0x510, 0x512, {7.45, 2.108}},
    {0x520, 0x522, {7.57, 1.06}},  {0x530, 0x532, {7.06, 0.74}},  {0x540, 0x542, {9.18, 1.14}},
    {0x551, 0x552, {9.5, 0.74}},   {0x710, 0x712, {14.0, 1.13}},  {0x720, 0x722, {14.0, 0.75}},
}};

constexpr TorqueFactors kOtherMotor{2.0, 0.524};

} // namespace

TorqueFactors MotorTorqueFactors(int32_t modelCode) {
    const int32_t motor = modelCode & 0xFFF;
    for (const FactorRow& row : kFactorRows) {
        if (motor >= row.firstCode && motor <= row.lastCode)
            return row.factors;
    }
    return kOtherMotor;
}
