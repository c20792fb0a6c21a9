#include "cli/Numbers.h"

std::optional<int64_t> ParseNumber(const QString& text, NumberForm form, int64_t min, int64_t max) {
    const bool prefixed =
        text.startsWith(QLatin1String("0x")) || text.startsWith(QLatin1String("0X"));
    if (prefixed && form == NumberForm::Decimal) {
        return std::nullopt;
    }
    const bool hex = prefixed || form == NumberForm::Hex;
    bool ok = false;
    const qlonglong value = (prefixed ? text.mid(2) : text).toLongLong(&ok, hex ? 16 : 10);
    if (!ok || value < min || value > max) {
        return std::nullopt;
    }
    return value;
}
