#include "link/QSerialPortBackend.h"

#include "link/PortLock.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <climits>

#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Unix98 pseudo-terminal slaves (/dev/pts/N) use character majors 136 to 143.
bool IsPseudoTerminal(const QString& location) {
    struct stat st {};
    if (::stat(location.toLocal8Bit().constData(), &st) != 0 || !S_ISCHR(st.st_mode)) {
        return false;
    }
    const unsigned deviceMajor = major(st.st_rdev);
    return deviceMajor >= 136 && deviceMajor <= 143;
}

// A relative path names a file from the working directory, as on any command line; a bare name
// that is not there stays a name under /dev ("ttyUSB0"), as settings files may hold it. Links are
// resolved: the lock is named after the device, so that a second opener through another path to
// it finds the device taken.
QString SystemLocation(const QString& device) {
    const QFileInfo file(device);
    if (file.isAbsolute() || file.exists() || device.contains(QLatin1Char('/'))) {
        const QString canonical = file.canonicalFilePath();
        return canonical.isEmpty() ? file.absoluteFilePath() : canonical;
    }
    return QStringLiteral("/dev/") + device;
}

int WaitArgument(int64_t ms) {
    return ms < 0 ? -1 : static_cast<int>(std::min<int64_t>(ms, INT_MAX));
}

} // namespace

bool IsVanishedDeviceError(int code) {
    return code == EIO || code == ENODEV || code == ENXIO;
}

QSerialPortBackend::QSerialPortBackend(QString sysfsRoot) : sysfsRoot_(std::move(sysfsRoot)) {
    clock_.start();
}

int QSerialPortBackend::VanishedError() const {
    if (!port_.isOpen()) {
        return 0;
    }
    // A pulled adapter takes its node with it; a terminal that was hung up (the adapter's driver
    // let go of it, or a pseudo-terminal's other end closed) refuses every request with EIO.
    if (!QFileInfo::exists(location_)) {
        return ENODEV;
    }
    termios attributes {};
    if (::tcgetattr(static_cast<int>(port_.handle()), &attributes) != 0 &&
        IsVanishedDeviceError(errno)) {
        return errno;
    }
    return 0;
}

int QSerialPortBackend::LastError() const {
    switch (port_.error()) {
    case QSerialPort::NoError: return 0;
    case QSerialPort::DeviceNotFoundError: return ENOENT;
    case QSerialPort::PermissionError:
        // Qt reports a device locked by another opener as a permission error; a device we may
        // open but cannot lock is busy.
        return ::access(location_.toLocal8Bit().constData(), R_OK | W_OK) == 0 ? EBUSY : EACCES;
    case QSerialPort::OpenError: return EBUSY;
    case QSerialPort::UnsupportedOperationError: return EINVAL;
    case QSerialPort::TimeoutError: return ETIMEDOUT;
    case QSerialPort::NotOpenError: return EBADF;
    case QSerialPort::WriteError:
    case QSerialPort::ReadError:
    case QSerialPort::ResourceError:
    case QSerialPort::UnknownError: break;
    }
    // Qt reports a pulled device as a resource or read error, and a read of a hung-up terminal
    // (no bytes, no errno) as a read error: the device itself says whether it is still there. A
    // failed transfer on a device that is still there is a communication error, not a gone one.
    if (const int vanished = VanishedError()) {
        return vanished;
    }
    return ECOMM;
}

int QSerialPortBackend::Open(const QString& device) {
    location_ = SystemLocation(device);
    holder_.reset();
    // What is no character device cannot be a serial line; said as such, not as an I/O error.
    struct stat st {};
    if (::stat(QFile::encodeName(location_).constData(), &st) == 0 && !S_ISCHR(st.st_mode)) {
        return S_ISDIR(st.st_mode) ? EISDIR : ENOTTY;
    }
    port_.setPortName(location_);
    port_.clearError();
    if (!port_.open(QIODevice::ReadWrite)) {
        int error = LastError();
        if (error == 0 || error == ECOMM) {
            error = EIO;
        }
        if (error == EBUSY) {
            holder_ = FindPortHolder(location_);
        }
        return error;
    }
    pseudoTerminal_ = IsPseudoTerminal(location_);
    return 0;
}

void QSerialPortBackend::Close() {
    port_.close();
    port_.clearError();
}

int QSerialPortBackend::SetQueueSizes(uint32_t inputBytes, uint32_t /*outputBytes*/) {
    // The kernel keeps its own tty buffers; what can be sized is how much QSerialPort holds.
    // Writes are not buffered beyond the request being sent.
    port_.setReadBufferSize(inputBytes);
    return 0;
}

int QSerialPortBackend::Configure(const ::LineFormat& format) {
    static constexpr QSerialPort::Parity kParities[] = {
        QSerialPort::NoParity, QSerialPort::OddParity, QSerialPort::EvenParity,
        QSerialPort::MarkParity, QSerialPort::SpaceParity};
    static constexpr QSerialPort::StopBits kStopBits[] = {
        QSerialPort::OneStop, QSerialPort::OneAndHalfStop, QSerialPort::TwoStop};
    if (format.baudRate == 0 || format.baudRate > INT32_MAX || format.dataBits < 5 ||
        format.dataBits > 8 || format.parity < 0 || format.parity > 4 || format.stopBits < 0 ||
        format.stopBits > 2) {
        return EINVAL;
    }
    // A pseudo-terminal carries no line format and refuses data bits and parity; that refusal
    // leaves the device working as before.
    const auto refused = [this](bool ok) {
        if (ok) {
            return 0;
        }
        if (pseudoTerminal_ && port_.error() == QSerialPort::UnsupportedOperationError) {
            port_.clearError();
            return 0;
        }
        return LastError() != 0 ? LastError() : ECOMM;
    };
    port_.clearError();
    if (int e = refused(port_.setBaudRate(static_cast<qint32>(format.baudRate)))) {
        return e;
    }
    if (int e = refused(port_.setDataBits(static_cast<QSerialPort::DataBits>(format.dataBits)))) {
        return e;
    }
    if (int e = refused(port_.setParity(kParities[format.parity]))) {
        return e;
    }
    return refused(port_.setStopBits(kStopBits[format.stopBits]));
}

LineFormat QSerialPortBackend::LineFormat() const {
    ::LineFormat format;
    format.baudRate = static_cast<uint32_t>(std::max(port_.baudRate(), 0));
    format.dataBits = static_cast<int>(port_.dataBits());
    switch (port_.parity()) {
    case QSerialPort::OddParity: format.parity = 1; break;
    case QSerialPort::EvenParity: format.parity = 2; break;
    case QSerialPort::MarkParity: format.parity = 3; break;
    case QSerialPort::SpaceParity: format.parity = 4; break;
    default: format.parity = 0; break;
    }
    switch (port_.stopBits()) {
    case QSerialPort::OneAndHalfStop: format.stopBits = 1; break;
    case QSerialPort::TwoStop: format.stopBits = 2; break;
    default: format.stopBits = 0; break;
    }
    return format;
}

int QSerialPortBackend::SetFlowControl(bool xonXoff) {
    port_.clearError();
    if (!port_.setFlowControl(xonXoff ? QSerialPort::SoftwareControl
                                      : QSerialPort::NoFlowControl)) {
        return LastError() != 0 ? LastError() : ECOMM;
    }
    return 0;
}

int QSerialPortBackend::SetModemLines(bool dtr, bool rts) {
    // Pseudo-terminals and some USB adapters have no modem lines: the levels apply where the
    // device has them.
    const auto apply = [this](bool ok) {
        if (ok || port_.error() == QSerialPort::UnsupportedOperationError) {
            port_.clearError();
            return 0;
        }
        return LastError() != 0 ? LastError() : ECOMM;
    };
    port_.clearError();
    if (int e = apply(port_.setDataTerminalReady(dtr))) {
        return e;
    }
    return apply(port_.setRequestToSend(rts));
}

int QSerialPortBackend::Write(const uint8_t* data, int count, int64_t waitLimitMs, int* written) {
    *written = 0;
    port_.clearError();
    if (port_.write(reinterpret_cast<const char*>(data), count) != count) {
        return LastError() != 0 ? LastError() : ECOMM;
    }
    const int64_t start = clock_.elapsed();
    while (port_.bytesToWrite() > 0) {
        int64_t wait = -1;
        if (waitLimitMs >= 0) {
            wait = waitLimitMs - (clock_.elapsed() - start);
            if (wait <= 0) {
                // Give up on the transfer: what is still queued is dropped, as a cancelled
                // write loses its data.
                port_.clear(QSerialPort::Output);
                return kWaitLimitPassed;
            }
        }
        port_.clearError();
        if (!port_.waitForBytesWritten(WaitArgument(wait)) &&
            port_.error() != QSerialPort::TimeoutError && port_.error() != QSerialPort::NoError) {
            return LastError();
        }
    }
    *written = count;
    return 0;
}

int64_t QSerialPortBackend::ClockMs() {
    return clock_.elapsed();
}

int QSerialPortBackend::TakeInput(uint8_t* into, int max, int* taken) {
    *taken = 0;
    if (max <= 0 || port_.bytesAvailable() <= 0) {
        return 0;
    }
    port_.clearError();
    const qint64 n = port_.read(reinterpret_cast<char*>(into), max);
    if (n < 0) {
        return LastError() != 0 ? LastError() : ECOMM;
    }
    *taken = static_cast<int>(n);
    return 0;
}

int64_t QSerialPortBackend::InputAvailable() {
    return port_.bytesAvailable();
}

bool QSerialPortBackend::InputContains(uint8_t c) {
    const qint64 available = port_.bytesAvailable();
    return available > 0 && port_.peek(available).contains(static_cast<char>(c));
}

int QSerialPortBackend::WaitForInput(int64_t ms, bool* arrived) {
    port_.clearError();
    *arrived = port_.waitForReadyRead(WaitArgument(ms));
    if (*arrived) {
        return 0;
    }
    const QSerialPort::SerialPortError error = port_.error();
    return error == QSerialPort::TimeoutError || error == QSerialPort::NoError ? 0 : LastError();
}

void QSerialPortBackend::Pause(int ms) {
    QThread::msleep(static_cast<unsigned long>(ms));
}

int64_t QSerialPortBackend::ClockUs() {
    return clock_.nsecsElapsed() / 1000;
}

void QSerialPortBackend::PauseUs(int64_t us) {
    if (us > 0) {
        QThread::usleep(static_cast<unsigned long>(us));
    }
}

int QSerialPortBackend::SetLowLatency() {
    if (!port_.isOpen()) {
        return EBADF;
    }
    const int fd = static_cast<int>(port_.handle());
    serial_struct serial {};
    if (::ioctl(fd, TIOCGSERIAL, &serial) != 0) {
        return errno;
    }
    if ((serial.flags & ASYNC_LOW_LATENCY) != 0) {
        return 0;
    }
    serial.flags |= ASYNC_LOW_LATENCY;
    return ::ioctl(fd, TIOCSSERIAL, &serial) == 0 ? 0 : errno;
}

std::optional<int> QSerialPortBackend::LatencyTimerMs() const {
    // The attributes sit under the device's own name (ttyUSB0), which the location already is
    // when the port was opened through a link.
    return port_.isOpen() ? ReadLatencyTimerMs(location_, sysfsRoot_) : std::nullopt;
}

std::unique_ptr<SerialBackend> MakeSystemSerialBackend() {
    return std::make_unique<QSerialPortBackend>();
}
