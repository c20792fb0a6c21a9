// The desktop program as a user starts it, on the offscreen platform: the simulated drive
// connects at start, the stop signals close it like its window, and a missing display is
// explained instead of aborting. What the window shows is checked in the test process.

#include "app/SettingsFile.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace {

struct ProgramRun {
    QString out;
    QString err;
    int exitCode = -1;
    bool finished = false;
};

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QProcessEnvironment Environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
        return env;
    }

    QString SettingsPath() const { return dir.filePath(QStringLiteral("OrvanServo.ini")); }

    // Starts the program, waits for `marker` in its output, then sends `signalNumber`. A run
    // not ended normally has the exit code -1.
    ProgramRun SignalAfter(QStringList arguments, const QString& marker, int signalNumber) {
        arguments << QStringLiteral("--settings") << SettingsPath();
        QProcess process;
        process.setProcessEnvironment(Environment());
        process.start(QStringLiteral(ORVAN_SERVO_PATH), arguments);
        ProgramRun run;
        if (!process.waitForStarted(10000))
            return run;
        while (!run.out.contains(marker) && process.waitForReadyRead(10000))
            run.out += QString::fromUtf8(process.readAllStandardOutput());
        ::kill(static_cast<pid_t>(process.processId()), signalNumber);
        run.finished = process.waitForFinished(10000);
        if (!run.finished) {
            process.kill();
            process.waitForFinished();
        }
        run.out += QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        return run;
    }

    // Runs the program to its end, without any display when `display` is false.
    ProgramRun RunToEnd(const QStringList& arguments, bool display = true) const {
        QProcessEnvironment env = Environment();
        if (!display) {
            for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
                env.remove(QString::fromLatin1(name));
        }
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(ORVAN_SERVO_PATH), arguments);
        ProgramRun run;
        run.finished = process.waitForFinished(10000);
        run.exitCode = process.exitCode();
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

    QTemporaryDir dir;
};

bool HasLine(const QString& out, const QString& line) {
    return out.split(QLatin1Char('\n')).contains(line);
}

TEST_F(ProgramTest, SimulatedDriveIsConnectedAtStartAndSigtermWritesTheSettings) {
    const ProgramRun run =
        SignalAfter({QStringLiteral("--simulate"), QStringLiteral("--report-status-after"),
                     QStringLiteral("3000")},
                    QStringLiteral("end of report"), SIGTERM);
    ASSERT_TRUE(run.finished) << run.err.toStdString();
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(HasLine(run.out, QStringLiteral("pane 3: Servo 连线中"))) << run.out.toStdString();
    EXPECT_TRUE(HasLine(run.out, QStringLiteral("command 32775 enabled unchecked 断开(&D)")));

    // Written on the way out; the terminal of this run is not kept as COM1's device.
    const AppSettings written = ReadSettingsFile(SettingsPath());
    EXPECT_EQ(written, AppSettings{});
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("OrvanServo-recovery.nvp"))));
}

TEST_F(ProgramTest, StopSignalAsSoonAsTheWindowIsDrawnStillClosesProperly) {
    // The window is drawn while start-up is still going on; a signal then must not find the
    // default action (killed, settings not written) nor be lost (program left running). Both stop
    // signals, in turn.
    for (int attempt = 0; attempt < 6; ++attempt) {
        QFile::remove(SettingsPath());
        const ProgramRun run =
            SignalAfter({QStringLiteral("--simulate"), QStringLiteral("--report-startup")},
                        QStringLiteral("startup:"), attempt % 2 == 0 ? SIGTERM : SIGINT);
        ASSERT_TRUE(run.out.contains(QLatin1String("startup:"))) << "attempt " << attempt;
        ASSERT_TRUE(run.finished) << "attempt " << attempt << ": still running after the signal";
        EXPECT_EQ(run.exitCode, 0) << "attempt " << attempt;
        EXPECT_TRUE(QFile::exists(SettingsPath())) << "attempt " << attempt;
    }
}

TEST_F(ProgramTest, WithoutADisplayItSaysHowToRunHeadlessButHelpNeedsNone) {
    const ProgramRun run = RunToEnd({QStringLiteral("--simulate")}, /*display=*/false);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QLatin1String("xvfb-run -a orvan-servo --simulate")))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QLatin1String("QT_QPA_PLATFORM=offscreen")));

    const ProgramRun help = RunToEnd({QStringLiteral("--help")}, /*display=*/false);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QLatin1String("--simulate")));
    EXPECT_TRUE(help.out.contains(QLatin1String("--version")));

    // GNU's "--version": name and version on standard output, whatever else is asked.
    const ProgramRun version =
        RunToEnd({QStringLiteral("--simulate"), QStringLiteral("--version")}, /*display=*/false);
    ASSERT_TRUE(version.finished);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, QStringLiteral("orvan-servo " ORVAN_VERSION "\n"));
    EXPECT_EQ(version.err, QString());
}

TEST_F(ProgramTest, BadOptionsEndWithAUsageError) {
    const ProgramRun run =
        RunToEnd({QStringLiteral("--report-status-after"), QStringLiteral("later")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QLatin1String("--report-status-after")));
}

} // namespace
