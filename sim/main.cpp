// orvan-drive-sim: the simulated servo drive on a pseudo-terminal.
//
// The first line on standard output is the terminal's path (flushed at once, so a parent can
// read it and connect). SIGTERM and SIGINT end the program cleanly; SIGUSR1 switches the drive
// between answering and hung up. Standard input takes control lines (ControlLines.h) for the
// machine behind the drive; their answers go to standard output, their errors to standard error.

#include "sim/ControlLines.h"
#include "sim/PtyDriveHost.h"
#include "sim/SimulatedDrive.h"

#include <QCommandLineParser>
#include <QStringList>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

std::atomic<bool> gStop{false};
std::atomic<int> gHangUpToggles{0};

extern "C" void OnStopSignal(int) {
    gStop = true;
}

extern "C" void OnToggleSignal(int) {
    ++gHangUpToggles;
}

// Reads what standard input holds and runs each complete line. False at its end.
bool RunControlInput(SimulatedDrive& drive, PtyDriveHost& host, QByteArray& pending) {
    char buffer[4096];
    const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) {
        return n < 0 && errno == EINTR;
    }
    pending.append(buffer, n);
    // A control line is short: input that runs on without ending a line (a binary file,
    // /dev/zero) is not control input, and reading it on would only take memory and time.
    constexpr qsizetype kLongestLine = 1024;
    if (pending.indexOf('\n') < 0 && pending.size() > kLongestLine) {
        std::fprintf(stderr,
                     "orvan-drive-sim: standard input is no control input (a line longer than "
                     "%lld bytes); it is no longer read\n",
                     static_cast<long long>(kLongestLine));
        pending.clear();
        return false;
    }
    for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
        const QString line = QString::fromLocal8Bit(pending.left(end));
        pending.remove(0, end + 1);
        const ControlReply reply = RunHostControlLine(drive, host, line);
        if (!reply.ok) {
            std::fprintf(stderr, "orvan-drive-sim: %s\n", qPrintable(reply.text));
        } else if (!reply.text.isEmpty()) {
            std::fputs(qPrintable(reply.text.endsWith('\n') ? reply.text : reply.text + '\n'),
                       stdout);
            std::fflush(stdout);
        }
    }
    return true;
}

int Usage(const QString& message) {
    std::fprintf(stderr, "orvan-drive-sim: %s\n", qPrintable(message));
    return 2;
}

struct Number {
    bool ok = false;
    double value = 0;
};

// A number option within [min, max]; integers accept 0x for hexadecimal.
Number ReadNumber(const QCommandLineParser& parser, const QString& name, double min, double max,
                  bool integer) {
    Number n;
    const QString text = parser.value(name);
    if (integer) {
        qlonglong v = text.toLongLong(&n.ok, 0);
        n.value = static_cast<double>(v);
    } else {
        n.value = text.toDouble(&n.ok);
    }
    n.ok = n.ok && n.value >= min && n.value <= max;
    return n;
}

} // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "A simulated servo drive on a pseudo-terminal. Prints the terminal's path on the first "
        "line of standard output.");
    parser.addHelpOption();
    parser.addOptions({
        {"version", "Print the program's name and version and exit."},
        {"rs485", "Answer Modbus at the station besides the command protocol."},
        {"station", "Modbus station, 1..247 (default 1).", "N", "1"},
        {"frame-format", "Modbus frame format 0..8: 0..5 ASCII, 6..8 RTU (default 0).", "K", "0"},
        {"baud", "Bits per second for pacing and RTU silence (default 9600).", "N", "9600"},
        {"link", "Also make a symbolic link PATH to the terminal.", "PATH"},
        {"log", "Append every request received to FILE, one per line.", "FILE"},
        {"persist", "Keep the stored parameters in FILE (loaded now, saved on every store).",
         "FILE"},
        {"model-code", "Model code (default 0x121).", "CODE", "0x121"},
        {"max-speed", "Maximum motor speed in rpm (default 3000).", "RPM", "3000"},
        {"software-version", "Software version word (default 258, shown 2.58).", "N", "258"},
        {"drop", "Probability that a reply is not sent.", "P", "0"},
        {"corrupt", "Probability that a reply's check value is damaged.", "P", "0"},
        {"refuse", "Probability that a command is refused with '!'.", "P", "0"},
        {"latency-ms", "Delay before every reply.", "MS", "0"},
        {"pace", "Take the wire time of every request and reply at the baud rate."},
        {"seed", "Seed of the fault draws (default 1).", "N", "1"},
        {"hang-up-after", "Answer N requests, then nothing.", "N"},
        {"echo", "Send every byte received back at once, before the reply, as a two-wire "
                 "RS-485 converter does."},
    });
    if (!parser.parse(arguments)) {
        return Usage(parser.errorText());
    }
    if (parser.isSet("version")) {
        std::fputs("orvan-drive-sim " ORVAN_VERSION "\n", stdout);
        return 0;
    }
    if (parser.isSet("help")) {
        QString help = parser.helpText();
        help.replace(QStringLiteral("<executable_name>"), QStringLiteral("orvan-drive-sim"));
        std::fputs(qPrintable(help + '\n' + ControlLinesHelp()), stdout);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return Usage("unexpected argument " + parser.positionalArguments().first());
    }

    const Number station = ReadNumber(parser, "station", 1, 247, true);
    const Number format = ReadNumber(parser, "frame-format", 0, 8, true);
    const Number baud = ReadNumber(parser, "baud", 1, 10'000'000, true);
    const Number model = ReadNumber(parser, "model-code", 0, 0xFFFF, true);
    const Number maxSpeed = ReadNumber(parser, "max-speed", 1, 0x7FFF, true);
    const Number version = ReadNumber(parser, "software-version", 0, 0xFFFF, true);
    const Number drop = ReadNumber(parser, "drop", 0, 1, false);
    const Number corrupt = ReadNumber(parser, "corrupt", 0, 1, false);
    const Number refuse = ReadNumber(parser, "refuse", 0, 1, false);
    const Number latency = ReadNumber(parser, "latency-ms", 0, 600'000, true);
    const Number seed = ReadNumber(parser, "seed", 0, 0xFFFFFFFFu, true);
    const struct {
        const char* name;
        Number number;
    } checks[] = {{"station", station},    {"frame-format", format},
                  {"baud", baud},          {"model-code", model},
                  {"max-speed", maxSpeed}, {"software-version", version},
                  {"drop", drop},          {"corrupt", corrupt},
                  {"refuse", refuse},      {"latency-ms", latency},
                  {"seed", seed}};
    for (const auto& check : checks) {
        if (!check.number.ok) {
            return Usage(QStringLiteral("--%1: bad value \"%2\"")
                             .arg(QLatin1String(check.name), parser.value(check.name)));
        }
    }
    FaultSettings faults;
    faults.drop = drop.value;
    faults.corrupt = corrupt.value;
    faults.refuse = refuse.value;
    faults.latencyMs = static_cast<int>(latency.value);
    faults.pace = parser.isSet("pace");
    faults.baud = static_cast<int>(baud.value);
    faults.seed = static_cast<uint32_t>(seed.value);
    if (parser.isSet("hang-up-after")) {
        const Number after = ReadNumber(parser, "hang-up-after", 0, 1e15, true);
        if (!after.ok) {
            return Usage("--hang-up-after: bad value \"" + parser.value("hang-up-after") + "\"");
        }
        faults.hangUpAfter = static_cast<int64_t>(after.value);
    }

    DriveIdentity identity;
    identity.modelCode = static_cast<int32_t>(model.value);
    identity.maxMotorSpeed = static_cast<int32_t>(maxSpeed.value);
    identity.softwareVersion = static_cast<int32_t>(version.value);
    DriveLinkOptions link;
    link.rs485 = parser.isSet("rs485");
    link.station = static_cast<int>(station.value);
    link.frameFormat = static_cast<int>(format.value);

    SimulatedDrive drive(identity, link);
    drive.SetFaults(faults);
    drive.SetEcho(parser.isSet("echo"));
    drive.SetKeepLogInMemory(false);
    QString error;
    if (parser.isSet("log") && !drive.SetLogFile(parser.value("log"), &error)) {
        return Usage(error);
    }
    if (parser.isSet("persist") && !drive.SetPersistFile(parser.value("persist"), &error)) {
        std::fprintf(stderr, "orvan-drive-sim: %s\n", qPrintable(error));
        return 1;
    }

    // The stop and toggle signals are blocked except while the host waits, so none is lost
    // between a check of the flags and the wait.
    sigset_t handled;
    sigset_t waitMask;
    sigemptyset(&handled);
    sigaddset(&handled, SIGTERM);
    sigaddset(&handled, SIGINT);
    sigaddset(&handled, SIGUSR1);
    sigprocmask(SIG_BLOCK, &handled, &waitMask);
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGINT);
    sigdelset(&waitMask, SIGUSR1);
    struct sigaction stopAction {};
    stopAction.sa_handler = OnStopSignal;
    sigaction(SIGTERM, &stopAction, nullptr);
    sigaction(SIGINT, &stopAction, nullptr);
    struct sigaction toggleAction {};
    toggleAction.sa_handler = OnToggleSignal;
    sigaction(SIGUSR1, &toggleAction, nullptr);
    signal(SIGPIPE, SIG_IGN);

    PtyDriveHost host(drive, faults.baud);
    if (!host.Open(&error)) {
        std::fprintf(stderr, "orvan-drive-sim: %s\n", qPrintable(error));
        return 1;
    }
    if (parser.isSet("link") && !host.MakeLink(parser.value("link"), &error)) {
        std::fprintf(stderr, "orvan-drive-sim: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s\n", qPrintable(host.SlavePath()));
    std::fflush(stdout);

    QString reportedPersistError;
    host.SetIdleHook([&drive, &reportedPersistError] {
        for (int toggles = gHangUpToggles.exchange(0); toggles > 0; --toggles) {
            drive.SetHungUp(!drive.HungUp());
            std::fprintf(stderr, "orvan-drive-sim: %s\n",
                         drive.HungUp() ? "hung up" : "answering again");
        }
        if (drive.PersistError() != reportedPersistError) {
            reportedPersistError = drive.PersistError();
            if (!reportedPersistError.isEmpty()) {
                std::fprintf(stderr, "orvan-drive-sim: cannot save the stored parameters: %s\n",
                             qPrintable(reportedPersistError));
            }
        }
    });
    QByteArray pendingInput;
    host.WatchInput(STDIN_FILENO, [&drive, &host, &pendingInput] {
        return RunControlInput(drive, host, pendingInput);
    });
    const bool ok = host.Run(gStop, &waitMask);
    host.Close();
    if (!ok) {
        std::fprintf(stderr, "orvan-drive-sim: the terminal failed\n");
        return 1;
    }
    return 0;
}
