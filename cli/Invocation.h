#pragma once

#include "cli/CliText.h"
#include "cli/LinkOptions.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

// The options a command line gave, by name: a flag with an empty value. The last of a repeated
// option counts.
class ParsedOptions {
public:
    void Set(const QString& name, const QString& value) { values_.insert(name, value); }
    bool Has(const char* name) const { return values_.contains(QLatin1String(name)); }
    std::optional<QString> Value(const char* name) const {
        const auto found = values_.constFind(QLatin1String(name));
        return found == values_.constEnd() ? std::nullopt : std::optional<QString>(*found);
    }

private:
    QHash<QString, QString> values_;
};

// One subcommand's run: what it was given and where it speaks. The options are those the
// subcommand takes (the parser refused any other); the link options are read for the commands
// that need a drive.
struct Invocation {
    QString name;      // "read", "nvp show": leads the subcommand's messages
    QString usage;     // the subcommand's lines of the help
    QStringList words; // the arguments after the subcommand's name
    ParsedOptions options;
    LinkOptions link;
    QTextStream& out;
    QTextStream& err;

    // A usage error: the reason on one line, then the subcommand's usage. Returns exit code 2.
    int Usage(const QString& why) const {
        ErrorLine(err) << why << "\n" << usage;
        return 2;
    }
};
