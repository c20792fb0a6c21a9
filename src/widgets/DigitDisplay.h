#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>

// The cells a digit display of `positions` cells shows for `value`: decimal, the value right
// aligned in that width and cut to its rightmost cells ("  295", "-1200"); hexadecimal, "H" and
// the value's last positions - 1 hexadecimal digits ("H0101"). Each character is one cell:
// 0-9, A-F, H, '-' or blank.
QString DigitDisplayText(int32_t value, int positions, bool hex);

// A row of large seven-segment cells drawn with QPainter, as on the drive's own panel. While
// disabled every cell is dark.
class DigitDisplay : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCellWidth = 34;
    static constexpr int kCellHeight = 54;

    explicit DigitDisplay(QWidget* parent = nullptr);

    void SetPositions(int positions);
    void SetHex(bool hex);
    void SetValue(int32_t value);

    // What the cells show now.
    QString Text() const { return DigitDisplayText(value_, positions_, hex_); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Changed();

    int positions_ = 5;
    bool hex_ = false;
    int32_t value_ = 0;
};
