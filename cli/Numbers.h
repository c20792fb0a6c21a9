#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// How a command writes the numbers it takes.
enum class NumberForm {
    Decimal,      // 1500, -3
    DecimalOrHex, // 1500, or 0x5DC with the prefix
    Hex,          // 05DC, the prefix optional: model codes and bit-field values
};

// The number `text` spells in `form`, when it lies within min..max; nothing otherwise. Every
// number on the command line goes through here, so that all commands read them alike.
std::optional<int64_t> ParseNumber(const QString& text, NumberForm form, int64_t min, int64_t max);
