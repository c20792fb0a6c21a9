// Whole-set parameter transfers (154 parameters) against the simulated drive with wire-time
// pacing, at 9600 and 115200 bit/s, on RS-232 (parameter mailbox) and RS-485 (Modbus RTU).
//
// For each run: the elapsed time against the sum of the wire times of the exchanges the drive
// received (bytes x 10 bits / baud, requests and replies, counted from the drive's request log),
// and the longest time the event loop went without processing events while the transfer kept it
// alive the way the progress window does (after every exchange).
//
// Each transfer at 115200 bit/s runs several times and is reported as the median with the
// spread (min..max), so that one noisy run cannot mislead.

#include "base/Messenger.h"
#include "link/DriveOperations.h"
#include "paced_bench.h"
#include "params/DriveConnection.h"
#include "params/NolvaServoDoc.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

using bench::LoopKeeper;
using bench::PlainClientSeconds;
using bench::WireSeconds;

struct Setup {
    uint32_t baud = 9600;
    bool rs485 = false;
    bool write = false;
    int adapterLatencyMs = 0; // the simulated drive holds every reply this long
};

struct Measurement {
    bool ran = false;
    bool ok = false;
    int exchanges = 0;
    double ours = 0;  // seconds
    double plain = 0; // seconds
    double wire = 0;  // seconds
    double longestGapMs = 0;
};

Measurement Run(const QString& simPath, const Setup& setup) {
    Measurement m;
    QTemporaryDir dir;
    const QString logPath = dir.filePath("requests.log");
    QStringList args{"--pace", "--baud", QString::number(setup.baud), "--log", logPath};
    if (setup.rs485) {
        args << "--rs485"
             << "--station"
             << "1"
             << "--frame-format"
             << "6";
    }
    if (setup.adapterLatencyMs > 0) {
        args << "--latency-ms" << QString::number(setup.adapterLatencyMs);
    }
    QProcess sim;
    const QString device = bench::StartSimulator(sim, simPath, args);
    if (device.isEmpty()) {
        return m;
    }

    LinkSettings settings;
    settings.RS485Port = setup.rs485;
    settings.FrameFormat = setup.rs485 ? 6 : 0;
    settings.AsciiMode = !setup.rs485;
    DriveProfile profile;
    CNolvaServoDoc document(profile);
    document.OnNewDocument();
    RecordingMessenger messenger;
    DriveOperations operations;
    DriveConnection connection(settings, profile, document, messenger, operations);
    if (connection.Open(device, setup.baud) != 0 || !connection.Probe()) {
        std::printf("no drive on %s\n", qPrintable(device));
        return m;
    }
    ParameterTransfer& transfer = connection.Transfer();
    LoopKeeper keeper;
    transfer.SetProgress(&keeper);
    if (setup.write) {
        transfer.ReadAll(); // something to write back
    }
    QFile::resize(logPath, 0); // the wire time counts the timed transfer alone

    QElapsedTimer timer;
    keeper.Start();
    timer.start();
    m.ok = setup.write ? transfer.WriteAll() : transfer.ReadAll();
    m.ours = timer.nsecsElapsed() / 1e9;
    connection.Close();
    sim.terminate();
    sim.waitForFinished(3000);

    m.wire = WireSeconds(logPath, setup.rs485, setup.baud, &m.exchanges);
    QStringList plainArgs = args;
    plainArgs.removeAt(plainArgs.indexOf("--log") + 1);
    plainArgs.removeAll("--log");
    m.plain = PlainClientSeconds(simPath, plainArgs, logPath, setup.rs485);
    m.longestGapMs = keeper.longestMs;
    m.ran = true;
    return m;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// "median (min..max)" of a series; a single value alone.
QString Spread(const std::vector<double>& values, int decimals) {
    if (values.empty()) {
        return QStringLiteral("-");
    }
    if (values.size() == 1) {
        return QString::number(values[0], 'f', decimals);
    }
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return QStringLiteral("%1 (%2..%3)")
        .arg(Median(values), 0, 'f', decimals)
        .arg(*low, 0, 'f', decimals)
        .arg(*high, 0, 'f', decimals);
}

// `runs` runs of one transfer, ours and the plain client's alternating so that a noisy moment
// of the machine falls on both; one line with the median and the spread of each figure.
void Report(const QString& simPath, const Setup& setup, int runs) {
    std::vector<double> ours, plain, ratio, gaps;
    double wire = 0;
    int exchanges = 0;
    bool allOk = true;
    for (int i = 0; i < runs; ++i) {
        const Measurement m = Run(simPath, setup);
        if (!m.ran) {
            return;
        }
        allOk = allOk && m.ok;
        ours.push_back(m.ours * 1000);
        plain.push_back(m.plain * 1000);
        ratio.push_back(m.ours / m.plain);
        gaps.push_back(m.longestGapMs);
        wire = m.wire * 1000;
        exchanges = m.exchanges;
    }
    const QString latency =
        setup.adapterLatencyMs > 0
            ? QStringLiteral(", adapter latency %1 ms").arg(setup.adapterLatencyMs)
            : QString();
    std::printf("%-5s %-6s %6u bit/s%s, %d exchanges, %d run(s): ours %s ms, plain client %s ms, "
                "wire %.1f ms; ours/wire %.3f, ours/plain %s; longest event-loop gap %s ms%s\n",
                setup.write ? "write" : "read", setup.rs485 ? "RS-485" : "RS-232", setup.baud,
                qPrintable(latency), exchanges, runs, qPrintable(Spread(ours, 1)),
                qPrintable(Spread(plain, 1)), wire, Median(ours) / wire,
                qPrintable(Spread(ratio, 3)), qPrintable(Spread(gaps, 1)),
                allOk ? "" : "  (FAILED)");
    std::fflush(stdout);
}

} // namespace

// Usage: orvan_bench_transfer [--sim PATH] [--runs N] [--latency-only]
//   --runs N        runs of each transfer at 115200 bit/s (default 5; one at 9600 bit/s, where
//                   the wire time dominates and a run takes seconds)
//   --latency-only  only the whole-set reads through a USB adapter's latency timer
int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QString simPath = QStringLiteral(ORVAN_DRIVE_SIM_PATH);
    int runs = 5;
    bool latencyOnly = false;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--sim") && i + 1 < args.size()) {
            simPath = args[++i];
        } else if (args[i] == QLatin1String("--runs") && i + 1 < args.size()) {
            runs = std::max(1, args[++i].toInt());
        } else if (args[i] == QLatin1String("--latency-only")) {
            latencyOnly = true;
        } else {
            std::fprintf(stderr, "usage: orvan_bench_transfer [--sim PATH] [--runs N] "
                                 "[--latency-only]\n");
            return 2;
        }
    }
    if (!latencyOnly) {
        for (bool rs485 : {false, true}) {
            for (uint32_t baud : {9600u, 115200u}) {
                for (bool write : {false, true}) {
                    Report(simPath, {baud, rs485, write}, baud == 115200u ? runs : 1);
                }
            }
        }
    }
    // What an adapter's latency timer costs a whole-set read: 16 ms is the FTDI default under
    // Linux, 1 ms what the low-latency request gives.
    for (uint32_t baud : {9600u, 115200u}) {
        for (int latency : {16, 1}) {
            Report(simPath, {baud, false, false, latency}, 1);
        }
    }
    return 0;
}
