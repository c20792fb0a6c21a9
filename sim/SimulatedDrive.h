#pragma once

#include "sim/DriveMachine.h"
#include "sim/DriveState.h"
#include "sim/FaultSwitches.h"
#include "sim/RequestFramer.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// How the drive's serial port is set up.
struct DriveLinkOptions {
    bool rs485 = false; // RS-485: Modbus at `station` besides the command protocol
    int station = 1;    // 1..247
    int frameFormat =
        0; // 0..5 Modbus ASCII, 6..8 Modbus RTU (data bits and parity do not matter here)

    bool AsciiMode() const { return frameFormat < 6; }
};

// The simulated servo drive: its memory (DriveState), the requests it understands on its serial
// port, and the faults it can be told to produce.
//
// The port is a byte stream. Receive() takes whatever bytes arrived, cuts complete requests out
// of them (RequestFramer) and returns the drive's replies. Each request is written to the
// request log, then the fault switches decide whether it is refused, whether its reply is lost
// or damaged; a dropped or damaged reply belongs to a request that was carried out.
//
// Modbus requests for another station are ignored (no reply), as are Modbus frames whose LRC
// or CRC is wrong. Refusal applies to command frames only: Modbus has no refusal.
class SimulatedDrive {
public:
    explicit SimulatedDrive(const DriveIdentity& identity = {}, const DriveLinkOptions& link = {});
    ~SimulatedDrive();

    SimulatedDrive(const SimulatedDrive&) = delete;
    SimulatedDrive& operator=(const SimulatedDrive&) = delete;

    // One reply and when it goes out: after `delay` (latency and the request's wire time), then
    // one byte every `byteTime` (zero unless pacing).
    struct TimedReply {
        QByteArray bytes;
        std::chrono::microseconds delay{0};
        std::chrono::microseconds byteTime{0};
        bool echo = false; // the converter's copy of what came in, not the drive's reply
    };

    // The replies to the requests completed by `bytes`, without waiting.
    std::vector<TimedReply> Process(QByteArrayView bytes);
    // The same, concatenated; when latency or pacing is set, returns only after the replies'
    // time has passed, as a serial port would.
    QByteArray Receive(QByteArrayView bytes);
    // A responder for an in-memory serial port: every write goes to Receive().
    std::function<QByteArray(QByteArrayView)> Responder();
    // The line fell silent: an unfinished request is discarded.
    void LineIdle();

    // Every byte received goes back at once, before the reply, as a two-wire RS-485 converter
    // hands back what the computer sends (paced like the reply when pacing is on).
    void SetEcho(bool on) { echo_ = on; }
    bool Echo() const { return echo_; }

    // The silence the line kept before the request whose first bytes arrive next (the host
    // measures it on arrival); once that request turns out to be a Modbus RTU frame it counts
    // towards the smallest seen.
    void NoteSilence(std::chrono::microseconds quiet) { pendingSilence_ = quiet; }
    // The smallest silence before a Modbus RTU request so far, negative before any.
    std::chrono::microseconds SmallestRtuSilence() const { return smallestRtuSilence_; }
    bool HasPendingBytes() const;

    DriveState& State() { return state_; }
    const DriveState& State() const { return state_; }
    const DriveLinkOptions& Link() const { return link_; }

    // The machine behind the drive (DriveMachine): its words are brought up to date before every
    // request is answered. In process it moves only when advanced; behind a terminal it follows
    // the wall clock (SetFollowsClock).
    DriveMachine& Machine() { return machine_; }
    const DriveMachine& Machine() const { return machine_; }
    void Advance(std::chrono::microseconds duration);
    // Advances the machine by the time passed since the last call (at most a second at once, so
    // a stopped process does not come back to hours of catching up).
    void SetFollowsClock(bool follows);
    void FollowClock();

    // A power cycle: the stored parameters become live, every other word of the drive's memory
    // but its identity is lost and the machine powers up (DriveMachine::PowerUp). A request cut
    // off by it is lost. Faults, the log and the persist file carry on.
    void Restart();

    // Status hooks. SetServoOn is the `servo on` command and SetInputContacts the input
    // contacts (DI-n is bit n-1), both through the machine; SetAlarm writes the alarm word alone
    // (machine.RaiseAlarm() is the alarm that goes into the ring and stops the servo).
    void SetAlarm(uint16_t alarmBits);
    void SetServoOn(bool on);
    void SetInputContacts(uint16_t contacts);
    void SetMaxSpeed(int32_t rpm);
    void SetModelCode(int32_t code);
    void SetSoftwareVersion(int32_t version);
    // Any word; `page` is the page character '0'..'9', 'A'..'F'.
    void SetWord(char page, int location, uint16_t value);
    uint16_t Word(char page, int location) const;

    void SetFaults(const FaultSettings& faults); // also restarts the dice from the seed
    const FaultSettings& Faults() const { return faults_; }
    void SetHungUp(bool hungUp);
    bool HungUp() const;

    // Request log: one printable line per request received (command frames as they are, Modbus
    // ASCII without CR LF, RTU as upper-case hex bytes separated by blanks).
    const QStringList& RequestLog() const { return log_; }
    void ClearRequestLog() { log_.clear(); }
    void SetKeepLogInMemory(bool keep) { keepLog_ = keep; }
    // Also append every line to a file (flushed per request). An empty path stops it.
    bool SetLogFile(const QString& path, QString* error);

    // Non-volatile parameters in a file: loaded now when the file exists (and the live copies
    // with them, as at power-up), written atomically after every request that stored something.
    bool SetPersistFile(const QString& path, QString* error);
    // The last failure to write the persist file, empty when none.
    const QString& PersistError() const { return persistError_; }

    struct Counters {
        uint64_t requests = 0;   // complete frames received
        uint64_t replies = 0;    // replies sent (damaged ones included)
        uint64_t dropped = 0;    // replies lost on purpose
        uint64_t corrupted = 0;  // replies with a damaged check value
        uint64_t refused = 0;    // commands refused on purpose
        uint64_t ignored = 0;    // requests not answered: other station, bad LRC/CRC, hung up
        uint64_t noiseBytes = 0; // bytes skipped as line noise
    };
    Counters Counts() const;

    // Text form of a request for the log.
    static QString LogLine(const RequestFramer::Frame& frame);

private:
    QByteArray Answer(const RequestFramer::Frame& frame, bool refuse);
    void Record(const RequestFramer::Frame& frame);
    void PersistIfStored();

    DriveState state_;
    DriveMachine machine_{state_};
    bool followsClock_ = false;
    std::chrono::steady_clock::time_point lastFollow_{};
    DriveLinkOptions link_;
    RequestFramer framer_;
    FaultSettings faults_;
    FaultDice dice_;
    bool hungUp_ = false;
    bool echo_ = false;
    std::chrono::microseconds pendingSilence_{-1};
    std::chrono::microseconds smallestRtuSilence_{-1};
    QStringList log_;
    bool keepLog_ = true;
    std::unique_ptr<QFile> logFile_;
    QString persistPath_;
    QString persistError_;
    Counters counters_;
};
