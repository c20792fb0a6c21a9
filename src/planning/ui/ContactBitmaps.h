#pragma once

#include <QPixmap>

// The planner's cell pictures, drawn by the program: an unselected cell (224), a function on a
// normally closed contact (225, red with the closed-contact symbol) and on a normally open one
// (226, green with the open-contact symbol). The legend shows 225 and 226 beside their texts.
enum class ContactBitmap { Unselected = 224, NormallyClosed = 225, NormallyOpen = 226 };

QPixmap ContactBitmapPixmap(ContactBitmap bitmap);
