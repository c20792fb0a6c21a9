#include "params/ui/ParaGroupDialog.h"

#include "base/Messenger.h"
#include "params/NolvaServoDoc.h"
#include "params/ParameterRequests.h"
#include "params/ui/ParameterGrid.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>

CParaGroupDialog::CParaGroupDialog(ParamGroup group, CNolvaServoDoc& document,
                                   const DriveProfile& profile, ParameterRequests& requests,
                                   Messenger& messenger, QWidget* parent)
    : CParameterTableWindow(document, profile, requests, messenger, parent),
      table_(group, document, profile.maxMotorSpeed) {
    setWindowTitle(table_.Title());

    note_ = new QLabel(this); // a text area below the grid, empty
    note_->setObjectName(QStringLiteral("note"));
    LayOut(note_, {});

    const int rows = grid_->horizontalHeader()->sizeHint().height() +
                     table_.RowCount() * grid_->verticalHeader()->defaultSectionSize();
    // Its width follows the columns (the grid keeps them in view).
    grid_->setMinimumHeight(rows + 2 * grid_->frameWidth());

    connect(write_, &QPushButton::clicked, this, &CParaGroupDialog::OnWrite);
    connect(defaults_, &QPushButton::clicked, this, &CParaGroupDialog::OnDefaults);
    connect(grid_, &ParameterGrid::valueTyped, this, &CParaGroupDialog::OnValueTyped);

    ShowTable();
    SyncWithDrive();
}

std::optional<ParamGroup> CParaGroupDialog::RequestWindow() const {
    return Group();
}

bool CParaGroupDialog::AdoptMaxSpeed() {
    return table_.AdoptMaxSpeed(document_, profile_);
}

void CParaGroupDialog::ShowTable() {
    grid_->ShowTable(table_);
}

void CParaGroupDialog::Present() {
    BringToFront();
    RefreshValues();
    SyncWithDrive();
}

void CParaGroupDialog::RefreshValues() {
    table_.RefreshValues(document_);
    ShowTable();
}

void CParaGroupDialog::OnWrite() {
    const int row = grid_->FocusRow();
    if (row >= 1 && row <= table_.RowCount()) {
        requests_.PostParameterRequest(ParameterRequest::WriteGroupRow(Group(), row));
        return;
    }
    messenger_.Show(NoParameterSelectedMessage());
}

void CParaGroupDialog::OnDefaults() {
    if (messenger_.Show(DefaultsQuestion()) != MessageAnswer::Ok) {
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
    WarnLater(table_.InvalidValueText(document_, row));
}
