#include "sim/FrequencyRun.h"

#include "sim/DriveLayout.h"
#include "sim/DriveState.h"
#include "sim/Machine.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr uint16_t kStart = 1;
constexpr uint16_t kHalfWaiting = 2;
constexpr uint16_t kFirstHalf = 0;
constexpr uint16_t kFirstFetched = 1;
constexpr uint16_t kSecondHalf = 2;
constexpr uint16_t kSecondFetched = 0;

int16_t SaturatedSample(double value) {
    return static_cast<int16_t>(std::clamp<double>(std::round(value), -32768.0, 32767.0));
}

} // namespace

FrequencyRun::FrequencyRun() {
    // Schroeder phases keep the peak of the sum low, so the whole load size goes into the sines.
    constexpr int kLastBin = kPairs / 2 - 1;
    double peak = 0;
    for (int n = 0; n < kPairs; ++n) {
        double sum = 0;
        for (int k = 1; k <= kLastBin; ++k) {
            const double phase = -std::numbers::pi * k * (k - 1) / kLastBin;
            sum += std::cos(2.0 * std::numbers::pi * k * n / kPairs + phase);
        }
        signal_[n] = sum;
        peak = std::max(peak, std::abs(sum));
    }
    for (double& s : signal_) {
        s /= peak;
    }
}

void FrequencyRun::ReadControl(DriveState& state, Machine& machine, int maxSpeed) {
    const uint16_t control = state.Word(DriveLayout::kRunControl);
    if (!running_) {
        if (control == kStart) {
            Start(state, machine, maxSpeed);
        }
        return;
    }
    if (control == 0) {
        Stop(machine);
        return;
    }
    if (control == kStart && handover_ != Handover::Recording) {
        Start(state, machine, maxSpeed); // the host started again over a run it left
        return;
    }
    const uint16_t half = state.Word(DriveLayout::kRunHalf);
    if (handover_ == Handover::FirstReady && half == kFirstFetched) {
        firstFetched_ = true;
        HandOverSecondIfReady(state);
    } else if (handover_ == Handover::SecondReady && half == kSecondFetched) {
        handover_ = Handover::Done;
        machine.SetTorqueOffset(0);
    }
}

void FrequencyRun::Start(const DriveState& state, Machine& machine, int maxSpeed) {
    maxSpeed_ = maxSpeed > 0 ? maxSpeed : 3000;
    loadPercent_ = static_cast<int16_t>(state.Word(DriveLayout::kRunLoadTorque)) / 40.96;
    speedRpm_ =
        static_cast<int16_t>(state.Word(DriveLayout::kRunSpeedSetting)) * maxSpeed_ / 16384.0;
    running_ = true;
    handover_ = Handover::Recording;
    firstFetched_ = false;
    settleLeft_ = kSettleSteps;
    recorded_ = 0;
    step_ = 0;
    record_.fill(0);
    machine.SetTorqueOffset(loadPercent_ * signal_[0]);
}

void FrequencyRun::Stop(Machine& machine) {
    running_ = false;
    machine.SetTorqueOffset(0);
}

void FrequencyRun::AfterStep(DriveState& state, Machine& machine) {
    if (!Exciting()) {
        return;
    }
    ++step_;
    if (settleLeft_ > 0) {
        --settleLeft_;
    } else {
        record_[2 * recorded_] = SaturatedSample(machine.Torque() * 40.96);
        record_[2 * recorded_ + 1] = SaturatedSample(machine.MotorSpeed() * 16384.0 / maxSpeed_);
        ++recorded_;
        if (recorded_ == kHalfPairs) {
            PutHalf(state, 0);
            state.SetWord(DriveLayout::kRunHalf, kFirstHalf);
            state.SetWord(DriveLayout::kRunControl, kHalfWaiting);
            handover_ = Handover::FirstReady;
        } else if (recorded_ == kPairs) {
            HandOverSecondIfReady(state);
        }
    }
    machine.SetTorqueOffset(Exciting() ? loadPercent_ * signal_[step_ % kPairs] : 0.0);
}

void FrequencyRun::PutHalf(DriveState& state, int half) const {
    const int16_t* words = record_.data() + half * 2 * kHalfPairs;
    for (int i = 0; i < 2 * kHalfPairs; ++i) {
        const int page =
            DriveLayout::PageNumber(DriveLayout::kRecordPages[i / DriveLayout::kPageSize]);
        state.SetWord(page, i % DriveLayout::kPageSize, static_cast<uint16_t>(words[i]));
    }
}

void FrequencyRun::HandOverSecondIfReady(DriveState& state) {
    if (handover_ != Handover::FirstReady || !firstFetched_ || recorded_ < kPairs) {
        return;
    }
    PutHalf(state, 1);
    state.SetWord(DriveLayout::kRunHalf, kSecondHalf);
    handover_ = Handover::SecondReady;
}
