#pragma once

#include "sim/DriveLayout.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>

// What the simulated drive is when it powers up.
struct DriveIdentity {
    int32_t modelCode = 0x121;     // drive/motor series code; also Cn030's default
    int32_t maxMotorSpeed = 3000;  // rpm; speed words are scaled so that 16384 means this speed
    int32_t softwareVersion = 258; // shown as 2.58
};

// The drive's memory: 16 pages of 256 words, addressed by a page character '0'..'9', 'A'..'F'.
//
// Page '5' holds the live copy of every parameter at its parameter index, the parameter mailbox
// at 0x70..0x74 and a few status words. Beside the pages the drive keeps a stored (non-volatile)
// copy of the parameters, one word per parameter index: a two-register parameter (Pn307..Pn309)
// is two stored words, the high half at its index i and the low half at i + 1, exactly as the
// mailbox moves it (one store per half). Quick parameters have no words of their own: they are
// the words of their speed and position twins.
//
// At power-up (construction, Restart()) the live copies (and the alarm ring's) are loaded from
// the stored copy.
class DriveState {
public:
    static constexpr int kPageCount = DriveLayout::kPageCount;
    static constexpr int kPageSize = DriveLayout::kPageSize;
    static constexpr int kParameterPage = DriveLayout::PageNumber(DriveLayout::kParameterPage);

    explicit DriveState(const DriveIdentity& identity = {});

    const DriveIdentity& Identity() const { return identity_; }

    // Any word of any page, without side effects (the test hook for status and monitor values).
    uint16_t Word(int page, int location) const;
    void SetWord(int page, int location, uint16_t value);
    // The same at an address: any {page character, location} pair, such as a WordAddress.
    template <typename Address> uint16_t Word(const Address& at) const {
        return Word(DriveLayout::PageNumber(at.page), at.location);
    }
    template <typename Address> void SetWord(const Address& at, uint16_t value) {
        SetWord(DriveLayout::PageNumber(at.page), at.location, value);
    }

    // A word written by the command protocol. The mailbox command word (DriveLayout) runs its
    // command and reads 0 afterwards; other command values are kept and do nothing. A store or
    // fetch for an index that holds neither a parameter nor the alarm ring is refused (false)
    // and changes nothing.
    bool WriteWord(int page, int location, uint16_t value);

    // True for a page-'5' location that holds a parameter word (a two-register parameter's
    // high and low halves both count).
    bool IsParameterIndex(int index) const;
    // A parameter index, or the alarm ring: indexes 0..9 hold the last ten alarm codes and 0x0A
    // the entry written next; like parameters they have a stored and a live copy.
    bool IsMailboxIndex(int index) const;
    static constexpr int kAlarmRingLast = 0x0A;
    // The off-line tuning pattern (maximum speed, acceleration, hold time) and switch: kept like
    // parameters, so the mailbox stores them.
    static bool IsTuningIndex(int index);
    uint16_t StoredWord(int index) const;
    void SetStoredWord(int index, uint16_t value);

    // A parameter's raw value (sign-extended word, or high << 16 | low for two registers) in the
    // stored copy and in the live copy. Quick codes read their twins. 0 for an unknown code.
    int32_t StoredRaw(char letter, int number) const;
    int32_t LiveRaw(char letter, int number) const;

    // Every stored parameter word back to the drive's factory default (RegisterMap).
    void ResetParameters();
    // Power-up: the live copies are loaded from the stored copy.
    void Restart();
    // Power loss: every word of the pages but the drive's identity (model code, maximum speed,
    // software version) is lost. Restart() then loads the live parameters again.
    void ClearWorkingWords();

    // Modbus holding registers: register 0 answers the model code (so a station search finds a
    // drive), C/T/S/P/q/H registers (group base + number) are the parameters' live copies (a
    // two-register parameter's register is its low half), U registers 0x601..0x613 are the
    // monitor values at their pages (low half of a two-word value). nullopt for any other.
    std::optional<uint16_t> ReadRegister(int reg) const;
    // Parameters only: U registers and register 0 are read-only.
    bool IsWritableRegister(int reg) const;
    // A Modbus parameter write is non-volatile: it sets the live copy and the stored copy (for a
    // two-register parameter only the low half; the high half is left as it is).
    void WriteRegister(int reg, uint16_t value);

    // Set whenever the stored copy changed through a store; cleared by the call.
    bool TakeStoredChanged();

    // The stored copy as text, one parameter per line: "Cn001 0002", two-register parameters
    // with eight digits ("Pn308 0007A120"); '#' starts a comment line. Quick codes are left out
    // (they are their twins).
    QByteArray StoredText() const;
    // Loads text written by StoredText(). Codes the text does not name keep their current
    // stored words. On a malformed line nothing changes and `error` names the line.
    bool LoadStoredText(const QByteArray& text, QString* error);

private:
    // The page-'5' location a parameter register writes, or -1.
    int RegisterLocation(int reg, bool* isParameter, int* page) const;

    DriveIdentity identity_;
    std::array<std::array<uint16_t, kPageSize>, kPageCount> pages_{};
    std::array<uint16_t, kPageSize> stored_{};
    std::bitset<kPageSize> parameterIndex_;
    bool storedChanged_ = false;
};
