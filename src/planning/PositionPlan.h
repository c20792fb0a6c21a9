#pragma once

#include "drive/ParamCode.h"

#include <QString>

#include <array>
#include <cstdint>

// The drive's sixteen internal position commands and what goes with them: the internal position
// command mode Pn316 (low hexadecimal digit: positioning mode, next digit: what a PHOLD trigger
// does), the smoothing time constant Pn313 and, per command k (0..15), its revolutions
// Pn317 + 3k, pulses Pn318 + 3k and speed Pn319 + 3k.

inline constexpr int kPositionCommands = 16;
inline constexpr int kPlannerItems = 2 + 3 * kPositionCommands; // 50

// The planner's parameters in item order: Pn316, Pn313, Pn317, Pn318, ... Pn364.
ParamCode PlannerItemParameter(int item);

// Display values of the 50 parameters, in item order.
using PlannerValues = std::array<int32_t, kPlannerItems>;

struct PositionCommand {
    int32_t revolutions = 0;
    int32_t pulses = 0;
    int32_t speed = 0;
    bool operator==(const PositionCommand&) const = default;
};

// The planner's state. The two digits are kept as the drive sent them (a digit 2 shows as the
// first choice but stays 2) until the user picks a choice.
struct PositionPlan {
    int32_t positionMode = 0; // 0 absolute, 1 relative
    int32_t pholdProgram = 0; // 0 finish the command under way, 1 run the selected one at once
    int32_t smoothingTime = 10;
    std::array<PositionCommand, kPositionCommands> commands{};
    bool operator==(const PositionPlan&) const = default;
};

// Pn316's two low digits become the choices; digits above them are dropped.
PositionPlan DecodePositionPlan(const PlannerValues& values);
// Pn316 = PHOLD digit × 16 + positioning digit.
PlannerValues EncodePositionPlan(const PositionPlan& plan);

// Which radio button of each group is marked: the second one only for a digit of exactly 1.
inline bool ShowsRelative(const PositionPlan& plan) {
    return plan.positionMode == 1;
}
inline bool ShowsImmediatePhold(const PositionPlan& plan) {
    return plan.pholdProgram == 1;
}

// The planner's edit fields: their ranges and how many characters they take.
enum class PlannerField { SmoothingTime, Revolutions, Pulses, Speed };

struct FieldLimits {
    int32_t min;
    int32_t max;
    int maxChars;
};
FieldLimits LimitsOf(PlannerField field);

// Whether a field may hold `text` after a keystroke: empty (and a lone "-" in a signed field)
// while the user is typing, else a decimal number within the field's range and length. Anything
// else is refused and the field keeps its previous text.
bool TypingAcceptable(PlannerField field, const QString& text);

// The value a field's text gives on OK: its number held within the range; a field left empty or
// without a number gives 0, held within the range too.
int32_t FieldValueOnOk(PlannerField field, const QString& text);

struct ParameterSet;

// The 50 values of a parameter set in item order, and back into it.
PlannerValues PlannerValuesOf(const ParameterSet& set);
void SetPlannerValues(ParameterSet& set, const PlannerValues& values);
