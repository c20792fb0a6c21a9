#include "params/ui/CompareDialog.h"

#include "frame/DialogButton.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int kCodeWidth = 50;
constexpr int kValueWidth = 70;

QTableWidgetItem* Cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

CCompareDialog::CCompareDialog(const QList<CompareRow>& rows, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("比较"));
    list_ = new QTableWidget(static_cast<int>(rows.size()), 4, this);
    list_->setObjectName(QStringLiteral("list"));
    list_->setHorizontalHeaderLabels(CompareColumnHeaders());
    list_->verticalHeader()->hide();
    list_->setShowGrid(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setWordWrap(false);
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
    for (int row = 0; row < rows.size(); ++row) {
        const CompareRow& r = rows[row];
        list_->setItem(row, 0, Cell(r.codeText));
        list_->setItem(row, 1, Cell(r.name));
        list_->setItem(row, 2, Cell(r.documentText));
        list_->setItem(row, 3, Cell(r.driveText));
        list_->item(row, 1)->setToolTip(r.name);
    }
    list_->setColumnWidth(0, kCodeWidth);
    list_->setColumnWidth(2, kValueWidth);
    list_->setColumnWidth(3, kValueWidth);
    // The name column takes the width the other three leave.
    list_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);

    QPushButton* close = MakeDialogButton("关闭(&C)", "close", this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(buttons);
    resize(480, 360);
}
