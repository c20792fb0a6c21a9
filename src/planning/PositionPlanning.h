#pragma once

#include "planning/PositionPlan.h"

#include <functional>
#include <optional>

class CNolvaServoDoc;
class DriveConnection;
class Messenger;
class TransferProgress;

// The planner window: shown with the plan the drive holds, it answers the plan the user confirmed,
// nothing when he cancelled.
using PositionPlanner = std::function<std::optional<PositionPlan>(const PositionPlan& inDrive)>;

// The position planning command. The 50 parameters are read from the drive into the document (the
// read's failure message ends it there; a completed read stays in the document even when the
// planner is then cancelled); `planner` is shown with them; when it confirms, its plan becomes the
// document's values (modified when they differ) and all 50 are written back. The read and the
// write each run as a drive operation under Busy, with `progress` (may be null) showing them;
// nothing happens while another operation runs. True when the values were written.
bool PlanPositions(DriveConnection& connection, TransferProgress* progress,
                   CNolvaServoDoc& document, Messenger& messenger, const PositionPlanner& planner);
