#include "params/ui/DefParaDialog.h"

#include "app/AppSettings.h"
#include "app/Messenger.h"
#include "params/CustomListEditor.h"
#include "params/NolvaServoDoc.h"
#include "params/ParameterCatalogue.h"
#include "params/ParameterRequests.h"
#include "params/ui/AddRemoveDialog.h"
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

CDefParaDialog::CDefParaDialog(CustomTable& table, CNolvaServoDoc& document,
                               const DriveProfile& profile, ParameterRequests& requests,
                               Messenger& messenger, QWidget* parent)
    : QDialog(parent), customTable_(table), document_(document), profile_(profile),
      requests_(requests), messenger_(messenger), table_(profile.maxMotorSpeed) {
    setModal(false);
    setWindowTitle(QString::fromUtf8("自定参数"));

    grid_ = new ParameterGrid(this);
    grid_->setObjectName(QStringLiteral("grid"));
    help_ = new QLabel(this);
    help_->setObjectName(QStringLiteral("helpText"));
    help_->setWordWrap(true);
    help_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    help_->setMinimumHeight(3 * fontMetrics().height());
    help_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    help_->setFrameShape(QFrame::StyledPanel);

    write_ = MakeButton("写入(&W)", "writeButton", this);
    readAll_ = MakeButton("读取所有(&R)", "readAllButton", this);
    writeAll_ = MakeButton("写入所有(&A)", "writeAllButton", this);
    defaults_ = MakeButton("默认值(&S)", "defaultsButton", this);
    addRemove_ = MakeButton("加入/移除(&E)...", "addRemoveButton", this);
    close_ = MakeButton("关闭(&C)", "closeButton", this);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {write_, readAll_, writeAll_, defaults_, addRemove_}) {
        buttons->addWidget(button);
    }
    buttons->addStretch();
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_, 1);
    layout->addWidget(help_);
    layout->addLayout(buttons);

    int width = 0;
    for (int w : TableColumnWidths()) {
        width += w;
    }
    grid_->setMinimumSize(width + 4 * grid_->frameWidth() + 20,
                          grid_->horizontalHeader()->sizeHint().height() +
                              16 * grid_->verticalHeader()->defaultSectionSize());

    connect(write_, &QPushButton::clicked, this, &CDefParaDialog::OnWrite);
    connect(readAll_, &QPushButton::clicked, this, [this] {
        requests_.PostParameterRequest(ParameterRequest::kCustomList, ParameterRequest::kReadAll,
                                       0);
    });
    connect(writeAll_, &QPushButton::clicked, this, [this] {
        requests_.PostParameterRequest(ParameterRequest::kCustomList, ParameterRequest::kWriteAll,
                                       0);
    });
    connect(defaults_, &QPushButton::clicked, this, &CDefParaDialog::OnDefaults);
    connect(addRemove_, &QPushButton::clicked, this, &CDefParaDialog::OnAddRemove);
    connect(close_, &QPushButton::clicked, this, &QDialog::close);
    connect(grid_, &ParameterGrid::valueTyped, this, &CDefParaDialog::OnValueTyped);
    connect(grid_, &QTableWidget::currentCellChanged, this, [this] { ShowHelp(); });

    Reload();
    SyncWithDrive();
}

void CDefParaDialog::Reload() {
    table_.Fill(CustomTableWindowRows(customTable_), document_);
    ShowTable();
}

void CDefParaDialog::ShowTable() {
    grid_->ShowTable(table_);
    for (int row = 1; row <= table_.RowCount(); ++row) {
        grid_->SetRowMarked(row, table_.IsMarkedFailed(row));
    }
    ShowHelp();
}

void CDefParaDialog::ShowHelp() {
    const ParamCode code = table_.CodeOfRow(grid_->FocusRow());
    help_->setText(code.letter != 0 ? HelpText(code.text()) : QString());
}

void CDefParaDialog::Present() {
    if (!isVisible()) {
        show();
    }
    raise();
    activateWindow();
    Reload();
    SyncWithDrive();
}

void CDefParaDialog::RefreshValues() {
    table_.RefreshAfterRead(document_);
    ShowTable();
}

void CDefParaDialog::MarkRowFailed(int row) {
    table_.MarkFailed(row);
    ShowTable();
}

void CDefParaDialog::SyncWithDrive() {
    const bool linked = requests_.LinkUp();
    for (QPushButton* button : {write_, readAll_, writeAll_}) {
        button->setEnabled(linked);
    }
    if (linked && table_.AdoptMaxSpeed(document_, profile_)) {
        ShowTable();
    }
}

bool CDefParaDialog::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        SyncWithDrive();
    }
    return QDialog::event(event);
}

void CDefParaDialog::done(int result) {
    QDialog::done(result);
    if (!closing_) {
        closing_ = true;
        emit closed();
        deleteLater();
    }
}

void CDefParaDialog::OnWrite() {
    if (!requests_.LinkUp()) {
        return;
    }
    const int row = grid_->FocusRow();
    if (row < 1 || row > table_.RowCount()) {
        messenger_.show(NoParameterSelectedMessage());
        return;
    }
    const int request = table_.WriteOneRequestOfRow(row);
    if (request == 0) {
        messenger_.show(WholeListOnlyMessage(table_.Text(row, TableColumn::Code)));
        return;
    }
    table_.ClearMark(row);
    grid_->SetRowMarked(row, false);
    requests_.PostParameterRequest(ParameterRequest::kCustomList, request, row);
}

void CDefParaDialog::OnDefaults() {
    if (messenger_.show(DefaultsQuestion()) != MessageAnswer::Ok) {
        return;
    }
    table_.ResetToDefaults(document_);
    ShowTable();
}

void CDefParaDialog::OnAddRemove() {
    CAddRemoveDialog dialog(customTable_.Entries, messenger_, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    customTable_.Entries = dialog.Entries();
    Reload();
    emit customTableChanged();
}

void CDefParaDialog::OnValueTyped(int row, const QString& text) {
    const bool accepted = table_.TakeTypedValue(document_, row, text) == TypedValue::Accepted;
    ShowTable();
    if (accepted) {
        return;
    }
    Message message;
    message.text = table_.InvalidValueText(document_, row);
    message.caption = windowTitle();
    message.icon = MessageIcon::Warning;
    QMetaObject::invokeMethod(
        this, [this, message] { messenger_.show(message); }, Qt::QueuedConnection);
}
