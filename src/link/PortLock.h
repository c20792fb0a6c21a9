#pragma once

#include "link/SerialBackend.h"

#include <QString>
#include <QStringList>

#include <optional>

// Who holds a serial device, read from its lock file. Two kinds share the name "LCK..ttyUSB0"
// (the device's path below /dev, '/' written as '_'): the UUCP kind that terminal programs write,
// the process id in ASCII, and the one QSerialPort writes, the process id, the program and the
// host on lines of their own.

// The folders a lock file may be in, in the order programs look for a writable one.
QStringList DefaultLockFolders();

// The lock file's name for the device at `location` (its real path).
QString LockFileName(const QString& location);

// The live holder a lock file of the device at `location` names, from the first folder that has
// one. The program is the lock file's own second line, else what `procRoot`/<pid>/comm says. A
// lock file whose process is gone names nobody.
std::optional<PortHolder> FindPortHolder(const QString& location,
                                         const QStringList& folders = DefaultLockFolders(),
                                         const QString& procRoot = QStringLiteral("/proc"));
