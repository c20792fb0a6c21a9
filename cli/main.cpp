// orvan-cli: the program's operations for scripts and headless use.

#include "cli/LinkCommands.h"
#include "cli/MonitorCommands.h"
#include "cli/NvpCommands.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!args.isEmpty() && args.front() == QLatin1String("nvp")) {
        args.removeFirst();
        return RunNvpCommand(args, out, err);
    }
    if (args.isEmpty() || args.front() == QLatin1String("--help") ||
        args.front() == QLatin1String("-h")) {
        (args.isEmpty() ? err : out)
            << kLinkUsage << kMonitorUsage << "       orvan-cli nvp ... (parameter files; "
            << "orvan-cli nvp for details)\n";
        return args.isEmpty() ? 2 : 0;
    }
    return RunLinkCommand(args, out, err);
}
