#pragma once

#include "cli/LinkCommands.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

// The options only the monitor commands take, as given (checked when the command runs).
struct MonitorOptions {
    std::optional<QString> interval; // monitor: --interval MS
    std::optional<QString> count;    // monitor: --count N
    std::optional<QString> csv;      // monitor: --csv FILE
    bool clear = false;              // alarms: --clear
    QString valueMissing;            // an option that came last, without its value

    bool Given() const { return interval || count || csv || clear || !valueMissing.isEmpty(); }
};

// Takes the monitor options out of a command line and returns the rest for the link options.
QStringList TakeMonitorOptions(const QStringList& args, MonitorOptions* options);

// "monitor", "diag" and "alarms".
bool IsMonitorCommand(const QStringList& command);

// "monitor [Un-01 ...] [--interval MS] [--count N] [--csv FILE]": the status display values at
// each interval until the count or Ctrl+C. "diag": dn-01..dn-04 and the contact lamps.
// "alarms [--clear]": the alarm history, newest first. Exit codes as for the link commands.
int RunMonitorCommand(const LinkOptions& link, const MonitorOptions& options, QTextStream& out,
                      QTextStream& err);

// The usage text of the monitor commands (after the link commands').
extern const char* const kMonitorUsage;
