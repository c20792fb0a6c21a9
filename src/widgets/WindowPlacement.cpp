#include "widgets/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSize>
#include <QWidget>

#include <algorithm>

void CentreOverOwner(QWidget& window, const QWidget* owner) {
    const QWidget* over = owner != nullptr ? owner->window() : nullptr;
    if (over != nullptr && !over->isVisible())
        over = nullptr;
    const QScreen* screen = over != nullptr ? over->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect area = screen->availableGeometry();
    window.ensurePolished();
    window.adjustSize();
    // Before the first show the frame a window manager adds is not known: the client area is
    // centred then. A window's position is that of its frame.
    QRect placed(QPoint(), window.isVisible() ? window.frameGeometry().size() : window.size());
    placed.moveCenter(over != nullptr ? over->frameGeometry().center() : area.center());
    const int left = std::clamp(placed.left(), area.left(),
                                std::max(area.left(), area.right() + 1 - placed.width()));
    const int top = std::clamp(placed.top(), area.top(),
                               std::max(area.top(), area.bottom() + 1 - placed.height()));
    window.move(left, top);
}

void FitOnScreen(QWidget& window, QSize natural, int scrollBarWidth, const QWidget* owner) {
    const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    QSize room = natural;
    if (screen != nullptr) {
        const QRect area = screen->availableGeometry();
        room = QSize(area.width() - kWindowFrameWidth, area.height() - kWindowFrameHeight);
    }
    QSize size = natural.boundedTo(room);
    if (size.height() < natural.height())
        size.setWidth(std::min(natural.width() + scrollBarWidth, room.width()));
    window.setMaximumSize(natural.width() + scrollBarWidth, natural.height());
    window.setMinimumSize(size.width(), std::min(size.height(), natural.height() / 2));
    window.resize(size);
}
