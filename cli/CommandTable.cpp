#include "cli/CommandTable.h"

#include "cli/AnalysisCommands.h"
#include "cli/DetectCommand.h"
#include "cli/DoctorCommand.h"
#include "cli/MonitorCommands.h"
#include "cli/NvpCommands.h"
#include "cli/ParameterCommands.h"
#include "cli/ReportCommand.h"
#include "cli/TraceCommand.h"
#include "cli/TraceFileCommands.h"
#include "cli/WordCommands.h"

namespace {

bool IsWordRead(const QStringList& words) {
    return !IsCodeRead(words);
}

bool IsWordWrite(const QStringList& words) {
    return !IsCodeWrite(words);
}

const OptionSpec kForce{"--force", nullptr};
const OptionSpec kMaxSpeed{"--max-speed", "N"};

} // namespace

const std::vector<OptionSpec>& LinkOptionSpecs() {
    static const std::vector<OptionSpec> kOptions{{"--port", "DEVICE"},    {"--baud", "N"},
                                                  {"--rs485", nullptr},    {"--station", "N"},
                                                  {"--frame-format", "K"}, {"--echo", "MODE"}};
    return kOptions;
}

const std::vector<Subcommand>& Subcommands() {
    static const std::vector<Subcommand> kTable{
        {"",
         "probe",
         "probe",
         "identification probe: prints dn-03 (input contacts)",
         {},
         true,
         RunProbe},
        {"",
         "detect",
         "detect",
         "find the drive on --port: every baud rate, line shape, frame\n"
         "format and station [--stations A-B, default 1-32] [--all: go on\n"
         "after the first]; prints what answered and the options that reach it",
         {{"--stations", "A-B"}, {"--all", nullptr}},
         true,
         RunDetect},
        {"",
         "doctor",
         "doctor",
         "what stands between this computer and the drive: the device,\n"
         "the right to open it, another program holding it, the adapter\n"
         "and its latency timer, the\n"
         "probe with the options given, then the detection; one verdict\n"
         "line, exit 0 when the drive answers (--port: the only port there is)\n"
         "[--stations A-B: the stations the detection tries, default 1-32]",
         {{"--stations", "A-B"}},
         true,
         RunDoctor,
         nullptr,
         true},
        {"",
         "read",
         "read PAGE LOC",
         "command-protocol read: prints the word",
         {},
         true,
         RunReadWord,
         IsWordRead},
        {"",
         "write",
         "write PAGE LOC VALUE",
         "command-protocol write [--store: through the mailbox first]",
         {{"--store", nullptr}},
         true,
         RunWriteWord,
         IsWordWrite},
        {"",
         "mb-read",
         "mb-read REG",
         "Modbus function 03 (needs --rs485): prints 0..65535",
         {},
         true,
         RunModbusRead},
        {"",
         "mb-write",
         "mb-write REG VALUE",
         "Modbus function 06 (needs --rs485)",
         {},
         true,
         RunModbusWrite},
        {"",
         "read",
         "read CODE...",
         "parameters by code (Cn005 ...): prints CODE=VALUE",
         {},
         true,
         RunReadCodes,
         IsCodeRead},
        {"",
         "write",
         "write CODE=VALUE...",
         "parameters by code; VALUE as shown (hex for bit-field codes)",
         {},
         true,
         RunWriteCodes,
         IsCodeWrite},
        {"",
         "read-all",
         "read-all -o FILE.nvp",
         "copy the drive's parameters to a file [--force to replace]",
         {{"-o", "FILE.nvp"}, kForce},
         true,
         RunReadAll},
        {"",
         "write-all",
         "write-all FILE.nvp",
         "copy a parameter file to the drive",
         {},
         true,
         RunWriteAll},
        {"",
         "compare",
         "compare FILE.nvp",
         "parameters whose drive value differs from the file's: prints\n"
         "CODE, name, file value, drive value (tab-separated); exit 3\n"
         "when some differ, 0 when none",
         {},
         true,
         RunCompare},
        {"",
         "monitor",
         "monitor [Un-01 ...]",
         "status display values (all nineteen when none is named), one\n"
         "line each: code, name, value, unit [--interval MS, default 400]\n"
         "[--count N, default until Ctrl+C] [--csv FILE: also record them,\n"
         "with a time column in seconds since the start; \"-\" records\n"
         "to the output instead of the lines] [--force: replace FILE]",
         {{"--interval", "MS"}, {"--count", "N"}, {"--csv", "FILE"}, kForce},
         true,
         RunMonitor},
        {"",
         "diag",
         "diag",
         "diagnostics dn-01..dn-04, then each contact lamp: label ON|OFF",
         {},
         true,
         RunDiagnostics},
        {"",
         "alarms",
         "alarms [--clear]",
         "the alarm history, newest first: row, code, alarm text\n"
         "[--clear: clear the drive's history first]",
         {{"--clear", nullptr}},
         true,
         RunAlarms},
        {"",
         "trace",
         "trace --interval CODE --data1 SEL --data2 SEL -o FILE.trd",
         "capture a trace: 512 samples every CODE x 100 us (1..1250) of\n"
         "quantities SEL 0..7 (0 speed command, 1 speed feedback, 2 torque\n"
         "command, 3 reference pulse speed, 4/5 U-phase current command/\n"
         "feedback, 6 position error, 7 electric angle) [--di N: DI-1..13]\n"
         "[--do N: DO-1..4] [--trigger MODE: 0 at once, 1..4 on a level,\n"
         "5..12 DI-1..8, 13..15 DO-1..3] [--level L: rpm 0..3000 for\n"
         "modes 1..3, % 0..300 for mode 4] [--csv FILE: the samples too,\n"
         "\"-\" to the output] [--force: replace existing files]",
         {{"--interval", "CODE"},
          {"--data1", "SEL"},
          {"--data2", "SEL"},
          {"--di", "N"},
          {"--do", "N"},
          {"--trigger", "MODE"},
          {"--level", "L"},
          {"--csv", "FILE"},
          {"-o", "FILE.trd"},
          kForce},
         true,
         RunTrace},
        {"",
         "fra",
         "fra --load PERCENT [-o RESULT.csv] [--record RECORD.csv] [--force]",
         "measure the frequency response on the drive: PERCENT is the load\n"
         "torque, 1..100; prints the lines fra-analyse prints; --force\n"
         "replaces existing files",
         {{"--load", "PERCENT"}, {"-o", "RESULT.csv"}, {"--record", "RECORD.csv"}, kForce},
         true,
         RunFra},
        {"",
         "fra-analyse",
         "fra-analyse RECORD.csv [--model CODE] [-o RESULT.csv]",
         "the frequency response of a record without a drive. RECORD.csv:\n"
         "a header line and 1024 rows torque,speed (percent, rpm). --model\n"
         "is the hexadecimal model code (Cn030) that picks the torque\n"
         "factors (default 0121)",
         {{"--model", "CODE"}, {"-o", "RESULT.csv"}},
         false,
         RunFraAnalyse},
        {"nvp",
         "show",
         "show FILE [--max-speed N]",
         "table of code, name, value, unit, range, default",
         {kMaxSpeed},
         false,
         RunNvpShow},
        {"nvp",
         "export",
         "export FILE --csv|--json [--max-speed N]",
         "to standard output",
         {{"--csv", nullptr}, {"--json", nullptr}, kMaxSpeed},
         false,
         RunNvpExport},
        {"nvp",
         "import",
         "import CSV -o FILE [--max-speed N] [--force]",
         "a CSV made by export gives the same file back",
         {{"-o", "FILE"}, kMaxSpeed, kForce},
         false,
         RunNvpImport},
        {"nvp",
         "new",
         "new FILE [--max-speed N] [--model HEX] [--force]",
         "every parameter at its default",
         {kMaxSpeed, {"--model", "HEX"}, kForce},
         false,
         RunNvpNew},
        {"nvp",
         "diff",
         "diff A B",
         "differing parameters; exit 3 when some differ",
         {},
         false,
         RunNvpDiff},
        {"nvp",
         "report",
         "report FILE -o REPORT.pdf [--max-speed N] [--force]",
         "the printed parameter report as a four-page PDF",
         {{"-o", "REPORT.pdf"}, kMaxSpeed, kForce},
         false,
         RunNvpReport},
        {"trd", "show", "show FILE", "the settings of a trace file", {}, false, RunTrdShow},
        {"trd",
         "export",
         "export FILE --csv [OUT]",
         "its samples as CSV, to OUT or (without OUT, or OUT \"-\")\n"
         "to the standard output",
         {{"--csv", nullptr}},
         false,
         RunTrdExport},
    };
    return kTable;
}

const Subcommand* FindSubcommand(const QString& group, const QStringList& words) {
    if (words.isEmpty()) {
        return nullptr;
    }
    const QStringList arguments = words.mid(1);
    for (const Subcommand& command : Subcommands()) {
        if (group == QLatin1String(command.group) && words.front() == QLatin1String(command.name) &&
            (command.fits == nullptr || command.fits(arguments))) {
            return &command;
        }
    }
    return nullptr;
}

QString CommandName(const Subcommand& command) {
    const QString name = QLatin1String(command.name);
    return *command.group == '\0' ? name : QLatin1String(command.group) + QLatin1Char(' ') + name;
}
