#pragma once

#include <QString>

#include <cstdint>

// Texts of the drive status shown in the status bar.

// The alarm named by the lowest set bit of the alarm word; "无异常警报发生。" when none is set.
QString AlarmText(uint16_t alarmWord);

// Control mode by the value of dn-01: "T", "S", "Pe", "Pe-S", "S-T", "Pe-T", "Pi"; empty for
// any other value.
QString ControlModeText(int32_t controlMode);

// Software version as "major.minor": 258 -> "2.58", 5 -> "0.05".
QString VersionText(int32_t version);
