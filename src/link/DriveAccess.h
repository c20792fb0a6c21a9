#pragma once

#include "drive/DriveMap.h"
#include "drive/DriveProfile.h"
#include "drive/ParamCode.h"
#include "link/LinkSettings.h"

#include <QString>

#include <cstdint>
#include <utility>

class ModbusLink;

// Reading and writing drive values by page and location, and parameters through the page-'5'
// mailbox or by Modbus. Every operation refuses at once, sending nothing, while LinkUp is clear;
// none shows a message: the caller decides what the user is told.
class DriveAccess {
public:
    // The three parts are owned elsewhere and must outlive this object.
    DriveAccess(ModbusLink& link, const LinkSettings& settings, const DriveProfile& profile);

    // A drive answered the last probe. Only a probe sets it; whoever finds the drive gone or
    // closes the port drops it, and so does an exchange that finds the device itself gone (a
    // pulled adapter), at once.
    bool LinkUp() const { return linkUp_; }
    void DropLink() { linkUp_ = false; }
    // For a caller that knows a drive answers without probing it (benches, fuzzing, test rigs).
    void AssumeLinkUp() { linkUp_ = true; }
    int32_t LastValue = 0; // the result of the last successful read

    // The word at (page, location): signed into the codec at the four converted locations,
    // otherwise unsigned 0..65535.
    bool ReadDriveWord(char page, int location);
    bool ReadDriveWord(DriveLocation at) { return ReadDriveWord(at.page, at.location); }
    // Writes the value (converted where the location needs it). With `store`, or page 0, the
    // mailbox store sequence runs first; page 0 stops after it.
    bool WriteDriveWord(char page, int location, int32_t value, bool store);
    bool WriteDriveWord(DriveLocation at, int32_t value, bool store) {
        return WriteDriveWord(at.page, at.location, value, store);
    }
    // 0 without a drive, 2 when page 'A' 0x98 holds 2, else 1.
    int QueryServoState();
    // A Modbus function 03 read of the parameter's register, tried up to three times while no
    // reply or a corrupt one comes (ModbusLink::ExchangeModbus); LastValue gets the display value.
    // A reply too short to hold the value fails, however good its check value.
    bool ReadParameterModbus(ParamCode code, bool ascii);
    // A Modbus function 06 write of a raw word to the parameter's register, tried as the read is;
    // the echo must come.
    bool WriteParameterModbus(ParamCode code, int32_t rawValue, bool ascii);

    // The mailbox sequences, one step at a time so that a progress window can advance between
    // the steps. Fetch: write 0x73, write 0x70 = 2, read 0x74 (LastValue: the raw signed word).
    bool FetchParameter(int index);
    bool FetchStep(int step, int index);
    // Store: write 0x71, 0x72 (raw value), 0x70 = 1, then the live copy at the index itself.
    bool StoreParameter(int index, int32_t rawValue, bool writeLiveCopy = true);
    bool StoreStep(int step, int index, int32_t rawValue);
    static constexpr int kFetchSteps = 3;
    static constexpr int kStoreSteps = 4;

    // The identification probe: dn-03 (page '6' 0xCB). On success LinkUp is set and *dn03 gets
    // the converted value.
    bool Probe(int32_t* dn03);

    // The word at (page, location) as the drive sends it: signed 16 bits, no conversion.
    bool ReadSignedWord(char page, int location, int32_t* word);
    bool ReadSignedWord(DriveLocation at, int32_t* word) {
        return ReadSignedWord(at.page, at.location, word);
    }

    // An operation that failed here has told the user; remembered until the next answered probe,
    // so that the probe which then finds the drive gone adds no second message.
    void NoteFailureTold() { failureTold_ = true; }
    // Whether a failure was told since the last answered probe; asking forgets it.
    bool TakeFailureTold() { return std::exchange(failureTold_, false); }

private:
    // One command-protocol write that must be acknowledged, and one read that must be answered
    // with a good data reply (*word: the signed 16-bit word). They do not look at LinkUp: the
    // public operations do.
    bool WriteCommand(char page, int location, int32_t value);
    bool ReadCommand(char page, int location, int32_t* word);
    // An exchange's outcome; a failure on a device that has gone drops LinkUp.
    bool Exchanged(bool ok);

    ModbusLink& link_;
    const LinkSettings& settings_;
    const DriveProfile& profile_;
    bool linkUp_ = false;
    bool failureTold_ = false;
};

// The baud rates of the index table: 4800, 9600, 19200, 38400, 57600, 115200.
uint32_t BaudRateOfIndex(int index);

// Line format of a Modbus frame format 0..8: data bits, parity (0 none, 1 odd, 2 even), stop
// bits (0 one, 2 two) and whether it is ASCII.
struct FrameFormatSpec {
    int dataBits;
    int parity;
    int stopBits;
    bool ascii;
};
FrameFormatSpec FrameFormatOf(int frameFormat);

// Opens `device` and sets it up for the link: RS-232 8N1, or on RS-485 the frame format of the
// settings (also the link's RTU timing); handshaking mode 2; the echo setting, which on automatic
// leaves the probe that follows to decide. Returns the channel's result of Open (0, 1247, or a
// system code). A device refusing the line format (a pseudo-terminal) is no failure.
uint32_t OpenLinkPort(ModbusLink& link, const QString& device, uint32_t baudRate,
                      const LinkSettings& settings);
