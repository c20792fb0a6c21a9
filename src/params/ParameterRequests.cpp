#include "params/ParameterRequests.h"

#include "params/ParameterTransfer.h"

namespace {

ParameterAction DecodeGroupRequest(ParamGroup group, const ParameterRequest& request) {
    ParameterAction action;
    if (!HasGroupWindow(group)) {
        return action;
    }
    action.group = group;
    switch (request.kind) {
    case ParameterRequest::Kind::WriteOne:
        if (request.row >= 1 && request.row <= ParameterTransfer::CoveredCount(group)) {
            action.kind = ParameterAction::Kind::WriteOne;
            action.code = ParamCode{GroupInfo(group).letter, request.row};
        }
        break;
    case ParameterRequest::Kind::ReadAll: action.kind = ParameterAction::Kind::ReadGroup; break;
    case ParameterRequest::Kind::WriteAll: action.kind = ParameterAction::Kind::WriteGroup; break;
    }
    return action;
}

ParameterAction DecodeCustomRequest(const ParameterRequest& request,
                                    const QList<CustomEntry>& customRows) {
    ParameterAction action;
    switch (request.kind) {
    case ParameterRequest::Kind::ReadAll:
        action.kind = ParameterAction::Kind::ReadCustomList;
        return action;
    case ParameterRequest::Kind::WriteAll:
        action.kind = ParameterAction::Kind::WriteCustomList;
        return action;
    case ParameterRequest::Kind::WriteOne: break;
    }
    const ParamGroup group = request.rowGroup;
    if (!HasGroupWindow(group) || request.row < 1 || request.row > customRows.size()) {
        return action;
    }
    // The request names the group, the row names the parameter: both must agree.
    const CustomEntry& entry = customRows[request.row - 1];
    if (entry.Group != static_cast<int>(group) + 1 || entry.Index < 0 ||
        entry.Index >= GroupInfo(group).count) {
        return action;
    }
    action.kind = ParameterAction::Kind::WriteOne;
    action.group = group;
    action.code = ParamCode{GroupInfo(group).letter, entry.Index + 1};
    action.customRow = request.row;
    return action;
}

} // namespace

bool HasGroupWindow(ParamGroup group) {
    switch (group) {
    case ParamGroup::Control:
    case ParamGroup::Torque:
    case ParamGroup::Speed:
    case ParamGroup::Position: return true;
    default: return false;
    }
}

ParameterAction DecodeParameterRequest(const ParameterRequest& request,
                                       const QList<CustomEntry>& customRows) {
    if (request.groupWindow) {
        return DecodeGroupRequest(*request.groupWindow, request);
    }
    return DecodeCustomRequest(request, customRows);
}

ParameterOutcome RunParameterAction(ParameterTransfer& transfer, const ParameterAction& action,
                                    const QList<CustomEntry>& customRows) {
    using Kind = ParameterAction::Kind;
    ParameterOutcome outcome;
    outcome.ran = action.kind != Kind::None;
    switch (action.kind) {
    case Kind::None: break;
    case Kind::WriteOne:
        outcome.ok = transfer.WriteOne(action.code);
        if (!outcome.ok && action.customRow > 0) {
            outcome.failedCustomRow = action.customRow;
        }
        break;
    case Kind::ReadGroup:
        outcome.ok = transfer.ReadGroup(action.group);
        outcome.groupRead = outcome.ok;
        break;
    case Kind::WriteGroup: outcome.ok = transfer.WriteGroup(action.group); break;
    case Kind::ReadCustomList:
        outcome.ok = transfer.ReadCustomList(customRows);
        outcome.customRead = outcome.ok;
        break;
    case Kind::WriteCustomList: outcome.ok = transfer.WriteCustomList(customRows); break;
    }
    return outcome;
}
