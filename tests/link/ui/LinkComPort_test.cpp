// "连接端口设定": its controls in both link states, the device of a COM entry, and the dialog
// connect through the main view.

#include "support/AppHarness.h"

#include "link/ui/LinkComPort.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

TEST(LinkComPort, OffersPortsWithTheirDevicesAndConnectsWhileTheLinkIsNotWanted) {
    ComDeviceMap devices = DefaultComDevices();
    devices[2] = QStringLiteral("/dev/ttyS2");
    CLinkComPort dialog({2, 1}, /*linkRequested=*/false, devices);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("连接端口设定"));
    ASSERT_EQ(dialog.PortBox()->count(), 8);
    EXPECT_EQ(dialog.PortBox()->itemText(0), QStringLiteral("COM 1  (/dev/ttyUSB0)"));
    EXPECT_EQ(dialog.PortBox()->itemText(2), QStringLiteral("COM 3  (/dev/ttyS2)"));
    EXPECT_EQ(dialog.PortBox()->currentIndex(), 2);
    EXPECT_EQ(dialog.DeviceBox()->currentText(), QStringLiteral("/dev/ttyS2"));
    EXPECT_EQ(Items(dialog.BaudBox()), QStringList({"4800", "9600", "19200", "38400"}));
    EXPECT_EQ(dialog.BaudBox()->currentIndex(), 1);
    EXPECT_EQ(dialog.OkButton()->text(), QStringLiteral("连线(&C)"));
    EXPECT_TRUE(dialog.PortBox()->isEnabled());
    EXPECT_TRUE(dialog.BaudBox()->isEnabled());
    EXPECT_TRUE(dialog.DeviceBox()->isEnabled());
}

TEST(LinkComPort, WhileTheLinkIsWantedOnlyDisconnectIsOffered) {
    CLinkComPort dialog({0, 3}, /*linkRequested=*/true, DefaultComDevices());
    EXPECT_EQ(dialog.OkButton()->text(), QStringLiteral("断开(&D)"));
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    EXPECT_FALSE(dialog.PortBox()->isEnabled());
    EXPECT_FALSE(dialog.DeviceBox()->isEnabled());
    EXPECT_FALSE(dialog.BaudBox()->isEnabled());
    EXPECT_EQ(dialog.BaudBox()->currentIndex(), 3);
}

TEST(LinkComPort, FastRatesAreListedOnlyWhenTheSettingsUseThem) {
    CLinkComPort fastest({0, 5}, false, DefaultComDevices());
    EXPECT_EQ(Items(fastest.BaudBox()),
              QStringList({"4800", "9600", "19200", "38400", "57600", "115200"}));
    EXPECT_EQ(fastest.BaudBox()->currentIndex(), 5);
    CLinkComPort fast({0, 4}, false, DefaultComDevices());
    EXPECT_EQ(fast.BaudBox()->count(), 5);
    // An index beyond the table shows no row and is passed on until the user picks one.
    CLinkComPort broken({0, 9}, false, DefaultComDevices());
    EXPECT_EQ(broken.BaudBox()->currentIndex(), -1);
    EXPECT_EQ(broken.Choice().baudRateIndex, 9);
    broken.BaudBox()->setCurrentIndex(2);
    EXPECT_EQ(broken.Choice().baudRateIndex, 2);
}

TEST(LinkComPort, ChoosingADeviceMapsTheSelectedEntry) {
    CLinkComPort dialog({0, 1}, false, DefaultComDevices());
    dialog.PortBox()->setCurrentIndex(3);
    EXPECT_EQ(dialog.DeviceBox()->currentText(), QStringLiteral("/dev/ttyUSB3"));
    dialog.DeviceBox()->lineEdit()->clear();
    QTest::keyClicks(dialog.DeviceBox()->lineEdit(), QStringLiteral("/tmp/drive-pty"));
    dialog.BaudBox()->setCurrentIndex(2);
    EXPECT_EQ(dialog.Choice().comPort, 3);
    EXPECT_EQ(dialog.Choice().baudRateIndex, 2);
    EXPECT_EQ(dialog.Devices()[3], QStringLiteral("/tmp/drive-pty"));
    EXPECT_EQ(dialog.Devices()[0], QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(dialog.PortBox()->itemText(3), QStringLiteral("COM 4  (/tmp/drive-pty)"));
    EXPECT_TRUE(dialog.OkButton()->isEnabled());

    // Switching entries shows each one's own device.
    dialog.PortBox()->setCurrentIndex(0);
    EXPECT_EQ(dialog.DeviceBox()->currentText(), QStringLiteral("/dev/ttyUSB0"));
    dialog.PortBox()->setCurrentIndex(3);
    EXPECT_EQ(dialog.DeviceBox()->currentText(), QStringLiteral("/tmp/drive-pty"));

    // No device: nothing to connect to.
    dialog.DeviceBox()->lineEdit()->clear();
    QTest::keyClicks(dialog.DeviceBox()->lineEdit(), QStringLiteral("   "));
    EXPECT_FALSE(dialog.OkButton()->isEnabled());
    EXPECT_EQ(dialog.Devices()[3], QStringLiteral("/tmp/drive-pty"));
}

// Answers the next "连接端口设定" the view opens: `fill` sets its controls, then OK.
void AnswerPortDialog(const std::function<void(CLinkComPort&)>& fill, QString* okText) {
    QTimer::singleShot(50, [fill, okText] {
        auto* dialog = qobject_cast<CLinkComPort*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        *okText = dialog->OkButton()->text();
        fill(*dialog);
        dialog->OkButton()->click();
    });
}

TEST(LinkComPort, DialogConnectThroughTheViewUsesTheChosenDevice) {
    AppHarness h;
    ASSERT_TRUE(h.Start());
    ASSERT_FALSE(h.Session().LinkRequested());
    QString okText;
    AnswerPortDialog(
        [](CLinkComPort& dialog) {
            dialog.PortBox()->setCurrentIndex(1);
            dialog.DeviceBox()->setCurrentText(QStringLiteral("/tmp/bench-drive"));
            dialog.BaudBox()->setCurrentIndex(3);
        },
        &okText);
    ASSERT_TRUE(h.Frame().Trigger(Command::PortSettings));
    EXPECT_EQ(okText, QStringLiteral("连线(&C)"));
    EXPECT_TRUE(h.Session().LinkUp());
    EXPECT_TRUE(h.Session().LinkRequested());
    EXPECT_EQ(h.port->device(), QStringLiteral("/tmp/bench-drive"));
    EXPECT_EQ(h.port->lineFormat().baudRate, 38400u);
    EXPECT_EQ(h.app->Settings().link.ComPort, 1);
    EXPECT_EQ(h.app->Settings().link.BaudRateIndex, 3);
    EXPECT_EQ(h.app->Settings().comDevices[1], QStringLiteral("/tmp/bench-drive"));
    EXPECT_EQ(h.Frame().Pane(3)->text(), QStringLiteral("Servo 连线中"));

    // Again: the button now disconnects.
    AnswerPortDialog([](CLinkComPort&) {}, &okText);
    ASSERT_TRUE(h.Frame().Trigger(Command::PortSettings));
    EXPECT_EQ(okText, QStringLiteral("断开(&D)"));
    EXPECT_FALSE(h.Session().LinkUp());
    EXPECT_FALSE(h.Session().LinkRequested());
    EXPECT_EQ(h.Frame().Pane(3)->text(), QStringLiteral("Servo 未连线"));
}

TEST(LinkComPort, ADeviceChosenInTheDialogReplacesTheCommandLinesForTheRun) {
    AppHarness h;
    ProgramOptions options;
    options.port = QStringLiteral("/dev/ttyACM0");
    ASSERT_TRUE(h.Start(options));
    QString okText;
    AnswerPortDialog(
        [](CLinkComPort& dialog) {
            dialog.DeviceBox()->setCurrentText(QStringLiteral("/dev/ttyS4"));
        },
        &okText);
    ASSERT_TRUE(h.Frame().Trigger(Command::PortSettings));
    EXPECT_EQ(h.port->device(), QStringLiteral("/dev/ttyS4"));
    EXPECT_TRUE(h.View().PortOverride().isEmpty());
    // The user's choice is the entry's device from now on, in the file too.
    EXPECT_EQ(h.app->SettingsForFile().comDevices[0], QStringLiteral("/dev/ttyS4"));
}

} // namespace
