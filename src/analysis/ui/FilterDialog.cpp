#include "analysis/ui/FilterDialog.h"

#include "analysis/ResonanceFilter.h"
#include "link/DriveOperations.h"
#include "params/DriveConnection.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

CEditCn013Dialog::CEditCn013Dialog(DriveConnection& connection, CNolvaServoDoc& document,
                                   const DriveProfile& profile, Messenger& messenger,
                                   int frequency, int quality, QWidget* parent)
    : QDialog(parent), connection_(connection), document_(document), profile_(profile),
      messenger_(messenger) {
    setWindowTitle(QString::fromUtf8("共振抑制滤波器设置"));
    auto* grid = new QGridLayout(this);
    frequency_ = new QLineEdit(QString::number(frequency), this);
    frequency_->setObjectName(QStringLiteral("frequency"));
    frequency_->setMaxLength(4);
    quality_ = new QLineEdit(QString::number(quality), this);
    quality_->setObjectName(QStringLiteral("quality"));
    quality_->setMaxLength(3);
    for (QLineEdit* field : {frequency_, quality_}) {
        field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    }
    grid->addWidget(new QLabel(QString::fromUtf8("Cn013: 共振抑制滤波器频率"), this), 0, 0);
    grid->addWidget(frequency_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Hz"), this), 0, 2);
    grid->addWidget(new QLabel(QString::fromUtf8("Cn014: 共振抑制滤波器品质因数"), this), 1, 0);
    grid->addWidget(quality_, 1, 1);

    auto* buttons = new QHBoxLayout;
    auto* write = new QPushButton(QString::fromUtf8("写入(&W)"), this);
    write->setObjectName(QStringLiteral("write"));
    write->setDefault(true);
    auto* close = new QPushButton(QString::fromUtf8("关闭(&C)"), this);
    close->setObjectName(QStringLiteral("close"));
    buttons->addStretch();
    buttons->addWidget(write);
    buttons->addWidget(close);
    grid->addLayout(buttons, 2, 0, 1, 3);
    connect(write, &QPushButton::clicked, this, &CEditCn013Dialog::OnWrite);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CEditCn013Dialog::OnWrite() {
    // A press while the status poll reads runs after its tick: the dialog may have gone by then.
    const QPointer<CEditCn013Dialog> self(this);
    RunPressed(connection_.Operations(), messenger_, [self] {
        if (!self.isNull()) {
            self->WriteNow();
        }
    });
}

void CEditCn013Dialog::WriteNow() {
    switch (WriteResonanceFilter(connection_, document_, profile_, messenger_, frequency_->text(),
                                 quality_->text())) {
    case FilterWrite::NotLinked: return;
    case FilterWrite::FrequencyOutOfRange:
        frequency_->setFocus();
        frequency_->selectAll();
        return;
    case FilterWrite::QualityOutOfRange:
        quality_->setFocus();
        quality_->selectAll();
        return;
    case FilterWrite::Failed:
    case FilterWrite::Written: accept(); return;
    }
}
