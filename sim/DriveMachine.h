#pragma once

#include "sim/FrequencyRun.h"
#include "sim/Machine.h"
#include "sim/TraceRecorder.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>

class DriveState;

// The drive around the machine: what makes the motor move and what the drive shows of it.
//
// Inputs, read from the drive's words at every sync: the control mode (Cn001's live copy), the
// internal speed commands Sn201..Sn203, the speed loop (Sn211 gain, Sn212 integral time, Cn025
// inertia ratio, Cn010/Cn011 torque limits), the contact functions Hn501..Hn517, the zero-speed
// and speed-reached levels (Sn215, Cn007), the JOG enable word and the maximum speed N and model
// code.
//
// The active speed command: nothing while the servo is off or an alarm stands; the speed setting
// of a frequency response run (FrequencyRun, which turns the servo on by itself); the JOG speed
// set through SetJogSpeed (it turns the servo on by itself); Sn201 while JOG is enabled (page '6'
// 0x3E not 0); the off-line tuning pattern while its switch (page '5' 0xDC) is set; else, in speed
// mode (Cn001 = 1), Sn201/Sn202/Sn203 as the SPD1/SPD2
// functions select them (SPD1 alone, SPD2 alone, both; neither: 0), reversed by SPDINV. Other
// modes hold the motor at rest (no pulse or analog command reaches the simulated drive).
//
// A contact function is active when its contact differs from its normally closed setting (bit
// 0x0100 of the contact parameter): a normally open contact that is on, a normally closed one
// that is off. The servo is on when `servo on` was given or SON is active, and no alarm stands.
// ALRS becoming active clears the alarm; EMC becoming active raises alarm 9.
//
// The trace recorder (TraceRecorder) arms at a sync after its start was written; while it records,
// the machine is stepped one step at a time and the recorder looks at every step.
// Gain tuning: while the servo is on and the off-line pattern runs, or on-line tuning is chosen in
// Cn002 and the motor accelerates, the drive's estimate of the load inertia ratio (Un-19) settles
// toward the machine's true ratio. Before any tuning it is the ratio the drive was told (Cn025).
//
// Outputs, written to the status words after every sync: servo state, alarm bits, dn-02 (output
// contacts, active low), dn-03 (input contacts), Un-01..Un-19. A word is written only when its
// value changed since the last sync, so a word set by hand (a test's SetWord) stays until the
// machine moves it.
class DriveMachine {
public:
    static constexpr int kInputCount = 13;
    static constexpr int kOutputCount = 8;
    static constexpr int kAlarmCount = 15;
    static constexpr int kAlarmRingSize = 10;
    static constexpr int kAlarmRingPointer = 0x0A; // mailbox index of the ring's pointer

    explicit DriveMachine(DriveState& state);

    ::Machine& Machine() { return machine_; }
    const ::Machine& Machine() const { return machine_; }

    // Reads the inputs, steps the machine by `duration`, writes the outputs.
    void Advance(std::chrono::microseconds duration);
    // The same without moving time: after a change of inputs or before a request is answered.
    void Sync() { Advance(std::chrono::microseconds{0}); }

    void SetServoCommand(bool on) { servoCommand_ = on; }
    bool ServoCommand() const { return servoCommand_; }
    bool ServoOn() const;
    // DI-1..DI-13, bit n-1 for DI-n.
    void SetInputs(uint16_t bits) { inputs_ = bits & 0x1FFF; }
    void SetInput(int contact, bool on);
    uint16_t Inputs() const { return inputs_; }
    uint16_t Outputs() const; // dn-02, active low

    // Raises alarm 1..15: its code goes into the drive's alarm ring at the pointer and the
    // pointer moves on (after entry 9 comes entry 0), its bit is set and the servo goes off (a
    // `servo on` given before is forgotten). False for another code.
    bool RaiseAlarm(int code);
    void ClearAlarm() { alarmBits_ = 0; }
    uint16_t AlarmBits() const { return alarmBits_; }
    // The alarm word as a test sets it, ring and servo command left alone.
    void SetAlarmBits(uint16_t bits) { alarmBits_ = bits; }

    // A JOG speed in rpm that overrides every other command while set (and turns the servo on).
    void SetJogSpeed(std::optional<double> rpm) { jogSpeed_ = rpm; }

    // Whether input function `function` (1..28, SON = 1) is active on any contact.
    bool InputFunctionActive(int function) const;

    // The estimated load inertia ratio (Un-19 / 10).
    double InertiaEstimate() const { return estimate_; }

    // The drive powered up again: servo off, no alarm, the motor at rest, no JOG, trace or
    // frequency response run, the inertia estimate untaught, every output written again. What
    // lies outside the drive stays as it is: the mechanics' make-up, the analog voltage and the
    // input contacts (the machine's settings and the wiring).
    void PowerUp();

private:
    uint32_t ActiveInputFunctions() const; // bit f for function f
    void ReadInputs();
    void WriteOutputs();
    void Publish(char page, int location, uint16_t value);
    void ObserveTrace();
    // One machine step of a tuning run: the pattern's command, then the estimate learns.
    void TuningStep();
    double LiveValue(char letter, int number) const;

    DriveState& state_;
    ::Machine machine_;
    FrequencyRun run_;
    bool servoCommand_ = false;
    uint16_t inputs_ = 0;
    uint16_t alarmBits_ = 0;
    std::optional<double> jogSpeed_;
    bool jogEnabled_ = false;
    bool offlineRun_ = false;    // the off-line pattern drives the motor
    bool onlineTuning_ = false;  // Cn002 chooses on-line tuning
    double runSeconds_ = 0;      // into the off-line pattern
    double patternSpeed_ = 0, patternAcceleration_ = 0, patternHold_ = 0;
    double estimate_ = 0;
    bool learned_ = false; // until a tuning run learns, the estimate is Cn025
    std::chrono::microseconds tuningPending_{0};
    int maxSpeed_ = 3000;
    double zeroSpeed_ = 50;
    double speedReached_ = 1000;
    bool alarmResetWas_ = false;
    bool emergencyWas_ = false;
    TraceRecorder recorder_;
    std::map<int, uint16_t> published_; // page * 256 + location -> the value written last
};
