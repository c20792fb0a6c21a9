// orvan-cli against orvan-drive-sim over a pseudo-terminal: the command protocol, Modbus ASCII and
// Modbus RTU, exception replies and bad arguments.

#include "support/CliTestSupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using clitest::Cli;
using clitest::CliRun;
using clitest::DriveSim;

TEST(LinkCli, CommandProtocolProbeReadAndWrite) {
    DriveSim sim({"--model-code", "0x331"});
    ASSERT_FALSE(sim.path.isEmpty());
    const QStringList port{"--port", sim.path};
    CliRun r = Cli(port + QStringList{"probe"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "0");
    EXPECT_EQ(Cli(port + QStringList{"read", "5", "0x0C"}).out, QString::number(0x331));
    EXPECT_EQ(Cli(port + QStringList{"read", "5", "0x47"}).out, "3000");
    // A word of 0xFFFF reads as 65535; negative values go out as 16 bits.
    ASSERT_EQ(Cli(port + QStringList{"write", "7", "0x20", "-1"}).exitCode, 0);
    EXPECT_EQ(Cli(port + QStringList{"read", "7", "32"}).out, "65535");
    // Through the mailbox: the stored copy changes too, as a fetch shows.
    ASSERT_EQ(Cli(port + QStringList{"write", "5", "0x10", "4", "--store"}).exitCode, 0);
    ASSERT_EQ(Cli(port + QStringList{"write", "5", "0x73", "0x10"}).exitCode, 0);
    ASSERT_EQ(Cli(port + QStringList{"write", "5", "0x70", "2"}).exitCode, 0);
    EXPECT_EQ(Cli(port + QStringList{"read", "5", "0x74"}).out, "4");
}

class ModbusCli : public ::testing::TestWithParam<const char*> {};

TEST_P(ModbusCli, ReadsAndWritesParameterRegisters) {
    const QString format = QString::fromLatin1(GetParam());
    DriveSim sim({"--rs485", "--station", "7", "--frame-format", format});
    ASSERT_FALSE(sim.path.isEmpty());
    const QStringList port{"--port", sim.path,         "--rs485", "--station",
                           "7",      "--frame-format", format};
    CliRun r = Cli(port + QStringList{"mb-read", "30"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QString::number(0x121));
    // Cn011 written as -12288 reads back unsigned.
    ASSERT_EQ(Cli(port + QStringList{"mb-write", "11", "-12288"}).exitCode, 0);
    EXPECT_EQ(Cli(port + QStringList{"mb-read", "0x00B"}).out, QString::number(65536 - 12288));
    // The command protocol works beside Modbus on RS-485.
    EXPECT_EQ(Cli(port + QStringList{"probe"}).exitCode, 0);

    r = Cli(port + QStringList{"mb-read", "0x346"}); // beyond Pn369
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("exception reply (result 3), exception code 2"))
        << r.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(AsciiAndRtu, ModbusCli, ::testing::Values("0", "6"));

// The smallest silence the simulated drive saw before an RTU request, in characters; -1 when its
// status line names none.
double SmallestRtuSilence(DriveSim& sim) {
    sim.process.readAllStandardOutput();
    sim.process.write("status\n");
    QString line;
    while (!line.contains('\n') && sim.process.waitForReadyRead(5000))
        line += QString::fromUtf8(sim.process.readAllStandardOutput());
    const QRegularExpressionMatch m =
        QRegularExpression(R"(smallest RTU silence [0-9.]+ ms \(([0-9.]+) characters\))")
            .match(line);
    return m.hasMatch() ? m.captured(1).toDouble() : -1;
}

// A converter that hands every byte back, found by the probe; the whole set read over RTU with
// at least 3.5 characters of silence before every request, as the drive measured them.
TEST(LinkCli, EchoingRtuLineWholeSetReadKeepsTheSilence) {
    DriveSim sim({"--rs485", "--frame-format", "7", "--baud", "9600", "--echo"});
    ASSERT_FALSE(sim.path.isEmpty());
    QTemporaryDir dir;
    const QStringList port{"--port", sim.path, "--rs485", "--frame-format", "7"};
    const CliRun r = Cli(port + QStringList{"read-all", "-o", dir.filePath("a.nvp")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath("a.nvp")));
    const double silence = SmallestRtuSilence(sim);
    EXPECT_GE(silence, 3.5);

    // Told the line does not echo, the tool takes the copy for the reply and fails.
    EXPECT_EQ(Cli(port + QStringList{"--echo", "off", "probe"}).exitCode, 1);
    // A Modbus write says nothing about the echo by itself: it needs to be told.
    EXPECT_EQ(Cli(port + QStringList{"--echo", "on", "mb-write", "0x20B", "55"}).exitCode, 0);
    EXPECT_EQ(Cli(port + QStringList{"--echo", "on", "mb-read", "0x20B"}).out, "55");
}

// GNU's "--version": name and version on standard output.
TEST(LinkCli, VersionNamesTheProgram) {
    const CliRun run = Cli({"--version"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "orvan-cli " ORVAN_VERSION);
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(Cli({"--help"}).out.contains("orvan-cli --version"));
}

TEST(LinkCli, BadArgumentsAndMissingDevices) {
    struct Case {
        QStringList args;
        int exitCode;
        const char* mustSay;
    };
    const Case cases[] = {
        {{"--port", "/dev/orvan-none", "probe"}, 1, "/dev/orvan-none"},
        {{"probe"}, 2, "--port"},
        {{"--port", "/dev/null"}, 2, "no command"},
        {{"--port", "/dev/null", "read", "G", "1"}, 2, "PAGE"},
        {{"--port", "/dev/null", "read", "5", "256"}, 2, "LOC"},
        {{"--port", "/dev/null", "read", "5"}, 2, "argument"},
        {{"--port", "/dev/null", "write", "5", "1", "70000"}, 2, "VALUE"},
        {{"--port", "/dev/null", "mb-read", "1"}, 2, "--rs485"},
        {{"--port", "/dev/null", "--rs485", "mb-read", "0x10000"}, 2, "REG"},
        {{"--port", "/dev/null", "--frame-format", "9", "probe"}, 2, "--frame-format"},
        {{"--port", "/dev/null", "--baud", "fast", "probe"}, 2, "--baud"},
        {{"--port", "/dev/null", "--echo", "yes", "probe"}, 2, "--echo needs off, on or auto"},
        {{"--port", "/dev/null", "dance"}, 2, "unknown command"},
        {{"--port", "/dev/null", "read", "Cn999"}, 2, "\"Cn999\" is not a parameter code"},
        {{"--port", "/dev/null", "read", "cn001"}, 2, "\"cn001\" is not a parameter code"},
    };
    for (const Case& c : cases) {
        const CliRun r = Cli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.mustSay))
            << c.args.join(' ').toStdString() << ": " << r.err.toStdString();
    }
}

// A port that is no device is named with what it is, not with the I/O error opening it gave.
TEST(LinkCli, APortThatIsNoDeviceIsSaidToBeOne) {
    QTemporaryDir dir;
    QFile plain(dir.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const struct {
        QString port;
        QString says;
    } cases[] = {
        {dir.path(), "orvan-cli: --port " + dir.path() + ": not a serial device (a folder)"},
        {plain.fileName(), "orvan-cli: --port " + plain.fileName() + ": not a serial device"},
    };
    for (const auto& c : cases) {
        const CliRun r = Cli({"--port", c.port, "probe"});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, c.says);
    }
}

TEST(LinkCli, ARelativePortIsFoundFromTheWorkingDirectory) {
    QTemporaryDir dir;
    DriveSim sim({"--link", dir.filePath("drive0")});
    ASSERT_FALSE(sim.path.isEmpty());
    const CliRun r = Cli({"--port", "drive0", "probe"}, {}, dir.path());
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
}

} // namespace
