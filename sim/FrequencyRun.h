#pragma once

#include <array>
#include <cstdint>

class DriveState;
class Machine;

// The drive's frequency response run. Started by a write of 1 to the run control word (page 'A'
// 0x98), it turns the servo on, holds the speed setting (0x9C) and adds to the speed loop's output
// a broadband torque of the load size (0x92): a sum of equal sines on every bin of a 1024-sample
// period, its peak the load torque. After one period of settling it records 1024 pairs of applied
// torque and motor speed, one per step (5000 a second), in the drive's raw words (torque x 40.96,
// speed x 16384 / N).
//
// The record goes out through the 1024-word buffer of pages '0'..'3' in two halves: when the
// first 512 pairs are in, they are put there, the half word (0x99) reads 0 and the control word 2.
// Once the half word has been written 1 and the whole record is in, the second half replaces the
// first and the half word reads 2; its write of 0 ends the excitation. A write of 0 to the control
// word ends the run at any time; a write of 1 after the drive set 2 starts a new one.
class FrequencyRun {
public:
    static constexpr int kPairs = 1024;
    static constexpr int kHalfPairs = 512;
    static constexpr int kSettleSteps = 1024;

    FrequencyRun();

    // Before every sync: looks at the run words the host writes.
    void ReadControl(DriveState& state, Machine& machine, int maxSpeed);
    // After every machine step: records and hands over the halves.
    void AfterStep(DriveState& state, Machine& machine);

    // A run holds the machine: servo on, at the speed setting.
    bool Active() const { return running_; }
    double SpeedSetting() const { return speedRpm_; }

private:
    enum class Handover { Recording, FirstReady, SecondReady, Done };

    void Start(const DriveState& state, Machine& machine, int maxSpeed);
    void Stop(Machine& machine);
    void PutHalf(DriveState& state, int half) const;
    void HandOverSecondIfReady(DriveState& state);
    bool Exciting() const { return running_ && recorded_ < kPairs && handover_ != Handover::Done; }

    std::array<double, kPairs> signal_{};
    std::array<int16_t, 2 * kPairs> record_{}; // torque, speed per pair
    bool running_ = false;
    Handover handover_ = Handover::Recording;
    bool firstFetched_ = false;
    int settleLeft_ = 0;
    int recorded_ = 0;
    int64_t step_ = 0;
    int maxSpeed_ = 3000;
    double loadPercent_ = 0;
    double speedRpm_ = 0;
};
