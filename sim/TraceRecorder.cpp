#include "sim/TraceRecorder.h"

#include "sim/DriveState.h"
#include "sim/Machine.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace {

constexpr int kPage7 = 7;
constexpr int kStateWord = 0xD0;
constexpr int kIntervalWord = 0xD6;
constexpr int kConfigWord = 0xCD;
constexpr int kLevelWord = 0xD8;
constexpr uint16_t kStartCommand = 1;
constexpr uint16_t kArmed = 0;
constexpr uint16_t kFinished = 2;
constexpr int kMaxIntervalCode = 1250;
constexpr int kWordsPerPage = 256;
// Pages of each channel's two halves: data 1, data 2, inputs, outputs.
constexpr std::array<std::array<int, 2>, 4> kChannelPages{
    {{0x0, 0x1}, {0x2, 0x3}, {0x4, 0xD}, {0xE, 0xF}}};
constexpr int kPolePairs = 4;
constexpr double kTurnOfAngle = 1023.0; // the electric angle's raw value of 360°

enum Quantity {
    kSpeedCommand,
    kSpeedFeedback,
    kTorqueCommand,
    kReferencePulseSpeed,
    kCurrentCommand,
    kCurrentFeedback,
    kPositionError,
    kElectricAngle
};

uint16_t Word(double raw) {
    return static_cast<uint16_t>(
        static_cast<int16_t>(std::clamp(std::round(raw), -32768.0, 32767.0)));
}

} // namespace

TraceSample SampleMachine(const Machine& machine, int maxSpeed, uint16_t inputs, uint16_t outputs) {
    const double speedScale = 16384.0 / maxSpeed;
    constexpr double kTorqueScale = 40.96; // 4096 per 100 %
    const int counts = machine.CountsPerRevolution();
    const int64_t turn = ((machine.PositionFeedback() % counts) + counts) % counts;
    const double electric = std::fmod(static_cast<double>(turn) / counts * kPolePairs, 1.0);
    const double phase = std::cos(2.0 * std::numbers::pi * electric);

    TraceSample s;
    s.quantities[kSpeedCommand] = machine.SpeedCommand() * speedScale;
    s.quantities[kSpeedFeedback] = machine.MotorSpeed() * speedScale;
    s.quantities[kTorqueCommand] = machine.TorqueCommand() * kTorqueScale;
    s.quantities[kReferencePulseSpeed] = 0; // no pulse train reaches the simulated drive
    s.quantities[kCurrentCommand] = machine.TorqueCommand() * phase * kTorqueScale;
    s.quantities[kCurrentFeedback] = machine.Torque() * phase * kTorqueScale;
    s.quantities[kPositionError] = static_cast<double>(machine.PositionError());
    s.quantities[kElectricAngle] = electric * kTurnOfAngle;
    s.inputs = inputs;
    s.outputs = outputs;
    return s;
}

bool TraceRecorder::TakeStart(DriveState& state) {
    if (state.Word(kPage7, kStateWord) != kStartCommand) {
        return false;
    }
    state.SetWord(kPage7, kStateWord, kArmed);
    const int code = std::clamp<int>(state.Word(kPage7, kIntervalWord), 1, kMaxIntervalCode);
    intervalUs_ = code * 100;
    const uint16_t config = state.Word(kPage7, kConfigWord);
    data1_ = (config >> 1) & 0x7;
    data2_ = (config >> 9) & 0x7;
    mode_ = (config >> 12) & 0xF;
    level_ = static_cast<int16_t>(state.Word(kPage7, kLevelWord));
    armed_ = true;
    last_.reset();
    taken_ = 0;
    return true;
}

bool TraceRecorder::Triggered(const TraceSample& s) const {
    switch (mode_) {
    case 0: return true;
    case 1: return std::abs(s.quantities[kReferencePulseSpeed]) >= level_;
    case 2: return std::abs(s.quantities[kSpeedCommand]) >= level_;
    case 3: return std::abs(s.quantities[kSpeedFeedback]) >= level_;
    case 4: return std::abs(s.quantities[kTorqueCommand]) >= level_;
    default:
        if (mode_ <= 12) {
            return ((s.inputs >> (mode_ - 5)) & 1u) != 0;
        }
        return ((s.outputs >> (mode_ - 13)) & 1u) != 0;
    }
}

void TraceRecorder::Take(const TraceSample& s) {
    const auto index = static_cast<size_t>(taken_++);
    channels_[0][index] = Word(s.quantities[static_cast<size_t>(data1_)]);
    channels_[1][index] = Word(s.quantities[static_cast<size_t>(data2_)]);
    channels_[2][index] = s.inputs;
    channels_[3][index] = s.outputs;
}

void TraceRecorder::Observe(int64_t timeUs, const TraceSample& sample, DriveState& state) {
    if (!armed_) {
        return;
    }
    if (!last_) {
        if (!Triggered(sample)) {
            return;
        }
        Take(sample);
        last_.emplace(timeUs, sample);
        nextUs_ = timeUs + intervalUs_;
    }
    const auto& [lastUs, before] = *last_;
    for (; nextUs_ <= timeUs && taken_ < kPoints; nextUs_ += intervalUs_) {
        const double f =
            static_cast<double>(nextUs_ - lastUs) / static_cast<double>(timeUs - lastUs);
        TraceSample between = f >= 1.0 ? sample : before;
        for (size_t q = 0; q < between.quantities.size(); ++q) {
            double change = sample.quantities[q] - before.quantities[q];
            if (q == kElectricAngle && std::abs(change) > kTurnOfAngle / 2) {
                // The angle went round: the short way between the two steps.
                change -= std::copysign(kTurnOfAngle, change);
            }
            between.quantities[q] = before.quantities[q] + f * change;
            if (q == kElectricAngle) {
                between.quantities[q] =
                    std::fmod(between.quantities[q] + kTurnOfAngle, kTurnOfAngle);
            }
        }
        Take(between);
    }
    last_.emplace(timeUs, sample);
    if (taken_ == kPoints) {
        Finish(state);
    }
}

void TraceRecorder::Finish(DriveState& state) {
    for (size_t c = 0; c < channels_.size(); ++c) {
        for (int i = 0; i < kPoints; ++i) {
            const int page = kChannelPages[c][static_cast<size_t>(i / kWordsPerPage)];
            state.SetWord(page, i % kWordsPerPage, channels_[c][static_cast<size_t>(i)]);
        }
    }
    state.SetWord(kPage7, kStateWord, kFinished);
    armed_ = false;
    last_.reset();
}
