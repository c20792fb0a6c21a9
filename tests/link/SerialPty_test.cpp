// The channel on the system's serial backend, against a pseudo-terminal whose master end the test
// drives: opening, the pty's refusals, byte exchange and the read time-outs in real time. Time
// bounds are loose on purpose (a loaded two-core machine); lower bounds are what the channel's
// own clock guarantees.

#include "link/ModbusLink.h"
#include "link/QSerialPortBackend.h"
#include "link/SerialChannel.h"

#include "base/Messenger.h"
#include "link/Frames.h"

#include "support/CoreApplication.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <utility>

namespace {

// A raw pseudo-terminal pair: the channel opens the slave path, the test speaks on the master.
class PtyPair {
public:
    PtyPair() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
            return;
        }
        termios raw{};
        ::tcgetattr(master_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(master_, TCSANOW, &raw);
        slave_ = QString::fromLocal8Bit(::ptsname(master_));
    }
    ~PtyPair() {
        if (master_ >= 0) {
            ::close(master_);
        }
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return master_ >= 0 && !slave_.isEmpty(); }
    const QString& slave() const { return slave_; }

    void send(const QByteArray& bytes) const {
        ASSERT_EQ(::write(master_, bytes.constData(), static_cast<size_t>(bytes.size())),
                  bytes.size());
    }

    // Reads until `count` bytes are in or nothing comes for `quietMs`.
    QByteArray receive(int count, int quietMs = 300) const {
        QByteArray in;
        while (in.size() < count) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, quietMs) <= 0) {
                break;
            }
            char buffer[64];
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            in.append(buffer, static_cast<int>(n));
        }
        return in;
    }

private:
    int master_ = -1;
    QString slave_;
};

// Sends one byte every `everyMs` until stopped.
class Trickler {
public:
    Trickler(const PtyPair& pty, int everyMs)
        : thread_([this, &pty, everyMs] {
              while (!stop_) {
                  pty.send("x");
                  std::this_thread::sleep_for(std::chrono::milliseconds(everyMs));
              }
          }) {}
    ~Trickler() {
        stop_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class PtyTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApplication();
        ASSERT_TRUE(pty.ok());
        ASSERT_EQ(channel.Open(pty.slave()), 0u);
    }

    PtyPair pty;
    RecordingMessenger messenger;
    ModbusLink channel{nullptr, &messenger};
};

TEST(PtyOpen, MissingDeviceIsNotFoundAndSilent) {
    EnsureApplication();
    for (const char* name : {"/dev/does-not-exist", "COM1"}) {
        SCOPED_TRACE(name);
        RecordingMessenger messenger;
        SerialChannel channel(nullptr, &messenger);
        EXPECT_EQ(channel.Open(QString::fromLatin1(name)), static_cast<uint32_t>(ENOENT));
        EXPECT_EQ(channel.LastError(), 2u);
        EXPECT_FALSE(channel.IsOpen());
        EXPECT_TRUE(messenger.messages.isEmpty());
    }
}

TEST_F(PtyTest, RefusalsOfModemLinesAndLineFormatAreNoErrors) {
    EXPECT_EQ(channel.GetHandshaking(), 2u);
    for (int mode : {0, 1, 2}) {
        SCOPED_TRACE(mode);
        EXPECT_EQ(channel.SetHandshaking(mode), 0u);
        EXPECT_EQ(channel.GetHandshaking(), static_cast<uint32_t>(mode));
    }
    EXPECT_EQ(channel.Setup(115200, 8, 0, 0), 0u);
    EXPECT_EQ(channel.GetBaudRate(), 115200u);
    // 7 data bits with even parity: the pty keeps 8 bits without parity, and says so.
    EXPECT_EQ(channel.Setup(9600, 7, 2, 0), 0u);
    EXPECT_EQ(channel.GetBaudRate(), 9600u);
    EXPECT_EQ(channel.GetByteSize(), 8u);
    EXPECT_EQ(channel.GetParity(), 0u);
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].text, QStringLiteral("no parity"));
    // A format no device has is still refused.
    EXPECT_EQ(channel.Setup(9600, 9, 0, 0), static_cast<uint32_t>(EINVAL));
}

TEST_F(PtyTest, SecondOpenOfTheSameDeviceIsBusy) {
    RecordingMessenger otherMessages;
    SerialChannel other(nullptr, &otherMessages);
    EXPECT_EQ(other.Open(pty.slave()), static_cast<uint32_t>(EBUSY));
    EXPECT_FALSE(other.IsOpen());
    EXPECT_TRUE(otherMessages.messages.isEmpty());
    // The first opener is unaffected.
    int written = 0;
    EXPECT_EQ(channel.WriteString("R6CB0D", &written), 0u);
    EXPECT_EQ(pty.receive(6), QByteArray("R6CB0D"));
}

// A link to the device is the device: its second opener is refused as well (root passes the
// exclusive open; only the lock keeps a second program off the line).
TEST_F(PtyTest, SecondOpenThroughALinkToTheDeviceIsBusy) {
    QTemporaryDir dir;
    const QString link = dir.filePath("drive");
    ASSERT_TRUE(QFile::link(pty.slave(), link));
    RecordingMessenger otherMessages;
    SerialChannel other(nullptr, &otherMessages);
    EXPECT_EQ(other.Open(link), static_cast<uint32_t>(EBUSY));
    EXPECT_FALSE(other.IsOpen());
}

// The latency timer is read under the device's own name, also when it was opened through a link
// (a stand-in sysfs folder); a pseudo-terminal refuses low latency, and the open still succeeds.
TEST(PtyAdapter, LatencyTimerFollowsTheDeviceNameAndLowLatencyIsRefusedSilently) {
    EnsureApplication();
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    QTemporaryDir sysfs;
    const QString name = QFileInfo(pty.slave()).fileName();
    ASSERT_TRUE(QDir(sysfs.path()).mkpath(name + QStringLiteral("/device")));
    QFile timer(sysfs.filePath(name + QStringLiteral("/device/latency_timer")));
    ASSERT_TRUE(timer.open(QIODevice::WriteOnly));
    timer.write("16\n");
    timer.close();
    const QString link = sysfs.filePath(QStringLiteral("usb-FTDI_FT232R-if00-port0"));
    ASSERT_TRUE(QFile::link(pty.slave(), link));

    SerialChannel channel(std::make_unique<QSerialPortBackend>(sysfs.path()), nullptr);
    ASSERT_EQ(channel.Open(link), 0u);
    EXPECT_EQ(channel.LatencyTimerMs(), std::optional<int>(16));
    EXPECT_NE(channel.Backend()->SetLowLatency(), 0);
}

TEST_F(PtyTest, BytesTravelBothWaysAndAPartialReplyEndsAtTheByteGap) {
    int written = 0;
    EXPECT_EQ(channel.WriteString("W57000020D", &written), 0u);
    EXPECT_EQ(written, 10);
    EXPECT_EQ(pty.receive(10), QByteArray("W57000020D"));

    char reply[8] = {};
    int got = 0;
    QElapsedTimer timer;
    pty.send("%0064EF");
    timer.start();
    EXPECT_EQ(channel.Read(reply, 7, &got), 0u);
    EXPECT_EQ(QByteArray(reply, got), QByteArray("%0064EF"));
    EXPECT_LT(timer.elapsed(), 300);

    pty.send("%006");
    timer.start();
    EXPECT_EQ(channel.Read(reply, 7, &got), 0u);
    const qint64 elapsed = timer.elapsed();
    EXPECT_EQ(QByteArray(reply, got), QByteArray("%006"));
    EXPECT_GE(elapsed, 45);
    EXPECT_LT(elapsed, 350); // well before the 400 ms total
}

TEST_F(PtyTest, TricklingPeerIsCutOffAtTheTotalOrAnEarlierWaitLimit) {
    char reply[200];
    int got = 0;
    const auto readWhileTrickling = [&](uint32_t waitLimit) {
        Trickler peer(pty, 15);
        QElapsedTimer timer;
        timer.start();
        const uint32_t result = channel.Read(reply, sizeof reply, &got, waitLimit);
        return std::pair(result, timer.elapsed());
    };
    auto [result, elapsed] = readWhileTrickling(kNoTimeLimit);
    EXPECT_EQ(result, 0u);
    EXPECT_GE(elapsed, 395);
    EXPECT_LT(elapsed, 1000);
    EXPECT_GT(got, 3);
    EXPECT_LT(got, static_cast<int>(sizeof reply));

    std::tie(result, elapsed) = readWhileTrickling(150);
    EXPECT_EQ(result, kChannelTimedOut);
    EXPECT_EQ(got, 0);
    EXPECT_GE(elapsed, 145);
    EXPECT_LT(elapsed, 390);
}

TEST_F(PtyTest, CommandExchangeWithAnAnsweringPeer) {
    uint8_t request[kReadCommandLength];
    BuildReadCommand(request, '6', 0xCB);
    uint8_t reply[kReadReplyLength] = {};
    std::thread drive([this] {
        if (pty.receive(6) == QByteArray("R6CB0D")) {
            pty.send("%0064EF");
        }
    });
    EXPECT_EQ(channel.ExchangeCommand(request, 6, reply, 7), ExchangeResult::Good);
    drive.join();
}

} // namespace
