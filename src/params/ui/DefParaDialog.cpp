#include "params/ui/DefParaDialog.h"

#include "base/Messenger.h"
#include "base/StringTable.h"
#include "drive/ParameterCatalogue.h"
#include "frame/DialogButton.h"
#include "params/CustomListEditor.h"
#include "params/CustomTable.h"
#include "params/NolvaServoDoc.h"
#include "params/ParameterRequests.h"
#include "params/ui/AddRemoveDialog.h"
#include "params/ui/ParameterGrid.h"

#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

CDefParaDialog::CDefParaDialog(CustomTable& table, CNolvaServoDoc& document,
                               const DriveProfile& profile, ParameterRequests& requests,
                               Messenger& messenger, QWidget* parent)
    : CParameterTableWindow(document, profile, requests, messenger, parent), customTable_(table),
      table_(profile.maxMotorSpeed) {
    setWindowTitle(QString::fromUtf8("自定参数"));

    // The contact parameters' help runs to some forty lines: it scrolls inside its box.
    help_ = new QPlainTextEdit(this);
    help_->setObjectName(QStringLiteral("helpText"));
    help_->setReadOnly(true);
    help_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    help_->setFixedHeight(6 * fontMetrics().lineSpacing() + 2 * help_->frameWidth() + 8);

    addRemove_ = MakeDialogButton("加入/移除(&E)...", "addRemoveButton", this);
    LayOut(help_, {addRemove_});

    grid_->setMinimumHeight(grid_->horizontalHeader()->sizeHint().height() +
                            16 * grid_->verticalHeader()->defaultSectionSize());

    connect(write_, &QPushButton::clicked, this, &CDefParaDialog::OnWrite);
    connect(defaults_, &QPushButton::clicked, this, &CDefParaDialog::OnDefaults);
    connect(addRemove_, &QPushButton::clicked, this, &CDefParaDialog::OnAddRemove);
    connect(grid_, &ParameterGrid::valueTyped, this, &CDefParaDialog::OnValueTyped);
    connect(grid_, &QTableWidget::currentCellChanged, this, [this] { ShowHelp(); });

    Reload();
    SyncWithDrive();
}

std::optional<ParamGroup> CDefParaDialog::RequestWindow() const {
    return std::nullopt;
}

bool CDefParaDialog::AdoptMaxSpeed() {
    return table_.AdoptMaxSpeed(document_, profile_);
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
    help_->setPlainText(code.letter != 0 ? ShownText(HelpText(code)) : QString());
}

void CDefParaDialog::Present() {
    BringToFront();
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

void CDefParaDialog::OnWrite() {
    if (!requests_.LinkUp()) {
        return;
    }
    const int row = grid_->FocusRow();
    if (row < 1 || row > table_.RowCount()) {
        messenger_.Show(NoParameterSelectedMessage());
        return;
    }
    const std::optional<ParameterRequest> request = table_.WriteOneRequestOfRow(row);
    if (!request) {
        messenger_.Show(WholeListOnlyMessage(table_.Text(row, TableColumn::Code)));
        return;
    }
    table_.ClearMark(row);
    grid_->SetRowMarked(row, false);
    requests_.PostParameterRequest(*request);
}

void CDefParaDialog::OnDefaults() {
    if (messenger_.Show(DefaultsQuestion()) != MessageAnswer::Ok) {
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
    WarnLater(table_.InvalidValueText(document_, row));
}
