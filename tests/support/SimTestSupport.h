#pragma once

// Request and reply spelling for the simulated drive's tests. The check values are computed
// here from their definitions, not with the frame builders under test.

#include <QByteArray>

#include <cstdio>
#include <string>

namespace simtest {

// A command frame: `body` followed by the two-digit byte sum of its characters.
inline QByteArray Cmd(const std::string& body) {
    unsigned sum = 0;
    for (const unsigned char c : body)
        sum += c;
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", sum & 0xFF);
    return QByteArray::fromStdString(body + digits);
}

// "01 03 00 00" -> bytes.
inline QByteArray Bytes(const char* hex) {
    return QByteArray::fromHex(hex);
}

// Bytes -> "01 03 00 00".
inline std::string HexText(const QByteArray& bytes) {
    return bytes.toHex(' ').toUpper().toStdString();
}

// An ASCII frame from its characters without CR LF.
inline QByteArray Ascii(const char* text) {
    return QByteArray(text) + "\r\n";
}

inline std::string Text(const QByteArray& bytes) {
    return bytes.toStdString();
}

} // namespace simtest
