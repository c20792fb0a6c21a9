#include "cli/LinkCommands.h"

#include "app/AppSettings.h"
#include "base/Messenger.h"
#include "cli/AnalysisCommands.h"
#include "cli/MonitorCommands.h"
#include "cli/TraceCommand.h"
#include "link/DriveOperations.h"
#include "link/Frames.h"
#include "params/DriveConnection.h"
#include "params/NolvaServoDoc.h"

#include <cerrno>
#include <optional>

const char* const kLinkUsage =
    "usage: orvan-cli --port DEVICE [--baud N] [--rs485 --station N --frame-format K] COMMAND\n"
    "  probe                    identification probe: prints dn-03 (input contacts)\n"
    "  read PAGE LOC            command-protocol read: prints the word\n"
    "  write PAGE LOC VALUE     command-protocol write [--store: through the mailbox first]\n"
    "  mb-read REG              Modbus function 03 (needs --rs485): prints 0..65535\n"
    "  mb-write REG VALUE       Modbus function 06 (needs --rs485)\n"
    "  read CODE...             parameters by code (Cn005 ...): prints CODE=VALUE\n"
    "  write CODE=VALUE...      parameters by code; VALUE as shown (hex for bit-field codes)\n"
    "  read-all -o FILE.nvp     copy the drive's parameters to a file [--force to replace]\n"
    "  write-all FILE.nvp       copy a parameter file to the drive\n"
    "  compare FILE.nvp         parameters whose drive value differs from the file's: prints\n"
    "                           CODE, name, file value, drive value (tab-separated); exit 3\n"
    "                           when some differ, 0 when none\n"
    "PAGE is one of 0-9, A-F; LOC, REG and VALUE are decimal or 0x-prefixed hexadecimal.\n"
    "--frame-format 0..5 is Modbus ASCII, 6..8 Modbus RTU; --baud defaults to 9600.\n";

namespace {

std::optional<int64_t> ParseNumber(const QString& text) {
    bool ok = false;
    int64_t value = 0;
    if (text.startsWith(QLatin1String("0x")) || text.startsWith(QLatin1String("0X"))) {
        value = text.mid(2).toLongLong(&ok, 16);
    } else {
        value = text.toLongLong(&ok, 10);
    }
    return ok ? std::optional<int64_t>(value) : std::nullopt;
}

std::optional<int64_t> ParseInRange(const QString& text, int64_t min, int64_t max) {
    const std::optional<int64_t> value = ParseNumber(text);
    if (!value || *value < min || *value > max) {
        return std::nullopt;
    }
    return value;
}

std::optional<char> ParsePage(const QString& text) {
    if (text.size() != 1) {
        return std::nullopt;
    }
    const char c = text.at(0).toUpper().toLatin1();
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) {
        return c;
    }
    return std::nullopt;
}

bool Usage(QTextStream& err, const QString& why) {
    err << "orvan-cli: " << why << "\n" << kLinkUsage;
    return false;
}

bool ParseLinkOptions(const QStringList& args, LinkOptions* o, QTextStream& err) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto next = [&]() -> std::optional<QString> {
            return i + 1 < args.size() ? std::optional<QString>(args[++i]) : std::nullopt;
        };
        if (a == QLatin1String("--port")) {
            const auto v = next();
            if (!v || v->isEmpty())
                return Usage(err, "--port needs a device");
            o->device = *v;
        } else if (a == QLatin1String("--baud")) {
            const auto v = next();
            const auto baud = v ? ParseInRange(*v, 1, 4000000) : std::nullopt;
            if (!baud)
                return Usage(err, "--baud needs a rate in bits per second");
            o->baud = static_cast<uint32_t>(*baud);
        } else if (a == QLatin1String("--rs485")) {
            o->settings.RS485Port = true;
        } else if (a == QLatin1String("--station")) {
            const auto v = next();
            const auto station = v ? ParseInRange(*v, 0, 255) : std::nullopt;
            if (!station)
                return Usage(err, "--station needs a number 0..255");
            o->settings.StationID = static_cast<int32_t>(*station);
        } else if (a == QLatin1String("--frame-format")) {
            const auto v = next();
            const auto format = v ? ParseInRange(*v, 0, 8) : std::nullopt;
            if (!format)
                return Usage(err, "--frame-format needs a number 0..8");
            o->settings.FrameFormat = static_cast<int32_t>(*format);
            o->settings.AsciiMode = *format < 6;
        } else if (a == QLatin1String("--store")) {
            o->store = true;
        } else if (a == QLatin1String("--force")) {
            o->force = true;
        } else if (a == QLatin1String("-o")) {
            const auto v = next();
            if (!v || v->isEmpty())
                return Usage(err, "-o needs a file");
            o->output = *v;
        } else if (a.startsWith(QLatin1String("--"))) {
            return Usage(err, QStringLiteral("unknown option %1").arg(a));
        } else {
            o->command << a;
        }
    }
    if (o->device.isEmpty()) {
        return Usage(err, "--port DEVICE is required");
    }
    if (o->command.isEmpty()) {
        return Usage(err, "no command given");
    }
    return true;
}

// The command protocol's failure, in the words and number the tool has always printed.
QString CommandFailureText() {
    return QStringLiteral("no accepted reply after 3 attempts (result 0)");
}

QString ModbusResultText(ExchangeResult result) {
    switch (result) {
    case ExchangeResult::NoReply: return QStringLiteral("no reply (result 0)");
    case ExchangeResult::Corrupt: return QStringLiteral("corrupt reply (result 1)");
    case ExchangeResult::Exception: return QStringLiteral("exception reply (result 3)");
    case ExchangeResult::Accepted:
    case ExchangeResult::Good: break;
    }
    return QStringLiteral("result 2");
}

// The exception code of an exception reply, for the message; -1 when the reply did not hold one
// (the buffer starts zeroed, and zeros are no hex digits).
int ExceptionCode(const uint8_t* reply, bool ascii, int rtuReplyLength) {
    if (!ascii) {
        return rtuReplyLength >= 3 ? reply[2] : -1;
    }
    const int high = HexDigitValue(reply[5]);
    const int low = HexDigitValue(reply[6]);
    return high >= 0 && low >= 0 ? high * 16 + low : -1;
}

int Run(const LinkOptions& o, QTextStream& out, QTextStream& err) {
    const QString& name = o.command[0];
    const QStringList params = o.command.mid(1);
    auto argCount = [&](int n) {
        if (params.size() != n) {
            Usage(err, QStringLiteral("%1 takes %2 argument(s)").arg(name).arg(n));
            return false;
        }
        return true;
    };
    const bool modbus = name == QLatin1String("mb-read") || name == QLatin1String("mb-write");
    if (modbus && !o.settings.RS485Port) {
        Usage(err, QStringLiteral("%1 needs --rs485").arg(name));
        return 2;
    }

    // Arguments are checked before the port is touched.
    std::optional<char> page;
    std::optional<int64_t> location, value, reg;
    if (name == QLatin1String("probe")) {
        if (!argCount(0))
            return 2;
    } else if (name == QLatin1String("read") || name == QLatin1String("write")) {
        if (!argCount(name == QLatin1String("read") ? 2 : 3))
            return 2;
        page = ParsePage(params[0]);
        location = ParseInRange(params[1], 0, 255);
        if (name == QLatin1String("write")) {
            value = ParseInRange(params[2], -32768, 65535);
            if (!value)
                return Usage(err, "VALUE must be -32768..65535"), 2;
        }
        if (!page)
            return Usage(err, "PAGE must be one character 0-9 or A-F"), 2;
        if (!location)
            return Usage(err, "LOC must be 0..255"), 2;
    } else if (modbus) {
        if (!argCount(name == QLatin1String("mb-read") ? 1 : 2))
            return 2;
        reg = ParseInRange(params[0], 0, 65535);
        if (!reg)
            return Usage(err, "REG must be 0..65535"), 2;
        if (name == QLatin1String("mb-write")) {
            value = ParseInRange(params[1], -32768, 65535);
            if (!value)
                return Usage(err, "VALUE must be -32768..65535"), 2;
        }
    } else {
        Usage(err, QStringLiteral("unknown command \"%1\"").arg(name));
        return 2;
    }

    ConsoleMessenger messenger;
    DriveProfile profile;
    CNolvaServoDoc document(profile);
    DriveOperations operations;
    DriveConnection connection(o.settings, profile, document, messenger, operations);
    if (!OpenPort(connection, o, err)) {
        return 1;
    }
    DriveAccess& access = connection.Access();
    ModbusLink& link = connection.Link();
    int exitCode = 0;

    // The command-protocol commands need a drive that answers the probe; the Modbus functions
    // address any station on the line, so they go out without one.
    int32_t dn03 = 0;
    if (!modbus && !ProbeDrive(connection, err, &dn03)) {
        exitCode = 1;
    } else if (name == QLatin1String("probe")) {
        out << dn03 << "\n";
    } else if (name == QLatin1String("read")) {
        if (access.ReadDriveWord(*page, static_cast<int>(*location))) {
            out << access.LastValue << "\n";
        } else {
            err << "orvan-cli: read " << *page << " " << *location << ": " << CommandFailureText()
                << "\n";
            exitCode = 1;
        }
    } else if (name == QLatin1String("write")) {
        if (!access.WriteDriveWord(*page, static_cast<int>(*location), static_cast<int32_t>(*value),
                                   o.store)) {
            err << "orvan-cli: write " << *page << " " << *location << ": " << CommandFailureText()
                << "\n";
            exitCode = 1;
        }
    } else {
        const bool ascii = o.settings.AsciiMode;
        uint8_t request[kAsciiRequestLength];
        // Zeroed: a good but short reply must not be completed by whatever the buffer held.
        uint8_t reply[kAsciiRequestLength] = {};
        int replyLength = 0;
        if (name == QLatin1String("mb-read")) {
            replyLength =
                BuildReadRegisters(request, o.settings.StationID, static_cast<int>(*reg), 1, ascii);
        } else {
            replyLength = BuildWriteRegister(request, o.settings.StationID, static_cast<int>(*reg),
                                             static_cast<int32_t>(*value), ascii);
        }
        const int requestLength = ascii ? kAsciiRequestLength : kRtuRequestLength;
        const ExchangeResult result =
            link.ExchangeModbus(request, requestLength, reply, replyLength, ascii);
        if (result == ExchangeResult::Good && name == QLatin1String("mb-read")) {
            int32_t word = 0;
            const bool held = ascii ? DecodeWord(reply + 7, &word) : link.LastReplyLength() >= 5;
            if (!ascii) {
                word = (reply[3] << 8) | reply[4];
            }
            if (held) {
                out << (word & 0xFFFF) << "\n";
            } else {
                err << "orvan-cli: " << name << " " << *reg
                    << ": the reply is too short to hold a register\n";
                exitCode = 1;
            }
        } else if (result != ExchangeResult::Good) {
            err << "orvan-cli: " << name << " " << *reg << ": " << ModbusResultText(result);
            const int code = ExceptionCode(reply, ascii, link.LastReplyLength());
            if (result == ExchangeResult::Exception && code >= 0) {
                err << ", exception code " << code;
            }
            err << "\n";
            exitCode = 1;
        }
    }
    connection.Close();
    return exitCode;
}

} // namespace

bool OpenPort(DriveConnection& connection, const LinkOptions& options, QTextStream& err) {
    const uint32_t opened = connection.Open(options.device, options.baud);
    if (opened == EISDIR || opened == ENOTTY) {
        err << "orvan-cli: --port " << options.device << ": not a serial device"
            << (opened == EISDIR ? " (a folder)" : "") << "\n";
        return false;
    }
    if (opened != 0) {
        err << "orvan-cli: cannot open " << options.device << ": " << qt_error_string(int(opened))
            << " (" << opened << ")\n";
        return false;
    }
    return true;
}

bool ProbeDrive(DriveConnection& connection, QTextStream& err, int32_t* dn03) {
    if (connection.Probe(dn03)) {
        return true;
    }
    err << "orvan-cli: probe R6CB: " << CommandFailureText() << "\n";
    connection.Close();
    return false;
}

int RunLinkCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    QStringList rest = args;
    TraceOptions trace;
    if (TakeTraceOptions(rest, &trace)) {
        LinkOptions options;
        if (!ParseLinkOptions(rest, &options, err)) {
            return 2;
        }
        return RunTraceCommand(options, trace, out, err);
    }
    MonitorOptions monitor;
    FraCliOptions fra;
    LinkOptions options;
    if (!ParseLinkOptions(TakeFraOptions(TakeMonitorOptions(args, &monitor), &fra), &options,
                          err)) {
        return 2;
    }
    if (!options.command.isEmpty() && options.command.front() == QLatin1String("fra")) {
        return RunFraCommand(options, fra, out, err);
    }
    if (IsMonitorCommand(options.command) || monitor.Given()) {
        return RunMonitorCommand(options, monitor, out, err);
    }
    if (IsParameterCommand(options.command)) {
        return RunParameterCommand(options, out, err);
    }
    return Run(options, out, err);
}
