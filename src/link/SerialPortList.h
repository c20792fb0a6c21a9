#pragma once

#include <QList>
#include <QString>

// The serial ports plugged into this machine, as the port dialog and `orvan-cli detect` offer
// them. A USB adapter gets its ttyUSB number in the order it was plugged in, so the stable name
// under /dev/serial/by-id/ (made by udev from the adapter's maker, model and serial number) is
// the one to keep: the next start finds the same adapter whatever number it got.
struct DetectedPort {
    QString systemLocation; // "/dev/ttyUSB0"
    QString byIdPath;       // "/dev/serial/by-id/usb-FTDI_...-if00-port0"; empty when none
    QString description;    // the adapter's product text, e.g. "FT232R USB UART"
    QString manufacturer;
    QString serialNumber;

    // The name to keep in the settings: the by-id path where there is one.
    QString PreferredPath() const { return byIdPath.isEmpty() ? systemLocation : byIdPath; }
    // "FT232R USB UART, FTDI, A50285BI (/dev/ttyUSB0)": what the adapter is, for a list entry;
    // the parts the driver does not know are left out.
    QString AdapterText() const;
    // Whether the driver knows anything of the adapter beyond its device name.
    bool Described() const;
    bool operator==(const DetectedPort&) const = default;
};

inline constexpr char kSerialByIdFolder[] = "/dev/serial/by-id";

// Adds to each port the link in `byIdFolder` that leads to its device (several links to one
// device: the first by name). The ports keep their order.
QList<DetectedPort> WithByIdPaths(QList<DetectedPort> ports, const QString& byIdFolder);

// The ports Qt's port information finds on this machine, with their by-id paths, sorted by
// system location.
QList<DetectedPort>
DetectSerialPorts(const QString& byIdFolder = QString::fromLatin1(kSerialByIdFolder));

// The detected port `path` names: by its system location, its by-id path, or any other link
// that leads to the same device. Null when none does.
const DetectedPort* FindDetectedPort(const QList<DetectedPort>& ports, const QString& path);
