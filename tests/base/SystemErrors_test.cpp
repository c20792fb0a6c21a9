// The system's reasons for failed file and port operations read in Chinese, and the file messages
// use them.

#include "base/SystemErrors.h"

#include "drive/DriveProfile.h"
#include "params/NolvaServoDoc.h"
#include "params/NvpFile.h"
#include "trace/TraceFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

namespace {

struct Reason {
    int number;
    const char* text;
};

TEST(SystemErrors, CommonReasonsReadInChineseWhetherGivenAsNumberOrAsTheSystemsText) {
    const Reason reasons[] = {
        {ENOENT, "文件或文件夹不存在"},
        {EACCES, "没有权限"},
        {EPERM, "没有权限"},
        {EROFS, "文件系统为只读"},
        {ENOSPC, "磁盘空间已满"},
        {ENOTDIR, "路径中有一项不是文件夹"},
        {EISDIR, "这是一个文件夹，不是文件"},
        {EBUSY, "设备正被其他程序使用"},
    };
    for (const Reason& reason : reasons) {
        const QString chinese = QString::fromUtf8(reason.text);
        EXPECT_EQ(SystemErrorText(reason.number), chinese) << reason.number;
        EXPECT_EQ(LocalSystemErrorText(qt_error_string(reason.number)), chinese) << reason.number;
    }
    // Anything else keeps the system's words.
    EXPECT_EQ(SystemErrorText(EXDEV), qt_error_string(EXDEV));
    EXPECT_EQ(LocalSystemErrorText(QStringLiteral("Unknown error")), "Unknown error");
    EXPECT_EQ(LocalSystemErrorText(QStringLiteral("Filename refers to a directory")),
              QString::fromUtf8("这是一个文件夹，不是文件"));
}

TEST(SystemErrors, FileMessagesCarryTheChineseReason) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString plainFile = dir.filePath(QStringLiteral("plain"));
    QFile touch(plainFile);
    ASSERT_TRUE(touch.open(QIODevice::WriteOnly));
    touch.close();

    DriveProfile profile;
    CNolvaServoDoc document(profile);
    QString error;
    EXPECT_FALSE(SaveDocumentFile(plainFile + QStringLiteral("/a.nvp"), document, &error));
    EXPECT_TRUE(error.contains(QString::fromUtf8("路径中有一项不是文件夹"))) << error.toStdString();
    EXPECT_FALSE(error.contains(QStringLiteral("directory"))) << error.toStdString();

    EXPECT_FALSE(OpenDocumentFile(dir.filePath(QStringLiteral("gone.nvp")), document, &error));
    EXPECT_TRUE(error.contains(QString::fromUtf8("文件或文件夹不存在"))) << error.toStdString();

    TraceRecord record;
    EXPECT_FALSE(OpenTraceFile(dir.filePath(QStringLiteral("gone.trd")), record, &error));
    EXPECT_TRUE(error.contains(QString::fromUtf8("文件或文件夹不存在"))) << error.toStdString();
}

} // namespace
