#include "planning/ui/ContactBitmaps.h"

#include <QPainter>

namespace {

constexpr int kWidth = 45;
constexpr int kHeight = 15;

// A contact in the ladder symbol: two leads, two plates, and for a normally closed contact the
// slanted bar across the gap.
void DrawContact(QPainter& painter, bool closed) {
    const int middle = kHeight / 2;
    const int left = kWidth / 2 - 5;
    const int right = kWidth / 2 + 5;
    painter.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(4, middle, left, middle);
    painter.drawLine(right, middle, kWidth - 4, middle);
    painter.drawLine(left, 2, left, kHeight - 2);
    painter.drawLine(right, 2, right, kHeight - 2);
    if (closed) {
        painter.drawLine(left - 4, kHeight - 2, right + 4, 1);
    }
}

} // namespace

QPixmap ContactBitmapPixmap(ContactBitmap bitmap) {
    QPixmap pixmap(kWidth, kHeight);
    switch (bitmap) {
    case ContactBitmap::Unselected: pixmap.fill(QColor(236, 236, 236)); break;
    case ContactBitmap::NormallyClosed: pixmap.fill(QColor(183, 28, 28)); break;
    case ContactBitmap::NormallyOpen: pixmap.fill(QColor(46, 125, 50)); break;
    }
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    if (bitmap == ContactBitmap::Unselected) {
        painter.setPen(QPen(QColor(176, 176, 176), 1));
        painter.drawEllipse(QPointF(kWidth / 2.0, kHeight / 2.0), 3.0, 3.0);
    } else {
        DrawContact(painter, bitmap == ContactBitmap::NormallyClosed);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(96, 96, 96), 1));
    painter.drawRect(0, 0, kWidth - 1, kHeight - 1);
    return pixmap;
}
