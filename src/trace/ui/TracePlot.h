#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>

#include <cstdint>

class TraceView;

// The trace plot: a 469 × 439 picture with the 350 × 350 grid at (60, 30), the axis labels in
// the line colours, the legends, the four lines and the cursors.
inline constexpr QSize kTracePlotSize{469, 439};
inline constexpr QRect kTraceFrame{60, 30, 350, 350};

// A colour table entry (0x00BBGGRR) as a colour.
QColor TraceColour(uint32_t colourRef);

// Draws the whole plot of `view` into `image`, which must be kTracePlotSize.
void DrawTracePlot(QImage& image, const TraceView& view);

// Shows the plot and lets the mouse drag the cursors.
class TracePlotWidget : public QWidget {
    Q_OBJECT
public:
    TracePlotWidget(TraceView& view, QWidget* parent = nullptr);

    // Draws the plot again from the view.
    void Redraw();
    // The picture as shown.
    const QImage& Image() const { return image_; }

signals:
    void cursorMoved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    float AlongCursorAxis(const QPoint& position) const;

    TraceView& view_;
    QImage image_;
    int dragged_ = -1; // the cursor being dragged, −1 none
};
