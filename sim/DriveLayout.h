#pragma once

// The simulated drive's memory as the drive's documentation lays it out: 16 pages of 256 words,
// each page named by a character '0'..'9', 'A'..'F'. Parameters live on page '5' at their
// parameter index (sim/RegisterMap.h holds those); this names every other word the simulated
// drive answers for. The drive keeps its own copy of these facts, apart from the program's, so
// that a wrong location on either side shows as a disagreement instead of passing unseen.

// One word of the drive's memory: a page character and a location 0..255.
struct WordAddress {
    char page;
    int location;
};

namespace DriveLayout {

inline constexpr int kPageCount = 16;
inline constexpr int kPageSize = 256;

// 0..15 of a page character, -1 for anything else.
constexpr int PageNumber(char page) {
    if (page >= '0' && page <= '9') {
        return page - '0';
    }
    if (page >= 'A' && page <= 'F') {
        return page - 'A' + 10;
    }
    return -1;
}

// Page '5': the live copy of every parameter at its index, the mailbox and the drive's facts.
inline constexpr char kParameterPage = '5';

// The parameter mailbox: a command of 1 stores the store value into the stored copy of the
// store index; 2 fetches the stored word of the fetch index into the fetch result.
inline constexpr int kMailboxCommand = 0x70;
inline constexpr int kMailboxStoreIndex = 0x71;
inline constexpr int kMailboxStoreValue = 0x72;
inline constexpr int kMailboxFetchIndex = 0x73;
inline constexpr int kMailboxFetchResult = 0x74;
inline constexpr int kMailboxStore = 1;
inline constexpr int kMailboxFetch = 2;

// The drive's identity.
inline constexpr WordAddress kModelCode{'5', 0x0C};       // drive and motor code
inline constexpr WordAddress kMaxMotorSpeed{'5', 0x47};   // N in rpm
inline constexpr WordAddress kSoftwareVersion{'5', 0xE2}; // dn-04, 258 is 2.58

// The drive's state.
inline constexpr WordAddress kAlarmBits{'6', 0x60};  // one bit per alarm, bit n-1 for alarm n
inline constexpr WordAddress kServoState{'6', 0x66}; // bit 0: servo on

// JOG: the enable switch (1: the motor turns at Sn201 while the servo is on).
inline constexpr WordAddress kJogEnable{'6', 0x3E};

// Gain tuning: the off-line test pattern (kept like parameters, so the mailbox stores them) and
// its switch, and the bits of Cn002 that choose on-line tuning.
inline constexpr WordAddress kTuningMaxSpeed{'5', 0xD4};     // rpm, speed scaled
inline constexpr WordAddress kTuningAcceleration{'5', 0xD3}; // rpm/s, scaled by N
inline constexpr WordAddress kTuningHoldTime{'5', 0xD2};     // 0.1 ms
inline constexpr WordAddress kOfflineTuning{'5', 0xDC};
inline constexpr int kAutoTuningBits = 0x0F00;
inline constexpr int kAutoTuningOn = 0x0100;

// The frequency response run on page 'A': the run control word is written 1 to start and 0 to
// end and reads 2 while a half of the record waits; the half word tells which half (0 the first,
// 2 the second) and is written 1 and 0 as each half has been fetched.
inline constexpr WordAddress kRunLoadTorque{'A', 0x92}; // 4096 = 100 %
inline constexpr WordAddress kRunControl{'A', 0x98};
inline constexpr WordAddress kRunHalf{'A', 0x99};
inline constexpr WordAddress kRunSpeedSetting{'A', 0x9C}; // 16384 = N
// The half-record buffer: 512 pairs of torque (even location) and speed (odd location) words
// over these pages, page '0' location 0 first.
inline constexpr char kRecordPages[] = {'0', '1', '2', '3'};

} // namespace DriveLayout
