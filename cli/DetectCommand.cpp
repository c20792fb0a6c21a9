#include "cli/DetectCommand.h"

#include "cli/DriveSession.h"
#include "cli/Interrupt.h"
#include "cli/Invocation.h"
#include "cli/Numbers.h"
#include "link/DriveDetection.h"

// "A-B" or "N", stations 1..247.
bool ReadStationRange(const QString& text, DetectionOptions* options) {
    const QStringList parts = text.split(QLatin1Char('-'));
    if (parts.size() > 2)
        return false;
    const auto first = ParseNumber(parts.front(), NumberForm::Decimal, 1, 247);
    const auto last = ParseNumber(parts.back(), NumberForm::Decimal, 1, 247);
    if (!first || !last || *first > *last)
        return false;
    options->firstStation = static_cast<int>(*first);
    options->lastStation = static_cast<int>(*last);
    return true;
}

QString LinkOptionsText(const DetectedDrive& drive) {
    QString text = QStringLiteral("--baud %1").arg(drive.baudRate);
    if (drive.rs485)
        text += QStringLiteral(" --rs485 --station %1 --frame-format %2")
                    .arg(drive.station)
                    .arg(drive.frameFormat);
    if (drive.echo)
        text += QStringLiteral(" --echo on");
    return text;
}

int RunDetect(const Invocation& call) {
    if (!call.words.isEmpty())
        return call.Usage(QStringLiteral("detect takes no arguments"));
    DetectionOptions options;
    options.all = call.options.Has("--all");
    if (const auto stations = call.options.Value("--stations")) {
        if (!ReadStationRange(*stations, &options))
            return call.Usage(
                QStringLiteral("--stations: bad range \"%1\" (A-B within 1..247)").arg(*stations));
    }
    DriveSession drive(call.link, call.err);
    if (!drive.Open())
        return 1;
    InterruptGuard interrupts;
    int tries = 0;
    const QList<DetectedDrive> found =
        DetectDrives(drive.connection.Link(), options, [&](const QString&, int done, int) {
            tries = done + 1;
            return !InterruptGuard::Interrupted();
        });
    drive.connection.Close();
    for (const DetectedDrive& d : found)
        call.out << d.Text() << "\n  " << LinkOptionsText(d) << "\n";
    if (InterruptGuard::Interrupted()) {
        ErrorLine(call.err) << "detect: interrupted after " << tries << " tries\n";
        return found.isEmpty() ? 130 : 0;
    }
    if (found.isEmpty()) {
        ErrorLine(call.err) << "detect: no drive answered on " << call.link.device << " (" << tries
                            << " tries)\n";
        return 1;
    }
    return 0;
}
