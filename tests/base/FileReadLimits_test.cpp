// The readers of the system's files read regular files only, and no more of them than their
// format allows: a FIFO without a writer, a link to /dev/zero or a huge file is refused at once
// with the reader's ordinary message.

#include "app/SettingsFile.h"
#include "base/BoundedRead.h"
#include "drive/DriveProfile.h"
#include "params/NolvaServoDoc.h"
#include "params/NvpFile.h"
#include "trace/TraceFile.h"

#include "support/SpecialFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString kNotRegular = QStringLiteral("这不是普通文件（是设备、管道或其他特殊文件）");

// A sparse file of `size` bytes, quick to make however large.
QString HugeFile(const QString& folder, const QString& name, qint64 size) {
    QFile file(QDir(folder).filePath(name));
    if (!file.open(QIODevice::WriteOnly) || !file.resize(size))
        return {};
    return file.fileName();
}

struct Reader {
    const char* name;
    // Opens `path` and gives the message, empty when it opened.
    std::function<QString(const QString&)> open;
    qint64 limit;
};

const Reader kReaders[] = {
    {"nvp",
     [](const QString& path) {
         CNolvaServoDoc doc(DriveProfile{});
         QString error;
         return OpenDocumentFile(path, doc, &error) ? QString() : error;
     },
     64 * 1024},
    {"trd",
     [](const QString& path) {
         TraceRecord record;
         QString error;
         return OpenTraceFile(path, record, &error) ? QString() : error;
     },
     4096 + 4 * (64 + 20 + 4 * 30001)},
};

TEST(FileReadLimits, AFifoWithoutAWriterIsRefusedWithoutWaiting) {
    for (const Reader& reader : kReaders) {
        QTemporaryDir dir;
        const QString fifo =
            specialfiles::MakeFifo(dir.path(), QStringLiteral("in.") + reader.name);
        ASSERT_FALSE(fifo.isEmpty());
        QString message;
        EXPECT_TRUE(specialfiles::ReturnsWithoutWriter(fifo, [&] { message = reader.open(fifo); }))
            << reader.name;
        EXPECT_TRUE(message.endsWith(kNotRegular)) << message.toStdString();
    }
}

TEST(FileReadLimits, ALinkToAnEndlessDeviceIsRefusedUnread) {
    for (const Reader& reader : kReaders) {
        QTemporaryDir dir;
        const QString zero =
            specialfiles::LinkTo("/dev/zero", dir.path(), QStringLiteral("zero.") + reader.name);
        ASSERT_FALSE(zero.isEmpty());
        const QString message = reader.open(zero);
        EXPECT_TRUE(message.contains(QStringLiteral("zero.") + reader.name)) << reader.name;
        EXPECT_TRUE(message.endsWith(kNotRegular)) << message.toStdString();
    }
}

TEST(FileReadLimits, AFileLongerThanItsFormatAllowsIsRefusedUnread) {
    for (const Reader& reader : kReaders) {
        QTemporaryDir dir;
        const QString huge =
            HugeFile(dir.path(), QStringLiteral("huge.") + reader.name, qint64{8} * 1024 * 1024);
        ASSERT_FALSE(huge.isEmpty());
        EXPECT_TRUE(
            reader.open(huge).endsWith(QStringLiteral("文件太大，超过 %1 字节").arg(reader.limit)))
            << reader.open(huge).toStdString();
    }
}

TEST(FileReadLimits, ARegularFileAtTheLimitIsReadWholeAndOneByteMoreIsNot) {
    QTemporaryDir dir;
    const QString path = HugeFile(dir.path(), "at-limit", 100);
    QByteArray bytes;
    FileReadError error;
    ASSERT_TRUE(ReadFileWithLimit(path, 100, &bytes, &error));
    EXPECT_EQ(bytes, QByteArray(100, '\0'));
    EXPECT_FALSE(ReadFileWithLimit(path, 99, &bytes, &error));
    EXPECT_EQ(error.kind, FileReadError::Kind::TooLarge);
}

// The program starts on its defaults, instead of waiting or running out of memory.
TEST(FileReadLimits, ASettingsFileThatIsNoneGivesTheDefaults) {
    QTemporaryDir dir;
    const QString fifo = specialfiles::MakeFifo(dir.path(), "settings.ini");
    AppSettings read;
    read.link.StationID = 99;
    EXPECT_TRUE(specialfiles::ReturnsWithoutWriter(fifo, [&] { read = ReadSettingsFile(fifo); }));
    EXPECT_EQ(read, AppSettings{});

    // Real settings in front of more than the bound: refused, not read in part.
    QFile big(QDir(dir.path()).filePath("big.ini"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    AppSettings changed;
    changed.link.StationID = 7;
    big.write(FormatSettings(changed));
    big.write(QByteArray(4 * 1024 * 1024, '\n'));
    big.close();
    ASSERT_EQ(ReadSettingsFile(big.fileName()).link.StationID, AppSettings{}.link.StationID);
}

} // namespace
