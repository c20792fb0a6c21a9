// orvan-cli detect and doctor against orvan-drive-sim, whose line is honest: a client at another
// baud rate or other stop bits gets garbled replies, as on a real line.

#include "support/CliTestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using clitest::Cli;
using clitest::CliRun;
using clitest::DriveSim;

TEST(DetectCli, FindsAnRs485DriveAtItsRateFormatAndStation) {
    DriveSim sim({"--rs485", "--station", "7", "--frame-format", "7", "--baud", "19200"});
    ASSERT_FALSE(sim.path.isEmpty());
    // The saved settings are wrong: the probe gets garbled replies.
    EXPECT_EQ(Cli({"--port", sim.path, "probe"}).exitCode, 1);

    const CliRun r = Cli({"--port", sim.path, "detect", "--stations", "1-8"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "RS-485, 19200 bit/s, station 7, frame format 7 (8 data bits, even parity, "
                     "1 stop bit, Modbus RTU)\n"
                     "  --baud 19200 --rs485 --station 7 --frame-format 7");
    // What it printed reaches the drive.
    EXPECT_EQ(Cli({"--port", sim.path, "--baud", "19200", "--rs485", "--station", "7",
                   "--frame-format", "7", "mb-read", "30"})
                  .out,
              QString::number(0x121));
}

TEST(DetectCli, FindsAnRs232DriveAndSaysWhenNothingAnswers) {
    {
        DriveSim sim({"--baud", "38400"});
        ASSERT_FALSE(sim.path.isEmpty());
        const CliRun r = Cli({"--port", sim.path, "detect", "--stations", "1-2"});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(r.out, "RS-232, 38400 bit/s\n  --baud 38400");
    }
    DriveSim silent({"--hang-up-after", "0"});
    ASSERT_FALSE(silent.path.isEmpty());
    const CliRun r = Cli({"--port", silent.path, "detect", "--stations", "1-2"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(
        r.err.startsWith("orvan-cli: detect: no drive answered on " + silent.path + " (42 tries)"))
        << r.err.toStdString();
}

// Behind a converter that hands every byte back, the copy is passed over and named.
TEST(DetectCli, FindsADriveBehindAnEchoingLine) {
    DriveSim sim({"--rs485", "--station", "3", "--frame-format", "7", "--baud", "19200", "--echo"});
    ASSERT_FALSE(sim.path.isEmpty());
    const CliRun r = Cli({"--port", sim.path, "detect", "--stations", "1-4"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith(", the line echoes\n"
                               "  --baud 19200 --rs485 --station 3 --frame-format 7 --echo on"))
        << r.out.toStdString();
}

TEST(DetectCli, RefusesABadStationRange) {
    for (const char* range : {"0-3", "5-2", "1-300", "x", "1-2-3"}) {
        const CliRun r = Cli({"--port", "/dev/null", "detect", "--stations", range});
        EXPECT_EQ(r.exitCode, 2) << range;
        EXPECT_TRUE(r.err.contains("--stations")) << r.err.toStdString();
    }
}

TEST(DoctorCli, NamesTheSettingsThatWorkOrSaysTheDriveAnswers) {
    DriveSim sim({"--baud", "19200"});
    ASSERT_FALSE(sim.path.isEmpty());
    CliRun r = Cli({"--port", sim.path, "doctor", "--stations", "1-2"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains("probe    no answer at 9600 bit/s, RS-232")) << r.out.toStdString();
    EXPECT_TRUE(r.out.endsWith("verdict: the drive answers at other settings: use --baud 19200"))
        << r.out.toStdString();

    r = Cli({"--port", sim.path, "--baud", "19200", "doctor"});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString();
    EXPECT_TRUE(r.out.endsWith("verdict: the drive answers on " + sim.path)) << r.out.toStdString();
}

TEST(DoctorCli, AMissingDeviceOrAFileIsNamed) {
    CliRun r = Cli({"--port", "/dev/orvan-none", "doctor"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.startsWith("device   /dev/orvan-none: no such device"))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("verdict: /dev/orvan-none does not exist")) << r.out.toStdString();

    QTemporaryDir dir;
    const QString file = dir.filePath("plain");
    QFile(file).open(QIODevice::WriteOnly);
    r = Cli({"--port", file, "doctor"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.endsWith("verdict: " + file + " is not a serial device"))
        << r.out.toStdString();
}

} // namespace
