#include "cli/TraceCommand.h"

#include "base/CFormat.h"
#include "base/Messenger.h"
#include "cli/OutputFiles.h"
#include "link/DriveOperations.h"
#include "params/DriveConnection.h"
#include "params/NolvaServoDoc.h"
#include "trace/DriveTrace.h"
#include "trace/TraceDisplay.h"
#include "trace/TraceFile.h"
#include "trace/TraceSettingsCheck.h"

#include <QThread>

#include <algorithm>

#include <unistd.h>

const char* const kTraceUsage =
    "  trace --interval CODE --data1 SEL --data2 SEL -o FILE.trd\n"
    "                           capture a trace: 512 samples every CODE x 100 us (1..1250) of\n"
    "                           quantities SEL 0..7 (0 speed command, 1 speed feedback, 2 torque\n"
    "                           command, 3 reference pulse speed, 4/5 U-phase current command/\n"
    "                           feedback, 6 position error, 7 electric angle) [--di N: DI-1..13]\n"
    "                           [--do N: DO-1..4] [--trigger MODE: 0 at once, 1..4 on a level,\n"
    "                           5..12 DI-1..8, 13..15 DO-1..3] [--level L: rpm 0..3000 for\n"
    "                           modes 1..3, % 0..300 for mode 4] [--csv FILE: the samples too,\n"
    "                           \"-\" to the output] [--force: replace existing files]\n";

namespace {

constexpr int kTickMs = 100;
constexpr int kProgressEvery = 64; // read-back requests between two progress lines

int Usage(QTextStream& err, const QString& why) {
    err << "orvan-cli: trace: " << why << "\n" << kTraceUsage;
    return 2;
}

// An option's number; -1, outside every range, when it is missing or not a number.
int32_t Number(const std::optional<QString>& text) {
    bool ok = false;
    const int32_t value = text ? text->toInt(&ok) : 0;
    return ok ? value : -1;
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
std::optional<TraceSettings> SettingsOf(const TraceOptions& o, QString* why) {
    TraceSettings s;
    s.intervalCode = Number(o.interval);
    s.data1 = Number(o.data1);
    s.data2 = Number(o.data2);
    s.diSelection = o.di ? Number(o.di) - 1 : 0;
    s.doSelection = o.dout ? Number(o.dout) - 1 : 0;
    s.triggerMode = o.trigger ? Number(o.trigger) : 0;
    s.triggerLevel = o.level ? Number(o.level) : 0;
    if (const auto problem = FirstBadTraceSetting(s)) {
        *why = OptionProblemText(*problem);
        return std::nullopt;
    }
    return s;
}

} // namespace

bool TakeTraceOptions(QStringList& args, TraceOptions* o) {
    static const QStringList kLinkValueOptions{"--port", "--baud", "--station", "--frame-format",
                                               "-o"};
    const std::pair<const char*, std::optional<QString> TraceOptions::*> kOptions[] = {
        {"--interval", &TraceOptions::interval}, {"--data1", &TraceOptions::data1},
        {"--data2", &TraceOptions::data2},       {"--di", &TraceOptions::di},
        {"--do", &TraceOptions::dout},           {"--trigger", &TraceOptions::trigger},
        {"--level", &TraceOptions::level},       {"--csv", &TraceOptions::csv}};
    // The command is the first word that is neither an option nor an option's value.
    bool isTrace = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (kLinkValueOptions.contains(args[i])) {
            ++i;
        } else if (!args[i].startsWith(QLatin1Char('-'))) {
            isTrace = args[i] == QLatin1String("trace");
            break;
        } else if (std::any_of(std::begin(kOptions), std::end(kOptions),
                               [&](const auto& option) { return args[i] == option.first; })) {
            ++i;
        }
    }
    if (!isTrace) {
        return false;
    }
    QStringList rest;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const auto option = std::find_if(std::begin(kOptions), std::end(kOptions),
                                         [&](const auto& o) { return args[i] == o.first; });
        if (option == std::end(kOptions)) {
            rest << args[i];
        } else if (i + 1 < args.size()) {
            o->*(option->second) = args[++i];
        } else {
            o->valueMissing = args[i];
        }
    }
    args = rest;
    return true;
}

int RunTraceCommand(const LinkOptions& link, const TraceOptions& o, QTextStream& out,
                    QTextStream& err) {
    if (!o.valueMissing.isEmpty()) {
        return Usage(err, o.valueMissing + QStringLiteral(" needs a value"));
    }
    if (link.command.size() != 1) {
        return Usage(err, QStringLiteral("trace takes no words after it"));
    }
    QString why;
    const std::optional<TraceSettings> settings = SettingsOf(o, &why);
    if (!settings) {
        return Usage(err, why);
    }
    if (link.output.isEmpty() || !HasTraceFileExtension(link.output)) {
        return Usage(err, QStringLiteral("-o needs a trace file ending in .trd"));
    }
    if (o.csv && o.csv->isEmpty()) {
        return Usage(err, QStringLiteral("--csv needs a file"));
    }
    // A one-time event on the machine is not spent on a file that cannot be made.
    QStringList outputs{link.output};
    if (o.csv) {
        outputs << *o.csv;
    }
    for (const QString& path : outputs) {
        const QString problem = OutputProblem(path, link.force);
        if (!problem.isEmpty()) {
            err << "orvan-cli: trace: cannot write " << path << ": " << problem << "\n";
            return 1;
        }
    }

    ConsoleMessenger messenger;
    DriveProfile profile;
    CNolvaServoDoc document{profile};
    document.OnNewDocument();
    DriveOperations operations;
    DriveConnection connection(link.settings, profile, document, messenger, operations);
    if (!OpenPort(connection, link, err) || !ProbeDrive(connection, err)) {
        return 1;
    }
    DriveStatus status; // N for the speed conversions
    DriveTrace drive(connection, profile, messenger);
    TraceRecord record;
    ConfigureTrace(record, *settings);
    if (!connection.ReadStatus(status) || !drive.ReadContactFunctions(nullptr)) {
        err << "orvan-cli: trace: reading the drive's status and contacts failed\n";
        connection.Close();
        return 1;
    }
    record.settings.contactFunctions = document.contactsInDrive;

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
                        err << "orvan-cli: trace: reading the recording state failed\n";
                    }
                    return state == DriveTrace::Recording::Finished;
                }
            }
        }
    };
    TerminalProgress progress(err);
    const bool captured = CaptureTraceRecord(drive, record, wait, terminal ? &progress : nullptr);
    connection.Close();
    if (!captured) {
        return 1;
    }
    QList<OutputFile> files{{link.output, StoreTrace(record)}};
    if (o.csv) {
        files.append({*o.csv, TraceCsv(record)});
    }
    if (!WriteOutputs(files, QStringLiteral("orvan-cli: trace"), out, err)) {
        return 1;
    }
    // With the samples on the standard output, the summary goes with the other messages.
    (o.csv == QLatin1String("-") ? err : out)
        << "trace: " << TraceSettings::kPoints << " samples of "
        << FormatC("%.1f", static_cast<double>(record.IntervalMs())) << " ms written to "
        << link.output << "\n";
    return 0;
}
