#pragma once

#include "app/AppSettings.h"
#include "drive/DriveProfile.h"
#include "link/DriveAccess.h"
#include "link/DriveDetection.h"
#include "link/ModbusLink.h"
#include "params/DriveConnection.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class CNolvaServoDoc;
class DriveOperations;
class Messenger;
class SerialBackend;

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
    // A command the user chose did not run: `text` says why (the status bar's message pane).
    virtual void CommandNotRun(const QString& text) { (void)text; }
};

// The link to the drive as the main view runs it: the one drive connection and its operations
// (which hold Busy), the flags LinkRequested and PortOpen, the 400 ms timer's connect and poll
// scheduling, the two connect paths and the texts of the eight status bar panes. It holds no
// window: the view forwards its timer, commands and dialog to it and shows what the observer is
// told.
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

    // One timer tick: the connect routine when wanted and due, then the poll while linked. A
    // device that went away under the open port (found by the poll or by an operation) takes
    // the link down at once with "串口设备已移除：" and the device, not after the probes.
    void OnTimerTick();
    // "连线(&C)": the next due tick connects.
    void RequestLink();
    // "断开(&D)": clears LinkRequested and LinkUp, closes the port.
    void Disconnect();
    // A command the user chose (by its id): runs now, or, while the poll reads, as soon as the
    // poll has given way (DriveOperations::RunChosen). One that needs the link and finds it gone
    // by then says so instead of running; one refused because another operation runs says why.
    void RunChosenCommand(int command, std::function<void()> run);
    // The timer's connect routine (also run by the view's initial update when the link is wanted).
    // When the probe of a live link goes unanswered, the exits of the operations that move the
    // motor are tried before the port closes; those that fail are told after the lost link.
    // An open refused for lack of permission or because another program holds the device is
    // told once, naming the device (and the program holding it, where a lock file names one),
    // until the link is asked for again; other open failures are silent and retried.
    void ConnectRoutine();
    // The dialog connect: `askUser` shows "连接端口设定" with the current choice and whether the
    // link is wanted (the OK button then means "断开(&D)"), and returns the choice on OK or
    // nothing on cancel. A port refused for lack of permission or held by another program adds
    // the device and what to do to the message.
    void DialogConnect(const std::function<std::optional<PortChoice>(const PortChoice& current,
                                                                     bool linkRequested)>& askUser);
    // "自动侦测" of the dialog connect (so under Busy): a port left open by the dialog is closed,
    // `device` is opened and the detection runs on it; the port is closed again afterwards. A
    // device that cannot be opened is told as the dialog connect tells it, and nothing is found.
    QList<DetectedDrive> Detect(const QString& device, const DetectionProgress& progress);

    // The poll: status read, then the observer's monitors. False at the first failure, and
    // when an operation runs already. The status read runs as a drive operation, so that a
    // window's request that comes while the hook below turns the event loop waits for its end.
    bool Poll();
    // The connection's status read, each pane refreshed as its value comes in.
    bool StatusRead();
    // Runs after every exchange of the status read (the program keeps drawing between them).
    void SetExchangeHook(std::function<void()> hook);

    // Status bar pane texts for the current state.
    QString PaneText(int pane) const;

    // The drive value operations for the windows (LinkUp, LastValue, reads and writes).
    DriveAccess& Access();
    ModbusLink& Link();
    DriveConnection& Connection();
    // Every drive operation of the windows and commands runs through these, under Busy.
    DriveOperations& Operations();

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};
