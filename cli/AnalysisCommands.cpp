#include "cli/AnalysisCommands.h"

#include "analysis/FrequencyResponse.h"
#include "analysis/RecordCsv.h"
#include "drive/DriveProfile.h"

#include <QFile>
#include <QSaveFile>

#include <cmath>
#include <cstdio>
#include <optional>

const char* const kAnalysisUsage =
    "       orvan-cli fra-analyse RECORD.csv [--model CODE] [-o RESULT.csv]\n";

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
    return QString::asprintf("%.1f", value);
}

QString ResultLine(const char* name, int bin, const FrequencyResponse& response) {
    return QString::fromLatin1(name) + ": " + QString::number(bin) + " " +
           OneDecimal(BinFrequency(bin)) + " " + OneDecimal(response.gainDb[bin]) + " " +
           OneDecimal(response.phaseDeg[bin]);
}

} // namespace

int RunFraAnalyseCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    const std::optional<FraOptions> o = ParseFraOptions(args, err);
    if (!o)
        return 2;

    QFile file(o->record);
    if (!file.open(QIODevice::ReadOnly)) {
        err << "fra-analyse: " << o->record << ": cannot open: " << file.errorString() << "\n";
        return 1;
    }
    const QByteArray text = file.read(kMaxRecordFileBytes + 1);
    if (text.size() > kMaxRecordFileBytes) {
        err << "fra-analyse: " << o->record << ": too large for a record of 1024 rows\n";
        return 1;
    }
    const auto parsed = ParseRecordCsv(std::string_view(text.constData(), text.size()));
    if (const auto* error = std::get_if<RecordCsvError>(&parsed)) {
        err << "fra-analyse: " << o->record << ": line " << error->line << ": "
            << QString::fromStdString(error->reason) << "\n";
        return 1;
    }

    const FrequencyResponse response = AnalyseResponse(std::get<FraRecord>(parsed), o->model);
    if (!o->output.isEmpty()) {
        QSaveFile result(o->output);
        const std::string csv = ResponseCsvText(response);
        if (!result.open(QIODevice::WriteOnly) ||
            result.write(csv.data(), static_cast<qint64>(csv.size())) !=
                static_cast<qint64>(csv.size()) ||
            !result.commit()) {
            err << "fra-analyse: " << o->output << ": cannot write: " << result.errorString()
                << "\n";
            return 1;
        }
    }
    if (response.resonanceBin)
        out << ResultLine("resonance", *response.resonanceBin, response) << "\n";
    else
        out << "resonance: none\n";
    out << ResultLine("anti-resonance", response.antiResonanceBin, response) << "\n";
    return 0;
}
