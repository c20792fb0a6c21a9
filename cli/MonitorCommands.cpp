#include "cli/MonitorCommands.h"

#include "base/FileNames.h"
#include "base/SystemErrors.h"
#include "cli/DriveSession.h"
#include "cli/Interrupt.h"
#include "cli/Invocation.h"
#include "cli/Numbers.h"
#include "cli/OutputFiles.h"
#include "monitor/MonitorPoll.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>
#include <array>
#include <cerrno>
#include <memory>

#include <fcntl.h>

namespace {

constexpr int kDefaultIntervalMs = 400; // the program's poll
constexpr int kLongestIntervalMs = 24 * 60 * 60 * 1000;
constexpr int kWaitSliceMs = 20; // how soon Ctrl+C ends a wait

// The option's number when it was given; false when it is no number within min..max.
bool ParseBounded(const std::optional<QString>& text, int min, int max, int* value) {
    if (!text) {
        return true;
    }
    const std::optional<int64_t> parsed = ParseNumber(*text, NumberForm::Decimal, min, max);
    if (!parsed) {
        return false;
    }
    *value = static_cast<int>(*parsed);
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
    explicit Drive(const Invocation& call)
        : session(call.link, call.err),
          poll(session.connection, session.profile, session.document, session.messenger) {
        session.document.OnNewDocument();
    }

    DriveSession session;
    MonitorPoll poll;
};

// Says so and ends the run when standard output could not take what was written.
bool Flushed(QTextStream& out, QTextStream& err) {
    out.flush();
    if (out.status() == QTextStream::Ok) {
        return true;
    }
    ErrorLine(err) << "writing to standard output failed\n";
    return false;
}

// The recording of a monitor run: header at once, then one flushed row per sample, so that a
// run ended by Ctrl+C or a lost drive keeps every sample taken.
class CsvRecord {
public:
    bool Open(const QString& path, const QList<int>& numbers, QTextStream& err) {
        path_ = path;
        bool opened = false;
        if (path == QLatin1String("-")) {
            opened = file_.open(stdout, QIODevice::WriteOnly);
        } else {
            // Opened by its own bytes: the name need not be UTF-8.
            const int fd = ::open(NativeFileName(path).constData(),
                                  O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0666);
            if (fd < 0) {
                ErrorLine(err) << "cannot write " << path << ": " << SystemErrorText(errno) << "\n";
                return false;
            }
            opened = file_.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle);
        }
        if (!opened) {
            ErrorLine(err) << "cannot write " << path << ": " << file_.errorString() << "\n";
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
        ErrorLine(err) << "writing " << path_ << " failed: " << file_.errorString() << "\n";
        return false;
    }

    QString path_;
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

} // namespace

int RunMonitor(const Invocation& call) {
    QList<int> numbers;
    for (const QString& code : call.words) {
        const int number = StatusNumber(code);
        if (number == 0) {
            return call.Usage(QStringLiteral("\"%1\" is no status value: Un-01..Un-19").arg(code));
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
    if (!ParseBounded(call.options.Value("--interval"), 0, kLongestIntervalMs, &intervalMs)) {
        return call.Usage(QStringLiteral("--interval needs milliseconds 0..86400000"));
    }
    if (!ParseBounded(call.options.Value("--count"), 1, INT32_MAX, &count)) {
        return call.Usage(QStringLiteral("--count needs a number of samples, 1 or more"));
    }
    const std::optional<QString> csvPath = call.options.Value("--csv");
    if (csvPath && csvPath->isEmpty()) {
        return call.Usage(QStringLiteral("--csv needs a file"));
    }

    // A file that cannot be written is found before the drive is touched, and made (or
    // replaced, with --force) only once the drive answered.
    if (csvPath) {
        const QString problem = OutputProblem(*csvPath, call.options.Has("--force"));
        if (!problem.isEmpty()) {
            ErrorLine(call.err) << "cannot write " << *csvPath << ": " << problem << "\n";
            return 1;
        }
    }
    Drive drive(call);
    if (!drive.session.ConnectWithStatus()) {
        return 1;
    }
    CsvRecord csv;
    if (csvPath && !csv.Open(*csvPath, numbers, call.err)) {
        return 1;
    }
    // The recording on the standard output takes the place of the printed lines.
    const bool print = csvPath != QLatin1String("-");
    StatusMonitor& status = drive.poll.Status();
    for (int number : numbers) {
        status.SetSelected(number, true);
    }
    status.SetActive(true);

    const InterruptGuard interrupts;
    QElapsedTimer clock;
    clock.start();
    for (int sample = 0; count == 0 || sample < count; ++sample) {
        // Samples keep to the interval from the start; a late one is followed at once.
        if (!WaitUntil(clock, static_cast<qint64>(sample) * intervalMs)) {
            break;
        }
        const double seconds = clock.nsecsElapsed() / 1e9;
        if (!drive.poll.Run()) {
            ErrorLine(call.err) << "monitor: " << CommandFailureText() << "\n";
            return 1;
        }
        if (print) {
            if (sample > 0) {
                call.out << "\n";
            }
            for (int number : numbers) {
                call.out << QString::asprintf("Un-%02d ", number) << StatusValueName(number) << " "
                         << status.Text(number) << StatusValueUnit(number) << "\n";
            }
        }
        if (!Flushed(call.out, call.err) ||
            (csvPath && !csv.Row(seconds, status, numbers, call.err))) {
            return 1;
        }
    }
    return 0;
}

int RunDiagnostics(const Invocation& call) {
    if (!call.words.isEmpty()) {
        return call.Usage(QStringLiteral("diag takes no arguments"));
    }
    Drive drive(call);
    if (!drive.session.ConnectWithStatus()) {
        return 1;
    }
    DiagnosticsMonitor& diagnostics = drive.poll.Diagnostics();
    diagnostics.SetActive(true);
    diagnostics.RequestContactRead(); // the lamps' labels name the contacts' functions
    const bool read = drive.poll.Run();
    drive.session.Close();
    if (!read) {
        ErrorLine(call.err) << "diag: " << CommandFailureText() << "\n";
        return 1;
    }
    for (int number = 1; number <= DiagnosticsMonitor::kValueCount; ++number) {
        call.out << QString::asprintf("dn-%02d ", number) << DiagnosticName(number).trimmed() << " "
                 << diagnostics.Text(number) << "\n";
    }
    const auto lamp = [](bool on) { return on ? "ON" : "OFF"; };
    for (int n = 1; n <= DiagnosticsMonitor::kInputCount; ++n) {
        call.out << diagnostics.InputLabel(n) << " " << lamp(diagnostics.InputOn(n)) << "\n";
    }
    for (int n = 1; n <= DiagnosticsMonitor::kOutputCount; ++n) {
        call.out << diagnostics.OutputLabel(n) << " " << lamp(diagnostics.OutputOn(n)) << "\n";
    }
    return Flushed(call.out, call.err) ? 0 : 1;
}

int RunAlarms(const Invocation& call) {
    if (!call.words.isEmpty()) {
        return call.Usage(QStringLiteral("alarms takes no arguments"));
    }
    Drive drive(call);
    if (!drive.session.ConnectWithStatus()) {
        return 1;
    }
    AlarmHistory& alarms = drive.poll.Alarms();
    // A failed clear has told the user through the messenger already.
    if (call.options.Has("--clear") && !alarms.Clear()) {
        return 1;
    }
    // Read after a clear as well: the rows show what the drive holds.
    alarms.SetActive(true);
    alarms.RequestRead();
    const bool read = drive.poll.Run();
    drive.session.Close();
    if (!read) {
        ErrorLine(call.err) << "alarms: " << CommandFailureText() << "\n";
        return 1;
    }
    for (int row = 0; row < AlarmHistory::kEntryCount; ++row) {
        call.out << AlarmRowName(row) << " " << alarms.CodeText(row) << " "
                 << AlarmCodeText(alarms.Code(row)) << "\n";
    }
    return Flushed(call.out, call.err) ? 0 : 1;
}
