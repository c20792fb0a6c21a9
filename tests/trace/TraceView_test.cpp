// What the trace window's controls do to the view: time scale, scrolling and zoom kept within
// their limits, lanes within their rows, a loaded trace brought into range, cursor readouts.

#include "trace/TraceView.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(TraceView, TimeScaleScrollZoomAndLanesStayWithinTheirLimits) {
    auto record = std::make_unique<TraceRecord>();
    TraceView view(*record);
    view.ChooseTimeScale(20); // 5.12 − 2.0 = 3.12 ms per division: 16.4 divisions of 10 shown
    EXPECT_FLOAT_EQ(view.MsPerDivision(), 3.12F);
    EXPECT_EQ(view.ScrollLimit(), 7);
    view.ScrollTo(99);
    EXPECT_EQ(record->scrollPosition, 7);
    EXPECT_FLOAT_EQ(view.ViewStartMs(), 7 * 3.12F);

    view.ZoomIn(); // five divisions shown
    EXPECT_EQ(view.ScrollLimit(), 12);
    view.ScrollTo(12);
    view.ZoomOut(); // back to ten: the position follows the smaller limit
    EXPECT_EQ(record->scrollPosition, 7);
    EXPECT_FALSE(view.CanZoomOut());
    for (int i = 0; i < 9; ++i)
        view.ZoomIn();
    EXPECT_FLOAT_EQ(view.PixelsPerDivision(), 350.0F);
    EXPECT_FALSE(view.CanZoomIn());
    view.ChooseTimeScale(0); // FULL at 350 pixels per division: one division of ten shown
    EXPECT_EQ(view.ScrollLimit(), 9);

    view.MoveLane(0, -1);
    EXPECT_EQ(record->diRow, 7);
    for (int i = 0; i < 3; ++i)
        view.MoveLane(1, 1);
    EXPECT_EQ(record->doRow, 9);
    for (int i = 0; i < 12; ++i)
        view.MoveLane(0, -1);
    EXPECT_EQ(record->diRow, 1);
}

TEST(TraceView, ReloadBringsAStoredTraceIntoRange) {
    auto record = std::make_unique<TraceRecord>();
    record->axes[0] = {10, 1000, 400, 7000}; // a slider beyond its 0..190
    record->scrollPosition = 50;             // FULL: nothing to scroll
    record->settings.triggerMode = 16;
    record->settings.triggerLevel = 100;
    TraceView view(*record);
    view.Reload();
    EXPECT_EQ(record->axes[0].offsetPosition, 190);
    EXPECT_EQ(record->axes[0].topValue, 7000);
    EXPECT_EQ(record->scrollPosition, 0);
    EXPECT_EQ(record->settings.triggerMode, 0);
    EXPECT_EQ(record->settings.triggerLevel, 0);

    TraceSettings s;
    s.triggerMode = 4;
    s.triggerLevel = 301;
    NormalizeTrigger(s);
    EXPECT_EQ(s.triggerLevel, 0);
    s.triggerMode = 2;
    s.triggerLevel = 3000;
    NormalizeTrigger(s);
    EXPECT_EQ(s.triggerLevel, 3000);
    s.triggerMode = 7; // a contact: no level
    NormalizeTrigger(s);
    EXPECT_EQ(s.triggerLevel, 0);

    // The lane legends need a function on the DI contact shown.
    s.diSelection = 2;
    s.doSelection = 1;
    s.contactFunctions[2] = 0;
    EXPECT_EQ(LaneLegends(s), (std::array<QString, 2>{}));
    s.contactFunctions[2] = 1;
    EXPECT_EQ(LaneLegends(s)[0], DiLegendText(s.contactFunctions, 2));
    EXPECT_EQ(LaneLegends(s)[1], DoLegendText(s.contactFunctions, 1));
    EXPECT_EQ(PerDivisionText(6), QStringLiteral("[pulse/div]"));
}

TEST(TraceView, CursorsAreDraggedInsideThePlotAndRead) {
    auto record = std::make_unique<TraceRecord>();
    record->settings.data1 = 2;
    record->settings.data2 = 7;
    record->axes[0] = {4, 10, 0, 50};
    record->axes[1] = {10, 1000, 0, 5000};
    TraceView view(*record);
    EXPECT_TRUE(view.Readouts().rows[0].a.isEmpty()); // hidden

    view.Cursors().shown = true;
    EXPECT_EQ(view.NearerCursor(160.0F), 0);
    view.PlaceCursor(view.NearerCursor(200.0F), 400.0F); // B, dragged past the edge
    view.PlaceCursor(0, 35.0F);
    CursorReadouts r = view.Readouts();
    EXPECT_EQ(r.rows[0].a, QStringLiteral("5.12"));
    EXPECT_EQ(r.rows[0].b, QStringLiteral("51.20"));
    EXPECT_EQ(r.rows[0].delta, QStringLiteral("46.08"));
    EXPECT_EQ(r.rows[0].frequency, QStringLiteral("21.70 Hz"));
    EXPECT_TRUE(r.rows[1].a.isEmpty());
    EXPECT_EQ(r.units, (std::array<QString, 3>{"ms", "%", "degree"}));

    view.Cursors().mode = CursorMode::Horizontal;
    view.PlaceCursor(0, 17.5F);
    view.PlaceCursor(1, -5.0F);
    r = view.Readouts();
    EXPECT_TRUE(r.rows[0].a.isEmpty());
    EXPECT_EQ(r.rows[1].a, QStringLiteral("45.0"));
    EXPECT_EQ(r.rows[1].delta, QStringLiteral("5.0"));
    EXPECT_EQ(r.rows[2].a, QStringLiteral("4500.0"));
    EXPECT_EQ(r.rows[2].b, QStringLiteral("5000.0"));
    EXPECT_FLOAT_EQ(view.Cursors().x[1], 350.0F); // the other mode's cursors stay
}

} // namespace
