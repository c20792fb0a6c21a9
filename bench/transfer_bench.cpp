// Whole-set parameter transfers (154 parameters) against the simulated drive with wire-time
// pacing, at 9600 and 115200 bit/s, on RS-232 (parameter mailbox) and RS-485 (Modbus RTU).
//
// For each run: the elapsed time against the sum of the wire times of the exchanges the drive
// received (bytes x 10 bits / baud, requests and replies, counted from the drive's request log),
// and the longest time the event loop went without processing events while the transfer kept it
// alive the way the progress window does (after every exchange).
//
// Usage: orvan_bench_transfer [--sim PATH]

#include "app/Messenger.h"
#include "link/DriveAccess.h"
#include "link/ModbusLink.h"
#include "params/NolvaServoDoc.h"
#include "params/ParameterTransfer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

// Keeps the event loop turning after every exchange, as the progress window does, and measures
// the longest stretch between two turns.
class LoopKeeper : public TransferProgress {
public:
    void Open(const QString&, int) override { Turn(); }
    void SetText(const QString&) override {}
    void Step() override {}
    void Close() override { Turn(); }
    void ExchangeDone() override { Turn(); }
    void Start() {
        longestMs = 0;
        clock.start();
    }
    double longestMs = 0;

private:
    void Turn() {
        QCoreApplication::processEvents();
        longestMs = std::max(longestMs, clock.nsecsElapsed() / 1e6);
        clock.restart();
    }
    QElapsedTimer clock;
};

// Reply length of a logged request: command reads get 7 bytes, writes 1; Modbus RTU 03 of one
// register 7 bytes, 06 the 8-byte echo.
int ReplyBytes(const QString& line, bool rtu, int* requestBytes) {
    if (!rtu || line.startsWith('R') || line.startsWith('W')) {
        *requestBytes = static_cast<int>(line.size());
        return line.startsWith('R') ? 7 : 1;
    }
    const QStringList bytes = line.split(' ');
    *requestBytes = static_cast<int>(bytes.size());
    return bytes.value(1) == QLatin1String("03") ? 7 : 8;
}

double WireSeconds(const QString& logPath, bool rtu, uint32_t baud, int* exchanges) {
    QFile log(logPath);
    if (!log.open(QIODevice::ReadOnly)) {
        return -1;
    }
    long bytes = 0;
    *exchanges = 0;
    while (!log.atEnd()) {
        const QString line = QString::fromLatin1(log.readLine()).trimmed();
        if (line.isEmpty()) {
            continue;
        }
        int request = 0;
        bytes += ReplyBytes(line, rtu, &request) + request;
        ++*exchanges;
    }
    return bytes * 10.0 / baud;
}

void Run(const QString& simPath, uint32_t baud, bool rs485, bool write) {
    QTemporaryDir dir;
    const QString logPath = dir.filePath("requests.log");
    QStringList args{"--pace", "--baud", QString::number(baud), "--log", logPath};
    if (rs485) {
        args << "--rs485" << "--station" << "1" << "--frame-format" << "6";
    }
    QProcess sim;
    sim.start(simPath, args);
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        std::printf("simulator did not start\n");
        return;
    }
    const QString device = QString::fromUtf8(sim.readLine()).trimmed();

    LinkSettings settings;
    settings.RS485Port = rs485;
    settings.FrameFormat = rs485 ? 6 : 0;
    settings.AsciiMode = !rs485;
    DriveProfile profile;
    CNolvaServoDoc document(profile);
    document.OnNewDocument();
    RecordingMessenger messenger;
    ModbusLink link(nullptr, &messenger);
    OpenLinkPort(link, device, baud, settings);
    DriveAccess access(link, settings, profile);
    access.LinkUp = true;
    ParameterTransfer transfer(access, settings, profile, document, messenger);
    LoopKeeper keeper;
    transfer.SetProgress(&keeper);
    if (write) {
        transfer.ReadAll(); // something to write back
        QFile::resize(logPath, 0);
    }

    QElapsedTimer timer;
    keeper.Start();
    timer.start();
    const bool ok = write ? transfer.WriteAll() : transfer.ReadAll();
    const double seconds = timer.nsecsElapsed() / 1e9;
    link.Close();
    sim.terminate();
    sim.waitForFinished(3000);

    int exchanges = 0;
    const double wire = WireSeconds(logPath, rs485, baud, &exchanges);
    std::printf("%-6s %-9s %6u bit/s  %4d exchanges  %8.1f ms  wire %8.1f ms  ratio %.3f  "
                "longest event-loop gap %.1f ms%s\n",
                write ? "write" : "read", rs485 ? "RS-485" : "RS-232", baud, exchanges,
                seconds * 1000, wire * 1000, seconds / wire, keeper.longestMs,
                ok ? "" : "  (FAILED)");
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
