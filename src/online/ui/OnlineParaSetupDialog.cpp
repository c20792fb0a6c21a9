#include "online/ui/OnlineParaSetupDialog.h"

#include "base/Messenger.h"
#include "drive/ParameterCatalogue.h"
#include "drive/ParameterSet.h"
#include "frame/DialogButton.h"
#include "online/ui/SetParaSelDialog.h"
#include "widgets/ColumnFit.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

COnlineParaSetupDialog::COnlineParaSetupDialog(const OnlinePanelCodes& codes,
                                               const DriveProfile& profile, Messenger& messenger,
                                               QWidget* parent)
    : QDialog(parent), codes_(codes), profile_(profile), messenger_(messenger) {
    setWindowTitle(QString::fromUtf8("设定"));
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("panelList"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setHeaderLabels({QString::fromUtf8("代号"), QString::fromUtf8("参数名称"),
                            QString::fromUtf8("单位"), QString::fromUtf8("设定范围"),
                            QString::fromUtf8("默认值")});
    list_->header()->setSectionsMovable(false);
    list_->header()->setStretchLastSection(false);
    for (int row = 0; row < kOnlinePanelCount; ++row) {
        new QTreeWidgetItem(list_);
    }
    connect(list_, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { OnSet(list_->indexOfTopLevelItem(item)); });

    auto* layout = new QGridLayout(this);
    layout->addWidget(list_, 0, 0, 1, kOnlinePanelCount);
    for (int row = 0; row < kOnlinePanelCount; ++row) {
        const QByteArray number = QByteArray::number(row + 1);
        QPushButton* set = MakeDialogButton(QByteArray("设定 " + number).constData(),
                                            QByteArray("set" + number).constData(), this);
        QPushButton* clear = MakeDialogButton(QByteArray("清除 " + number).constData(),
                                              QByteArray("clear" + number).constData(), this);
        connect(set, &QPushButton::clicked, this, [this, row] { OnSet(row); });
        connect(clear, &QPushButton::clicked, this, [this, row] { OnClear(row); });
        clearButtons_[static_cast<size_t>(row)] = clear;
        layout->addWidget(set, 1, row);
        layout->addWidget(clear, 2, row);
        FillRow(row);
    }
    QPushButton* ok = MakeDialogButton("确定", "okButton", this);
    QPushButton* cancel = MakeDialogButton("取消", "cancelButton", this);
    connect(ok, &QPushButton::clicked, this, &COnlineParaSetupDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &COnlineParaSetupDialog::reject);
    layout->addWidget(ok, 3, kOnlinePanelCount - 2);
    layout->addWidget(cancel, 3, kOnlinePanelCount - 1);

    list_->setFixedHeight(list_->header()->sizeHint().height() +
                          kOnlinePanelCount * (list_->sizeHintForRow(0) + 2) + 8);
    resize(640, sizeHint().height());
}

void COnlineParaSetupDialog::FillRow(int row) {
    QTreeWidgetItem* item = list_->topLevelItem(row);
    const ParamCode code = codes_[static_cast<size_t>(row)];
    const bool used = code.letter != 0;
    if (used) {
        const QString text = code.Text();
        ParameterSet minimums;
        ParameterSet maximums;
        ParameterSet defaults;
        FillRangeTables(minimums, maximums, profile_);
        FillDefaultTable(defaults, profile_);
        item->setText(0, text);
        item->setText(1, ParameterName(code));
        item->setText(2, UnitText(code));
        item->setText(3, RangeText(code, *minimums.Slot(code), *maximums.Slot(code)));
        item->setText(4, FormatValue(code, *defaults.Slot(code), true));
    } else {
        for (int column = 0; column < list_->columnCount(); ++column) {
            item->setText(column, QString());
        }
    }
    clearButtons_[static_cast<size_t>(row)]->setEnabled(used);
    WidenColumnsToContent(*list_, *list_->header());
}

void COnlineParaSetupDialog::OnSet(int row) {
    if (row < 0 || row >= kOnlinePanelCount) {
        return;
    }
    CSetParaSelDialog choose(OfferedParameters(codes_), this);
    if (choose.exec() != QDialog::Accepted || choose.Code().letter == 0) {
        return;
    }
    codes_[static_cast<size_t>(row)] = choose.Code();
    FillRow(row);
}

void COnlineParaSetupDialog::OnClear(int row) {
    ParamCode& code = codes_[static_cast<size_t>(row)];
    if (code.letter == 0) {
        return;
    }
    Message question;
    question.text = QString::fromUtf8("您确定要清除参数代号%1?").arg(code.Text());
    question.caption = QString::fromUtf8("清除信息");
    question.icon = MessageIcon::Question;
    question.buttons = MessageButtons::YesNo;
    if (messenger_.Show(question) != MessageAnswer::Yes) {
        return;
    }
    code = {};
    FillRow(row);
}
