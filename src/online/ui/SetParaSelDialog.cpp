#include "online/ui/SetParaSelDialog.h"

#include "online/OnlinePanels.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

CSetParaSelDialog::CSetParaSelDialog(const QList<ParamCode>& offered, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("设定"));
    auto* group = new QGroupBox(QString::fromUtf8("参数选择"), this);
    list_ = new QComboBox(group);
    list_->setObjectName(QStringLiteral("parameterList"));
    list_->setMaxVisibleItems(20);
    for (const ParamCode code : offered) {
        list_->addItem(OfferedEntryText(code));
    }
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(list_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QString::fromUtf8("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CSetParaSelDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSetParaSelDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

void CSetParaSelDialog::accept() {
    index_ = list_->currentIndex();
    code_ = index_ >= 0 ? CodeOfOfferedEntry(list_->currentText()) : ParamCode{};
    QDialog::accept();
}
