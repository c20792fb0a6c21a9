// The detected serial ports and their stable names: a by-id link is found for the device it leads
// to however the link is written, and a port is found again by any name that leads to it.

#include "link/SerialPortList.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class PortNames : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("dev/serial/by-id")));
        for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyS0"}) {
            QFile device(Path(QStringLiteral("dev/") + QLatin1String(name)));
            ASSERT_TRUE(device.open(QIODevice::WriteOnly));
        }
    }
    QString Path(const QString& relative) const { return root.filePath(relative); }
    QString ById() const { return Path(QStringLiteral("dev/serial/by-id")); }
    // A link as udev makes it: relative, two folders up.
    void Link(const QString& name, const QString& target) const {
        ASSERT_TRUE(QFile::link(target, ById() + QLatin1Char('/') + name));
    }
    DetectedPort Port(const char* name, const char* description = "") const {
        return {Path(QStringLiteral("dev/") + QLatin1String(name)), QString(),
                QString::fromLatin1(description), QString(), QString()};
    }

    QTemporaryDir root;
};

TEST_F(PortNames, EachPortGetsTheLinkThatLeadsToItsDevice) {
    Link(QStringLiteral("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"),
         QStringLiteral("../../ttyUSB1"));
    Link(QStringLiteral("usb-1a86_USB_Serial-if00-port0"), Path(QStringLiteral("dev/ttyUSB0")));
    QFile notALink(ById() + QStringLiteral("/README"));
    ASSERT_TRUE(notALink.open(QIODevice::WriteOnly));

    const QList<DetectedPort> ports =
        WithByIdPaths({Port("ttyS0"), Port("ttyUSB0"), Port("ttyUSB1")}, ById());
    ASSERT_EQ(ports.size(), 3);
    EXPECT_TRUE(ports[0].byIdPath.isEmpty()); // an on-board port has none
    EXPECT_EQ(ports[0].PreferredPath(), Path(QStringLiteral("dev/ttyS0")));
    EXPECT_EQ(ports[1].byIdPath, ById() + QStringLiteral("/usb-1a86_USB_Serial-if00-port0"));
    EXPECT_EQ(ports[2].PreferredPath(),
              ById() + QStringLiteral("/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"));

    // Found again by the system name, the by-id name, or another link to the same device.
    ASSERT_TRUE(QFile::link(Path(QStringLiteral("dev/ttyUSB1")), Path(QStringLiteral("usb1"))));
    for (const QString& name :
         {ports[2].systemLocation, ports[2].byIdPath, Path(QStringLiteral("usb1"))})
        EXPECT_EQ(FindDetectedPort(ports, name), &ports[2]) << name.toStdString();
    EXPECT_EQ(FindDetectedPort(ports, Path(QStringLiteral("dev/ttyUSB7"))), nullptr);
}

TEST_F(PortNames, WithoutAByIdFolderTheSystemNamesStay) {
    const QList<DetectedPort> ports =
        WithByIdPaths({Port("ttyUSB0")}, Path(QStringLiteral("no/such/folder")));
    EXPECT_EQ(ports[0].PreferredPath(), Path(QStringLiteral("dev/ttyUSB0")));
}

TEST(DetectedPortText, NamesWhatTheDriverKnows) {
    DetectedPort port{QStringLiteral("/dev/ttyUSB0"), QString(), QStringLiteral("FT232R USB UART"),
                      QStringLiteral("FTDI"), QStringLiteral("A50285BI")};
    EXPECT_EQ(port.AdapterText(), QStringLiteral("FT232R USB UART, FTDI, A50285BI (/dev/ttyUSB0)"));
    port.manufacturer = QStringLiteral("  ");
    port.serialNumber.clear();
    EXPECT_EQ(port.AdapterText(), QStringLiteral("FT232R USB UART (/dev/ttyUSB0)"));
    port.description.clear();
    EXPECT_EQ(port.AdapterText(), QStringLiteral("(/dev/ttyUSB0)"));
}

} // namespace
