#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

class CNolvaServoDoc;
class ContactTransfer;
class DriveAccess;
class TransferProgress;
struct DriveProfile;

// The diagnostics dn-01..dn-04: control mode, output and input contacts with one lamp per
// contact, software version. The first update after the window opens reads the contact
// parameters Hn501..Hn519 as well, so that the lamps' labels name the functions the drive gives
// its contacts.
class DiagnosticsMonitor : public QObject {
    Q_OBJECT
public:
    static constexpr int kValueCount = 4;
    static constexpr int kInputCount = 13;
    static constexpr int kOutputCount = 8;
    // Outputs whose label follows the contact parameters; the others keep their fixed labels.
    static constexpr int kPlannedOutputCount = 4;

    // All parts belong to the caller and outlive this object.
    DiagnosticsMonitor(DriveAccess& access, ContactTransfer& contacts, const DriveProfile& profile,
                       CNolvaServoDoc& document);

    bool Active() const { return active_; }
    void SetActive(bool active) { active_ = active; }
    // The window was opened (or shown again): the next update reads the contact parameters first.
    void RequestContactRead() { firstUpdate_ = true; }
    // A new window starts blank: no texts, every lamp off, the contacts' fixed labels.
    void Reset();

    // dn-`number` (1..4) as shown: control mode text, the contact digits, the version.
    QString Text(int number) const;
    // Lamp of DI-`n` (1..13) or DO-`n` (1..8): on or off.
    bool InputOn(int n) const;
    bool OutputOn(int n) const;
    QString InputLabel(int n) const;
    QString OutputLabel(int n) const;

    // The contact parameters first when asked for (with `progress`), then dn-01..dn-04; false at
    // the first failure, with the window's texts, lamps and labels as they were. `exchangeDone`
    // runs after each diagnostic read; its false stops the update there. `changed` is emitted when
    // the link is still up.
    bool Update(TransferProgress* progress, const std::function<bool()>& exchangeDone = {});

signals:
    void changed();

private:
    void RelabelContacts();

    DriveAccess& access_;
    ContactTransfer& contacts_;
    const DriveProfile& profile_;
    CNolvaServoDoc& document_;
    bool active_ = false;
    bool firstUpdate_ = false;
    std::array<QString, kValueCount> texts_{};
    std::array<bool, kInputCount> inputs_{};
    std::array<bool, kOutputCount> outputs_{};
    std::array<QString, kInputCount> inputLabels_{};
    std::array<QString, kOutputCount> outputLabels_{};
};

// dn-`number`'s name as the window labels it (dn-03's with the string table's leading blank).
QString DiagnosticName(int number);
// dn-01's text: "0: 转矩(T)" ... "6: 位置(Pi)"; empty for any other value.
QString ControlModeDiagnosticText(int32_t mode);
// Thirteen digits, DI-13 leftmost, "1" for a contact that is on (its bit set).
QString InputContactDigits(uint16_t dn03);
// Eight digits, DO-8 leftmost, "1" for an output that is on (active low: its bit clear).
QString OutputContactDigits(uint16_t dn02);
// The lamp label of contact `n` from its contact parameter's value: the function code is the
// value minus 1, minus 257 from 256 on (the normally-closed bit); a code without a name shows its
// function number.
QString InputContactLabel(int n, int32_t parameterValue);
QString OutputContactLabel(int n, int32_t parameterValue);
