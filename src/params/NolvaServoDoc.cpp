#include "params/NolvaServoDoc.h"

#include "params/ParameterCatalogue.h"

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
