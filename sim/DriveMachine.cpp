#include "sim/DriveMachine.h"

#include "sim/DriveState.h"
#include "sim/MotorEncoders.h"
#include "sim/RegisterMap.h"
#include "sim/TuningPattern.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Input functions the simulated drive acts on (low byte of Hn501..Hn513).
enum InputFunction {
    kSon = 0x01,
    kAlrs = 0x02,
    kEmc = 0x09,
    kSpd1 = 0x0A,
    kSpd2 = 0x0B,
    kSpdInv = 0x0E
};
// Output functions (low byte of Hn514..Hn517).
enum OutputFunction { kRdy = 1, kAlm, kZs, kBi, kIns, kInp, kHome, kInt };

constexpr int kNormallyClosed = 0x0100;
constexpr int kFirstOutputParameter = 14; // Hn514
constexpr int kConfiguredOutputs = 4;     // DO-1..DO-4; DO-5..DO-8 stay off
constexpr int kEmergencyAlarm = 9;
constexpr int kSpeedMode = 1;
constexpr int64_t kInPositionCounts = 10;
constexpr double kSpeedReachedMargin = 20; // rpm, when Cn007 is 0
// The estimate learns with this time constant, counted in accelerating time only.
constexpr double kLearningSeconds = 1.0;
// On-line tuning learns while the motor accelerates at least this much, rpm/s.
constexpr double kLearningAcceleration = 500;

int16_t Saturated(double value) {
    return static_cast<int16_t>(std::clamp<double>(std::round(value), -32768.0, 32767.0));
}

} // namespace

DriveMachine::DriveMachine(DriveState& state) : state_(state) {
    machine_.SetSettings(machine_.Settings());
    machine_.SetAfterStep([this](::Machine& m) { run_.AfterStep(state_, m); });
}

void DriveMachine::PowerUp() {
    ::Machine atRest;
    atRest.SetSettings(machine_.Settings());
    atRest.SetAfterStep([this](::Machine& m) { run_.AfterStep(state_, m); });
    machine_ = std::move(atRest);
    run_ = FrequencyRun();
    recorder_ = TraceRecorder();
    servoCommand_ = false;
    alarmBits_ = 0;
    jogSpeed_.reset();
    jogEnabled_ = false;
    offlineRun_ = false;
    onlineTuning_ = false;
    runSeconds_ = 0;
    patternSpeed_ = patternAcceleration_ = patternHold_ = 0;
    estimate_ = 0;
    learned_ = false;
    tuningPending_ = std::chrono::microseconds{0};
    maxSpeed_ = 3000;
    // A contact held active at power-up acts as one that has just become active.
    alarmResetWas_ = false;
    emergencyWas_ = false;
    published_.clear();
}

bool DriveMachine::ServoOn() const {
    return machine_.Enabled();
}

void DriveMachine::SetInput(int contact, bool on) {
    if (contact < 1 || contact > kInputCount) {
        return;
    }
    const auto bit = static_cast<uint16_t>(1u << (contact - 1));
    inputs_ = on ? (inputs_ | bit) : (inputs_ & ~bit);
}

uint32_t DriveMachine::ActiveInputFunctions() const {
    uint32_t active = 0;
    for (int n = 1; n <= kInputCount; ++n) {
        const int value = state_.LiveRaw('H', n) & 0xFFFF;
        const int function = value & 0xFF;
        const bool on = (inputs_ >> (n - 1)) & 1u;
        if (function > 0 && function < 32 && on != ((value & kNormallyClosed) != 0)) {
            active |= 1u << function;
        }
    }
    return active;
}

bool DriveMachine::InputFunctionActive(int function) const {
    return function > 0 && function < 32 && ((ActiveInputFunctions() >> function) & 1u);
}

bool DriveMachine::RaiseAlarm(int code) {
    if (code < 1 || code > kAlarmCount) {
        return false;
    }
    int pointer = state_.StoredWord(kAlarmRingPointer);
    if (pointer < 0 || pointer >= kAlarmRingSize) {
        pointer = 0;
    }
    const auto word = static_cast<uint16_t>(code);
    state_.SetStoredWord(pointer, word);
    state_.SetWord(DriveState::kParameterPage, pointer, word);
    pointer = (pointer + 1) % kAlarmRingSize;
    state_.SetStoredWord(kAlarmRingPointer, static_cast<uint16_t>(pointer));
    state_.SetWord(DriveState::kParameterPage, kAlarmRingPointer, static_cast<uint16_t>(pointer));
    alarmBits_ = static_cast<uint16_t>(alarmBits_ | (1u << (code - 1)));
    servoCommand_ = false;
    machine_.SetEnabled(false);
    return true;
}

double DriveMachine::LiveValue(char letter, int number) const {
    const RegisterRow* row = WordsOfCode(letter, number);
    return row != nullptr ? RawToValue(row->scaling, state_.LiveRaw(letter, number), maxSpeed_) : 0;
}

void DriveMachine::ReadInputs() {
    const int n = static_cast<int16_t>(state_.Word(DriveLayout::kMaxMotorSpeed));
    maxSpeed_ = n > 0 ? n : 3000;
    machine_.SetMaxSpeed(maxSpeed_);
    machine_.SetCountsPerRevolution(4 * EncoderPulsesOfModel(state_.Word(DriveLayout::kModelCode)));

    SpeedLoopSettings loop;
    loop.gainHz = LiveValue('S', 11);
    loop.integralMs = LiveValue('S', 12) * 0.2;
    loop.assumedRatio = LiveValue('C', 25) / 10.0;
    loop.ccwLimit = LiveValue('C', 10);
    loop.cwLimit = LiveValue('C', 11);
    machine_.SetLoop(loop);
    zeroSpeed_ = LiveValue('S', 15);
    speedReached_ = LiveValue('C', 7);
    jogEnabled_ = state_.Word(DriveLayout::kJogEnable) != 0;
    if (!learned_) {
        estimate_ = LiveValue('C', 25) / 10.0;
    }
    onlineTuning_ =
        (state_.LiveRaw('C', 2) & DriveLayout::kAutoTuningBits) == DriveLayout::kAutoTuningOn;
    auto tuningValue = [this](int number, int32_t raw) {
        return RawToValue(TuningWord(number).scaling, raw, maxSpeed_);
    };
    patternSpeed_ = tuningValue(6, static_cast<int16_t>(state_.Word(DriveLayout::kTuningMaxSpeed)));
    patternAcceleration_ = tuningValue(7, state_.Word(DriveLayout::kTuningAcceleration));
    patternHold_ = state_.Word(DriveLayout::kTuningHoldTime) * 1e-4;

    const uint32_t functions = ActiveInputFunctions();
    auto active = [functions](int function) { return ((functions >> function) & 1u) != 0; };
    const bool alarmReset = active(kAlrs);
    if (alarmReset && !alarmResetWas_) {
        ClearAlarm();
    }
    alarmResetWas_ = alarmReset;
    const bool emergency = active(kEmc);
    if (emergency && !emergencyWas_) {
        RaiseAlarm(kEmergencyAlarm);
    }
    emergencyWas_ = emergency;

    run_.ReadControl(state_, machine_, maxSpeed_);
    machine_.SetEnabled(alarmBits_ == 0 &&
                        (servoCommand_ || jogSpeed_.has_value() || run_.Active() || active(kSon)));
    const bool offline = state_.Word(DriveLayout::kOfflineTuning) != 0;
    offlineRun_ = offline && machine_.Enabled() && !jogSpeed_ && !jogEnabled_ && !run_.Active();
    if (!offlineRun_) {
        runSeconds_ = 0; // the next run starts the pattern from rest
    }
    double command = 0;
    if (run_.Active()) {
        command = run_.SpeedSetting();
    } else if (jogSpeed_) {
        command = *jogSpeed_;
    } else if (jogEnabled_) {
        command = LiveValue('S', 1);
    } else if (offlineRun_) {
        command = TuningPattern(patternSpeed_, patternAcceleration_, patternHold_)
                      .SpeedAt(runSeconds_);
    } else if (state_.LiveRaw('C', 1) == kSpeedMode) {
        const bool spd1 = active(kSpd1);
        const bool spd2 = active(kSpd2);
        const int which = (spd1 ? 1 : 0) + (spd2 ? 2 : 0); // 0: analog, 1..3: Sn201..Sn203
        // The analog command: Sn216 rpm for 10 V.
        command = which == 0 ? machine_.Settings().analogSpeed / 10.0 * LiveValue('S', 16)
                             : LiveValue('S', which);
        if (active(kSpdInv)) {
            command = -command;
        }
    }
    machine_.SetSpeedCommand(command);
}

uint16_t DriveMachine::Outputs() const {
    const double speed = std::abs(machine_.MotorSpeed());
    const bool ready = alarmBits_ == 0;
    uint16_t word = 0xFF; // active low: every output off
    for (int o = 0; o < kConfiguredOutputs; ++o) {
        const int value = state_.LiveRaw('H', kFirstOutputParameter + o) & 0xFFFF;
        bool active = false;
        switch (value & 0xFF) {
        case kRdy: active = ready; break;
        case kAlm: active = !ready; break;
        case kZs: active = speed < std::max(zeroSpeed_, 1.0); break;
        case kBi: active = machine_.Enabled(); break;
        case kIns:
            active = speedReached_ > 0
                         ? speed >= speedReached_
                         : machine_.Enabled() &&
                               std::abs(machine_.MotorSpeed() - machine_.SpeedCommand()) <
                                   kSpeedReachedMargin;
            break;
        case kInp:
            active = machine_.Enabled() && std::abs(machine_.PositionError()) <= kInPositionCounts;
            break;
        case kHome:
        case kInt:
        default: active = false; break;
        }
        // A normally closed output is closed while its function is not active.
        const bool closed = active != ((value & kNormallyClosed) != 0) && (value & 0xFF) != 0;
        if (closed) {
            word = static_cast<uint16_t>(word & ~(1u << o));
        }
    }
    return word;
}

void DriveMachine::Publish(char page, int location, uint16_t value) {
    const int key = DriveLayout::PageNumber(page) * DriveState::kPageSize + location;
    const auto last = published_.find(key);
    if (last != published_.end() && last->second == value) {
        return;
    }
    published_[key] = value;
    state_.SetWord(DriveLayout::PageNumber(page), location, value);
}

void DriveMachine::WriteOutputs() {
    const ::Machine& m = machine_;
    auto speedWord = [this](double rpm) {
        return static_cast<uint16_t>(Saturated(rpm * 16384.0 / maxSpeed_));
    };
    auto percentWord = [](double percent) {
        return static_cast<uint16_t>(Saturated(percent * 40.96));
    };
    auto un = [this](int number, uint16_t value) {
        const WordAddress at = MonitorAddress('U', number);
        Publish(at.page, at.location, value);
    };
    auto un32 = [this](int number, int64_t value) {
        const WordAddress at = MonitorAddress('U', number);
        const auto v = static_cast<uint32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
        Publish(at.page, at.location, static_cast<uint16_t>(v >> 16));
        Publish(at.page, at.location + 1, static_cast<uint16_t>(v & 0xFFFF));
    };

    Publish(DriveLayout::kServoState.page, DriveLayout::kServoState.location, m.Enabled() ? 1 : 0);
    Publish(DriveLayout::kAlarmBits.page, DriveLayout::kAlarmBits.location, alarmBits_);
    const WordAddress dn3 = MonitorAddress('D', 3);
    Publish(dn3.page, dn3.location, inputs_);
    const WordAddress dn2 = MonitorAddress('D', 2);
    Publish(dn2.page, dn2.location, Outputs());

    const int counts = m.CountsPerRevolution();
    const int64_t feedback = std::llabs(m.PositionFeedback());
    const int64_t command = std::llabs(m.PositionCommand());
    un(1, speedWord(m.MotorSpeed()));
    un(2, percentWord(m.Torque()));
    un(3, static_cast<uint16_t>(std::lround(std::min(m.RegenerativeLoad(), 65535.0))));
    un(4, percentWord(m.EffectiveLoad()));
    un(5, percentWord(m.PeakLoad()));
    un(6, speedWord(m.SpeedCommand()));
    un32(7, m.PositionError());
    un32(8, m.PositionFeedback());
    un(9, static_cast<uint16_t>(std::lround(m.Settings().analogSpeed * 1638.4)));
    un(10, static_cast<uint16_t>(std::lround(m.Settings().busVoltage * 1024.0 / 502.0)));
    un(11, 0); // nor analog limits
    un(12, 0);
    un(13, 0);
    un(14, static_cast<uint16_t>(feedback / counts));
    un(15, static_cast<uint16_t>(feedback % counts));
    un(16, static_cast<uint16_t>(command / counts));
    un(17, static_cast<uint16_t>(command % counts));
    un(18, percentWord(m.TorqueCommand()));
    un(19, static_cast<uint16_t>(std::lround(InertiaEstimate() * 10.0)));
}

void DriveMachine::TuningStep() {
    constexpr double kStepSeconds = std::chrono::duration<double>(Machine::kStep).count();
    bool learning = false;
    if (offlineRun_) {
        const TuningPattern pattern(patternSpeed_, patternAcceleration_, patternHold_);
        machine_.SetSpeedCommand(pattern.SpeedAt(runSeconds_));
        learning = pattern.Accelerating(runSeconds_);
        runSeconds_ += kStepSeconds;
    }
    const double before = machine_.MotorSpeed();
    machine_.Step();
    if (onlineTuning_ && !offlineRun_) {
        learning = std::abs(machine_.MotorSpeed() - before) / kStepSeconds > kLearningAcceleration;
    }
    if (learning) {
        learned_ = true;
        const double truth = machine_.Settings().inertiaRatio;
        estimate_ += (truth - estimate_) * (1.0 - std::exp(-kStepSeconds / kLearningSeconds));
    }
}

void DriveMachine::ObserveTrace() {
    const auto now = static_cast<int64_t>(machine_.Steps()) * Machine::kStep.count();
    const auto outputsOn = static_cast<uint16_t>(~Outputs() & 0xFF);
    recorder_.Observe(now, SampleMachine(machine_, maxSpeed_, inputs_, outputsOn), state_);
}

void DriveMachine::Advance(std::chrono::microseconds duration) {
    // Inputs change only between calls (requests, control lines), so one read serves them all.
    ReadInputs();
    if (recorder_.TakeStart(state_)) {
        ObserveTrace();
    }
    if ((offlineRun_ || onlineTuning_) && machine_.Enabled()) {
        // A tuning run changes its command and learns at every step (and a recording looks).
        tuningPending_ += duration;
        for (; tuningPending_ >= Machine::kStep; tuningPending_ -= Machine::kStep) {
            TuningStep();
            if (recorder_.Active()) {
                ObserveTrace();
            }
        }
    } else {
        // A recording looks at every step; otherwise the machine takes the whole time at once.
        while (recorder_.Active() && duration.count() > 0) {
            const auto part = std::min(duration, Machine::kStep);
            const uint64_t before = machine_.Steps();
            machine_.Advance(part);
            duration -= part;
            if (machine_.Steps() != before) {
                ObserveTrace();
            }
        }
        machine_.Advance(duration);
    }
    WriteOutputs();
}
