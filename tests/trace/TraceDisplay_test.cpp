// The plot's arithmetic on small inputs: scales, offsets, the time list, scrolling and cursors.

#include "trace/TraceDisplay.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(TraceDisplay, AutoScaleFollowsTheLargestMagnitude) {
    EXPECT_EQ(AutoUnitsPerDivision(std::vector<int32_t>{0, 3000, -12}), 1000);
    EXPECT_EQ(AutoUnitsPerDivision(std::vector<int32_t>{10, -4500}), 4000);
    EXPECT_EQ(AutoUnitsPerDivision(std::vector<int32_t>{3, -2}), 1);
    EXPECT_EQ(AutoUnitsPerDivision(std::vector<int32_t>{0}), 1);
    EXPECT_EQ(AutoUnitsPerDivision(std::vector<int32_t>{INT32_MIN}), 10000);

    TraceAxis axis;
    const std::vector<int32_t> samples{-7, 60};
    EXPECT_TRUE(ChooseVerticalScale(axis, 0, samples));
    EXPECT_EQ(axis.units, 50);
    EXPECT_EQ(axis.topValue, 250);
    EXPECT_EQ(axis.offsetPosition, (2 * 2000 - 10) / 2);

    TraceRecord r;
    ChooseVerticalScale(r.axes[0], 9, {}); // "500" stays as chosen
    MoveOffset(r.axes[0], 3);
    r.data.channels[0][3] = 3000;
    r.data.channels[1][511] = -4500;
    r.data.channels[1][600] = 99999; // beyond the points: not drawn, not measured
    RefreshVerticalScales(r);
    EXPECT_EQ(r.axes[0].units, 500);
    EXPECT_EQ(r.axes[0].offsetPosition, 3);
    EXPECT_EQ(r.axes[1].units, 4000);
}

TEST(TraceDisplay, OffsetSliderTiesPositionToTopValue) {
    TraceAxis axis;
    ASSERT_TRUE(ChooseVerticalScale(axis, 10, {})); // "1000"
    EXPECT_EQ(OffsetSliderMax(axis.units), 190);
    EXPECT_EQ(axis.offsetPosition, 95);
    EXPECT_EQ(axis.topValue, 5000);
    EXPECT_EQ(TopValueAt(95, 1000), 5000);
    EXPECT_FALSE(ChooseVerticalScale(axis, 10, {}));

    MoveOffset(axis, 0);
    MoveOffset(axis, -1); // "up" at the top of the range
    EXPECT_EQ(axis.offsetPosition, 0);
    EXPECT_EQ(axis.topValue, -90000);
    MoveOffset(axis, 11);
    EXPECT_EQ(axis.topValue, -79000);
    MoveOffset(axis, 500);
    EXPECT_EQ(axis.offsetPosition, 190);
    EXPECT_EQ(axis.topValue, 100000);
    EXPECT_FLOAT_EQ(ValueY(99000, axis, 35.0F), 35.0F);
    EXPECT_EQ(ValueLabel(axis, 10), QStringLiteral("90000"));
}

TEST(TraceDisplay, TimeListScrollAndZoom) {
    const QStringList list = TimeScaleTexts(51.2F, 0.1F);
    ASSERT_EQ(list.size(), 52);
    EXPECT_EQ(list.mid(0, 3), (QStringList{"FULL", "5.02", "4.92"}));
    EXPECT_EQ(list.mid(49), (QStringList{"0.22", "0.12", "0.10"}));
    EXPECT_FLOAT_EQ(MsPerDivision(51.2F, 0.1F, 0), 5.12F);
    EXPECT_FLOAT_EQ(MsPerDivision(51.2F, 0.1F, 2), 4.92F);
    EXPECT_FLOAT_EQ(MsPerDivision(51.2F, 0.1F, 60), 0.1F);
    EXPECT_EQ(TimeScaleTexts(64000.0F, 125.0F).size(), 1 + 51);

    EXPECT_EQ(ScrollLimit(51.2F, 5.12F, 35.0F), 0);
    EXPECT_EQ(ScrollLimit(51.2F, 5.12F, 70.0F), 5);
    EXPECT_EQ(ScrollLimit(51.2F, 0.3F, 35.0F), 161); // 170.67 − 10 divisions, a part counts
    EXPECT_FLOAT_EQ(ZoomIn(350.0F), 350.0F);
    EXPECT_FLOAT_EQ(ZoomIn(315.0F), 350.0F);
    EXPECT_FLOAT_EQ(ZoomOut(35.0F), 35.0F);

    // Sample 100 at 0.1 ms with 1.2 ms per division, two divisions scrolled, 70 px per division.
    EXPECT_FLOAT_EQ(SampleX(100, 0.1F, 1.2F, 70.0F, 2.4F), (10.0F - 2.4F) / 1.2F * 70.0F);
    EXPECT_FLOAT_EQ(SampleStep(0.1F, 5.12F, 70.0F), 1.0F);
    EXPECT_FLOAT_EQ(SampleStep(0.1F, 5.12F, 35.0F), 51.2F / 35.0F);
    EXPECT_EQ(DrawnSamples(512, 51.2F, 0.1F), 512);
    EXPECT_EQ(TimeLabel(2, 5.12F, 10.24F), QStringLiteral("30.72"));
}

TEST(TraceDisplay, CursorReadouts) {
    const CursorReadout t = TimeCursorReadout(35.0F, 105.0F, 5.12F, 35.0F, 0.0F);
    EXPECT_EQ(t.a, QStringLiteral("5.12"));
    EXPECT_EQ(t.b, QStringLiteral("15.36"));
    EXPECT_EQ(t.delta, QStringLiteral("10.24"));
    EXPECT_EQ(t.frequency, QStringLiteral("97.66 Hz"));
    const CursorReadout back = TimeCursorReadout(70.0F, 35.0F, 1.0F, 70.0F, 3.0F);
    EXPECT_EQ(back.delta, QStringLiteral("-0.50"));
    EXPECT_EQ(back.frequency, QStringLiteral("2000.00 Hz"));
    EXPECT_TRUE(TimeCursorReadout(10.0F, 10.0F, 1.0F, 35.0F, 0.0F).frequency.isEmpty());

    const TraceAxis axis{4, 10, 0, 50};
    const CursorReadout v = ValueCursorReadout(17.5F, 52.5F, axis, 35.0F);
    EXPECT_EQ(v.a, QStringLiteral("45.0"));
    EXPECT_EQ(v.b, QStringLiteral("35.0"));
    EXPECT_EQ(v.delta, QStringLiteral("-10.0"));

    EXPECT_FLOAT_EQ(LaneY(8, 0b100, 2, 35.0F), 8 * 35.0F - 17.5F);
    EXPECT_FLOAT_EQ(LaneY(8, 0b100, 1, 35.0F), 8 * 35.0F);
}

// Ties in the exact binary value go to the even digit, as the C formats of the labels do.
TEST(TraceDisplay, LabelsRoundTiesAsTheirCFormats) {
    EXPECT_EQ(TimeLabel(1, 0.0625F, 0.0F), QStringLiteral("0.12"));
    EXPECT_EQ(TimeScaleTexts(2.5F, 0.125F), (QStringList{"FULL", "0.12"}));
    const TraceAxis axis{1, 1, 0, 0};
    const CursorReadout v = ValueCursorReadout(8.75F, 26.25F, axis, 35.0F);
    EXPECT_EQ(v.a, QStringLiteral("-0.2"));
    EXPECT_EQ(v.b, QStringLiteral("-0.8"));
    EXPECT_EQ(v.delta, QStringLiteral("-0.5"));
}

} // namespace
