// orvan-cli moving parameters by code and whole sets between orvan-drive-sim and files.

#include "params/NolvaServoDoc.h"
#include "params/NvpFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/CliTestSupport.h"

#include <gtest/gtest.h>

namespace {

using clitest::Cli;
using clitest::CliRun;
using Drive = clitest::DriveSim;

TEST(ParameterCli, ReadsAndWritesByCodeWithTheDrivesMaximumSpeed) {
    Drive drive({"--max-speed", "5000"});
    ASSERT_FALSE(drive.path.isEmpty());
    const QStringList port{"--port", drive.path};
    CliRun r = Cli(port + QStringList{"read", "Cn005", "Sn201", "Cn030", "Pn309"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Cn005=2500\nSn201=100\nCn030=0121\nPn309=50000");

    // 4500 rpm is within -N..N only because the drive's N is 5000; bit-field values are hex.
    r = Cli(port + QStringList{"write", "Sn201=4500", "Cn006=0012", "Pn308=40000"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(Cli(port + QStringList{"read", "Sn201", "Cn006", "Pn308"}).out,
              "Sn201=4500\nCn006=0012\nPn308=40000");

    r = Cli(port + QStringList{"write", "Sn201=6000"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("Sn201=6000") && r.err.contains("-5000~5000"))
        << r.err.toStdString();
    EXPECT_EQ(Cli(port + QStringList{"read", "Xn001"}).exitCode, 2);
    EXPECT_EQ(Cli(port + QStringList{"write", "Cn001"}).exitCode, 2);
}

// Whole sets over RS-485 are tested with the transfers; the tool passes the same link options
// to every command (see LinkCli's Modbus cases).
class ParameterFiles : public ::testing::Test {
protected:
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    static QStringList portArgs(const QString& device) { return {"--port", device}; }
    QTemporaryDir dir;
};

TEST_F(ParameterFiles, CopyToComputerAndBackToAnotherDrive) {
    {
        Drive drive({});
        ASSERT_FALSE(drive.path.isEmpty());
        ASSERT_EQ(
            Cli(portArgs(drive.path) + QStringList{"write", "Sn211=55", "Pn309=12345"}).exitCode,
            0);
        const CliRun r = Cli(portArgs(drive.path) + QStringList{"read-all", "-o", path("a.nvp")});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        CNolvaServoDoc doc;
        QString error;
        ASSERT_TRUE(OpenDocumentFile(path("a.nvp"), doc, &error)) << error.toStdString();
        EXPECT_EQ(doc.values.speed[10], 55);
        EXPECT_EQ(doc.values.quick[0], 55); // qn401 copied from its twin
        EXPECT_EQ(doc.values.position[8], 12345);
        // An existing file is not replaced without --force.
        EXPECT_EQ(Cli(portArgs(drive.path) + QStringList{"read-all", "-o", path("a.nvp")}).exitCode,
                  1);
    }
    Drive other({});
    ASSERT_EQ(Cli(portArgs(other.path) + QStringList{"write-all", path("a.nvp")}).exitCode, 0);
    EXPECT_EQ(Cli(portArgs(other.path) + QStringList{"read", "Sn211", "Pn309"}).out,
              "Sn211=55\nPn309=12345");
}

TEST_F(ParameterFiles, AFailureNamesTheParameterAndWritesNoFile) {
    // The probe and the six status reads, then five parameters of three mailbox exchanges each;
    // the drive stops answering at Cn006.
    Drive drive({"--hang-up-after", QString::number(7 + 5 * 3)});
    ASSERT_FALSE(drive.path.isEmpty());
    const CliRun r = Cli(portArgs(drive.path) + QStringList{"read-all", "-o", path("b.nvp")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QString::fromUtf8("读取参数中 ... Cn006"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("exchange 1")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(path("b.nvp")));
}

TEST_F(ParameterFiles, OutOfRangeValuesAreRefusedAndFileErrorsComeBeforeTheLink) {
    Drive drive({});
    ASSERT_FALSE(drive.path.isEmpty());
    CNolvaServoDoc doc;
    doc.OnNewDocument();
    doc.values.control[0] = 99;     // Cn001, 0~6
    doc.values.control[18] = 70000; // Cn019, 0~50000
    doc.values.speed[0] = 5000;     // Sn201, -3000~3000 for this drive
    QFile f(path("edited.nvp"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(StoreDocument(doc));
    f.close();
    CliRun r = Cli(portArgs(drive.path) + QStringList{"write-all", path("edited.nvp")});
    EXPECT_EQ(r.exitCode, 1);
    for (const char* line : {"Cn001 = 99 (range 0~6)", "Cn019 = 70000 (range 0~50000)",
                             "Sn201 = 5000 (range -3000~3000)"})
        EXPECT_TRUE(r.err.contains(QLatin1String(line))) << r.err.toStdString();
    EXPECT_EQ(Cli(portArgs(drive.path) + QStringList{"read", "Cn001", "Cn019"}).out,
              "Cn001=2\nCn019=0");

    // No drive is needed to find that the file or the output's folder is missing.
    r = Cli(portArgs("/dev/orvan-none") + QStringList{"write-all", path("missing.nvp")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("missing.nvp") && !r.err.contains("orvan-none"))
        << r.err.toStdString();
    r = Cli(portArgs("/dev/orvan-none") + QStringList{"read-all", "-o", path("no/x.nvp")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("cannot write") && !r.err.contains("orvan-none"))
        << r.err.toStdString();
}

TEST(ParameterCli, CompareListsTheDifferingParametersWithItsExitCodes) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("axis.nvp"));
    {
        Drive drive({});
        ASSERT_FALSE(drive.path.isEmpty());
        const QStringList port{"--port", drive.path};
        CliRun r = Cli(port + QStringList{"read-all", "-o", file});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

        r = Cli(port + QStringList{"compare", file});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();

        // Two changed in the drive: listed in group order with the file's and the drive's value.
        ASSERT_EQ(Cli(port + QStringList{"write", "Sn201=1234", "Tn103=77"}).exitCode, 0);
        r = Cli(port + QStringList{"compare", file});
        EXPECT_EQ(r.exitCode, 3) << r.err.toStdString();
        const QStringList lines = r.out.split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), 2) << r.out.toStdString();
        EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Tn103\t"))) << lines[0].toStdString();
        EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Sn201\t"))) << lines[1].toStdString();
        EXPECT_TRUE(lines[1].endsWith(QStringLiteral("\t100\t1234"))) << lines[1].toStdString();

        // Usage: no file, two files; a file that cannot be opened is a file error.
        EXPECT_EQ(Cli(port + QStringList{"compare"}).exitCode, 2);
        EXPECT_EQ(Cli(port + QStringList{"compare", file, file}).exitCode, 2);
        EXPECT_EQ(Cli(port + QStringList{"compare", dir.filePath("none.nvp")}).exitCode, 1);
    }
    // A drive that answers nothing: a failed exchange. (Its terminal stays open: a closed one's
    // number may go to another test's drive meanwhile.)
    Drive silent({"--hang-up-after", "0"});
    ASSERT_FALSE(silent.path.isEmpty());
    EXPECT_EQ(Cli(QStringList{"--port", silent.path, "compare", file}).exitCode, 1);
}

} // namespace
