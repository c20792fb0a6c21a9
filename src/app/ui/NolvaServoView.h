#pragma once

#include "app/DriveSession.h"
#include "drive/ParamCode.h"
#include "params/ParameterRequests.h"
#include "params/ui/ParaEditDialog.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>

struct AppSettings;
class CDefParaDialog;
class CNolvaServoDoc;
class CParaGroupDialog;
class CParaEditDialog;
class CTransferProgress;
class Messenger;
class ParameterTransfer;
class SerialBackend;
class Ticker;
class TickerSource;

// The main view: a grey client area, the one drive session with its 400 ms timer, the link
// commands, the parameter group windows, the custom parameter table and the copy commands. What
// the session reports (pane texts, link state) goes out as Qt signals to the frame. Tool windows
// record here whether they are open; the frame enables its commands from Activity().
//
// Every drive operation a window or command asks for runs under Busy, one at a time: a transfer
// lets the event loop run after each exchange, and a request that arrives meanwhile waits until
// the running one has ended, then runs under the same Busy.
class CNolvaServoView : public QWidget,
                        public ParameterRequests,
                        private ParaEditHost,
                        private SessionObserver {
    Q_OBJECT
public:
    CNolvaServoView(AppSettings& settings, DriveProfile& profile, DriveStatus& status,
                    CNolvaServoDoc& document, Messenger& messenger,
                    std::unique_ptr<SerialBackend> backend, TickerSource& tickers,
                    QWidget* parent = nullptr);
    ~CNolvaServoView() override;

    DriveSession& Session() { return *session_; }
    const DriveSession& Session() const { return *session_; }

    // The flags that decide which commands are enabled: the link's and the tool windows'.
    ViewActivity Activity() const;
    enum class ToolWindow {
        Jog,
        ParameterEditor,
        StatusMonitor,
        Diagnostics,
        AlarmHistory,
        CustomTable
    };
    void SetToolWindowOpen(ToolWindow window, bool open);

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

    // Requests that tool windows post to the view: each runs later, on the event loop, under
    // Busy, so no poll overlaps it. A code without a handler is ignored.
    using RequestHandler = std::function<void(int argument)>;
    void SetRequestHandler(int code, RequestHandler handler);
    void PostRequest(int code, int argument);

    // Commands 151..154 and 188: the window is created and shown, or brought to the front, with
    // its values from the document. False, with nothing done, while MayOpenParameterWindow
    // refuses it.
    bool OnGroupParameters(ParamGroup group);
    bool OnCustomTable();
    // The open windows; null while closed.
    CParaGroupDialog* GroupWindow(ParamGroup group) const;
    CDefParaDialog* CustomTableWindow() const;

    // Command 32776 "参数设定(&E)...": makes the parameter editor the first time, then shows it
    // again and brings it to the front (its list rebuilt when the document's content was
    // replaced). False, with nothing done, while the custom table, the JOG window or a monitor
    // window is open.
    bool OnParameterEditor();
    // The editor once made (it stays while hidden); null before.
    CParaEditDialog* ParameterEditorWindow() const;
    // How the editor saves a modified document before it reads the whole drive (File Save).
    void SetSaveDocumentHook(std::function<bool()> hook) { saveDocument_ = std::move(hook); }

    // ParameterRequests: the windows' read and write requests, run as described above; the
    // window that asked shows the outcome.
    void PostParameterRequest(int message, int request, int argument) override;
    bool LinkUp() const override;

    // "复制至计算机(&C)..." and "复制至驱动器(&D)...": nothing while no drive is linked;
    // otherwise `chooseFile` names the file (nothing: the user cancelled) and the whole parameter
    // set goes from the drive into it, or from it to the drive, with the waiting window. True
    // when the copy completed.
    using FileQuestion = std::function<std::optional<QString>()>;
    bool OnCopyToComputer(const FileQuestion& chooseFile);
    bool OnCopyToDrive(const FileQuestion& chooseFile);

    // A drive operation is running (its requests queue behind it).
    bool OperationRunning() const { return running_; }
    // The progress windows of the transfers (made at the first transfer).
    CTransferProgress& TransferWindows();

signals:
    void paneChanged(int pane);
    // The link state or a tool window's flag changed: menus and toolbar follow.
    void commandStateChanged();
    void linkDropped();
    // The view was drawn for the first time (the main window is on the screen).
    void firstPainted();
    // The document's modified flag changed behind the file commands: a transfer read values
    // into it, or a window took defaults or typed values (noticed at the next tick).
    void documentChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // SessionObserver
    void PaneChanged(int pane) override;
    void LinkStateChanged() override;
    void LinkDropped() override;

    // ParaEditHost
    bool EditorLinkUp() const override;
    void RunEditorTransfer(std::function<void(ParameterTransfer&)> job) override;
    bool SaveEditorDocument() override;

    void OnTimer();
    void RunRequest(int code, int argument);
    void RunParameterRequest(int message, int request, int argument);
    // Runs `job` under Busy now, or after the operation that is running.
    void RunExclusive(std::function<void()> job);
    ParameterTransfer& Transfer();
    // Asks for the file, then runs one of the two copy commands as an exclusive request.
    bool RunCopy(const FileQuestion& chooseFile, bool (ParameterTransfer::*copy)(const QString&));
    void SyncParameterWindows();
    void NoteDocumentState();

    AppSettings& settings_;
    DriveProfile& profile_;
    CNolvaServoDoc& document_;
    Messenger& messenger_;
    std::unique_ptr<DriveSession> session_;
    std::unique_ptr<CTransferProgress> progress_;
    std::unique_ptr<ParameterTransfer> transfer_;
    std::array<QPointer<CParaGroupDialog>, 4> groupWindows_; // control, torque, speed, position
    QPointer<CDefParaDialog> customWindow_;
    QPointer<CParaEditDialog> editorWindow_;
    std::function<bool()> saveDocument_;
    std::deque<std::function<void()>> waiting_;
    bool running_ = false;
    bool shownModified_ = false;
    TickerSource& tickers_;
    std::unique_ptr<Ticker> timer_;
    ViewActivity tools_;
    QString portOverride_;
    std::map<int, RequestHandler> requestHandlers_;
    bool painted_ = false;
};
