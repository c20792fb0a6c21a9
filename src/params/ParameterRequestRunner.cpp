#include "params/ParameterRequestRunner.h"

#include "link/DriveOperations.h"
#include "params/CustomListEditor.h"
#include "params/DriveConnection.h"

ParameterRequestRunner::ParameterRequestRunner(DriveConnection& connection,
                                               const CustomTable& customTable)
    : connection_(connection), customTable_(customTable) {}

void ParameterRequestRunner::PostParameterRequest(const ParameterRequest& request) {
    connection_.Operations().Post([this, request] { Run(request); });
}

bool ParameterRequestRunner::LinkUp() const {
    return connection_.LinkUp();
}

void ParameterRequestRunner::Run(const ParameterRequest& request) {
    // Decoded against the rows as the table window holds them when the request runs.
    const QList<CustomEntry> rows = CustomTableWindowRows(customTable_);
    const ParameterAction action = DecodeParameterRequest(request, rows);
    if (action.kind == ParameterAction::Kind::None) {
        return;
    }
    const ParameterOutcome outcome = RunParameterAction(Transfer(), action, rows);
    if (outcome_) {
        outcome_(action, outcome);
    }
}

ParameterTransfer& ParameterRequestRunner::Transfer() {
    ParameterTransfer& transfer = connection_.Transfer();
    if (progress_) {
        transfer.SetProgress(progress_());
    }
    return transfer;
}

void ParameterRequestRunner::RunTransfer(const std::function<void(ParameterTransfer&)>& job) {
    connection_.Operations().RunExclusive([this, job] { job(Transfer()); });
}

bool ParameterRequestRunner::CopyDriveToFile(const FileQuestion& chooseFile) {
    return Copy(chooseFile, &ParameterTransfer::CopyDriveToFile);
}

bool ParameterRequestRunner::CopyFileToDrive(const FileQuestion& chooseFile) {
    return Copy(chooseFile, &ParameterTransfer::CopyFileToDrive);
}

bool ParameterRequestRunner::Copy(const FileQuestion& chooseFile,
                                  bool (ParameterTransfer::*copy)(const QString&)) {
    // The progress window holds off the user, so only a request already under way can be here.
    if (!connection_.LinkUp() || connection_.Operations().Running()) {
        return false;
    }
    const std::optional<QString> path = chooseFile();
    if (!path || path->isEmpty() || !connection_.LinkUp()) {
        return false;
    }
    bool copied = false;
    connection_.Operations().RunExclusive(
        [this, &copied, copy, file = *path] { copied = (Transfer().*copy)(file); });
    return copied;
}
