#pragma once

#include "params/ParameterChannel.h"

#include <QObject>
#include <QString>

#include <array>
#include <cstdint>

class CNolvaServoDoc;
class DriveAccess;
class Messenger;
class TransferProgress;
struct DriveProfile;
struct LinkSettings;

// The drive's alarm history: a ring of ten alarm codes behind the parameter mailbox (indexes
// 0..9) and the ring's pointer (index 0x0A, the entry written next). The window shows it newest
// first, row "AL" the entry before the pointer and "A1".."A9" the ones before that. It is read
// when the window opens and when the user asks again, not on every tick.
class AlarmHistory : public QObject {
    Q_OBJECT
public:
    static constexpr int kEntryCount = 10;
    // Progress steps of a read: three exchanges per entry.
    static constexpr int kReadSteps = 3 * kEntryCount;

    // All parts belong to the caller and outlive this object.
    AlarmHistory(DriveAccess& access, const LinkSettings& settings, const DriveProfile& profile,
                 CNolvaServoDoc& document, Messenger& messenger);

    bool Active() const { return active_; }
    void SetActive(bool active) { active_ = active; }
    // The next update reads the history (the window opened, or "更新(&R)").
    void RequestRead() { readRequested_ = true; }
    bool ReadRequested() const { return readRequested_; }
    // A new window starts with every row at code 0.
    void Reset() { codes_ = {}; }

    // Row 0 ("AL") .. 9 ("A9"): the alarm code, its text ("%02d") and its description.
    int32_t Code(int row) const;
    QString CodeText(int row) const;
    QString Description(int row) const;

    // When a read is pending: the pointer, then the ten entries with `progress` (may be null);
    // false at the first failure, the request still pending and the rows as they were.
    // `changed` is emitted when the rows were rebuilt and the link is still up.
    bool Update(TransferProgress* progress);
    // Stores 0 into every entry of the drive's ring (not the pointer). At the first failure the
    // user is told and the rest is left; the entries already cleared stay cleared. Nothing while
    // the link is down.
    bool Clear();

signals:
    void changed();

private:
    CNolvaServoDoc& document_;
    ParameterChannel channel_;
    bool active_ = false;
    bool readRequested_ = false;
    std::array<int32_t, kEntryCount> codes_{};
};

// The window's name of row 0..9: "AL", then "A1".."A9".
QString AlarmRowName(int row);

// The alarm text of an alarm code: "无异常警报发生。" for 0, the alarm's own text for 1..15,
// "-----" for any other.
QString AlarmCodeText(int32_t code);
