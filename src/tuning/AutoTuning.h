#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class DriveAccess;
class DriveConnection;
class DriveOperations;
class Messenger;
class ParameterChannel;
struct DriveProfile;

// The three choices of the automatic gain tuning command.
enum class TuningMode { Off = 0, OffLine = 1, OnLine = 2 };

// Cn002 with automatic gain tuning on (bit 8 set, bits 9..11 left as they are) and off (bits
// 8..11 cleared); the other bits stay as read.
int32_t WithAutoTuningOn(int32_t cn002);
int32_t WithAutoTuningOff(int32_t cn002);

// The end of an off-line run: automatic tuning off in Cn002 and the off-line switch cleared, both
// tried. Empty when both reached the drive; otherwise the one-line text that says which is left
// in tuning mode and what it holds (`tuningMode`, Cn002 as the run stored it).
QString RestoreAfterRun(DriveAccess& access, int32_t tuningMode);

// The off-line test pattern: maximum speed (rpm), acceleration (rpm/s) and the constant or zero
// speed time (0.1 ms), numbered 1..3 as the window's groups.
struct PatternValues {
    int32_t maxSpeed = 1000;
    int32_t acceleration = 7400;
    int32_t holdTime = 2000;

    int32_t& operator[](int group);
};
inline constexpr int kPatternGroups = 3;

// The range of a group as shown after "范围值: " ("0~3000" with N = 3000).
QString PatternRangeText(int group, int32_t maxSpeed);
// The set value of a group's edit as a decimal integer within its range; nothing otherwise.
std::optional<int32_t> PatternValueInRange(int group, const QString& text, int32_t maxSpeed);

// What a group's set value field shows for a value read from the drive: held within the range, so
// that the field (4, 5 and 5 characters) never shows a cut number that "写入" would send.
int32_t PatternSetValueShown(int group, int32_t value, int32_t maxSpeed);

// Reads the three pattern values from the drive; nothing at the first failure.
std::optional<PatternValues> ReadPattern(ParameterChannel& channel);
// Stores one value and reads it back: the value the drive now holds, nothing on a failure.
std::optional<int32_t> WritePatternValue(ParameterChannel& channel, int group, int32_t value);

// The pattern window's "写入": out of range it tells the user and sends nothing; in range the
// write is queued as a drive operation, and when it succeeded the value read back is handed to
// the window and the success is shown. Queued writes outlive the window (they call nobody then).
class PatternWriter {
public:
    // The maximum speed's range follows the profile's N.
    PatternWriter(DriveConnection& connection, const DriveProfile& profile, Messenger& messenger);
    ~PatternWriter();

    // False when the text was refused.
    bool Press(int group, const QString& text);
    void SetListener(std::function<void(int group, int32_t current)> shown);

private:
    struct Shared;
    DriveConnection& connection_;
    const DriveProfile& profile_;
    std::shared_ptr<Shared> shared_;
};

// A tuning run as the run window shows it and as the view's monitoring step (every 100 ms)
// moves it on: the servo must be seen on, the ratio then settles while the drive runs the
// pattern, and once the servo is seen off again "下一步(&N)" may be pressed.
class TuningRun : public std::enable_shared_from_this<TuningRun> {
public:
    TuningRun(DriveAccess& access, bool servoOn, int32_t ratio);

    bool ServoSeenOn() const { return servoSeenOn_; }
    // The instruction is the one to wait for the ratio (from the servo's first sight on).
    bool Waiting() const { return waiting_; }
    // The ratio is shown from the servo's first sight on.
    bool RatioShown() const { return waiting_; }
    int32_t Ratio() const { return ratio_; }
    bool NextEnabled() const { return nextEnabled_; }
    // The ratio the last step read; 0 before any.
    int32_t LastRatio() const { return lastRatio_; }

    // The monitoring step: until the servo is seen on, read the servo state; after that read
    // the ratio, then the servo state, and when the servo is off enable the next step. Stops
    // silently at a failed read.
    void Step();
    // The step as a drive operation after the current event; `changed` runs after it.
    void PostStep(DriveOperations& operations);
    void SetListener(std::function<void()> changed) { changed_ = std::move(changed); }

private:
    DriveAccess& access_;
    bool servoSeenOn_;
    bool waiting_;
    int32_t ratio_;
    int32_t lastRatio_ = 0;
    bool nextEnabled_ = false;
    std::function<void()> changed_;
};

// The windows of the command, given by the caller (the program shows its dialogs, tests answer).
struct AutoTuningDialogs {
    // The mode chosen with "确定", nothing for "取消".
    std::function<std::optional<TuningMode>()> chooseMode;
    // The pattern window with the drive's values; true for "确定". Its "写入" presses go through
    // the writer.
    std::function<bool(const PatternValues& current, PatternWriter& writer)> pattern;
    // The run window; true for "下一步(&N)", false for "离开(&Q)".
    std::function<bool(const std::shared_ptr<TuningRun>& run)> run;
    // The result window with the ratio; true for "是(&Y)".
    std::function<bool(int32_t ratio)> storeResult;
};

// "自动增益调谐(A)...": the mode, and for the off-line mode the pattern, the run and its result.
// Each drive step runs as a drive operation; a failure ends the command silently, leaving what
// was stored stored, except at the end of a run: a drive left in tuning mode is told, with what
// it holds. While the run window is open the run is one of the connection's motions.
void RunAutoTuning(DriveConnection& connection, const DriveProfile& profile, Messenger& messenger,
                   const AutoTuningDialogs& dialogs);
