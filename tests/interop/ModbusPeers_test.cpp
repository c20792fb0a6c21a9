// Our Modbus framing against peers nobody here wrote: the pymodbus serial server (RTU and ASCII)
// answering orvan-cli over a socat pseudo-terminal pair, and mbpoll (RTU) reading and writing
// orvan-drive-sim.

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <functional>

#include <gtest/gtest.h>

namespace {

struct Result {
    int exitCode = -1;
    QString out;
    QString err;
};

Result Execute(const QString& program, const QStringList& args, int timeoutMs = 20000) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return {-1, {}, QStringLiteral("timed out")};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()).trimmed(),
            QString::fromUtf8(p.readAllStandardError()).trimmed()};
}

bool WaitFor(const std::function<bool()>& ready, int timeoutMs) {
    for (const QDeadlineTimer deadline(timeoutMs); !ready(); QThread::msleep(50)) {
        if (deadline.hasExpired())
            return false;
    }
    return true;
}

void Stop(QProcess& p) {
    if (p.state() != QProcess::NotRunning) {
        p.terminate();
        if (!p.waitForFinished(3000)) {
            p.kill();
            p.waitForFinished();
        }
    }
}

// A pymodbus server on one end of a socat pair; orvan-cli talks to the other end.
class PymodbusPeer : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        ourEnd = QDir(dir.path()).filePath("ours");
        peerEnd = QDir(dir.path()).filePath("peer");
        socat.start("socat", {QStringLiteral("pty,raw,echo=0,link=%1").arg(peerEnd),
                              QStringLiteral("pty,raw,echo=0,link=%1").arg(ourEnd)});
        ASSERT_TRUE(
            WaitFor([&] { return QFileInfo::exists(ourEnd) && QFileInfo::exists(peerEnd); }, 10000))
            << "socat did not create the pseudo-terminal pair";
        server.start("/usr/bin/python3", {QStringLiteral(ORVAN_MODBUS_PEER), "--port", peerEnd,
                                          "--mode", mode(), "--station", "1"});
        ASSERT_TRUE(server.waitForStarted(10000));
        // The server is ready once it answers.
        ASSERT_TRUE(WaitFor(
            [&] {
                return cli({"mb-read", "0"}).exitCode == 0;
            },
            15000))
            << "pymodbus did not answer: " << server.readAllStandardError().toStdString();
    }
    void TearDown() override {
        Stop(server);
        Stop(socat);
    }
    QString mode() const { return QString::fromLatin1(GetParam()); }
    QString frameFormat() const { return mode() == QLatin1String("rtu") ? "6" : "0"; }
    Result cli(const QStringList& command, const QString& station = "1") {
        return Execute(QStringLiteral(ORVAN_CLI_PATH),
                       QStringList{"--port", ourEnd, "--rs485", "--station", station,
                                   "--frame-format", frameFormat()} +
                           command);
    }

    QTemporaryDir dir;
    QString ourEnd;
    QString peerEnd;
    QProcess socat;
    QProcess server;
};

TEST_P(PymodbusPeer, ReadsWritesAndReportsExceptions) {
    // The peer's holding register r starts at (r * 7 + 3) & 0xFFFF.
    for (int reg : {0, 1, 0x105, 0x345, 0x501, 0x7FF}) {
        const Result r = cli({"mb-read", QString::number(reg)});
        ASSERT_EQ(r.exitCode, 0) << reg << r.err.toStdString();
        EXPECT_EQ(r.out.toInt(), (reg * 7 + 3) & 0xFFFF) << reg;
    }
    ASSERT_EQ(cli({"mb-write", "0x300", "-2"}).exitCode, 0);
    EXPECT_EQ(cli({"mb-read", "768"}).out, "65534");
    ASSERT_EQ(cli({"mb-write", "0x301", "0xBEEF"}).exitCode, 0);
    EXPECT_EQ(cli({"mb-read", "0x301"}).out, QString::number(0xBEEF));

    const Result outside = cli({"mb-read", "0x900"});
    EXPECT_EQ(outside.exitCode, 1);
    EXPECT_TRUE(outside.err.contains("result 3")) << outside.err.toStdString();
    EXPECT_TRUE(outside.err.contains("exception code 2")) << outside.err.toStdString();

    const Result otherStation = cli({"mb-read", "0"}, "2");
    EXPECT_EQ(otherStation.exitCode, 1);
    EXPECT_TRUE(otherStation.err.contains("result 0")) << otherStation.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Framers, PymodbusPeer, ::testing::Values("rtu", "ascii"));

// mbpoll, a Modbus RTU master, against the simulated drive at frame format 6 (8 data bits, no
// parity, 2 stop bits: a master at one stop bit gets garbled replies, as on a real line).
class MbpollMaster : public ::testing::Test {
protected:
    void SetUp() override {
        link = QDir(dir.path()).filePath("drive");
        sim.start(QStringLiteral(ORVAN_DRIVE_SIM_PATH),
                  {"--rs485", "--station", "3", "--frame-format", "6", "--link", link});
        ASSERT_TRUE(sim.waitForStarted(10000));
        ASSERT_TRUE(WaitFor([&] { return QFileInfo::exists(link); }, 10000));
    }
    void TearDown() override { Stop(sim); }
    // One mbpoll run; `values` after the device are written instead of read.
    Result mbpoll(const QStringList& args, const QStringList& values = {}) {
        return Execute("mbpoll", QStringList{"-m", "rtu", "-a", "3", "-b", "9600", "-P", "none",
                                             "-s", "2", "-0", "-1", "-o", "2"} +
                                     args + QStringList{link} + values);
    }

    QTemporaryDir dir;
    QString link;
    QProcess sim;
};

TEST_F(MbpollMaster, ReadsAndWritesTheDrivesParameterRegisters) {
    // Cn030, the model code, is register 30 and holds 0x0121 in a new simulated drive.
    Result r = mbpoll({"-t", "4:hex", "-r", "30", "-c", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("[30]:") && r.out.contains("0x0121")) << r.out.toStdString();

    // Sn211 (register 0x20B) written by mbpoll and read back, also through its quick twin qn401
    // (0x401), the same drive parameter.
    Result w = mbpoll({"-r", "523"}, {"77"});
    ASSERT_EQ(w.exitCode, 0) << w.out.toStdString() << w.err.toStdString();
    r = mbpoll({"-r", "523", "-c", "1"});
    EXPECT_TRUE(r.out.contains("[523]:") && r.out.contains("77")) << r.out.toStdString();
    r = mbpoll({"-r", "1025", "-c", "1"});
    EXPECT_TRUE(r.out.contains("[1025]:") && r.out.contains("77")) << r.out.toStdString();

    // A register outside the map gets an exception reply, which mbpoll reports as an error.
    r = mbpoll({"-r", "2000", "-c", "1"});
    EXPECT_NE(r.exitCode, 0) << r.out.toStdString();
}

} // namespace
