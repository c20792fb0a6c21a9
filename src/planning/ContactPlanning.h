#pragma once

#include "planning/ContactPlan.h"

#include <functional>
#include <optional>

class CNolvaServoDoc;
class DriveConnection;
class TransferProgress;

// The planner window: shown with the drive's contact values, it answers the planned values when
// the user finished, nothing when he cancelled.
using ContactPlanner = std::function<std::optional<ContactValues>(const ContactValues& inDrive)>;

// The contact planning command. Hn501..Hn519 are read from the drive (the read's failure message
// ends it there); `planner` is shown with them; when it finishes, its values become the document's
// contact values (the document is modified when they differ) and Hn501..Hn519 are written back.
// The read and the write each run as a drive operation under Busy, with `progress` (may be null)
// showing them; nothing happens while another operation runs. True when the values were written.
bool PlanContacts(DriveConnection& connection, TransferProgress* progress, CNolvaServoDoc& document,
                  const ContactPlanner& planner);
