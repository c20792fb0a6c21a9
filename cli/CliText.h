#pragma once

#include <QString>

// A message of the parameter file functions on one line: they write paragraphs for a message
// box, a terminal wants "tool: message".
inline QString OneLine(const QString& message) {
    return message.simplified();
}
