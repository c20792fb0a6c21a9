#include "trace/TraceSettingsCheck.h"

#include <array>

std::optional<TraceFieldProblem> FirstBadTraceSetting(const TraceSettings& s) {
    const std::array<TraceFieldProblem, 7> fields{{
        {TraceField::Interval, s.intervalCode, TraceSettings::kMinIntervalCode,
         TraceSettings::kMaxIntervalCode},
        {TraceField::Data1, s.data1, 0, TraceSettings::kQuantityCount - 1},
        {TraceField::Data2, s.data2, 0, TraceSettings::kQuantityCount - 1},
        {TraceField::Di, s.diSelection, 0, TraceSettings::kDiCount - 1},
        {TraceField::Do, s.doSelection, 0, TraceSettings::kDoCount - 1},
        {TraceField::TriggerMode, s.triggerMode, 0, TraceSettings::kTriggerModeCount - 1},
        {TraceField::TriggerLevel, s.triggerLevel, 0, TriggerLevelMax(s.triggerMode)},
    }};
    for (const TraceFieldProblem& f : fields)
        if (f.value < f.min || f.value > f.max)
            return f;
    return std::nullopt;
}

QString TraceFieldProblemText(const TraceFieldProblem& p) {
    static const std::array<const char*, 7> kNames{"取样间隔", "资料 1",   "资料 2",  "DI",
                                                   "DO",       "触发方式", "触发准位"};
    return QStringLiteral("%1 %2 超出范围 %3~%4")
        .arg(QString::fromUtf8(kNames[static_cast<size_t>(p.field)]))
        .arg(p.value)
        .arg(p.min)
        .arg(p.max);
}
