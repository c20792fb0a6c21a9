#include "frame/ToolWindows.h"

namespace {

std::map<int, ToolWindowKind>& Registry() {
    static std::map<int, ToolWindowKind> registry;
    return registry;
}

std::map<int, CommandAction>& Actions() {
    static std::map<int, CommandAction> actions;
    return actions;
}

} // namespace

const std::map<int, ToolWindowKind>& RegisteredToolWindows() {
    return Registry();
}

ToolWindowRegistration::ToolWindowRegistration(int command, ToolWindowKind kind) {
    Registry()[command] = std::move(kind);
}

const std::map<int, CommandAction>& RegisteredCommandActions() {
    return Actions();
}

CommandActionRegistration::CommandActionRegistration(int command, CommandAction action) {
    Actions()[command] = std::move(action);
}

bool RunRegisteredAction(int command, const CommandActionContext& context, QWidget* owner) {
    const auto action = Actions().find(command);
    if (action == Actions().end())
        return false;
    CommandActionContext inner{context.windows, context.connection, context.progress, owner};
    action->second(inner);
    return true;
}
