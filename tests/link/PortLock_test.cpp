// Who holds a serial device, from lock files in a folder of the test's own, with a stand-in for
// the process table.

#include "link/PortLock.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

TEST(PortLock, LockFilesNameTheirLiveHolder) {
    QTemporaryDir dir;
    const auto write = [&dir](const char* name, const QByteArray& bytes) {
        QDir(dir.path()).mkpath(QStringLiteral("815"));
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    write("815/comm", "minicom\n");
    // Qt's kind names the program; the UUCP kind holds the pid alone and the system names it.
    write("LCK..ttyUSB0", "815\nminiterm\nbench-pc\n");
    write("LCK..pts_7", "       815\n");
    write("LCK..ttyS0", "99999\nscreen\n"); // its process has ended
    const auto find = [&dir](const char* location) {
        return FindPortHolder(QString::fromLatin1(location), {dir.path()}, dir.path());
    };
    EXPECT_EQ(find("/dev/ttyUSB0"), (PortHolder{815, QStringLiteral("miniterm")}));
    EXPECT_EQ(find("/dev/pts/7"), (PortHolder{815, QStringLiteral("minicom")}));
    EXPECT_EQ(find("/dev/ttyS0"), std::nullopt);
    EXPECT_EQ(find("/dev/ttyUSB1"), std::nullopt);
}
