// The online editor's command as the program runs it: registered as a command action, and opened
// from the trace window's button through that registration, owned by the trace window.

#include "support/AppHarness.h"

#include "base/CommandIds.h"
#include "frame/ToolWindows.h"
#include "online/ui/OnlineParaEditDialog.h"
#include "support/ParameterWindowSupport.h"
#include "trace/ui/TraceGraphDialog.h"

namespace {

TEST(OnlineEditingCommand, IsARegisteredCommandAction) {
    EXPECT_EQ(RegisteredCommandActions().count(Command::OnlineEditing), 1u);
}

TEST(OnlineEditingCommand, TraceWindowButtonOpensTheEditorOverItself) {
    AppHarness h;
    ASSERT_TRUE(h.Start(AppHarness::Connected()));
    ASSERT_TRUE(h.TickUntil([&] { return h.Session().LinkUp(); }, AppHarness::kTicksToConnect));

    bool traceShown = false;
    bool editorShown = false;
    QWidget* editorOwner = nullptr;
    QWidget* traceWindow = nullptr;
    WhenModal<CTraceGraphDialog>([&](CTraceGraphDialog& trace) {
        traceShown = true;
        traceWindow = &trace;
        WhenModal<COnlineParaEdit>([&](COnlineParaEdit& editor) {
            editorShown = true;
            editorOwner = editor.parentWidget();
            Button(editor, "closeButton")->click();
        });
        Button(trace, "onlineButton")->click();
        trace.reject();
    });
    ASSERT_TRUE(h.Frame().Trigger(Command::Trace));
    ASSERT_TRUE(traceShown);
    EXPECT_TRUE(editorShown) << "the trace window's button opened no online editor";
    EXPECT_EQ(editorOwner, traceWindow);
    EXPECT_TRUE(h.messenger.messages.isEmpty());
}

} // namespace
