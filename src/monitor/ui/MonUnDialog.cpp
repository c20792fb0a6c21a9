#include "monitor/ui/MonUnDialog.h"

#include "frame/DialogButton.h"
#include "monitor/StatusMonitor.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* Heading(const char* text, QWidget* parent) {
    return new QLabel(QString::fromUtf8(text), parent);
}

} // namespace

CMonUnDialog::CMonUnDialog(StatusMonitor& monitor, QWidget* parent)
    : QDialog(parent), monitor_(monitor) {
    setModal(false);
    setWindowTitle(QString::fromUtf8("状态表示参数 (Un-xx)"));
    monitor_.ClearTexts();

    auto* grid = new QGridLayout;
    grid->addWidget(Heading("编号", this), 0, 0);
    grid->addWidget(Heading("参数名称", this), 0, 1);
    grid->addWidget(Heading("显示值", this), 0, 2, 1, 2);
    const int valueWidth = fontMetrics().horizontalAdvance(QStringLiteral("-2147483648")) + 8;
    for (int number = 1; number <= StatusMonitor::kValueCount; ++number) {
        const auto i = static_cast<size_t>(number - 1);
        const QString code = QString::asprintf("Un-%02d", number);
        boxes_[i] = new QCheckBox(code, this);
        boxes_[i]->setObjectName(QStringLiteral("check") + code);
        names_[i] = new QLabel(StatusValueName(number), this);
        names_[i]->setObjectName(QStringLiteral("name") + code);
        values_[i] = new QLabel(this);
        values_[i]->setObjectName(QStringLiteral("value") + code);
        values_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        values_[i]->setMinimumWidth(valueWidth);
        values_[i]->setFrameShape(QFrame::StyledPanel);
        values_[i]->setStyleSheet(
            QStringLiteral("color: rgb(255, 0, 0); background: transparent;"));
        auto* unit = new QLabel(StatusValueUnit(number), this);
        grid->addWidget(boxes_[i], number, 0);
        grid->addWidget(names_[i], number, 1);
        grid->addWidget(values_[i], number, 2);
        grid->addWidget(unit, number, 3);
        connect(boxes_[i], &QCheckBox::toggled, this, [this, number](bool on) {
            monitor_.SetSelected(number, on);
            Refresh();
        });
    }

    auto* selectAll = MakeDialogButton("全选(&A)", "selectAllButton", this);
    auto* clear = MakeDialogButton("清除(&L)", "clearButton", this);
    auto* close = MakeDialogButton("关闭(&C)", "closeButton", this);
    connect(selectAll, &QPushButton::clicked, this, [this] {
        monitor_.SelectAll();
        Refresh();
    });
    connect(clear, &QPushButton::clicked, this, [this] {
        monitor_.ClearAll();
        Refresh();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(&monitor_, &StatusMonitor::changed, this, &CMonUnDialog::Refresh);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(selectAll);
    buttons->addWidget(clear);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    Refresh();
}

CMonUnDialog::~CMonUnDialog() {
    monitor_.SetActive(false);
}

void CMonUnDialog::Present() {
    show();
    raise();
    activateWindow();
}

QString CMonUnDialog::ValueText(int number) const {
    return number >= 1 && number <= StatusMonitor::kValueCount
               ? values_[static_cast<size_t>(number - 1)]->text()
               : QString();
}

void CMonUnDialog::Refresh() {
    for (int number = 1; number <= StatusMonitor::kValueCount; ++number) {
        const auto i = static_cast<size_t>(number - 1);
        const bool on = monitor_.Selected(number);
        const QSignalBlocker quiet(boxes_[i]);
        boxes_[i]->setChecked(on);
        names_[i]->setEnabled(on);
        values_[i]->setText(monitor_.Text(number));
    }
}

void CMonUnDialog::showEvent(QShowEvent* event) {
    monitor_.SetActive(true);
    QDialog::showEvent(event);
}

void CMonUnDialog::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) {
        monitor_.SetActive(false);
    }
    QDialog::hideEvent(event);
}
