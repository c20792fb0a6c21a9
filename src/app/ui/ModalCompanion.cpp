#include "app/ui/ModalCompanion.h"

#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

ModalCompanion::ModalCompanion(QWidget* window, QWidget* owner)
    : QObject(window), window_(window), owner_(owner) {
    window_->installEventFilter(this);
}

bool ModalCompanion::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ &&
        (event->type() == QEvent::WindowBlocked || event->type() == QEvent::Show)) {
        // Queued: the modal dialog that blocks is registered only once its show has ended.
        QTimer::singleShot(0, this, &ModalCompanion::Follow);
    }
    return false;
}

void ModalCompanion::Follow() {
    QWindow* handle = window_->windowHandle();
    if (handle == nullptr)
        return;
    QWindow* modal = QGuiApplication::modalWindow();
    if (modal == handle)
        modal = nullptr;
    QWindow* target = modal;
    if (target == nullptr && owner_)
        target = owner_->windowHandle();
    if (handle->transientParent() != target)
        handle->setTransientParent(target);
    // Window managers keep a modal dialog above its owner's other windows (and put a window
    // that changes owners, or maps, below the focused one): the window stays on top instead.
    const bool onTop = modal != nullptr;
    if (handle->flags().testFlag(Qt::WindowStaysOnTopHint) != onTop)
        handle->setFlag(Qt::WindowStaysOnTopHint, onTop);
    if (followed_ != modal) {
        if (followed_)
            disconnect(followed_, nullptr, this, nullptr);
        followed_ = modal;
        // When that dialog ends, the next one running (or the owner) takes the window.
        if (modal != nullptr)
            connect(modal, &QWindow::visibleChanged, this, [this](bool visible) {
                if (!visible)
                    QTimer::singleShot(0, this, &ModalCompanion::Follow);
            });
    }
}
