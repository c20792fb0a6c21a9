#include "DocumentFields.h"

namespace {

void Mark(ParameterSet& set, int32_t seed) {
    int32_t v = seed;
    for (ParamGroup g : {ParamGroup::Control, ParamGroup::Torque, ParamGroup::Speed,
                         ParamGroup::Position, ParamGroup::Quick, ParamGroup::Contact}) {
        for (int32_t& slot : set.Group(g)) {
            slot = v++;
        }
    }
}

template <size_t N> void Mark(std::array<int32_t, N>& table, int32_t seed) {
    for (size_t i = 0; i < N; ++i) {
        table[i] = seed + static_cast<int32_t>(i);
    }
}

} // namespace

bool SameDocument(const CNolvaServoDoc& a, const CNolvaServoDoc& b) {
    return a.versionText == b.versionText && a.statusSnapshot == b.statusSnapshot &&
           a.diagnosticsSnapshot == b.diagnosticsSnapshot &&
           a.alarmHistoryPosition == b.alarmHistoryPosition && a.alarmHistory == b.alarmHistory &&
           a.values == b.values && a.contactsInDrive == b.contactsInDrive &&
           a.reservedA == b.reservedA && a.reservedB == b.reservedB && a.driveInfo == b.driveInfo &&
           a.minimums == b.minimums && a.maximums == b.maximums && a.defaults == b.defaults &&
           a.contentReplaced == b.contentReplaced && a.modified == b.modified &&
           a.transfer == b.transfer;
}

const CNolvaServoDoc& MarkedDocument() {
    static const CNolvaServoDoc marked = [] {
        CNolvaServoDoc d;
        d.OnNewDocument();
        d.versionText = QStringLiteral("marked");
        Mark(d.statusSnapshot, 1000);
        Mark(d.diagnosticsSnapshot, 2000);
        d.alarmHistoryPosition = 7;
        Mark(d.alarmHistory, 3000);
        Mark(d.contactsInDrive, 4000);
        Mark(d.reservedA, 5000);
        Mark(d.reservedB, 6000);
        Mark(d.driveInfo, 7000);
        Mark(d.transfer, 8000);
        d.contentReplaced = false;
        d.modified = true;
        return d;
    }();
    return marked;
}

CNolvaServoDoc WithStoredFields(const CNolvaServoDoc& base, const CNolvaServoDoc& from,
                                bool intoTransfer) {
    CNolvaServoDoc d = base;
    d.statusSnapshot = from.statusSnapshot;
    d.diagnosticsSnapshot = from.diagnosticsSnapshot;
    d.alarmHistoryPosition = from.alarmHistoryPosition;
    d.alarmHistory = from.alarmHistory;
    (intoTransfer ? d.transfer : d.values) = from.values;
    d.reservedA = from.reservedA;
    d.reservedB = from.reservedB;
    return d;
}
