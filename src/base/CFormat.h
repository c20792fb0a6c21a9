#pragma once

#include <QString>

// A number as C's printf formats it: "%.1f" of a double rounds its exact binary value, an exact
// tie to the even digit (156.25 gives "156.2"), always with a decimal point whatever the user's
// locale. QString::asprintf and QString::number round such ties away from zero, so every text
// whose format is a C format ("%.1f", "%.2f", "%d/1024--->(%04XH)") is made here.
[[gnu::format(printf, 1, 2)]] QString FormatC(const char* format, ...);
