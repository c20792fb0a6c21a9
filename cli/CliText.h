#pragma once

#include "base/BoundedRead.h"

#include <QString>
#include <QTextStream>

// Every error line of the tool starts with its name, so that a script's log says who spoke.
inline QTextStream& ErrorLine(QTextStream& err) {
    return err << "orvan-cli: ";
}

// A message of the parameter file functions on one line: they write paragraphs for a message
// box, a terminal wants "tool: message".
inline QString OneLine(const QString& message) {
    return message.simplified();
}

// Why a file could not be read, in the tool's English.
inline QString FileReadErrorEnglish(const FileReadError& error) {
    switch (error.kind) {
    case FileReadError::Kind::NotRegularFile:
        return QStringLiteral("not a regular file (a device, FIFO or other special file)");
    case FileReadError::Kind::TooLarge:
        return QStringLiteral("larger than %1 bytes").arg(error.limit);
    case FileReadError::Kind::System: break;
    }
    return qt_error_string(error.errorNumber);
}
