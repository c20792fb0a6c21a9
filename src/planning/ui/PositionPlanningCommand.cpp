// The position planning command: read the 50 parameters, plan them in the window, write them back.

#include "base/CommandIds.h"
#include "frame/ToolWindows.h"
#include "planning/PositionPlanning.h"
#include "planning/ui/PositionCommDialog.h"

namespace {

const CommandActionRegistration
    kPositionPlanning(Command::PositionPlanning, [](CommandActionContext& c) {
        PlanPositions(c.connection, &c.progress, c.windows.document, c.windows.messenger,
                      [&c](const PositionPlan& inDrive) -> std::optional<PositionPlan> {
                          CPositionCommDialog dialog(inDrive, c.owner);
                          if (dialog.exec() != QDialog::Accepted)
                              return std::nullopt;
                          return dialog.Plan();
                      });
    });

} // namespace
