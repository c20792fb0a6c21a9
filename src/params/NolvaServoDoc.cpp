#include "params/NolvaServoDoc.h"

#include "drive/ParameterCatalogue.h"

CNolvaServoDoc::CNolvaServoDoc(const DriveProfile& profile) {
    FillParameterDefaults(*this, profile);
    FillParameterRanges(*this, profile);
}

bool CNolvaServoDoc::OnNewDocument() {
    statusSnapshot.fill(0);
    diagnosticsSnapshot.fill(0);
    alarmHistory.fill(0);
    values = defaults;
    contactsInDrive = defaults.contact;
    alarmHistoryPosition = 0;
    reservedA.fill(0);
    reservedB.fill(0);
    driveInfo.fill(0);
    contentReplaced = true;
    return true;
}

void FillParameterRanges(CNolvaServoDoc& document, const DriveProfile& profile) {
    FillRangeTables(document.minimums, document.maximums, profile);
}

void FillParameterDefaults(CNolvaServoDoc& document, const DriveProfile& profile) {
    FillDefaultTable(document.defaults, profile);
}
