#pragma once

class QWidget;

// Places a window that is about to be shown (a progress window, a wait) centred over the window
// that started it, `owner`'s top-level window, and wholly on that window's screen. Without an
// owner on the screen it is centred on the screen's work area.
void CentreOverOwner(QWidget& window, const QWidget* owner);

