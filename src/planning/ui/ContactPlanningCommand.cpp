// The contact planning command: read the contacts, plan them in the window, write them back.

#include "base/CommandIds.h"
#include "frame/ToolWindows.h"
#include "planning/ContactPlanning.h"
#include "planning/ui/InOutParaDialog.h"

namespace {

const CommandActionRegistration
    kContactPlanning(Command::ContactPlanning, [](CommandActionContext& c) {
        PlanContacts(c.connection, &c.progress, c.windows.document,
                     [&c](const ContactValues& inDrive) -> std::optional<ContactValues> {
                         CInOutParaDialog dialog(inDrive, c.owner);
                         if (dialog.exec() != QDialog::Accepted)
                             return std::nullopt;
                         return dialog.Values();
                     });
    });

} // namespace
