#pragma once

#include <QStringList>
#include <QTextStream>

// "fra-analyse RECORD.csv [--model CODE] [-o RESULT.csv]": the frequency response of a recorded
// measurement without a drive. Prints the resonance and anti-resonance lines; exit 0, 1 when the
// record cannot be read or the result not written (nothing written then), 2 on bad arguments.
// `args` follows the command word.
int RunFraAnalyseCommand(const QStringList& args, QTextStream& out, QTextStream& err);

extern const char* const kAnalysisUsage;
