#include "planning/ui/PlannerSpinField.h"

#include "params/BitFieldEditors.h"

#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>
#include <QValidator>
#include <QVBoxLayout>

namespace {

class PlannerFieldValidator : public QValidator {
public:
    PlannerFieldValidator(PlannerField field, QObject* parent)
        : QValidator(parent), field_(field) {}

    State validate(QString& input, int&) const override {
        if (!TypingAcceptable(field_, input)) {
            return Invalid;
        }
        return ParseValueText(input) ? Acceptable : Intermediate;
    }

private:
    PlannerField field_;
};

QToolButton* MakeArrow(QWidget* parent, Qt::ArrowType arrow) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFixedSize(16, 11);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

PlannerSpinField::PlannerSpinField(PlannerField field, QWidget* parent)
    : QWidget(parent), field_(field), edit_(new QLineEdit(this)),
      up_(MakeArrow(this, Qt::UpArrow)), down_(MakeArrow(this, Qt::DownArrow)) {
    const FieldLimits limits = LimitsOf(field);
    edit_->setMaxLength(limits.maxChars);
    edit_->setValidator(new PlannerFieldValidator(field, edit_));
    edit_->setAlignment(Qt::AlignRight);
    edit_->setFixedWidth(edit_->fontMetrics().horizontalAdvance(QStringLiteral("-000000")) + 14);
    edit_->installEventFilter(this);
    setFocusProxy(edit_);

    auto* arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    arrows->addWidget(up_);
    arrows->addWidget(down_);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(edit_);
    layout->addLayout(arrows);
    layout->addStretch(1);

    connect(up_, &QToolButton::clicked, this, [this] { Spin(1); });
    connect(down_, &QToolButton::clicked, this, [this] { Spin(-1); });
}

void PlannerSpinField::SetValue(int32_t value) {
    // A value from the drive may lie outside the range, or be longer than the field takes: it is
    // shown as OK would write it, never cut to the field's length.
    const FieldLimits limits = LimitsOf(field_);
    edit_->setText(QString::number(LimitToRange(value, limits.min, limits.max)));
}

int32_t PlannerSpinField::ValueOnOk() const {
    return FieldValueOnOk(field_, edit_->text());
}

void PlannerSpinField::Spin(int steps) {
    const FieldLimits limits = LimitsOf(field_);
    SetValue(SpinValue(ValueOnOk(), steps, limits.min, limits.max));
    edit_->selectAll();
}

bool PlannerSpinField::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Spin(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
