#include "cli/DriveSession.h"

#include "cli/CliText.h"

#include <cerrno>

QString CommandFailureText() {
    return QStringLiteral("no accepted reply after 3 attempts (result 0)");
}

DriveSession::DriveSession(const LinkOptions& link, QTextStream& err)
    : messenger(err), connection(link.settings, profile, document, messenger, operations),
      link_(link), err_(err) {}

DriveSession::~DriveSession() {
    Close();
}

void DriveSession::Close() {
    if (connection.DeviceGone()) {
        connection.TellDeviceGone(messenger);
    }
    connection.Close();
}

bool DriveSession::Open() {
    const uint32_t opened = connection.Open(link_.device, link_.baud);
    if (opened == EBUSY) {
        connection.TellPortInUse(messenger, link_.device);
        return false;
    }
    if (opened == EISDIR || opened == ENOTTY) {
        ErrorLine(err_) << "--port " << link_.device << ": not a serial device"
                        << (opened == EISDIR ? " (a folder)" : "") << "\n";
        return false;
    }
    if (opened != 0) {
        ErrorLine(err_) << "cannot open " << link_.device << ": " << qt_error_string(int(opened))
                        << " (" << opened << ")\n";
        return false;
    }
    return true;
}

bool DriveSession::Connect() {
    if (!Open()) {
        return false;
    }
    if (!connection.Probe(&dn03_)) {
        ErrorLine(err_) << "probe R6CB: " << CommandFailureText() << "\n";
        Close();
        return false;
    }
    return true;
}

bool DriveSession::ConnectWithStatus() {
    if (!Connect()) {
        return false;
    }
    DriveStatus status;
    if (!connection.ReadStatus(status)) {
        ErrorLine(err_) << "reading the drive's status failed: " << CommandFailureText() << "\n";
        Close();
        return false;
    }
    return true;
}
