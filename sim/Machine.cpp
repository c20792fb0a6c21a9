#include "sim/Machine.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kStepSeconds = 200e-6;
constexpr double kCurrentLoopSeconds = 0.3e-3; // the current loop as a first-order lag
constexpr double kLoadRateSeconds = 2.0;       // averaging of the effective load rate
constexpr double kRegenSeconds = 1.0;          // fading of the regenerative load rate
constexpr double kRegenShare = 0.1;   // the part of the returned power the resistor takes, in %
constexpr double kCoastSeconds = 2.0; // friction: a free machine loses speed with this constant

double RadPerSecond(double rpm) {
    return rpm * kTwoPi / 60.0;
}

double Rpm(double radPerSecond) {
    return radPerSecond * 60.0 / kTwoPi;
}

} // namespace

Machine::Machine(int maxSpeedRpm, int countsPerRevolution)
    : maxSpeed_(maxSpeedRpm > 0 ? maxSpeedRpm : 1),
      counts_(countsPerRevolution > 0 ? countsPerRevolution : 1) {}

void Machine::SetSettings(const MachineSettings& settings) {
    settings_ = settings;
    settings_.inertiaRatio = std::clamp(settings.inertiaRatio, 0.0, 100.0);
    settings_.resonanceHz = std::clamp(settings.resonanceHz, 20.0, 1500.0);
    settings_.damping = std::clamp(settings.damping, 0.001, 1.0);
    settings_.busVoltage = std::clamp(settings.busVoltage, 0.0, 1000.0);
    settings_.analogSpeed = std::clamp(settings.analogSpeed, -10.0, 10.0);
    settings_.motorInertia = std::max(settings.motorInertia, 1e-7);
    settings_.ratedTorque = std::max(settings.ratedTorque, 1e-3);
}

void Machine::SetEnabled(bool enabled) {
    if (enabled != enabled_) {
        commandAngle_ = motorAngle_;
        integral_ = 0;
    }
    if (!enabled) { // the power stage stops at once
        torqueCommand_ = 0;
        torque_ = 0;
    }
    enabled_ = enabled;
}

void Machine::Advance(std::chrono::microseconds duration) {
    pending_ += duration;
    for (; pending_ >= kStep; pending_ -= kStep) {
        Step();
    }
}

void Machine::Step() {
    ++steps_;
    const double jm = settings_.motorInertia;
    const double rated = settings_.ratedTorque;
    if (enabled_) {
        const double target = RadPerSecond(command_);
        const double error = target - motorVelocity_;
        const double kp = kTwoPi * std::max(loop_.gainHz, 1.0) * jm * (1.0 + loop_.assumedRatio);
        double integral = integral_;
        if (loop_.integralMs > 0) {
            integral += kp * error * kStepSeconds / (loop_.integralMs * 1e-3);
        }
        const double high = loop_.ccwLimit * rated / 100.0;
        const double low = loop_.cwLimit * rated / 100.0;
        const double wanted = kp * error + integral;
        const double limited = std::clamp(wanted, std::min(low, high), std::max(low, high));
        // The integrator stops while the output is held at a limit (no wind-up).
        if (limited == wanted || (wanted > limited) != (integral > integral_)) {
            integral_ = integral;
        }
        const double offset = torqueOffset_ * rated / 100.0;
        torqueCommand_ =
            std::clamp(limited + offset, std::min(low, high), std::max(low, high)) / rated * 100.0;
        commandAngle_ += target * kStepSeconds;
    } else {
        integral_ = 0;
        torqueCommand_ = 0;
        commandAngle_ = motorAngle_;
    }
    torque_ = enabled_ ? torque_ + (torqueCommand_ - torque_) *
                                       (1.0 - std::exp(-kStepSeconds / kCurrentLoopSeconds))
                       : 0.0;

    const double h = kStepSeconds / kSubSteps;
    for (int i = 0; i < kSubSteps; ++i) {
        Integrate(torque_ * rated / 100.0, h);
    }
    if (!enabled_) {
        commandAngle_ = motorAngle_;
    }

    meanSquare_ += (torque_ * torque_ - meanSquare_) * kStepSeconds / kLoadRateSeconds;
    peak_ = std::max(peak_, std::abs(torque_));
    // Power flowing back from the machine (braking) goes to the regenerative resistor.
    const double powerPercent = torque_ * motorVelocity_ / RadPerSecond(maxSpeed_);
    // Shown as its latest peak, fading, so that a short braking still shows.
    const double returned = std::max(0.0, -powerPercent) * kRegenShare;
    regen_ = std::max(returned, regen_ * std::exp(-kStepSeconds / kRegenSeconds));
    if (afterStep_) {
        afterStep_(*this);
    }
}

void Machine::Integrate(double appliedNm, double h) {
    const double jm = settings_.motorInertia;
    const double jl = jm * settings_.inertiaRatio;
    const double friction = (jm + jl) / kCoastSeconds;
    if (jl < 1e-12) { // no load: the motor alone
        motorVelocity_ += (appliedNm - friction * motorVelocity_) / jm * h;
        motorAngle_ += motorVelocity_ * h;
        loadVelocity_ = motorVelocity_;
        loadAngle_ = motorAngle_;
        return;
    }
    const double wr = kTwoPi * settings_.resonanceHz;
    const double reduced = jm * jl / (jm + jl);
    const double stiffness = wr * wr * reduced;
    const double shaftDamping = 2.0 * settings_.damping * wr * reduced;
    const double shaft =
        stiffness * (motorAngle_ - loadAngle_) + shaftDamping * (motorVelocity_ - loadVelocity_);
    motorVelocity_ += (appliedNm - shaft) / jm * h;
    loadVelocity_ += (shaft - friction * loadVelocity_) / jl * h;
    motorAngle_ += motorVelocity_ * h;
    loadAngle_ += loadVelocity_ * h;
}

double Machine::MotorSpeed() const {
    return Rpm(motorVelocity_);
}

double Machine::LoadSpeed() const {
    return Rpm(loadVelocity_);
}

double Machine::CountsPerRadian() const {
    return counts_ / kTwoPi;
}

int64_t Machine::PositionFeedback() const {
    return std::llround(motorAngle_ * CountsPerRadian());
}

int64_t Machine::PositionCommand() const {
    return std::llround(commandAngle_ * CountsPerRadian());
}

double Machine::EffectiveLoad() const {
    return std::sqrt(std::max(0.0, meanSquare_));
}
