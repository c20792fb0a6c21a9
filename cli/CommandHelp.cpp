#include "cli/CommandHelp.h"

#include "cli/CommandTable.h"

namespace {

constexpr int kHelpColumn = 27; // where the text after a synopsis starts

// The help's sections: the subcommands of one group that do, or do not, need a drive.
struct Section {
    const char* group;
    bool drive;
    const char* line;  // follows "usage: orvan-cli "
    const char* notes; // below the section's subcommands
};

const Section kSections[] = {
    {"", true,
     "--port DEVICE [--baud N] [--rs485 --station N --frame-format K] [--echo MODE] COMMAND",
     "PAGE is one of 0-9, A-F; LOC, REG and VALUE are decimal or 0x-prefixed hexadecimal.\n"
     "--frame-format 0..5 is Modbus ASCII, 6..8 Modbus RTU; --baud defaults to 9600.\n"
     "--echo off|on|auto: whether the line hands back every byte sent before the reply (a\n"
     "two-wire RS-485 converter); auto, the default, tells from the drive's first answer.\n"},
    {"", false, "COMMAND (without a drive)", ""},
    {"nvp", false, "nvp COMMAND (parameter files, without a drive)",
     "--max-speed is the drive's maximum motor speed in rpm (default 3000); it sets the ranges\n"
     "and defaults of speed parameters. A file's own Cn030 sets the encoder-dependent ones.\n"},
    {"trd", false, "trd COMMAND (trace files, without a drive)",
     "The CSV holds one row per sample: the time in ms, data 1 and data 2 in their units, then\n"
     "the input and output contact words; its first line names the quantities and units.\n"},
};

bool InSection(const Subcommand& command, const Section& section) {
    return QLatin1String(command.group) == QLatin1String(section.group) &&
           command.needsDrive == section.drive;
}

const Section& SectionOf(const Subcommand& command) {
    for (const Section& section : kSections) {
        if (InSection(command, section)) {
            return section;
        }
    }
    return kSections[0];
}

QString SubcommandLines(const Subcommand& command) {
    const QString group = QLatin1String(command.group);
    const QString synopsis =
        (group.isEmpty() ? group : group + QLatin1Char(' ')) + QLatin1String(command.synopsis);
    const QString indent(kHelpColumn, QLatin1Char(' '));
    const QStringList help = QString::fromUtf8(command.help).split(QLatin1Char('\n'));
    QString text = QStringLiteral("  ") + synopsis;
    if (text.size() < kHelpColumn) {
        text += QString(kHelpColumn - text.size(), QLatin1Char(' '));
    } else {
        text += QLatin1Char('\n') + indent;
    }
    text += help.join(QLatin1Char('\n') + indent) + QLatin1Char('\n');
    return text;
}

QString SectionText(const Section& section, const char* lead) {
    QString text = QLatin1String(lead) + QStringLiteral("orvan-cli ") +
                   QLatin1String(section.line) + QLatin1Char('\n');
    for (const Subcommand& command : Subcommands()) {
        if (InSection(command, section)) {
            text += SubcommandLines(command);
        }
    }
    return text + QLatin1String(section.notes);
}

} // namespace

QString HelpText() {
    QString text;
    for (const Section& section : kSections) {
        text += SectionText(section, text.isEmpty() ? "usage: " : "   or: ");
    }
    return text + QStringLiteral("   or: orvan-cli --version\n");
}

QString GroupHelpText(const QString& group) {
    for (const Section& section : kSections) {
        if (group == QLatin1String(section.group)) {
            return SectionText(section, "usage: ");
        }
    }
    return HelpText();
}

QString UsageText(const Subcommand& command) {
    const Section& section = SectionOf(command);
    return QStringLiteral("usage: orvan-cli ") + QLatin1String(section.line) + QLatin1Char('\n') +
           SubcommandLines(command) + QLatin1String(section.notes);
}
