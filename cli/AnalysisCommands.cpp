#include "cli/AnalysisCommands.h"

#include "analysis/FraMeasurement.h"
#include "analysis/FrequencyResponse.h"
#include "analysis/RecordCsv.h"
#include "base/BoundedRead.h"
#include "base/CFormat.h"
#include "cli/CliText.h"
#include "cli/DriveSession.h"
#include "cli/Interrupt.h"
#include "cli/Invocation.h"
#include "cli/Numbers.h"
#include "cli/OutputFiles.h"
#include "link/MotionExits.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>

namespace {

// A record file is 1024 short rows; anything far larger is not one.
constexpr qint64 kMaxRecordFileBytes = 4 * 1024 * 1024;

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

} // namespace

int RunFraAnalyse(const Invocation& call) {
    if (call.words.size() != 1) {
        return call.Usage(call.words.isEmpty()
                              ? QStringLiteral("fra-analyse: no record file given")
                              : QStringLiteral("fra-analyse: one record file only"));
    }
    const QString record = call.words[0];
    const QString output = call.options.Value("-o").value_or(QString());
    int32_t model = DriveProfile{}.modelCode;
    if (const std::optional<QString> text = call.options.Value("--model")) {
        const std::optional<int64_t> code = ParseNumber(*text, NumberForm::Hex, 0, 0xFFFF);
        if (!code) {
            return call.Usage("fra-analyse: --model must be a hexadecimal model code such as 0121, "
                              "not \"" +
                              *text + "\"");
        }
        model = static_cast<int32_t>(*code);
    }

    QByteArray text;
    FileReadError readError;
    if (!ReadFileWithLimit(record, kMaxRecordFileBytes, &text, &readError)) {
        if (readError.kind == FileReadError::Kind::TooLarge)
            ErrorLine(call.err) << "fra-analyse: " << record
                                << ": too large for a record of 1024 rows\n";
        else
            ErrorLine(call.err) << "fra-analyse: " << record
                                << ": cannot open: " << FileReadErrorEnglish(readError) << "\n";
        return 1;
    }
    const auto parsed = ParseRecordCsv(std::string_view(text.constData(), text.size()));
    if (const auto* error = std::get_if<RecordCsvError>(&parsed)) {
        ErrorLine(call.err) << "fra-analyse: " << record << ": line " << error->line << ": "
                            << QString::fromStdString(error->reason) << "\n";
        return 1;
    }

    const FrequencyResponse response = AnalyseResponse(std::get<FraRecord>(parsed), model);
    if (!output.isEmpty() &&
        !WriteOutputs({{output, QByteArray::fromStdString(ResponseCsvText(response))}},
                      QStringLiteral("orvan-cli: fra-analyse"), call.out, call.err)) {
        return 1;
    }
    PrintResults(response, call.out);
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

int RunFra(const Invocation& call) {
    const auto usage = [&](const QString& why) {
        return call.Usage(QStringLiteral("fra: ") + why);
    };
    if (!call.words.isEmpty()) {
        return usage(QStringLiteral("fra takes no arguments besides its options"));
    }
    const std::optional<QString> loadText = call.options.Value("--load");
    if (!loadText) {
        return usage(QStringLiteral("--load PERCENT is required"));
    }
    const std::optional<int64_t> load = ParseNumber(*loadText, NumberForm::Decimal, 1, 100);
    if (!load) {
        return usage("--load must be a whole percentage 1..100, not \"" + *loadText + "\"");
    }
    const std::optional<QString> recordPath = call.options.Value("--record");
    if (recordPath && recordPath->isEmpty()) {
        return usage(QStringLiteral("--record needs a file"));
    }
    const QString output = call.options.Value("-o").value_or(QString());
    // The files are checked before the drive runs: a measurement is not spent on one that
    // cannot be made.
    QStringList outputs;
    if (recordPath) {
        outputs << *recordPath;
    }
    if (!output.isEmpty()) {
        outputs << output;
    }
    for (const QString& path : outputs) {
        const QString problem = OutputProblem(path, call.options.Has("--force"));
        if (!problem.isEmpty()) {
            ErrorLine(call.err) << "fra: cannot write " << path << ": " << problem << "\n";
            return 1;
        }
    }

    // The model code picks the torque factors and N scales the speed words.
    DriveSession session(call.link, call.err);
    if (!session.ConnectWithStatus()) {
        return 1;
    }
    DriveConnection& connection = session.connection;
    FraMeasurement measurement(connection, session.profile, session.messenger);
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
    const bool measured = measurement.Start(QString::number(*load), record);
    session.Close();
    if (ended) {
        ErrorLine(call.err) << "fra: interrupted; "
                            << (!wasRunning ? QStringLiteral("no run was going")
                                : notEnded.isEmpty()
                                    ? QStringLiteral("the drive's run was ended")
                                    : QStringLiteral("the drive's run could not be ended: the "
                                                     "motor may still turn"))
                            << "\n";
        return 1;
    }
    if (!measured) {
        ErrorLine(call.err) << "fra: the measurement failed\n";
        return 1;
    }
    const FrequencyResponse response = AnalyseResponse(record, session.profile.modelCode);
    QList<OutputFile> files;
    if (recordPath) {
        files.append({*recordPath, QByteArray::fromStdString(RecordCsvText(record))});
    }
    if (!output.isEmpty()) {
        files.append({output, QByteArray::fromStdString(ResponseCsvText(response))});
    }
    if (!WriteOutputs(files, QStringLiteral("orvan-cli: fra"), call.out, call.err)) {
        return 1;
    }
    PrintResults(response, call.out);
    return 0;
}
