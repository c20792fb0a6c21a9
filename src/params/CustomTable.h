#pragma once

#include <QList>

#include <cstdint>

// One row of the user's own parameter list: group 1..6 (C, T, S, P, q, H) and the parameter's
// number within the group minus one.
struct CustomEntry {
    int32_t Group = 0;
    int32_t Index = 0;
    bool operator==(const CustomEntry&) const = default;
};

// The user's own parameter list in display order. The list is not cut to any window's size:
// what a settings file holds is kept.
struct CustomTable {
    QList<CustomEntry> Entries;
    int32_t Count() const { return static_cast<int32_t>(Entries.size()); }
    bool operator==(const CustomTable&) const = default;
};
