#include "sim/PtyDriveHost.h"

#include "sim/ControlLines.h"
#include "sim/DriveLine.h"
#include "sim/SimulatedDrive.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::microseconds;

constexpr microseconds kMaxWait = std::chrono::milliseconds(100);
constexpr microseconds kWatchAfterExchange = std::chrono::milliseconds(5);
constexpr microseconds kMinRtuSilence = std::chrono::milliseconds(5);
constexpr microseconds kTextSilence = std::chrono::seconds(1);
// How long a reply may wait for room in the terminal's buffer (a client that stopped reading).
constexpr microseconds kWriteGiveUp = std::chrono::seconds(1);

QString Errno(const char* what) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(strerror(errno)));
}

timespec ToTimespec(microseconds us) {
    const auto count = std::max<int64_t>(0, us.count());
    return {static_cast<time_t>(count / 1'000'000), static_cast<long>((count % 1'000'000) * 1000)};
}

bool MakeRaw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) {
        return false;
    }
    cfmakeraw(&t);
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

// The terminal speed of a baud rate; B0 for one the terminal has no speed for.
speed_t SpeedOf(int baud) {
    switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    default: return B0;
    }
}

} // namespace

PtyDriveHost::PtyDriveHost(SimulatedDrive& drive, int baud) : drive_(drive) {
    const bool rtu = drive.Link().rs485 && !drive.Link().AsciiMode();
    // 3.5 characters of 10 bits.
    const microseconds rtuSilence(baud > 0 ? 35'000'000LL / baud : 0);
    silence_ = rtu ? std::max(rtuSilence, kMinRtuSilence) : kTextSilence;
    baud_ = baud;
    twoStopBits_ = DriveLineOf(drive.Link()).stopBits == 2;
}

bool PtyDriveHost::LineMatches() const {
    termios t{};
    if (slave_ < 0 || tcgetattr(slave_, &t) != 0) {
        return true;
    }
    const speed_t own = SpeedOf(baud_);
    const bool speedMatches = own == B0 || cfgetospeed(&t) == own;
    return speedMatches && ((t.c_cflag & CSTOPB) != 0) == twoStopBits_;
}

PtyDriveHost::~PtyDriveHost() {
    Close();
}

bool PtyDriveHost::Open(QString* error) {
    auto fail = [&](const char* what) {
        if (error != nullptr) {
            *error = Errno(what);
        }
        Close();
        return false;
    };
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) {
        return fail("posix_openpt");
    }
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
        return fail("grantpt/unlockpt");
    }
    char name[128] = {};
    if (ptsname_r(master_, name, sizeof name) != 0) {
        return fail("ptsname");
    }
    slavePath_ = QString::fromLocal8Bit(name);
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        return fail("open the terminal");
    }
    // Raw on both sides: without it the line discipline echoes and turns LF into CR LF.
    if (!MakeRaw(slave_) || !MakeRaw(master_)) {
        return fail("raw mode");
    }
    // The drive's own line, for a client that takes the terminal as it finds it.
    termios line{};
    if (tcgetattr(slave_, &line) == 0) {
        if (SpeedOf(baud_) != B0) {
            cfsetispeed(&line, SpeedOf(baud_));
            cfsetospeed(&line, SpeedOf(baud_));
        }
        line.c_cflag = twoStopBits_ ? (line.c_cflag | CSTOPB) : (line.c_cflag & ~CSTOPB);
        tcsetattr(slave_, TCSANOW, &line);
    }
    const int flags = fcntl(master_, F_GETFL);
    if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) {
        return fail("non-blocking mode");
    }
    return true;
}

bool PtyDriveHost::MakeLink(const QString& linkPath, QString* error) {
    const QByteArray path = linkPath.toLocal8Bit();
    struct stat st {};
    if (lstat(path.constData(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            if (error != nullptr) {
                *error = QStringLiteral("%1 exists and is not a symbolic link").arg(linkPath);
            }
            return false;
        }
        if (unlink(path.constData()) != 0) {
            if (error != nullptr) {
                *error = Errno("remove the old link");
            }
            return false;
        }
    }
    if (symlink(slavePath_.toLocal8Bit().constData(), path.constData()) != 0) {
        if (error != nullptr) {
            *error = Errno("symlink");
        }
        return false;
    }
    linkPath_ = linkPath;
    return true;
}

void PtyDriveHost::Close() {
    if (!linkPath_.isEmpty()) {
        // Only our own link: another simulator may have taken the name over since.
        const QByteArray path = linkPath_.toLocal8Bit();
        char target[256] = {};
        const ssize_t n = readlink(path.constData(), target, sizeof target - 1);
        if (n > 0 && QString::fromLocal8Bit(target, n) == slavePath_) {
            unlink(path.constData());
        }
        linkPath_.clear();
    }
    if (slave_ >= 0) {
        ::close(slave_);
        slave_ = -1;
    }
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

void PtyDriveHost::Unplug() {
    if (unplugged_) {
        return;
    }
    const QString link = linkPath_;
    Close();
    unpluggedLink_ = link;
    unplugged_ = true;
}

bool PtyDriveHost::Replug(QString* error) {
    if (!unplugged_) {
        return true;
    }
    if (!Open(error)) {
        return false;
    }
    if (!unpluggedLink_.isEmpty() && !MakeLink(unpluggedLink_, error)) {
        Close();
        return false;
    }
    unpluggedLink_.clear();
    unplugged_ = false;
    return true;
}

ControlReply RunHostControlLine(SimulatedDrive& drive, PtyDriveHost& host, const QString& line) {
    ControlReply reply = RunControlLine(drive, line);
    switch (reply.port) {
    case PortAction::None: break;
    case PortAction::Unplug: host.Unplug(); break;
    case PortAction::Replug: {
        QString error;
        if (!host.Replug(&error)) {
            return {false, QStringLiteral("replug: ") + error};
        }
        reply.text = host.SlavePath();
        break;
    }
    }
    return reply;
}

bool PtyDriveHost::WriteAll(const char* data, qsizetype size, const std::atomic<bool>& stop) {
    const auto giveUp = Clock::now() + kWriteGiveUp;
    while (size > 0) {
        const ssize_t n = ::write(master_, data, static_cast<size_t>(size));
        if (n > 0) {
            data += n;
            size -= n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        }
        if (stop || Clock::now() >= giveUp) {
            return true; // nobody reads: the reply is lost, as on an unconnected line
        }
        pollfd pfd{master_, POLLOUT, 0};
        ::poll(&pfd, 1, 10);
    }
    return true;
}

bool PtyDriveHost::WriteReply(const QByteArray& bytes, microseconds delay, microseconds byteTime,
                              const std::atomic<bool>& stop) {
    // Sleeps until `deadline`; with the wait mask in force, so the stop signal gets through.
    // The last stretch before a deadline is spun rather than slept: a sleeping thread wakes tens
    // of microseconds late, which at 115200 bit/s would be a good part of a byte's wire time.
    constexpr microseconds kSpin{150};
    auto sleepUntil = [&](Clock::time_point deadline) {
        for (auto now = Clock::now(); now + kSpin < deadline && !stop; now = Clock::now()) {
            const timespec ts = ToTimespec(std::min(
                std::chrono::duration_cast<microseconds>(deadline - kSpin - now), kMaxWait));
            ppoll(nullptr, 0, &ts, waitMask_);
        }
        while (Clock::now() < deadline && !stop) {
        }
    };
    auto due = Clock::now() + delay;
    if (byteTime.count() == 0) {
        sleepUntil(due);
        lastSent_ = Clock::now();
        return WriteAll(bytes.constData(), bytes.size(), stop);
    }
    // Paced: each byte leaves when its wire time has passed.
    for (const char byte : bytes) {
        due += byteTime;
        sleepUntil(due);
        lastSent_ = Clock::now();
        if (!WriteAll(&byte, 1, stop)) {
            return false;
        }
    }
    return true;
}

bool PtyDriveHost::Run(const std::atomic<bool>& stop, const sigset_t* waitMask) {
    if (master_ < 0 && !unplugged_) {
        return false;
    }
    waitMask_ = waitMask;
    // Paced replies sleep until each byte's wire time has passed; the default timer slack of
    // 50 us would add that much to every byte's deadline, a tenth of a byte at 115200 bit/s.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    auto lastInput = Clock::now();
    auto lastActivity = lastInput; // the last request read or reply sent
    char buffer[4096];
    drive_.SetFollowsClock(true);
    while (!stop) {
        drive_.FollowClock();
        if (idleHook_) {
            idleHook_();
        }
        microseconds wait = kMaxWait;
        if (drive_.HasPendingBytes()) {
            const auto quiet = std::chrono::duration_cast<microseconds>(Clock::now() - lastInput);
            if (quiet >= silence_) {
                drive_.LineIdle();
            } else {
                wait = std::min(wait, silence_ - quiet);
            }
        }
        // A paced drive answers as a real one does, the moment a request is complete: for a few
        // milliseconds after each exchange it watches the line without sleeping, since waking
        // from a sleep costs tens of microseconds per request. An idle drive sleeps.
        if (drive_.Faults().pace && Clock::now() - lastActivity < kWatchAfterExchange) {
            wait = microseconds{0};
        }
        // While unplugged there is no terminal: poll passes over the negative descriptor.
        pollfd fds[2] = {{master_, POLLIN, 0}, {watchedFd_, POLLIN, 0}};
        const timespec ts = ToTimespec(wait);
        const int ready = ppoll(fds, watchedFd_ >= 0 ? 2 : 1, &ts, waitMask);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (watchedFd_ >= 0 && fds[1].revents != 0 && !onReadable_()) {
            watchedFd_ = -1;
        }
        const pollfd& pfd = fds[0];
        if (pfd.revents == 0 || master_ < 0 || pfd.fd != master_) {
            continue; // nothing, or the terminal was pulled or renewed by that input
        }
        if ((pfd.revents & POLLIN) == 0) {
            // Hang-up or error without data: wait a little rather than spin.
            const timespec pause = ToTimespec(std::chrono::milliseconds(10));
            nanosleep(&pause, nullptr);
            continue;
        }
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) {
            if (n < 0 && errno != EAGAIN && errno != EINTR && errno != EIO) {
                return false;
            }
            continue;
        }
        const auto readAt = Clock::now();
        if (!drive_.HasPendingBytes()) {
            drive_.NoteSilence(
                std::chrono::duration_cast<microseconds>(readAt - std::max(lastInput, lastSent_)));
        }
        lastInput = readAt;
        const bool lineMatches = LineMatches();
        for (const auto& reply : drive_.Process(QByteArrayView(buffer, n))) {
            // The converter's copy is made at the computer's own line settings.
            const QByteArray bytes =
                lineMatches || reply.echo ? reply.bytes : GarbledReply(reply.bytes);
            if (!WriteReply(bytes, reply.delay, reply.byteTime, stop)) {
                return false;
            }
        }
        lastActivity = Clock::now();
    }
    return true;
}
