#pragma once

#include "planning/PositionPlan.h"

#include <QWidget>

class QLineEdit;
class QToolButton;

// One edit field of the position planner with its spin control beside it. A keystroke whose
// result the field does not accept (TypingAcceptable) is refused: the text, cursor and selection
// stay as they were. The arrows, and the Up and Down keys, step the value within the range.
class PlannerSpinField : public QWidget {
    Q_OBJECT
public:
    PlannerSpinField(PlannerField field, QWidget* parent = nullptr);

    QLineEdit* Edit() const { return edit_; }
    // Shows `value` held within the field's range.
    void SetValue(int32_t value);
    // The value the text gives on OK, held within the range.
    int32_t ValueOnOk() const;
    void Spin(int steps);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PlannerField field_;
    QLineEdit* edit_;
    QToolButton* up_;
    QToolButton* down_;
};
