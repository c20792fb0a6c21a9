#include "trace/ui/TracePlot.h"

#include "base/CFormat.h"
#include "base/StringTable.h"
#include "trace/TraceView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kTimeAxisString = 170; // "时间 [ms]"
constexpr int kDotSpacing = 7;
constexpr int kZeroTick = 7;
constexpr int kDivisionTick = 3;
constexpr int kLabelGap = 4;
constexpr int kLegendLine = 16;
const QColor kGrid(255, 255, 255);
const QColor kCursorA = TraceColour(0xFFFF00);
const QColor kCursorB = TraceColour(0x00FF00);

QColor LineColour(const TraceSettings& s, int line) {
    return TraceColour(TraceColourRef(s.colours[static_cast<size_t>(line)]));
}

void DrawGrid(QPainter& p, float ppd) {
    p.setPen(kGrid);
    const QRect f = kTraceFrame;
    for (float at = ppd; at < static_cast<float>(f.width()) - 0.5F; at += ppd) {
        const int offset = static_cast<int>(std::lround(at));
        for (int dot = 0; dot <= f.width(); dot += kDotSpacing) {
            p.drawPoint(f.left() + offset, f.top() + dot);
            p.drawPoint(f.left() + dot, f.top() + offset);
        }
    }
    // A rectangle of 350 × 350 pixels whose right and bottom lines are the 350th pixel.
    p.drawRect(f.left(), f.top(), f.width(), f.height());
}

// Value labels and division ticks on both edges, and the time labels under the plot.
void DrawAxes(QPainter& p, const TraceView& view) {
    const TraceRecord& r = view.Record();
    const float ppd = view.PixelsPerDivision();
    const QRect f = kTraceFrame;
    const int textHeight = p.fontMetrics().height();
    for (int i = 0; static_cast<float>(i) * ppd <= kTracePlotPixels + 0.5F; ++i) {
        const int y = f.top() + static_cast<int>(std::lround(static_cast<float>(i) * ppd));
        p.setPen(kGrid);
        p.drawLine(f.left() - kDivisionTick, y, f.left(), y);
        p.drawLine(f.right() + 1, y, f.right() + 1 + kDivisionTick, y);
        const QRect left(0, y - textHeight / 2, f.left() - kDivisionTick - kLabelGap, textHeight);
        const QRect right(f.right() + 1 + kDivisionTick + kLabelGap, y - textHeight / 2,
                          kTracePlotSize.width() - f.right() - kDivisionTick - kLabelGap,
                          textHeight);
        p.setPen(LineColour(r.settings, 0));
        p.drawText(left, Qt::AlignRight | Qt::AlignVCenter, ValueLabel(r.axes[0], i));
        p.setPen(LineColour(r.settings, 1));
        p.drawText(right, Qt::AlignLeft | Qt::AlignVCenter, ValueLabel(r.axes[1], i));
    }

    // Every second division; at two divisions a label or more, every division.
    const int every = ppd >= 2 * kTraceZoomStep ? 1 : 2;
    const float ms = view.MsPerDivision();
    const float start = view.ViewStartMs();
    p.setPen(kGrid);
    for (int d = 0; static_cast<float>(d) * ppd <= kTracePlotPixels + 0.5F; d += every) {
        const int x = f.left() + static_cast<int>(std::lround(static_cast<float>(d) * ppd));
        const QString label =
            d % 2 == 0 ? TimeLabel(d / 2, ms, start)
                       : FormatC("%.2f", static_cast<double>(static_cast<float>(d) * ms + start));
        p.drawText(QRect(x - 40, f.top() + f.height() + 2, 80, textHeight), Qt::AlignCenter,
                   label);
    }
    p.drawText(QRect(f.left() + 175 - 80, f.top() + 371, 160, textHeight), Qt::AlignHCenter,
               StringText(kTimeAxisString));
}

void DrawLegends(QPainter& p, const TraceView& view) {
    const TraceSettings& s = view.Record().settings;
    const int h = p.fontMetrics().height();
    const int w = kTracePlotSize.width();
    p.setPen(LineColour(s, 0));
    p.drawText(QRect(4, 6, w / 2, h), Qt::AlignLeft, QuantityLegend(s.data1));
    p.setPen(LineColour(s, 1));
    p.drawText(QRect(w / 2, 6, w / 2 - 4, h), Qt::AlignRight, QuantityLegend(s.data2));
    const auto lanes = LaneLegends(s);
    for (int lane = 0; lane < 2; ++lane) {
        const QString& text = lanes[static_cast<size_t>(lane)];
        if (text.isEmpty())
            continue;
        const int top = 401 + 16 * lane;
        const int right = kTraceFrame.left() + 400;
        const int textWidth = p.fontMetrics().horizontalAdvance(text);
        p.setPen(LineColour(s, 2 + lane));
        const int y = top + h / 2;
        p.drawLine(right - textWidth - 4 - kLegendLine, y, right - textWidth - 4, y);
        p.drawText(QRect(right - textWidth, top, textWidth, h), Qt::AlignLeft, text);
    }
}

// The points of line `line` (0, 1 analog; 2, 3 the contact lanes) that reach the visible part.
QPolygonF LinePoints(const TraceView& view, int line) {
    const TraceRecord& r = view.Record();
    const float interval = r.IntervalMs();
    const float ms = view.MsPerDivision();
    const float ppd = view.PixelsPerDivision();
    const float start = view.ViewStartMs();
    const int32_t count = DrawnSamples(r.points, r.TotalTimeMs(), interval);
    const float step = SampleStep(interval, ms, ppd);
    const auto& samples = r.data.channels[static_cast<size_t>(line)];
    const int32_t row = line == 2 ? r.diRow : r.doRow;
    const int32_t contact = line == 2 ? r.settings.diSelection : r.settings.doSelection;
    const auto yOf = [&](int32_t value) {
        return line < 2 ? ValueY(value, r.axes[static_cast<size_t>(line)], ppd)
                        : LaneY(row, value, contact, ppd);
    };

    // The drawing index runs from 0 in equal steps; it starts at the last step before the left
    // edge, so that what is drawn does not depend on the scroll position.
    const float firstVisible = std::max(start / interval - 1.0F, 0.0F);
    float index = std::floor(firstVisible / step) * step;
    QPolygonF points;
    const float left = static_cast<float>(kTraceFrame.left());
    const float top = static_cast<float>(kTraceFrame.top());
    for (; static_cast<int32_t>(index) < count; index += step) {
        const int32_t k = static_cast<int32_t>(index);
        const float x = left + SampleX(k, interval, ms, ppd, start);
        const float y = top + yOf(samples[static_cast<size_t>(k)]);
        if (line >= 2 && !points.isEmpty() && points.last().y() != y)
            points << QPointF(x, points.last().y()); // a level change: a vertical edge
        points << QPointF(x, y);
        if (x > left + kTracePlotPixels)
            break;
    }
    return points;
}

void DrawZeroTick(QPainter& p, const TraceView& view, int line) {
    const TraceRecord& r = view.Record();
    const float ppd = view.PixelsPerDivision();
    float y = 0.0F;
    if (line < 2)
        y = ValueY(0, r.axes[static_cast<size_t>(line)], ppd);
    else
        y = static_cast<float>(line == 2 ? r.diRow : r.doRow) * ppd;
    if (y < 0.0F || y > kTracePlotPixels)
        return;
    const int yi = kTraceFrame.top() + static_cast<int>(std::lround(y));
    const int x = line == 1 ? kTraceFrame.left() + kTraceFrame.width() - kZeroTick
                            : kTraceFrame.left();
    p.drawLine(x, yi, x + kZeroTick, yi);
}

void DrawCursors(QPainter& p, const TraceView& view) {
    const TraceCursors& c = view.Cursors();
    if (!c.shown)
        return;
    const QRect f = kTraceFrame;
    for (int which = 0; which < 2; ++which) {
        p.setPen(QPen(which == 0 ? kCursorA : kCursorB, 2));
        const auto i = static_cast<size_t>(which);
        if (c.mode == CursorMode::Vertical) {
            const int x = f.left() + static_cast<int>(std::lround(c.x[i]));
            p.drawLine(x, f.top(), x, f.top() + f.height());
        } else {
            const int y = f.top() + static_cast<int>(std::lround(c.y[i]));
            p.drawLine(f.left(), y, f.left() + f.width(), y);
        }
    }
}

} // namespace

QColor TraceColour(uint32_t ref) {
    return QColor(static_cast<int>(ref & 0xFF), static_cast<int>((ref >> 8) & 0xFF),
                  static_cast<int>((ref >> 16) & 0xFF));
}

void DrawTracePlot(QImage& image, const TraceView& view) {
    image.fill(Qt::black);
    QPainter p(&image);
    QFont font = p.font();
    font.setPixelSize(11);
    p.setFont(font);
    DrawGrid(p, view.PixelsPerDivision());
    DrawAxes(p, view);
    DrawLegends(p, view);
    p.setClipRect(kTraceFrame.adjusted(0, 0, 1, 1));
    for (int line = 0; line < 4; ++line) {
        p.setPen(LineColour(view.Record().settings, line));
        DrawZeroTick(p, view, line);
        p.drawPolyline(LinePoints(view, line));
    }
    DrawCursors(p, view);
}

TracePlotWidget::TracePlotWidget(TraceView& view, QWidget* parent)
    : QWidget(parent), view_(view), image_(kTracePlotSize, QImage::Format_RGB32) {
    setObjectName(QStringLiteral("plot"));
    setFixedSize(kTracePlotSize);
    setAttribute(Qt::WA_OpaquePaintEvent);
    Redraw();
}

void TracePlotWidget::Redraw() {
    DrawTracePlot(image_, view_);
    update();
}

void TracePlotWidget::paintEvent(QPaintEvent*) {
    QPainter(this).drawImage(0, 0, image_);
}

float TracePlotWidget::AlongCursorAxis(const QPoint& position) const {
    return view_.Cursors().mode == CursorMode::Vertical
               ? static_cast<float>(position.x() - kTraceFrame.left())
               : static_cast<float>(position.y() - kTraceFrame.top());
}

void TracePlotWidget::mousePressEvent(QMouseEvent* event) {
    if (!view_.Cursors().shown || event->button() != Qt::LeftButton ||
        !kTraceFrame.adjusted(0, 0, 1, 1).contains(event->position().toPoint()))
        return;
    const float along = AlongCursorAxis(event->position().toPoint());
    dragged_ = view_.NearerCursor(along);
    view_.PlaceCursor(dragged_, along);
    Redraw();
    emit cursorMoved();
}

void TracePlotWidget::mouseMoveEvent(QMouseEvent* event) {
    if (dragged_ < 0)
        return;
    view_.PlaceCursor(dragged_, AlongCursorAxis(event->position().toPoint()));
    Redraw();
    emit cursorMoved();
}

void TracePlotWidget::mouseReleaseEvent(QMouseEvent*) {
    dragged_ = -1;
}
