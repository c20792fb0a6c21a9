#pragma once

#include <QByteArray>
#include <QString>

// Why a bounded read failed: the kind, with the system's error number or the limit it passed.
struct FileReadError {
    enum class Kind { System, NotRegularFile, TooLarge };
    Kind kind = Kind::System;
    int errorNumber = 0;
    qint64 limit = 0;
};

// Reads the whole of the regular file at `path`, at most `maxBytes` of it. Anything else is
// refused without waiting: a FIFO without a writer, a device such as /dev/zero, a folder, and a
// file longer than `maxBytes`. The open never blocks, so a FIFO cannot hang the caller.
bool ReadFileWithLimit(const QString& path, qint64 maxBytes, QByteArray* bytes,
                       FileReadError* error);

// The reason in Chinese, for the desktop program's messages.
QString FileReadErrorText(const FileReadError& error);
