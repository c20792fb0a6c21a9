// The frequency response measurement's three costs:
// - the read-back of a record, 2 x 1024 buffer words, from the simulated drive with wire-time
//   pacing at 9600 and 115200 bit/s, against its wire time (13 bytes x 10 bits / baud a word);
// - the analysis of one record (transforms, spectra, searches);
// - one repaint of both plots of the analysis window, curves and cursors included.
//
// Usage: orvan_bench_fra [--sim PATH] [--skip-9600] [--image PNG: the plots as drawn]

#include "paced_bench.h"

#include "analysis/FraMeasurement.h"
#include "analysis/ui/ResponsePlots.h"
#include "base/Messenger.h"
#include "link/DriveOperations.h"
#include "link/MemorySerialBackend.h"
#include "params/DriveConnection.h"
#include "params/NolvaServoDoc.h"
#include "sim/ControlLines.h"
#include "sim/MemoryPortDrive.h"
#include "sim/SimulatedDrive.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>

#include <cstdio>

namespace {

constexpr int kWords = 2048;
constexpr int kBytesPerWord = 6 + 7; // read request and data reply

void ReadBack(const QString& simPath, uint32_t baud) {
    QProcess sim;
    const QString device =
        bench::StartSimulator(sim, simPath, {"--pace", "--baud", QString::number(baud)});
    if (device.isEmpty()) {
        return;
    }
    LinkSettings settings;
    DriveProfile profile;
    CNolvaServoDoc document(profile);
    RecordingMessenger messenger;
    DriveOperations operations;
    DriveConnection connection(settings, profile, document, messenger, operations);
    if (connection.Open(device, baud) != 0 || !connection.Probe()) {
        std::printf("no drive on %s\n", qPrintable(device));
        return;
    }
    FraMeasurement measurement(connection, profile, messenger);
    FraRecord record;
    QElapsedTimer timer;
    timer.start();
    const bool ok = measurement.ReadHalfRecord(0, record) && measurement.ReadHalfRecord(2, record);
    const double seconds = timer.nsecsElapsed() / 1e9;
    connection.Close();
    sim.terminate();
    sim.waitForFinished(3000);
    const double wire = kWords * kBytesPerWord * 10.0 / baud;
    std::printf("read-back %6u bit/s: %d words in %8.1f ms, wire %8.1f ms, ratio %.3f%s\n", baud,
                kWords, seconds * 1000, wire * 1000, seconds / wire, ok ? "" : "  (FAILED)");
}

// A record measured in process on a machine with its resonance at 500 Hz.
FraRecord MeasuredRecord() {
    SimulatedDrive drive;
    auto* port = new MemorySerialBackend;
    AttachToMemoryPort(drive, *port, true);
    port->writeDelayMs = 1;
    RunControlLine(drive, QStringLiteral("resonance 500"));
    LinkSettings settings;
    DriveProfile profile;
    CNolvaServoDoc document(profile);
    RecordingMessenger messenger;
    DriveOperations operations;
    DriveConnection connection(settings, profile, document, messenger, operations,
                               std::unique_ptr<SerialBackend>(port));
    connection.Link().Open(QStringLiteral("/dev/sim"));
    connection.Access().AssumeLinkUp();
    FraMeasurement measurement(connection, profile, messenger);
    FraRecord record;
    if (!measurement.Start(QStringLiteral("50"), record)) {
        std::printf("the in-process measurement failed\n");
    }
    return record;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString simPath = QStringLiteral(ORVAN_DRIVE_SIM_PATH);
    bool skipSlow = false;
    QString imagePath;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--sim") && i + 1 < args.size()) {
            simPath = args[++i];
        } else if (args[i] == QLatin1String("--image") && i + 1 < args.size()) {
            imagePath = args[++i];
        } else if (args[i] == QLatin1String("--skip-9600")) {
            skipSlow = true;
        }
    }
    for (const uint32_t baud : {9600u, 115200u}) {
        if (!(skipSlow && baud == 9600u)) {
            ReadBack(simPath, baud);
        }
    }

    const FraRecord record = MeasuredRecord();
    constexpr int kAnalyses = 200;
    FrequencyResponse response;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kAnalyses; ++i) {
        response = AnalyseResponse(record, 0x121);
    }
    std::printf("analysis of one record: %.3f ms (mean of %d; resonance bin %d)\n",
                timer.nsecsElapsed() / 1e6 / kAnalyses, kAnalyses,
                response.resonanceBin.value_or(0));

    ResponsePlots plots;
    plots.SetResponse(&response);
    plots.PlaceCursors(response.resonanceBin, response.antiResonanceBin);
    plots.SetCursorsShown(true);
    QImage target(plots.size(), QImage::Format_RGB32);
    constexpr int kRepaints = 200;
    plots.render(&target); // fonts and caches warmed once
    timer.restart();
    for (int i = 0; i < kRepaints; ++i) {
        plots.render(&target);
    }
    std::printf("repaint of both plots: %.3f ms (mean of %d)\n",
                timer.nsecsElapsed() / 1e6 / kRepaints, kRepaints);
    if (!imagePath.isEmpty()) {
        target.save(imagePath);
    }
    return 0;
}
