#pragma once

#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QKeyEvent;

// "模拟驱动器": the simulated drive's machine worked by hand while the program runs with
// "--simulate". A plain form: every control speaks one control line (sim/ControlLines.h) through
// `send`, as a tester would type it on the simulator's standard input.
class CSimDriveDialog : public QWidget {
    Q_OBJECT
public:
    explicit CSimDriveDialog(std::function<void(const QString& line)> send,
                             QWidget* parent = nullptr);

    QCheckBox* ServoBox() const { return servo_; }
    QCheckBox* InputBox(int contact) const; // DI-1..DI-13
    QComboBox* AlarmList() const { return alarm_; }

    void RaiseAlarm();
    void ClearAlarm();
    // "重新启动": the drive's power cycle.
    void Restart();
    // Puts the window in the top right corner of `area` (the main window's client area), clear
    // of its menu and tool bars.
    void PlaceOver(const QWidget* area);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QDoubleSpinBox* AddSetting(class QFormLayout* form, const QString& label, double min,
                               double max, int decimals, double value, QString (*line)(double));

    std::function<void(const QString&)> send_;
    QCheckBox* servo_ = nullptr;
    QList<QCheckBox*> inputs_;
    QComboBox* alarm_ = nullptr;
};
