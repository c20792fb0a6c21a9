#pragma once

#include <QString>

// Every text the user sees, keyed by its string ID. An unknown ID yields an empty string.
QString StringText(int id);

// A text as a window shows it: the table's texts write a shown "&" as "&&", as window captions
// and labels take them.
QString ShownText(QString text);

// True when the table holds a text for the ID (an empty text counts as held).
bool HasString(int id);

// One entry of a string table block. Blocks are plain arrays of data; the table merges them.
struct StringEntry {
    int id;
    const char* utf8;
};
