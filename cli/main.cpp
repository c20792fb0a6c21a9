// orvan-cli: the program's operations for scripts and headless use.

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
    err << "usage: orvan-cli nvp show|export|import|new|diff ...\n";
    return 2;
}
