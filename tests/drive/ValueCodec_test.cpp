// Raw register words to shown values and back, for every conversion kind.

#include "drive/CatalogueTable.h"
#include "drive/ParameterCatalogue.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* what;
    char letter;
    int number;
    int32_t n; // maximum motor speed
    int32_t raw;
    int32_t display;
};

TEST(ValueCodec, ConvertsRawToShownValue) {
    // clang-format off
    const Case cases[] = {
    Case{"16-bit masks a negative word", 'C', 1, 3000, -1, 0xFFFF},
    Case{"signed raw keeps the sign", 'P', 68, 3000, -30000, -30000},
    Case{"tenths rounds .5 up", 'C', 3, 3000, 15, 2},
    Case{"tenths rounds -.5 away from zero", 'C', 3, 3000, -15, -2},
    Case{"tenths rounds .4 down", 'C', 3, 3000, 14, 1},
    Case{"tenths of a two-register value", 'P', 8, 3000, 500000, 50000},
    Case{"negated tenths of the negative error limit", 'P', 9, 3000, -500000, 50000},
    Case{"negated tenths rounds half away", 'P', 9, 3000, 25, -3},
    Case{"direction 257", 'C', 4, 3000, 257, 1},
    Case{"direction 0", 'C', 4, 3000, 0, 2},
    Case{"direction 1", 'C', 4, 3000, 1, 0},
    Case{"direction 256", 'C', 4, 3000, 256, 3},
    Case{"direction other negative masks", 'C', 4, 3000, -2, 0xFFFE},
    Case{"speed negative", 'S', 1, 3000, -5461, -1000},
    Case{"speed at 16384 is N", 'S', 1, 3000, 16384, 3000},
    Case{"speed at N 5000 rounds", 'S', 2, 5000, -3277, -1000},
    Case{"speed,16-bit", 'C', 7, 3000, 5461, 1000},
    Case{"speed,16-bit negative truncates after +1/2 then masks", 'C', 17, 3000, -5461, 0x10000 - 999},
    Case{"speed,16-bit at N 5000", 'T', 5, 5000, 3277, 1000},
    Case{"torque", 'C', 11, 3000, -12288, -300},
    Case{"torque rounds half away", 'C', 10, 3000, 62, 2},   // 1.513...
    Case{"torque,16-bit masks negative", 'C', 16, 3000, -4096, 0x10000 - 100},
    Case{"offset 256", 'C', 27, 3000, 260, 4},
    Case{"offset 256 below zero", 'C', 28, 3000, 6, -250},
    Case{"analog torque scale", 'T', 3, 3000, 1170, 300},    // 299.93 + .5
    Case{"analog torque scale negative truncates toward zero", 'T', 3, 3000, -3, 0},
    Case{"millivolt", 'T', 4, 3000, 21504, 10000},
    Case{"millivolt negative", 'S', 17, 3000, -1075, -500},  // -499.9
    Case{"fifths divides as integers", 'S', 8, 3000, 9, 1},
    Case{"fifths of a negative word truncates then masks", 'S', 8, 3000, -9, 0xFFFF},
    Case{"analog speed scale at N 3000", 'S', 16, 3000, 2880, 2769}, // 2880/1.0402 + .5
    Case{"analog speed scale at N 5000", 'S', 16, 5000, 3121, 5000},
    Case{"quick group is 16-bit", 'q', 5, 3000, -1, 0xFFFF},
    Case{"Un-01 speed", 'U', 1, 3000, -5461, -1000},
    // The status values round on a single-precision intermediate: at N 3500 these land a hair
    // above a half in float and a hair below in double.
    Case{"Un-01 speed single precision", 'U', 1, 3500, 2048, 438},
    Case{"Un-06 speed single precision, negative", 'U', 6, 3500, -22205, -4744},
    Case{"Un-11 speed single precision", 'U', 11, 3500, 30720, 6563},
    Case{"Un-02 torque not masked", 'U', 2, 3000, -4096, -100},
    Case{"Un-04 percent rounds half away", 'U', 4, 3000, -62, -2},
    Case{"Un-07 signed raw", 'U', 7, 3000, -70000, -70000},
    Case{"Un-09", 'U', 9, 3000, 1639, 100},
    Case{"Un-10", 'U', 10, 3000, 1024, 502},
    Case{"alarm history 16-bit", 'A', 10, 3000, -1, 0xFFFF},
    Case{"O 6 speed,16-bit", 'O', 6, 3000, 5461, 1000},
    Case{"O 7 past 16 bits", 'O', 7, 3000, 49, 89722},
    Case{"R 7", 'R', 7, 3000, 2842, 1000},
    Case{"R 6 is not converted", 'R', 6, 3000, -5, -5},
    Case{"unknown parameter number unchanged", 'C', 41, 3000, -7, -7},
    Case{"unknown letter unchanged", 'Z', 1, 3000, -7, -7}};
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(RawToDisplay({c.letter, c.number}, c.raw, c.n), c.display) << c.what;
    }
}

TEST(ValueCodec, ConvertsShownValueToRaw) {
    // clang-format off
    const Case cases[] = {
    Case{"negated tenths", 'P', 9, 3000, -500000, 50000},
    Case{"torque rounds 40.96 up", 'C', 16, 3000, 41, 1},
    Case{"torque rounds -40.96 away from zero", 'C', 11, 3000, -41, -1},
    Case{"fifths", 'S', 8, 3000, 5000, 1000},
    Case{"analog speed scale", 'S', 16, 3000, 3121, 3000},
    Case{"G 1 speed", 'G', 1, 3000, 5461, 1000},
    Case{"M 1 speed", 'M', 1, 3000, -5461, -1000},
    Case{"O 6 speed", 'O', 6, 3000, 5461, 1000},
    Case{"O 8 unchanged", 'O', 8, 3000, 12, 12},
    Case{"U has no reverse conversion", 'U', 1, 3000, 1000, 1000},
    Case{"unknown letter unchanged", 'Z', 3, 3000, 5, 5}};
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(DisplayToRaw({c.letter, c.number}, c.display, c.n), c.raw) << c.what;
    }
}

// A value written to the drive must read back as the same value: every parameter's bounds,
// default and zero survive the way out and back; a value shown as a 16-bit word comes back as
// that word. Above 3120 rpm a raw unit of the analog speed scale is coarser than a shown unit,
// so N stays at speeds where every conversion can be inverted.
TEST(ValueCodec, EveryParameterValueReadsBackAsWritten) {
    for (const int32_t n : {2000, 3000}) {
        for (const ParamSpec& p : AllParameters()) {
            for (const int32_t value : {p.min, p.max, p.defaultValue, 0}) {
                if (value < p.min || value > p.max) {
                    continue;
                }
                const int32_t back = RawToDisplay({p.letter, p.number},
                                                  DisplayToRaw({p.letter, p.number}, value, n), n);
                EXPECT_TRUE(back == value || (value < 0 && back == (value & 0xFFFF)))
                    << p.letter << int(p.number) << " at N " << n << ": " << value
                    << " came back as " << back;
            }
        }
    }
}

TEST(ValueCodec, TwoRegisterNegativeErrorLimitSplitsHighWordFirst) {
    const int32_t raw = DisplayToRaw({'P', 9}, 50000, 3000);
    EXPECT_EQ(raw, -500000);
    EXPECT_EQ((raw >> 16) & 0xFFFF, 0xFFF8);
    EXPECT_EQ(raw & 0xFFFF, 0x5EE0);
    const int32_t joined = static_cast<int32_t>((0xFFF8u << 16) | 0x5EE0u);
    EXPECT_EQ(RawToDisplay({'P', 9}, joined, 3000), 50000);
}

TEST(ValueCodec, ZeroMaximumSpeedNeverCrashesOrOverflows) {
    // A drive that has not reported its speed yet must not turn conversions into nonsense
    // that escapes as undefined behaviour.
    EXPECT_EQ(RawToDisplay({'S', 1}, 1000, 0), 0);
    const int32_t raw = DisplayToRaw({'S', 1}, 1000, 0);
    EXPECT_EQ(raw, INT32_MAX);
    EXPECT_EQ(DisplayToRaw({'S', 1}, 0, 0), 0);
}

TEST(ValueCodec, HugeValuesSaturateInsteadOfWrapping) {
    EXPECT_EQ(DisplayToRaw({'C', 3}, INT32_MAX, 3000), INT32_MAX);
    EXPECT_EQ(DisplayToRaw({'C', 3}, INT32_MIN, 3000), INT32_MIN);
    EXPECT_EQ(DisplayToRaw({'P', 9}, INT32_MIN, 3000), INT32_MAX);
}

} // namespace
