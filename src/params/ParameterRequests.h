#pragma once

#include "params/CustomTable.h"
#include "drive/ParamCode.h"

#include <QList>

class ParameterTransfer;

// Requests the parameter windows put to the main view. A window never touches the link: it posts
// a message code, a request and an argument, and the view runs the transfer later on the event
// loop with Busy set, then tells the window what changed.
namespace ParameterRequest {

// Message codes: one per group window, one for the custom parameter table.
inline constexpr int kControlGroup = 0x4C8;  // Cn001..Cn016
inline constexpr int kTorqueGroup = 0x52C;   // Tn101..Tn107
inline constexpr int kSpeedGroup = 0x590;    // Sn201..Sn216
inline constexpr int kPositionGroup = 0x5F4; // Pn301..Pn310
inline constexpr int kCustomList = 0x658;

// Requests (the message's first argument).
inline constexpr int kWriteOne = 1; // group windows; the argument is the parameter number
inline constexpr int kReadAll = 2;  // the whole group, or every row of the custom table
inline constexpr int kWriteAll = 3;
// Custom table: write one control / torque / speed / position parameter; the argument is the
// table row (1-based), whose entry names the parameter. Quick and contact rows have no request.
inline constexpr int kWriteOneControl = 11;
inline constexpr int kWriteOneTorque = 12;
inline constexpr int kWriteOneSpeed = 13;
inline constexpr int kWriteOnePosition = 14;

} // namespace ParameterRequest

// Message code of a group window: control, torque, speed and position; 0 for the others.
int GroupRequestMessage(ParamGroup group);
// Custom table request that writes one parameter of custom-list group 1..4 (11..14); 0 for the
// quick and contact groups (5, 6) and anything else.
int CustomWriteOneRequest(int customGroup);

// What the parameter windows need of the main view.
class ParameterRequests {
public:
    virtual ~ParameterRequests() = default;
    // Queue a request; it runs after the current event, under Busy.
    virtual void PostParameterRequest(int message, int request, int argument) = 0;
    // Whether a drive is linked: the windows' drive buttons follow it.
    virtual bool LinkUp() const = 0;
};

// A request decoded against the custom table's rows as the window shows them.
struct ParameterAction {
    enum class Kind { None, WriteOne, ReadGroup, WriteGroup, ReadCustomList, WriteCustomList };
    Kind kind = Kind::None;
    ParamGroup group = ParamGroup::Control; // ReadGroup, WriteGroup
    ParamCode code;                         // WriteOne
    int customRow = 0;                      // WriteOne from the custom table: its row (1-based)
    bool operator==(const ParameterAction&) const = default;
};

// Requests outside the tables above, a parameter number outside the group window's rows, a
// custom row that does not exist or whose group is not the request's: Kind::None.
ParameterAction DecodeParameterRequest(int message, int request, int argument,
                                       const QList<CustomEntry>& customRows);

// What the view shows after a request ran.
struct ParameterOutcome {
    bool ran = false;        // something was attempted
    bool ok = false;         // it completed
    bool groupRead = false;  // the group window of `action.group` shows the document's values again
    bool customRead = false; // the custom table shows the document's values again
    int failedCustomRow = 0; // a single write from the custom table failed: mark this row
};

// Runs a decoded request through the transfer (which reports failures and successes itself).
ParameterOutcome RunParameterAction(ParameterTransfer& transfer, const ParameterAction& action,
                                    const QList<CustomEntry>& customRows);
