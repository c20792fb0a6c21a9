#include "app/DriveSession.h"

#include "app/CommandTable.h"
#include "base/Messenger.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "base/SystemErrors.h"
#include "drive/DriveMap.h"
#include "drive/ModelTable.h"
#include "drive/ParameterCatalogue.h"
#include "drive/StatusTexts.h"
#include "link/DriveOperations.h"
#include "link/Frames.h"
#include "link/SerialBackend.h"
#include "params/NolvaServoDoc.h"

#include <cerrno>
#include <initializer_list>

namespace {

// Texts of the panes that the string table does not hold.
constexpr const char* kServoOn = "Servo On";
constexpr const char* kServoOff = "Servo Off";
constexpr const char* kServoLinked = "Servo 连线中";
constexpr const char* kNoVersion = "*.**";
constexpr const char* kNoModel = "---------";
constexpr const char* kNoMotor = "---------------------";

// The timer's connect routine knows only the first four baud rates; the dialog all six.
constexpr int kHighestTimerBaudIndex = 3;
constexpr int kHighestDialogBaudIndex = 5;
constexpr int kFallbackBaudIndex = 1; // 9600 bps
constexpr int kHighestFrameFormat = 8;
constexpr int kLastAsciiFrameFormat = 5;

constexpr int kTickWrap = 1000;
constexpr int kPaneCount = 8;

// Document slots of the diagnostics values the panes show.
constexpr size_t kControlModeSlot = 0; // dn-01
constexpr size_t kVersionSlot = 3;     // dn-04

// The Modbus check of the dialog connect on RS-485: one register at address 0.
constexpr int kDialogProbeRegister = 0;
constexpr uint32_t kRtuWaitMs = 400;

QString ComName(int comPort) {
    return QStringLiteral("COM%1").arg(comPort + 1);
}

// On Linux a serial device is often refused for reasons the user can fix: the account is not in
// the group that owns the device, or the path is no device. Those deserve the device's name and
// what to do; any other failure (a device that is not there) keeps the plain message. A device
// another program holds has a message of its own (PortInUseText), naming the holder.
QString DeviceProblemText(uint32_t openResult, const QString& device) {
    switch (openResult) {
    case EACCES:
    case EPERM:
        // The command stands on a line of its own, so that no line break falls inside it.
        return QStringLiteral("无法访问 %1：%2。请将当前用户加入 dialout 组，重新登录后再试：\n"
                              "sudo usermod -aG dialout $USER")
            .arg(device, SystemErrorText(EACCES));
    case EISDIR: return QStringLiteral("无法打开 %1：这不是串口设备（是一个文件夹）。").arg(device);
    case ENOTTY: return QStringLiteral("无法打开 %1：这不是串口设备。").arg(device);
    default: return {};
    }
}

QString CannotOpenText() {
    return StringText(StringId::kLinkError) + QStringLiteral("\n\n") +
           StringText(StringId::kCannotOpenPort);
}

} // namespace

struct DriveSession::Impl {
    Impl(AppSettings& settings, DriveProfile& profile, DriveStatus& status,
         CNolvaServoDoc& document, Messenger& messenger, std::unique_ptr<SerialBackend> backend)
        : settings(settings), profile(profile), status(status), document(document),
          messenger(messenger),
          connection(settings.link, profile, document, messenger, operations, std::move(backend)),
          link(connection.Link()), access(connection.Access()) {}

    AppSettings& settings;
    DriveProfile& profile;
    DriveStatus& status;
    CNolvaServoDoc& document;
    Messenger& messenger;
    DriveOperations operations; // holds Busy
    DriveConnection connection;
    ModbusLink& link;
    DriveAccess& access; // holds LinkUp and LastValue

    SessionObserver silent;
    SessionObserver* observer = &silent;

    QString portOverride;
    bool linkRequested = false;
    bool portOpen = false;
    int tickCount = 0;
    std::function<void()> exchangeDone;

    // The device problem already told since the link was last asked for, so that the timer's
    // retries every 4 s do not repeat it.
    uint32_t toldOpenResult = 0;
    QString toldDevice;

    void Refresh(std::initializer_list<int> panes) {
        for (int pane : panes) {
            observer->PaneChanged(pane);
        }
    }

    void RefreshAllPanes() {
        for (int pane = 0; pane < kPaneCount; ++pane) {
            observer->PaneChanged(pane);
        }
    }

    void ClosePort() {
        if (link.IsOpen()) {
            link.Close();
        }
        portOpen = false;
    }

    void ShowError(const QString& text, bool topmost) {
        Message message;
        message.text = text;
        message.caption = StringText(StringId::kLinkCaption);
        message.icon = MessageIcon::Error;
        message.topmost = topmost;
        messenger.Show(message);
    }

    bool ProbeDrive() { return connection.Probe(); }

    // A Modbus read of one register: on RS-485 a drive that answers it is there, whatever the
    // register holds.
    bool ModbusAnswers() {
        const LinkSettings& s = settings.link;
        uint8_t request[kAsciiRequestLength];
        uint8_t reply[32];
        const int replyLength =
            BuildReadRegisters(request, s.StationID, kDialogProbeRegister, 1, s.AsciiMode);
        const ExchangeResult result =
            s.AsciiMode
                ? link.ExchangeAscii(request, kAsciiRequestLength, reply, replyLength, 1)
                : link.ExchangeRtu(request, kRtuRequestLength, reply, replyLength, kRtuWaitMs);
        return result == ExchangeResult::Good;
    }

    // "通讯错误！！\n\n断开 !!": the drive stopped answering the timer's probe.
    void TellLinkLost() {
        ShowError(StringText(StringId::kLinkError) + QStringLiteral("\n\n") +
                      StringText(StringId::kDisconnectedWord) + QStringLiteral(" !!"),
                  true);
    }

    // An operation that failed on the way down has told the user already: one box, not two.
    void TellLinkLostUnlessTold() {
        if (!connection.TakeLinkFailureTold()) {
            TellLinkLost();
        }
    }

    // The timer's open failures are silent and retried, except a device the user must do
    // something about; that is told once until the link is asked for again.
    void TellDeviceProblemOnce(uint32_t openResult, const QString& device) {
        const QString problem = DeviceProblemText(openResult, device);
        if ((problem.isEmpty() && openResult != EBUSY) ||
            (openResult == toldOpenResult && device == toldDevice)) {
            return;
        }
        toldOpenResult = openResult;
        toldDevice = device;
        if (openResult == EBUSY) {
            connection.TellPortInUse(messenger, device);
            return;
        }
        ShowError(CannotOpenText() + QStringLiteral("\n\n") + problem, false);
    }

    // The device went away under the open port (a pulled USB adapter): what moves the motor gets
    // its exit tried (it cannot reach the drive, so its warning follows), the port closes, the
    // link is no longer wanted, and the user reads which device went, whether or not the
    // operation that found it has told its own failure. "连线(&C)" opens the same path afresh
    // once the adapter is back. True when the device had gone.
    bool DropVanishedDevice() {
        if (!connection.DeviceGone()) {
            return false;
        }
        const QStringList notEnded = connection.Motions().TryAll();
        access.DropLink();
        ClosePort();
        linkRequested = false;
        connection.TakeLinkFailureTold();
        connection.TellDeviceGone(messenger, true);
        if (!notEnded.isEmpty()) {
            ShowError(notEnded.join(QStringLiteral("\n\n")), true);
        }
        observer->LinkStateChanged();
        RefreshAllPanes();
        observer->LinkDropped();
        return true;
    }

    // A port the user asked for could not be opened: held by another program (named), or why.
    void TellOpenFailure(uint32_t opened, const QString& device) {
        if (opened == EBUSY) {
            connection.TellPortInUse(messenger, device);
            return;
        }
        QString text = CannotOpenText();
        const QString problem = DeviceProblemText(opened, device);
        if (!problem.isEmpty()) {
            text += QStringLiteral("\n\n") + problem;
        }
        ShowError(text, false);
    }

    // Opens the port for the dialog connect and checks for a drive (steps 5 and 6).
    void DialogOpen(const QString& device) {
        LinkSettings adjusted = settings.link;
        if (adjusted.BaudRateIndex < 0 || adjusted.BaudRateIndex > kHighestDialogBaudIndex) {
            adjusted.BaudRateIndex = kFallbackBaudIndex;
        }
        if (adjusted.RS485Port &&
            (adjusted.FrameFormat < 0 || adjusted.FrameFormat > kHighestFrameFormat)) {
            adjusted.FrameFormat = 0;
            adjusted.AsciiMode = true;
        }
        const uint32_t opened =
            OpenLinkPort(link, device, BaudRateOfIndex(adjusted.BaudRateIndex), adjusted);
        if (opened != 0) {
            // A port left open by a refused line set-up is not one the user can use.
            ClosePort();
            access.DropLink();
            TellOpenFailure(opened, device);
            return;
        }
        settings.link = adjusted;
        link.SetDeviceName(ComName(settings.link.ComPort));
        portOpen = true;
        bool answered = false;
        if (settings.link.RS485Port) {
            // The port stays open without LinkUp: "连线(&C)" then probes over it.
            answered = ModbusAnswers();
        } else {
            answered = ProbeDrive();
            if (answered) {
                linkRequested = true;
            }
        }
        if (!answered) {
            ClosePort();
            access.DropLink();
            ShowError(StringText(StringId::kNoValidAnswer), false);
        }
    }
};

DriveSession::DriveSession(AppSettings& settings, DriveProfile& profile, DriveStatus& status,
                           CNolvaServoDoc& document, Messenger& messenger,
                           std::unique_ptr<SerialBackend> backend)
    : d_(std::make_unique<Impl>(settings, profile, status, document, messenger,
                                std::move(backend))) {
    // An operation that found the device gone has ended with its own message: the link goes
    // down now, not at the next tick. The operations object is the connection's context, so it
    // ends with the session.
    QObject::connect(&d_->operations, &DriveOperations::operationsEnded, &d_->operations, [this] {
        if (!d_->operations.Running()) {
            d_->DropVanishedDevice();
        }
    });
}

DriveSession::~DriveSession() {
    if (d_->access.LinkUp() || d_->portOpen) {
        d_->ClosePort();
        d_->access.DropLink();
    }
}

void DriveSession::SetObserver(SessionObserver* observer) {
    d_->observer = observer != nullptr ? observer : &d_->silent;
}

void DriveSession::SetPortOverride(const QString& device) {
    d_->portOverride = device;
}

QString DriveSession::DeviceOfComPort(int comPort) const {
    if (!d_->portOverride.isEmpty() && comPort == d_->settings.link.ComPort) {
        return d_->portOverride;
    }
    if (comPort < 0 || comPort >= kComPortCount) {
        return {};
    }
    return d_->settings.comDevices[static_cast<size_t>(comPort)];
}

bool DriveSession::LinkRequested() const {
    return d_->linkRequested;
}

bool DriveSession::LinkUp() const {
    return d_->access.LinkUp();
}

bool DriveSession::PortOpen() const {
    return d_->portOpen;
}

bool DriveSession::Busy() const {
    return d_->operations.Busy();
}

void DriveSession::SetBusy(bool busy) {
    d_->operations.SetBusy(busy);
}

int DriveSession::TickCount() const {
    return d_->tickCount;
}

void DriveSession::OnTimerTick() {
    // A device found gone by an operation that has ended is dropped before anything else runs.
    if (!Busy()) {
        d_->DropVanishedDevice();
    }
    if (d_->linkRequested && !Busy() && d_->tickCount >= kTicksBetweenConnects) {
        d_->tickCount = 0;
        ConnectRoutine();
    } else if (++d_->tickCount >= kTickWrap) {
        d_->tickCount = 0;
    }
    if (d_->access.LinkUp() && !Busy()) {
        SetBusy(true);
        Poll();
        SetBusy(false);
        d_->DropVanishedDevice();
    }
}

void DriveSession::RequestLink() {
    d_->linkRequested = true;
    d_->toldOpenResult = 0;
    d_->toldDevice.clear();
    d_->observer->LinkStateChanged();
    d_->RefreshAllPanes();
}

void DriveSession::Disconnect() {
    d_->linkRequested = false;
    d_->access.DropLink();
    if (d_->portOpen) {
        d_->ClosePort();
    }
    d_->observer->LinkStateChanged();
    d_->RefreshAllPanes();
}

void DriveSession::RunChosenCommand(int command, std::function<void()> run) {
    const CommandRow* row = FindCommand(command);
    const bool needsLink = row != nullptr && row->needs == Needs::Link;
    const auto outcome = d_->operations.RunChosen(command, [this, needsLink, run = std::move(run)] {
        if (needsLink && !d_->access.LinkUp()) {
            // The link went down while the command waited for the poll.
            d_->ShowError(StringText(StringId::kLinkError), false);
            return;
        }
        run();
    });
    if (outcome == DriveOperations::Chosen::Refused) {
        d_->observer->CommandNotRun(BusyCommandText());
    }
}

void DriveSession::ConnectRoutine() {
    Impl& s = *d_;
    SetBusy(true);
    const QString device = DeviceOfComPort(s.settings.link.ComPort);
    LinkSettings adjusted = s.settings.link;
    if (adjusted.BaudRateIndex < 0 || adjusted.BaudRateIndex > kHighestTimerBaudIndex) {
        adjusted.BaudRateIndex = kFallbackBaudIndex;
    }
    if (adjusted.RS485Port) {
        if (adjusted.FrameFormat < 0 || adjusted.FrameFormat > kHighestFrameFormat) {
            adjusted.FrameFormat = 0;
        }
        adjusted.AsciiMode = adjusted.FrameFormat <= kLastAsciiFrameFormat;
    }
    const uint32_t opened =
        OpenLinkPort(s.link, device, BaudRateOfIndex(adjusted.BaudRateIndex), adjusted);
    if (opened == 0) {
        s.settings.link = adjusted;
        s.link.SetDeviceName(ComName(s.settings.link.ComPort));
        s.portOpen = true;
        if (!s.ProbeDrive() && !s.DropVanishedDevice()) {
            s.access.DropLink();
            s.ClosePort();
            s.linkRequested = false;
            // A link opened afresh has no operation behind it whose failure was told.
            s.connection.TakeLinkFailureTold();
            s.TellLinkLost();
        }
    } else if (opened == kChannelAlreadyOpen) {
        // A live link or a port the dialog left open: probe over it as it is set up.
        if (!s.ProbeDrive() && !s.DropVanishedDevice()) {
            // What moves the motor gets its exit tried while the port is still open.
            const QStringList notEnded =
                s.access.LinkUp() ? s.connection.Motions().TryAll() : QStringList();
            s.access.DropLink();
            if (s.portOpen) {
                s.ClosePort();
                s.linkRequested = false;
                s.TellLinkLostUnlessTold();
            }
            if (!notEnded.isEmpty()) {
                s.ShowError(notEnded.join(QStringLiteral("\n\n")), true);
            }
        }
    } else {
        // Retried on the next due tick. A port left open by a refused line set-up is closed so
        // that the retry opens and sets it up afresh.
        if (s.link.IsOpen()) {
            s.link.Close();
        }
        s.access.DropLink();
        s.TellDeviceProblemOnce(opened, device);
    }
    s.Refresh({3});
    s.observer->LinkStateChanged();
    // Every pane shows what the new state computes: the link's texts when it came up (the
    // message pane's "通讯错误！！" goes), the not-linked texts when it did not.
    s.Refresh({0, 1, 2, 4, 5, 6, 7});
    if (!s.access.LinkUp()) {
        s.observer->LinkDropped();
    }
    SetBusy(false);
}

void DriveSession::DialogConnect(
    const std::function<std::optional<PortChoice>(const PortChoice& current, bool linkRequested)>&
        askUser) {
    Impl& s = *d_;
    SetBusy(true);
    const PortChoice current{s.settings.link.ComPort, s.settings.link.BaudRateIndex, std::nullopt,
                             s.settings.link.Echo};
    const std::optional<PortChoice> chosen = askUser(current, s.linkRequested);
    if (chosen) {
        if (s.linkRequested) {
            // The button read "断开(&D)": the choice is not looked at.
            s.linkRequested = false;
            s.access.DropLink();
            if (s.portOpen) {
                s.ClosePort();
            }
        } else if (!(chosen->comPort == current.comPort &&
                     chosen->baudRateIndex == current.baudRateIndex &&
                     chosen->echo == current.echo && s.access.LinkUp())) {
            if (chosen->comPort != s.settings.link.ComPort) {
                // The override stands for the COM number it was given with; another number is
                // the user's own device.
                s.portOverride.clear();
            }
            s.settings.link.ComPort = chosen->comPort;
            s.settings.link.BaudRateIndex = chosen->baudRateIndex;
            s.settings.link.Echo = chosen->echo;
            if (chosen->line) {
                // What a detection found: the drive's port, and on RS-485 its format and station.
                s.settings.link.RS485Port = chosen->line->rs485;
                if (chosen->line->rs485) {
                    s.settings.link.FrameFormat = chosen->line->frameFormat;
                    s.settings.link.AsciiMode = chosen->line->frameFormat < 6;
                    s.settings.link.StationID = chosen->line->station;
                }
            }
            if (s.portOpen) {
                s.ClosePort();
                s.access.DropLink();
            }
            s.DialogOpen(DeviceOfComPort(s.settings.link.ComPort));
        }
    }
    s.Refresh({3});
    s.observer->LinkStateChanged();
    // The status bar's idle update would show the other panes' link texts as well.
    s.Refresh({0, 1, 2, 4, 5, 6, 7});
    SetBusy(false);
}

QList<DetectedDrive> DriveSession::Detect(const QString& device,
                                          const DetectionProgress& progress) {
    Impl& s = *d_;
    if (s.portOpen) {
        s.ClosePort();
        s.access.DropLink();
    }
    const uint32_t opened = s.link.Open(device, 2048, 2048);
    if (opened != 0) {
        s.TellOpenFailure(opened, device);
        return {};
    }
    const QList<DetectedDrive> found = DetectDrives(s.link, DetectionOptions{}, progress);
    s.ClosePort();
    return found;
}

bool DriveSession::Poll() {
    if (!d_->access.LinkUp()) {
        return false;
    }
    if (d_->operations.Running()) {
        return false; // the job below would wait for it, after this poll has gone
    }
    bool read = false;
    d_->operations.RunPoll([this, &read] { read = StatusRead(); });
    return read && d_->observer->PollMonitors();
}

void DriveSession::SetExchangeHook(std::function<void()> hook) {
    d_->exchangeDone = std::move(hook);
}

bool DriveSession::StatusRead() {
    return d_->connection.ReadStatus(d_->status, [this](StatusPart part) {
        switch (part) {
        case StatusPart::ControlMode: d_->Refresh({1}); break;
        case StatusPart::ServoState: d_->Refresh({0}); break;
        case StatusPart::Version: d_->Refresh({2}); break;
        // Panes 4 and 5 show the process-wide model code.
        case StatusPart::Model: d_->Refresh({4, 5}); break;
        case StatusPart::MaxSpeed: break;
        case StatusPart::Alarm: d_->Refresh({7}); break;
        }
        if (d_->exchangeDone) {
            d_->exchangeDone();
        }
        // A command chosen meanwhile runs once this tick has given way.
        return !d_->operations.YieldWanted();
    });
}

QString DriveSession::PaneText(int pane) const {
    const Impl& s = *d_;
    const bool up = s.access.LinkUp();
    switch (pane) {
    case 0:
        return StringText(StringId::kServoStateLabel) +
               QString::fromUtf8(up && s.status.servoOn ? kServoOn : kServoOff);
    case 1:
        return up ? ControlModeText(s.document.diagnosticsSnapshot[kControlModeSlot]) +
                        StringText(StringId::kControlSuffix)
                  : StringText(StringId::kNoControlMode);
    case 2:
        return StringText(StringId::kVersionLabel) +
               (up ? VersionText(s.document.diagnosticsSnapshot[kVersionSlot])
                   : QString::fromUtf8(kNoVersion));
    case 3: return up ? QString::fromUtf8(kServoLinked) : StringText(StringId::kServoNotLinked);
    case 4:
        return StringText(StringId::kModelLabel) +
               (up ? DriveModelName(s.profile.modelCode) : QString::fromUtf8(kNoModel));
    case 5:
        return StringText(StringId::kMotorLabel) +
               (up ? MotorTypeText(s.profile.modelCode) : QString::fromUtf8(kNoMotor));
    case 6:
        if (up) {
            return StringText(StringId::kInfoLabel);
        }
        return StringText(StringId::kInfoLabel) +
               StringText(s.linkRequested ? StringId::kLinkError : StringId::kDisconnectedWord);
    case 7: return up ? AlarmText(s.status.alarmWord) : QString();
    default: return {};
    }
}

DriveAccess& DriveSession::Access() {
    return d_->access;
}

ModbusLink& DriveSession::Link() {
    return d_->link;
}

DriveConnection& DriveSession::Connection() {
    return d_->connection;
}

DriveOperations& DriveSession::Operations() {
    return d_->operations;
}
