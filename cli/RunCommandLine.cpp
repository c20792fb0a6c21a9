#include "cli/RunCommandLine.h"

#include "cli/CommandHelp.h"
#include "cli/CommandTable.h"

#include <algorithm>

namespace {

bool IsHelp(const QString& argument) {
    return argument == QLatin1String("--help") || argument == QLatin1String("-h");
}

// Every option the subcommands of `group` take: a command line is split by these before its
// subcommand is known.
std::vector<OptionSpec> OptionsOfGroup(const QString& group) {
    std::vector<OptionSpec> options;
    if (group.isEmpty()) {
        options = LinkOptionSpecs();
    }
    for (const Subcommand& command : Subcommands()) {
        if (group == QLatin1String(command.group)) {
            options.insert(options.end(), command.options.begin(), command.options.end());
        }
    }
    return options;
}

bool Takes(const std::vector<OptionSpec>& options, const QString& name) {
    return std::any_of(options.begin(), options.end(),
                       [&](const OptionSpec& o) { return name == QLatin1String(o.name); });
}

bool Takes(const Subcommand& command, const QString& name) {
    return Takes(command.options, name) || (command.needsDrive && Takes(LinkOptionSpecs(), name));
}

// Who does take an option given to the wrong subcommand: "fra", "monitor, trace".
QString OwnersOf(const QString& group, const QString& option) {
    if (group.isEmpty() && Takes(LinkOptionSpecs(), option)) {
        return QStringLiteral("the drive commands");
    }
    QStringList owners;
    for (const Subcommand& command : Subcommands()) {
        if (group == QLatin1String(command.group) && Takes(command.options, option) &&
            !owners.contains(CommandName(command))) {
            owners << CommandName(command);
        }
    }
    return owners.join(QStringLiteral(", "));
}

// The first option the subcommand does not take, said on one line; empty when there is none.
QString RefusedOption(const QString& group, const Subcommand& command,
                      const ScannedArguments& scanned) {
    const QString name = CommandName(command);
    if (!scanned.unknown.isEmpty()) {
        return QStringLiteral("unknown option %1 for %2").arg(scanned.unknown.front(), name);
    }
    for (const QString& option : scanned.given + QStringList{scanned.valueMissing}) {
        if (!option.isEmpty() && !Takes(command, option)) {
            return QStringLiteral("%1 does not take %2 (an option of %3)")
                .arg(name, option, OwnersOf(group, option));
        }
    }
    return {};
}

int GroupUsage(const QString& group, const QString& why, QTextStream& err) {
    ErrorLine(err) << why << "\n" << GroupHelpText(group);
    return 2;
}

} // namespace

int RunCommandLine(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.size() == 1 && args.front() == QLatin1String("--version")) {
        out << "orvan-cli " ORVAN_VERSION "\n";
        return 0;
    }
    if (args.isEmpty() || IsHelp(args.front())) {
        (args.isEmpty() ? err : out) << HelpText();
        return args.isEmpty() ? 2 : 0;
    }
    // "nvp" and "trd" lead their groups' subcommands; the others stand alone.
    QString group;
    QStringList rest = args;
    if (args.front() == QLatin1String("nvp") || args.front() == QLatin1String("trd")) {
        group = rest.takeFirst();
        if (rest.isEmpty() || IsHelp(rest.front())) {
            (rest.isEmpty() ? err : out) << GroupHelpText(group);
            return rest.isEmpty() ? 2 : 0;
        }
    }
    const ScannedArguments scanned = ScanArguments(rest, OptionsOfGroup(group));
    const QString prefix = group.isEmpty() ? QString() : group + QStringLiteral(": ");
    if (scanned.words.isEmpty()) {
        return GroupUsage(group,
                          prefix + (scanned.unknown.isEmpty()
                                        ? QStringLiteral("no command given")
                                        : QStringLiteral("unknown option ") + scanned.unknown[0]),
                          err);
    }
    const Subcommand* command = FindSubcommand(group, scanned.words);
    if (command == nullptr) {
        return GroupUsage(
            group, prefix + QStringLiteral("unknown command \"%1\"").arg(scanned.words.front()),
            err);
    }
    const QString refused = RefusedOption(group, *command, scanned);
    if (!refused.isEmpty()) {
        ErrorLine(err) << refused << "\n";
        return 2;
    }
    Invocation call{CommandName(*command),
                    UsageText(*command),
                    scanned.words.mid(1),
                    scanned.options,
                    LinkOptions{},
                    out,
                    err};
    if (!scanned.valueMissing.isEmpty()) {
        return call.Usage(scanned.valueMissing + QStringLiteral(" needs a value"));
    }
    QString why;
    if (command->needsDrive &&
        !ReadLinkOptions(scanned.options, &call.link, &why, !command->portOptional)) {
        return call.Usage(why);
    }
    return command->run(call);
}
