// The monitor windows' poll in the running program against the simulated drive with wire-time
// pacing, at 9600 and 115200 bit/s: the real view with its 400 ms timer on a real event loop,
// linked through the connect routine, with the status display (all nineteen values ticked), the
// diagnostics and the alarm history open.
//
// For each rate:
// - the wire time of one poll (bytes x 10 bits / baud of its requests and replies, from the
//   drive's request log): the status read, the nineteen values, the four diagnostics;
// - the longest time the event loop went without processing events, measured by a 5 ms timer
//   over the first S seconds (20 by default) after the windows opened (the contact parameters
//   and the alarm history are read once in that stretch), and again after its first 3 s;
// - the program's CPU time (getrusage) over the next S seconds of polling, without the fast
//   timer, as a share of one core.
//
// Usage: orvan_bench_monitor [--sim PATH] [--seconds S] [--baud N]

#include "paced_bench.h"

#include "app/AppSettings.h"
#include "app/ui/NolvaServoView.h"
#include "base/CommandIds.h"
#include "base/FileChooser.h"
#include "base/Messenger.h"
#include "base/Ticker.h"
#include "params/NolvaServoDoc.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace {

// The monitor windows ask for no file.
class NoFiles : public FileChooser {
public:
    std::optional<QString> ChooseFileToOpen(const QString&) override { return std::nullopt; }
    std::optional<QString> ChooseFileToSave(const QString&, const QString&) override {
        return std::nullopt;
    }
};

constexpr int kGapTimerMs = 5;
constexpr double kSettleSeconds = 3; // the one-time reads are over by then at either rate

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs the event loop for `seconds`; with `gaps`, notes the longest stretch between two turns of
// a fast timer, overall and after the settling time.
void RunLoop(double seconds, bool gaps, double* longestMs, double* steadyLongestMs) {
    QElapsedTimer since;
    QElapsedTimer clock;
    QTimer fast;
    fast.setTimerType(Qt::PreciseTimer);
    QObject::connect(&fast, &QTimer::timeout, [&] {
        const double gap = since.nsecsElapsed() / 1e6;
        since.restart();
        *longestMs = std::max(*longestMs, gap);
        if (clock.elapsed() > kSettleSeconds * 1000) {
            *steadyLongestMs = std::max(*steadyLongestMs, gap);
        }
    });
    clock.start();
    since.start();
    if (gaps) {
        fast.start(kGapTimerMs);
    }
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}

// Bytes of a logged command-protocol request and its reply: reads get 7 bytes back, writes 1.
int ExchangeBytes(const QString& line) {
    return static_cast<int>(line.size()) + (line.startsWith('R') ? 7 : 1);
}

struct PollFigures {
    int polls = 0;
    int exchanges = 0; // of the shortest poll
    double wireMs = 0; // of the shortest poll
};

// One poll runs from its status read (six reads before Un-01) to the next; the shortest has no
// re-probe of the connect routine in it.
PollFigures OnePoll(const QString& logPath, uint32_t baud) {
    QFile log(logPath);
    QStringList lines;
    if (log.open(QIODevice::ReadOnly)) {
        while (!log.atEnd()) {
            const QString line = QString::fromLatin1(log.readLine()).trimmed();
            if (!line.isEmpty()) {
                lines << line;
            }
        }
    }
    QList<qsizetype> starts;
    for (qsizetype i = 6; i < lines.size(); ++i) {
        if (lines[i].startsWith(QLatin1String("R6E4"))) {
            starts << i - 6;
        }
    }
    PollFigures figures;
    figures.polls = static_cast<int>(starts.size());
    for (qsizetype k = 0; k + 1 < starts.size(); ++k) {
        int bytes = 0;
        for (qsizetype i = starts[k]; i < starts[k + 1]; ++i) {
            bytes += ExchangeBytes(lines[i]);
        }
        const double ms = bytes * 10.0 * 1000 / baud;
        if (figures.exchanges == 0 || ms < figures.wireMs) {
            figures.wireMs = ms;
            figures.exchanges = static_cast<int>(starts[k + 1] - starts[k]);
        }
    }
    return figures;
}

void Run(const QString& simPath, uint32_t baud, double seconds) {
    QTemporaryDir dir;
    const QString logPath = dir.filePath("requests.log");
    QProcess sim;
    const QString device = bench::StartSimulator(sim, simPath, {"--pace", "--baud", QString::number(baud), "--log", logPath});
    if (device.isEmpty()) {
        return;
    }

    AppSettings settings;
    settings.link.BaudRateIndex = baud == 115200 ? 5 : 1;
    DriveProfile profile;
    DriveStatus status;
    CNolvaServoDoc document(profile);
    document.OnNewDocument();
    RecordingMessenger messenger;
    QtTickerSource tickers;
    NoFiles files;
    CNolvaServoView view(settings, profile, status, document, messenger, files, nullptr, tickers);
    view.SetPortOverride(device);
    view.Session().RequestLink();
    view.OnInitialUpdate();
    if (!view.Session().LinkUp()) {
        std::printf("no drive on %s\n", qPrintable(device));
        return;
    }
    for (int command : {Command::StatusMonitor, Command::Diagnostics, Command::AlarmHistory}) {
        if (!view.OpenToolWindow(command)) {
            std::printf("window %d did not open\n", command);
            return;
        }
    }
    auto* selectAll =
        view.ToolWindow(Command::StatusMonitor)->findChild<QPushButton*>("selectAllButton");
    selectAll->click();
    QFile::resize(logPath, 0);

    double longest = 0;
    double steadyLongest = 0;
    RunLoop(seconds, true, &longest, &steadyLongest);
    const double cpuBefore = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    double unused = 0;
    RunLoop(seconds, false, &unused, &unused);
    const double cpuShare = (CpuSeconds() - cpuBefore) / (wall.nsecsElapsed() / 1e9);
    const bool up = view.Session().LinkUp();
    sim.terminate();
    sim.waitForFinished(3000);

    const PollFigures poll = OnePoll(logPath, baud);
    std::printf("%6u bit/s: one poll %d exchanges, wire %.1f ms; %d polls in %.0f s; longest "
                "event-loop gap %.1f ms (steady %.1f ms); CPU %.2f %% of a core%s\n",
                baud, poll.exchanges, poll.wireMs, poll.polls, 2 * seconds, longest, steadyLongest,
                cpuShare * 100, up ? "" : "  (LINK LOST)");
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString simPath = QStringLiteral(ORVAN_DRIVE_SIM_PATH);
    double seconds = 20;
    QList<uint32_t> rates{9600u, 115200u};
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--sim")) {
            simPath = args[++i];
        } else if (args[i] == QLatin1String("--seconds")) {
            seconds = std::max(1.0, args[++i].toDouble());
        } else if (args[i] == QLatin1String("--baud")) {
            rates = {args[++i].toUInt()};
        }
    }
    for (uint32_t baud : rates) {
        Run(simPath, baud, seconds);
    }
    return 0;
}
