#pragma once

#include "link/DriveAccess.h"
#include "link/ModbusLink.h"
#include "link/MotionExits.h"
#include "params/ContactTransfer.h"
#include "params/ParameterChannel.h"
#include "params/ParameterTransfer.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class CNolvaServoDoc;
class DriveOperations;
class Messenger;
class SerialBackend;
struct DriveProfile;
struct LinkSettings;

// The drive status the poll reads, kept for the whole run (start values before any drive).
struct DriveStatus {
    bool servoOn = false;   // page '6' 0x66 bit 0
    uint16_t alarmWord = 0; // page '6' 0x60
};

// What a status read has just taken in, in the order of the reads.
enum class StatusPart { ControlMode, ServoState, Version, Model, MaxSpeed, Alarm };

// One drive on one serial port, wired once for the program, the command-line tool, the benches
// and the tests: the link over its backend, the drive access that holds LinkUp, and the parameter
// transfer into the document. Settings, profile, document, messenger and the operations belong to
// the caller and outlive the connection.
class DriveConnection {
public:
    // `backend` replaces the system serial port (tests, benches); null uses the system's.
    DriveConnection(const LinkSettings& settings, DriveProfile& profile, CNolvaServoDoc& document,
                    Messenger& messenger, DriveOperations& operations,
                    std::unique_ptr<SerialBackend> backend = nullptr);

    ModbusLink& Link() { return link_; }
    DriveAccess& Access() { return access_; }
    ParameterTransfer& Transfer() { return transfer_; }
    // One parameter at a time, without a progress window.
    ParameterChannel& Parameters() { return parameters_; }
    ContactTransfer& Contacts() { return contacts_; }
    DriveOperations& Operations() { return operations_; }
    // The operations that move the motor now, with their exits.
    MotionExits& Motions() { return motions_; }
    const LinkSettings& Settings() const { return settings_; }
    DriveProfile& Profile() { return profile_; }
    bool LinkUp() const { return access_.LinkUp(); }

    // Opens `device` and sets it up with the settings (OpenLinkPort's result: 0 when open).
    uint32_t Open(const QString& device, uint32_t baudRate);
    // Closes the port and drops LinkUp.
    void Close();

    // The identification probe: on an answer LinkUp is set and dn-03 goes into the document
    // (and into *dn03 when given).
    bool Probe(int32_t* dn03 = nullptr);

    // The six status reads of the poll: control mode (dn-01) and version (dn-04) into the
    // document, servo state and alarm word into `status`, model code, encoder pulses and maximum
    // speed into the profile. `taken` hears of each part as soon as it is in; its false stops the
    // read there. Stops silently at the first failure, keeping what was read; false also while
    // LinkUp is clear.
    bool ReadStatus(DriveStatus& status, const std::function<bool(StatusPart)>& taken = {});

    // True while a drive is linked; otherwise "通讯错误！！" is shown with the link's caption.
    bool RequireLink(Messenger& messenger);
    // An operation's own failure message, shown with the link's caption. It is remembered until
    // the next answered probe, so that the probe which then finds the drive gone adds no second
    // box to the one the user is already reading.
    void TellLinkFailure(Messenger& messenger, const QString& text);
    // Whether a failure was told since the last answered probe; asking forgets it.
    bool TakeLinkFailureTold();

    // The device went away under the open port (a pulled USB adapter): LinkUp is already down.
    bool DeviceGone() const { return link_.DeviceGone(); }
    // "通讯错误！！\n\n串口设备已移除：" and the device as the user named it, with the link's
    // caption and the error icon, on top when `topmost`.
    void TellDeviceGone(Messenger& messenger, bool topmost = false);
    // Tells the user that another program holds `device` (after an open refused with EBUSY),
    // naming it where its lock file does.
    void TellPortInUse(Messenger& messenger, const QString& device);

private:
    const LinkSettings& settings_;
    DriveProfile& profile_;
    CNolvaServoDoc& document_;
    DriveOperations& operations_;
    ModbusLink link_;
    DriveAccess access_;
    ParameterTransfer transfer_;
    ParameterChannel parameters_;
    ContactTransfer contacts_;
    MotionExits motions_;
};

// "通讯错误！！\n\n串口设备已移除：<device>".
QString DeviceGoneText(const QString& device);
// "通讯错误！！\n\n端口 <device> 正被其他程序使用（进程 <pid>，<program>）。", without the
// parenthesis when nobody is known to hold it.
// "通讯错误！！" in the link's error box: an operation that needs the drive found no link.
void ShowNotLinked(Messenger& messenger);

QString PortInUseText(const QString& device, const std::optional<PortHolder>& holder);
