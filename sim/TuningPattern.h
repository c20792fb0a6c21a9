#pragma once

// The speed pattern the drive runs for an off-line gain tuning: from rest it accelerates to the
// maximum speed, holds it for the constant-speed time, brakes to rest and waits the same time at
// zero speed; then the same in reverse, so the machine comes back to where it started. The
// pattern repeats while the run lasts.
class TuningPattern {
public:
    // `maxSpeed` rpm, `acceleration` rpm/s (0 or less: steps), `holdSeconds` for both the
    // constant and the zero speed.
    TuningPattern(double maxSpeed, double acceleration, double holdSeconds);

    // The speed command `seconds` after the start of the run, rpm.
    double SpeedAt(double seconds) const;
    // Whether the command is ramping at that time (the drive learns the inertia from those).
    bool Accelerating(double seconds) const;

private:
    // Time into the current half cycle and its sign.
    double Phase(double seconds, double* sign) const;

    double speed_;
    double ramp_; // seconds from rest to the maximum speed
    double hold_;
};
