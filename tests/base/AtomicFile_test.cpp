// Saving a file: a regular file is replaced whole, keeping its permissions and any link to it; a
// device or FIFO is written into and stays what it is, anything else special is refused and left
// alone.

#include "base/AtomicFile.h"

#include "support/SpecialFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

namespace {

using specialfiles::FileType;
using specialfiles::TargetType;

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

TEST(AtomicFile, ARegularFileIsReplacedWholeKeepingItsPermissionsAndTheLinkToIt) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString target = dir.filePath("target.nvp");
    ASSERT_TRUE(WriteFileAtomically(target, "old", nullptr));
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask) << "a new file as the user's mask allows";

    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);
    const QString link = specialfiles::LinkTo(target, dir.path(), "link.nvp");
    ASSERT_FALSE(link.isEmpty());
    QString reason;
    ASSERT_TRUE(WriteFileAtomically(link, "new", &reason)) << reason.toStdString();
    EXPECT_EQ(FileType(link), static_cast<mode_t>(S_IFLNK)) << "the link stays a link";
    EXPECT_EQ(Contents(target), "new");
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(), 2)
        << "no temporary file left";
}

TEST(AtomicFile, AFolderThatTakesNoNewFileKeepsTheOldOne) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into any folder";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString target = dir.filePath("kept.nvp");
    ASSERT_TRUE(WriteFileAtomically(target, "old", nullptr));
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0500), 0);
    QString reason;
    EXPECT_FALSE(WriteFileAtomically(target, "new", &reason));
    ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
    EXPECT_EQ(reason, QStringLiteral("没有权限"));
    EXPECT_EQ(Contents(target), "old");
}

TEST(AtomicFile, AFifoWithAReaderReceivesTheBytesAndStaysAFifo) {
    QTemporaryDir dir;
    const QString fifo = specialfiles::MakeFifo(dir.path(), "out.csv");
    ASSERT_FALSE(fifo.isEmpty());
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);

    QString reason;
    EXPECT_TRUE(WriteFileAtomically(fifo, "a,b\n1,2\n", &reason)) << reason.toStdString();
    char got[64] = {};
    const ssize_t n = ::read(reader, got, sizeof got);
    ::close(reader);
    EXPECT_EQ(QByteArray(got, static_cast<int>(std::max<ssize_t>(n, 0))), "a,b\n1,2\n");
    EXPECT_EQ(FileType(fifo), S_IFIFO);
}

// More than the pipe holds, and the reader gone half-way: a failed save, not a program ended by
// SIGPIPE.
TEST(AtomicFile, AFifoWhoseReaderGoesAwayFailsTheSave) {
    QTemporaryDir dir;
    const QString fifo = specialfiles::MakeFifo(dir.path(), "gone.csv");
    ASSERT_FALSE(fifo.isEmpty());
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    std::thread closer([reader] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ::close(reader);
    });
    QString reason;
    EXPECT_FALSE(WriteFileAtomically(fifo, QByteArray(4 * 1024 * 1024, 'x'), &reason));
    closer.join();
    EXPECT_EQ(reason, QStringLiteral("读取的程序已关闭管道"));
    EXPECT_EQ(FileType(fifo), S_IFIFO);
}

TEST(AtomicFile, AFifoWithoutAReaderIsRefusedAtOnceAndKept) {
    QTemporaryDir dir;
    const QString fifo = specialfiles::MakeFifo(dir.path(), "out.trd");
    ASSERT_FALSE(fifo.isEmpty());
    QString reason;
    EXPECT_FALSE(WriteFileAtomically(fifo, "data", &reason));
    EXPECT_EQ(reason, QStringLiteral("这是一个管道，没有程序在读取它"));
    EXPECT_EQ(FileType(fifo), S_IFIFO);
}

// The system's devices only through links in the scratch folder: the link and the device must
// both be there afterwards.
TEST(AtomicFile, ACharacterDeviceIsWrittenIntoAndAFullOneFailsWithItsError) {
    QTemporaryDir dir;
    const QString null = specialfiles::LinkTo("/dev/null", dir.path(), "null.csv");
    const QString full = specialfiles::LinkTo("/dev/full", dir.path(), "full.csv");
    ASSERT_FALSE(null.isEmpty());
    ASSERT_FALSE(full.isEmpty());

    QString reason;
    EXPECT_TRUE(WriteFileAtomically(null, "x\n", &reason)) << reason.toStdString();
    EXPECT_FALSE(WriteFileAtomically(full, "x\n", &reason));
    EXPECT_EQ(reason, QStringLiteral("磁盘空间已满"));

    for (const QString& link : {null, full}) {
        EXPECT_EQ(FileType(link), S_IFLNK) << link.toStdString();
        EXPECT_EQ(TargetType(link), S_IFCHR) << link.toStdString();
    }
    EXPECT_EQ(TargetType("/dev/null"), S_IFCHR);
    EXPECT_EQ(TargetType("/dev/full"), S_IFCHR);
}

TEST(AtomicFile, ASocketIsRefusedAndLeftInPlace) {
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(QDir(dir.path()).filePath("s.csv"));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(static_cast<size_t>(path.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(socket, 0);
    ASSERT_EQ(::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);

    QString reason;
    EXPECT_FALSE(WriteFileAtomically(QFile::decodeName(path), "x", &reason));
    EXPECT_EQ(reason, QStringLiteral("这不是普通文件，也不是字符设备或管道"));
    EXPECT_EQ(FileType(QFile::decodeName(path)), S_IFSOCK);
    ::close(socket);
}

} // namespace
