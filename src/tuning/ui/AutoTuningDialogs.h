#pragma once

#include "tuning/AutoTuning.h"

#include <QDialog>

#include <array>
#include <memory>
#include <optional>

class PatternWriter;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class Ticker;
class TickerSource;
class TuningRun;

// "自动增益调谐": the choice of mode.
class CJogAutoGDialog : public QDialog {
    Q_OBJECT
public:
    explicit CJogAutoGDialog(QWidget* parent = nullptr);
    TuningMode Choice() const;

private:
    std::array<QRadioButton*, 3> modes_{};
};

// The test speed pattern as a trapezoid: acceleration, constant speed at the maximum speed,
// braking and the zero-speed time, labelled.
class SpeedPatternDrawing : public QWidget {
    Q_OBJECT
public:
    explicit SpeedPatternDrawing(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {380, 130}; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

// "Off-line 自动增益调谐": the pattern's current and set values with a "写入" per group, and
// the blinking warning that the motor turns at once on "确定" when the servo is on.
class COffLineAutoTuning : public QDialog {
    Q_OBJECT
public:
    COffLineAutoTuning(const PatternValues& current, int32_t maxSpeed, PatternWriter& writer,
                       TickerSource& tickers, QWidget* parent = nullptr);
    ~COffLineAutoTuning() override;

    QLineEdit* SetValue(int group) const { return set_[static_cast<size_t>(group - 1)]; }
    QLabel* Warning() const { return warning_; }

private:
    void Blink();

    PatternWriter& writer_;
    std::array<QLineEdit*, kPatternGroups> current_{};
    std::array<QLineEdit*, kPatternGroups> set_{};
    std::array<QPushButton*, kPatternGroups> write_{};
    QLabel* warning_ = nullptr;
    QString warningText_;
    bool blink_ = false;
    std::unique_ptr<Ticker> blinker_;
};

// "调谐开始": the run. Every 100 ms it asks the view for the monitoring step, every 400 ms it
// blinks the instruction; "下一步(&N)" is enabled once the servo was seen on and then off.
class CTuningStartDialog : public QDialog {
    Q_OBJECT
public:
    CTuningStartDialog(std::shared_ptr<TuningRun> run, DriveOperations& operations,
                       TickerSource& tickers, QWidget* parent = nullptr);
    ~CTuningStartDialog() override;

    QLabel* Instruction() const { return instruction_; }
    QLabel* RatioValue() const { return ratio_; }
    QPushButton* NextButton() const { return next_; }

private:
    void Show();
    void Blink();

    std::shared_ptr<TuningRun> run_;
    QLabel* instruction_ = nullptr;
    QLabel* ratio_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* quit_ = nullptr;
    QString instructionText_;
    bool blink_ = false;
    std::unique_ptr<Ticker> stepper_;
    std::unique_ptr<Ticker> blinker_;
};

// The command's dialogs as the program shows them; the result question goes through the
// messenger ("调谐结束", Yes/No).
AutoTuningDialogs ProgramTuningDialogs(DriveConnection& connection, const DriveProfile& profile,
                                       Messenger& messenger, TickerSource& tickers,
                                       QWidget* owner);
