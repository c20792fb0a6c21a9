// Whole-set parameter transfers (154 parameters) against the simulated drive with wire-time
// pacing, at 9600 and 115200 bit/s, on RS-232 (parameter mailbox) and RS-485 (Modbus RTU).
//
// For each run: the elapsed time against the sum of the wire times of the exchanges the drive
// received (bytes x 10 bits / baud, requests and replies, counted from the drive's request log),
// and the longest time the event loop went without processing events while the transfer kept it
// alive the way the progress window does (after every exchange).
//
// Usage: orvan_bench_transfer [--sim PATH]

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

namespace {

using bench::LoopKeeper;
using bench::PlainClientSeconds;
using bench::WireSeconds;

void Run(const QString& simPath, uint32_t baud, bool rs485, bool write) {
    QTemporaryDir dir;
    const QString logPath = dir.filePath("requests.log");
    QStringList args{"--pace", "--baud", QString::number(baud), "--log", logPath};
    if (rs485) {
        args << "--rs485"
             << "--station"
             << "1"
             << "--frame-format"
             << "6";
    }
    QProcess sim;
    const QString device = bench::StartSimulator(sim, simPath, args);
    if (device.isEmpty()) {
        return;
    }

    LinkSettings settings;
    settings.RS485Port = rs485;
    settings.FrameFormat = rs485 ? 6 : 0;
    settings.AsciiMode = !rs485;
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
    ParameterTransfer& transfer = connection.Transfer();
    LoopKeeper keeper;
    transfer.SetProgress(&keeper);
    if (write) {
        transfer.ReadAll(); // something to write back
    }
    QFile::resize(logPath, 0); // the wire time counts the timed transfer alone

    QElapsedTimer timer;
    keeper.Start();
    timer.start();
    const bool ok = write ? transfer.WriteAll() : transfer.ReadAll();
    const double seconds = timer.nsecsElapsed() / 1e9;
    connection.Close();
    sim.terminate();
    sim.waitForFinished(3000);

    int exchanges = 0;
    const double wire = WireSeconds(logPath, rs485, baud, &exchanges);
    QStringList plainArgs = args;
    plainArgs.removeAt(plainArgs.indexOf("--log") + 1);
    plainArgs.removeAll("--log");
    const double plain = PlainClientSeconds(simPath, plainArgs, logPath, rs485);
    std::printf("%-6s %-6s %6u bit/s %4d exchanges: ours %7.1f ms, plain client %7.1f ms, "
                "wire %7.1f ms; ours/wire %.3f, plain/wire %.3f, ours/plain %.3f; "
                "longest event-loop gap %.1f ms%s\n",
                write ? "write" : "read", rs485 ? "RS-485" : "RS-232", baud, exchanges,
                seconds * 1000, plain * 1000, wire * 1000, seconds / wire, plain / wire,
                seconds / plain, keeper.longestMs, ok ? "" : "  (FAILED)");
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
    for (bool rs485 : {false, true}) {
        for (uint32_t baud : {9600u, 115200u}) {
            for (bool write : {false, true}) {
                Run(simPath, baud, rs485, write);
            }
        }
    }
    return 0;
}
