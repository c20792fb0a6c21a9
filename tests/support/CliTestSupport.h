#pragma once

// Running orvan-cli and orvan-drive-sim as a user does, for the command-line tool's tests.

#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

namespace clitest {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// orvan-drive-sim on its own pseudo-terminal for the life of the object; `path` is empty when it
// did not start.
class DriveSim {
public:
    explicit DriveSim(const QStringList& args) {
        process.start(QStringLiteral(ORVAN_DRIVE_SIM_PATH), args);
        if (process.waitForStarted(10000) && process.waitForReadyRead(10000))
            path = QString::fromUtf8(process.readLine()).trimmed();
    }
    ~DriveSim() {
        process.terminate();
        if (!process.waitForFinished(3000)) {
            process.kill();
            process.waitForFinished();
        }
    }
    QProcess process;
    QString path;
};

#ifdef ORVAN_CLI_PATH // the simulator's tests start the simulator only
// One run of orvan-cli: exit code, trimmed output and error text. The output may go to a file
// instead (then `out` stays empty), and the tool may run in another folder.
inline CliRun Cli(const QStringList& args, const QString& outputFile = {},
                  const QString& workingDirectory = {}) {
    QProcess p;
    if (!outputFile.isEmpty())
        p.setStandardOutputFile(outputFile);
    if (!workingDirectory.isEmpty())
        p.setWorkingDirectory(workingDirectory);
    p.start(QStringLiteral(ORVAN_CLI_PATH), args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()).trimmed(),
            QString::fromUtf8(p.readAllStandardError()).trimmed()};
}
#endif

} // namespace clitest
