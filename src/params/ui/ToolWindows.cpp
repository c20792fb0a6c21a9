#include "params/ui/ToolWindows.h"

namespace {

std::map<int, ToolWindowKind>& Registry() {
    static std::map<int, ToolWindowKind> registry;
    return registry;
}

} // namespace

const std::map<int, ToolWindowKind>& RegisteredToolWindows() {
    return Registry();
}

ToolWindowRegistration::ToolWindowRegistration(int command, ToolWindowKind kind) {
    Registry()[command] = std::move(kind);
}
