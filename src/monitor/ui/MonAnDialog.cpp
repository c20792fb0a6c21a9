#include "monitor/ui/MonAnDialog.h"

#include "frame/DialogButton.h"
#include "monitor/MonitorPoll.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kCodeStyle = QStringLiteral("color: rgb(0, 0, 255); background: transparent;");
const QString kAlarmStyle = QStringLiteral("color: rgb(255, 0, 0); background: transparent;");
const QString kNoAlarmStyle = QStringLiteral("color: rgb(128, 128, 128); background: transparent;");

} // namespace

CMonAnDialog::CMonAnDialog(MonitorPoll& monitors, QWidget* parent)
    : QDialog(parent), monitors_(monitors) {
    setModal(false);
    setWindowTitle(QString::fromUtf8("异常警报履历参数"));
    AlarmHistory& alarms = monitors_.Alarms();
    alarms.Reset();

    auto* grid = new QGridLayout;
    const int descriptionWidth =
        fontMetrics().horizontalAdvance(QString::fromUtf8("   电源电压过高(回生异常)。")) + 16;
    for (int row = 0; row < AlarmHistory::kEntryCount; ++row) {
        const auto i = static_cast<size_t>(row);
        const QString name = AlarmRowName(row);
        codes_[i] = new QLabel(this);
        codes_[i]->setObjectName(QStringLiteral("code") + name);
        codes_[i]->setAlignment(Qt::AlignCenter);
        codes_[i]->setFrameShape(QFrame::StyledPanel);
        codes_[i]->setStyleSheet(kCodeStyle);
        descriptions_[i] = new QLabel(this);
        descriptions_[i]->setObjectName(QStringLiteral("description") + name);
        descriptions_[i]->setMinimumWidth(descriptionWidth);
        descriptions_[i]->setFrameShape(QFrame::StyledPanel);
        grid->addWidget(new QLabel(name, this), row, 0);
        grid->addWidget(codes_[i], row, 1);
        grid->addWidget(descriptions_[i], row, 2);
    }

    auto* update = MakeDialogButton("更新(&R)", "updateButton", this);
    auto* clear = MakeDialogButton("清除(&L)", "clearButton", this);
    auto* close = MakeDialogButton("关闭(&C)", "closeButton", this);
    connect(update, &QPushButton::clicked, this, [&alarms] { alarms.RequestRead(); });
    connect(clear, &QPushButton::clicked, this, [this] { monitors_.PostAlarmClear(); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(&alarms, &AlarmHistory::changed, this, &CMonAnDialog::Refresh);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(update);
    buttons->addWidget(clear);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    Refresh();
}

CMonAnDialog::~CMonAnDialog() {
    monitors_.Alarms().SetActive(false);
}

void CMonAnDialog::Present() {
    monitors_.Alarms().RequestRead();
    show();
    raise();
    activateWindow();
}

QString CMonAnDialog::CodeText(int row) const {
    return row >= 0 && row < AlarmHistory::kEntryCount ? codes_[static_cast<size_t>(row)]->text()
                                                       : QString();
}

void CMonAnDialog::Refresh() {
    const AlarmHistory& alarms = monitors_.Alarms();
    for (int row = 0; row < AlarmHistory::kEntryCount; ++row) {
        const auto i = static_cast<size_t>(row);
        codes_[i]->setText(alarms.CodeText(row));
        descriptions_[i]->setText(alarms.Description(row));
        descriptions_[i]->setStyleSheet(alarms.Code(row) != 0 ? kAlarmStyle : kNoAlarmStyle);
    }
}

void CMonAnDialog::showEvent(QShowEvent* event) {
    monitors_.Alarms().SetActive(true);
    QDialog::showEvent(event);
}

void CMonAnDialog::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) {
        monitors_.Alarms().SetActive(false);
    }
    QDialog::hideEvent(event);
}
