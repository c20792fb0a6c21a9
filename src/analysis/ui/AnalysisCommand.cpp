// The machine characteristic analysis command: its window, modal over the program.

#include "analysis/ui/FraDialog.h"
#include "base/CommandIds.h"
#include "params/ui/ToolWindows.h"

namespace {

const CommandActionRegistration kMachineAnalysis(Command::MachineAnalysis,
                                                 [](CommandActionContext& c) {
                                                     CFRADlg dialog(c, c.owner);
                                                     dialog.exec();
                                                 });

} // namespace
