#include "sim/RegisterMap.h"

#include <iterator>

namespace {

constexpr ListedValue Num(int32_t n) {
    return {ListedValue::Number, n};
}
constexpr ListedValue kN{ListedValue::MaxSpeed, 0};
constexpr ListedValue kMinusN{ListedValue::MinusMaxSpeed, 0};
constexpr ListedValue kThirdOfN{ListedValue::ThirdOfMaxSpeed, 0};
constexpr ListedValue kN102{ListedValue::MaxSpeed102, 0};
constexpr ListedValue kEncoderPulses{ListedValue::EncoderPulses, 0};
constexpr ListedValue kModelCode{ListedValue::ModelCode, 0};

// The drive's parameter list: code, index, scaling, range, default (two words; a quick
// parameter's twin). The sixteen internal positions k = 1..16 are Pn3(14+3k) revolutions,
// Pn3(15+3k) pulses and Pn3(16+3k) speed. The contacts: DI-n at 0xBF + n, DO-1..DO-4 at 0xF4..0xF7.
// clang-format off
constexpr RegisterRow kRows[] = {
    // Control
    {'C', 1, 0x10, Scaling::Word16, Num(0), Num(6), Num(2)},
    {'C', 2, 0x1D, Scaling::Word16, Num(0), Num(4369), Num(0)},
    {'C', 3, 0x11, Scaling::Tenths, Num(-2000), Num(2000), Num(0)},
    {'C', 4, 0x12, Scaling::Direction, Num(0), Num(3), Num(0)},
    {'C', 5, 0x13, Scaling::Word16, Num(1), Num(8192), kEncoderPulses},
    {'C', 6, 0x14, Scaling::Word16, Num(0), Num(102), Num(2)},
    {'C', 7, 0x15, Scaling::Speed16, Num(0), Num(4500), kThirdOfN},
    {'C', 8, 0x16, Scaling::Word16, Num(0), Num(3), Num(2)},
    {'C', 9, 0x17, Scaling::Word16, Num(0), Num(2), Num(0)},
    {'C', 10, 0x18, Scaling::Torque, Num(0), Num(300), Num(300)},
    {'C', 11, 0x19, Scaling::Torque, Num(-300), Num(0), Num(-300)},
    {'C', 12, 0x1A, Scaling::Word16, Num(0), Num(10000), Num(60)},
    {'C', 13, 0xDE, Scaling::Word16, Num(0), Num(1000), Num(0)},
    {'C', 14, 0xDF, Scaling::Word16, Num(1), Num(100), Num(7)},
    {'C', 15, 0x8F, Scaling::Word16, Num(0), Num(68), Num(68)},
    {'C', 16, 0xF8, Scaling::Torque16, Num(0), Num(399), Num(200)},
    {'C', 17, 0xF9, Scaling::Speed16, Num(0), Num(4500), Num(0)},
    {'C', 18, 0xFA, Scaling::Word16, Num(0), Num(18750), Num(0)},
    {'C', 19, 0xFB, Scaling::Word16, Num(0), Num(50000), Num(0)},
    {'C', 20, 0x3C, Scaling::Word16, Num(0), Num(10000), Num(0)},
    {'C', 21, 0x3D, Scaling::Torque16, Num(0), Num(399), Num(200)},
    {'C', 22, 0x3E, Scaling::Speed16, Num(0), Num(4500), Num(0)},
    {'C', 23, 0x3F, Scaling::Word16, Num(0), Num(18750), Num(0)},
    {'C', 24, 0x40, Scaling::Word16, Num(0), Num(50000), Num(0)},
    {'C', 25, 0x87, Scaling::Word16, Num(0), Num(1000), Num(40)},
    {'C', 26, 0xD0, Scaling::Word16, Num(1), Num(10), Num(4)},
    {'C', 27, 0x8B, Scaling::Offset256, Num(-250), Num(250), Num(4)},
    {'C', 28, 0x8C, Scaling::Offset256, Num(-250), Num(250), Num(4)},
    {'C', 29, 0xFD, Scaling::Word16, Num(0), Num(1), Num(0)},
    {'C', 30, 0x0B, Scaling::Word16, Num(0), Num(8191), kModelCode},
    {'C', 31, 0x0E, Scaling::Word16, Num(0), Num(3), Num(0)},
    {'C', 32, 0x46, Scaling::Word16, Num(1), Num(1000), Num(500)},
    {'C', 33, 0x1E, Scaling::Word16, Num(1), Num(100), Num(40)},
    {'C', 34, 0xB8, Scaling::Word16, Num(0), Num(1000), Num(0)},
    {'C', 35, 0x41, Scaling::Word16, Num(0), Num(19), Num(0)},
    {'C', 36, 0x1B, Scaling::Word16, Num(0), Num(254), Num(1)},
    {'C', 37, 0x44, Scaling::Word16, Num(0), Num(53), Num(17)},
    {'C', 38, 0x45, Scaling::Word16, Num(0), Num(8), Num(0)},
    {'C', 39, 0x67, Scaling::Word16, Num(0), Num(20), Num(0)},
    {'C', 40, 0x79, Scaling::Word16, Num(0), Num(255), Num(0)},
    // Torque
    {'T', 1, 0x20, Scaling::Word16, Num(0), Num(1), Num(0)},
    {'T', 2, 0x23, Scaling::Word16, Num(1), Num(50000), Num(1)},
    {'T', 3, 0x21, Scaling::AnalogTorque, Num(0), Num(300), Num(300)},
    {'T', 4, 0x22, Scaling::Millivolt, Num(-10000), Num(10000), Num(0)},
    {'T', 5, 0x26, Scaling::Speed16, Num(0), kN, Num(100)},
    {'T', 6, 0x27, Scaling::Speed16, Num(0), kN, Num(200)},
    {'T', 7, 0x28, Scaling::Speed16, Num(0), kN, Num(300)},
    {'T', 8, 0xCD, Scaling::Torque16, Num(0), Num(300), Num(0)},
    // Speed
    {'S', 1, 0x36, Scaling::Speed, kMinusN, kN, Num(100)},
    {'S', 2, 0x37, Scaling::Speed, kMinusN, kN, Num(200)},
    {'S', 3, 0x38, Scaling::Speed, kMinusN, kN, Num(300)},
    {'S', 4, 0x29, Scaling::Word16, Num(0), Num(1), Num(0)},
    {'S', 5, 0x2A, Scaling::Word16, Num(0), Num(3), Num(0)},
    {'S', 6, 0x2B, Scaling::Word16, Num(1), Num(10000), Num(1)},
    {'S', 7, 0x2C, Scaling::Word16, Num(1), Num(50000), Num(1)},
    {'S', 8, 0xF1, Scaling::Fifths, Num(1), Num(1000), Num(1)},
    {'S', 9, 0xF2, Scaling::Word16, Num(0), Num(5000), Num(200)},
    {'S', 10, 0xF3, Scaling::Word16, Num(0), Num(5000), Num(200)},
    {'S', 11, 0x30, Scaling::Word16, Num(10), Num(450), Num(40)},
    {'S', 12, 0x31, Scaling::Word16, Num(1), Num(500), Num(100)},
    {'S', 13, 0x3A, Scaling::Word16, Num(10), Num(450), Num(40)},
    {'S', 14, 0x3B, Scaling::Word16, Num(1), Num(500), Num(100)},
    {'S', 15, 0x32, Scaling::Speed16, Num(0), Num(4500), Num(50)},
    {'S', 16, 0x33, Scaling::AnalogSpeed, Num(100), Num(4500), kN},
    {'S', 17, 0x34, Scaling::Millivolt, Num(-10000), Num(10000), Num(0)},
    {'S', 18, 0x99, Scaling::Speed16, Num(100), Num(4500), kN102},
    // Position
    {'P', 1, 0x50, Scaling::Word16, Num(0), Num(275), Num(0)},
    {'P', 2, 0x60, Scaling::Word16, Num(1), Num(50000), Num(1)},
    {'P', 3, 0x61, Scaling::Word16, Num(1), Num(50000), Num(1)},
    {'P', 4, 0x62, Scaling::Word16, Num(1), Num(50000), Num(1)},
    {'P', 5, 0x63, Scaling::Word16, Num(1), Num(50000), Num(1)},
    {'P', 6, 0x54, Scaling::Word16, Num(1), Num(50000), Num(1)},
    {'P', 7, 0x52, Scaling::Word16, Num(0), Num(50000), Num(10), true},
    {'P', 8, 0x56, Scaling::Tenths, Num(0), Num(50000), Num(50000), true},
    {'P', 9, 0x58, Scaling::NegatedTenths, Num(0), Num(50000), Num(50000), true},
    {'P', 10, 0x5A, Scaling::Word16, Num(1), Num(450), Num(40)},
    {'P', 11, 0x51, Scaling::Word16, Num(1), Num(450), Num(40)},
    {'P', 12, 0x5B, Scaling::Word16, Num(0), Num(100), Num(0)},
    {'P', 13, 0x5C, Scaling::Word16, Num(0), Num(10000), Num(0)},
    {'P', 14, 0x5D, Scaling::Word16, Num(0), Num(1), Num(1)},
    {'P', 15, 0x1F, Scaling::Word16, Num(0), Num(2), Num(0)},
    {'P', 16, 0x0D, Scaling::Word16, Num(0), Num(17), Num(0)},
    {'P', 17, 0x68, Scaling::Signed, Num(-30000), Num(30000), Num(0)},
    {'P', 18, 0x69, Scaling::Signed, Num(-32767), Num(32767), Num(0)},
    {'P', 19, 0x6A, Scaling::Word16, Num(0), Num(3000), Num(0)},
    {'P', 20, 0x6B, Scaling::Signed, Num(-30000), Num(30000), Num(0)},
    {'P', 21, 0x6C, Scaling::Signed, Num(-32767), Num(32767), Num(0)},
    {'P', 22, 0x6D, Scaling::Word16, Num(0), Num(3000), Num(0)},
    {'P', 23, 0x6E, Scaling::Signed, Num(-30000), Num(30000), Num(0)},
    {'P', 24, 0x6F, Scaling::Signed, Num(-32767), Num(32767), Num(0)},
    {'P', 25, 0x75, Scaling::Word16, Num(0), Num(3000), Num(0)},
    {'P', 26, 0x76, Scaling::Signed, Num(-30000), Num(30000), Num(0)},
    {'P', 27, 0x77, Scaling::Signed, Num(-32767), Num(32767), Num(0)},
    {'P', 28, 0x78, Scaling::Word16, Num(0), Num(3000), Num(0)},
    {'P', 29, 0x9C, Scaling::Signed, Num(-30000), Num(30000), Num(0)},
    {'P', 30, 0x9D, Scaling::Signed, Num(-32767), Num(32767), Num(0)},
    {'P', 31, 0x9E, Scaling::Word16, Num(0), Num(3000), Num(0)},
    {'P', 32, 0x9F, Scaling::Signed, Num(-30000), Num(30000), Num(0)},
    {'P', 33, 0xA0, Scaling::Signed, Num(-32767), Num(32767), Num(0)},
    {'P', 34, 0xA1, Scaling::Word16, Num(0), Num(3000), Num(0)},
    {'P', 35, 0xA2, Scaling::Signed, Num(-30000), Num(30000), Num(0)},
    {'P', 36, 0xA3, Scaling::Signed, Num(-32767), Num(32767), Num(0)},
    {'P', 37, 0xA4, Scaling::Word16, Num(0), Num(3000), Num(0)},
    {'P', 38, 0xA5, Scaling::Signed, Num(-30000), Num(30000), Num(0)},
    {'P', 39, 0xA6, Scaling::Signed, Num(-32767), Num(32767), Num(0)},
    {'P', 40, 0xA7, Scaling::Word16, Num(0), Num(3000), Num(0)},
    {'P', 41, 0xA8, Scaling::Signed, Num(-30000), Num(30000), Num(0)},
    {'P', 42, 0xA9, Scaling::Signed, Num(-32767), Num(32767), Num(0)},
    {'P', 43, 0xAA, Scaling::Word16, Num(0), Num(3000), Num(0)},
    {'P', 44, 0xAB, Scaling::Signed, Num(-30000), Num(30000), Num(0)},
    {'P', 45, 0xAC, Scaling::Signed, Num(-32767), Num(32767), Num(0)},
    {'P', 46, 0xAD, Scaling::Word16, Num(0), Num(3000), Num(0)},
    {'P', 47, 0xAE, Scaling::Signed, Num(-30000), Num(30000), Num(0)},
    {'P', 48, 0xAF, Scaling::Signed, Num(-32767), Num(32767), Num(0)},
    {'P', 49, 0xB3, Scaling::Word16, Num(0), Num(3000), Num(0)},
    {'P', 50, 0xE0, Scaling::Signed, Num(-30000), Num(30000), Num(0)},
    {'P', 51, 0xE1, Scaling::Signed, Num(-32767), Num(32767), Num(0)},
    {'P', 52, 0xE3, Scaling::Word16, Num(0), Num(3000), Num(0)},
    {'P', 53, 0xE4, Scaling::Signed, Num(-30000), Num(30000), Num(0)},
    {'P', 54, 0xE5, Scaling::Signed, Num(-32767), Num(32767), Num(0)},
    {'P', 55, 0xE6, Scaling::Word16, Num(0), Num(3000), Num(0)},
    {'P', 56, 0xE7, Scaling::Signed, Num(-30000), Num(30000), Num(0)},
    {'P', 57, 0xE8, Scaling::Signed, Num(-32767), Num(32767), Num(0)},
    {'P', 58, 0xE9, Scaling::Word16, Num(0), Num(3000), Num(0)},
    {'P', 59, 0xEA, Scaling::Signed, Num(-30000), Num(30000), Num(0)},
    {'P', 60, 0xEB, Scaling::Signed, Num(-32767), Num(32767), Num(0)},
    {'P', 61, 0xEC, Scaling::Word16, Num(0), Num(3000), Num(0)},
    {'P', 62, 0xED, Scaling::Signed, Num(-30000), Num(30000), Num(0)},
    {'P', 63, 0xEE, Scaling::Signed, Num(-32767), Num(32767), Num(0)},
    {'P', 64, 0xEF, Scaling::Word16, Num(0), Num(3000), Num(0)},
    {'P', 65, 0x4A, Scaling::Word16, Num(0), Num(4645), Num(0)},
    {'P', 66, 0x4B, Scaling::Word16, Num(0), Num(2000), Num(100)},
    {'P', 67, 0x4C, Scaling::Word16, Num(0), Num(500), Num(50)},
    {'P', 68, 0x4D, Scaling::Signed, Num(-30000), Num(30000), Num(0)},
    {'P', 69, 0x4E, Scaling::Signed, Num(-32767), Num(32767), Num(0)},
    // Quick (the same words as their twins)
    {'q', 1, 0x30, Scaling::Word16, Num(10), Num(450), Num(40), false, {'S', 11}},
    {'q', 2, 0x31, Scaling::Word16, Num(1), Num(500), Num(100), false, {'S', 12}},
    {'q', 3, 0x3A, Scaling::Word16, Num(10), Num(450), Num(40), false, {'S', 13}},
    {'q', 4, 0x3B, Scaling::Word16, Num(1), Num(500), Num(100), false, {'S', 14}},
    {'q', 5, 0x5A, Scaling::Word16, Num(1), Num(450), Num(40), false, {'P', 10}},
    {'q', 6, 0x51, Scaling::Word16, Num(1), Num(450), Num(40), false, {'P', 11}},
    {'q', 7, 0x5B, Scaling::Word16, Num(0), Num(100), Num(0), false, {'P', 12}},
    // Multi-function contacts
    {'H', 1, 0xC0, Scaling::Word16, Num(1), Num(284), Num(1)},
    {'H', 2, 0xC1, Scaling::Word16, Num(1), Num(284), Num(2)},
    {'H', 3, 0xC2, Scaling::Word16, Num(1), Num(284), Num(3)},
    {'H', 4, 0xC3, Scaling::Word16, Num(1), Num(284), Num(0x104)},
    {'H', 5, 0xC4, Scaling::Word16, Num(1), Num(284), Num(0x105)},
    {'H', 6, 0xC5, Scaling::Word16, Num(1), Num(284), Num(6)},
    {'H', 7, 0xC6, Scaling::Word16, Num(1), Num(284), Num(7)},
    {'H', 8, 0xC7, Scaling::Word16, Num(1), Num(284), Num(8)},
    {'H', 9, 0xC8, Scaling::Word16, Num(1), Num(284), Num(9)},
    {'H', 10, 0xC9, Scaling::Word16, Num(1), Num(284), Num(10)},
    {'H', 11, 0xCA, Scaling::Word16, Num(1), Num(284), Num(11)},
    {'H', 12, 0xCB, Scaling::Word16, Num(1), Num(284), Num(12)},
    {'H', 13, 0xCC, Scaling::Word16, Num(1), Num(284), Num(14)},
    {'H', 14, 0xF4, Scaling::Word16, Num(1), Num(264), Num(1)},
    {'H', 15, 0xF5, Scaling::Word16, Num(1), Num(264), Num(2)},
    {'H', 16, 0xF6, Scaling::Word16, Num(1), Num(264), Num(3)},
    {'H', 17, 0xF7, Scaling::Word16, Num(1), Num(264), Num(6)},
    {'H', 18, 0xCE, Scaling::Word16, Num(0), Num(8191), Num(0)},
    {'H', 19, 0xFF, Scaling::Word16, Num(0), Num(8191), Num(0)},
};
// clang-format on

// Modbus register bases, in the order 0x000, 0x100, ... 0x600.
constexpr char kRegisterGroups[] = {'C', 'T', 'S', 'P', 'q', 'H', 'U'};

// The text form of a code: the group's prefix, then the number in two digits.
struct GroupPrefix {
    char letter;
    const char* prefix;
};
constexpr GroupPrefix kPrefixes[] = {{'C', "Cn0"}, {'T', "Tn1"}, {'S', "Sn2"},
                                     {'P', "Pn3"}, {'q', "qn4"}, {'H', "Hn5"}};

// Status values Un-01..Un-19 and diagnostics dn-01..dn-04. dn-01 is Cn001's live copy.
// clang-format off
constexpr MonitorRow kMonitors[] = {
    {'U', 1, {'6', 0xE4}},  {'U', 2, {'9', 0xB6}},  {'U', 3, {'6', 0x91}},  {'U', 4, {'6', 0x93}},
    {'U', 5, {'6', 0x94}},  {'U', 6, {'6', 0x78}},  {'U', 7, {'6', 0x5C}, true},
    {'U', 8, {'6', 0x88}, true},                    {'U', 9, {'6', 0x32}},  {'U', 10, {'6', 0xB7}},
    {'U', 11, {'6', 0x95}}, {'U', 12, {'6', 0xC0}}, {'U', 13, {'6', 0xC1}}, {'U', 14, {'8', 0xBB}},
    {'U', 15, {'8', 0xBA}}, {'U', 16, {'8', 0xC5}}, {'U', 17, {'8', 0xC4}}, {'U', 18, {'6', 0x7E}},
    {'U', 19, {'8', 0x44}},
    {'D', 1, {'5', 0x10}},  {'D', 2, {'6', 0xAF}},  {'D', 3, {'6', 0xCB}},  {'D', 4, {'5', 0xE2}},
};
// clang-format on

constexpr TuningWordRow kTuningWords[] = {
    {6, DriveLayout::kTuningMaxSpeed, Scaling::Speed16, 1000},
    {7, DriveLayout::kTuningAcceleration, Scaling::TuningAcceleration, 7400},
    {8, DriveLayout::kTuningHoldTime, Scaling::Word16, 2000},
};

const GroupPrefix* PrefixOf(char letter) {
    for (const GroupPrefix& p : kPrefixes) {
        if (p.letter == letter) {
            return &p;
        }
    }
    return nullptr;
}

} // namespace

int32_t ListedValue::Resolve(const DriveFacts& drive) const {
    switch (source) {
    case Number: return number;
    case MaxSpeed: return drive.maxMotorSpeed;
    case MinusMaxSpeed: return -drive.maxMotorSpeed;
    case ThirdOfMaxSpeed: return drive.maxMotorSpeed / 3;
    case MaxSpeed102: return static_cast<int32_t>(drive.maxMotorSpeed * 1.02);
    case EncoderPulses: return drive.encoderPulses;
    case ModelCode: return drive.modelCode;
    }
    return number;
}

std::span<const RegisterRow> RegisterRows() {
    return kRows;
}

const RegisterRow* FindRegisterRow(char letter, int number) {
    for (const RegisterRow& row : kRows) {
        if (row.letter == letter && row.number == number) {
            return &row;
        }
    }
    return nullptr;
}

const RegisterRow* WordsOfCode(char letter, int number) {
    const RegisterRow* row = FindRegisterRow(letter, number);
    if (row != nullptr && row->IsQuick()) {
        return FindRegisterRow(row->twin.letter, row->twin.number);
    }
    return row;
}

QByteArray CodeText(const RegisterRow& row) {
    const GroupPrefix* p = PrefixOf(row.letter);
    return QByteArray(p != nullptr ? p->prefix : "") +
           QByteArray::number(row.number).rightJustified(2, '0');
}

const RegisterRow* RowOfCodeText(QByteArrayView text) {
    for (const RegisterRow& row : kRows) {
        if (text == CodeText(row)) {
            return &row;
        }
    }
    return nullptr;
}

int HoldingRegisterOf(char letter, int number) {
    for (int group = 0; group < static_cast<int>(std::size(kRegisterGroups)); ++group) {
        if (kRegisterGroups[group] == letter) {
            return group * 0x100 + number;
        }
    }
    return -1;
}

char GroupOfModbusRegister(int reg) {
    const int group = reg >> 8;
    return reg >= 0 && group < static_cast<int>(std::size(kRegisterGroups)) ? kRegisterGroups[group]
                                                                            : 0;
}

std::span<const MonitorRow> MonitorRows() {
    return kMonitors;
}

const MonitorRow* FindMonitorRow(char letter, int number) {
    for (const MonitorRow& row : kMonitors) {
        if (row.letter == letter && row.number == number) {
            return &row;
        }
    }
    return nullptr;
}

WordAddress MonitorAddress(char letter, int number) {
    return FindMonitorRow(letter, number)->at;
}

std::span<const TuningWordRow> TuningWordRows() {
    return kTuningWords;
}

const TuningWordRow& TuningWord(int number) {
    return kTuningWords[number - kTuningWords[0].number];
}
