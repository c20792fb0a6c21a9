#include "base/AtomicFile.h"

#include "base/SystemErrors.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Fail(QString* reason, const QString& why) {
    if (reason != nullptr)
        *reason = why;
    return false;
}

// While alive, a FIFO whose reader goes away fails the write with EPIPE instead of ending the
// program with SIGPIPE: the signal is held back for this thread and a pending one taken away.
class SigpipeHeldBack {
public:
    SigpipeHeldBack() {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        wasPending_ = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipe_, &previous_);
    }
    ~SigpipeHeldBack() {
        sigset_t pending;
        sigpending(&pending);
        if (!wasPending_ && sigismember(&pending, SIGPIPE) == 1) {
            const timespec none{0, 0};
            sigtimedwait(&pipe_, nullptr, &none);
        }
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    SigpipeHeldBack(const SigpipeHeldBack&) = delete;
    SigpipeHeldBack& operator=(const SigpipeHeldBack&) = delete;

private:
    sigset_t pipe_{};
    sigset_t previous_{};
    bool wasPending_ = false;
};

// Into a device or FIFO, in place. Opened without waiting: a FIFO that no program reads would
// otherwise hold the open for ever.
bool WriteIntoDevice(const QByteArray& encodedPath, bool isFifo, const QByteArray& content,
                     QString* reason) {
    const int fd = ::open(encodedPath.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENXIO && isFifo)
            return Fail(reason, QStringLiteral("这是一个管道，没有程序在读取它"));
        return Fail(reason, SystemErrorText(errno));
    }
    // The writes themselves wait as a blocking write would: a reader that is slow is no fault.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    const SigpipeHeldBack sigpipe;
    qint64 written = 0;
    while (written < content.size()) {
        const ssize_t done = ::write(fd, content.constData() + written,
                                     static_cast<size_t>(content.size() - written));
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0) {
            const int error = errno;
            ::close(fd);
            return Fail(reason, SystemErrorText(error));
        }
        written += done;
    }
    if (::close(fd) != 0)
        return Fail(reason, SystemErrorText(errno));
    return true;
}

} // namespace

bool WriteFileAtomically(const QString& path, const QByteArray& content, QString* reason) {
    auto fail = [reason](const QString& why) { return Fail(reason, why); };
    // Write-then-rename would put a regular file in place of a device node or FIFO.
    const QByteArray encodedPath = QFile::encodeName(path);
    struct stat info {};
    if (::stat(encodedPath.constData(), &info) == 0) {
        if (S_ISDIR(info.st_mode))
            return fail(SystemErrorText(EISDIR));
        if (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode))
            return WriteIntoDevice(encodedPath, S_ISFIFO(info.st_mode), content, reason);
        if (!S_ISREG(info.st_mode))
            return fail(QStringLiteral("这不是普通文件，也不是字符设备或管道"));
    }
    // Unbuffered, so that a write the disk takes only in part (no space left, file size limit)
    // shows in the count written: a buffered save file flushes at commit, where a short write
    // goes unnoticed and the cut file replaces the old one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return fail(FileErrorText(file));
    }
    const qint64 written = file.write(content);
    if (written != content.size()) {
        const QString why = file.error() != QFileDevice::NoError && written < 0
                                ? FileErrorText(file)
                                : QStringLiteral("只写入了 %1 字节（共 %2 字节），磁盘可能已满")
                                      .arg(std::max<qint64>(written, 0))
                                      .arg(content.size());
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit()) {
        return fail(FileErrorText(file));
    }
    return true;
}
