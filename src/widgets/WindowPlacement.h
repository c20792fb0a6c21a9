#pragma once

class QSize;
class QWidget;

// Places a window that is about to be shown (a progress window, a wait) centred over the window
// that started it, `owner`'s top-level window, and wholly on that window's screen. Without an
// owner on the screen it is centred on the screen's work area.
void CentreOverOwner(QWidget& window, const QWidget* owner);

// The frame a window manager draws around a window: borders and a title bar.
inline constexpr int kWindowFrameWidth = 12;
inline constexpr int kWindowFrameHeight = 36;

// Sizes a window whose content, `natural` client pixels, scrolls where the screen is too small:
// as large as the content, at most the work area of the screen (`owner`'s, else the primary one)
// less a window frame. Where the height is cut, the width takes a vertical scroll bar of
// `scrollBarWidth` besides.
void FitOnScreen(QWidget& window, QSize natural, int scrollBarWidth, const QWidget* owner);
