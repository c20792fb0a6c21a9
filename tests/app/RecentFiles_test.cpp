#include "app/RecentFiles.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

namespace {

TEST(RecentFiles, NewestFirstWithoutRepeatsAndAtMostFour) {
    RecentFileList list;
    for (const char* name : {"/w/a.nvp", "/w/b.nvp", "/w/c.nvp", "/w/d.nvp"})
        list.Add(QString::fromUtf8(name));
    EXPECT_EQ(list.Entries(), QStringList({"/w/d.nvp", "/w/c.nvp", "/w/b.nvp", "/w/a.nvp"}));

    // Another name of the same file moves it to the front instead of adding it again.
    list.Add(QStringLiteral("/w/x/../b.nvp"));
    EXPECT_EQ(list.Entries(), QStringList({"/w/b.nvp", "/w/d.nvp", "/w/c.nvp", "/w/a.nvp"}));

    list.Add(QStringLiteral("/w/e.nvp"));
    EXPECT_EQ(list.Entries(), QStringList({"/w/e.nvp", "/w/b.nvp", "/w/d.nvp", "/w/c.nvp"}));

    list.Remove(QStringLiteral("/w/d.nvp"));
    list.Add(QString());
    EXPECT_EQ(list.Entries(), QStringList({"/w/e.nvp", "/w/b.nvp", "/w/c.nvp"}));
}

TEST(RecentFiles, KeptInSettingsAndReadBack) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("recent.ini"));
    RecentFileList written;
    written.Add(QStringLiteral("/w/a.nvp"));
    written.Add(QStringLiteral("/w/b.nvp"));
    {
        QSettings settings(file, QSettings::IniFormat);
        // A longer list from before must not leave its tail behind.
        settings.setValue(QStringLiteral("Recent File List/File3"), QStringLiteral("/old.nvp"));
        written.Save(settings);
    }
    QSettings settings(file, QSettings::IniFormat);
    EXPECT_EQ(settings.value(QStringLiteral("Recent File List/File1")).toString(),
              QStringLiteral("/w/b.nvp"));
    RecentFileList read;
    read.Load(settings);
    EXPECT_EQ(read.Entries(), written.Entries());
}

} // namespace
