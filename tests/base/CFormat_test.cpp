// Numbers formatted as C formats them: ties in the exact binary value go to the even digit,
// values just beside a tie go to their side.

#include "base/CFormat.h"

#include <gtest/gtest.h>

namespace {

TEST(CFormat, RoundsTheExactBinaryValueAsPrintfDoes) {
    const struct {
        const char* format;
        double value;
        const char* expected;
    } cases[] = {
        {"%.1f", 32 / 0.2048, "156.2"}, // bin 33: exactly 156.25, a tie to the even 2
        {"%.1f", 156.75, "156.8"},      // a tie to the even 8
        {"%.1f", -156.25, "-156.2"},    {"%.2f", 0.125, "0.12"},    {"%.2f", 0.375, "0.38"},
        {"%.2f", 2.675, "2.67"}, // 2.67499999999999982236431605997495353221893310546875
        {"%.2f", 1.005, "1.00"}, // just below the tie as well
        {"%.1f", 0.45, "0.5"},   // 0.450000000000000011102230246251565404236316680908203125
        {"%.3f", 0.0625, "0.062"},      {"%.3f", 0.1 * 3, "0.300"}, // 0.30000000000000004
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatC(c.format, c.value), QString::fromLatin1(c.expected))
            << c.format << " of " << c.value;
}

TEST(CFormat, KeepsTheWholeFormat) {
    EXPECT_EQ(FormatC("%.3f/%.3f ", 0.5, 64.0), QStringLiteral("0.500/64.000 "));
    EXPECT_EQ(FormatC("%d/2048--->(%04XH)", 300, 250u), QStringLiteral("300/2048--->(00FAH)"));
    const QString longText = FormatC("%0200d", 7);
    EXPECT_EQ(longText.size(), 200);
    EXPECT_TRUE(longText.endsWith(QLatin1String("0007")));
}

} // namespace
