#pragma once

#include "params/NolvaServoDoc.h"

// Every field of the document compared, so that a reader that touches anything it should not is
// seen, whatever the field.
bool SameDocument(const CNolvaServoDoc& a, const CNolvaServoDoc& b);

// A document whose every field holds something other than its default: a reader that
// overwrites a field it should leave alone (even with zeros or defaults) changes it visibly.
const CNolvaServoDoc& MarkedDocument();

// `base` with the fields a parameter file stores taken from `from`: the snapshots, the alarm
// history and its position, the parameter values (or, for `intoTransfer`, the transfer buffers
// from `from`'s values) and the reserved tables.
CNolvaServoDoc WithStoredFields(const CNolvaServoDoc& base, const CNolvaServoDoc& from,
                                bool intoTransfer);
