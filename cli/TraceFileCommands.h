#pragma once

#include <QStringList>
#include <QTextStream>

// "orvan-cli trd ...": trace files without a drive. Returns the process exit code: 0 success,
// 1 failure (an unreadable file, a failed write), 2 usage error.
int RunTraceFileCommand(const QStringList& args, QTextStream& out, QTextStream& err);
