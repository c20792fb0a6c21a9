#pragma once

#include <QString>

struct Subcommand;

// The help, made from the table of subcommands: every one of them, by section.
QString HelpText();
// The help of one group of subcommands ("nvp", "trd").
QString GroupHelpText(const QString& group);
// What a usage error shows below its reason: the subcommand's section line, its own lines and
// the section's notes.
QString UsageText(const Subcommand& command);
