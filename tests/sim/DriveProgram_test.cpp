// orvan-drive-sim as a program: started like any other process, reached through its
// pseudo-terminal with plain POSIX calls, stopped with SIGTERM.

#include "support/CliTestSupport.h"
#include "support/SimTestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

using clitest::DriveSim;

// Sends `sig` and returns the exit code, or -1 when the program does not end by itself in 5 s.
int Stop(DriveSim& program, int sig = SIGTERM) {
    kill(static_cast<pid_t>(program.process.processId()), sig);
    if (!program.process.waitForFinished(5000) ||
        program.process.exitStatus() != QProcess::NormalExit) {
        return -1;
    }
    return program.process.exitCode();
}

// The client side of the terminal, in raw mode unless told to keep the terminal's own settings.
class Port {
public:
    explicit Port(const std::string& path, bool raw = true) {
        fd_ = open(path.c_str(), O_RDWR | O_NOCTTY);
        termios t{};
        if (raw && fd_ >= 0 && tcgetattr(fd_, &t) == 0) {
            cfmakeraw(&t);
            tcsetattr(fd_, TCSANOW, &t);
        }
    }
    ~Port() {
        if (fd_ >= 0)
            close(fd_);
    }
    bool isOpen() const { return fd_ >= 0; }

    void send(const std::string& bytes) {
        ASSERT_EQ(write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // Up to `count` bytes, waiting at most `limit` for all of them.
    std::string receive(size_t count, std::chrono::milliseconds limit = 1000ms) {
        std::string in;
        const auto deadline = Clock::now() + limit;
        while (in.size() < count && Clock::now() < deadline) {
            pollfd pfd{fd_, POLLIN, 0};
            if (poll(&pfd, 1, 10) > 0) {
                char buf[64];
                const ssize_t n = read(fd_, buf, std::min(sizeof buf, count - in.size()));
                if (n > 0)
                    in.append(buf, static_cast<size_t>(n));
            }
        }
        return in;
    }

    std::string exchange(const std::string& request, size_t replyLength) {
        send(request);
        return receive(replyLength);
    }

private:
    int fd_ = -1;
};

TEST(DriveProgram, AnswersTheProbeOnItsTerminalAndLogsIt) {
    QTemporaryDir dir;
    const QString log = dir.filePath("requests.log");
    const fs::path link = dir.filePath("drive").toStdString();
    DriveSim program({"--log", log, "--link", QString::fromStdString(link.string())});
    const std::string path = program.path.toStdString();
    ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
    EXPECT_EQ(fs::read_symlink(link), path);
    {
        Port port(path);
        ASSERT_TRUE(port.isOpen());
        EXPECT_EQ(port.exchange("R6CB0D", 7), "%0000E5");
    }
    {
        // A second client after the first closed: the terminal is still there.
        Port port(link);
        ASSERT_TRUE(port.isOpen());
        EXPECT_EQ(port.exchange("R6CB0D", 7), "%0000E5");
        EXPECT_EQ(port.exchange("R6CB0E", 1), "!");
    }
    EXPECT_EQ(Stop(program), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link))) << "the link is removed on exit";
    QFile logged(log);
    ASSERT_TRUE(logged.open(QIODevice::ReadOnly));
    EXPECT_EQ(logged.readAll(), "R6CB0D\nR6CB0D\nR6CB0E\n");
}

TEST(DriveProgram, TheTerminalIsRawForAClientThatSetsNothing) {
    DriveSim program({"--rs485", "--frame-format", "3"});
    Port port(program.path.toStdString(), /*raw=*/false);
    ASSERT_TRUE(port.isOpen());
    // CR LF must arrive as they were sent: no CR to LF mapping, no echo of the request.
    EXPECT_EQ(port.exchange(":010300000001FB\r\n", 15), ":0103020121D8\r\n");
    EXPECT_EQ(port.receive(1, 100ms), "");
    EXPECT_EQ(Stop(program), 0);
}

TEST(DriveProgram, RtuSilenceEndsAHalfFrame) {
    DriveSim program({"--rs485", "--frame-format", "6"});
    Port port(program.path.toStdString());
    ASSERT_TRUE(port.isOpen());
    const std::string request = simtest::Bytes("01 03 00 00 00 01 84 0A").toStdString();
    const std::string reply = simtest::Bytes("01 03 02 01 21 79 CC").toStdString();
    // The two halves of a good request with a pause between them are two pieces of noise.
    port.send(request.substr(0, 4));
    std::this_thread::sleep_for(60ms);
    port.send(request.substr(4));
    EXPECT_EQ(port.receive(7, 300ms), "");
    EXPECT_EQ(port.exchange(request, 7), reply);
    EXPECT_EQ(Stop(program, SIGINT), 0);
}

TEST(DriveProgram, HangUpIsToggledBySigusr1) {
    DriveSim program({});
    Port port(program.path.toStdString());
    EXPECT_EQ(port.exchange("R6CB0D", 7), "%0000E5");
    const auto pid = static_cast<pid_t>(program.process.processId());
    kill(pid, SIGUSR1);
    std::this_thread::sleep_for(200ms);
    port.send("R6CB0D");
    EXPECT_EQ(port.receive(7, 300ms), "");
    kill(pid, SIGUSR1);
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(port.exchange("R6CB0D", 7), "%0000E5");
    EXPECT_EQ(Stop(program), 0);
}

TEST(DriveProgram, PacingSpendsTheWireTime) {
    DriveSim program({"--pace", "--baud", "9600"});
    Port port(program.path.toStdString());
    std::vector<double> ms;
    for (int i = 0; i < 15; ++i) {
        const auto start = Clock::now();
        ASSERT_EQ(port.exchange("R6CB0D", 7), "%0000E5");
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    // 13 bytes of 10 bits at 9600 bit/s: 13.5 ms at least.
    EXPECT_GE(ms.front(), 13.5);
    RecordProperty("paced_round_trip_median_us", static_cast<int>(ms[ms.size() / 2] * 1000));
    EXPECT_EQ(Stop(program), 0);
}

TEST(DriveProgram, ControlLinesOnStandardInputWorkTheMachine) {
    DriveSim program({});
    Port port(program.path.toStdString());
    program.process.write("di 3 on\ndi 99 on\nstatus\n");
    ASSERT_TRUE(program.process.waitForBytesWritten(3000));
    std::string reply;
    for (const auto deadline = Clock::now() + 3s; Clock::now() < deadline && reply != "%0004E9";
         std::this_thread::sleep_for(20ms)) {
        reply = port.exchange("R6CB0D", 7);
    }
    EXPECT_EQ(reply, "%0004E9") << "dn-03 shows DI-3 on";
    EXPECT_EQ(Stop(program), 0);
    EXPECT_TRUE(program.process.readAllStandardOutput().startsWith("servo off, alarm 0000"));
    EXPECT_TRUE(program.process.readAllStandardError().contains("di: a contact 1..13"));

    // Input that never ends a line is no control input: it is left unread, and the drive still
    // answers and stops on SIGTERM.
    DriveSim flooded({});
    Port floodedPort(flooded.path.toStdString());
    flooded.process.write(QByteArray(64 * 1024, 'x'));
    ASSERT_TRUE(flooded.process.waitForBytesWritten(3000));
    EXPECT_EQ(floodedPort.exchange("R6CB0D", 7), "%0000E5");
    EXPECT_EQ(Stop(flooded), 0);
    EXPECT_TRUE(flooded.process.readAllStandardError().contains("no control input"));
}

// `restart` on standard input is the drive's power cycle: the Cn001 stored by the mailbox
// becomes the live word.
TEST(DriveProgram, RestartLineMakesStoredParametersLive) {
    DriveSim program({});
    Port port(program.path.toStdString());
    const std::string ack = "%";
    for (const char* body : {"W5710010", "W5720001", "W5700001"})
        ASSERT_EQ(port.exchange(simtest::Cmd(body).toStdString(), 1), ack) << body;
    const std::string position = simtest::Cmd("%0002").toStdString();
    const std::string speed = simtest::Cmd("%0001").toStdString();
    EXPECT_EQ(port.exchange(simtest::Cmd("R510").toStdString(), 7), position) << "stored only";
    program.process.write("restart\n");
    ASSERT_TRUE(program.process.waitForBytesWritten(3000));
    std::string reply;
    for (const auto deadline = Clock::now() + 3s; Clock::now() < deadline && reply != speed;
         std::this_thread::sleep_for(20ms)) {
        reply = port.exchange(simtest::Cmd("R510").toStdString(), 7);
    }
    EXPECT_EQ(reply, speed);
    EXPECT_EQ(Stop(program), 0);
    EXPECT_EQ(program.process.readAllStandardError(), "");
}

// GNU's "--version": name and version on standard output, nothing else started.
TEST(DriveProgram, VersionNamesTheProgram) {
    QProcess program;
    program.start(QStringLiteral(ORVAN_DRIVE_SIM_PATH), {QStringLiteral("--version")});
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(program.readAllStandardOutput(), "orvan-drive-sim " ORVAN_VERSION "\n");
    EXPECT_EQ(program.readAllStandardError(), "");
}

TEST(DriveProgram, RefusesBadOptions) {
    const QList<QStringList> cases = {
        {"--station", "0"}, {"--station", "248"}, {"--frame-format", "9"}, {"--drop", "1.5"},
        {"--baud", "fast"}, {"--no-such-option"}, {"unexpected"},
    };
    for (const QStringList& options : cases) {
        DriveSim program(options);
        EXPECT_TRUE(program.path.isEmpty()) << options[0].toStdString();
        program.process.waitForFinished(5000); // false when it has already ended
        EXPECT_EQ(program.process.state(), QProcess::NotRunning) << options[0].toStdString();
        EXPECT_EQ(program.process.exitCode(), 2) << options[0].toStdString();
    }
}

} // namespace
