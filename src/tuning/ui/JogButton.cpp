#include "tuning/ui/JogButton.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kWidth = 96;
constexpr int kHeight = 72;

struct Palette {
    QColor face;
    QColor edge;
    QColor arrow;
    QColor text;
};

Palette PaletteOf(CJogButtonCtrl::Look look) {
    switch (look) {
    case CJogButtonCtrl::Look::Hover: return {{226, 238, 252}, {48, 110, 200}, {20, 90, 200}, Qt::black};
    case CJogButtonCtrl::Look::Pressed: return {{170, 196, 230}, {24, 70, 150}, {10, 60, 160}, Qt::black};
    case CJogButtonCtrl::Look::Disabled: return {{224, 224, 224}, {170, 170, 170}, {170, 170, 170}, {150, 150, 150}};
    case CJogButtonCtrl::Look::Normal: break;
    }
    return {{240, 240, 240}, {128, 128, 128}, {40, 100, 190}, Qt::black};
}

} // namespace

CJogButtonCtrl::CJogButtonCtrl(Direction direction, const QString& text, QWidget* parent)
    : QAbstractButton(parent), direction_(direction) {
    setText(text);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
}

QSize CJogButtonCtrl::sizeHint() const {
    return {kWidth, kHeight};
}

QPixmap CJogButtonCtrl::Drawing(Look look) const {
    const Palette p = PaletteOf(look);
    QPixmap pixmap(kWidth, kHeight);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const int shift = look == Look::Pressed ? 1 : 0;
    painter.setPen(QPen(p.edge, look == Look::Hover ? 2 : 1));
    painter.setBrush(p.face);
    painter.drawRoundedRect(QRectF(1.5, 1.5, kWidth - 3, kHeight - 3), 8, 8);

    // A curved arrow round the shaft: counter-clockwise for forward, clockwise for reverse.
    const QRectF circle(kWidth / 2.0 - 16 + shift, 8 + shift, 32, 32);
    const bool forward = direction_ == Direction::Forward;
    QPainterPath arc;
    arc.arcMoveTo(circle, forward ? -60 : 240);
    arc.arcTo(circle, forward ? -60 : 240, forward ? 300 : -300);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(p.arrow, 4, Qt::SolidLine, Qt::FlatCap));
    painter.drawPath(arc);
    // The head at the arc's end, pointing along it.
    const QPointF tip = arc.currentPosition();
    const qreal angle = arc.angleAtPercent(1.0);
    QPainterPath head;
    head.moveTo(0, 0);
    head.lineTo(-13, -8);
    head.lineTo(-13, 8);
    head.closeSubpath();
    QTransform turn;
    turn.translate(tip.x(), tip.y());
    turn.rotate(-angle);
    painter.setPen(Qt::NoPen);
    painter.setBrush(p.arrow);
    painter.drawPath(turn.map(head));

    painter.setPen(p.text);
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(shift, 44 + shift, kWidth, kHeight - 48), Qt::AlignCenter, text());
    return pixmap;
}

void CJogButtonCtrl::paintEvent(QPaintEvent*) {
    Look look = Look::Normal;
    if (!isEnabled()) {
        look = Look::Disabled;
    } else if (isDown()) {
        look = Look::Pressed;
    } else if (hover_) {
        look = Look::Hover;
    }
    QPainter painter(this);
    painter.drawPixmap((width() - kWidth) / 2, (height() - kHeight) / 2, Drawing(look));
    if (hasFocus()) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(4, 4, -5, -5));
    }
}

void CJogButtonCtrl::enterEvent(QEnterEvent* event) {
    hover_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CJogButtonCtrl::leaveEvent(QEvent* event) {
    hover_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void CJogButtonCtrl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}
