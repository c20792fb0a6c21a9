#include "params/ui/RequestOutcome.h"

#include "params/ParameterRequests.h"
#include "params/ui/DefParaDialog.h"
#include "params/ui/ParaGroupDialog.h"

void ShowRequestOutcome(const ParameterAction& action, const ParameterOutcome& outcome,
                        CParaGroupDialog* groupWindow, CDefParaDialog* customWindow) {
    if (outcome.groupRead && groupWindow != nullptr && groupWindow->Group() == action.group) {
        groupWindow->RefreshValues();
    }
    if (outcome.customRead && customWindow != nullptr) {
        customWindow->RefreshValues();
    }
    if (outcome.failedCustomRow > 0 && customWindow != nullptr) {
        customWindow->MarkRowFailed(outcome.failedCustomRow);
    }
}
