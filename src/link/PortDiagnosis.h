#pragma once

#include <QString>

#include <optional>

// What the system says about a serial device before anything is sent on it: the questions users
// of a USB adapter ask first (is it there, may I open it, which chip is it, how long does it hold
// received bytes).

struct DeviceAccess {
    bool exists = false;
    QString realPath; // where the name finally leads (a /dev/serial/by-id/ link resolved)
    bool characterDevice = false;
    bool readWrite = false; // this user may open it for reading and writing
    QString group;          // the device's group ("dialout"), empty when unknown
    bool inGroup = false;   // this user is a member of that group
};

DeviceAccess CheckDeviceAccess(const QString& device);

struct AdapterFacts {
    QString driver;                    // "ftdi_sio", "ch341-uart", "cp210x", "pl2303"; empty: none
    std::optional<int> latencyTimerMs; // the adapter's latency timer, where it has one
};

inline constexpr char kTtyClassFolder[] = "/sys/class/tty";

// The kernel's facts about the tty `realPath` names (/dev/ttyUSB0 → <ttyClass>/ttyUSB0/device).
AdapterFacts ReadAdapterFacts(const QString& realPath,
                              const QString& ttyClass = QString::fromLatin1(kTtyClassFolder));

// The latency timer of the adapter behind `realPath`, from its sysfs attribute; none where the
// adapter has no such attribute or it does not read as a number of milliseconds.
std::optional<int>
ReadLatencyTimerMs(const QString& realPath,
                   const QString& ttyClass = QString::fromLatin1(kTtyClassFolder));

// The shell command that sets the adapter's latency timer to 1 ms until it is plugged in again.
QString LatencyTimerFix(const QString& realPath,
                        const QString& ttyClass = QString::fromLatin1(kTtyClassFolder));
