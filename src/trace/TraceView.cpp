#include "trace/TraceView.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace {

constexpr int32_t kFirstRow = 1;
constexpr int32_t kLastRow = 9;
constexpr int32_t kLastTriggerMode = 15;

std::span<const int32_t> DrawnPart(const TraceRecord& r, int line) {
    const auto& channel = r.data.channels[static_cast<size_t>(line)];
    const auto count = std::min(static_cast<size_t>(std::max(r.points, 0)) + 1, channel.size());
    return {channel.data(), count};
}

} // namespace

void TraceView::Reload() {
    NormalizeTrigger(record_.settings);
    for (TraceAxis& axis : record_.axes)
        axis.offsetPosition = std::clamp(axis.offsetPosition, 0,
                                         std::max(OffsetSliderMax(axis.units), 0));
    record_.timeIndex = std::max(record_.timeIndex, 0);
    ScrollTo(record_.scrollPosition);
}

float TraceView::MsPerDivision() const {
    return ::MsPerDivision(record_.TotalTimeMs(), record_.IntervalMs(), record_.timeIndex);
}

int32_t TraceView::ScrollLimit() const {
    return ::ScrollLimit(record_.TotalTimeMs(), MsPerDivision(), pixelsPerDivision_);
}

float TraceView::ViewStartMs() const {
    return ::ViewStartMs(record_.scrollPosition, MsPerDivision());
}

void TraceView::ChooseTimeScale(int32_t index) {
    record_.timeIndex = std::max(index, 0);
    ScrollTo(record_.scrollPosition);
}

void TraceView::ScrollTo(int32_t position) {
    record_.scrollPosition = std::clamp(position, 0, ScrollLimit());
}

void TraceView::ZoomIn() {
    pixelsPerDivision_ = ::ZoomIn(pixelsPerDivision_);
    ScrollTo(record_.scrollPosition);
}

void TraceView::ZoomOut() {
    pixelsPerDivision_ = ::ZoomOut(pixelsPerDivision_);
    ScrollTo(record_.scrollPosition);
}

void TraceView::ChooseScale(int line, int32_t index) {
    ChooseVerticalScale(record_.axes[static_cast<size_t>(line)], index, DrawnPart(record_, line));
}

void TraceView::MoveOffset(int line, int32_t position) {
    ::MoveOffset(record_.axes[static_cast<size_t>(line)], position);
}

void TraceView::MoveLane(int lane, int delta) {
    int32_t& row = lane == 0 ? record_.diRow : record_.doRow;
    row = std::clamp(row + delta, kFirstRow, kLastRow);
}

void TraceView::PlaceCursor(int which, float pixels) {
    auto& along = cursors_.mode == CursorMode::Vertical ? cursors_.x : cursors_.y;
    along[static_cast<size_t>(which)] = std::clamp(pixels, 0.0F, kTracePlotPixels);
}

int TraceView::NearerCursor(float pixels) const {
    const auto& along = cursors_.mode == CursorMode::Vertical ? cursors_.x : cursors_.y;
    return std::abs(pixels - along[1]) < std::abs(pixels - along[0]) ? 1 : 0;
}

CursorReadouts TraceView::Readouts() const {
    CursorReadouts r;
    r.units = {QStringLiteral("ms"), QuantityUnit(record_.settings.data1),
               QuantityUnit(record_.settings.data2)};
    if (!cursors_.shown)
        return r;
    if (cursors_.mode == CursorMode::Vertical) {
        r.rows[0] = TimeCursorReadout(cursors_.x[0], cursors_.x[1], MsPerDivision(),
                                      pixelsPerDivision_, ViewStartMs());
    } else {
        for (size_t line = 0; line < 2; ++line)
            r.rows[line + 1] = ValueCursorReadout(cursors_.y[0], cursors_.y[1],
                                                  record_.axes[line], pixelsPerDivision_);
    }
    return r;
}

QString PerDivisionText(int32_t selection) {
    return QStringLiteral("[%1/div]").arg(QuantityUnit(selection));
}

std::array<QString, 2> LaneLegends(const TraceSettings& s) {
    const auto di = static_cast<size_t>(s.diSelection);
    if (di >= s.contactFunctions.size() || s.contactFunctions[di] < 1)
        return {};
    return {DiLegendText(s.contactFunctions, s.diSelection),
            DoLegendText(s.contactFunctions, s.doSelection)};
}

void NormalizeTrigger(TraceSettings& s) {
    if (s.triggerMode < 0 || s.triggerMode > kLastTriggerMode)
        s.triggerMode = 0;
    if (s.triggerLevel < 0 || s.triggerLevel > TriggerLevelMax(s.triggerMode))
        s.triggerLevel = 0;
}
