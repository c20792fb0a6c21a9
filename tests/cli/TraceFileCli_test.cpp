// orvan-cli trd on a generated trace file: the settings shown and the CSV of the samples.

#include "support/CliTestSupport.h"
#include "trace/TraceFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using clitest::CliRun;

TEST(TraceFileCli, ShowAndExportAGeneratedFile) {
    QTemporaryDir dir;
    const QString trd = QDir(dir.path()).filePath("run.trd");
    TraceRecord r;
    r.settings.data1 = 1; // speed feedback, rpm
    r.settings.data2 = 2; // torque command, %
    r.settings.SetIntervalCode(5);
    r.settings.SetTriggerMode(3);
    r.settings.SetTriggerLevel(1500);
    r.ResetDisplay();
    r.data.channels[0][1] = -1500;
    r.data.channels[1][511] = 87;
    r.data.channels[2][3] = 0x1F;
    ASSERT_TRUE(SaveTraceFile(trd, r, nullptr));

    const CliRun show = clitest::Cli({"trd", "show", trd});
    EXPECT_EQ(show.exitCode, 0) << show.err.toStdString();
    EXPECT_TRUE(show.out.contains("data 1: 速度回授 [rpm]"));
    EXPECT_TRUE(show.out.contains("interval: code 5, 0.5 ms"));
    EXPECT_TRUE(show.out.contains("total time: 256.00 ms"));
    EXPECT_TRUE(show.out.contains("trigger: 速度回授 1500 rpm"));

    const QString csv = QDir(dir.path()).filePath("run.csv");
    EXPECT_EQ(clitest::Cli({"trd", "export", trd, "--csv", csv}).exitCode, 0);
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + 512);
    EXPECT_EQ(lines[0], QStringLiteral("time [ms],速度回授 [rpm],转矩命令 [%],DI word,DO word"));
    EXPECT_EQ(lines[2], QStringLiteral("0.5,-1500,0,0,0"));
    EXPECT_EQ(lines[4], QStringLiteral("1.5,0,0,31,0"));
    EXPECT_EQ(lines[512], QStringLiteral("255.5,0,87,0,0"));

    // Without OUT the samples go to the standard output, as "nvp export" does.
    const CliRun toOutput = clitest::Cli({"trd", "export", trd, "--csv"});
    EXPECT_EQ(toOutput.exitCode, 0) << toOutput.err.toStdString();
    EXPECT_EQ(toOutput.out.split('\n'), lines);

    QFile cut(trd);
    ASSERT_TRUE(cut.resize(100));
    const CliRun bad = clitest::Cli({"trd", "show", trd});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.err.contains("run.trd"));
    EXPECT_EQ(clitest::Cli({"trd", "export", trd}).exitCode, 2);
}

} // namespace
