#pragma once

#include "cli/CliMessenger.h"
#include "cli/LinkOptions.h"
#include "drive/DriveProfile.h"
#include "link/DriveOperations.h"
#include "params/DriveConnection.h"
#include "params/NolvaServoDoc.h"

#include <QTextStream>

#include <cstdint>

// One drive command's drive: the connection and what it works on, set up alike for every
// command. Each step says why on the error output when it fails and leaves the port closed.
class DriveSession {
public:
    DriveSession(const LinkOptions& link, QTextStream& err);
    // A device that went away under the command is said once here, whatever the command made of
    // its failed exchange.
    ~DriveSession();
    DriveSession(const DriveSession&) = delete;
    DriveSession& operator=(const DriveSession&) = delete;

    // Opens the port; the Modbus functions need no more, they address any station on the line.
    bool Open();
    // Opens the port and runs the identification probe, as the program's connect does.
    bool Connect();
    // Connects and runs the status read, so that speeds convert with the drive's own maximum
    // speed and the torque factors follow its model code.
    bool ConnectWithStatus();

    // Closes the port, first saying so when the device went away under it.
    void Close();

    // dn-03 as the probe read it.
    int32_t Dn03() const { return dn03_; }

    CliMessenger messenger;
    DriveProfile profile;
    CNolvaServoDoc document{profile};
    DriveOperations operations;
    DriveConnection connection;

private:
    const LinkOptions& link_;
    QTextStream& err_;
    int32_t dn03_ = 0;
};

// The command protocol's failure, in the words and number the tool has always printed.
QString CommandFailureText();
