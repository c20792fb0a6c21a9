#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

class CNolvaServoDoc;
class DriveAccess;
struct DriveProfile;

// The nineteen status display values Un-01..Un-19: which ones the user watches and the texts
// shown for them. The selection lives as long as the main view, so a window that closes and opens
// again finds it as it was. On each tick of the poll the selected values are read in ascending
// order; the first failed read ends the update with no text changed, so the window never shows a
// mix of two ticks.
class StatusMonitor : public QObject {
    Q_OBJECT
public:
    static constexpr int kValueCount = 19;

    // All parts belong to the caller and outlive this object.
    StatusMonitor(DriveAccess& access, const DriveProfile& profile, CNolvaServoDoc& document);

    // The window is open: the poll runs the update.
    bool Active() const { return active_; }
    void SetActive(bool active) { active_ = active; }

    // Un-`number` (1..19) is watched. Unticking empties its text.
    bool Selected(int number) const;
    void SetSelected(int number, bool selected);
    void SelectAll();
    void ClearAll();
    // A new window starts with empty texts; the selection stays.
    void ClearTexts();
    // The value text of Un-`number`; empty while not watched or not yet read.
    QString Text(int number) const;

    // Reads the watched values (two words for Un-07 and Un-08), converts them into the document's
    // entries and rebuilds the texts; `exchangeDone` runs after every exchange (its false stops
    // the update as a failure does). False at the first failed read, with every text as it was.
    // `changed` is emitted when the texts were rebuilt and the link is still up.
    bool Update(const std::function<bool()>& exchangeDone = {});

signals:
    void changed();

private:
    bool ReadValue(int number, int32_t* raw, const std::function<bool()>& exchangeDone);

    DriveAccess& access_;
    const DriveProfile& profile_;
    CNolvaServoDoc& document_;
    bool active_ = false;
    std::array<bool, kValueCount> selected_{};
    std::array<QString, kValueCount> texts_{};
};

// Un-`number`'s name and unit label as the window shows them beside its value (the unit with its
// leading blank, " rpm"); empty outside 1..19.
QString StatusValueName(int number);
QString StatusValueUnit(int number);

// A status value as the window shows it: Un-09 in hundredths of a volt as "%d.%02d" (a minus sign
// for every negative value, -49 -> "-0.49"), every other one as "%d".
QString StatusValueText(int number, int32_t value);
