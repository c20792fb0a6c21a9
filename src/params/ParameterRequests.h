#pragma once

#include "drive/ParamCode.h"
#include "params/CustomTable.h"

#include <QList>

#include <optional>

class ParameterTransfer;

// What a parameter window asks of the main view. A window never touches the link: it posts a
// request, and the view runs the transfer later on the event loop with Busy set, then tells the
// window what changed.
struct ParameterRequest {
    enum class Kind { ReadAll, WriteAll, WriteOne };
    Kind kind = Kind::ReadAll;
    // The group window that asks (control, torque, speed or position); empty: the custom table.
    std::optional<ParamGroup> groupWindow;
    // WriteOne: the window's row (1-based).
    int row = 0;
    // WriteOne from the custom table: the group of the row as the window showed it. The row is
    // looked up again when the request runs and must still name a parameter of this group.
    ParamGroup rowGroup = ParamGroup::Control;

    static ParameterRequest ReadAll(std::optional<ParamGroup> groupWindow) {
        return {Kind::ReadAll, groupWindow};
    }
    static ParameterRequest WriteAll(std::optional<ParamGroup> groupWindow) {
        return {Kind::WriteAll, groupWindow};
    }
    static ParameterRequest WriteGroupRow(ParamGroup groupWindow, int row) {
        return {Kind::WriteOne, groupWindow, row};
    }
    static ParameterRequest WriteCustomRow(int row, ParamGroup rowGroup) {
        return {Kind::WriteOne, std::nullopt, row, rowGroup};
    }
    bool operator==(const ParameterRequest&) const = default;
};

// The control, torque, speed and position groups each have a window of their own.
bool HasGroupWindow(ParamGroup group);

// What the parameter windows need of the main view.
class ParameterRequests {
public:
    virtual ~ParameterRequests() = default;
    // Queue a request; it runs after the current event, under Busy.
    virtual void PostParameterRequest(const ParameterRequest& request) = 0;
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

// A window that is not a group window, a row outside the group window's rows, a custom row that
// does not exist or whose group is not the request's, a custom write of a quick or contact row:
// Kind::None.
ParameterAction DecodeParameterRequest(const ParameterRequest& request,
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
