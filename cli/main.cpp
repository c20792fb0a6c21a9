// orvan-cli: the program's operations for scripts and headless use.

#include "cli/AnalysisCommands.h"
#include "cli/LinkCommands.h"
#include "cli/MonitorCommands.h"
#include "cli/NvpCommands.h"
#include "cli/ReportCommand.h"
#include "cli/TraceCommand.h"
#include "cli/TraceFileCommands.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QIODevice>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <memory>

namespace {

int Run(QStringList args, QTextStream& out, QTextStream& err) {
    if (!args.isEmpty() && args.front() == QLatin1String("nvp")) {
        args.removeFirst();
        return RunNvpCommand(args, out, err);
    }
    if (!args.isEmpty() && args.front() == QLatin1String("fra-analyse")) {
        args.removeFirst();
        return RunFraAnalyseCommand(args, out, err);
    }
    if (!args.isEmpty() && args.front() == QLatin1String("trd")) {
        args.removeFirst();
        return RunTraceFileCommand(args, out, err);
    }
    if (args.size() == 1 && args.front() == QLatin1String("--version")) {
        out << "orvan-cli " ORVAN_VERSION "\n";
        return 0;
    }
    if (args.isEmpty() || args.front() == QLatin1String("--help") ||
        args.front() == QLatin1String("-h")) {
        (args.isEmpty() ? err : out)
            << kLinkUsage << kMonitorUsage << kTraceUsage << kAnalysisUsage
            << "       orvan-cli nvp ... (parameter files; orvan-cli nvp for details)\n"
            << "       orvan-cli trd ... (trace files; orvan-cli trd for details)\n"
            << "       orvan-cli --version\n";
        return args.isEmpty() ? 2 : 0;
    }
    return RunLinkCommand(args, out, err);
}

} // namespace

int main(int argc, char* argv[]) {
    // The report sets text, which needs a GUI application's fonts; it runs headless, offscreen.
    std::unique_ptr<QCoreApplication> app;
    if (IsReportCommand(argc, argv)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int exitCode = Run(args, out, err);
    // Output that did not all arrive (a full disk) is a failure: a script must not take a cut
    // file for a whole one.
    out.flush();
    if (out.status() != QTextStream::Ok || std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        err << "orvan-cli: writing the output failed: " << out.device()->errorString() << "\n";
        return 1;
    }
    return exitCode;
}
