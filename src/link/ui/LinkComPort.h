#pragma once

#include "link/DriveDetection.h"
#include "link/LinkSettings.h"
#include "link/SerialPortList.h"

#include <QDialog>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;

// "连接端口设定": the COM entry, the baud rate and the echo of the dialog connect. Each COM entry
// shows the serial device it stands for on this machine; the device field lists the detected
// serial ports, each with its adapter (product, maker, serial number), by their
// /dev/serial/by-id/ names where there are any, and takes a typed path (a pseudo-terminal is
// never listed); it changes the selected entry's device. Below it the adapter the device names is
// shown. While the link is wanted the OK button reads "断开(&D)" and nothing can be changed.
class CLinkComPort : public QDialog {
    Q_OBJECT
public:
    // Runs the detection on a device; the dialog shows its progress and may stop it.
    using DetectionRunner =
        std::function<QList<DetectedDrive>(const QString& device, const DetectionProgress&)>;

    // Without a runner there is no "自动侦测" button.
    CLinkComPort(const PortChoice& current, bool linkRequested, const ComDeviceMap& devices,
                 const QList<DetectedPort>& detected = {}, DetectionRunner runner = {},
                 QWidget* parent = nullptr);

    PortChoice Choice() const { return choice_; }
    const ComDeviceMap& Devices() const { return devices_; }

    QComboBox* PortBox() const { return portBox_; }
    QComboBox* DeviceBox() const { return deviceBox_; }
    QComboBox* BaudBox() const { return baudBox_; }
    QLabel* AdapterLabel() const { return adapterLabel_; }
    QPushButton* DetectButton() const { return detectButton_; }
    QLabel* DetectionLabel() const { return detectionLabel_; }
    // "回波：" with "关闭", "开启", "自动" in the order of EchoMode's numbers.
    QComboBox* EchoBox() const { return echoBox_; }
    QPushButton* OkButton() const { return okButton_; }

    // The text of COM entry `comPort` (0..7): "COM 1  (/dev/ttyUSB0)".
    static QString PortEntryText(int comPort, const QString& device);
    // Bits per second of the baud-rate table's rows.
    static constexpr int kBaudRates[] = {4800, 9600, 19200, 38400, 57600, 115200};

    // Escape or the window's close while a detection runs stops the detection; the dialog stays.
    void reject() override;

private:
    void OnPortChanged(int index);
    void OnDeviceTextChanged(const QString& text);
    void OnBaudChanged(int index);
    void UpdateOkButton();
    void ShowAdapter();
    void OnDetect();
    void TakeDetected(const DetectedDrive& drive);
    void SetControlsEnabled(bool enabled);

    PortChoice choice_;
    bool linkRequested_;
    ComDeviceMap devices_;
    QList<DetectedPort> detected_;
    bool showingDevice_ = false;
    QComboBox* portBox_ = nullptr;
    QComboBox* deviceBox_ = nullptr;
    QComboBox* baudBox_ = nullptr;
    QLabel* adapterLabel_ = nullptr;
    DetectionRunner runner_;
    bool detecting_ = false;
    bool stopWanted_ = false;
    QPushButton* detectButton_ = nullptr;
    QLabel* detectionLabel_ = nullptr;
    QComboBox* echoBox_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

// The dialog as DriveSession::DialogConnect asks it, listing the ports detected now: the choice on
// OK, nothing on cancel. A device chosen for a COM entry goes into `devices` on OK.
std::optional<PortChoice> AskLinkComPort(QWidget* parent, const PortChoice& current,
                                         bool linkRequested, ComDeviceMap& devices,
                                         CLinkComPort::DetectionRunner runner = {});
