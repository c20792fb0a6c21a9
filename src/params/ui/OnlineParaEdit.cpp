// The online editor's command: the editor on the view's drive connection, in its modal window.

#include "params/ui/OnlineParaEdit.h"

#include "base/CommandIds.h"
#include "params/OnlineEditor.h"
#include "params/ui/OnlineParaEditDialog.h"
#include "params/ui/ToolWindows.h"

void RunOnlineParaEdit(CommandActionContext& context, QWidget* parent) {
    ToolWindowContext& windows = context.windows;
    OnlineEditor editor(context.connection, windows.profile, windows.messenger,
                        windows.onlineCodes);
    editor.RefreshFromDrive();
    COnlineParaEdit dialog(editor, windows.profile, windows.messenger, parent);
    dialog.exec();
}

namespace {

const CommandActionRegistration kOnlineEditing(Command::OnlineEditing,
                                               [](CommandActionContext& context) {
                                                   RunOnlineParaEdit(context, context.owner);
                                               });

} // namespace
