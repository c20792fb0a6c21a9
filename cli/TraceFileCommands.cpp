#include "cli/TraceFileCommands.h"

#include "base/AtomicFile.h"
#include "base/CFormat.h"
#include "cli/CliText.h"
#include "cli/Invocation.h"
#include "trace/TraceDisplay.h"
#include "trace/TraceFile.h"

#include <memory>

namespace {

std::unique_ptr<TraceRecord> Open(const QString& path, QTextStream& err) {
    auto record = std::make_unique<TraceRecord>();
    QString error;
    if (!OpenTraceFile(path, *record, &error)) {
        ErrorLine(err) << "trd: " << OneLine(error) << "\n";
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

int RunTrdShow(const Invocation& call) {
    if (call.words.size() != 1) {
        return call.Usage(QStringLiteral("trd: show takes one file"));
    }
    const auto record = Open(call.words[0], call.err);
    if (!record) {
        return 1;
    }
    Show(*record, call.out);
    return 0;
}

int RunTrdExport(const Invocation& call) {
    if (call.words.isEmpty() || call.words.size() > 2 || !call.options.Has("--csv")) {
        return call.Usage(QStringLiteral("trd: export takes a file and --csv [OUT]"));
    }
    const auto record = Open(call.words[0], call.err);
    if (!record) {
        return 1;
    }
    const QByteArray csv = TraceCsv(*record);
    const QString output = call.words.value(1, QStringLiteral("-"));
    if (output == QLatin1String("-")) {
        call.out << QString::fromUtf8(csv);
        return 0;
    }
    QString reason;
    if (!WriteFileAtomically(output, csv, &reason)) {
        ErrorLine(call.err) << "trd: cannot write " << output << ": " << reason << "\n";
        return 1;
    }
    return 0;
}
