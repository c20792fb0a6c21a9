#include "app/ui/Artwork.h"

#include "app/DocumentTemplate.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace {

const QColor kBrandBlue(0x1F, 0x4E, 0x8C);
const QColor kBrandLight(0x4A, 0x90, 0xD9);

// The mark: a motor flange (ring with four bolt holes) around a shaft whose keyway points up.
void DrawMark(QPainter& p, const QRectF& box) {
    const QPointF c = box.center();
    const qreal r = std::min(box.width(), box.height()) / 2.0;
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient face(c, r);
    face.setColorAt(0.0, kBrandLight);
    face.setColorAt(1.0, kBrandBlue);
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawEllipse(c, r, r);
    p.setBrush(Qt::white);
    const qreal bolt = r * 0.11;
    for (int i = 0; i < 4; ++i) {
        const double a = (45.0 + 90.0 * i) * M_PI / 180.0;
        p.drawEllipse(c + QPointF(std::cos(a), std::sin(a)) * r * 0.72, bolt, bolt);
    }
    p.setBrush(QColor(0xE8, 0xEE, 0xF5));
    p.drawEllipse(c, r * 0.42, r * 0.42);
    p.setBrush(kBrandBlue);
    p.drawRect(QRectF(c.x() - r * 0.08, c.y() - r * 0.42, r * 0.16, r * 0.22));
}

} // namespace

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        DrawMark(p, QRectF(0.5, 0.5, size - 1.0, size - 1.0));
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QPixmap LogoPixmap() {
    QPixmap pixmap(220, 64);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    DrawMark(p, QRectF(4, 4, 56, 56));
    QFont font = p.font();
    font.setPixelSize(30);
    font.setBold(true);
    p.setFont(font);
    p.setPen(kBrandBlue);
    p.drawText(QRectF(70, 0, 150, 64), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("ORVAN"));
    return pixmap;
}

QPixmap SplashPixmap() {
    QPixmap pixmap(422, 236);
    QPainter p(&pixmap);
    QLinearGradient sky(0, 0, 0, pixmap.height());
    sky.setColorAt(0.0, kBrandBlue);
    sky.setColorAt(1.0, QColor(0x0B, 0x1F, 0x3A));
    p.fillRect(pixmap.rect(), sky);
    DrawMark(p, QRectF(28, 58, 120, 120));
    p.setPen(Qt::white);
    QFont title = p.font();
    title.setPixelSize(34);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRectF(165, 70, 250, 50), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Orvan Servo"));
    QFont line = p.font();
    line.setPixelSize(15);
    line.setBold(false);
    p.setFont(line);
    p.drawText(QRectF(167, 120, 250, 24), Qt::AlignLeft | Qt::AlignVCenter,
               ProgramDocumentTemplate().windowTitle);
    p.drawText(QRectF(167, 146, 250, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("交流伺服驱动器工程工具"));
    p.setPen(QColor(255, 255, 255, 90));
    p.drawLine(165, 118, 400, 118);
    return pixmap;
}

QIcon GlyphIcon(const QString& glyph, const QColor& colour) {
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawRoundedRect(QRectF(0.5, 0.5, size - 1.0, size - 1.0), size / 6.0, size / 6.0);
        QFont font = p.font();
        font.setPixelSize(size * 2 / 3);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, glyph);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
