#include "planning/PositionPlanning.h"

#include "link/DriveOperations.h"
#include "params/DriveConnection.h"
#include "params/NolvaServoDoc.h"
#include "planning/PositionTransfer.h"

namespace {

// Runs the read or the write as an operation, with the progress window for its duration only.
// Refused while another operation runs: this one must end before the command goes on.
bool RunPositionTransfer(DriveConnection& connection, PositionTransfer& transfer,
                         bool (PositionTransfer::*run)()) {
    if (connection.Operations().Running()) {
        return false;
    }
    bool ok = false;
    connection.Operations().RunExclusive([&] { ok = (transfer.*run)(); });
    return ok;
}

} // namespace

bool PlanPositions(DriveConnection& connection, TransferProgress* progress,
                   CNolvaServoDoc& document, Messenger& messenger, const PositionPlanner& planner) {
    PositionTransfer transfer(connection.Access(), connection.Settings(), connection.Profile(),
                              document, messenger);
    transfer.SetProgress(progress);
    if (!RunPositionTransfer(connection, transfer, &PositionTransfer::Read)) {
        return false;
    }
    const std::optional<PositionPlan> planned =
        planner(DecodePositionPlan(PlannerValuesOf(document.values)));
    if (!planned) {
        return false;
    }
    const PlannerValues values = EncodePositionPlan(*planned);
    if (PlannerValuesOf(document.values) != values) {
        SetPlannerValues(document.values, values);
        document.modified = true;
    }
    return RunPositionTransfer(connection, transfer, &PositionTransfer::Write);
}
