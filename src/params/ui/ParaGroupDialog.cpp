#include "params/ui/ParaGroupDialog.h"

#include "app/Messenger.h"
#include "params/NolvaServoDoc.h"
#include "params/ParameterRequests.h"
#include "params/ui/ParameterGrid.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton* MakeButton(const char* text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

CParaGroupDialog::CParaGroupDialog(ParamGroup group, CNolvaServoDoc& document,
                                   const DriveProfile& profile, ParameterRequests& requests,
                                   Messenger& messenger, QWidget* parent)
    : QDialog(parent), document_(document), profile_(profile), requests_(requests),
      messenger_(messenger), table_(group, document, profile.maxMotorSpeed) {
    setModal(false);
    setWindowTitle(table_.Title());

    grid_ = new ParameterGrid(this);
    grid_->setObjectName(QStringLiteral("grid"));
    note_ = new QLabel(this); // a text area below the grid, empty
    note_->setObjectName(QStringLiteral("note"));

    write_ = MakeButton("写入(&W)", "writeButton", this);
    readAll_ = MakeButton("读取所有(&R)", "readAllButton", this);
    writeAll_ = MakeButton("写入所有(&A)", "writeAllButton", this);
    defaults_ = MakeButton("默认值(&S)", "defaultsButton", this);
    close_ = MakeButton("关闭(&C)", "closeButton", this);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {write_, readAll_, writeAll_, defaults_}) {
        buttons->addWidget(button);
    }
    buttons->addStretch();
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_, 1);
    layout->addWidget(note_);
    layout->addLayout(buttons);

    int width = 0;
    for (int w : TableColumnWidths()) {
        width += w;
    }
    const int rows = grid_->horizontalHeader()->sizeHint().height() +
                     table_.RowCount() * grid_->verticalHeader()->defaultSectionSize();
    grid_->setMinimumSize(width + 4 * grid_->frameWidth(), rows + 2 * grid_->frameWidth());

    connect(write_, &QPushButton::clicked, this, &CParaGroupDialog::OnWrite);
    connect(readAll_, &QPushButton::clicked, this, [this] {
        requests_.PostParameterRequest(GroupRequestMessage(Group()), ParameterRequest::kReadAll, 0);
    });
    connect(writeAll_, &QPushButton::clicked, this, [this] {
        requests_.PostParameterRequest(GroupRequestMessage(Group()), ParameterRequest::kWriteAll,
                                       0);
    });
    connect(defaults_, &QPushButton::clicked, this, &CParaGroupDialog::OnDefaults);
    connect(close_, &QPushButton::clicked, this, &QDialog::close);
    connect(grid_, &ParameterGrid::valueTyped, this, &CParaGroupDialog::OnValueTyped);

    ShowTable();
    SyncWithDrive();
}

void CParaGroupDialog::ShowTable() {
    grid_->ShowTable(table_);
}

void CParaGroupDialog::Present() {
    if (!isVisible()) {
        show();
    }
    raise();
    activateWindow();
    RefreshValues();
    SyncWithDrive();
}

void CParaGroupDialog::RefreshValues() {
    table_.RefreshValues(document_);
    ShowTable();
}

void CParaGroupDialog::SyncWithDrive() {
    const bool linked = requests_.LinkUp();
    for (QPushButton* button : {write_, readAll_, writeAll_}) {
        button->setEnabled(linked);
    }
    if (linked && table_.AdoptMaxSpeed(document_, profile_)) {
        ShowTable();
    }
}

bool CParaGroupDialog::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        SyncWithDrive();
    }
    return QDialog::event(event);
}

void CParaGroupDialog::done(int result) {
    QDialog::done(result);
    if (!closing_) {
        closing_ = true;
        emit closed();
        deleteLater();
    }
}

void CParaGroupDialog::OnWrite() {
    const int row = grid_->FocusRow();
    if (row >= 1 && row <= table_.RowCount()) {
        requests_.PostParameterRequest(GroupRequestMessage(Group()), ParameterRequest::kWriteOne,
                                       row);
        return;
    }
    messenger_.show(NoParameterSelectedMessage());
}

void CParaGroupDialog::OnDefaults() {
    if (messenger_.show(DefaultsQuestion()) != MessageAnswer::Ok) {
        return;
    }
    table_.ResetToDefaults(document_);
    ShowTable();
}

void CParaGroupDialog::OnValueTyped(int row, const QString& text) {
    if (table_.TakeTypedValue(document_, row, text) == TypedValue::Accepted) {
        ShowTable();
        return;
    }
    ShowTable();
    // Told once the grid has closed its editor.
    Message message;
    message.text = table_.InvalidValueText(document_, row);
    message.caption = windowTitle();
    message.icon = MessageIcon::Warning;
    QMetaObject::invokeMethod(
        this, [this, message] { messenger_.show(message); }, Qt::QueuedConnection);
}
