#pragma once

// What the benches against the paced simulated drive share: a progress that keeps the event loop
// turning as the progress windows do and measures the longest gap, the wire time of the exchanges
// the drive logged, and the same exchanges replayed by the plainest client there is.

#include "params/ParameterTransfer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace bench {

// Starts `sim` (the simulated drive at `simPath` with `args`) and returns the device it names on
// its first line; empty, with a line on standard output, when it does not start.
inline QString StartSimulator(QProcess& sim, const QString& simPath, const QStringList& args) {
    sim.start(simPath, args);
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        std::printf("simulator did not start\n");
        return {};
    }
    return QString::fromUtf8(sim.readLine()).trimmed();
}

// Keeps the event loop turning after every exchange, as the progress window does, and measures
// the longest stretch between two turns.
class LoopKeeper : public TransferProgress {
public:
    void Open(const QString&, int) override { Turn(); }
    void SetText(const QString&) override {}
    void Step() override {}
    void Close() override { Turn(); }
    void ExchangeDone() override { Turn(); }
    void Start() {
        longestMs = 0;
        clock.start();
    }
    double longestMs = 0;

private:
    void Turn() {
        QCoreApplication::processEvents();
        longestMs = std::max(longestMs, clock.nsecsElapsed() / 1e6);
        clock.restart();
    }
    QElapsedTimer clock;
};

// Reply length of a logged request: command reads get 7 bytes, writes 1; Modbus RTU 03 of one
// register 7 bytes, 06 the 8-byte echo.
inline int ReplyBytes(const QString& line, bool rtu, int* requestBytes) {
    if (!rtu || line.startsWith('R') || line.startsWith('W')) {
        *requestBytes = static_cast<int>(line.size());
        return line.startsWith('R') ? 7 : 1;
    }
    const QStringList bytes = line.split(' ');
    *requestBytes = static_cast<int>(bytes.size());
    return bytes.value(1) == QLatin1String("03") ? 7 : 8;
}

inline double WireSeconds(const QString& logPath, bool rtu, uint32_t baud, int* exchanges) {
    QFile log(logPath);
    if (!log.open(QIODevice::ReadOnly)) {
        return -1;
    }
    long bytes = 0;
    *exchanges = 0;
    while (!log.atEnd()) {
        const QString line = QString::fromLatin1(log.readLine()).trimmed();
        if (line.isEmpty()) {
            continue;
        }
        int request = 0;
        bytes += ReplyBytes(line, rtu, &request) + request;
        ++*exchanges;
    }
    return bytes * 10.0 / baud;
}

// The same exchanges by the plainest client there is: blocking POSIX write and read on the
// terminal, no time-outs, no retries. What it takes above the wire time is the cost of the
// pseudo-terminal and the simulated drive on this machine, the floor for any client. On Modbus
// RTU it keeps the silence the standard asks of every client before a request (3.5 characters,
// 1.75 ms above 19 200 bit/s), taken from the simulator's --baud.
inline double PlainClientSeconds(const QString& simPath, const QStringList& simArgs,
                                 const QString& logPath, bool rtu) {
    QFile log(logPath);
    if (!log.open(QIODevice::ReadOnly)) {
        return -1;
    }
    QList<QByteArray> requests;
    QList<int> replyLengths;
    while (!log.atEnd()) {
        const QString line = QString::fromLatin1(log.readLine()).trimmed();
        if (line.isEmpty()) {
            continue;
        }
        int requestBytes = 0;
        replyLengths.append(ReplyBytes(line, rtu, &requestBytes));
        const bool command = !rtu || line.startsWith('R') || line.startsWith('W');
        requests.append(command ? line.toLatin1()
                                : QByteArray::fromHex(line.toLatin1().replace(' ', "")));
    }
    QProcess sim;
    sim.start(simPath, simArgs);
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        return -1;
    }
    const QByteArray device = sim.readLine().trimmed();
    const int fd = ::open(device.constData(), O_RDWR | O_NOCTTY);
    if (fd < 0) {
        return -1;
    }
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    const qsizetype baudAt = simArgs.indexOf(QStringLiteral("--baud"));
    const int baud =
        baudAt >= 0 && baudAt + 1 < simArgs.size() ? simArgs[baudAt + 1].toInt() : 9600;
    const qint64 silenceNs = !rtu           ? 0
                             : baud > 19200 ? 1'750'000
                                            : 35'000'000'000LL / std::max(baud, 1);
    QElapsedTimer timer;
    timer.start();
    QElapsedTimer quiet;
    quiet.start();
    char reply[64];
    for (qsizetype i = 0; i < requests.size(); ++i) {
        while (quiet.nsecsElapsed() < silenceNs) {
        }
        if (::write(fd, requests[i].constData(), static_cast<size_t>(requests[i].size())) < 0) {
            break;
        }
        for (int got = 0; got < replyLengths[i];) {
            const ssize_t n = ::read(fd, reply, static_cast<size_t>(replyLengths[i] - got));
            if (n <= 0) {
                break;
            }
            got += static_cast<int>(n);
        }
        quiet.restart();
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    ::close(fd);
    sim.terminate();
    sim.waitForFinished(3000);
    return seconds;
}

} // namespace bench
