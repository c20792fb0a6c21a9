// orvan-cli fra-analyse on generated record files.

#include "analysis/FrequencyResponse.h"
#include "analysis/RecordCsv.h"
#include "support/CliTestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>

#include <random>
#include <sys/resource.h>

namespace {

using clitest::Cli;
using clitest::CliRun;

// A square-wave noise torque into a lightly damped resonance near 320 Hz, sampled at 5000/s.
FraRecord ResonantRecord() {
    std::mt19937 random(11);
    const double w0 = 2.0 * 3.14159265 * 320.0;
    const double dt = 1.0 / 5000.0 / 20.0;
    double position = 0.0;
    double velocity = 0.0;
    FraRecord record;
    for (int k = 1; k <= kRecordLength; ++k) {
        record.torque[k] = (random() & 1) ? 50.0 : -50.0;
        for (int step = 0; step < 20; ++step) {
            velocity += (w0 * w0 * (40.0 * record.torque[k] - position) - 0.1 * w0 * velocity) * dt;
            position += velocity * dt;
        }
        record.speed[k] = std::round(position);
    }
    return record;
}

bool WriteFile(const QString& path, const std::string& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.c_str()) == qint64(text.size());
}

QString Line(const char* name, int bin, const FrequencyResponse& r) {
    return QString::asprintf("%s: %d %.1f %.1f %.1f", name, bin, BinFrequency(bin), r.gainDb[bin],
                             r.phaseDeg[bin]);
}

TEST(AnalysisCli, PrintsTheSearchResultsAndWritesTheResponse) {
    QTemporaryDir dir;
    const QString record = dir.filePath("record.csv");
    const QString result = dir.filePath("result.csv");
    const FraRecord input = ResonantRecord();
    ASSERT_TRUE(WriteFile(record, RecordCsvText(input)));

    const CliRun run = Cli({"fra-analyse", record, "--model", "0x331", "-o", result});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const FrequencyResponse expected = AnalyseResponse(input, 0x331);
    ASSERT_TRUE(expected.resonanceBin);
    EXPECT_EQ(run.out, Line("resonance", *expected.resonanceBin, expected) + "\n" +
                           Line("anti-resonance", expected.antiResonanceBin, expected));

    QFile file(result);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList rows = QString::fromLatin1(file.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), kRecordLength + 1);
    EXPECT_EQ(rows[0], "bin,frequency_hz,gain_db,phase_deg");
    const QStringList row = rows[513].split(',');
    ASSERT_EQ(row.size(), 4);
    EXPECT_EQ(row[0] + "," + row[1], "513,2500");
    EXPECT_EQ(row[2].toDouble(), expected.gainDb[513]);
    EXPECT_EQ(row[3].toDouble(), expected.phaseDeg[513]);
}

TEST(AnalysisCli, SilentRecordHasNoResonanceAndBadFilesWriteNothing) {
    QTemporaryDir dir;
    const QString zeros = dir.filePath("zeros.csv");
    ASSERT_TRUE(WriteFile(zeros, RecordCsvText(FraRecord{})));
    CliRun run = Cli({"fra-analyse", zeros});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "resonance: none\nanti-resonance: 10 43.9 nan nan");

    const QString bad = dir.filePath("bad.csv");
    std::string text = RecordCsvText(FraRecord{});
    text.replace(text.find("0,0\n0,0\n"), 8, "0,0\n0,x\n");
    ASSERT_TRUE(WriteFile(bad, text));
    const QString result = dir.filePath("result.csv");
    run = Cli({"fra-analyse", bad, "-o", result});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "orvan-cli: fra-analyse: " + bad + ": line 3: speed \"x\" is not a number");
    EXPECT_FALSE(QFile::exists(result));
    EXPECT_EQ(Cli({"fra-analyse", zeros, "--model", "12G"}).exitCode, 2);
}

// A result the disk cannot take whole (here a file size limit) is named with what failed, and no
// cut file is left.
TEST(AnalysisCli, AResultTheDiskCannotTakeSaysWhatFailed) {
    QTemporaryDir dir;
    const QString record = dir.filePath("zeros.csv");
    ASSERT_TRUE(WriteFile(record, RecordCsvText(FraRecord{})));
    const QString result = dir.filePath("result.csv");
    QProcess p;
    p.setChildProcessModifier([] {
        std::signal(SIGXFSZ, SIG_IGN); // the write then fails with EFBIG, as on a full disk
        const rlimit limit{1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    p.start(QStringLiteral(ORVAN_CLI_PATH), {"fra-analyse", record, "-o", result});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString err = QString::fromUtf8(p.readAllStandardError()).trimmed();
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(err.startsWith("orvan-cli: fra-analyse: cannot write " + result + ": "))
        << err.toStdString();
    EXPECT_FALSE(err.contains("Unknown error")) << err.toStdString();
    EXPECT_TRUE(QDir(dir.path()).entryList({"result*"}, QDir::Files | QDir::Hidden).isEmpty());
}

} // namespace

namespace {

// A measurement by orvan-cli fra over the simulated drive's pseudo-terminal, its machine following
// the wall clock; arguments are checked before any port opens.
TEST(FraCli, MeasuresTheSimulatedResonanceOverTheTerminal) {
    EXPECT_EQ(Cli({"--port", "/nonexistent", "fra", "--load", "0"}).exitCode, 2);
    EXPECT_EQ(Cli({"--port", "/nonexistent", "fra"}).exitCode, 2);
    {
        // Both files are checked before the drive runs; neither is written when one cannot be.
        QTemporaryDir dir;
        const QString record = dir.filePath("r.csv");
        const QString result = dir.filePath("nodir/o.csv");
        const CliRun run = Cli(
            {"--port", "/nonexistent", "fra", "--load", "50", "--record", record, "-o", result});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, "orvan-cli: fra: cannot write " + result + ": no such folder " +
                               dir.filePath("nodir"));
        EXPECT_FALSE(QFile::exists(record));
    }

    clitest::DriveSim sim({});
    ASSERT_FALSE(sim.path.isEmpty());
    sim.process.write("resonance 700\nstatus\n"); // answered once the line has been taken
    ASSERT_TRUE(sim.process.waitForReadyRead(5000));
    QTemporaryDir dir;
    const QString record = dir.filePath("record.csv");
    const CliRun run = Cli({"--port", sim.path, "fra", "--load", "60", "--record", record});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.split('\n');
    ASSERT_EQ(lines.size(), 2) << run.out.toStdString();
    const QStringList resonance = lines[0].split(' ');
    ASSERT_EQ(resonance.size(), 5) << run.out.toStdString();
    EXPECT_EQ(resonance[0], QStringLiteral("resonance:"));
    EXPECT_LE(std::abs(resonance[1].toInt() - (std::lround(700 / kBinWidthHz) + 1)), 2)
        << run.out.toStdString();
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("anti-resonance: ")));
    // The record it kept gives the same lines to fra-analyse.
    EXPECT_EQ(Cli({"fra-analyse", record}).out, run.out);
}

// Ctrl+C while the drive runs its measurement ends the run before the tool goes.
TEST(FraCli, InterruptedMeasurementEndsTheDrivesRun) {
    QTemporaryDir dir;
    const QString log = dir.filePath("requests.log");
    // Paced at 9600 bit/s a half of the record takes seconds to read.
    clitest::DriveSim sim({"--log", log, "--pace", "--baud", "9600"});
    ASSERT_FALSE(sim.path.isEmpty());
    QProcess fra;
    fra.start(QStringLiteral(ORVAN_CLI_PATH),
              {"--port", sim.path, "--baud", "9600", "fra", "--load", "50"});
    ASSERT_TRUE(fra.waitForStarted(10000));
    const auto requests = [&log] {
        QFile file(log);
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).split('\n')
                                              : QStringList{};
    };
    QElapsedTimer clock;
    clock.start();
    while (requests().filter(QRegularExpression("^R0")).size() < 20 && clock.elapsed() < 30000)
        QThread::msleep(20);
    ASSERT_GE(requests().filter(QRegularExpression("^R0")).size(), 20) << "the read began";
    ::kill(static_cast<pid_t>(fra.processId()), SIGINT);
    ASSERT_TRUE(fra.waitForFinished(30000));
    EXPECT_EQ(fra.exitCode(), 1);
    EXPECT_EQ(QString::fromUtf8(fra.readAllStandardError()).trimmed(),
              QStringLiteral("orvan-cli: fra: interrupted; the drive's run was ended"));
    QStringList sent = requests();
    sent.removeAll(QString());
    ASSERT_GE(sent.size(), 2);
    EXPECT_EQ(sent.mid(sent.size() - 2), (QStringList{"WA9E0000D6", "WA980000C9"}));
}

} // namespace
