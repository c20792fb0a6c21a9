#include "analysis/ui/ResponsePlots.h"

#include "analysis/ResponsePlot.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cstdlib>

namespace {

constexpr int kCurveBins = 512; // 0 Hz .. 2495 Hz
constexpr int kCursorGrip = 3;  // pixels either side of a cursor line that catch the mouse
constexpr int kFrequencyLabels[] = {10, 100, 1000, 2000};
constexpr int kTitleX = 4;     // the plot titles, left of the label column
constexpr int kTitleDown = 90; // below each plot's top

} // namespace

ResponsePlots::ResponsePlots(QWidget* parent) : QWidget(parent) {
    setFixedSize(kLeft + kWidth + 40, kPhaseTop + kHeight + 22); // room for "2000Hz"
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
}

void ResponsePlots::SetResponse(const FrequencyResponse* response) {
    response_ = response;
    update();
}

void ResponsePlots::SetGainScale(int perDiv, int offset) {
    gainPerDiv_ = perDiv;
    gainOffset_ = offset;
    update();
}

void ResponsePlots::SetPhaseScale(int perDiv, int offset) {
    phasePerDiv_ = perDiv;
    phaseOffset_ = offset;
    update();
}

void ResponsePlots::SetCursorsShown(bool shown) {
    cursorsShown_ = shown;
    dragging1_ = dragging2_ = false;
    update();
}

void ResponsePlots::PlaceCursors(std::optional<int> resonanceBin, int antiResonanceBin) {
    cursor1X_ = resonanceBin ? std::optional<int>(kLeft + BinToPlotX(*resonanceBin, kWidth))
                             : std::nullopt;
    cursor2X_ = kLeft + BinToPlotX(antiResonanceBin, kWidth);
    update();
}

std::optional<int> ResponsePlots::Cursor1Bin() const {
    return cursor1X_ ? std::optional<int>(PlotXToBin(*cursor1X_ - kLeft, kWidth)) : std::nullopt;
}

int ResponsePlots::Cursor2Bin() const {
    return PlotXToBin(cursor2X_ - kLeft, kWidth);
}

QImage ResponsePlots::DrawPlot(bool gain) const {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::blue, 1, Qt::DotLine));
    if (gain) {
        for (const int y : {33, 66, 99, 132, 165}) {
            painter.drawLine(0, y, kWidth, y);
        }
    } else {
        for (const double share : {0.25, 0.5, 0.75}) {
            const int y = static_cast<int>(kHeight * share);
            painter.drawLine(0, y, kWidth, y);
        }
    }
    for (const int hz : GridFrequencies()) {
        const int x = FrequencyToPlotX(hz, kWidth);
        painter.drawLine(x, 0, x, kHeight);
    }

    if (response_ != nullptr) {
        const BinArray& values = gain ? response_->gainDb : response_->phaseDeg;
        const int perDiv = gain ? gainPerDiv_ : phasePerDiv_;
        const int offset = gain ? gainOffset_ : phaseOffset_;
        const int divisions = gain ? kGainDivisions : kPhaseDivisions;
        QPainterPath curve;
        bool drawing = false;
        for (int bin = 1; bin <= kCurveBins; ++bin) {
            const std::optional<int> y = ValueToPlotY(values[bin], perDiv, offset, divisions,
                                                      kHeight);
            if (!y) { // a bin without a value breaks the line
                drawing = false;
                continue;
            }
            const QPointF point(BinToPlotX(bin, kWidth), *y);
            drawing ? curve.lineTo(point) : curve.moveTo(point);
            drawing = true;
        }
        painter.setPen(QPen(Qt::red, 1));
        painter.drawPath(curve);
    }

    if (cursorsShown_) {
        if (cursor1X_) {
            painter.setPen(QPen(Qt::yellow, 2));
            painter.drawLine(*cursor1X_ - kLeft, 0, *cursor1X_ - kLeft, kHeight);
        }
        painter.setPen(QPen(Qt::green, 2));
        painter.drawLine(cursor2X_ - kLeft, 0, cursor2X_ - kLeft, kHeight);
    }
    return image;
}

void ResponsePlots::DrawLabels(QPainter& painter) const {
    const int column = kLeft - kLabelColumn;
    painter.fillRect(QRect(column, 0, kLabelColumn, kPhaseTop + kHeight + 20),
                     palette().color(QPalette::Button));
    painter.setPen(palette().color(QPalette::ButtonText));
    const int lineHeight = painter.fontMetrics().height();
    auto label = [&](int x, int y, const QString& text) {
        painter.drawText(QRect(x, y, 60, lineHeight), Qt::AlignLeft | Qt::AlignTop, text);
    };
    for (int n = gainOffset_ - 4; n <= gainOffset_ + 2; ++n) {
        label(column, ScaleLabelY(n, gainOffset_, kGainDivisions, kGainTop, kHeight),
              QString::number(gainPerDiv_ * n));
    }
    for (int n = phaseOffset_ - 2; n <= phaseOffset_ + 2; ++n) {
        label(column, ScaleLabelY(n, phaseOffset_, kPhaseDivisions, kPhaseTop, kHeight),
              QString::number(phasePerDiv_ * n));
    }
    painter.setPen(palette().color(QPalette::WindowText));
    label(kTitleX, kGainTop + kTitleDown, QString::fromUtf8("增益[dB]"));
    label(kTitleX, kPhaseTop + kTitleDown, QString::fromUtf8("相位[deg]"));
    for (const int top : {kGainTop, kPhaseTop}) {
        for (const int hz : kFrequencyLabels) {
            label(kLeft - 5 + FrequencyToPlotX(hz, kWidth), top + kHeight + 5,
                  QString::number(hz) + (hz == 2000 ? QStringLiteral("Hz") : QString()));
        }
    }
}

void ResponsePlots::Draw(QPainter& painter) const {
    DrawLabels(painter);
    painter.drawImage(kLeft, kGainTop, DrawPlot(true));
    painter.drawImage(kLeft, kPhaseTop, DrawPlot(false));
}

void ResponsePlots::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Draw(painter);
}

QImage ResponsePlots::Picture() const {
    QImage image(size(), QImage::Format_RGB32);
    image.fill(palette().color(QPalette::Window));
    QPainter painter(&image);
    painter.setFont(font());
    Draw(painter);
    return image;
}

bool ResponsePlots::InPlotRows(int y) {
    return (y - kGainTop >= 0 && y - kGainTop <= kHeight) ||
           (y - kPhaseTop >= 0 && y - kPhaseTop <= kHeight);
}

void ResponsePlots::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (!cursorsShown_ || event->button() != Qt::LeftButton || !InPlotRows(at.y())) {
        return;
    }
    if (cursor1X_ && std::abs(at.x() - *cursor1X_) < kCursorGrip) {
        dragging1_ = true;
    } else if (std::abs(at.x() - cursor2X_) < kCursorGrip) {
        dragging2_ = true;
    }
}

void ResponsePlots::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (!cursorsShown_ || event->buttons() != Qt::LeftButton || (!dragging1_ && !dragging2_)) {
        return;
    }
    // Beyond either end of the plots the cursor stays where it was last inside.
    if (at.x() < kLeft || at.x() > kLeft + kWidth) {
        return;
    }
    if (dragging1_) {
        cursor1X_ = at.x();
    } else {
        cursor2X_ = at.x();
    }
    update();
    emit cursorsMoved();
}

void ResponsePlots::mouseReleaseEvent(QMouseEvent*) {
    dragging1_ = dragging2_ = false;
}
