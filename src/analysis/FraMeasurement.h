#pragma once

#include "analysis/FrequencyResponse.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class DriveAccess;
class DriveConnection;
class Messenger;
class Motion;
struct DriveProfile;

// The read window of a measurement, shown while one half of the record is fetched: a text line
// ("12/1024--->(0041H)") and a bar of 1024 steps.
class FraReadProgress {
public:
    virtual ~FraReadProgress() = default;
    // Shows the window for one half; false when the user cancelled it before the read began.
    virtual bool Open(int words) = 0;
    virtual void SetText(const QString& text) = 0;
    virtual void Step() = 0;
    // After every exchange, so that the window keeps drawing; false once the user cancelled.
    virtual bool ExchangeDone() = 0;
    virtual void Close() = 0;
};

// What a failure message adds when the run could not be ended.
QString FraNotEndedText();

// A number typed into a field, read as the standard text-to-integer conversion reads it: leading
// blanks, an optional sign, then digits up to the first other character; 0 when there are none.
// Values beyond 32 bits stay at the 32-bit limits.
int32_t FieldInteger(const QString& text);

// The load torque field: its value when it holds 1..100; otherwise the user is told why ("请输入
// 加载转矩的相对大小！" for an empty field, "加载转矩不在设定的范围内！" for any other) and nothing.
std::optional<int> LoadTorqueOfField(const QString& text, Messenger& messenger);

// One frequency response measurement on the drive. The drive runs it: the start writes the speed
// setting and load torque on page 'A' and starts the run; the drive is then polled until it says
// a half of its record is ready, each half (1024 words) is read into the record and
// acknowledged, and the run is ended.
//
// Every exchange goes through the connection's drive access; the whole measurement runs as one
// drive operation under Busy. Between polls `pump` runs (the event loop, in the program), and the
// read window lets the event loop run after every word.
//
// A run the drive does not advance fails after kRunPatienceMs on the link's clock without a half
// coming, with the same message as a failed poll: a drive that stops answering "ready" must not
// hold the program for ever.
//
// Once the start writes are through, the run is one of the connection's motions: whatever ends
// the measurement (its end, a failure, the user's cancel, the program's quit) ends the drive's
// run with 0x9E <- 0 and 0x98 <- 0, both tried, and a failure message adds FraNotEndedText()
// when they did not reach the drive.
class FraMeasurement {
public:
    static constexpr int kSpeedSetting = 100; // rpm, the run's speed
    static constexpr int kRunPatienceMs = 10000;

    // The profile's maximum speed converts the speed words; all three outlive the measurement.
    FraMeasurement(DriveConnection& connection, const DriveProfile& profile, Messenger& messenger);

    void SetReadProgress(FraReadProgress* progress) { progress_ = progress; }
    void SetPollPump(std::function<void()> pump) { pump_ = std::move(pump); }

    // The start button: "通讯错误！！" without a drive; the load field checked; then `accepted`
    // runs (the window clears its results), `record` is cleared and the measurement runs under
    // Busy. True when `record` holds a complete record. Nothing happens (false) while another
    // drive operation runs.
    bool Start(const QString& loadText, FraRecord& record,
               const std::function<void()>& accepted = {});

    // The measurement itself at `loadPercent`, with its failure messages. On failure `record`
    // keeps what was read before (positions already filled hold their new values). When the
    // user cancels the read window, the drive is told to end its run and nothing is said unless
    // that failed. When the program ended the run meanwhile, nothing more is sent or said.
    bool Run(int loadPercent, FraRecord& record);

    // Reads the buffer's 1024 words into the half of `record` that `halfState` names (0 the first,
    // 2 the second): pair p of the buffer goes to position half x 512 + p + 1. A failed word is
    // reported with the progress text it stopped at. False also when the user cancelled.
    bool ReadHalfRecord(int halfState, FraRecord& record);

private:
    // The end of the drive's run; FraNotEndedText() when a write did not reach the drive.
    static QString EndRun(DriveAccess& access);
    // The run's set-up and start. When the start itself was not acknowledged the run is ended
    // all the same; `notEnded` then tells whether that failed too.
    bool StartExcitation(int loadPercent, QString* notEnded);
    bool Poll(FraRecord& record);
    bool FetchHalf(int halfState, FraRecord& record);
    // ReadHalfRecord without its message: the failed step is kept in failedStep_.
    bool ReadHalf(int halfState, FraRecord& record);
    // The run was ended from outside (the program's quit).
    bool Ended() const;
    bool Fail();
    int64_t ClockMs() const;

    DriveConnection& connection_;
    const DriveProfile& profile_;
    Messenger& messenger_;
    FraReadProgress* progress_ = nullptr;
    std::function<void()> pump_;
    bool cancelled_ = false; // the read window was cancelled (no read failed)
    QString failedStep_;     // the text after "错误:\n\n" of the failure to report
    Motion* run_ = nullptr;  // the drive's run while the measurement polls it
};
