#pragma once

#include <QAbstractButton>

// A JOG direction button: our own drawings for normal, hover, pressed and disabled, the hand
// cursor while the mouse is over it, and Enter presses it like a click.
class CJogButtonCtrl : public QAbstractButton {
    Q_OBJECT
public:
    enum class Direction { Forward, Reverse };
    CJogButtonCtrl(Direction direction, const QString& text, QWidget* parent = nullptr);

    bool Hover() const { return hover_; }
    QSize sizeHint() const override;

    // The drawing of a state, as the button paints it.
    enum class Look { Normal, Hover, Pressed, Disabled };
    QPixmap Drawing(Look look) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    Direction direction_;
    bool hover_ = false;
};
