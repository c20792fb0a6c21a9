#pragma once

#include "trace/TraceDisplay.h"
#include "trace/TraceRecord.h"

#include <QString>

#include <array>
#include <cstdint>

// What the trace window shows of a record beside the record itself: the zoom, the time scale it
// derives, the two measuring cursors, and every change the window's controls make. The window
// draws from here and forwards its controls here, so what a control does can be checked without
// a window.

enum class CursorMode { Vertical, Horizontal }; // "垂直": times; "水平": values

struct TraceCursors {
    bool shown = false;
    CursorMode mode = CursorMode::Vertical;
    // Pixels from the plot's left (vertical cursors) or top edge (horizontal ones); A then B.
    std::array<float, 2> x{70.0F, 280.0F};
    std::array<float, 2> y{70.0F, 280.0F};
};

// The readout grid: the time row and a row for each analog line, each with its unit.
struct CursorReadouts {
    std::array<CursorReadout, 3> rows;
    std::array<QString, 3> units;
};

inline constexpr float kTracePlotPixels = kTraceDivisions * kTraceZoomStep; // 350

class TraceView {
public:
    explicit TraceView(TraceRecord& record) : record_(record) {}

    TraceRecord& Record() { return record_; }
    const TraceRecord& Record() const { return record_; }

    // After a capture, new settings or an opened file: the trigger and the positions brought
    // into the ranges the window shows, the scroll position within its limit.
    void Reload();

    float PixelsPerDivision() const { return pixelsPerDivision_; }
    float MsPerDivision() const;
    int32_t ScrollLimit() const;
    float ViewStartMs() const;

    void ChooseTimeScale(int32_t index);
    void ScrollTo(int32_t position);
    bool CanZoomIn() const { return ::ZoomIn(pixelsPerDivision_) != pixelsPerDivision_; }
    bool CanZoomOut() const { return ::ZoomOut(pixelsPerDivision_) != pixelsPerDivision_; }
    void ZoomIn();
    void ZoomOut();

    // Analog line 0 or 1: a scale list entry, a slider position.
    void ChooseScale(int line, int32_t index);
    void MoveOffset(int line, int32_t position);
    // Lane 0 (DI) or 1 (DO) one row down (+1) or up (−1), within rows 1..9.
    void MoveLane(int lane, int delta);

    TraceCursors& Cursors() { return cursors_; }
    const TraceCursors& Cursors() const { return cursors_; }
    // Cursor `which` (0 = A, 1 = B) to `pixels` along the mode's axis, kept inside the plot.
    void PlaceCursor(int which, float pixels);
    // The cursor nearer to `pixels` along the mode's axis.
    int NearerCursor(float pixels) const;
    // Empty texts while the cursors are hidden; the rows of the other mode stay empty.
    CursorReadouts Readouts() const;

private:
    TraceRecord& record_;
    float pixelsPerDivision_ = kTraceZoomStep;
    TraceCursors cursors_;
};

// "[rpm/div]"
QString PerDivisionText(int32_t selection);
// The DI and DO lane legends; both empty while the DI contact shown has no function.
std::array<QString, 2> LaneLegends(const TraceSettings& settings);
// Trigger mode and level as the window keeps them: a mode above 15 is "None", a level outside
// its mode's range (or for a mode without one) 0.
void NormalizeTrigger(TraceSettings& settings);
