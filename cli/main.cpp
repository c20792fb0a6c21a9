// orvan-cli: the program's operations for scripts and headless use.

#include "base/FileNames.h"
#include "cli/CliText.h"
#include "cli/ReportCommand.h"
#include "cli/RunCommandLine.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QIODevice>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    // The report sets text, which needs a GUI application's fonts; it runs headless, offscreen.
    std::unique_ptr<QCoreApplication> app;
    if (IsReportCommand(argc, argv)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    // Each argument as the file name it may be, byte for byte, after Qt took its own options.
    QStringList args = ArgumentsFromNative(argc, argv);
    args.removeFirst();
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int exitCode = RunCommandLine(args, out, err);
    // Output that did not all arrive (a full disk) is a failure: a script must not take a cut
    // file for a whole one.
    out.flush();
    if (out.status() != QTextStream::Ok || std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        ErrorLine(err) << "writing the output failed: " << out.device()->errorString() << "\n";
        return 1;
    }
    return exitCode;
}
