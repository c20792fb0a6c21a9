#pragma once

#include "app/AppSettings.h"
#include "drive/DriveProfile.h"
#include "link/DriveAccess.h"
#include "link/ModbusLink.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class CNolvaServoDoc;
class Messenger;
class SerialBackend;

// The drive status the poll reads, kept for the whole run (start values before any drive).
struct DriveStatus {
    bool servoOn = false;   // DriveMap::kServoState bit 0
    uint16_t alarmWord = 0; // DriveMap::kAlarmBits
};

// What the windows do when the session changes. Every hook has a do-nothing default, so a test
// implements only what it watches.
class SessionObserver {
public:
    virtual ~SessionObserver() = default;
    // Status bar pane 0..7 must show PaneText(pane) again.
    virtual void PaneChanged(int pane) { (void)pane; }
    // LinkUp, LinkRequested or PortOpen changed: menus, the group and custom table windows'
    // drive buttons, the parameter editor.
    virtual void LinkStateChanged() {}
    // The connect routine ended without a linked drive (the probe went unanswered, after its
    // message, or the port could not be opened): the trace and frequency analysis windows are
    // refreshed, the status display and diagnostics monitors closed.
    virtual void LinkDropped() {}
    // Steps 3..5 of a poll: the open monitor windows refresh from the drive. False ends the poll.
    virtual bool PollMonitors() { return true; }
};

// The activity flags of the main view that decide which commands are enabled.
struct ViewActivity {
    bool linkUp = false;
    bool linkRequested = false;
    bool jogActive = false;
    bool parameterEditorOpen = false;
    bool statusMonitorOpen = false;
    bool diagnosticsOpen = false;
    bool alarmHistoryOpen = false;
    bool customTableOpen = false;
    bool groupWindowOpen = false; // any of the control, torque, speed and position windows
};

// Command identifiers of the menus and the toolbar.
namespace Command {
inline constexpr int FileNew = 57600;
inline constexpr int FileOpen = 57601;
inline constexpr int CopyToDrive = 179;
inline constexpr int CopyToComputer = 180;
inline constexpr int StatusMonitor = 155;
inline constexpr int Diagnostics = 156;
inline constexpr int AlarmHistory = 157;
inline constexpr int Trace = 181;
inline constexpr int Jog = 158;
inline constexpr int AutoTuning = 159;
inline constexpr int AutoOffset = 160;
inline constexpr int ParameterEditor = 32776;
inline constexpr int OnlineEditing = 32777;
inline constexpr int ContactPlanning = 32788;
inline constexpr int PositionPlanning = 32799;
inline constexpr int MachineAnalysis = 32801;
inline constexpr int Connect = 32774;
inline constexpr int Disconnect = 32775;
inline constexpr int PortSettings = 161;
inline constexpr int ControlParameters = 151;
inline constexpr int TorqueParameters = 152;
inline constexpr int SpeedParameters = 153;
inline constexpr int PositionParameters = 154;
inline constexpr int CustomParameters = 188;
} // namespace Command

// Whether a command is enabled; commands without a rule are always enabled.
bool IsCommandEnabled(int command, const ViewActivity& activity);
// Whether a command that opens a parameter window may open it now. Their menu items stay enabled;
// a refused command does nothing. The group windows (151..154) are refused while the custom
// table, the JOG window or a monitor window (status display, diagnostics, alarm history) is open;
// the custom table (188) while a group window, the JOG window or a monitor window is open; the
// parameter editor (32776) while the custom table, the JOG window or a monitor window is open. Any
// other command: true.
bool MayOpenParameterWindow(int command, const ViewActivity& activity);
// Whether a command's menu item carries a check mark ("连线" while wanted, "断开" while not).
bool IsCommandChecked(int command, const ViewActivity& activity);

// The link to the drive as the main view runs it: the one ModbusLink, the flags LinkRequested,
// LinkUp, PortOpen and Busy, the 400 ms timer's connect and poll scheduling, the two connect
// paths, the status read and the texts of the eight status bar panes. It holds no window: the
// view forwards its timer, commands and dialog to it and shows what the observer is told.
class DriveSession {
public:
    static constexpr int kTimerId = 1114;
    static constexpr int kTimerPeriodMs = 400;
    static constexpr int kTicksBetweenConnects = 10;

    // The settings, profile, status and document belong to the application and outlive the
    // session. `backend` replaces the system serial port (tests); null uses the system's.
    DriveSession(AppSettings& settings, DriveProfile& profile, DriveStatus& status,
                 CNolvaServoDoc& document, Messenger& messenger,
                 std::unique_ptr<SerialBackend> backend = nullptr);
    ~DriveSession(); // closes the port when it is open

    void SetObserver(SessionObserver* observer);
    // A device that replaces the COM entry's for this run ("--port", "--simulate"). It stands
    // for the current COM number, whenever the settings are read; choosing another COM number
    // in the port dialog drops it. An empty device drops it too.
    void SetPortOverride(const QString& device);
    // The device "COM%d" stands for on this machine (comPort 0..7; empty outside).
    QString DeviceOfComPort(int comPort) const;

    bool LinkRequested() const;
    bool LinkUp() const;
    bool PortOpen() const;
    bool Busy() const;
    // Set around long operations, modal boxes and posted requests so that no poll overlaps them.
    void SetBusy(bool busy);
    int TickCount() const;

    // One timer tick: the connect routine when wanted and due, then the poll while linked.
    void OnTimerTick();
    // "连线(&C)": the next due tick connects.
    void RequestLink();
    // "断开(&D)": clears LinkRequested and LinkUp, closes the port.
    void Disconnect();
    // The timer's connect routine (also run by the view's initial update when the link is wanted).
    // An open refused for lack of permission or because another program holds the device is
    // told once, naming the device, until the link is asked for again; other open failures are
    // silent and retried.
    void ConnectRoutine();
    // The dialog connect: `askUser` shows "连接端口设定" with the current choice and whether the
    // link is wanted (the OK button then means "断开(&D)"), and returns the choice on OK or
    // nothing on cancel. A port refused for lack of permission or held by another program adds
    // the device and what to do to the message.
    void DialogConnect(const std::function<std::optional<PortChoice>(const PortChoice& current,
                                                                     bool linkRequested)>& askUser);

    // The poll: status read, then the observer's monitors. False at the first failure.
    bool Poll();
    // The six status reads; silent on failure, keeping what was read.
    bool StatusRead();

    // Status bar pane texts for the current state.
    QString PaneText(int pane) const;

    // The drive value operations for the windows (LinkUp, LastValue, reads and writes).
    DriveAccess& Access();
    ModbusLink& Link();

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};
