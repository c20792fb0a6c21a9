#include "cli/AnalysisCommands.h"

#include "analysis/FraMeasurement.h"
#include "analysis/FrequencyResponse.h"
#include "analysis/RecordCsv.h"
#include "base/BoundedRead.h"
#include "base/CFormat.h"
#include "base/Messenger.h"
#include "cli/CliText.h"
#include "cli/Interrupt.h"
#include "cli/LinkCommands.h"
#include "cli/OutputFiles.h"
#include "drive/DriveProfile.h"
#include "link/DriveOperations.h"
#include "link/MotionExits.h"
#include "params/DriveConnection.h"
#include "params/NolvaServoDoc.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>

const char* const kAnalysisUsage =
    "       orvan-cli fra-analyse RECORD.csv [--model CODE] [-o RESULT.csv]\n"
    "       orvan-cli --port DEVICE [link options] fra --load PERCENT [-o RESULT.csv]\n"
    "                 [--record RECORD.csv] [--force]  (measure the frequency response on the\n"
    "                 drive; --force replaces existing files)\n";

namespace {

// A record file is 1024 short rows; anything far larger is not one.
constexpr qint64 kMaxRecordFileBytes = 4 * 1024 * 1024;

struct FraOptions {
    QString record;
    QString output;
    int32_t model = DriveProfile{}.modelCode;
};

int Usage(QTextStream& err, const QString& why) {
    err << "fra-analyse: " << why << "\nusage: orvan-cli fra-analyse RECORD.csv [--model CODE] "
        << "[-o RESULT.csv]\n"
        << "RECORD.csv: a header line and 1024 rows torque,speed (percent, rpm). --model is the "
        << "hexadecimal model code (Cn030) that picks the torque factors (default "
        << QString::number(DriveProfile{}.modelCode, 16).rightJustified(4, QLatin1Char('0'))
        << ").\n";
    return 2;
}

std::optional<FraOptions> ParseFraOptions(const QStringList& args, QTextStream& err) {
    FraOptions o;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("-o") || a == QLatin1String("--model")) {
            if (i + 1 >= args.size()) {
                Usage(err, a + " needs a value");
                return std::nullopt;
            }
            const QString value = args[++i];
            if (a == QLatin1String("-o")) {
                o.output = value;
                continue;
            }
            bool ok = false;
            QString digits = value;
            if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
                digits.remove(0, 2);
            const uint code = digits.toUInt(&ok, 16);
            if (!ok || code > 0xFFFF) {
                Usage(err, "--model must be a hexadecimal model code such as 0121, not \"" + value +
                               "\"");
                return std::nullopt;
            }
            o.model = static_cast<int32_t>(code);
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            Usage(err, "unknown option " + a);
            return std::nullopt;
        } else if (!o.record.isEmpty()) {
            Usage(err, "one record file only");
            return std::nullopt;
        } else {
            o.record = a;
        }
    }
    if (o.record.isEmpty()) {
        Usage(err, "no record file given");
        return std::nullopt;
    }
    return o;
}

QString OneDecimal(double value) {
    if (std::isnan(value))
        return QStringLiteral("nan");
    return FormatC("%.1f", value);
}

QString ResultLine(const char* name, int bin, const FrequencyResponse& response) {
    return QString::fromLatin1(name) + ": " + QString::number(bin) + " " +
           OneDecimal(BinFrequency(bin)) + " " + OneDecimal(response.gainDb[bin]) + " " +
           OneDecimal(response.phaseDeg[bin]);
}

void PrintResults(const FrequencyResponse& response, QTextStream& out) {
    if (response.resonanceBin)
        out << ResultLine("resonance", *response.resonanceBin, response) << "\n";
    else
        out << "resonance: none\n";
    out << ResultLine("anti-resonance", response.antiResonanceBin, response) << "\n";
}

int FraUsage(QTextStream& err, const QString& why) {
    err << "fra: " << why << "\nusage: orvan-cli --port DEVICE [link options] fra --load PERCENT "
        << "[-o RESULT.csv] [--record RECORD.csv] [--force]\nPERCENT: the load torque, 1..100.\n";
    return 2;
}

} // namespace

int RunFraAnalyseCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    const std::optional<FraOptions> o = ParseFraOptions(args, err);
    if (!o)
        return 2;

    QByteArray text;
    FileReadError readError;
    if (!ReadFileWithLimit(o->record, kMaxRecordFileBytes, &text, &readError)) {
        if (readError.kind == FileReadError::Kind::TooLarge)
            err << "fra-analyse: " << o->record << ": too large for a record of 1024 rows\n";
        else
            err << "fra-analyse: " << o->record
                << ": cannot open: " << FileReadErrorEnglish(readError) << "\n";
        return 1;
    }
    const auto parsed = ParseRecordCsv(std::string_view(text.constData(), text.size()));
    if (const auto* error = std::get_if<RecordCsvError>(&parsed)) {
        err << "fra-analyse: " << o->record << ": line " << error->line << ": "
            << QString::fromStdString(error->reason) << "\n";
        return 1;
    }

    const FrequencyResponse response = AnalyseResponse(std::get<FraRecord>(parsed), o->model);
    if (!o->output.isEmpty() &&
        !WriteOutputs({{o->output, QByteArray::fromStdString(ResponseCsvText(response))}},
                      QStringLiteral("fra-analyse"), out, err)) {
        return 1;
    }
    PrintResults(response, out);
    return 0;
}

namespace {

// No window on the command line: only a look at Ctrl+C after every word of a half's read.
class InterruptWatch : public FraReadProgress {
public:
    explicit InterruptWatch(std::function<void()> check) : check_(std::move(check)) {}
    bool Open(int) override { return true; }
    void SetText(const QString&) override {}
    void Step() override {}
    bool ExchangeDone() override {
        check_();
        return true;
    }
    void Close() override {}

private:
    std::function<void()> check_;
};

} // namespace

QStringList TakeFraOptions(const QStringList& args, FraCliOptions* options) {
    QStringList rest;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        std::optional<QString>* slot = a == QLatin1String("--load")     ? &options->load
                                       : a == QLatin1String("--record") ? &options->record
                                                                        : nullptr;
        if (slot == nullptr) {
            rest << a;
        } else if (i + 1 < args.size()) {
            *slot = args[++i];
        } else {
            options->valueMissing = a;
        }
    }
    return rest;
}

int RunFraCommand(const LinkOptions& link, const FraCliOptions& options, QTextStream& out,
                  QTextStream& err) {
    if (!options.valueMissing.isEmpty()) {
        return FraUsage(err, options.valueMissing + " needs a value");
    }
    if (link.command.size() > 1) {
        return FraUsage(err, "fra takes no arguments besides its options");
    }
    if (!options.load) {
        return FraUsage(err, "--load PERCENT is required");
    }
    bool numeric = false;
    const int load = options.load->toInt(&numeric);
    if (!numeric || load < 1 || load > 100) {
        return FraUsage(err,
                        "--load must be a whole percentage 1..100, not \"" + *options.load + "\"");
    }
    if (options.record && options.record->isEmpty()) {
        return FraUsage(err, "--record needs a file");
    }
    // The files are checked before the drive runs: a measurement is not spent on one that
    // cannot be made.
    QStringList outputs;
    if (options.record) {
        outputs << *options.record;
    }
    if (!link.output.isEmpty()) {
        outputs << link.output;
    }
    for (const QString& path : outputs) {
        const QString problem = OutputProblem(path, link.force);
        if (!problem.isEmpty()) {
            err << "fra: cannot write " << path << ": " << problem << "\n";
            return 1;
        }
    }

    ConsoleMessenger messenger;
    DriveProfile profile;
    CNolvaServoDoc document(profile);
    DriveOperations operations;
    DriveConnection connection(link.settings, profile, document, messenger, operations);
    if (!OpenPort(connection, link, err) || !ProbeDrive(connection, err)) {
        return 1;
    }
    // The model code picks the torque factors and N scales the speed words.
    DriveStatus status;
    if (!connection.ReadStatus(status)) {
        err << "fra: the drive's status could not be read\n";
        connection.Close();
        return 1;
    }
    FraMeasurement measurement(connection, profile, messenger);
    // Ctrl+C ends the drive's run before the program goes, between two polls or two words.
    const InterruptGuard interrupts;
    QStringList notEnded;
    bool ended = false;
    bool wasRunning = false;
    const auto endOnInterrupt = [&] {
        if (InterruptGuard::Interrupted() && !ended) {
            ended = true;
            wasRunning = connection.Motions().Active();
            notEnded = connection.Motions().EndAll();
        }
    };
    InterruptWatch watch(endOnInterrupt);
    measurement.SetPollPump(endOnInterrupt);
    measurement.SetReadProgress(&watch);
    FraRecord record;
    const bool measured = measurement.Start(QString::number(load), record);
    connection.Close();
    if (ended) {
        err << "fra: interrupted; "
            << (!wasRunning          ? QStringLiteral("no run was going")
                : notEnded.isEmpty() ? QStringLiteral("the drive's run was ended")
                                     : QStringLiteral("the drive's run could not be ended: the "
                                                      "motor may still turn"))
            << "\n";
        return 1;
    }
    if (!measured) {
        err << "fra: the measurement failed\n";
        return 1;
    }
    const FrequencyResponse response = AnalyseResponse(record, profile.modelCode);
    QList<OutputFile> files;
    if (options.record) {
        files.append({*options.record, QByteArray::fromStdString(RecordCsvText(record))});
    }
    if (!link.output.isEmpty()) {
        files.append({link.output, QByteArray::fromStdString(ResponseCsvText(response))});
    }
    if (!WriteOutputs(files, QStringLiteral("fra"), out, err)) {
        return 1;
    }
    PrintResults(response, out);
    return 0;
}
