#include "params/ui/ChangeDialog.h"

#include "frame/DialogButton.h"
#include "params/ui/AddRemoveDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const char* const kModeTexts[3] = {"选择参数", "控制模式", "自定义参数"};
const char* const kGroupTexts[7] = {
    "所有的参数",    "系统参数 (Cn)", "转矩参数 (Tn)",          "速度参数 (Sn)",
    "位置参数 (Pn)", "快捷参数 (qn)", "多功能接点设定参数 (Hn)"};
const char* const kControlModeTexts[4] = {"转矩模式", "速度模式", "位置模式(内部位置命令)",
                                          "位置模式(外部脉冲命令)"};

} // namespace

CChangeDialog::CChangeDialog(const DisplaySettings& settings, const CustomTable& custom,
                             Messenger& messenger, QWidget* parent)
    : QDialog(parent), state_(OpenChangeDialog(settings, custom)), messenger_(messenger) {
    setWindowTitle(QString::fromUtf8("显示设定"));

    auto* modeBox = new QGroupBox(QString::fromUtf8("显示方式"), this);
    auto* modeLayout = new QVBoxLayout(modeBox);
    for (int i = 0; i < 3; ++i) {
        modes_[i] = new QRadioButton(QString::fromUtf8(kModeTexts[i]), modeBox);
        modes_[i]->setObjectName(QStringLiteral("mode%1").arg(i));
        modeLayout->addWidget(modes_[i]);
        connect(modes_[i], &QRadioButton::clicked, this,
                [this, i] { Show(ClickDisplayMode(state_, i)); });
    }
    addRemove_ = MakeDialogButton("加入/移除(&A)...", "addRemove", modeBox);
    modeLayout->addWidget(addRemove_);
    connect(addRemove_, &QPushButton::clicked, this, &CChangeDialog::OnAddRemove);

    auto* groupBox = new QGroupBox(QString::fromUtf8("选择参数："), this);
    auto* groupLayout = new QVBoxLayout(groupBox);
    for (int i = 0; i < 7; ++i) {
        groups_[i] = new QCheckBox(QString::fromUtf8(kGroupTexts[i]), groupBox);
        groups_[i]->setObjectName(QStringLiteral("group%1").arg(i));
        groupLayout->addWidget(groups_[i]);
        connect(groups_[i], &QCheckBox::clicked, this,
                [this, i] { Show(i == 0 ? ClickAllParameters(state_) : ClickGroup(state_, i)); });
    }

    auto* controlBox = new QGroupBox(QString::fromUtf8("控制模式："), this);
    auto* controlLayout = new QVBoxLayout(controlBox);
    for (int i = 0; i < 4; ++i) {
        controlModes_[i] = new QCheckBox(QString::fromUtf8(kControlModeTexts[i]), controlBox);
        controlModes_[i]->setObjectName(QStringLiteral("controlMode%1").arg(i));
        controlLayout->addWidget(controlModes_[i]);
        connect(controlModes_[i], &QCheckBox::clicked, this,
                [this, i] { Show(ClickControlMode(state_, i)); });
    }

    auto* ok = new QPushButton(QString::fromUtf8("确定"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QString::fromUtf8("取消"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    connect(ok, &QPushButton::clicked, this, &CChangeDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &CChangeDialog::reject);

    auto* right = new QVBoxLayout;
    right->addWidget(groupBox);
    right->addWidget(controlBox);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(modeBox, 0, Qt::AlignTop);
    layout->addLayout(right);
    layout->addLayout(buttons);

    Show(UpdateControls(state_));
}

void CChangeDialog::Show(const ChangeDialogControls& controls) {
    for (int i = 0; i < 3; ++i)
        modes_[i]->setChecked(controls.modeRadio[i]);
    for (int i = 0; i < 7; ++i) {
        groups_[i]->setChecked(controls.groupChecked[i]);
        groups_[i]->setEnabled(controls.groupEnabled[i]);
    }
    for (int i = 0; i < 4; ++i) {
        controlModes_[i]->setChecked(controls.controlModeChecked[i]);
        controlModes_[i]->setEnabled(controls.controlModeEnabled[i]);
    }
    addRemove_->setEnabled(controls.addRemoveEnabled);
}

void CChangeDialog::OnAddRemove() {
    CAddRemoveDialog dialog(state_.custom, messenger_, this);
    if (dialog.exec() == QDialog::Accepted)
        ReplaceCustomList(state_, dialog.Entries());
}

void CChangeDialog::accept() {
    ConfirmChangeDialog(state_);
    QDialog::accept();
}
