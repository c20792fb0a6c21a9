#pragma once

#include <array>
#include <cstdint>
#include <optional>

class DriveState;
class Machine;

// One look at what the drive can record, each quantity already in the drive's raw scaling:
// speeds 16384 = N, torques and currents 4096 = 100 %, position error in counts, electric angle
// 1023 = 360°, and the contact words (DI-n and DO-n as bit n-1, 1 = on).
struct TraceSample {
    std::array<double, 8> quantities{}; // by the quantity numbers of the configuration word
    uint16_t inputs = 0;
    uint16_t outputs = 0;
};

// The look at `machine` with the speed scale N (rpm) and the contact words.
TraceSample SampleMachine(const Machine& machine, int maxSpeed, uint16_t inputs, uint16_t outputs);

// The drive's trace recorder, on page '7'.
//
// A 1 written to 0xD0 arms it with the words set up beside it: the interval code at 0xD6
// (units of 100 µs, 1..1250), the configuration word at 0xCD (data 1 × 2 + data 2 × 512 + trigger
// mode × 4096) and the raw trigger level at 0xD8. Armed, it reads 0 at 0xD0 (so that a second 1
// arms it again, with new words), waits for its trigger and then takes 512 samples of four
// channels at the interval; done, it lays them on pages '0' '1' (data 1), '2' '3' (data 2),
// '4' 'D' (inputs), 'E' 'F' (outputs), 256 words a page, and 0xD0 reads 2.
//
// Triggers: mode 0 at once; 1..3 when the reference pulse speed, the speed command or the speed
// feedback reaches the level in either direction, 4 the torque command; 5..12 when DI-1..DI-8 is
// on, 13..15 DO-1..DO-3.
//
// The machine moves in steps of 200 µs. A sample between two steps (code 1 takes two per step) is
// the straight line between them for the analog quantities, and the earlier step's contacts.
class TraceRecorder {
public:
    static constexpr int kPoints = 512;

    // Arms the recorder when a start was written since the last call. True when it did.
    bool TakeStart(DriveState& state);
    // Whether the machine must be watched step by step.
    bool Active() const { return armed_; }
    // The machine stands at `timeUs` showing `sample`.
    void Observe(int64_t timeUs, const TraceSample& sample, DriveState& state);

private:
    bool Triggered(const TraceSample& sample) const;
    void Take(const TraceSample& sample);
    void Finish(DriveState& state);

    bool armed_ = false;
    int64_t intervalUs_ = 100;
    int data1_ = 0;
    int data2_ = 1;
    int mode_ = 0;
    int level_ = 0;
    // Once triggered: the last look and the time of the next sample.
    std::optional<std::pair<int64_t, TraceSample>> last_;
    int64_t nextUs_ = 0;
    int taken_ = 0;
    std::array<std::array<uint16_t, kPoints>, 4> channels_{};
};
