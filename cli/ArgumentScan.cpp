#include "cli/ArgumentScan.h"

#include <algorithm>

bool LooksLikeOption(const QString& argument) {
    return argument.startsWith(QLatin1String("--")) ||
           (argument.size() > 1 && argument.front() == QLatin1Char('-') && argument[1].isLetter());
}

ScannedArguments ScanArguments(const QStringList& args, const std::vector<OptionSpec>& known) {
    ScannedArguments scanned;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& argument = args[i];
        if (!LooksLikeOption(argument)) {
            scanned.words << argument;
            continue;
        }
        const auto option = std::find_if(known.begin(), known.end(), [&](const OptionSpec& o) {
            return argument == QLatin1String(o.name);
        });
        if (option == known.end()) {
            scanned.unknown << argument;
            continue;
        }
        scanned.given << argument;
        if (option->value == nullptr) {
            scanned.options.Set(argument, QString());
        } else if (i + 1 < args.size()) {
            scanned.options.Set(argument, args[++i]);
        } else {
            scanned.valueMissing = argument;
        }
    }
    return scanned;
}
