#include "planning/ui/PositionCommDialog.h"

#include "planning/ui/PlannerSpinField.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr std::array<PlannerField, 3> kCommandColumns = {
    PlannerField::Revolutions, PlannerField::Pulses, PlannerField::Speed};

int32_t& CommandValue(PositionCommand& command, PlannerField field) {
    switch (field) {
    case PlannerField::Revolutions: return command.revolutions;
    case PlannerField::Pulses: return command.pulses;
    default: return command.speed;
    }
}

QLabel* Centered(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

CPositionCommDialog::CPositionCommDialog(const PositionPlan& plan, QWidget* parent)
    : QDialog(parent), plan_(plan) {
    setWindowTitle(QStringLiteral("内部位置命令路径规划"));

    auto* body = new QHBoxLayout;
    body->addWidget(MakeCommandTable());
    body->addSpacing(12);
    body->addWidget(MakeChoices(), 0, Qt::AlignTop);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CPositionCommDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPositionCommDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* CPositionCommDialog::MakeCommandTable() {
    auto* table = new QWidget(this);
    auto* grid = new QGridLayout(table);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(2);
    grid->setHorizontalSpacing(14);
    grid->addWidget(Centered(QStringLiteral("位置"), table), 0, 0);
    grid->addWidget(Centered(QStringLiteral("电机旋转圈数(REV)"), table), 0, 1);
    grid->addWidget(Centered(QStringLiteral("电机旋转圈脉冲数(PULSE)"), table), 0, 2);
    grid->addWidget(Centered(QStringLiteral("电机移动速度(RPM)"), table), 0, 3);
    for (int k = 0; k < kPositionCommands; ++k) {
        grid->addWidget(Centered(QString::number(k + 1), table), k + 1, 0);
        PositionCommand& command = plan_.commands[static_cast<size_t>(k)];
        for (size_t column = 0; column < kCommandColumns.size(); ++column) {
            auto* field = new PlannerSpinField(kCommandColumns[column], table);
            field->SetValue(CommandValue(command, kCommandColumns[column]));
            commandFields_[static_cast<size_t>(k)][column] = field;
            grid->addWidget(field, k + 1, static_cast<int>(column) + 1, Qt::AlignHCenter);
        }
    }
    return table;
}

QRadioButton* CPositionCommDialog::MakeChoice(const QString& text, const char* name,
                                              int32_t PositionPlan::*digit, int32_t value) {
    auto* choice = new QRadioButton(text, this);
    choice->setObjectName(QString::fromLatin1(name));
    // Only a click sets the digit: a digit the window cannot show goes back as it came.
    connect(choice, &QRadioButton::clicked, this, [this, digit, value] { plan_.*digit = value; });
    return choice;
}

QWidget* CPositionCommDialog::MakeChoices() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* mode = new QGroupBox(QStringLiteral("内部位置命令模式"), column);
    auto* absolute =
        MakeChoice(QStringLiteral("绝对型定位"), "absolute", &PositionPlan::positionMode, 0);
    auto* relative =
        MakeChoice(QStringLiteral("相对型定位"), "relative", &PositionPlan::positionMode, 1);
    (ShowsRelative(plan_) ? relative : absolute)->setChecked(true);
    auto* modeLayout = new QVBoxLayout(mode);
    modeLayout->addWidget(absolute);
    modeLayout->addWidget(relative);

    auto* phold = new QGroupBox(QStringLiteral("暂停(PHOLD)程序选择"), column);
    auto* finish = MakeChoice(QStringLiteral("电机会继续完成PHOLD触发前之内部位置命令"),
                              "pholdContinue", &PositionPlan::pholdProgram, 0);
    auto* immediate = MakeChoice(QStringLiteral("电机会立即依当时所选择的内部位置命令运转"),
                                 "pholdImmediate", &PositionPlan::pholdProgram, 1);
    (ShowsImmediatePhold(plan_) ? immediate : finish)->setChecked(true);
    auto* pholdLayout = new QVBoxLayout(phold);
    pholdLayout->addWidget(finish);
    pholdLayout->addWidget(immediate);

    auto* smoothing = new QGroupBox(QStringLiteral("位置命令一次平滑加减速时间常数"), column);
    smoothing_ = new PlannerSpinField(PlannerField::SmoothingTime, smoothing);
    smoothing_->SetValue(plan_.smoothingTime);
    auto* smoothingLayout = new QHBoxLayout(smoothing);
    smoothingLayout->addWidget(smoothing_);
    smoothingLayout->addWidget(new QLabel(QStringLiteral("msec"), smoothing));
    smoothingLayout->addSpacing(12);
    smoothingLayout->addWidget(new QLabel(QStringLiteral("[ 0~10000 ]"), smoothing));
    smoothingLayout->addStretch(1);

    layout->addWidget(mode);
    layout->addWidget(phold);
    layout->addWidget(smoothing);
    return column;
}

PlannerSpinField* CPositionCommDialog::Field(PlannerField field, int command) const {
    if (field == PlannerField::SmoothingTime) {
        return smoothing_;
    }
    const auto column = static_cast<size_t>(field) - static_cast<size_t>(PlannerField::Revolutions);
    return commandFields_.at(static_cast<size_t>(command)).at(column);
}

void CPositionCommDialog::accept() {
    plan_.smoothingTime = smoothing_->ValueOnOk();
    for (int k = 0; k < kPositionCommands; ++k) {
        PositionCommand& command = plan_.commands[static_cast<size_t>(k)];
        for (PlannerField field : kCommandColumns) {
            CommandValue(command, field) = Field(field, k)->ValueOnOk();
        }
    }
    QDialog::accept();
}
