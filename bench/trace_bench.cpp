// The trace read-back (2048 single-word reads) against the simulated drive with wire-time pacing,
// at 9600, 38400 and 115200 bit/s on RS-232.
//
// For each rate: the elapsed time of the read-back against the wire time of the exchanges the
// drive received and against the same exchanges replayed by a plain blocking client, and the
// longest time the event loop went without a turn while the read kept it alive after every
// exchange, as the read window does.
//
// Usage: orvan_bench_trace [--sim PATH]

#include "base/Messenger.h"
#include "link/DriveOperations.h"
#include "paced_bench.h"
#include "params/DriveConnection.h"
#include "params/NolvaServoDoc.h"
#include "trace/DriveTrace.h"

#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

namespace {

void Run(const QString& simPath, uint32_t baud) {
    QTemporaryDir dir;
    const QString logPath = dir.filePath("requests.log");
    const QStringList args{"--pace", "--baud", QString::number(baud), "--log", logPath};
    QProcess sim;
    const QString device = bench::StartSimulator(sim, simPath, args);
    if (device.isEmpty()) {
        return;
    }

    LinkSettings settings;
    DriveProfile profile;
    CNolvaServoDoc document(profile);
    document.OnNewDocument();
    RecordingMessenger messenger;
    DriveOperations operations;
    DriveConnection connection(settings, profile, document, messenger, operations);
    if (connection.Open(device, baud) != 0 || !connection.Probe()) {
        std::printf("no drive on %s\n", qPrintable(device));
        return;
    }
    DriveTrace trace(connection, profile, messenger);
    TraceSettings recording; // at once, 51.2 ms
    if (!trace.Start(recording)) {
        std::printf("start failed\n");
        return;
    }
    DriveTrace::Recording state = DriveTrace::Recording::Waiting;
    while (state == DriveTrace::Recording::Waiting) {
        QThread::msleep(100);
        state = trace.Check();
    }
    QFile::resize(logPath, 0); // the wire time counts the read-back alone

    TraceData data;
    bench::LoopKeeper keeper;
    QElapsedTimer timer;
    keeper.Start();
    timer.start();
    const bool ok = trace.ReadBack(recording, data, &keeper);
    const double seconds = timer.nsecsElapsed() / 1e9;
    connection.Close();
    sim.terminate();
    sim.waitForFinished(3000);

    int exchanges = 0;
    const double wire = bench::WireSeconds(logPath, false, baud, &exchanges);
    QStringList plainArgs = args;
    plainArgs.removeAt(plainArgs.indexOf("--log") + 1);
    plainArgs.removeAll("--log");
    const double plain = bench::PlainClientSeconds(simPath, plainArgs, logPath, false);
    std::printf("trace read-back %6u bit/s %4d exchanges: ours %8.1f ms, plain client %8.1f ms, "
                "wire %8.1f ms; ours/wire %.3f, plain/wire %.3f, ours/plain %.3f; "
                "longest event-loop gap %.1f ms%s\n",
                baud, exchanges, seconds * 1000, plain * 1000, wire * 1000, seconds / wire,
                plain / wire, seconds / plain, keeper.longestMs, ok ? "" : "  (FAILED)");
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QString simPath = QStringLiteral(ORVAN_DRIVE_SIM_PATH);
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--sim")) {
            simPath = args[++i];
        }
    }
    for (uint32_t baud : {9600u, 38400u, 115200u}) {
        Run(simPath, baud);
    }
    return 0;
}
