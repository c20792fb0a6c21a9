// orvan-cli against orvan-drive-sim while another program holds the port.

#include "support/CliTestSupport.h"

#include <gtest/gtest.h>

namespace {

// A second program on the port is refused with one line naming the first, by its process and
// program; the first carries on undisturbed.
TEST(PortInUseCli, SecondProgramOnThePortIsToldWhoHoldsIt) {
    clitest::DriveSim drive({});
    ASSERT_FALSE(drive.path.isEmpty());
    QProcess first;
    first.start(QStringLiteral(ORVAN_CLI_PATH),
                {"--port", drive.path, "monitor", "Un-01", "--interval", "100", "--count", "15"});
    ASSERT_TRUE(first.waitForReadyRead(10000)) << "the first program reads the drive";

    const clitest::CliRun r = clitest::Cli({"--port", drive.path, "probe"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("orvan-cli: 通讯信息: 通讯错误！！ 端口 %1 正被其他程序使用"
                                    "（进程 %2，orvan-cli）。")
                         .arg(drive.path)
                         .arg(first.processId()));
    // The doctor names it before trying the port.
    const clitest::CliRun doctor = clitest::Cli({"--port", drive.path, "doctor"});
    EXPECT_EQ(doctor.exitCode, 1);
    EXPECT_TRUE(doctor.out.endsWith(QStringLiteral("verdict: %1 is held by process %2 (orvan-cli): "
                                                   "end that program first")
                                        .arg(drive.path)
                                        .arg(first.processId())))
        << doctor.out.toStdString();
    ASSERT_TRUE(first.waitForFinished(20000));
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
}

} // namespace
