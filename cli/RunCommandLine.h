#pragma once

#include <QStringList>
#include <QTextStream>

// One run of the tool on its arguments (without the program's name): finds the subcommand in the
// table, refuses options it does not take, reads the link options of a drive command and runs
// it. Returns the exit code: 0 success, 1 a failure, 2 a usage error, 3 differences found.
int RunCommandLine(const QStringList& args, QTextStream& out, QTextStream& err);
