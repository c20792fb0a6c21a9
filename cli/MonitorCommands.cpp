#include "cli/MonitorCommands.h"

#include "base/Messenger.h"
#include "cli/Interrupt.h"
#include "cli/OutputFiles.h"
#include "link/DriveOperations.h"
#include "monitor/MonitorPoll.h"
#include "params/DriveConnection.h"
#include "params/NolvaServoDoc.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>
#include <array>
#include <memory>

const char* const kMonitorUsage =
    "  monitor [Un-01 ...]      status display values (all nineteen when none is named), one\n"
    "                           line each: code, name, value, unit [--interval MS, default 400]\n"
    "                           [--count N, default until Ctrl+C] [--csv FILE: also record them,\n"
    "                           with a time column in seconds since the start; \"-\" records\n"
    "                           to the output instead of the lines] [--force: replace FILE]\n"
    "  diag                     diagnostics dn-01..dn-04, then each contact lamp: label ON|OFF\n"
    "  alarms [--clear]         the alarm history, newest first: row, code, alarm text\n"
    "                           [--clear: clear the drive's history first]\n";

namespace {

constexpr int kDefaultIntervalMs = 400; // the program's poll
constexpr int kLongestIntervalMs = 24 * 60 * 60 * 1000;
constexpr int kWaitSliceMs = 20; // how soon Ctrl+C ends a wait

const char* const kExchangeFailure = "no accepted reply after 3 attempts (result 0)";

int Usage(QTextStream& err, const QString& why) {
    err << "orvan-cli: " << why << "\n" << kLinkUsage << kMonitorUsage;
    return 2;
}

bool ParseBounded(const std::optional<QString>& text, int min, int max, int* value) {
    if (!text) {
        return true;
    }
    bool ok = false;
    const qlonglong parsed = text->toLongLong(&ok);
    if (!ok || parsed < min || parsed > max) {
        return false;
    }
    *value = static_cast<int>(parsed);
    return true;
}

// "Un-01".."Un-19" as the window names them (letters in either case); 0 for anything else.
int StatusNumber(const QString& code) {
    static const QRegularExpression pattern(QStringLiteral("^Un-(\\d\\d)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(code);
    const int number = match.hasMatch() ? match.captured(1).toInt() : 0;
    return number >= 1 && number <= StatusMonitor::kValueCount ? number : 0;
}

// What a run needs beside the monitors: the drive on its port, probed, with the status read
// done so that speeds convert with the drive's own maximum speed.
struct Drive {
    explicit Drive(const LinkOptions& o)
        : connection(o.settings, profile, document, messenger, operations),
          poll(connection, profile, document, messenger) {
        document.OnNewDocument();
    }

    bool Connect(const LinkOptions& o, QTextStream& err) {
        if (!OpenPort(connection, o, err) || !ProbeDrive(connection, err)) {
            return false;
        }
        DriveStatus status;
        if (!connection.ReadStatus(status)) {
            err << "orvan-cli: reading the drive's status failed: " << kExchangeFailure << "\n";
            connection.Close();
            return false;
        }
        return true;
    }

    ConsoleMessenger messenger;
    DriveProfile profile;
    CNolvaServoDoc document{profile};
    DriveOperations operations;
    DriveConnection connection;
    MonitorPoll poll;
};

// Says so and ends the run when standard output could not take what was written.
bool Flushed(QTextStream& out, QTextStream& err) {
    out.flush();
    if (out.status() == QTextStream::Ok) {
        return true;
    }
    err << "orvan-cli: writing to standard output failed\n";
    return false;
}

// The recording of a monitor run: header at once, then one flushed row per sample, so that a
// run ended by Ctrl+C or a lost drive keeps every sample taken.
class CsvRecord {
public:
    bool Open(const QString& path, const QList<int>& numbers, QTextStream& err) {
        const bool opened =
            path == QLatin1String("-")
                ? file_.open(stdout, QIODevice::WriteOnly)
                : (file_.setFileName(path), file_.open(QIODevice::WriteOnly | QIODevice::Truncate));
        if (!opened) {
            err << "orvan-cli: cannot write " << path << ": " << file_.errorString() << "\n";
            return false;
        }
        QString header = QStringLiteral("time_s");
        for (int number : numbers) {
            header += QString::asprintf(",Un-%02d (", number) + StatusValueUnit(number).trimmed() +
                      QLatin1Char(')');
        }
        return Write(header, err);
    }

    bool Row(double seconds, const StatusMonitor& status, const QList<int>& numbers,
             QTextStream& err) {
        QString row = QString::number(seconds, 'f', 3);
        for (int number : numbers) {
            row += QLatin1Char(',') + status.Text(number);
        }
        return Write(row, err);
    }

private:
    bool Write(const QString& line, QTextStream& err) {
        const QByteArray bytes = line.toUtf8() + '\n';
        if (file_.write(bytes) == bytes.size() && file_.flush()) {
            return true;
        }
        err << "orvan-cli: writing " << file_.fileName() << " failed: " << file_.errorString()
            << "\n";
        return false;
    }

    QFile file_;
};

// Waits until `clock` shows `ms`; false when Ctrl+C came first.
bool WaitUntil(const QElapsedTimer& clock, qint64 ms) {
    while (!InterruptGuard::Interrupted()) {
        const qint64 left = ms - clock.elapsed();
        if (left <= 0) {
            return true;
        }
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(left, kWaitSliceMs)));
    }
    return false;
}

int RunMonitor(const LinkOptions& o, const MonitorOptions& m, QTextStream& out, QTextStream& err) {
    QList<int> numbers;
    for (const QString& code : o.command.mid(1)) {
        const int number = StatusNumber(code);
        if (number == 0) {
            return Usage(err, QStringLiteral("\"%1\" is no status value: Un-01..Un-19").arg(code));
        }
        if (!numbers.contains(number)) {
            numbers.append(number);
        }
    }
    if (numbers.isEmpty()) {
        for (int number = 1; number <= StatusMonitor::kValueCount; ++number) {
            numbers.append(number);
        }
    }
    std::sort(numbers.begin(), numbers.end()); // the order the drive is read in
    int intervalMs = kDefaultIntervalMs;
    int count = 0; // until Ctrl+C
    if (!ParseBounded(m.interval, 0, kLongestIntervalMs, &intervalMs)) {
        return Usage(err, "--interval needs milliseconds 0..86400000");
    }
    if (!ParseBounded(m.count, 1, INT32_MAX, &count)) {
        return Usage(err, "--count needs a number of samples, 1 or more");
    }
    if (m.csv && m.csv->isEmpty()) {
        return Usage(err, "--csv needs a file");
    }

    // A file that cannot be written is found before the drive is touched, and made (or
    // replaced, with --force) only once the drive answered.
    if (m.csv) {
        const QString problem = OutputProblem(*m.csv, o.force);
        if (!problem.isEmpty()) {
            err << "orvan-cli: cannot write " << *m.csv << ": " << problem << "\n";
            return 1;
        }
    }
    Drive drive(o);
    if (!drive.Connect(o, err)) {
        return 1;
    }
    CsvRecord csv;
    if (m.csv && !csv.Open(*m.csv, numbers, err)) {
        drive.connection.Close();
        return 1;
    }
    // The recording on the standard output takes the place of the printed lines.
    const bool print = m.csv != QLatin1String("-");
    StatusMonitor& status = drive.poll.Status();
    for (int number : numbers) {
        status.SetSelected(number, true);
    }
    status.SetActive(true);

    const InterruptGuard interrupts;
    QElapsedTimer clock;
    clock.start();
    int exitCode = 0;
    for (int sample = 0; count == 0 || sample < count; ++sample) {
        // Samples keep to the interval from the start; a late one is followed at once.
        if (!WaitUntil(clock, static_cast<qint64>(sample) * intervalMs)) {
            break;
        }
        const double seconds = clock.nsecsElapsed() / 1e9;
        if (!drive.poll.Run()) {
            err << "orvan-cli: monitor: " << kExchangeFailure << "\n";
            exitCode = 1;
            break;
        }
        if (print) {
            if (sample > 0) {
                out << "\n";
            }
            for (int number : numbers) {
                out << QString::asprintf("Un-%02d ", number) << StatusValueName(number) << " "
                    << status.Text(number) << StatusValueUnit(number) << "\n";
            }
        }
        if (!Flushed(out, err) || (m.csv && !csv.Row(seconds, status, numbers, err))) {
            exitCode = 1;
            break;
        }
    }
    drive.connection.Close();
    return exitCode;
}

int RunDiagnostics(const LinkOptions& o, QTextStream& out, QTextStream& err) {
    Drive drive(o);
    if (!drive.Connect(o, err)) {
        return 1;
    }
    DiagnosticsMonitor& diagnostics = drive.poll.Diagnostics();
    diagnostics.SetActive(true);
    diagnostics.RequestContactRead(); // the lamps' labels name the contacts' functions
    const bool read = drive.poll.Run();
    drive.connection.Close();
    if (!read) {
        err << "orvan-cli: diag: " << kExchangeFailure << "\n";
        return 1;
    }
    for (int number = 1; number <= DiagnosticsMonitor::kValueCount; ++number) {
        out << QString::asprintf("dn-%02d ", number) << DiagnosticName(number).trimmed() << " "
            << diagnostics.Text(number) << "\n";
    }
    const auto lamp = [](bool on) { return on ? "ON" : "OFF"; };
    for (int n = 1; n <= DiagnosticsMonitor::kInputCount; ++n) {
        out << diagnostics.InputLabel(n) << " " << lamp(diagnostics.InputOn(n)) << "\n";
    }
    for (int n = 1; n <= DiagnosticsMonitor::kOutputCount; ++n) {
        out << diagnostics.OutputLabel(n) << " " << lamp(diagnostics.OutputOn(n)) << "\n";
    }
    return Flushed(out, err) ? 0 : 1;
}

int RunAlarms(const LinkOptions& o, bool clear, QTextStream& out, QTextStream& err) {
    Drive drive(o);
    if (!drive.Connect(o, err)) {
        return 1;
    }
    AlarmHistory& alarms = drive.poll.Alarms();
    // A failed clear has told the user through the messenger already.
    if (clear && !alarms.Clear()) {
        drive.connection.Close();
        return 1;
    }
    // Read after a clear as well: the rows show what the drive holds.
    alarms.SetActive(true);
    alarms.RequestRead();
    const bool read = drive.poll.Run();
    drive.connection.Close();
    if (!read) {
        err << "orvan-cli: alarms: " << kExchangeFailure << "\n";
        return 1;
    }
    for (int row = 0; row < AlarmHistory::kEntryCount; ++row) {
        out << AlarmRowName(row) << " " << alarms.CodeText(row) << " "
            << AlarmCodeText(alarms.Code(row)) << "\n";
    }
    return Flushed(out, err) ? 0 : 1;
}

} // namespace

QStringList TakeMonitorOptions(const QStringList& args, MonitorOptions* options) {
    QStringList rest;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        std::optional<QString>* slot = nullptr;
        if (a == QLatin1String("--interval")) {
            slot = &options->interval;
        } else if (a == QLatin1String("--count")) {
            slot = &options->count;
        } else if (a == QLatin1String("--csv")) {
            slot = &options->csv;
        } else if (a == QLatin1String("--clear")) {
            options->clear = true;
            continue;
        } else {
            rest << a;
            continue;
        }
        if (i + 1 < args.size()) {
            *slot = args[++i];
        } else {
            options->valueMissing = a;
        }
    }
    return rest;
}

bool IsMonitorCommand(const QStringList& command) {
    static const QStringList kNames{QStringLiteral("monitor"), QStringLiteral("diag"),
                                    QStringLiteral("alarms")};
    return !command.isEmpty() && kNames.contains(command.front());
}

int RunMonitorCommand(const LinkOptions& link, const MonitorOptions& options, QTextStream& out,
                      QTextStream& err) {
    const QString& name = link.command.front();
    if (!options.valueMissing.isEmpty()) {
        return Usage(err, QStringLiteral("%1 needs a value").arg(options.valueMissing));
    }
    const bool monitor = name == QLatin1String("monitor");
    if (!monitor && (options.interval || options.count || options.csv)) {
        return Usage(err, "--interval, --count and --csv are options of monitor");
    }
    if (name != QLatin1String("alarms") && options.clear) {
        return Usage(err, "--clear is an option of alarms");
    }
    if (monitor) {
        return RunMonitor(link, options, out, err);
    }
    if (link.command.size() > 1) {
        return Usage(err, QStringLiteral("%1 takes no arguments").arg(name));
    }
    if (name == QLatin1String("diag")) {
        return RunDiagnostics(link, out, err);
    }
    return RunAlarms(link, options.clear, out, err);
}
