// File names as the system stores them, bytes that need not be UTF-8: decoded and encoded without
// loss, and found, written, read and removed under their own bytes.

#include "base/AtomicFile.h"
#include "base/BoundedRead.h"
#include "base/FileNames.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

namespace {

// The names in `folder` as raw bytes.
QList<QByteArray> RawEntries(const QString& folder) {
    QList<QByteArray> names;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    while (const dirent* entry = dir != nullptr ? ::readdir(dir) : nullptr) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names << name;
    }
    if (dir != nullptr)
        ::closedir(dir);
    return names;
}

TEST(FileNames, EveryByteSequenceComesBackAndUtf8ReadsAsUtf8) {
    const QByteArray cases[] = {
        "plain.nvp",
        "\xe5\x8f\x82\xe6\x95\xb0.nvp",       // 参数, UTF-8
        "\xf0\x9f\x98\x80.trd",               // a character beyond the first plane
        "latin1-\xe9\xff.nvp",                // Latin-1
        "\x80 stray continuation",            //
        "cut at the end \xe5\x8f",            //
        "overlong \xc0\xaf and \xe0\x80\xaf", // '/' written long
        "surrogate \xed\xa0\x80",             // UTF-16 halves are no UTF-8
        "beyond \xf4\x90\x80\x80 and \xf5",   // past U+10FFFF
        "\xed\xb3\xa9 looks like an escape",
    };
    for (const QByteArray& bytes : cases) {
        const QString name = FileNameFromNative(bytes);
        EXPECT_EQ(NativeFileName(name), bytes) << bytes.toHex().constData();
        if (QString::fromUtf8(bytes).toUtf8() == bytes) {
            EXPECT_EQ(name, QString::fromUtf8(bytes)) << "valid UTF-8 decodes as usual";
        }
    }
    // Two different byte names stay two different names.
    EXPECT_NE(FileNameFromNative("\xe9"), FileNameFromNative("\xff"));
    EXPECT_NE(FileNameFromNative("\xe9"), FileNameFromNative("\xc3\xa9"));
}

TEST(FileNames, AFileNamedInLatin1IsWrittenReadFoundAndRemovedUnderItsOwnBytes) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray rawName = "latin1-\xe9\xff.nvp";
    const QString path = dir.path() + QLatin1Char('/') + FileNameFromNative(rawName);

    QString reason;
    ASSERT_TRUE(WriteFileAtomically(path, "first", &reason)) << reason.toStdString();
    ASSERT_TRUE(WriteFileAtomically(path, "second", &reason)) << reason.toStdString();
    EXPECT_EQ(RawEntries(dir.path()), QList<QByteArray>{rawName}) << "no other name, no temporary";
    EXPECT_TRUE(FileExists(path));
    QByteArray bytes;
    ASSERT_TRUE(ReadFileWithLimit(path, 100, &bytes, nullptr));
    EXPECT_EQ(bytes, "second");

    // The file chooser shows the name with U+FFFD in place of the bytes; the real name is found.
    const QString shown = QFile::decodeName(dir.path().toUtf8() + '/' + rawName);
    EXPECT_FALSE(FileExists(shown));
    EXPECT_EQ(ExistingFileName(shown), path);

    EXPECT_TRUE(RemoveFile(path));
    EXPECT_TRUE(RawEntries(dir.path()).isEmpty());
}

TEST(FileNames, AChosenNameThatFitsTwoFilesOrNoneIsLeftAsChosen) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const QByteArray& raw : {QByteArray("a\xe9.nvp"), QByteArray("a\xff.nvp")}) {
        ASSERT_TRUE(WriteFileAtomically(dir.path() + '/' + FileNameFromNative(raw), "x", nullptr));
    }
    const QString shown = dir.path() + QStringLiteral("/a\uFFFD.nvp");
    EXPECT_EQ(ExistingFileName(shown), shown);
    const QString none = dir.path() + QStringLiteral("/b\uFFFD.nvp");
    EXPECT_EQ(ExistingFileName(none), none);
    // A new name in a folder whose own name is not UTF-8.
    const QString folder = dir.path() + '/' + FileNameFromNative("f\xe9");
    ASSERT_EQ(::mkdir(NativeFileName(folder).constData(), 0700), 0);
    EXPECT_EQ(ExistingFileName(QFile::decodeName(NativeFileName(folder)) + "/new.nvp"),
              folder + "/new.nvp");
}

} // namespace
