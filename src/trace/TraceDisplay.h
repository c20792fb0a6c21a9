#pragma once

#include "trace/TraceRecord.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <span>

// The plot's arithmetic, kept apart from the drawing so that it can be checked: vertical scales
// and offsets, the time list, scrolling and zoom, where a sample lands and what a cursor reads.
// The plot is 10 × 10 divisions.

inline constexpr int kTraceDivisions = 10;
inline constexpr int32_t kTraceOffsetLimit = 100000; // the furthest an edge may be moved
inline constexpr float kTraceZoomStep = 35.0F;       // pixels per division, 35..350
inline constexpr float kTraceMaxZoom = 350.0F;

// "AUTO", "1", "2", "5", ... "10000" and the units per division of each entry ("AUTO" 100
// until it is resolved).
QStringList VerticalScaleTexts();
int32_t VerticalScaleUnits(int32_t index);

// Units per division that fit the largest magnitude among `samples`.
int32_t AutoUnitsPerDivision(std::span<const int32_t> samples);

// The slider of an analog line runs 0..SliderMax; position p puts the top edge at
// (p + 10) × units − offset limit.
int32_t OffsetSliderMax(int32_t units);
int32_t TopValueAt(int32_t position, int32_t units);

// Chooses a scale entry for `axis`; "AUTO" looks at `samples`. When the units change (or for
// "AUTO") the slider goes to the middle and zero to the plot's middle. True when anything changed.
bool ChooseVerticalScale(TraceAxis& axis, int32_t index, std::span<const int32_t> samples);
// After new samples: each line on "AUTO" fits itself to samples 0..points; the others stay.
void RefreshVerticalScales(TraceRecord& record);
// New settings for the next capture ("Trace Setting"): the samples cleared, the display back to
// its defaults with both lines on "AUTO" and zero in the middle of the plot.
void ConfigureTrace(TraceRecord& record, const TraceSettings& settings);
// Moves the slider to `position` (clamped to its range); the top edge follows division for
// division, and the ends of the range put an edge at the offset limit.
void MoveOffset(TraceAxis& axis, int32_t position);

// "FULL", then ms per division from total / 10 − interval down to the interval, "%.2f".
QStringList TimeScaleTexts(float totalMs, float intervalMs);
float MsPerDivision(float totalMs, float intervalMs, int32_t timeIndex);

// How many whole divisions beyond the visible ones the trace reaches (one more for a part).
int32_t ScrollLimit(float totalMs, float msPerDivision, float pixelsPerDivision);

// The time at the plot's left edge.
inline float ViewStartMs(int32_t scrollPosition, float msPerDivision) {
    return static_cast<float>(scrollPosition) * msPerDivision;
}

// Zoom steps of 35 pixels per division within 35..350; the same value when the step is refused.
float ZoomIn(float pixelsPerDivision);
float ZoomOut(float pixelsPerDivision);

// Where sample k is drawn, in pixels from the plot's left edge.
float SampleX(int32_t k, float intervalMs, float msPerDivision, float pixelsPerDivision,
              float viewStartMs);
// Where a value is drawn, in pixels below the plot's top edge.
float ValueY(int32_t value, const TraceAxis& axis, float pixelsPerDivision);
// The step of the drawing index: 1 while a division holds no more samples than pixels.
float SampleStep(float intervalMs, float msPerDivision, float pixelsPerDivision);
// Samples drawn: the smaller of the points and total time / interval.
int32_t DrawnSamples(int32_t points, float totalMs, float intervalMs);
// A contact lane's y: its base row, raised half a division when the contact's bit is set.
float LaneY(int32_t row, int32_t contactWord, int32_t selection, float pixelsPerDivision);

// Axis labels: value of division line i (0 at the top), and time under division line 2 × i.
QString ValueLabel(const TraceAxis& axis, int i);
QString TimeLabel(int i, float msPerDivision, float viewStartMs);

// What the cursors read. Vertical cursors give times, "%.2f"; horizontal ones the value of an
// analog line at their height, "%.1f". `delta` is B − A; `frequency` the rate of a period B − A,
// "%.2f Hz" (empty for vertical cursors at the same place and for horizontal cursors).
struct CursorReadout {
    QString a;
    QString b;
    QString delta;
    QString frequency;
};
CursorReadout TimeCursorReadout(float xA, float xB, float msPerDivision, float pixelsPerDivision,
                                float viewStartMs);
CursorReadout ValueCursorReadout(float yA, float yB, const TraceAxis& axis,
                                 float pixelsPerDivision);
