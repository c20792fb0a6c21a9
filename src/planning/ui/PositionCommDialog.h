#pragma once

#include "planning/PositionPlan.h"

#include <QDialog>

#include <array>

class PlannerSpinField;
class QLineEdit;
class QRadioButton;

// "内部位置命令路径规划": the sixteen internal position commands in rows "1" to "16" (revolutions,
// pulses and speed, each field with its spin control), the positioning mode and PHOLD choices and
// the smoothing time constant. Keystrokes that would leave a field out of its range are refused;
// OK takes every field's value held within its range.
class CPositionCommDialog : public QDialog {
    Q_OBJECT
public:
    explicit CPositionCommDialog(const PositionPlan& plan, QWidget* parent = nullptr);

    // The plan as OK took it (as opened before that).
    const PositionPlan& Plan() const { return plan_; }
    // The field of command 0..15 (the row argument is ignored for the smoothing time).
    PlannerSpinField* Field(PlannerField field, int command = 0) const;

    void accept() override; // "确定"

private:
    QWidget* MakeCommandTable();
    QWidget* MakeChoices();
    QRadioButton* MakeChoice(const QString& text, const char* name, int32_t PositionPlan::*digit,
                             int32_t value);

    PositionPlan plan_;
    PlannerSpinField* smoothing_ = nullptr;
    std::array<std::array<PlannerSpinField*, 3>, kPositionCommands> commandFields_{};
};
