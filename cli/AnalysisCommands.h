#pragma once

#include <QStringList>
#include <QTextStream>

#include <optional>

// "fra-analyse RECORD.csv [--model CODE] [-o RESULT.csv]": the frequency response of a recorded
// measurement without a drive. Prints the resonance and anti-resonance lines; exit 0, 1 when the
// record cannot be read or the result not written (nothing written then), 2 on bad arguments.
// `args` follows the command word.
int RunFraAnalyseCommand(const QStringList& args, QTextStream& out, QTextStream& err);

struct LinkOptions;

// The options of "fra" beside the link options, as given (checked when the command runs).
struct FraCliOptions {
    std::optional<QString> load;   // --load PERCENT
    std::optional<QString> record; // --record FILE
    QString valueMissing;          // an option that came last, without its value
};

// Takes the fra options out of a command line and returns the rest for the link options.
QStringList TakeFraOptions(const QStringList& args, FraCliOptions* options);

// "fra --load PERCENT [-o RESULT.csv] [--record RECORD.csv]": one measurement on the drive, the
// lines fra-analyse prints, the response and the record written when asked. Exit 0, 1 when the
// measurement or a file failed, 2 on bad arguments (found before the port opens).
int RunFraCommand(const LinkOptions& link, const FraCliOptions& options, QTextStream& out,
                  QTextStream& err);

extern const char* const kAnalysisUsage;
