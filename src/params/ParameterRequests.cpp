#include "params/ParameterRequests.h"

#include "params/ParameterTransfer.h"

namespace {

constexpr int kFirstCustomWriteOne = ParameterRequest::kWriteOneControl;

// The group a group window's message stands for; false for any other message.
bool GroupOfMessage(int message, ParamGroup* group) {
    for (ParamGroup g :
         {ParamGroup::Control, ParamGroup::Torque, ParamGroup::Speed, ParamGroup::Position}) {
        if (GroupRequestMessage(g) == message) {
            *group = g;
            return true;
        }
    }
    return false;
}

ParameterAction DecodeGroupRequest(ParamGroup group, int request, int argument) {
    ParameterAction action;
    action.group = group;
    switch (request) {
    case ParameterRequest::kWriteOne:
        if (argument >= 1 && argument <= ParameterTransfer::CoveredCount(group)) {
            action.kind = ParameterAction::Kind::WriteOne;
            action.code = ParamCode{GroupInfo(group).letter, argument};
        }
        break;
    case ParameterRequest::kReadAll: action.kind = ParameterAction::Kind::ReadGroup; break;
    case ParameterRequest::kWriteAll: action.kind = ParameterAction::Kind::WriteGroup; break;
    default: break;
    }
    return action;
}

ParameterAction DecodeCustomRequest(int request, int argument,
                                    const QList<CustomEntry>& customRows) {
    ParameterAction action;
    if (request == ParameterRequest::kReadAll) {
        action.kind = ParameterAction::Kind::ReadCustomList;
        return action;
    }
    if (request == ParameterRequest::kWriteAll) {
        action.kind = ParameterAction::Kind::WriteCustomList;
        return action;
    }
    if (request < kFirstCustomWriteOne || request > ParameterRequest::kWriteOnePosition ||
        argument < 1 || argument > customRows.size()) {
        return action;
    }
    // The request names the group, the row names the parameter: both must agree.
    const CustomEntry& entry = customRows[argument - 1];
    const int group = request - kFirstCustomWriteOne; // 0..3: C, T, S, P
    if (entry.Group != group + 1 || entry.Index < 0 || entry.Index >= GroupInfo(group).count) {
        return action;
    }
    action.kind = ParameterAction::Kind::WriteOne;
    action.group = static_cast<ParamGroup>(group);
    action.code = ParamCode{GroupInfo(group).letter, entry.Index + 1};
    action.customRow = argument;
    return action;
}

} // namespace

int GroupRequestMessage(ParamGroup group) {
    switch (group) {
    case ParamGroup::Control: return ParameterRequest::kControlGroup;
    case ParamGroup::Torque: return ParameterRequest::kTorqueGroup;
    case ParamGroup::Speed: return ParameterRequest::kSpeedGroup;
    case ParamGroup::Position: return ParameterRequest::kPositionGroup;
    default: return 0;
    }
}

int CustomWriteOneRequest(int customGroup) {
    return customGroup >= 1 && customGroup <= 4 ? kFirstCustomWriteOne + customGroup - 1 : 0;
}

ParameterAction DecodeParameterRequest(int message, int request, int argument,
                                       const QList<CustomEntry>& customRows) {
    ParamGroup group = ParamGroup::Control;
    if (GroupOfMessage(message, &group)) {
        return DecodeGroupRequest(group, request, argument);
    }
    if (message == ParameterRequest::kCustomList) {
        return DecodeCustomRequest(request, argument, customRows);
    }
    return {};
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
