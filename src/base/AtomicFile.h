#pragma once

#include <QByteArray>
#include <QString>

// Writes `content` to `path`, the one way every file of the system is saved. A regular file (or
// a new one) is either the complete new content or, after any failure, the old file untouched:
// the bytes go to a temporary file in the same folder, which replaces the target only once
// everything was written. An existing character device or FIFO is written into directly, as
// `cp` does, and never replaced by a file; a FIFO that no program reads is refused rather than
// waited for. A folder or another special file is refused. On failure `reason` (when given) says
// why.
bool WriteFileAtomically(const QString& path, const QByteArray& content, QString* reason);
