#pragma once

#include "cli/LinkCommands.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

// The options of "trace", as given (checked before the port is opened).
struct TraceOptions {
    std::optional<QString> interval; // --interval CODE, 100 us units
    std::optional<QString> data1;    // --data1 SEL, 0..7
    std::optional<QString> data2;    // --data2 SEL
    std::optional<QString> di;       // --di N, DI-1..DI-13
    std::optional<QString> dout;     // --do N, DO-1..DO-4
    std::optional<QString> trigger;  // --trigger MODE, 0..15
    std::optional<QString> level;    // --level L, rpm or %
    std::optional<QString> csv;      // --csv FILE
    QString valueMissing;            // an option that came last, without its value
};

// When the command of `args` is "trace", takes its options out of `args` (the rest are link
// options) and returns true.
bool TakeTraceOptions(QStringList& args, TraceOptions* options);

// "trace": sets up a capture in the drive, starts it, waits for the recording (a progress line
// on a terminal), reads the samples back and writes the trace file (-o, ".trd") and, with --csv,
// the samples as "trd export" writes them. Exit codes as for the link commands.
int RunTraceCommand(const LinkOptions& link, const TraceOptions& options, QTextStream& out,
                    QTextStream& err);

extern const char* const kTraceUsage;
