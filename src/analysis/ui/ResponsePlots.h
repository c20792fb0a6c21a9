#pragma once

#include "analysis/FrequencyResponse.h"

#include <QImage>
#include <QWidget>

#include <optional>

// The analysis window's drawing: the plot titles, the label column, the gain plot above and the
// phase plot below on the logarithmic frequency axis, their curves and the two cursor lines,
// which the user drags with the mouse. Its coordinates are the window's: the gain plot's corner
// at (116, 16), the phase plot's at (116, 250), each 400 x 200 pixels. The screen and an export
// show the same drawing.
class ResponsePlots : public QWidget {
    Q_OBJECT
public:
    static constexpr int kLeft = 116;
    static constexpr int kGainTop = 16;
    static constexpr int kPhaseTop = kGainTop + 234;
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 200;
    static constexpr int kLabelColumn = 30;

    explicit ResponsePlots(QWidget* parent = nullptr);

    // The curves to draw; null draws the grids alone. The response must outlive its showing.
    void SetResponse(const FrequencyResponse* response);
    void SetGainScale(int perDiv, int offset);
    void SetPhaseScale(int perDiv, int offset);

    void SetCursorsShown(bool shown);
    bool CursorsShown() const { return cursorsShown_; }
    // Puts the cursors on the bins an analysis chose; cursor 1 goes without a resonance.
    void PlaceCursors(std::optional<int> resonanceBin, int antiResonanceBin);
    // The bins under the cursors (cursor 1 empty when it is not there).
    std::optional<int> Cursor1Bin() const;
    int Cursor2Bin() const;
    std::optional<int> Cursor1X() const { return cursor1X_; }

    // The drawing as the window shows it; the upper part holds the gain plot with its title,
    // value and frequency labels, the lower part the phase plot with its own.
    QImage Picture() const;
    QImage GainImage() const { return Picture().copy(GainArea()); }
    QImage PhaseImage() const { return Picture().copy(PhaseArea()); }
    QRect GainArea() const { return {0, 0, width(), kPhaseTop - kGainTop}; }
    QRect PhaseArea() const {
        return {0, kPhaseTop - kGainTop, width(), height() - (kPhaseTop - kGainTop)};
    }

signals:
    // A cursor was dragged to another place.
    void cursorsMoved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Draw(QPainter& painter) const;
    QImage DrawPlot(bool gain) const;
    void DrawLabels(QPainter& painter) const;
    static bool InPlotRows(int y);

    const FrequencyResponse* response_ = nullptr;
    int gainPerDiv_ = 20;
    int gainOffset_ = 1;
    int phasePerDiv_ = 180;
    int phaseOffset_ = 0;
    bool cursorsShown_ = false;
    bool dragging1_ = false;
    bool dragging2_ = false;
    std::optional<int> cursor1X_{kLeft};
    int cursor2X_ = kLeft;
};
