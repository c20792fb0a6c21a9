#include "params/ui/ToolWindows.h"

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
