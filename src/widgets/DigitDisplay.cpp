#include "widgets/DigitDisplay.h"

#include <QPainter>
#include <QPolygonF>

namespace {

// Segments: a top, b upper right, c lower right, d bottom, e lower left, f upper left, g middle.
enum Segment : uint8_t { A = 1, B = 2, C = 4, D = 8, E = 16, F = 32, G = 64 };

uint8_t SegmentsOf(QChar cell) {
    switch (cell.unicode()) {
    case '0': return A | B | C | D | E | F;
    case '1': return B | C;
    case '2': return A | B | D | E | G;
    case '3': return A | B | C | D | G;
    case '4': return B | C | F | G;
    case '5': return A | C | D | F | G;
    case '6': return A | C | D | E | F | G;
    case '7': return A | B | C;
    case '8': return A | B | C | D | E | F | G;
    case '9': return A | B | C | D | F | G;
    case 'A': return A | B | C | E | F | G;
    case 'B': return C | D | E | F | G; // lower case b: not an 8
    case 'C': return A | D | E | F;
    case 'D': return B | C | D | E | G; // lower case d: not a 0
    case 'E': return A | D | E | F | G;
    case 'F': return A | E | F | G;
    case 'H': return B | C | E | F | G;
    case '-': return G;
    default: return 0;
    }
}

// A segment as a six-cornered bar from `from` to `to` (horizontal or vertical), `w` thick.
QPolygonF Bar(QPointF from, QPointF to, double w) {
    const double h = w / 2;
    if (from.y() == to.y()) {
        return QPolygonF({from, {from.x() + h, from.y() - h}, {to.x() - h, to.y() - h}, to,
                          {to.x() - h, to.y() + h}, {from.x() + h, from.y() + h}});
    }
    return QPolygonF({from, {from.x() + h, from.y() + h}, {to.x() + h, to.y() - h}, to,
                      {to.x() - h, to.y() - h}, {from.x() - h, from.y() + h}});
}

void DrawCell(QPainter& painter, const QRectF& cell, QChar character) {
    const QColor lit(255, 48, 32);
    const QColor unlit(64, 16, 12);
    const double w = cell.width() * 0.16;
    const double left = cell.left() + cell.width() * 0.2;
    const double right = cell.right() - cell.width() * 0.2;
    const double top = cell.top() + cell.height() * 0.12;
    const double bottom = cell.bottom() - cell.height() * 0.12;
    const double middle = (top + bottom) / 2;
    const double gap = w * 0.15;
    const struct {
        Segment segment;
        QPointF from;
        QPointF to;
    } bars[] = {
        {A, {left + gap, top}, {right - gap, top}},
        {B, {right, top + gap}, {right, middle - gap}},
        {C, {right, middle + gap}, {right, bottom - gap}},
        {D, {left + gap, bottom}, {right - gap, bottom}},
        {E, {left, middle + gap}, {left, bottom - gap}},
        {F, {left, top + gap}, {left, middle - gap}},
        {G, {left + gap, middle}, {right - gap, middle}},
    };
    const uint8_t on = SegmentsOf(character);
    painter.setPen(Qt::NoPen);
    for (const auto& bar : bars) {
        painter.setBrush((on & bar.segment) != 0 ? lit : unlit);
        painter.drawPolygon(Bar(bar.from, bar.to, w));
    }
}

} // namespace

QString DigitDisplayText(int32_t value, int positions, bool hex) {
    if (positions <= 0) {
        return {};
    }
    if (hex) {
        const QString digits = QString::asprintf("%0*X", positions, static_cast<uint32_t>(value));
        return QLatin1Char('H') + digits.right(positions - 1);
    }
    return QString::asprintf("%*d", positions, value).right(positions);
}

DigitDisplay::DigitDisplay(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DigitDisplay::SetPositions(int positions) {
    if (positions != positions_) {
        positions_ = positions;
        updateGeometry();
        Changed();
    }
}

void DigitDisplay::SetHex(bool hex) {
    if (hex != hex_) {
        hex_ = hex;
        Changed();
    }
}

void DigitDisplay::SetValue(int32_t value) {
    if (value != value_) {
        value_ = value;
        Changed();
    }
}

void DigitDisplay::Changed() {
    setAccessibleName(Text());
    update();
}

QSize DigitDisplay::sizeHint() const {
    return {positions_ * kCellWidth, kCellHeight};
}

void DigitDisplay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::black);
    // A disabled display stands for no value: its cells stay dark.
    const QString cells = isEnabled() ? Text() : QString(positions_, QLatin1Char(' '));
    // Right aligned: a display wider than its cells keeps them at its right edge.
    const double cellWidth = static_cast<double>(kCellWidth);
    const double first = width() - cells.size() * cellWidth;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        DrawCell(painter, QRectF(first + i * cellWidth, 0, cellWidth, height()), cells.at(i));
    }
}
