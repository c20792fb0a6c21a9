#pragma once

#include "trace/TraceData.h"
#include "trace/TraceSettings.h"

#include <array>
#include <cstdint>

// The vertical scale of one analog line: its list entry, the value of one division, its slider
// position and the value at the plot's top edge.
struct TraceAxis {
    int32_t scaleIndex = 0; // 0 = "AUTO"
    int32_t units = 1;
    int32_t offsetPosition = 0;
    int32_t topValue = 5;
};

// A trace as the window shows it and a trace file keeps it: the settings it was recorded with,
// the samples and the display choices that travel with them.
struct TraceRecord {
    TraceSettings settings;
    float intervalUs = 100.0F; // as recorded (a file keeps it beside the code)
    int32_t points = TraceSettings::kPoints;
    std::array<TraceAxis, 2> axes{}; // data 1, data 2
    int32_t timeIndex = 0;           // 0 = "FULL"
    int32_t scrollPosition = 0;
    int32_t stateWord = 3; // the window's state word, kept for the file
    int32_t diRow = 8;
    int32_t doRow = 9;
    TraceData data;

    float IntervalMs() const { return intervalUs / 1000.0F; }
    float TotalTimeMs() const { return static_cast<float>(points) * IntervalMs(); }

    // After a capture: the new settings and samples, the display back to its defaults.
    void ResetDisplay();
};
