// "连接端口设定": its controls in both link states, the device of a COM entry, and the dialog
// connect through the main view. What the connect itself does is checked beside the session.

#include "support/AppHarness.h"

#include "link/ui/LinkComPort.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

TEST(LinkComPort, OffersTheCurrentChoiceAndOnlyDisconnectWhileTheLinkIsWanted) {
    ComDeviceMap devices = DefaultComDevices();
    devices[2] = QStringLiteral("/dev/ttyS2");
    for (const bool requested : {false, true}) {
        SCOPED_TRACE(requested);
        CLinkComPort dialog({2, 3}, requested, devices);
        EXPECT_EQ(dialog.PortBox()->currentIndex(), 2);
        EXPECT_TRUE(dialog.PortBox()->currentText().contains(devices[2]));
        EXPECT_EQ(dialog.DeviceBox()->currentText(), devices[2]);
        EXPECT_EQ(dialog.BaudBox()->currentIndex(), 3);
        EXPECT_TRUE(dialog.OkButton()->isEnabled());
        for (QWidget* box : QList<QWidget*>{dialog.PortBox(), dialog.BaudBox(), dialog.DeviceBox()})
            EXPECT_EQ(box->isEnabled(), !requested);
        EXPECT_NE(dialog.OkButton()->text(),
                  CLinkComPort({2, 3}, !requested, devices).OkButton()->text());
    }
}

TEST(LinkComPort, EchoIsChosenAmongOffOnAndAutomatic) {
    CLinkComPort dialog({0, 1, std::nullopt, EchoMode::On}, false, DefaultComDevices());
    EXPECT_EQ(dialog.EchoBox()->currentText(), QStringLiteral("开启"));
    const auto* form = static_cast<QFormLayout*>(dialog.EchoBox()->parentWidget()->layout());
    EXPECT_EQ(qobject_cast<QLabel*>(form->labelForField(dialog.EchoBox()))->text(), "回波：");
    dialog.EchoBox()->setCurrentIndex(2);
    EXPECT_EQ(dialog.EchoBox()->currentText(), QStringLiteral("自动"));
    EXPECT_EQ(dialog.Choice().echo, EchoMode::Automatic);
}

TEST(LinkComPort, FastRatesAreListedOnlyWhenTheSettingsUseThem) {
    for (const auto& [index, rows] : {std::pair{1, 4}, {4, 5}, {5, 6}})
        EXPECT_EQ(CLinkComPort({0, index}, false, DefaultComDevices()).BaudBox()->count(), rows);
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
    EXPECT_TRUE(dialog.PortBox()->itemText(3).contains(QStringLiteral("/tmp/drive-pty")));

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

TEST(LinkComPort, DetectedPortsAreListedWithTheirAdaptersAndKeptByTheirStableNames) {
    const QString byId = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A5-if00-port0");
    const QList<DetectedPort> detected{
        {QStringLiteral("/dev/ttyS0"), QString(), QString(), QString(), QString()},
        {QStringLiteral("/dev/ttyUSB1"), byId, QStringLiteral("FT232R USB UART"),
         QStringLiteral("FTDI"), QStringLiteral("A5")}};
    CLinkComPort dialog({2, 1}, false, DefaultComDevices(), detected);
    QComboBox& box = *dialog.DeviceBox();
    ASSERT_EQ(box.count(), 2);
    EXPECT_EQ(box.itemText(1), byId);
    // The open list shows the adapter beside the name.
    EXPECT_EQ(box.model()->index(1, 1).data().toString(),
              QStringLiteral("FT232R USB UART, FTDI, A5 (/dev/ttyUSB1)"));

    box.setCurrentIndex(1); // the user picks the adapter
    EXPECT_EQ(box.currentText(), byId);
    EXPECT_EQ(dialog.Devices()[2], byId);
    EXPECT_EQ(dialog.AdapterLabel()->text(),
              QStringLiteral("FT232R USB UART, FTDI, A5 (/dev/ttyUSB1)"));

    // A typed system name shows its adapter too; an unknown device shows none.
    box.lineEdit()->clear();
    QTest::keyClicks(box.lineEdit(), QStringLiteral("/dev/ttyUSB1"));
    EXPECT_EQ(dialog.AdapterLabel()->text(),
              QStringLiteral("FT232R USB UART, FTDI, A5 (/dev/ttyUSB1)"));
    box.lineEdit()->clear();
    QTest::keyClicks(box.lineEdit(), QStringLiteral("/tmp/drive-pty"));
    EXPECT_TRUE(dialog.AdapterLabel()->text().isEmpty());
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
    EXPECT_EQ(h.port->Device(), QStringLiteral("/tmp/bench-drive"));
    EXPECT_EQ(h.app->Settings().comDevices[1], QStringLiteral("/tmp/bench-drive"));
    const QString linkedPane = h.Frame().Pane(3)->text();

    // Again: the button now disconnects.
    AnswerPortDialog([](CLinkComPort&) {}, &okText);
    ASSERT_TRUE(h.Frame().Trigger(Command::PortSettings));
    EXPECT_EQ(okText, QStringLiteral("断开(&D)"));
    EXPECT_FALSE(h.Session().LinkRequested());
    EXPECT_NE(h.Frame().Pane(3)->text(), linkedPane); // the status bar follows at once
}

TEST(LinkComPort, DetectionFindsTheDriveAndTheDialogConnectTakesWhatItFound) {
    AppHarness h;
    h.honestLine = true;
    FaultSettings faults = h.drive.Faults();
    faults.baud = 19200; // the settings say 9600: the probe is garbled
    h.drive.SetFaults(faults);
    h.drive.SetEcho(true); // and the converter hands every byte back, at the computer's rate
    ASSERT_TRUE(h.Start());
    QString okText;
    QString found;
    QString chosenRate;
    QString chosenEcho;
    AnswerPortDialog(
        [&](CLinkComPort& dialog) {
            dialog.DetectButton()->click();
            found = dialog.DetectionLabel()->text();
            chosenRate = dialog.BaudBox()->currentText();
            chosenEcho = dialog.EchoBox()->currentText();
        },
        &okText);
    ASSERT_TRUE(h.Frame().Trigger(Command::PortSettings));
    EXPECT_EQ(found, QStringLiteral("侦测到：RS-232, 19200 bit/s, the line echoes"));
    EXPECT_EQ(chosenRate, QStringLiteral("19200"));
    EXPECT_EQ(chosenEcho, QStringLiteral("开启"));
    EXPECT_EQ(h.app->Settings().link.Echo, EchoMode::On);
    EXPECT_TRUE(h.Session().LinkUp());
    EXPECT_EQ(h.app->Settings().link.BaudRateIndex, 2);
    EXPECT_TRUE(h.messenger.messages.isEmpty());
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
    EXPECT_EQ(h.port->Device(), QStringLiteral("/dev/ttyS4"));
    EXPECT_TRUE(h.View().PortOverride().isEmpty());
    // The user's choice is the entry's device from now on, in the file too.
    EXPECT_EQ(h.app->SettingsForFile().comDevices[0], QStringLiteral("/dev/ttyS4"));
}

} // namespace
