#pragma once

#include "sim/DriveLayout.h"
#include "sim/Scaling.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <span>

// The simulated drive's own register map, from the drive's parameter list: for every parameter
// its mailbox index (which is also the page-'5' location of its live copy), its Modbus register,
// its scaling, its range and its factory default; and where the status values and diagnostics
// are kept. The drive answers from this map alone.

// What a drive knows about itself that ranges and defaults depend on.
struct DriveFacts {
    int32_t maxMotorSpeed; // N, rpm
    int32_t encoderPulses; // per revolution
    int32_t modelCode;     // Cn030
};

// A range limit or a default as the parameter list gives it: a number, or a fact of the drive.
struct ListedValue {
    enum Source : uint8_t {
        Number,
        MaxSpeed,        // N
        MinusMaxSpeed,   // -N
        ThirdOfMaxSpeed, // N / 3, integer division
        MaxSpeed102,     // N × 1.02, truncated
        EncoderPulses,
        ModelCode,
    };
    Source source = Number;
    int32_t number = 0;

    int32_t Resolve(const DriveFacts& drive) const;
};

// A parameter's code: group letter ('C', 'T', 'S', 'P', 'q', 'H') and number within the group.
struct RegisterCode {
    char letter = 0;
    int number = 0;
};

// One parameter of the drive. A two-word parameter keeps its high half at `index` and its low
// half at index + 1. A quick parameter (group 'q') has no words of its own: it is its twin.
struct RegisterRow {
    char letter;
    int number;
    int index;
    Scaling scaling;
    ListedValue min;
    ListedValue max;
    ListedValue defaultValue;
    bool twoWords = false;
    RegisterCode twin{};

    bool IsQuick() const { return letter == 'q'; }
};

// All 161 parameters in group order C, T, S, P, q, H and by number within the group.
std::span<const RegisterRow> RegisterRows();
// The row of a code, or nullptr.
const RegisterRow* FindRegisterRow(char letter, int number);
// The row whose words a code uses: its own, or a quick code's twin's. nullptr when unknown.
const RegisterRow* WordsOfCode(char letter, int number);

// "Cn001", "Tn108", "Sn218", "Pn369", "qn407", "Hn519".
QByteArray CodeText(const RegisterRow& row);
// The row a code text names exactly, or nullptr.
const RegisterRow* RowOfCodeText(QByteArrayView text);

// Modbus holding registers: group base + number, with the bases C 0x000, T 0x100, S 0x200,
// P 0x300, q 0x400, H 0x500 and U 0x600 (the status values). -1 for another letter.
int HoldingRegisterOf(char letter, int number);
// The group letter of a register's base, or 0 for a register beyond them.
char GroupOfModbusRegister(int reg);

// A monitor value: a status value Un-01..Un-19 (letter 'U') or a diagnostic dn-01..dn-04
// ('D'), the word it is kept in (the high half of a two-word value, low half next).
struct MonitorRow {
    char letter;
    int number;
    WordAddress at;
    bool twoWords = false;
};

std::span<const MonitorRow> MonitorRows();
// The row of a monitor value, or nullptr.
const MonitorRow* FindMonitorRow(char letter, int number);
// Where a monitor value is kept; the row must exist.
WordAddress MonitorAddress(char letter, int number);

// A word of the off-line tuning pattern: kept like a parameter (the mailbox stores it) at a
// page-'5' location, with its scaling and its factory value.
struct TuningWordRow {
    int number; // 6 maximum speed, 7 acceleration, 8 hold time
    WordAddress at;
    Scaling scaling;
    int32_t factoryValue; // rpm, rpm/s, 0.1 ms
};

std::span<const TuningWordRow> TuningWordRows();
const TuningWordRow& TuningWord(int number);
