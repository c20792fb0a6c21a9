#include "base/AtomicFile.h"

#include "base/FileNames.h"
#include "base/SystemErrors.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
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

// All of `content` to `fd`; false with errno set, or with a short count when the disk took only a
// part (no space left, file size limit) and said nothing.
bool WriteAll(int fd, const QByteArray& content, QString* shortWrite) {
    qint64 written = 0;
    while (written < content.size()) {
        const ssize_t done = ::write(fd, content.constData() + written,
                                     static_cast<size_t>(content.size() - written));
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0)
            return false;
        if (done == 0) {
            *shortWrite = QStringLiteral("只写入了 %1 字节（共 %2 字节），磁盘可能已满")
                              .arg(written)
                              .arg(content.size());
            return false;
        }
        written += done;
    }
    return true;
}

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
    QString shortWrite;
    if (!WriteAll(fd, content, &shortWrite)) {
        const int error = errno;
        ::close(fd);
        return Fail(reason, shortWrite.isEmpty() ? SystemErrorText(error) : shortWrite);
    }
    if (::close(fd) != 0)
        return Fail(reason, SystemErrorText(errno));
    return true;
}

// A regular file: the bytes go to a new file beside the target, which is renamed over it once
// complete and on the disk. A link is followed, so the file it points at is the one replaced.
bool WriteThenRename(const QByteArray& encodedPath, const QByteArray& content, QString* reason) {
    char resolved[PATH_MAX];
    const QByteArray target = ::realpath(encodedPath.constData(), resolved) != nullptr
                                  ? QByteArray(resolved)
                                  : encodedPath;
    // A new file gets the permissions the user's mask allows, an existing one keeps its own.
    mode_t mode = 0;
    struct stat existing {};
    if (::stat(target.constData(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    QByteArray temporary = target + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return Fail(reason, SystemErrorText(errno));
    QString shortWrite;
    const bool written =
        ::fchmod(fd, mode) == 0 && WriteAll(fd, content, &shortWrite) && ::fsync(fd) == 0;
    const int error = errno;
    const bool closed = ::close(fd) == 0;
    const int closeError = errno;
    if (!written || !closed) {
        ::unlink(temporary.constData());
        if (!shortWrite.isEmpty())
            return Fail(reason, shortWrite);
        return Fail(reason, SystemErrorText(written ? closeError : error));
    }
    if (::rename(temporary.constData(), target.constData()) != 0) {
        const int renameError = errno;
        ::unlink(temporary.constData());
        return Fail(reason, SystemErrorText(renameError));
    }
    return true;
}

} // namespace

bool WriteFileAtomically(const QString& path, const QByteArray& content, QString* reason) {
    auto fail = [reason](const QString& why) { return Fail(reason, why); };
    // Write-then-rename would put a regular file in place of a device node or FIFO.
    const QByteArray encodedPath = NativeFileName(path);
    struct stat info {};
    if (::stat(encodedPath.constData(), &info) == 0) {
        if (S_ISDIR(info.st_mode))
            return fail(SystemErrorText(EISDIR));
        if (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode))
            return WriteIntoDevice(encodedPath, S_ISFIFO(info.st_mode), content, reason);
        if (!S_ISREG(info.st_mode))
            return fail(QStringLiteral("这不是普通文件，也不是字符设备或管道"));
    }
    return WriteThenRename(encodedPath, content, reason);
}
