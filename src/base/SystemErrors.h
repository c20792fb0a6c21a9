#pragma once

#include <QString>


// The reasons the system gives for a failed file or port operation, as the user reads them: the
// common ones (missing, no permission, read-only, full, not a folder, is a folder, busy) in
// Chinese, so that no English system text stands inside a Chinese message. A reason without a
// Chinese text keeps the system's own.

// The reason for an errno value.
QString SystemErrorText(int errorNumber);
// A reason the system worded itself (strerror's text, as QFile's errorString() gives it).
QString LocalSystemErrorText(const QString& systemText);
