#include "base/CFormat.h"

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <locale.h>
#include <string>

namespace {

// The "C" locale, made once: the program runs under the user's locale (Qt sets it at start-up),
// whose decimal point may be a comma.
locale_t CLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return locale;
}

} // namespace

QString FormatC(const char* format, ...) {
    const locale_t previous = uselocale(CLocale());
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    char small[128];
    const int length = std::vsnprintf(small, sizeof small, format, args);
    QString text;
    if (length >= 0 && static_cast<size_t>(length) < sizeof small) {
        text = QString::fromUtf8(small, length);
    } else if (length >= 0) {
        std::string large(static_cast<size_t>(length) + 1, '\0');
        std::vsnprintf(large.data(), large.size(), format, again);
        text = QString::fromUtf8(large.data(), length);
    }
    va_end(again);
    va_end(args);
    uselocale(previous);
    return text;
}
