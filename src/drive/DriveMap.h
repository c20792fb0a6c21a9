#pragma once

// Where the drive keeps what the program reads and writes: 16 pages of 256 words, each page
// named by a character '0'..'9', 'A'..'F'. Parameters live on page '5' at their parameter index
// (the catalogue holds those); this map holds every other location the program and the
// simulated drive use, so that each is written once.

struct DriveLocation {
    char page;
    int location;
};

namespace DriveMap {

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

// Live parameter copies, the mailbox and the drive's facts.
inline constexpr char kParameterPage = '5';
// Status words and monitor values.
inline constexpr char kStatusPage = '6';

// The parameter mailbox on page '5': a command of 1 stores the value at the store index into
// the parameter's stored copy; 2 fetches the stored word of the fetch index into the result.
inline constexpr int kMailboxCommand = 0x70;
inline constexpr int kMailboxStoreIndex = 0x71;
inline constexpr int kMailboxStoreValue = 0x72;
inline constexpr int kMailboxFetchIndex = 0x73;
inline constexpr int kMailboxFetchResult = 0x74;
inline constexpr int kMailboxStore = 1;
inline constexpr int kMailboxFetch = 2;

// The drive's facts and state, read by the status poll.
inline constexpr DriveLocation kModelCode{kParameterPage, 0x0C};       // drive and motor code
inline constexpr DriveLocation kControlMode{kParameterPage, 0x10};     // dn-01, Cn001's live copy
inline constexpr DriveLocation kMaxMotorSpeed{kParameterPage, 0x47};   // N in rpm
inline constexpr DriveLocation kSoftwareVersion{kParameterPage, 0xE2}; // dn-04
inline constexpr DriveLocation kAlarmBits{kStatusPage, 0x60};          // one bit per alarm
inline constexpr DriveLocation kServoState{kStatusPage, 0x66};         // bit 0: servo on
// dn-03; a good read of it is the probe that tells a drive is on the line.
inline constexpr DriveLocation kInputContacts{kStatusPage, 0xCB};
// 2 while the drive is in the state the servo-state query reports as 2.
inline constexpr DriveLocation kServoStateQuery{'A', 0x98};

// Words whose values go through the codec rather than being taken unsigned.
inline constexpr DriveLocation kSpeedCommand1{kParameterPage, 0x36}; // Sn201's live copy
inline constexpr DriveLocation kTuningSpeed{kParameterPage, 0xD4};   // O 6
inline constexpr DriveLocation kTuningValue{kParameterPage, 0xD3};   // O 7, scaled by N
inline constexpr DriveLocation kTuningResult{kParameterPage, 0xD2};  // O 8
inline constexpr DriveLocation kMotorSpeed{kStatusPage, 0xE4};       // Un-01, speed feedback
inline constexpr DriveLocation kJogSpeed{kStatusPage, 0x0B}; // written once, at JOG entry

// JOG: the mode switch (1 while the JOG window is open) and the enable switch (1: the motor turns
// at Sn201 while the servo is on).
inline constexpr DriveLocation kJogMode{kStatusPage, 0x0A};
inline constexpr DriveLocation kJogEnable{kStatusPage, 0x3E};

// Automatic gain tuning: 1 runs the off-line test pattern while the servo is on; the drive's
// estimate of the load inertia ratio (Un-19, 0.1 units) is read from page '8'.
inline constexpr DriveLocation kOfflineTuning{kParameterPage, 0xDC};
inline constexpr DriveLocation kInertiaEstimate{'8', 0x44};
// Bits 8..11 of Cn002: 1 turns automatic gain tuning on.
inline constexpr int kAutoTuningBits = 0x0F00;
inline constexpr int kAutoTuningOn = 0x0100;

// A write of 1 makes the drive measure and cancel the offset of its analog command input.
inline constexpr DriveLocation kAutoOffset{kParameterPage, 0xFC};

// The frequency response run on page 'A'. The run control word is written 1 to start a run and 0
// to end it, and reads 2 while a half of the record waits in the buffer; the half word then tells
// which half (0 the first, 2 the second) and is written 1 and 0 as each half has been fetched.
inline constexpr DriveLocation kRunLoadTorque{'A', 0x92};   // percent, codec M 10
inline constexpr DriveLocation kRunControl = kServoStateQuery;
inline constexpr DriveLocation kRunHalf{'A', 0x99};
inline constexpr DriveLocation kRunClearFirst{'A', 0x9A};   // written 0 before every start
inline constexpr DriveLocation kRunSpeedSetting{'A', 0x9C}; // rpm, codec M 1
inline constexpr DriveLocation kRunClearSecond{'A', 0x9E};  // written 0 before and after a run
// The half-record buffer: 512 pairs of torque (even location) and speed (odd location) words over
// pages '0'..'3', page '0' location 0 first.
inline constexpr char kRecordPages[] = {'0', '1', '2', '3'};

// A write of 1 here makes the drive take over a changed regenerative resistor setting (Cn012).
inline constexpr DriveLocation kCommitWord{'7', 0xCE};

} // namespace DriveMap
