// orvan-cli's monitor commands against orvan-drive-sim: the status values printed and recorded,
// the diagnostics and lamps, the alarm rows and their clearing, and the arguments refused.

#include "support/CliTestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using clitest::Cli;
using clitest::CliRun;
using clitest::DriveSim;

// Sets drive words with the tool's own command-protocol write.
void SetWords(const QStringList& port, const QList<QStringList>& writes) {
    for (const QStringList& w : writes) {
        ASSERT_EQ(Cli(port + QStringList{"write"} + w).exitCode, 0) << w.join(' ').toStdString();
    }
}

TEST(MonitorCli, PrintsAndRecordsTheChosenValuesAtTheInterval) {
    DriveSim sim({"--max-speed", "4000"});
    ASSERT_FALSE(sim.path.isEmpty());
    const QStringList port{"--port", sim.path};
    SetWords(port, {{"6", "0xE4", "8192"}, // half the maximum speed
                    {"6", "0x32", "-819"},
                    {"6", "0x5C", "0xFFFF"},
                    {"6", "0x5D", "0xFFFE"}});
    QTemporaryDir dir;
    const QString csvPath = dir.filePath("run.csv");
    const CliRun r = Cli(port + QStringList{"monitor", "Un-09", "un-01", "Un-07", "--count", "2",
                                            "--interval", "150", "--csv", csvPath});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.count("Un-01 实际电机速度 2000 rpm"), 2) << r.out.toStdString();
    EXPECT_EQ(r.out.count("Un-07 位置误差量 -2 pulse"), 2);
    EXPECT_EQ(r.out.count("Un-09 外部电压命令 -0.49 V"), 2);
    EXPECT_FALSE(r.out.contains("Un-02")) << "only the values named";

    QFile csv(csvPath);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(csv.readAll()).trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3) << lines.join('|').toStdString();
    EXPECT_EQ(lines[0], "time_s,Un-01 (rpm),Un-07 (pulse),Un-09 (V)");
    const QStringList first = lines[1].split(',');
    const QStringList second = lines[2].split(',');
    EXPECT_EQ(first.mid(1), (QStringList{"2000", "-2", "-0.49"}));
    EXPECT_EQ(second.mid(1), first.mid(1));
    EXPECT_LT(first[0].toDouble(), 0.05);
    EXPECT_GE(second[0].toDouble(), 0.15) << "the second sample waits for the interval";
}

// "-" records to the standard output in place of the printed lines; no file named "-" is made.
TEST(MonitorCli, CsvDashRecordsToTheOutput) {
    DriveSim sim({});
    ASSERT_FALSE(sim.path.isEmpty());
    QTemporaryDir dir;
    const CliRun r = Cli({"--port", sim.path, "monitor", "Un-01", "Un-07", "--count", "2",
                          "--interval", "0", "--csv", "-"},
                         {}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n');
    ASSERT_EQ(lines.size(), 3) << r.out.toStdString();
    EXPECT_EQ(lines[0], "time_s,Un-01 (rpm),Un-07 (pulse)");
    EXPECT_EQ(lines[1].split(',').size(), 3);
    EXPECT_FALSE(QFile::exists(dir.filePath("-")));
}

TEST(MonitorCli, DiagnosticsShowModeContactsVersionAndLamps) {
    DriveSim sim({"--software-version", "0x0203"});
    ASSERT_FALSE(sim.path.isEmpty());
    const QStringList port{"--port", sim.path};
    SetWords(port, {{"5", "0x10", "3"}, {"6", "0xAF", "0xFE"}, {"6", "0xCB", "5"}});
    const CliRun r = Cli(port + QStringList{"diag"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n');
    ASSERT_GE(lines.size(), 4 + 13 + 8);
    EXPECT_EQ(lines.mid(0, 4),
              (QStringList{"dn-01 目前控制模式显示 3: 位置(Pe)-速度(S)",
                           "dn-02 输出接点信号状态 00000001",
                           "dn-03 输入接点信号状态 0000000000101", "dn-04 软件版本显示 5.15"}));
    EXPECT_TRUE(lines.contains("S1: SON ON") && lines.contains("S2: ALRS OFF") &&
                lines.contains("S3: PCNT ON"))
        << r.out.toStdString();
    EXPECT_TRUE(lines.contains("R1: RDY ON") && lines.contains("R2: ALM OFF") &&
                lines.contains("R8: GC/A3 OFF"));
}

TEST(MonitorCli, AlarmRowsRunBackFromThePointerAndClearEmptiesThem) {
    DriveSim sim({});
    ASSERT_FALSE(sim.path.isEmpty());
    const QStringList port{"--port", sim.path};
    ASSERT_EQ(Cli(port + QStringList{"write", "5", "0x0A", "3", "--store"}).exitCode, 0);
    SetWords(port, {{"5", "2", "5", "--store"}, {"5", "1", "16", "--store"}});
    CliRun r = Cli(port + QStringList{"alarms"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QStringList lines = r.out.split('\n');
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines.mid(0, 3),
              (QStringList{"AL 05 编码器ABZ 相信号。", "A1 16 -----", "A2 00 无异常警报发生。"}));
    EXPECT_TRUE(lines[9].startsWith("A9 "));

    r = Cli(port + QStringList{"alarms", "--clear"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.split('\n').mid(0, 2),
              (QStringList{"AL 00 无异常警报发生。", "A1 00 无异常警报发生。"}));
}

TEST(MonitorCli, BadArgumentsAndAnUnwritableRecordingStopBeforeThePort) {
    QTemporaryDir dir;
    const QString csv = dir.filePath("missing-folder/run.csv");
    // The device does not exist: a message naming it would mean the port was tried.
    const QStringList port{"--port", "/dev/orvan-none"};
    CliRun r = Cli(port + QStringList{"monitor", "--csv", csv});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(csv)) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("/dev/orvan-none")) << r.err.toStdString();

    // An existing recording is kept: replacing it takes --force, and then a drive that answers.
    const QString old = dir.filePath("old.csv");
    QFile oldFile(old);
    ASSERT_TRUE(oldFile.open(QIODevice::WriteOnly) && oldFile.write("old\n") == 4);
    oldFile.close();
    r = Cli(port + QStringList{"monitor", "--csv", old});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("use --force to replace it")) << r.err.toStdString();
    r = Cli(port + QStringList{"monitor", "--csv", old, "--force"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("/dev/orvan-none")) << r.err.toStdString();
    ASSERT_TRUE(oldFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(oldFile.readAll(), "old\n");

    struct Case {
        QStringList args;
        const char* mustSay;
    };
    const Case cases[] = {
        {{"monitor", "Un-01", "Un-20"}, "\"Un-20\""},
        {{"monitor", "Un-1"}, "\"Un-1\""},
        {{"monitor", "--count", "0"}, "--count"},
        {{"monitor", "--interval"}, "--interval"},
        {{"diag", "--count", "2"}, "monitor"},
        {{"alarms", "AL"}, "alarms takes no arguments"},
        {{"probe", "--clear"}, "--clear"},
    };
    for (const Case& c : cases) {
        r = Cli(port + c.args);
        EXPECT_EQ(r.exitCode, 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.mustSay)) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains("/dev/orvan-none")) << r.err.toStdString();
    }
}

} // namespace
