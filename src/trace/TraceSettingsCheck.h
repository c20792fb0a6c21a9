#pragma once

#include "trace/TraceSettings.h"

#include <QString>

#include <cstdint>
#include <optional>

// The settings a capture sends to the drive, each held to the range the drive takes: a trace file
// or a command line that asks for more is refused rather than sent as another word (a data 2
// selection of 200 would overflow the configuration word into the trigger mode).

enum class TraceField { Interval, Data1, Data2, Di, Do, TriggerMode, TriggerLevel };

struct TraceFieldProblem {
    TraceField field;
    int32_t value;
    int32_t min;
    int32_t max; // the trigger level's maximum is 0 for a mode without a level
};

// The first field outside its range, in the order above; nothing when all may be sent.
std::optional<TraceFieldProblem> FirstBadTraceSetting(const TraceSettings& settings);

// "触发准位 400 超出范围 0~300": the field as a trace file names it.
QString TraceFieldProblemText(const TraceFieldProblem& problem);
