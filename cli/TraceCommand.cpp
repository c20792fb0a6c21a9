#include "cli/TraceCommand.h"

#include "base/CFormat.h"
#include "cli/DriveSession.h"
#include "cli/Invocation.h"
#include "cli/Numbers.h"
#include "cli/OutputFiles.h"
#include "trace/DriveTrace.h"
#include "trace/TraceDisplay.h"
#include "trace/TraceFile.h"
#include "trace/TraceSettingsCheck.h"

#include <QThread>

#include <algorithm>

#include <unistd.h>

namespace {

constexpr int kTickMs = 100;
constexpr int kProgressEvery = 64; // read-back requests between two progress lines

// An option's number; -1, outside every range, when it is not a number.
int32_t Number(const QString& text) {
    return static_cast<int32_t>(
        ParseNumber(text, NumberForm::Decimal, INT32_MIN, INT32_MAX).value_or(-1));
}

bool OnTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

// The read-back's count on a terminal, overwritten in place.
class TerminalProgress : public TransferProgress {
public:
    explicit TerminalProgress(QTextStream& err) : err_(err) {}
    void Open(const QString&, int steps) override { steps_ = steps; }
    void SetText(const QString&) override {}
    void Step() override {
        if (++done_ % kProgressEvery == 0 || done_ == steps_) {
            err_ << "\rreading " << done_ << "/" << steps_ << Qt::flush;
        }
    }
    void Close() override { err_ << "\n" << Qt::flush; }

private:
    QTextStream& err_;
    int steps_ = 0;
    int done_ = 0;
};

// What an option needs, told by the option that sets the field out of range.
QString OptionProblemText(const TraceFieldProblem& p) {
    switch (p.field) {
    case TraceField::Interval:
        return QStringLiteral("--interval needs a code %1..%2 (units of 100 us)")
            .arg(p.min)
            .arg(p.max);
    case TraceField::Data1:
    case TraceField::Data2:
        return QStringLiteral("--data1 and --data2 need a quantity %1..%2").arg(p.min).arg(p.max);
    case TraceField::Di:
        return QStringLiteral("--di needs an input contact %1..%2").arg(p.min + 1).arg(p.max + 1);
    case TraceField::Do:
        return QStringLiteral("--do needs an output contact %1..%2").arg(p.min + 1).arg(p.max + 1);
    case TraceField::TriggerMode:
        return QStringLiteral("--trigger needs a mode %1..%2").arg(p.min).arg(p.max);
    case TraceField::TriggerLevel: break;
    }
    return p.max == 0 ? QStringLiteral("--level goes with trigger modes 1..4 only")
                      : QStringLiteral("--level needs 0..%1 for this trigger mode").arg(p.max);
}

// The settings the options ask for, or the reason they are wrong: the same check a trace file
// passes before its settings may reach the drive.
std::optional<TraceSettings> SettingsOf(const ParsedOptions& o, QString* why) {
    const auto number = [&](const char* name, int32_t absent) {
        const std::optional<QString> text = o.Value(name);
        return text ? Number(*text) : absent;
    };
    TraceSettings s;
    s.intervalCode = number("--interval", -1);
    s.data1 = number("--data1", -1);
    s.data2 = number("--data2", -1);
    s.diSelection = number("--di", 1) - 1;
    s.doSelection = number("--do", 1) - 1;
    s.triggerMode = number("--trigger", 0);
    s.triggerLevel = number("--level", 0);
    if (const auto problem = FirstBadTraceSetting(s)) {
        *why = OptionProblemText(*problem);
        return std::nullopt;
    }
    return s;
}

} // namespace

int RunTrace(const Invocation& call) {
    const auto usage = [&](const QString& why) {
        return call.Usage(QStringLiteral("trace: ") + why);
    };
    if (!call.words.isEmpty()) {
        return usage(QStringLiteral("trace takes no words after it"));
    }
    QString why;
    const std::optional<TraceSettings> settings = SettingsOf(call.options, &why);
    if (!settings) {
        return usage(why);
    }
    const QString output = call.options.Value("-o").value_or(QString());
    if (output.isEmpty() || !HasTraceFileExtension(output)) {
        return usage(QStringLiteral("-o needs a trace file ending in .trd"));
    }
    const std::optional<QString> csv = call.options.Value("--csv");
    if (csv && csv->isEmpty()) {
        return usage(QStringLiteral("--csv needs a file"));
    }
    // A one-time event on the machine is not spent on a file that cannot be made.
    QStringList outputs{output};
    if (csv) {
        outputs << *csv;
    }
    for (const QString& path : outputs) {
        const QString problem = OutputProblem(path, call.options.Has("--force"));
        if (!problem.isEmpty()) {
            ErrorLine(call.err) << "trace: cannot write " << path << ": " << problem << "\n";
            return 1;
        }
    }

    DriveSession session(call.link, call.err);
    session.document.OnNewDocument();
    if (!session.ConnectWithStatus()) { // N for the speed conversions
        return 1;
    }
    DriveConnection& connection = session.connection;
    DriveTrace drive(connection, session.profile, session.messenger);
    TraceRecord record;
    ConfigureTrace(record, *settings);
    if (!drive.ReadContactFunctions(nullptr)) {
        ErrorLine(call.err) << "trace: reading the drive's contacts failed\n";
        return 1;
    }
    record.settings.contactFunctions = session.document.contactsInDrive;

    QTextStream& err = call.err;
    const bool terminal = OnTerminal();
    const auto wait = [&](const std::function<DriveTrace::Recording()>& check) {
        TraceWait clock(record.settings.IntervalUs(), TraceSettings::kPoints);
        for (;;) {
            QThread::msleep(kTickMs);
            const bool look = clock.Tick();
            if (terminal && !clock.Text().isEmpty()) {
                err << "\rrecording " << clock.Text() << Qt::flush;
            }
            if (look) {
                const DriveTrace::Recording state = check();
                if (state != DriveTrace::Recording::Waiting) {
                    if (terminal) {
                        err << "\n" << Qt::flush;
                    }
                    if (state == DriveTrace::Recording::Failed) {
                        ErrorLine(err) << "trace: reading the recording state failed\n";
                    }
                    return state == DriveTrace::Recording::Finished;
                }
            }
        }
    };
    TerminalProgress progress(err);
    const bool captured = CaptureTraceRecord(drive, record, wait, terminal ? &progress : nullptr);
    session.Close();
    if (!captured) {
        return 1;
    }
    QList<OutputFile> files{{output, StoreTrace(record)}};
    if (csv) {
        files.append({*csv, TraceCsv(record)});
    }
    if (!WriteOutputs(files, QStringLiteral("orvan-cli: trace"), call.out, err)) {
        return 1;
    }
    // With the samples on the standard output, the summary goes with the other messages.
    (csv == QLatin1String("-") ? err : call.out)
        << "trace: " << TraceSettings::kPoints << " samples of "
        << FormatC("%.1f", static_cast<double>(record.IntervalMs())) << " ms written to " << output
        << "\n";
    return 0;
}
