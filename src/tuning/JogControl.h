#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class DriveAccess;
class DriveConnection;
class Motion;

// The requests the JOG window puts to the main view, by code, with their argument.
namespace JogRequest {
inline constexpr int ReadSpeed = 1; // read Sn201 into the window's speed
inline constexpr int Turn = 3;      // write the argument as the JOG speed
inline constexpr int Forward = 5;   // the same, sent by "正转" with minus the speed
inline constexpr int Reverse = 7;   // the same, sent by "反转" with plus the speed
inline constexpr int Stop = 11;     // speed 0
inline constexpr int Exit = 12;     // enable off, Sn201 back to the argument, JOG mode off
} // namespace JogRequest

// The JOG entry: reads Sn201 (rpm), then switches JOG mode on, writes the entry value, sets the
// speed to 0 and enables JOG, stopping at the first failure (what was written stays written).
// The entry speed, or nothing when a step failed. No messages.
std::optional<int32_t> EnterJog(DriveAccess& access);

// The view's action for one request. For ReadSpeed, *speedRead gets the value. False when a
// read or write failed (the exit sequence stops at its first failure); an unknown code does
// nothing and succeeds.
bool RunJogRequest(DriveAccess& access, int request, int argument, int32_t* speedRead = nullptr);

// What a direction button sends: "正转" minus the absolute speed, "反转" plus it.
int32_t JogArgument(bool forward, int32_t speed);

// What the speed edit shows for a speed of the drive: its magnitude, which the direction buttons
// send with their sign, held to 0..N (the edit's range) so that what is shown is what is sent.
int32_t JogShownSpeed(int32_t driveSpeed, int32_t maxSpeed);

// The window's warning while the drive is not reached; also shown as a message when the window
// closes without its exit having reached the drive.
QString JogNotReachedText();
// What the program says on its way out when JOG's exit did not reach the drive.
QString JogNotEndedText();

// The speed edit's text taken as a speed 0..N; nothing for a value above N or not a number (the
// edit then goes back to its previous value). An empty edit is 0.
std::optional<int32_t> AcceptJogSpeed(const QString& text, int32_t maxSpeed);

// The JOG window's link to the drive. Its requests are queued to the drive operations and each
// runs under Busy after the current event; they outlive the window, so that the exit request
// posted at closing still runs. Whether the last request reached the drive is kept for the
// window to show: a stop that was not sent must not look like a stopped motor.
//
// While JOG is entered it is one of the connection's motions: the program's quit and the lost
// link run its exit too. Once the exit has run, by whoever, no further speed is sent.
class JogControl {
public:
    explicit JogControl(DriveConnection& connection);
    ~JogControl();

    // The entry sequence as one drive operation; false (and nothing more is done) while another
    // operation runs or when a step failed.
    bool Enter();
    int32_t EntrySpeed() const { return entrySpeed_; }

    void Post(int request, int argument);
    // The last request reached the drive and the link is up.
    bool DriveReached() const;
    // The exit has run (the exit request, the program's quit, or the lost link with success).
    bool Ended() const;

    // Called after each request has run; `speedRead` after a successful ReadSpeed. Cleared when
    // this object goes, so that requests still waiting call nobody.
    void SetListeners(std::function<void()> changed, std::function<void(int32_t)> speedRead);

private:
    struct Shared;
    DriveConnection& connection_;
    std::shared_ptr<Shared> shared_;
    int32_t entrySpeed_ = 0;
};
