#include "app/ui/NolvaServoView.h"

#include "app/AppSettings.h"
#include "base/Ticker.h"
#include "frame/TransferProgressDialog.h"
#include "link/DriveOperations.h"
#include "link/SerialBackend.h"
#include "link/ui/LinkComPort.h"
#include "monitor/MonitorPoll.h"
#include "params/NolvaServoDoc.h"
#include "params/ParameterTransfer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPainter>

namespace {

const QColor kBackground(128, 128, 128);

} // namespace

CNolvaServoView::CNolvaServoView(AppSettings& settings, DriveProfile& profile, DriveStatus& status,
                                 CNolvaServoDoc& document, Messenger& messenger, FileChooser& files,
                                 std::unique_ptr<SerialBackend> backend, TickerSource& tickers,
                                 QWidget* parent)
    : QWidget(parent), settings_(settings), profile_(profile), document_(document),
      messenger_(messenger),
      session_(std::make_unique<DriveSession>(settings, profile, status, document, messenger,
                                              std::move(backend))),
      monitors_(
          std::make_unique<MonitorPoll>(session_->Connection(), profile, document, messenger)),
      requests_(session_->Connection(), settings.customTable),
      timer_(tickers.MakeTicker(DriveSession::kTimerPeriodMs, [this] { OnTimer(); })),
      windowContext_{document,
                     profile,
                     *this,
                     *this,
                     messenger,
                     files,
                     tickers,
                     settings.display,
                     settings.customTable,
                     services_,
                     session_->Connection()} {
    services_.Lend(*monitors_);
    services_.Lend(settings.onlineCodes);
    session_->SetObserver(this);
    monitors_->SetProgressSource([this] { return &TransferWindows(); });
    // A tick's status and monitor reads can outlast the tick at low baud rates: the program keeps
    // drawing between the exchanges, and the ticks that come meanwhile find Busy set and pass.
    monitors_->SetExchangeHook([] { QCoreApplication::processEvents(); });
    session_->SetExchangeHook([] { QCoreApplication::processEvents(); });
    requests_.SetProgressSource([this] { return &TransferWindows(); });
    requests_.SetOutcomeHandler(
        [this](const ParameterAction& action, const ParameterOutcome& outcome) {
            TellWindows([&](const ToolWindowKind& kind, QWidget* window) {
                if (kind.requestDone)
                    kind.requestDone(window, action, outcome);
            });
        });
    connect(&session_->Operations(), &DriveOperations::operationsEnded, this, [this] {
        TellWindows([](const ToolWindowKind& kind, QWidget* window) {
            if (kind.operationsEnded)
                kind.operationsEnded(window);
        });
        emit commandStateChanged();
        NoteDocumentState();
    });
    setAttribute(Qt::WA_OpaquePaintEvent);
    shownModified_ = document_.modified;
}

CNolvaServoView::~CNolvaServoView() {
    timer_->Stop();
    session_->SetObserver(nullptr);
    // The windows post their requests here: none outlives the view.
    for (auto& [command, window] : toolWindows_) {
        if (window)
            window->removeEventFilter(this);
        delete window.data();
    }
}

CommandState CNolvaServoView::CommandStatus() const {
    CommandState state;
    state.linkUp = session_->LinkUp();
    state.linkRequested = session_->LinkRequested();
    for (const auto& [command, window] : toolWindows_) {
        if (ToolWindowOpen(command))
            state.openWindows.insert(command);
    }
    return state;
}

bool CNolvaServoView::MayRun(int command) {
    const CommandState state = CommandStatus();
    if (MayOpenWindow(command, state))
        return true;
    // The menu item stays enabled while a refusing window is open: tell the user why nothing
    // happens.
    if (const QWidget* refusing = ToolWindow(RefusingWindow(command, state)))
        emit commandRefused(RefusedCommandText(refusing->windowTitle()));
    return false;
}

bool CNolvaServoView::HasToolWindowKind(int command) const {
    return RegisteredToolWindows().count(command) != 0;
}

bool CNolvaServoView::OpenToolWindow(int command) {
    const auto kind = RegisteredToolWindows().find(command);
    if (kind == RegisteredToolWindows().end() || !MayRun(command))
        return false;
    QPointer<QWidget>& slot = toolWindows_[command];
    if (slot.isNull()) {
        slot = kind->second.make(windowContext_, window());
        if (slot.isNull()) {
            toolWindows_.erase(command);
            emit commandStateChanged();
            return false;
        }
        slot->installEventFilter(this);
    }
    QWidget* shown = slot.data();
    if (kind->second.present) {
        kind->second.present(shown);
    } else {
        shown->show();
        shown->raise();
        shown->activateWindow();
    }
    emit commandStateChanged();
    return true;
}

bool CNolvaServoView::HasCommandAction(int command) const {
    return RegisteredCommandActions().count(command) != 0;
}

bool CNolvaServoView::RunCommandAction(int command) {
    const auto action = RegisteredCommandActions().find(command);
    if (action == RegisteredCommandActions().end() || !MayRun(command))
        return false;
    CommandActionContext context{windowContext_, session_->Connection(), TransferWindows(),
                                 window()};
    action->second(context);
    emit commandStateChanged();
    NoteDocumentState();
    return true;
}

void CNolvaServoView::RunChosen(int command, std::function<void()> run) {
    session_->RunChosenCommand(command, std::move(run));
}

QWidget* CNolvaServoView::ToolWindow(int command) const {
    const auto window = toolWindows_.find(command);
    return window == toolWindows_.end() ? nullptr : window->second.data();
}

bool CNolvaServoView::ToolWindowOpen(int command) const {
    const QWidget* window = ToolWindow(command);
    return window != nullptr && !window->isHidden();
}

bool CNolvaServoView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && !event->spontaneous()) {
        // Closed: a window that is not kept goes (a minimised owner is no closing).
        for (auto& [command, window] : toolWindows_) {
            if (window == watched && !RegisteredToolWindows().at(command).keptWhenClosed) {
                window = nullptr;
                watched->deleteLater();
            }
        }
        emit commandStateChanged();
    } else if (event->type() == QEvent::Show) {
        emit commandStateChanged();
    }
    return QWidget::eventFilter(watched, event);
}

void CNolvaServoView::OnInitialUpdate() {
    if (session_->LinkRequested())
        session_->ConnectRoutine();
    if (!timer_->Running())
        timer_->Start();
    emit commandStateChanged();
}

bool CNolvaServoView::TimerRunning() const {
    return timer_->Running();
}

void CNolvaServoView::OnTimer() {
    session_->OnTimerTick();
    // A tick may have connected or dropped the link; the commands follow every notification.
    emit commandStateChanged();
    // The windows change document values directly (defaults, typed values): the title follows.
    NoteDocumentState();
}

void CNolvaServoView::NoteDocumentState() {
    if (document_.modified != shownModified_) {
        shownModified_ = document_.modified;
        emit documentChanged();
    }
}

void CNolvaServoView::OnConnect() {
    session_->RequestLink();
    emit commandStateChanged();
}

void CNolvaServoView::OnDisconnect() {
    session_->Disconnect();
    emit commandStateChanged();
}

void CNolvaServoView::OnPortSettings() {
    session_->DialogConnect([this](const PortChoice& current, bool linkRequested) {
        std::optional<PortChoice> choice =
            AskLinkComPort(window(), current, linkRequested, settings_.comDevices,
                           [this](const QString& device, const DetectionProgress& progress) {
                               return session_->Detect(device, progress);
                           });
        // A device the user chose for the entry replaces the one given on the command line.
        if (choice && !portOverride_.isEmpty() && choice->comPort >= 0 &&
            choice->comPort < kComPortCount &&
            settings_.comDevices[static_cast<size_t>(choice->comPort)] != portOverride_)
            SetPortOverride(QString());
        return choice;
    });
    emit commandStateChanged();
}

void CNolvaServoView::SetPortOverride(const QString& device) {
    portOverride_ = device;
    session_->SetPortOverride(device);
}

CTransferProgress& CNolvaServoView::TransferWindows() {
    if (!progress_)
        progress_ = std::make_unique<CTransferProgress>(window());
    return *progress_;
}

// ---- The parameter editor ----

bool CNolvaServoView::EditorLinkUp() const {
    return session_->LinkUp();
}

void CNolvaServoView::RunEditorTransfer(std::function<void(ParameterTransfer&)> job) {
    requests_.RunTransfer(job);
}

bool CNolvaServoView::SaveEditorDocument() {
    return saveDocument_ && saveDocument_();
}

void CNolvaServoView::TellWindows(
    const std::function<void(const ToolWindowKind&, QWidget*)>& tell) {
    for (const auto& [command, window] : toolWindows_) {
        if (window)
            tell(RegisteredToolWindows().at(command), window.data());
    }
}

// ---- Requests of the parameter windows ----

void CNolvaServoView::PostParameterRequest(const ParameterRequest& request) {
    requests_.PostParameterRequest(request);
}

bool CNolvaServoView::LinkUp() const {
    return session_->LinkUp();
}

// ---- Copy commands ----

bool CNolvaServoView::OnCopyToComputer(const FileQuestion& chooseFile) {
    return requests_.CopyDriveToFile(chooseFile);
}

bool CNolvaServoView::OnCopyToDrive(const FileQuestion& chooseFile) {
    return requests_.CopyFileToDrive(chooseFile);
}

void CNolvaServoView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    if (!painted_) {
        painted_ = true;
        emit firstPainted();
    }
}

void CNolvaServoView::PaneChanged(int pane) {
    emit paneChanged(pane);
}

void CNolvaServoView::LinkStateChanged() {
    // The windows' drive buttons follow the link (also after the port dialog).
    TellWindows([](const ToolWindowKind& kind, QWidget* window) {
        if (kind.linkChanged)
            kind.linkChanged(window);
    });
    emit commandStateChanged();
}

void CNolvaServoView::LinkDropped() {
    for (const auto& [command, window] : toolWindows_) {
        if (window && RegisteredToolWindows().at(command).closedWhenLinkDrops)
            window->close();
    }
    emit linkDropped();
}

bool CNolvaServoView::PollMonitors() {
    return monitors_->Run();
}

void CNolvaServoView::CommandNotRun(const QString& text) {
    emit commandRefused(text);
}
