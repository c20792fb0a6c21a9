#pragma once

#include <QStringList>
#include <QTextStream>

// "orvan-cli --port DEVICE [--baud N] [--rs485 --station N --frame-format K] COMMAND ...":
// single exchanges with a drive. Returns the exit code: 0 success, 1 a failed exchange or port,
// 2 a usage error.
int RunLinkCommand(const QStringList& args, QTextStream& out, QTextStream& err);

// The usage text of the link commands.
extern const char* const kLinkUsage;
