#pragma once

#include <QStringList>
#include <QTextStream>

// "orvan-cli nvp ...": parameter files without a drive. Returns the process exit code:
// 0 success, 1 failure, 2 usage error (for "diff": 3 when the files differ).
int RunNvpCommand(const QStringList& args, QTextStream& out, QTextStream& err);
