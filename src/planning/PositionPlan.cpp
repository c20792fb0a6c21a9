#include "planning/PositionPlan.h"

#include "drive/ParameterSet.h"
#include "params/BitFieldEditors.h"

#include <algorithm>
#include <cstddef>

namespace {

constexpr int kModeNumber = 16;      // Pn316
constexpr int kSmoothingNumber = 13; // Pn313
constexpr int kFirstCommandItem = 2; // Pn317 and on
constexpr int kDigitMask = 0x0F;

size_t RevolutionsItem(int command) {
    return static_cast<size_t>(kFirstCommandItem + 3 * command);
}

} // namespace

ParamCode PlannerItemParameter(int item) {
    if (item == 0) {
        return {'P', kModeNumber};
    }
    if (item == 1) {
        return {'P', kSmoothingNumber};
    }
    return {'P', item + 15};
}

PositionPlan DecodePositionPlan(const PlannerValues& values) {
    PositionPlan plan;
    plan.positionMode = values[0] & kDigitMask;
    plan.pholdProgram = (values[0] >> 4) & kDigitMask;
    plan.smoothingTime = values[1];
    for (int k = 0; k < kPositionCommands; ++k) {
        const size_t item = RevolutionsItem(k);
        plan.commands[static_cast<size_t>(k)] = {values[item], values[item + 1],
                                                 values[item + 2]};
    }
    return plan;
}

PlannerValues EncodePositionPlan(const PositionPlan& plan) {
    PlannerValues values{};
    values[0] = plan.pholdProgram * 16 + plan.positionMode;
    values[1] = plan.smoothingTime;
    for (int k = 0; k < kPositionCommands; ++k) {
        const size_t item = RevolutionsItem(k);
        const PositionCommand& command = plan.commands[static_cast<size_t>(k)];
        values[item] = command.revolutions;
        values[item + 1] = command.pulses;
        values[item + 2] = command.speed;
    }
    return values;
}

FieldLimits LimitsOf(PlannerField field) {
    switch (field) {
    case PlannerField::SmoothingTime:
        return {0, 10000, 5};
    case PlannerField::Revolutions:
        return {-30000, 30000, 6};
    case PlannerField::Pulses:
        return {-32767, 32767, 6};
    case PlannerField::Speed:
        return {0, 3000, 4};
    }
    return {0, 0, 0};
}

bool TypingAcceptable(PlannerField field, const QString& text) {
    const FieldLimits limits = LimitsOf(field);
    if (text.size() > limits.maxChars) {
        return false;
    }
    // Plain digits after an optional minus: no spaces or plus signs that the number reading
    // would pass over.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')) &&
            !(i == 0 && c == QLatin1Char('-'))) {
            return false;
        }
    }
    return ValueTextAcceptable(text, limits.min, limits.max);
}

int32_t FieldValueOnOk(PlannerField field, const QString& text) {
    const FieldLimits limits = LimitsOf(field);
    bool ok = false;
    const qlonglong number = text.trimmed().toLongLong(&ok, 10);
    if (!ok) {
        return LimitToRange(0, limits.min, limits.max);
    }
    return static_cast<int32_t>(std::clamp<qlonglong>(number, limits.min, limits.max));
}

PlannerValues PlannerValuesOf(const ParameterSet& set) {
    PlannerValues values{};
    for (int item = 0; item < kPlannerItems; ++item) {
        values[static_cast<size_t>(item)] = *set.Slot(PlannerItemParameter(item));
    }
    return values;
}

void SetPlannerValues(ParameterSet& set, const PlannerValues& values) {
    for (int item = 0; item < kPlannerItems; ++item) {
        *set.Slot(PlannerItemParameter(item)) = values[static_cast<size_t>(item)];
    }
}
