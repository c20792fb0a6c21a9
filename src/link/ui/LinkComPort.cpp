#include "link/ui/LinkComPort.h"

#include "base/StringIds.h"
#include "base/StringTable.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Rows of the baud-rate table the list always offers; 57600 and 115200 are reached only through
// the settings file, so they are listed only when the settings already use them.
constexpr int kListedBaudRows = 4;

// The device field's list: the name to keep in the first column (what the field shows once
// chosen), the adapter beside it in the open list.
QStandardItemModel* DeviceListModel(const QList<DetectedPort>& ports, QObject* parent) {
    auto* model = new QStandardItemModel(0, 2, parent);
    for (const DetectedPort& port : ports) {
        auto* path = new QStandardItem(port.PreferredPath());
        auto* adapter = new QStandardItem(port.AdapterText());
        path->setToolTip(port.AdapterText());
        adapter->setToolTip(port.AdapterText());
        model->appendRow({path, adapter});
    }
    return model;
}

QTreeView* DeviceListView(QWidget* parent) {
    auto* view = new QTreeView(parent);
    view->setHeaderHidden(true);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setAllColumnsShowFocus(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return view;
}

} // namespace

QString CLinkComPort::PortEntryText(int comPort, const QString& device) {
    return QStringLiteral("COM %1  (%2)").arg(comPort + 1).arg(device);
}

CLinkComPort::CLinkComPort(const PortChoice& current, bool linkRequested,
                           const ComDeviceMap& devices, const QList<DetectedPort>& detected,
                           DetectionRunner runner, QWidget* parent)
    : QDialog(parent), choice_(current), linkRequested_(linkRequested), devices_(devices),
      detected_(detected), runner_(std::move(runner)) {
    setWindowTitle(QStringLiteral("连接端口设定"));

    portBox_ = new QComboBox(this);
    for (int i = 0; i < kComPortCount; ++i)
        portBox_->addItem(PortEntryText(i, devices_[static_cast<size_t>(i)]));
    deviceBox_ = new QComboBox(this);
    deviceBox_->setEditable(true);
    deviceBox_->setInsertPolicy(QComboBox::NoInsert);
    auto* deviceView = DeviceListView(deviceBox_);
    deviceBox_->setModel(DeviceListModel(detected_, deviceBox_));
    deviceBox_->setView(deviceView);
    deviceBox_->setModelColumn(0);
    deviceView->resizeColumnToContents(0);
    deviceView->resizeColumnToContents(1);
    deviceView->setMinimumWidth(
        std::min(deviceView->columnWidth(0) + deviceView->columnWidth(1) + 24, 1200));
    deviceBox_->setMinimumContentsLength(18);
    adapterLabel_ = new QLabel(this);
    adapterLabel_->setObjectName(QStringLiteral("adapterLabel"));
    adapterLabel_->setWordWrap(true);

    baudBox_ = new QComboBox(this);
    const int listedRows = std::clamp(current.baudRateIndex + 1, kListedBaudRows,
                                      static_cast<int>(std::size(kBaudRates)));
    for (int row = 0; row < listedRows; ++row)
        baudBox_->addItem(QString::number(kBaudRates[row]));

    echoBox_ = new QComboBox(this);
    echoBox_->addItems({QStringLiteral("关闭"), QStringLiteral("开启"), QStringLiteral("自动")});
    echoBox_->setCurrentIndex(static_cast<int>(current.echo));
    echoBox_->setToolTip(QStringLiteral("二线式 RS-485 转换器把送出的每个字节送回时选开启；"
                                        "自动在每次连接时判断"));

    auto* portGroup = new QGroupBox(QStringLiteral("通信端口选择："), this);
    auto* portForm = new QFormLayout(portGroup);
    portForm->addRow(QStringLiteral("COM 端口:"), portBox_);
    portForm->addRow(QStringLiteral("设备:"), deviceBox_);
    portForm->addRow(QString(), adapterLabel_);
    auto* protocolGroup = new QGroupBox(QStringLiteral("通讯协议："), this);
    auto* protocolForm = new QFormLayout(protocolGroup);
    protocolForm->addRow(QStringLiteral("通讯传输率(bps):"), baudBox_);
    protocolForm->addRow(QStringLiteral("回波："), echoBox_);

    detectButton_ = new QPushButton(QStringLiteral("自动侦测(&A)"), this);
    detectButton_->setObjectName(QStringLiteral("detectButton"));
    detectButton_->setVisible(static_cast<bool>(runner_));
    detectionLabel_ = new QLabel(this);
    detectionLabel_->setObjectName(QStringLiteral("detectionLabel"));
    detectionLabel_->setWordWrap(true);
    detectionLabel_->setMinimumWidth(360);
    // Room for two lines from the start: the progress text must not be cut while it changes.
    detectionLabel_->setMinimumHeight(2 * detectionLabel_->fontMetrics().lineSpacing() + 2);
    detectionLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    protocolForm->addRow(detectButton_);
    protocolForm->addRow(detectionLabel_);
    connect(detectButton_, &QPushButton::clicked, this, &CLinkComPort::OnDetect);

    auto* buttons = new QDialogButtonBox(this);
    okButton_ = buttons->addButton(
        StringText(linkRequested ? StringId::kDisconnectCaption : StringId::kConnectCaption),
        QDialogButtonBox::AcceptRole);
    okButton_->setDefault(true);
    cancelButton_ = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(portGroup);
    layout->addWidget(protocolGroup);
    layout->addWidget(buttons);

    // An index outside the lists shows no selection; the stored choice keeps it until the user
    // picks another row.
    if (current.comPort >= 0 && current.comPort < kComPortCount)
        portBox_->setCurrentIndex(current.comPort);
    else
        portBox_->setCurrentIndex(-1);
    baudBox_->setCurrentIndex(current.baudRateIndex < baudBox_->count() ? current.baudRateIndex
                                                                        : -1);
    OnPortChanged(portBox_->currentIndex());
    choice_ = current;

    connect(portBox_, &QComboBox::currentIndexChanged, this, &CLinkComPort::OnPortChanged);
    connect(deviceBox_, &QComboBox::currentTextChanged, this, &CLinkComPort::OnDeviceTextChanged);
    connect(baudBox_, &QComboBox::currentIndexChanged, this, &CLinkComPort::OnBaudChanged);
    connect(echoBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            choice_.echo = static_cast<EchoMode>(index);
    });

    // While the link is wanted the button disconnects; the choice cannot change meanwhile.
    SetControlsEnabled(true);
}

void CLinkComPort::OnPortChanged(int index) {
    if (index < 0 || index >= kComPortCount)
        return;
    choice_.comPort = index;
    showingDevice_ = true;
    deviceBox_->setCurrentText(devices_[static_cast<size_t>(index)]);
    showingDevice_ = false;
    ShowAdapter();
    UpdateOkButton();
}

void CLinkComPort::OnDeviceTextChanged(const QString& text) {
    if (showingDevice_ || choice_.comPort < 0 || choice_.comPort >= kComPortCount)
        return;
    const QString device = text.trimmed();
    if (IsUsableDeviceName(device)) {
        devices_[static_cast<size_t>(choice_.comPort)] = device;
        portBox_->setItemText(choice_.comPort, PortEntryText(choice_.comPort, device));
    }
    ShowAdapter();
    UpdateOkButton();
}

void CLinkComPort::ShowAdapter() {
    const DetectedPort* port = FindDetectedPort(detected_, deviceBox_->currentText().trimmed());
    adapterLabel_->setText(port != nullptr ? port->AdapterText() : QString());
}

void CLinkComPort::OnBaudChanged(int index) {
    if (index >= 0)
        choice_.baudRateIndex = index;
    // A rate the user picks after a detection is the user's own; the detected line stays.
}

void CLinkComPort::SetControlsEnabled(bool enabled) {
    const bool choosing = enabled && !linkRequested_;
    portBox_->setEnabled(choosing);
    deviceBox_->setEnabled(choosing);
    baudBox_->setEnabled(choosing);
    echoBox_->setEnabled(choosing);
    detectButton_->setEnabled(choosing || detecting_);
    cancelButton_->setEnabled(enabled);
    UpdateOkButton();
    if (!enabled)
        okButton_->setEnabled(false);
}

void CLinkComPort::reject() {
    if (detecting_) {
        stopWanted_ = true;
        return;
    }
    QDialog::reject();
}

void CLinkComPort::OnDetect() {
    if (detecting_) {
        stopWanted_ = true; // the button reads "停止侦测" meanwhile
        return;
    }
    const QString device = deviceBox_->currentText().trimmed();
    if (!runner_ || !IsUsableDeviceName(device))
        return;
    detecting_ = true;
    stopWanted_ = false;
    detectButton_->setText(QStringLiteral("停止侦测(&A)"));
    SetControlsEnabled(false);
    const QList<DetectedDrive> found =
        runner_(device, [this](const QString& trying, int done, int total) {
            detectionLabel_->setText(
                QStringLiteral("正在侦测（%1/%2）：%3").arg(done + 1).arg(total).arg(trying));
            // The user may stop it, and the dialog keeps drawing, between two tries.
            QCoreApplication::processEvents();
            return !stopWanted_;
        });
    detecting_ = false;
    detectButton_->setText(QStringLiteral("自动侦测(&A)"));
    SetControlsEnabled(true);
    if (!found.isEmpty())
        TakeDetected(found.front());
    else
        detectionLabel_->setText(stopWanted_ ? QStringLiteral("侦测已停止。")
                                             : QStringLiteral("未侦测到驱动器。"));
}

void CLinkComPort::TakeDetected(const DetectedDrive& drive) {
    detectionLabel_->setText(QStringLiteral("侦测到：") + drive.Text());
    while (baudBox_->count() <= drive.baudRateIndex &&
           baudBox_->count() < static_cast<int>(std::size(kBaudRates)))
        baudBox_->addItem(QString::number(kBaudRates[baudBox_->count()]));
    baudBox_->setCurrentIndex(drive.baudRateIndex);
    choice_.baudRateIndex = drive.baudRateIndex;
    choice_.line = DetectedLine{drive.rs485, drive.frameFormat, drive.station};
    // The detection saw whether the request came back.
    echoBox_->setCurrentIndex(static_cast<int>(drive.echo ? EchoMode::On : EchoMode::Off));
}

void CLinkComPort::UpdateOkButton() {
    okButton_->setEnabled(linkRequested_ ||
                          IsUsableDeviceName(deviceBox_->currentText().trimmed()));
}

std::optional<PortChoice> AskLinkComPort(QWidget* parent, const PortChoice& current,
                                         bool linkRequested, ComDeviceMap& devices,
                                         CLinkComPort::DetectionRunner runner) {
    CLinkComPort dialog(current, linkRequested, devices, DetectSerialPorts(), std::move(runner),
                        parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    if (!linkRequested)
        devices = dialog.Devices();
    return dialog.Choice();
}
