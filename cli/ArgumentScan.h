#pragma once

#include "cli/Invocation.h"

#include <QString>
#include <QStringList>

#include <vector>

// One option a subcommand takes.
struct OptionSpec {
    const char* name;  // "--interval", "-o"
    const char* value; // what follows it, for the help ("MS", "FILE"); null for a flag
};

// A command line taken apart: the words in order, the options with their values.
struct ScannedArguments {
    QStringList words;
    ParsedOptions options;
    QStringList given;    // the options' names in the order given
    QStringList unknown;  // options that none of `known` names, in the order given
    QString valueMissing; // an option that came last, without its value
};

// Whether an argument is meant as an option: "--name" or "-x". "-" (the standard output) and
// negative numbers are words.
bool LooksLikeOption(const QString& argument);

// Splits `args` into words and options. An option of `known` that takes a value takes the next
// argument whatever it is; any other option-like argument is kept as unknown.
ScannedArguments ScanArguments(const QStringList& args, const std::vector<OptionSpec>& known);
