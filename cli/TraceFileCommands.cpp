#include "cli/TraceFileCommands.h"

#include "base/AtomicFile.h"
#include "base/CFormat.h"
#include "cli/CliText.h"
#include "trace/TraceDisplay.h"
#include "trace/TraceFile.h"

#include <memory>

namespace {

const char* const kUsage =
    "usage: orvan-cli trd show FILE\n"
    "       orvan-cli trd export FILE --csv OUT   (OUT \"-\" writes to the output)\n"
    "The CSV holds one row per sample: the time in ms, data 1 and data 2 in their units, then\n"
    "the input and output contact words; its first line names the quantities and units.\n";

int Usage(QTextStream& err, const QString& why) {
    err << "trd: " << why << "\n" << kUsage;
    return 2;
}

std::unique_ptr<TraceRecord> Open(const QString& path, QTextStream& err) {
    auto record = std::make_unique<TraceRecord>();
    QString error;
    if (!OpenTraceFile(path, *record, &error)) {
        err << "trd: " << OneLine(error) << "\n";
        return nullptr;
    }
    return record;
}

QString ScaleText(const TraceAxis& axis) {
    const QString entry = VerticalScaleTexts().value(axis.scaleIndex);
    return QStringLiteral("%1 (%2 per division, top %3)")
        .arg(entry)
        .arg(axis.units)
        .arg(axis.topValue);
}

void Show(const TraceRecord& r, QTextStream& out) {
    const TraceSettings& s = r.settings;
    out << "data 1: " << QuantityLegend(s.data1) << ", scale " << ScaleText(r.axes[0]) << "\n"
        << "data 2: " << QuantityLegend(s.data2) << ", scale " << ScaleText(r.axes[1]) << "\n"
        << "interval: code " << s.intervalCode << ", "
        << FormatC("%.1f", static_cast<double>(r.IntervalMs())) << " ms\n"
        << "points: " << r.points << "\n"
        << "total time: " << FormatC("%.2f", static_cast<double>(r.TotalTimeMs())) << " ms\n"
        << "trigger: " << TriggerModeText(s.triggerMode, s.contactFunctions)
        << TriggerLevelText(s.triggerMode, s.triggerLevel) << "\n"
        << "DI lane: " << DiLegendText(s.contactFunctions, s.diSelection) << " (row " << r.diRow
        << ")\n"
        << "DO lane: " << DoLegendText(s.contactFunctions, s.doSelection) << " (row " << r.doRow
        << ")\n";
}

} // namespace

int RunTraceFileCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.isEmpty() || args.front() == QLatin1String("--help"))
        return Usage(err, QStringLiteral("a command is needed"));
    const QString& command = args.front();
    if (command == QLatin1String("show")) {
        if (args.size() != 2)
            return Usage(err, QStringLiteral("show takes one file"));
        const auto record = Open(args[1], err);
        if (!record)
            return 1;
        Show(*record, out);
        return 0;
    }
    if (command == QLatin1String("export")) {
        if (args.size() != 4 || args[2] != QLatin1String("--csv"))
            return Usage(err, QStringLiteral("export takes a file and --csv OUT"));
        const auto record = Open(args[1], err);
        if (!record)
            return 1;
        const QByteArray csv = TraceCsv(*record);
        if (args[3] == QLatin1String("-")) {
            out << QString::fromUtf8(csv);
            return 0;
        }
        QString reason;
        if (!WriteFileAtomically(args[3], csv, &reason)) {
            err << "trd: cannot write " << args[3] << ": " << reason << "\n";
            return 1;
        }
        return 0;
    }
    return Usage(err, QStringLiteral("unknown command ") + command);
}
