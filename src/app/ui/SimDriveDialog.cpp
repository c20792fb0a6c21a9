#include "app/ui/SimDriveDialog.h"

#include "base/StringTable.h"
#include "sim/ControlLines.h"
#include "sim/DriveMachine.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kNoAlarmText = 380; // alarm n's text is the string 380 + n

} // namespace

CSimDriveDialog::CSimDriveDialog(std::function<void(const QString&)> send, QWidget* parent)
    : QWidget(parent, Qt::Tool), send_(std::move(send)) {
    setWindowTitle(QStringLiteral("模拟驱动器"));
    auto* layout = new QVBoxLayout(this);

    servo_ = new QCheckBox(QStringLiteral("Servo On"), this);
    servo_->setObjectName(QStringLiteral("servo"));
    connect(servo_, &QCheckBox::toggled, this, [this](bool on) { send_(ControlLine::Servo(on)); });
    layout->addWidget(servo_);

    auto* contacts = new QGroupBox(QStringLiteral("输入接点"), this);
    auto* grid = new QGridLayout(contacts);
    for (int n = 1; n <= DriveMachine::kInputCount; ++n) {
        auto* box = new QCheckBox(QStringLiteral("DI-%1").arg(n), contacts);
        box->setObjectName(QStringLiteral("di%1").arg(n));
        connect(box, &QCheckBox::toggled, this,
                [this, n](bool on) { send_(ControlLine::Input(n, on)); });
        grid->addWidget(box, (n - 1) / 5, (n - 1) % 5);
        inputs_.append(box);
    }
    layout->addWidget(contacts);

    auto* alarms = new QGroupBox(QStringLiteral("异常警报"), this);
    auto* alarmRow = new QHBoxLayout(alarms);
    alarm_ = new QComboBox(alarms);
    alarm_->setObjectName(QStringLiteral("alarmCode"));
    for (int code = 1; code <= DriveMachine::kAlarmCount; ++code)
        alarm_->addItem(QStringLiteral("%1: %2")
                            .arg(code, 2, 10, QLatin1Char('0'))
                            .arg(StringText(kNoAlarmText + code)),
                        code);
    auto* raise = new QPushButton(QStringLiteral("发生警报"), alarms);
    auto* clear = new QPushButton(QStringLiteral("清除警报"), alarms);
    connect(raise, &QPushButton::clicked, this, &CSimDriveDialog::RaiseAlarm);
    connect(clear, &QPushButton::clicked, this, &CSimDriveDialog::ClearAlarm);
    alarmRow->addWidget(alarm_, 1);
    alarmRow->addWidget(raise);
    alarmRow->addWidget(clear);
    layout->addWidget(alarms);

    auto* machine = new QGroupBox(QStringLiteral("机械"), this);
    auto* form = new QFormLayout(machine);
    const MachineSettings defaults;
    AddSetting(form, QStringLiteral("负载惯量比"), 0, 100, 1, defaults.inertiaRatio,
               ControlLine::InertiaRatio)
        ->setObjectName(QStringLiteral("inertia"));
    AddSetting(form, QStringLiteral("共振频率 (Hz)"), 20, 1500, 0, defaults.resonanceHz,
               ControlLine::Resonance)
        ->setObjectName(QStringLiteral("resonance"));
    AddSetting(form, QStringLiteral("阻尼比"), 0.001, 1, 3, defaults.damping, ControlLine::Damping)
        ->setObjectName(QStringLiteral("damping"));
    AddSetting(form, QStringLiteral("主回路电压 (V)"), 0, 1000, 0, defaults.busVoltage,
               ControlLine::BusVoltage)
        ->setObjectName(QStringLiteral("busVoltage"));
    AddSetting(form, QStringLiteral("外部速度命令 (V)"), -10, 10, 2, defaults.analogSpeed,
               ControlLine::AnalogSpeed)
        ->setObjectName(QStringLiteral("analogSpeed"));
    layout->addWidget(machine);

    auto* buttons = new QHBoxLayout;
    auto* restart = new QPushButton(QStringLiteral("重新启动(&R)"), this);
    restart->setObjectName(QStringLiteral("restart"));
    restart->setToolTip(
        QStringLiteral("关闭电源后再重新输入电源：写入的参数生效，Servo OFF，电机停止"));
    connect(restart, &QPushButton::clicked, this, &CSimDriveDialog::Restart);
    auto* close = new QPushButton(QStringLiteral("关闭(&C)"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    buttons->addWidget(restart);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);
}

QDoubleSpinBox* CSimDriveDialog::AddSetting(QFormLayout* form, const QString& label, double min,
                                            double max, int decimals, double value,
                                            QString (*line)(double)) {
    auto* box = new QDoubleSpinBox(this);
    box->setDecimals(decimals);
    box->setRange(min, max);
    box->setValue(value);
    box->setKeyboardTracking(false); // one line per value entered, not per key
    connect(box, &QDoubleSpinBox::valueChanged, this, [this, line](double v) { send_(line(v)); });
    form->addRow(label, box);
    return box;
}

QCheckBox* CSimDriveDialog::InputBox(int contact) const {
    return contact >= 1 && contact <= inputs_.size() ? inputs_[contact - 1] : nullptr;
}

void CSimDriveDialog::RaiseAlarm() {
    send_(ControlLine::Alarm(alarm_->currentData().toInt()));
    // The alarm turns the servo off and drops its command.
    const QSignalBlocker quiet(servo_);
    servo_->setChecked(false);
}

void CSimDriveDialog::ClearAlarm() {
    send_(ControlLine::ClearAlarm());
}

void CSimDriveDialog::Restart() {
    send_(ControlLine::Restart());
    // The drive comes back with the servo off; contacts, analog voltage and machine stay.
    const QSignalBlocker quiet(servo_);
    servo_->setChecked(false);
}

void CSimDriveDialog::PlaceOver(const QWidget* area) {
    constexpr int kMargin = 8;
    adjustSize();
    const QPoint topLeft = area->mapToGlobal(QPoint(0, 0));
    const QSize frame = frameGeometry().size();
    const int x = std::max(topLeft.x(), topLeft.x() + area->width() - frame.width() - kMargin);
    move(x, topLeft.y() + kMargin);
}

void CSimDriveDialog::keyPressEvent(QKeyEvent* event) {
    // Escape puts the window away, as it does a dialog's.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
