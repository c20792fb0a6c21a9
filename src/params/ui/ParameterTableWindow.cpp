#include "params/ui/ParameterTableWindow.h"

#include "base/Messenger.h"
#include "frame/DialogButton.h"
#include "params/ParameterRequests.h"
#include "params/ParameterTable.h"
#include "params/ui/ParameterGrid.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

CParameterTableWindow::CParameterTableWindow(CNolvaServoDoc& document, const DriveProfile& profile,
                                             ParameterRequests& requests, Messenger& messenger,
                                             QWidget* parent)
    : QDialog(parent), document_(document), profile_(profile), requests_(requests),
      messenger_(messenger) {
    setModal(false);

    grid_ = new ParameterGrid(this);
    grid_->setObjectName(QStringLiteral("grid"));

    write_ = MakeDialogButton("写入(&W)", "writeButton", this);
    readAll_ = MakeDialogButton("读取所有(&R)", "readAllButton", this);
    writeAll_ = MakeDialogButton("写入所有(&A)", "writeAllButton", this);
    defaults_ = MakeDialogButton("默认值(&S)", "defaultsButton", this);

    connect(readAll_, &QPushButton::clicked, this, [this] {
        requests_.PostParameterRequest(ParameterRequest::ReadAll(RequestWindow()));
    });
    connect(writeAll_, &QPushButton::clicked, this, [this] {
        requests_.PostParameterRequest(ParameterRequest::WriteAll(RequestWindow()));
    });
}

void CParameterTableWindow::LayOut(QWidget* belowGrid, const QList<QPushButton*>& extraButtons) {
    close_ = MakeDialogButton("关闭(&C)", "closeButton", this);
    connect(close_, &QPushButton::clicked, this, &QDialog::close);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {write_, readAll_, writeAll_, defaults_}) {
        buttons->addWidget(button);
    }
    for (QPushButton* button : extraButtons) {
        buttons->addWidget(button);
    }
    buttons->addStretch();
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_, 1);
    layout->addWidget(belowGrid);
    layout->addLayout(buttons);
}

void CParameterTableWindow::BringToFront() {
    if (!isVisible()) {
        show();
    }
    raise();
    activateWindow();
}

void CParameterTableWindow::WarnLater(const QString& text) {
    Message message;
    message.text = text;
    message.caption = windowTitle();
    message.icon = MessageIcon::Warning;
    QMetaObject::invokeMethod(
        this, [this, message] { messenger_.Show(message); }, Qt::QueuedConnection);
}

void CParameterTableWindow::SyncWithDrive() {
    const bool linked = requests_.LinkUp();
    for (QPushButton* button : {write_, readAll_, writeAll_}) {
        button->setEnabled(linked);
    }
    if (linked && AdoptMaxSpeed()) {
        ShowTable();
    }
}

bool CParameterTableWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        SyncWithDrive();
    }
    return QDialog::event(event);
}

void CParameterTableWindow::done(int result) {
    QDialog::done(result);
    if (!closing_) {
        closing_ = true;
        emit closed();
        deleteLater();
    }
}
