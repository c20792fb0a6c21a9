#include "sim/TuningPattern.h"

#include <algorithm>
#include <cmath>

TuningPattern::TuningPattern(double maxSpeed, double acceleration, double holdSeconds)
    : speed_(std::abs(maxSpeed)),
      ramp_(acceleration > 0 ? std::abs(maxSpeed) / acceleration : 0.0),
      hold_(std::max(holdSeconds, 0.0)) {}

double TuningPattern::Phase(double seconds, double* sign) const {
    const double half = 2 * ramp_ + 2 * hold_;
    if (half <= 0 || seconds < 0) {
        *sign = 1;
        return 0;
    }
    const double cycle = std::fmod(seconds, 2 * half);
    *sign = cycle < half ? 1 : -1;
    return cycle < half ? cycle : cycle - half;
}

double TuningPattern::SpeedAt(double seconds) const {
    double sign = 1;
    const double t = Phase(seconds, &sign);
    double speed = 0;
    if (t < ramp_) {
        speed = speed_ * t / ramp_;
    } else if (t < ramp_ + hold_) {
        speed = speed_;
    } else if (t < 2 * ramp_ + hold_) {
        speed = speed_ * (1.0 - (t - ramp_ - hold_) / ramp_);
    }
    return sign * speed;
}

bool TuningPattern::Accelerating(double seconds) const {
    double sign = 1;
    const double t = Phase(seconds, &sign);
    return speed_ > 0 && (t < ramp_ || (t >= ramp_ + hold_ && t < 2 * ramp_ + hold_));
}
