#include "cli/DoctorCommand.h"

#include "cli/DetectCommand.h"

#include "cli/DriveSession.h"
#include "cli/Interrupt.h"
#include "cli/Invocation.h"
#include "link/DriveDetection.h"
#include "link/PortDiagnosis.h"
#include "link/PortLock.h"
#include "link/SerialPortList.h"

namespace {

// One finding: a short label, then what was found.
void Finding(QTextStream& out, const char* label, const QString& text) {
    out << QStringLiteral("%1 %2\n").arg(QLatin1String(label), -8).arg(text);
}

int Verdict(const Invocation& call, bool good, const QString& text) {
    call.out << "verdict: " << text << "\n";
    return good ? 0 : 1;
}

QString SettingsText(const LinkOptions& link) {
    QString text = QStringLiteral("%1 bit/s, ").arg(link.baud);
    if (!link.settings.RS485Port)
        return text + QStringLiteral("RS-232");
    return text + QStringLiteral("RS-485 station %1, frame format %2")
                      .arg(link.settings.StationID)
                      .arg(link.settings.FrameFormat);
}

// The port to examine when none was named: the only one there is.
QString ChoosePort(const Invocation& call, const QList<DetectedPort>& ports) {
    if (ports.size() == 1) {
        Finding(call.out, "port",
                ports.front().PreferredPath() + QStringLiteral(" (the only one)"));
        return ports.front().PreferredPath();
    }
    for (const DetectedPort& port : ports)
        Finding(call.out, "port", port.PreferredPath() + QStringLiteral("  ") + port.AdapterText());
    return {};
}

} // namespace

int RunDoctor(const Invocation& call) {
    if (!call.words.isEmpty())
        return call.Usage(QStringLiteral("doctor takes no arguments"));
    DetectionOptions detection;
    if (const auto stations = call.options.Value("--stations")) {
        if (!ReadStationRange(*stations, &detection))
            return call.Usage(
                QStringLiteral("--stations: bad range \"%1\" (A-B within 1..247)").arg(*stations));
    }
    const QList<DetectedPort> ports = DetectSerialPorts();
    LinkOptions link = call.link;
    if (link.device.isEmpty()) {
        link.device = ChoosePort(call, ports);
        if (link.device.isEmpty())
            return Verdict(call, false,
                           ports.isEmpty()
                               ? QStringLiteral("no serial port found: is the adapter plugged in? "
                                                "(lsusb and dmesg show what the system saw)")
                               : QStringLiteral("several serial ports: name one with --port"));
    }

    // Is it there?
    const DeviceAccess access = CheckDeviceAccess(link.device);
    if (!access.exists) {
        Finding(call.out, "device", link.device + QStringLiteral(": no such device"));
        for (const DetectedPort& port : ports)
            Finding(call.out, "", port.PreferredPath() + QStringLiteral("  ") + port.AdapterText());
        return Verdict(call, false,
                       ports.isEmpty() ? QStringLiteral("%1 does not exist and no serial port is "
                                                        "plugged in")
                                             .arg(link.device)
                                       : QStringLiteral("%1 does not exist: use one of the ports "
                                                        "above")
                                             .arg(link.device));
    }
    const DetectedPort* port = FindDetectedPort(ports, link.device);
    const AdapterFacts adapter = ReadAdapterFacts(access.realPath);
    QString described = link.device;
    if (access.realPath != link.device)
        described += QStringLiteral(" -> ") + access.realPath;
    if (port != nullptr && port->Described())
        described += QStringLiteral("  ") + port->AdapterText();
    if (!adapter.driver.isEmpty())
        described += QStringLiteral(", driver ") + adapter.driver;
    Finding(call.out, "device", described);
    if (!access.characterDevice)
        return Verdict(call, false, QStringLiteral("%1 is not a serial device").arg(link.device));
    if (port != nullptr && !port->byIdPath.isEmpty() && link.device != port->byIdPath)
        Finding(call.out, "",
                QStringLiteral("stable name: %1 (finds this adapter whatever number it gets)")
                    .arg(port->byIdPath));

    // May this user open it?
    if (!access.readWrite) {
        const QString fix =
            access.group.isEmpty() || access.inGroup
                ? QStringLiteral("ask the administrator for read and write access to %1")
                      .arg(access.realPath)
                : QStringLiteral("sudo usermod -aG %1 $USER, then log out and in again")
                      .arg(access.group);
        Finding(call.out, "access",
                QStringLiteral("you may not open it (group %1). Fix: %2")
                    .arg(access.group.isEmpty() ? QStringLiteral("?") : access.group, fix));
        return Verdict(call, false, QStringLiteral("no permission to open %1").arg(link.device));
    }
    Finding(call.out, "access", QStringLiteral("you may open it for reading and writing"));

    // How long does the adapter hold what it receives?
    if (adapter.latencyTimerMs) {
        if (*adapter.latencyTimerMs > 1)
            Finding(
                call.out, "latency",
                QStringLiteral("%1 ms: every exchange may wait that long. Fix until the adapter "
                               "is plugged in again: %2")
                    .arg(*adapter.latencyTimerMs)
                    .arg(LatencyTimerFix(access.realPath)));
        else
            Finding(call.out, "latency", QStringLiteral("%1 ms").arg(*adapter.latencyTimerMs));
    }

    // Is another program holding it?
    if (const std::optional<PortHolder> holder = FindPortHolder(access.realPath)) {
        const QString who =
            holder->program.isEmpty()
                ? QStringLiteral("process %1").arg(holder->pid)
                : QStringLiteral("process %1 (%2)").arg(holder->pid).arg(holder->program);
        Finding(call.out, "holder", QStringLiteral("in use by ") + who);
        return Verdict(
            call, false,
            QStringLiteral("%1 is held by %2: end that program first").arg(link.device, who));
    }
    Finding(call.out, "holder", QStringLiteral("no other program holds it"));

    // Does the drive answer with the settings given?
    DriveSession drive(link, call.err);
    if (!drive.Open())
        return Verdict(call, false, QStringLiteral("%1 cannot be opened").arg(link.device));
    if (drive.connection.Probe()) {
        Finding(call.out, "probe", QStringLiteral("answered at ") + SettingsText(link));
        return Verdict(call, true, QStringLiteral("the drive answers on %1").arg(link.device));
    }
    Finding(call.out, "probe", QStringLiteral("no answer at ") + SettingsText(link));

    // At which settings, then?
    InterruptGuard interrupts;
    const QList<DetectedDrive> found =
        DetectDrives(drive.connection.Link(), detection,
                     [](const QString&, int, int) { return !InterruptGuard::Interrupted(); });
    drive.connection.Close();
    if (found.isEmpty())
        return Verdict(call, false,
                       InterruptGuard::Interrupted()
                           ? QStringLiteral("the detection was interrupted")
                           : QStringLiteral("no drive answers on %1 at any setting: check the "
                                            "cable, the drive's power and, on RS-485, the A and "
                                            "B wires")
                                 .arg(link.device));
    Finding(call.out, "detect", found.front().Text());
    return Verdict(call, false,
                   QStringLiteral("the drive answers at other settings: use %1")
                       .arg(LinkOptionsText(found.front())));
}
