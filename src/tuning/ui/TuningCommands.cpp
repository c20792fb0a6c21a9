// The tuning subsystem's commands: the JOG window, automatic gain tuning and automatic offset
// adjustment.

#include "base/CommandIds.h"
#include "frame/ToolWindows.h"
#include "params/DriveConnection.h"
#include "tuning/AutoOffset.h"
#include "tuning/AutoTuning.h"
#include "tuning/JogControl.h"
#include "tuning/ui/AutoTuningDialogs.h"
#include "tuning/ui/JogDialog.h"

namespace {

// The JOG window opens only after the entry writes succeeded; it stays open when the link drops
// (it shows that the drive is not reached).
QWidget* MakeJogWindow(ToolWindowContext& c, QWidget* owner) {
    auto control = std::make_unique<JogControl>(c.connection);
    if (!c.connection.LinkUp() || !control->Enter())
        return nullptr;
    return new CJogDialog(std::move(control), c.profile, c.messenger, c.tickers, owner);
}

const ToolWindowRegistration kJog(Command::Jog, {MakeJogWindow, PresentAs<CJogDialog>});

const CommandActionRegistration kAutoTuning(Command::AutoTuning, [](CommandActionContext& c) {
    ToolWindowContext& w = c.windows;
    RunAutoTuning(c.connection, w.profile, w.messenger,
                  ProgramTuningDialogs(c.connection, w.profile, w.messenger, w.tickers, c.owner));
});

const CommandActionRegistration kAutoOffset(Command::AutoOffset, [](CommandActionContext& c) {
    RunAutoOffset(c.connection, c.windows.messenger);
});

} // namespace
