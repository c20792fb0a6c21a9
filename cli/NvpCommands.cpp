#include "cli/NvpCommands.h"

int RunNvpCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    Q_UNUSED(args);
    Q_UNUSED(out);
    err << "nvp: not available yet\n";
    return 2;
}
