#include "params/DriveConnection.h"

#include "base/Messenger.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "drive/DriveMap.h"
#include "drive/ModelTable.h"
#include "drive/ParameterCatalogue.h"
#include "link/SerialBackend.h"
#include "params/NolvaServoDoc.h"

namespace {

// Document slots of the diagnostics values.
constexpr size_t kControlModeSlot = 0;  // dn-01
constexpr size_t kInputContactSlot = 2; // dn-03
constexpr size_t kVersionSlot = 3;      // dn-04
constexpr size_t kModelCodeInfoSlot = 3;

} // namespace

DriveConnection::DriveConnection(const LinkSettings& settings, DriveProfile& profile,
                                 CNolvaServoDoc& document, Messenger& messenger,
                                 DriveOperations& operations,
                                 std::unique_ptr<SerialBackend> backend)
    : settings_(settings), profile_(profile), document_(document), operations_(operations),
      link_(std::move(backend), &messenger), access_(link_, settings, profile),
      transfer_(access_, settings, profile, document, messenger),
      parameters_(access_, settings, profile, messenger),
      contacts_(access_, settings, profile, document, messenger) {}

uint32_t DriveConnection::Open(const QString& device, uint32_t baudRate) {
    return OpenLinkPort(link_, device, baudRate, settings_);
}

void DriveConnection::Close() {
    access_.DropLink();
    if (link_.IsOpen()) {
        link_.Close();
    }
}

bool DriveConnection::Probe(int32_t* dn03) {
    int32_t value = 0;
    if (!access_.Probe(&value)) {
        return false;
    }
    document_.diagnosticsSnapshot[kInputContactSlot] = value;
    if (dn03 != nullptr) {
        *dn03 = value;
    }
    return true;
}

bool DriveConnection::RequireLink(Messenger& messenger) {
    if (access_.LinkUp()) {
        return true;
    }
    ShowNotLinked(messenger);
    return false;
}

void ShowNotLinked(Messenger& messenger) {
    Message message;
    message.text = StringText(StringId::kLinkError);
    message.caption = StringText(StringId::kLinkCaption);
    message.icon = MessageIcon::Error;
    messenger.Show(message);
}

void DriveConnection::TellLinkFailure(Messenger& messenger, const QString& text) {
    access_.NoteFailureTold();
    Message message;
    message.text = text;
    message.caption = StringText(StringId::kLinkCaption);
    message.icon = MessageIcon::Error;
    messenger.Show(message);
}

bool DriveConnection::TakeLinkFailureTold() {
    return access_.TakeFailureTold();
}

QString DeviceGoneText(const QString& device) {
    return StringText(StringId::kLinkError) + QStringLiteral("\n\n串口设备已移除：") + device;
}

QString PortInUseText(const QString& device, const std::optional<PortHolder>& holder) {
    QString text = StringText(StringId::kLinkError) + QStringLiteral("\n\n");
    if (!holder) {
        return text + QStringLiteral("端口 %1 正被其他程序使用。").arg(device);
    }
    const QString program = holder->program.isEmpty() ? QStringLiteral("?") : holder->program;
    return text + QStringLiteral("端口 %1 正被其他程序使用（进程 %2，%3）。")
                      .arg(device, QString::number(holder->pid), program);
}

void DriveConnection::TellDeviceGone(Messenger& messenger, bool topmost) {
    Message message;
    message.text = DeviceGoneText(link_.OpenedPath());
    message.caption = StringText(StringId::kLinkCaption);
    message.icon = MessageIcon::Error;
    message.topmost = topmost;
    messenger.Show(message);
}

void DriveConnection::TellPortInUse(Messenger& messenger, const QString& device) {
    Message message;
    message.text = PortInUseText(device, link_.Holder());
    message.caption = StringText(StringId::kLinkCaption);
    message.icon = MessageIcon::Error;
    messenger.Show(message);
}

bool DriveConnection::ReadStatus(DriveStatus& status,
                                 const std::function<bool(StatusPart)>& taken) {
    // The command reads below do not check LinkUp themselves.
    if (!access_.LinkUp()) {
        return false;
    }
    const auto tell = [&taken](StatusPart part) { return !taken || taken(part); };
    int32_t word = 0;
    if (!access_.ReadSignedWord(DriveMap::kControlMode, &word)) {
        return false;
    }
    document_.diagnosticsSnapshot[kControlModeSlot] =
        RawToDisplay({'D', 1}, word, profile_.maxMotorSpeed);
    if (!tell(StatusPart::ControlMode)) {
        return false;
    }

    if (!access_.ReadSignedWord(DriveMap::kServoState, &word)) {
        return false;
    }
    status.servoOn = (word & 1) != 0;
    if (!tell(StatusPart::ServoState)) {
        return false;
    }

    if (!access_.ReadSignedWord(DriveMap::kSoftwareVersion, &word)) {
        return false;
    }
    document_.diagnosticsSnapshot[kVersionSlot] =
        RawToDisplay({'D', 4}, word, profile_.maxMotorSpeed);
    if (!tell(StatusPart::Version)) {
        return false;
    }

    if (!access_.ReadSignedWord(DriveMap::kModelCode, &word)) {
        return false;
    }
    document_.driveInfo[kModelCodeInfoSlot] = word & 0xFFFF;
    profile_.modelCode = document_.driveInfo[kModelCodeInfoSlot];
    profile_.encoderPulses = EncoderPulsesForModel(profile_.modelCode);
    if (!tell(StatusPart::Model)) {
        return false;
    }

    if (!access_.ReadDriveWord(DriveMap::kMaxMotorSpeed)) {
        return false;
    }
    profile_.maxMotorSpeed = access_.LastValue;
    if (!tell(StatusPart::MaxSpeed)) {
        return false;
    }

    if (!access_.ReadDriveWord(DriveMap::kAlarmBits)) {
        return false;
    }
    status.alarmWord = static_cast<uint16_t>(access_.LastValue);
    return tell(StatusPart::Alarm);
}
