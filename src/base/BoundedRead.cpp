#include "base/BoundedRead.h"

#include "base/FileNames.h"
#include "base/SystemErrors.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Fail(FileReadError* error, FileReadError::Kind kind, int errorNumber, qint64 limit) {
    if (error != nullptr)
        *error = FileReadError{kind, errorNumber, limit};
    return false;
}

bool FailSystem(FileReadError* error, int errorNumber) {
    return Fail(error, FileReadError::Kind::System, errorNumber, 0);
}

// Closes the descriptor however the read ends.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

} // namespace

bool ReadFileWithLimit(const QString& path, qint64 maxBytes, QByteArray* bytes,
                       FileReadError* error) {
    // O_NONBLOCK: opening a FIFO for reading otherwise waits for a writer, for ever.
    const Descriptor file(
        ::open(NativeFileName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.Get() < 0)
        return FailSystem(error, errno);
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0)
        return FailSystem(error, errno);
    if (S_ISDIR(info.st_mode))
        return FailSystem(error, EISDIR);
    if (!S_ISREG(info.st_mode))
        return Fail(error, FileReadError::Kind::NotRegularFile, 0, 0);
    if (info.st_size > maxBytes)
        return Fail(error, FileReadError::Kind::TooLarge, 0, maxBytes);

    // Read on past the size looked at, to one byte over the limit: a file that grew since is
    // still held to the limit.
    QByteArray content;
    content.reserve(info.st_size + 1);
    char chunk[65536];
    while (content.size() <= maxBytes) {
        const qint64 wanted = std::min<qint64>(sizeof chunk, maxBytes + 1 - content.size());
        const ssize_t got = ::read(file.Get(), chunk, static_cast<size_t>(wanted));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return FailSystem(error, errno);
        if (got == 0)
            break;
        content.append(chunk, got);
    }
    if (content.size() > maxBytes)
        return Fail(error, FileReadError::Kind::TooLarge, 0, maxBytes);
    *bytes = std::move(content);
    return true;
}

QString FileReadErrorText(const FileReadError& error) {
    switch (error.kind) {
    case FileReadError::Kind::NotRegularFile:
        return QStringLiteral("这不是普通文件（是设备、管道或其他特殊文件）");
    case FileReadError::Kind::TooLarge:
        return QStringLiteral("文件太大，超过 %1 字节").arg(error.limit);
    case FileReadError::Kind::System: break;
    }
    return SystemErrorText(error.errorNumber);
}
