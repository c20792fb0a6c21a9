// The online editor's command: the editor on the view's drive connection, in its modal window.
// Its menu command runs it, and the trace window runs it through the same registration.

#include "base/CommandIds.h"
#include "frame/ToolWindows.h"
#include "online/OnlineEditor.h"
#include "online/ui/OnlineParaEditDialog.h"

namespace {

void RunOnlineParaEdit(CommandActionContext& context) {
    ToolWindowContext& windows = context.windows;
    OnlineEditor editor(context.connection, windows.profile, windows.messenger,
                        windows.services.Get<OnlinePanelCodes>());
    editor.RefreshFromDrive();
    COnlineParaEdit dialog(editor, windows.profile, windows.messenger, context.owner);
    dialog.exec();
}

const CommandActionRegistration kOnlineEditing(Command::OnlineEditing, RunOnlineParaEdit);

} // namespace
