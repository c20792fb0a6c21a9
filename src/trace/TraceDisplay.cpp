#include "trace/TraceDisplay.h"

#include "base/CFormat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace {

constexpr std::array<int32_t, 15> kScaleUnits{100, 1,   2,    5,    10,   20,   50,   100,
                                              200, 500, 1000, 2000, 4000, 5000, 10000};
// "AUTO": the last of these thresholds that the largest magnitude exceeds gives the units.
constexpr std::array<int32_t, 9> kAutoSteps{5, 10, 50, 100, 500, 1000, 4000, 5000, 10000};
constexpr float kPlotPixels = kTraceDivisions * kTraceZoomStep; // 350
// Float times are compared with this much slack, so 0.1-ms steps do not gain an entry.
constexpr float kSlack = 1e-4F;

} // namespace

QStringList VerticalScaleTexts() {
    QStringList texts{QStringLiteral("AUTO")};
    for (size_t i = 1; i < kScaleUnits.size(); ++i)
        texts << QString::number(kScaleUnits[i]);
    return texts;
}

int32_t VerticalScaleUnits(int32_t index) {
    if (index < 0 || index >= static_cast<int32_t>(kScaleUnits.size()))
        return kScaleUnits[0];
    return kScaleUnits[static_cast<size_t>(index)];
}

int32_t AutoUnitsPerDivision(std::span<const int32_t> samples) {
    int64_t largest = 1;
    for (int32_t s : samples)
        largest = std::max<int64_t>(largest, std::abs(static_cast<int64_t>(s)));
    int32_t units = 1;
    for (int32_t step : kAutoSteps)
        if (largest > step)
            units = step;
    return units;
}

int32_t OffsetSliderMax(int32_t units) {
    return 2 * (kTraceOffsetLimit / units) - kTraceDivisions;
}

int32_t TopValueAt(int32_t position, int32_t units) {
    return (position + kTraceDivisions) * units - kTraceOffsetLimit;
}

bool ChooseVerticalScale(TraceAxis& axis, int32_t index, std::span<const int32_t> samples) {
    const int32_t units = index == 0 ? AutoUnitsPerDivision(samples) : VerticalScaleUnits(index);
    if (index != 0 && index == axis.scaleIndex && units == axis.units)
        return false;
    axis.scaleIndex = index;
    axis.units = units;
    axis.offsetPosition = OffsetSliderMax(units) / 2;
    axis.topValue = 5 * units; // zero in the middle of the plot
    return true;
}

void RefreshVerticalScales(TraceRecord& record) {
    for (size_t line = 0; line < record.axes.size(); ++line) {
        const auto& channel = record.data.channels[line];
        const auto count = std::min(static_cast<size_t>(record.points) + 1, channel.size());
        ChooseVerticalScale(record.axes[line], record.axes[line].scaleIndex,
                            std::span<const int32_t>(channel.data(), count));
    }
}

void ConfigureTrace(TraceRecord& record, const TraceSettings& settings) {
    record.settings = settings;
    record.data.Clear();
    record.ResetDisplay();
    RefreshVerticalScales(record);
}

void MoveOffset(TraceAxis& axis, int32_t position) {
    const int32_t max = OffsetSliderMax(axis.units);
    const int32_t p = std::clamp(position, 0, std::max(max, 0));
    if (p == 0)
        axis.topValue = TopValueAt(0, axis.units);
    else if (p == max)
        axis.topValue = kTraceOffsetLimit;
    else
        axis.topValue += (p - axis.offsetPosition) * axis.units;
    axis.offsetPosition = p;
}

QStringList TimeScaleTexts(float totalMs, float intervalMs) {
    QStringList texts{QStringLiteral("FULL")};
    if (!(intervalMs > 0.0F))
        return texts;
    const float base = totalMs / kTraceDivisions;
    for (int k = 1;; ++k) {
        const float value = base - static_cast<float>(k) * intervalMs;
        if (value <= intervalMs * (1.0F + kSlack)) {
            texts << FormatC("%.2f", static_cast<double>(intervalMs));
            return texts;
        }
        texts << FormatC("%.2f", static_cast<double>(value));
    }
}

float MsPerDivision(float totalMs, float intervalMs, int32_t timeIndex) {
    const float base = totalMs / kTraceDivisions;
    if (timeIndex <= 0)
        return base;
    return std::max(base - static_cast<float>(timeIndex) * intervalMs, intervalMs);
}

int32_t ScrollLimit(float totalMs, float msPerDivision, float pixelsPerDivision) {
    if (!(msPerDivision > 0.0F) || !(pixelsPerDivision > 0.0F))
        return 0;
    const float beyond = totalMs / msPerDivision - kPlotPixels / pixelsPerDivision;
    if (beyond <= kSlack)
        return 0;
    const float whole = std::floor(beyond);
    return static_cast<int32_t>(whole) + (beyond - whole > kSlack ? 1 : 0);
}

float ZoomIn(float pixelsPerDivision) {
    const float next = pixelsPerDivision + kTraceZoomStep;
    return next <= kTraceMaxZoom ? next : pixelsPerDivision;
}

float ZoomOut(float pixelsPerDivision) {
    const float next = pixelsPerDivision - kTraceZoomStep;
    return next >= kTraceZoomStep ? next : pixelsPerDivision;
}

float SampleX(int32_t k, float intervalMs, float msPerDivision, float pixelsPerDivision,
              float viewStartMs) {
    return (static_cast<float>(k) * intervalMs - viewStartMs) / msPerDivision * pixelsPerDivision;
}

float ValueY(int32_t value, const TraceAxis& axis, float pixelsPerDivision) {
    return static_cast<float>(axis.topValue - value) / static_cast<float>(axis.units) *
           pixelsPerDivision;
}

float SampleStep(float intervalMs, float msPerDivision, float pixelsPerDivision) {
    const float perDivision = msPerDivision / intervalMs;
    return perDivision <= pixelsPerDivision ? 1.0F : perDivision / pixelsPerDivision;
}

int32_t DrawnSamples(int32_t points, float totalMs, float intervalMs) {
    if (!(intervalMs > 0.0F))
        return 0;
    return std::min(points, static_cast<int32_t>(std::lround(totalMs / intervalMs)));
}

float LaneY(int32_t row, int32_t contactWord, int32_t selection, float pixelsPerDivision) {
    const bool on = selection >= 0 && selection < 32 && ((contactWord >> selection) & 1) != 0;
    return static_cast<float>(row) * pixelsPerDivision - (on ? pixelsPerDivision / 2.0F : 0.0F);
}

QString ValueLabel(const TraceAxis& axis, int i) {
    return QString::number(axis.topValue - i * axis.units);
}

QString TimeLabel(int i, float msPerDivision, float viewStartMs) {
    return FormatC("%.2f",
                   static_cast<double>(2.0F * static_cast<float>(i) * msPerDivision + viewStartMs));
}

CursorReadout TimeCursorReadout(float xA, float xB, float msPerDivision, float pixelsPerDivision,
                                float viewStartMs) {
    const double a = xA * msPerDivision / pixelsPerDivision + viewStartMs;
    const double b = xB * msPerDivision / pixelsPerDivision + viewStartMs;
    const double delta = b - a;
    CursorReadout r{FormatC("%.2f", a), FormatC("%.2f", b), FormatC("%.2f", delta), {}};
    if (std::abs(delta) >= 0.005) // Δt shows as at least 0.01 ms
        r.frequency = FormatC("%.2f Hz", 1000.0 / std::abs(delta));
    return r;
}

CursorReadout ValueCursorReadout(float yA, float yB, const TraceAxis& axis,
                                 float pixelsPerDivision) {
    const double a = axis.topValue - yA * axis.units / pixelsPerDivision;
    const double b = axis.topValue - yB * axis.units / pixelsPerDivision;
    return {FormatC("%.1f", a), FormatC("%.1f", b), FormatC("%.1f", b - a), {}};
}
