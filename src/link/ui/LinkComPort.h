#pragma once

#include "link/LinkSettings.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QPushButton;

// "连接端口设定": the COM entry and the baud rate of the dialog connect. Each COM entry shows the
// serial device it stands for on this machine; the device field lists the detected serial ports
// and takes a typed path (a pseudo-terminal is never listed), and changes the selected entry's
// device. While the link is wanted the OK button reads "断开(&D)" and nothing can be changed.
class CLinkComPort : public QDialog {
    Q_OBJECT
public:
    CLinkComPort(const PortChoice& current, bool linkRequested, const ComDeviceMap& devices,
                 QWidget* parent = nullptr);

    PortChoice Choice() const { return choice_; }
    const ComDeviceMap& Devices() const { return devices_; }

    QComboBox* PortBox() const { return portBox_; }
    QComboBox* DeviceBox() const { return deviceBox_; }
    QComboBox* BaudBox() const { return baudBox_; }
    QPushButton* OkButton() const { return okButton_; }

    // The text of COM entry `comPort` (0..7): "COM 1  (/dev/ttyUSB0)".
    static QString PortEntryText(int comPort, const QString& device);
    // Bits per second of the baud-rate table's rows.
    static constexpr int kBaudRates[] = {4800, 9600, 19200, 38400, 57600, 115200};

private:
    void OnPortChanged(int index);
    void OnDeviceTextChanged(const QString& text);
    void OnBaudChanged(int index);
    void UpdateOkButton();

    PortChoice choice_;
    bool linkRequested_;
    ComDeviceMap devices_;
    bool showingDevice_ = false;
    QComboBox* portBox_ = nullptr;
    QComboBox* deviceBox_ = nullptr;
    QComboBox* baudBox_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

// The dialog as DriveSession::DialogConnect asks it: the choice on OK, nothing on cancel. A
// device chosen for a COM entry goes into `devices` on OK.
std::optional<PortChoice> AskLinkComPort(QWidget* parent, const PortChoice& current,
                                         bool linkRequested, ComDeviceMap& devices);
