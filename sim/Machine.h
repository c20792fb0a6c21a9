#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

// The mechanics behind the simulated drive: a motor and a load joined by a compliant shaft,
// driven by the drive's speed loop. Pure and deterministic: it moves only when advanced, in
// fixed steps of 200 us (so a record at 5000 samples/s takes one sample per step).
//
// Units: speeds in rpm, torques in percent of the motor's rated torque, positions in encoder
// counts (the encoder's pulses per revolution times four: the drive counts every edge of the
// A and B signals).
//
// Two-mass model: motor inertia Jm, load inertia Jl = ratio * Jm, shaft stiffness chosen so that
// the free resonance sqrt(K (Jm + Jl) / (Jm Jl)) sits at the resonance frequency, shaft damping
// from its damping ratio, and a little viscous friction at the load so that a free machine
// comes to rest. Between two steps the mechanics are integrated in eight sub-steps
// (semi-implicit Euler), stable up to the highest resonance allowed.
struct MachineSettings {
    double inertiaRatio = 3.0;    // load inertia / motor inertia, 0..100
    double resonanceHz = 300.0;   // 20..1500
    double damping = 0.05;        // shaft damping ratio, 0.001..1
    double busVoltage = 310.0;    // V
    double analogSpeed = 0.0;     // external speed command voltage, -10..10 V
    double motorInertia = 0.5e-4; // kg m^2
    double ratedTorque = 1.27;    // N m, 100 %
};

// How the drive runs its speed loop, from its parameters.
struct SpeedLoopSettings {
    double gainHz = 40.0;      // speed loop bandwidth with the assumed inertia
    double integralMs = 20.0;  // integral time constant; 0: proportional only
    double assumedRatio = 4.0; // the load inertia ratio the drive was told
    double ccwLimit = 300.0;   // torque limits, percent
    double cwLimit = -300.0;
};

class Machine {
public:
    static constexpr std::chrono::microseconds kStep{200};
    static constexpr int kSubSteps = 8;

    explicit Machine(int maxSpeedRpm = 3000, int countsPerRevolution = 10000);

    const MachineSettings& Settings() const { return settings_; }
    // Values outside their ranges are brought into them.
    void SetSettings(const MachineSettings& settings);
    void SetLoop(const SpeedLoopSettings& loop) { loop_ = loop; }
    const SpeedLoopSettings& Loop() const { return loop_; }
    void SetMaxSpeed(int rpm) { maxSpeed_ = rpm > 0 ? rpm : 1; }
    int MaxSpeed() const { return maxSpeed_; }
    void SetCountsPerRevolution(int counts) { counts_ = counts > 0 ? counts : 1; }
    int CountsPerRevolution() const { return counts_; }

    // Servo on: the loop drives the motor. Off: no torque, the machine coasts, the integrator
    // and the position error are cleared.
    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }
    void SetSpeedCommand(double rpm) { command_ = rpm; }
    // A torque the drive adds to its speed loop's output (percent), within the torque limits:
    // the excitation of a frequency response run.
    void SetTorqueOffset(double percent) { torqueOffset_ = percent; }
    double TorqueOffset() const { return torqueOffset_; }
    // Called after every step, so that a recording takes one sample per step.
    void SetAfterStep(std::function<void(Machine&)> afterStep) { afterStep_ = std::move(afterStep); }
    double SpeedCommand() const { return enabled_ ? command_ : 0.0; }

    // Whole steps; the remainder is kept for the next call.
    void Advance(std::chrono::microseconds duration);
    void Step();
    uint64_t Steps() const { return steps_; }

    double MotorSpeed() const;                              // rpm
    double LoadSpeed() const;                               // rpm
    double Torque() const { return torque_; }               // applied, percent
    double TorqueCommand() const { return torqueCommand_; } // the loop's output, percent
    int64_t PositionFeedback() const;                       // counts
    int64_t PositionCommand() const;                        // counts
    int64_t PositionError() const { return PositionCommand() - PositionFeedback(); }
    double EffectiveLoad() const;                      // filtered RMS torque, percent
    double PeakLoad() const { return peak_; }          // percent
    double RegenerativeLoad() const { return regen_; } // percent

private:
    void Integrate(double appliedNm, double h);
    double CountsPerRadian() const;

    MachineSettings settings_;
    SpeedLoopSettings loop_;
    int maxSpeed_;
    int counts_;
    bool enabled_ = false;
    double command_ = 0;
    double torqueOffset_ = 0;
    std::function<void(Machine&)> afterStep_;
    std::chrono::microseconds pending_{0};
    uint64_t steps_ = 0;

    // Mechanics, in rad and rad/s.
    double motorAngle_ = 0, motorVelocity_ = 0;
    double loadAngle_ = 0, loadVelocity_ = 0;
    double commandAngle_ = 0;
    // Loop and load figures.
    double integral_ = 0;      // N m
    double torqueCommand_ = 0; // percent
    double torque_ = 0;        // percent
    double meanSquare_ = 0;
    double peak_ = 0;
    double regen_ = 0;
};
