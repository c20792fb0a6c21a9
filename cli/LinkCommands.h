#pragma once

#include "app/AppSettings.h"

#include <QStringList>
#include <QTextStream>

#include <cstdint>

// The options common to every command that talks to a drive.
struct LinkOptions {
    QString device;
    uint32_t baud = 9600;
    LinkSettings settings;
    bool store = false;  // write: through the mailbox first
    QString output;      // read-all: -o FILE
    bool force = false;  // replace existing output files (read-all, monitor, trace, fra)
    QStringList command; // the command and its arguments
};

// "read CODE...", "write CODE=VALUE...", "read-all -o FILE", "write-all FILE": parameters by
// their codes, moved as the whole-set transfers move them. "compare FILE": the parameters whose
// drive value differs from the file's; exit code 3 when some differ.
bool IsParameterCommand(const QStringList& command);
int RunParameterCommand(const LinkOptions& options, QTextStream& out, QTextStream& err);

// "orvan-cli --port DEVICE [--baud N] [--rs485 --station N --frame-format K] COMMAND ...":
// single exchanges with a drive. Returns the exit code: 0 success, 1 a failed exchange or port,
// 2 a usage error.
int RunLinkCommand(const QStringList& args, QTextStream& out, QTextStream& err);

class DriveConnection;

// Opens the options' device for the connection; false, after saying why, when it cannot.
bool OpenPort(DriveConnection& connection, const LinkOptions& options, QTextStream& err);
// The identification probe, as the program's connect runs it; false, after saying so and closing
// the port, when no drive answers.
bool ProbeDrive(DriveConnection& connection, QTextStream& err, int32_t* dn03 = nullptr);

// The usage text of the link commands.
extern const char* const kLinkUsage;
