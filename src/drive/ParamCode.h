#pragma once

#include <QString>

#include <cstdint>

// A parameter or monitor code such as "Cn005": a group letter and a number within the group.
// In a code text the first character selects the group and the last two characters, read as a
// decimal number, the parameter; anything else makes the number 0, which no code uses.
struct ParamCode {
    char letter = 0;
    int number = 0;

    static ParamCode FromText(const QString& text);
    // "Cn005", "Tn104", "qn401", "Hn519"; empty for a letter outside the six parameter groups.
    QString Text() const;

    bool operator==(const ParamCode&) const = default;
};

// The six parameter groups in their fixed order (document tables, files, the custom list).
enum class ParamGroup : int { Control = 0, Torque, Speed, Position, Quick, Contact };

inline constexpr int kParamGroupCount = 6;

struct ParamGroupInfo {
    char letter;          // 'C', 'T', 'S', 'P', 'q', 'H'
    int count;            // parameters in the group
    int documentSlots;    // capacity of the group's document tables
    int firstNameId;      // string ID of the name of parameter 1
    const char* textForm; // "Cn0%02d" ...
};

const ParamGroupInfo& GroupInfo(ParamGroup group);
const ParamGroupInfo& GroupInfo(int groupIndex);
// Group index 0..5 of a letter, or -1.
int GroupIndexOfLetter(char letter);

// Total number of parameters in the six groups (161).
inline constexpr int kParameterCount = 161;
