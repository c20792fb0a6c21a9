#pragma once

#include <QByteArray>
#include <QString>

// Writes `content` to `path` so that the file is either the complete new content or, after any
// failure, the old file untouched: the bytes go to a temporary file in the same folder, which
// replaces the target only once everything was written. On failure `reason` (when given) says why.
bool WriteFileAtomically(const QString& path, const QByteArray& content, QString* reason);
