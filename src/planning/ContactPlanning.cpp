#include "planning/ContactPlanning.h"

#include "link/DriveOperations.h"
#include "params/DriveConnection.h"
#include "params/NolvaServoDoc.h"

namespace {

// Runs a transfer of the contacts as an operation, with the progress window for its duration
// only: the diagnostics read the same contacts without one. Refused while another operation runs:
// this one must end before the command goes on.
bool RunContactTransfer(DriveConnection& connection, TransferProgress* progress,
                        bool (ContactTransfer::*transfer)()) {
    if (connection.Operations().Running()) {
        return false;
    }
    bool ok = false;
    connection.Operations().RunExclusive([&] {
        ContactTransfer& contacts = connection.Contacts();
        contacts.SetProgress(progress);
        ok = (contacts.*transfer)();
        contacts.SetProgress(nullptr);
    });
    return ok;
}

} // namespace

bool PlanContacts(DriveConnection& connection, TransferProgress* progress, CNolvaServoDoc& document,
                  const ContactPlanner& planner) {
    if (!RunContactTransfer(connection, progress, &ContactTransfer::Read)) {
        return false;
    }
    const std::optional<ContactValues> planned = planner(document.contactsInDrive);
    if (!planned) {
        return false;
    }
    if (document.values.contact != *planned) {
        document.values.contact = *planned;
        document.modified = true;
    }
    return RunContactTransfer(connection, progress, &ContactTransfer::Write);
}
