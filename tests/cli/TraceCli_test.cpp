// orvan-cli trace against orvan-drive-sim on its pseudo-terminal: the capture follows the
// simulated machine, and bad arguments are refused before any port is opened.

#include "support/CliTestSupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

using clitest::CliRun;
using clitest::DriveSim;

TEST(TraceCli, BadArgumentsAreRefusedBeforeThePortIsOpened) {
    const QStringList base{"--port", "/nonexistent/tty", "trace"};
    const struct {
        QStringList args;
        const char* says;
    } cases[] = {
        {{"--interval", "0", "--data1", "1", "--data2", "0", "-o", "a.trd"}, "--interval"},
        {{"--interval", "5", "--data1", "8", "--data2", "0", "-o", "a.trd"}, "--data1"},
        {{"--interval", "5", "--data1", "1", "--data2", "0", "--do", "5", "-o", "a.trd"}, "--do"},
        {{"--interval", "5", "--data1", "1", "--data2", "0", "--level", "10", "-o", "a.trd"},
         "--level"},
        {{"--interval", "5", "--data1", "1", "--data2", "0", "--trigger", "4", "--level", "301",
          "-o", "a.trd"},
         "0..300"},
        {{"--interval", "5", "--data1", "1", "--data2", "0", "--trigger", "16", "-o", "a.trd"},
         "--trigger needs a mode 0..15"},
        {{"--interval", "x", "--data1", "1", "--data2", "0", "-o", "a.trd"}, "--interval"},
        {{"--interval", "5", "--data1", "1", "--data2", "0", "-o", "a.txt"}, ".trd"},
        {{"--interval", "5", "--data1", "1", "--data2", "0", "-o", "a.trd", "--csv"}, "--csv"},
    };
    for (const auto& c : cases) {
        const CliRun run = clitest::Cli(base + c.args);
        EXPECT_EQ(run.exitCode, 2) << c.says;
        EXPECT_TRUE(run.err.contains(c.says)) << run.err.toStdString();
    }
}

// Every output is checked before the drive is touched: a one-time trigger event is not spent on
// a file that cannot be made, and no file of the run is left when another cannot be.
TEST(TraceCli, OutputsThatCannotBeWrittenStopBeforeThePort) {
    QTemporaryDir dir;
    const QString trd = dir.filePath("x.trd");
    const QString old = dir.filePath("old.trd");
    QFile oldFile(old);
    ASSERT_TRUE(oldFile.open(QIODevice::WriteOnly) && oldFile.write("old") == 3);
    oldFile.close();
    const QStringList base{"--port", "/dev/orvan-none", "trace", "--interval", "5", "--data1",
                           "1",      "--data2",         "0"};
    const struct {
        QStringList args;
        QString says;
    } cases[] = {
        {{"-o", trd, "--csv", dir.filePath("nodir/x.csv")}, dir.filePath("nodir/x.csv")},
        {{"-o", dir.filePath("nodir/x.trd")}, dir.filePath("nodir/x.trd")},
        {{"-o", old}, "use --force to replace it"},
        {{"-o", trd, "--csv", dir.path()}, "is a folder"},
    };
    for (const auto& c : cases) {
        const CliRun run = clitest::Cli(base + c.args);
        EXPECT_EQ(run.exitCode, 1) << c.says.toStdString();
        EXPECT_TRUE(run.err.contains(c.says)) << run.err.toStdString();
        EXPECT_FALSE(run.err.contains("orvan-none")) << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(trd));
    ASSERT_TRUE(oldFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(oldFile.readAll(), "old");
}

// "-" is the standard output: the samples go there, and no file named "-" is made.
TEST(TraceCli, CsvDashWritesTheSamplesToTheOutput) {
    DriveSim sim({});
    ASSERT_FALSE(sim.path.isEmpty());
    QTemporaryDir dir;
    const CliRun run = clitest::Cli({"--port", sim.path, "trace", "--interval", "1", "--data1", "1",
                                     "--data2", "0", "-o", dir.filePath("a.trd"), "--csv", "-"},
                                    {}, dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.split('\n');
    ASSERT_EQ(lines.size(), 1 + 512) << run.out.left(200).toStdString();
    EXPECT_TRUE(lines[0].startsWith("time [ms],")) << lines[0].toStdString();
    EXPECT_TRUE(run.err.contains("written to " + dir.filePath("a.trd"))) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("-")));
    EXPECT_TRUE(QFile::exists(dir.filePath("a.trd")));
}

TEST(TraceCli, CaptureShowsTheSpeedStepOfTheSimulatedMachine) {
    QTemporaryDir dir;
    const QString log = QDir(dir.path()).filePath("requests.log");
    DriveSim sim({"--log", log});
    ASSERT_FALSE(sim.path.isEmpty());
    const QString trd = QDir(dir.path()).filePath("step.trd");
    const QString csv = QDir(dir.path()).filePath("step.csv");
    // Speed feedback and command every 0.5 ms, from the moment the feedback reaches 300 rpm.
    QProcess cli;
    cli.start(QStringLiteral(ORVAN_CLI_PATH),
              {"--port", sim.path, "trace", "--interval", "5", "--data1", "1", "--data2", "0",
               "--trigger", "3", "--level", "300", "-o", trd, "--csv", csv});
    // Once the recording is armed, the speed steps to 1000 rpm.
    QDeadlineTimer deadline(20000);
    QFile requests(log);
    while (!deadline.hasExpired() &&
           !(requests.open(QIODevice::ReadOnly) && requests.readAll().contains("W7D00001"))) {
        requests.close();
        QThread::msleep(50);
    }
    ASSERT_FALSE(deadline.hasExpired()) << "the start never came";
    QThread::msleep(300);
    sim.process.write("jog 1000\n");
    ASSERT_TRUE(sim.process.waitForBytesWritten(5000));
    ASSERT_TRUE(cli.waitForFinished(30000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();

    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + 512);
    EXPECT_EQ(lines[0], QStringLiteral("time [ms],速度回授 [rpm],速度命令 [rpm],DI word,DO word"));
    const auto speed = [&](int row) { return lines[row].split(',')[1].toInt(); };
    EXPECT_GE(speed(1), 300);
    EXPECT_LT(speed(1), 500) << "the first sample is the crossing of the level";
    EXPECT_NEAR(speed(512), 1000, 15) << "settled after 256 ms";
    EXPECT_EQ(lines[512].split(',')[2], QStringLiteral("1000"));
    const CliRun show = clitest::Cli({"trd", "show", trd});
    EXPECT_TRUE(show.out.contains("trigger: 速度回授 300 rpm")) << show.out.toStdString();
    // Stored as the trace window stores a capture: "AUTO" fitted to 1000 rpm.
    EXPECT_TRUE(
        show.out.contains("data 2: 速度命令 [rpm], scale AUTO (500 per division, top 2500)"))
        << show.out.toStdString();
}

} // namespace
