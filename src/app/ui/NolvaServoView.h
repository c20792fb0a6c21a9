#pragma once

#include "app/CommandTable.h"
#include "app/DriveSession.h"
#include "frame/SubsystemServices.h"
#include "frame/ToolWindows.h"
#include "params/ParaEditHost.h"
#include "params/ParameterRequestRunner.h"
#include "params/ParameterRequests.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <optional>

struct AppSettings;
class CNolvaServoDoc;
class CTransferProgress;
class FileChooser;
class Messenger;
class MonitorPoll;
class ParameterTransfer;
class SerialBackend;
class Ticker;
class TickerSource;

// The main view: a grey client area, the one drive session with its 400 ms timer, the link
// commands, the tool windows (kept here by command id) and the copy commands. What the session
// reports (pane texts, link state) goes out as Qt signals to the frame, which enables its
// commands from CommandStatus().
//
// Every drive operation a window or command asks for runs through the session's operations, under
// Busy and one at a time; the view refreshes the window that asked.
class CNolvaServoView : public QWidget,
                        public ParameterRequests,
                        private ParaEditHost,
                        private SessionObserver {
    Q_OBJECT
public:
    CNolvaServoView(AppSettings& settings, DriveProfile& profile, DriveStatus& status,
                    CNolvaServoDoc& document, Messenger& messenger, FileChooser& files,
                    std::unique_ptr<SerialBackend> backend, TickerSource& tickers,
                    QWidget* parent = nullptr);
    ~CNolvaServoView() override;

    DriveSession& Session() { return *session_; }
    const DriveSession& Session() const { return *session_; }

    // What the commands' enabling depends on: the link and the open tool windows.
    CommandState CommandStatus() const;

    // Whether a window is registered for the command (frame/ToolWindows.h).
    bool HasToolWindowKind(int command) const;
    // The command's window: made the first time, shown and brought to the front. False, with
    // nothing done, while an open window refuses it (MayOpenWindow: commandRefused names the
    // window); false also when the window declined to open (its entry sequence failed).
    bool OpenToolWindow(int command);
    // Whether a command action is registered for the command (frame/ToolWindows.h).
    bool HasCommandAction(int command) const;
    // Runs the command's action. False, with nothing done, while an open window refuses it.
    bool RunCommandAction(int command);
    // A command chosen from the menu or toolbar: runs now, or once the poll's tick has given way
    // to it; while another drive operation runs, commandRefused says why it did not run.
    void RunChosen(int command, std::function<void()> run);
    // The command's window while it exists (a kept one also while hidden); null otherwise.
    QWidget* ToolWindow(int command) const;
    // The command's window exists and is not hidden.
    bool ToolWindowOpen(int command) const;

    // After each new or opened document: connects when the link is wanted, starts the timer.
    void OnInitialUpdate();
    bool TimerRunning() const;

    // "连线(&C)", "断开(&D)", "连接端口设定(&P)...".
    void OnConnect();
    void OnDisconnect();
    void OnPortSettings();
    // A device that stands for the current COM entry in this run ("--simulate", "--port").
    void SetPortOverride(const QString& device);
    const QString& PortOverride() const { return portOverride_; }

    // How the editor saves a modified document before it reads the whole drive (File Save).
    void SetSaveDocumentHook(std::function<bool()> hook) { saveDocument_ = std::move(hook); }
    // The file dialogs the tool windows' exports use.

    // ParameterRequests: the windows' read and write requests, run as operations; the window
    // that asked shows the outcome.
    void PostParameterRequest(const ParameterRequest& request) override;
    bool LinkUp() const override;

    // "复制至计算机(&C)..." and "复制至驱动器(&D)...": nothing while no drive is linked;
    // otherwise `chooseFile` names the file (nothing: the user cancelled) and the whole parameter
    // set goes from the drive into it, or from it to the drive, with the waiting window. True
    // when the copy completed.
    using FileQuestion = ParameterRequestRunner::FileQuestion;
    bool OnCopyToComputer(const FileQuestion& chooseFile);
    bool OnCopyToDrive(const FileQuestion& chooseFile);

    // The progress windows of the transfers (made at the first transfer).
    CTransferProgress& TransferWindows();

signals:
    void paneChanged(int pane);
    // The link state changed or a tool window opened or closed: menus and toolbar follow.
    void commandStateChanged();
    // A command did nothing because an open window refuses it or another operation runs: `text`
    // says which.
    void commandRefused(const QString& text);
    void linkDropped();
    // The view was drawn for the first time (the main window is on the screen).
    void firstPainted();
    // The document's modified flag changed behind the file commands: a transfer read values
    // into it, or a window took defaults or typed values (noticed at the next tick).
    void documentChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    // The tool windows' showing and hiding.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Whether the command may run now; when an open window refuses it, says so (commandRefused).
    bool MayRun(int command);

    // SessionObserver
    void PaneChanged(int pane) override;
    void LinkStateChanged() override;
    void LinkDropped() override;
    bool PollMonitors() override;
    void CommandNotRun(const QString& text) override;

    // ParaEditHost
    bool EditorLinkUp() const override;
    void RunEditorTransfer(std::function<void(ParameterTransfer&)> job) override;
    bool SaveEditorDocument() override;

    void OnTimer();
    // Tells every existing tool window whose kind listens for it.
    void TellWindows(const std::function<void(const ToolWindowKind&, QWidget*)>& tell);
    void NoteDocumentState();

    AppSettings& settings_;
    DriveProfile& profile_;
    CNolvaServoDoc& document_;
    Messenger& messenger_;
    std::unique_ptr<DriveSession> session_;
    std::unique_ptr<MonitorPoll> monitors_;
    std::unique_ptr<CTransferProgress> progress_;
    ParameterRequestRunner requests_;
    std::map<int, QPointer<QWidget>> toolWindows_; // by command id
    std::function<bool()> saveDocument_;
    bool shownModified_ = false;
    std::unique_ptr<Ticker> timer_;
    SubsystemServices services_;
    ToolWindowContext windowContext_;
    QString portOverride_;
    bool painted_ = false;
};
