#pragma once

#include "drive/DriveProfile.h"
#include "drive/ParameterSet.h"

#include <QString>

#include <array>
#include <cstdint>

// The one parameter set the program works on: the values of all 161 parameters (display form),
// their ranges and defaults for the current drive, a snapshot of the monitor values, and the
// buffers a parameter file passes through on its way to or from the drive.
class CNolvaServoDoc {
public:
    // Text at the head of every parameter file.
    static constexpr const char* kVersionText = "Orvan Servo Ver:0.9.080331";

    explicit CNolvaServoDoc(const DriveProfile& profile = {});

    // Every value back to its default, snapshots and reserved tables cleared.
    bool OnNewDocument();

    QString versionText = QString::fromLatin1(kVersionText);
    std::array<int32_t, 20> statusSnapshot{};      // slot n-1: Un-n as last read
    std::array<int32_t, 20> diagnosticsSnapshot{}; // slot n-1: dn-n
    int32_t alarmHistoryPosition = 0;              // ring position of the alarm history
    std::array<int32_t, 20> alarmHistory{};        // ring of ten entries
    ParameterSet values;                           // display values, never raw words
    std::array<int32_t, 20> contactsInDrive{};     // contact functions as the drive last held them
    std::array<int32_t, 256> reservedA{};          // kept, loaded and saved unchanged
    std::array<int32_t, 256> reservedB{};
    std::array<int32_t, 4> driveInfo{}; // [3]: model code read at connect
    ParameterSet minimums;
    ParameterSet maximums;
    ParameterSet defaults;
    bool contentReplaced = false; // the whole set was replaced; the editor reloads and clears it
    bool modified = false;        // changed since it was last opened, saved or made new
    ParameterSet transfer;        // a parameter set being copied between a file and the drive
};

// Range and default tables of a document for the given drive.
void FillParameterRanges(CNolvaServoDoc& document, const DriveProfile& profile);
void FillParameterDefaults(CNolvaServoDoc& document, const DriveProfile& profile);
