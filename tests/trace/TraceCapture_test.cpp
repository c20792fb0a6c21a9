// What a capture tells the drive, how long it waits and how the 2048 read words become samples.

#include "trace/TraceData.h"
#include "trace/TraceSettings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(TraceCapture, SetupWritesCarryConfigurationWordAndRawLevel) {
    TraceSettings s;
    s.data1 = 3;
    s.data2 = 5;
    s.SetTriggerMode(4);
    EXPECT_EQ(TraceConfigurationWord(s), 18950);
    ASSERT_TRUE(s.SetTriggerLevel(30));
    EXPECT_FALSE(s.SetTriggerLevel(301)); // above the mode's 300 %: the old value stays
    EXPECT_EQ(s.triggerLevel, 30);
    EXPECT_EQ(TriggerLevelRaw(s, 3000), 1229); // 30 × 40.96 = 1228.8

    s.SetTriggerMode(2);
    ASSERT_TRUE(s.SetTriggerLevel(1500));
    const auto writes = TraceSetupWrites(s, 3000);
    ASSERT_EQ(writes.size(), 3U);
    EXPECT_EQ(writes[0].location, 0xD6);
    EXPECT_EQ(writes[1].location, 0xCD);
    EXPECT_EQ(writes[2].location, 0xD8);
    EXPECT_EQ(writes[2].value, 8192);
    EXPECT_EQ(TriggerLevelRaw(s, 5000), 4915); // 1500 × 16384 / 5000 = 4915.2

    int32_t d1 = 0, d2 = 0, mode = 0;
    DecodeConfigurationWord(writes[1].value, &d1, &d2, &mode);
    EXPECT_EQ((std::array{d1, d2, mode}), (std::array{3, 5, 2}));

    s.SetTriggerMode(4); // a level in rpm means nothing in %
    EXPECT_EQ(s.triggerLevel, 0);
    EXPECT_FALSE(s.SetIntervalCode(1251));
    EXPECT_FALSE(s.SetIntervalCode(0));
    EXPECT_EQ(s.intervalCode, 1);
}

TEST(TraceCapture, WaitTicksAndTextForTheLongestInterval) {
    TraceSettings s;
    ASSERT_TRUE(s.SetIntervalCode(1250));
    EXPECT_FLOAT_EQ(s.TotalTimeMs(), 64000.0F);
    EXPECT_EQ(ExpectedWaitTicks(s.IntervalUs(), TraceSettings::kPoints), 641);
    EXPECT_EQ(WaitProgressText(123, s.IntervalUs(), TraceSettings::kPoints),
              QStringLiteral("12.300/64.000 秒"));
    EXPECT_EQ(ExpectedWaitTicks(100, 512), 1); // 51.2 ms: a check at the first tick

    TraceWait wait(s.IntervalUs(), TraceSettings::kPoints);
    std::vector<int> checks;
    for (int tick = 1; tick <= 650; ++tick)
        if (wait.Tick())
            checks.push_back(tick);
    ASSERT_EQ(checks.size(), 160U + 1 + 2);
    EXPECT_EQ(checks[159], 640);
    EXPECT_EQ(checks[160], 641); // the count starts again, with a look at once
    EXPECT_EQ(checks[161], 645);
    EXPECT_EQ(wait.Ticks(), 9);
    EXPECT_EQ(wait.Text(), QStringLiteral("0.900/64.000 秒"));
}

TEST(TraceCapture, ReadBackConvertsByChannelAndKeepsOldDataUntilComplete) {
    TraceSettings s;
    s.data1 = 0; // speed command, rpm
    s.data2 = 2; // torque command, %
    TraceReadBack read(s, 3000);
    TraceData data;
    data.channels[0][0] = 77;

    for (int i = 0; i < 299; ++i)
        read.Add(i == 298 ? 1365 : 0); // 1365 × 3000 / 16384 → 250 rpm
    EXPECT_EQ(read.ProgressText(), QStringLiteral("300/2048--->(00FAH)"));
    EXPECT_EQ(read.NextPage(), '1');
    EXPECT_EQ(read.NextLocation(), 299 - 256);
    EXPECT_FALSE(read.TakeInto(data)); // a failed read here leaves the old trace
    EXPECT_EQ(data.channels[0][0], 77);

    std::string pages;
    for (int request = 299; !read.Done(); ++request) {
        if (read.NextLocation() == 0)
            pages += read.NextPage();
        if (request == 512 + 10)
            read.Add(4096); // channel 2, sample 10: 100 %
        else if (request == 4 * 256 + 256 + 3)
            read.Add(-1); // channel 3, sample 259: contact word, low 16 bits
        else if (request == 2047)
            read.Add(-1365); // channel 4 is a contact word too
        else
            read.Add(0);
    }
    EXPECT_EQ(pages, "234DEF");
    ASSERT_TRUE(read.TakeInto(data));
    EXPECT_EQ(data.channels[0][0], 0);
    EXPECT_EQ(data.channels[0][298], 250);
    EXPECT_EQ(data.channels[1][10], 100);
    EXPECT_EQ(data.channels[2][259], 65535);
    EXPECT_EQ(data.channels[3][511], 65535 - 1364);
    EXPECT_EQ(data.channels[3][512], 0);
}

// Speeds are rounded from a single-precision intermediate: at N = 3500 these raw words give a
// quotient that is a tie (or just below one) in double precision but reaches it in single.
TEST(TraceCapture, SamplesRoundOnASinglePrecisionIntermediate) {
    const struct {
        int32_t selection;
        int16_t raw;
        int32_t n;
        int32_t shown;
    } cases[] = {
        {0, 2048, 3500, 438},     // 437.5 exactly; the double quotient lies just below
        {1, -2048, 3500, -438},   // the same below zero
        {3, 22205, 3500, 4744},   // 4743.4997...: 4743.5 in single precision
        {1, -30397, 3500, -6494}, // -6493.4997...
        {1, 30720, 3500, 6563},   // 6562.5 exactly
        {1, -32111, 5000, -9800}, // -9799.4995...
        {1, 2047, 3500, 437},     // away from a tie both agree
        {1, 16384, 3000, 3000},   // 16384 is N
        {2, 4096, 3000, 100},     // torque: 4096 is 100 %
        {5, -1229, 3000, -30},    // -30.005 %
        {7, 1023, 3000, 360},     // electric angle
        {6, -5, 3000, -5},        // position error as it is
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConvertTraceSample(c.selection, c.raw, c.n), c.shown)
            << "selection " << c.selection << ", raw " << c.raw << ", N " << c.n;
}

} // namespace
