// What the system says about a serial device: its access and the adapter's facts, read from a
// stand-in sysfs folder laid out as the kernel lays out /sys/class/tty.

#include "link/PortDiagnosis.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(PortDiagnosis, AdapterFactsFromTheKernelsFolder) {
    QTemporaryDir sys;
    ASSERT_TRUE(QDir(sys.path()).mkpath(QStringLiteral("bus/usb-serial/drivers/ftdi_sio")));
    ASSERT_TRUE(QDir(sys.path()).mkpath(QStringLiteral("class/tty/ttyUSB0/device")));
    ASSERT_TRUE(QDir(sys.path()).mkpath(QStringLiteral("class/tty/ttyS0/device")));
    const QString usb = sys.filePath(QStringLiteral("class/tty/ttyUSB0/device"));
    ASSERT_TRUE(QFile::link(sys.filePath(QStringLiteral("bus/usb-serial/drivers/ftdi_sio")),
                            usb + QStringLiteral("/driver")));
    QFile timer(usb + QStringLiteral("/latency_timer"));
    ASSERT_TRUE(timer.open(QIODevice::WriteOnly));
    timer.write("16\n");
    timer.close();
    const QString ttyClass = sys.filePath(QStringLiteral("class/tty"));

    const AdapterFacts ftdi = ReadAdapterFacts(QStringLiteral("/dev/ttyUSB0"), ttyClass);
    EXPECT_EQ(ftdi.driver, QStringLiteral("ftdi_sio"));
    EXPECT_EQ(ftdi.latencyTimerMs, 16);
    EXPECT_EQ(LatencyTimerFix(QStringLiteral("/dev/ttyUSB0"), ttyClass),
              QStringLiteral("echo 1 | sudo tee ") + usb + QStringLiteral("/latency_timer"));

    // An on-board port has neither; a damaged attribute is no number.
    const AdapterFacts onboard = ReadAdapterFacts(QStringLiteral("/dev/ttyS0"), ttyClass);
    EXPECT_TRUE(onboard.driver.isEmpty());
    EXPECT_FALSE(onboard.latencyTimerMs);
    ASSERT_TRUE(timer.open(QIODevice::WriteOnly | QIODevice::Truncate));
    timer.write("x1");
    timer.close();
    EXPECT_FALSE(ReadLatencyTimerMs(QStringLiteral("/dev/ttyUSB0"), ttyClass));
}

TEST(PortDiagnosis, AccessOfDevicesFilesAndNothing) {
    const DeviceAccess null = CheckDeviceAccess(QStringLiteral("/dev/null"));
    EXPECT_TRUE(null.exists);
    EXPECT_TRUE(null.characterDevice);
    EXPECT_TRUE(null.readWrite);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("not-a-device"));
    QFile(file).open(QIODevice::WriteOnly);
    const QString link = dir.filePath(QStringLiteral("by-id-link"));
    ASSERT_TRUE(QFile::link(file, link));
    const DeviceAccess regular = CheckDeviceAccess(link);
    EXPECT_TRUE(regular.exists);
    EXPECT_FALSE(regular.characterDevice);
    EXPECT_EQ(regular.realPath, QFileInfo(file).canonicalFilePath());

    EXPECT_FALSE(CheckDeviceAccess(dir.filePath(QStringLiteral("gone"))).exists);
}

} // namespace
