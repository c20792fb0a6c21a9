#pragma once

// FIFOs, device links and sockets made in a scratch folder, for the tests of the file readers
// and writers: the system's own device nodes are only ever reached through a link.

#include <QDir>
#include <QFile>
#include <QString>

#include <chrono>
#include <functional>
#include <future>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace specialfiles {

inline QString MakeFifo(const QString& folder, const QString& name) {
    const QString path = QDir(folder).filePath(name);
    if (::mkfifo(QFile::encodeName(path).constData(), 0600) != 0)
        return {};
    return path;
}

inline QString LinkTo(const QString& target, const QString& folder, const QString& name) {
    const QString path = QDir(folder).filePath(name);
    return QFile::link(target, path) ? path : QString();
}

inline mode_t FileType(const QString& path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_mode & S_IFMT;
}

inline mode_t TargetType(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_mode & S_IFMT;
}

// Runs `read`, which opens `fifo` for reading; true when it returned within five seconds. A read
// stuck in its open is set free by a writer that opens and closes at once, so that a failing
// test ends instead of hanging the suite.
inline bool ReturnsWithoutWriter(const QString& fifo, const std::function<void()>& read) {
    std::packaged_task<void()> task(read);
    std::future<void> done = task.get_future();
    std::thread reader(std::move(task));
    const bool inTime = done.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    if (!inTime) {
        const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
    }
    reader.join();
    return inTime;
}

} // namespace specialfiles
