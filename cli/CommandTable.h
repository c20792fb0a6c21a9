#pragma once

#include "cli/ArgumentScan.h"
#include "cli/Invocation.h"

#include <QString>
#include <QStringList>

#include <vector>

// One subcommand of the tool: the table below is all the tool knows about its commands; the
// parser, the help and the dispatch read it.
struct Subcommand {
    const char* group;               // the word before the name: "nvp", "trd"; "" for the others
    const char* name;                // "read", "show"
    const char* synopsis;            // the name with its arguments, as the help shows it
    const char* help;                // what it does; a line break starts a continuation line
    std::vector<OptionSpec> options; // besides the link options
    bool needsDrive;                 // takes the link options and talks to a drive
    int (*run)(const Invocation&);
    // Tells apart two subcommands of one name by their arguments; null: any arguments.
    bool (*fits)(const QStringList& words) = nullptr;
    // Takes the link options but finds a port by itself when --port is not given.
    bool portOptional = false;
};

// Every subcommand, in the order of the help.
const std::vector<Subcommand>& Subcommands();

// The options of every command that needs a drive: how to reach it.
const std::vector<OptionSpec>& LinkOptionSpecs();

// The subcommand `words` ask for in `group`, judged by its name (the first word) and, where two
// share a name, by its arguments; null when there is none.
const Subcommand* FindSubcommand(const QString& group, const QStringList& words);

// The name messages use: "read", "nvp show".
QString CommandName(const Subcommand& command);
