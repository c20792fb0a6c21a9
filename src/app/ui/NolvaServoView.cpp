#include "app/ui/NolvaServoView.h"

#include "app/AppSettings.h"
#include "base/Ticker.h"
#include "link/SerialBackend.h"
#include "link/ui/LinkComPort.h"
#include "params/CustomListEditor.h"
#include "params/NolvaServoDoc.h"
#include "params/ParameterTransfer.h"
#include "params/ui/DefParaDialog.h"
#include "params/ui/ParaEditDialog.h"
#include "params/ui/ParaGroupDialog.h"
#include "params/ui/TransferProgressDialog.h"

#include <QPainter>

namespace {

const QColor kBackground(128, 128, 128);

// The commands that open the group windows, by group (control, torque, speed, position).
constexpr std::array<int, 4> kGroupCommands{Command::ControlParameters, Command::TorqueParameters,
                                            Command::SpeedParameters, Command::PositionParameters};

bool IsGroupWindowGroup(ParamGroup group) {
    const int index = static_cast<int>(group);
    return index >= 0 && index < static_cast<int>(kGroupCommands.size());
}

} // namespace

CNolvaServoView::CNolvaServoView(AppSettings& settings, DriveProfile& profile, DriveStatus& status,
                                 CNolvaServoDoc& document, Messenger& messenger,
                                 std::unique_ptr<SerialBackend> backend, TickerSource& tickers,
                                 QWidget* parent)
    : QWidget(parent), settings_(settings), profile_(profile), document_(document),
      messenger_(messenger),
      session_(std::make_unique<DriveSession>(settings, profile, status, document, messenger,
                                              std::move(backend))),
      tickers_(tickers),
      timer_(tickers.MakeTicker(DriveSession::kTimerPeriodMs, [this] { OnTimer(); })) {
    session_->SetObserver(this);
    setAttribute(Qt::WA_OpaquePaintEvent);
    shownModified_ = document_.modified;
}

CNolvaServoView::~CNolvaServoView() {
    timer_->Stop();
    session_->SetObserver(nullptr);
    // The windows post their requests here: none outlives the view.
    for (QPointer<CParaGroupDialog>& window : groupWindows_)
        delete window.data();
    delete customWindow_.data();
    delete editorWindow_.data();
}

ViewActivity CNolvaServoView::Activity() const {
    ViewActivity activity = tools_;
    activity.linkUp = session_->LinkUp();
    activity.linkRequested = session_->LinkRequested();
    for (const QPointer<CParaGroupDialog>& window : groupWindows_)
        activity.groupWindowOpen = activity.groupWindowOpen || !window.isNull();
    return activity;
}

void CNolvaServoView::SetToolWindowOpen(ToolWindow window, bool open) {
    switch (window) {
    case ToolWindow::Jog: tools_.jogActive = open; break;
    case ToolWindow::ParameterEditor: tools_.parameterEditorOpen = open; break;
    case ToolWindow::StatusMonitor: tools_.statusMonitorOpen = open; break;
    case ToolWindow::Diagnostics: tools_.diagnosticsOpen = open; break;
    case ToolWindow::AlarmHistory: tools_.alarmHistoryOpen = open; break;
    case ToolWindow::CustomTable: tools_.customTableOpen = open; break;
    }
    emit commandStateChanged();
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
            AskLinkComPort(window(), current, linkRequested, settings_.comDevices);
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

void CNolvaServoView::SetRequestHandler(int code, RequestHandler handler) {
    requestHandlers_[code] = std::move(handler);
}

void CNolvaServoView::PostRequest(int code, int argument) {
    QMetaObject::invokeMethod(
        this, [this, code, argument] { RunRequest(code, argument); }, Qt::QueuedConnection);
}

void CNolvaServoView::RunRequest(int code, int argument) {
    if (requestHandlers_.find(code) == requestHandlers_.end())
        return;
    RunExclusive([this, code, argument] {
        // Looked up again: the handler may have been replaced while the request waited.
        const auto handler = requestHandlers_.find(code);
        if (handler != requestHandlers_.end())
            handler->second(argument);
    });
}

void CNolvaServoView::RunExclusive(std::function<void()> job) {
    waiting_.push_back(std::move(job));
    if (running_)
        return; // the operation that is running takes it when it ends
    running_ = true;
    // Busy may already be held by someone else (a modal box whose loop let this request in):
    // it is given back as it was found.
    const bool wasBusy = session_->Busy();
    session_->SetBusy(true);
    while (!waiting_.empty()) {
        const std::function<void()> next = std::move(waiting_.front());
        waiting_.pop_front();
        next();
    }
    session_->SetBusy(wasBusy);
    running_ = false;
    emit commandStateChanged();
    NoteDocumentState();
}

ParameterTransfer& CNolvaServoView::Transfer() {
    if (!transfer_) {
        transfer_ = std::make_unique<ParameterTransfer>(session_->Access(), settings_.link,
                                                        profile_, document_, messenger_);
        transfer_->SetProgress(&TransferWindows());
    }
    return *transfer_;
}

CTransferProgress& CNolvaServoView::TransferWindows() {
    if (!progress_)
        progress_ = std::make_unique<CTransferProgress>(window());
    return *progress_;
}

// ---- Parameter windows ----

bool CNolvaServoView::OnGroupParameters(ParamGroup group) {
    if (!IsGroupWindowGroup(group))
        return false;
    const size_t index = static_cast<size_t>(group);
    if (!MayOpenParameterWindow(kGroupCommands[index], Activity()))
        return false;
    QPointer<CParaGroupDialog>& slot = groupWindows_[index];
    if (slot.isNull()) {
        QWidget* owner = window();
        switch (group) {
        case ParamGroup::Control:
            slot = new CCtrlParaDialog(document_, profile_, *this, messenger_, owner);
            break;
        case ParamGroup::Torque:
            slot = new CTorqueParaDialog(document_, profile_, *this, messenger_, owner);
            break;
        case ParamGroup::Speed:
            slot = new CSpeedParaDialog(document_, profile_, *this, messenger_, owner);
            break;
        default:
            slot = new CPositionParaDialog(document_, profile_, *this, messenger_, owner);
            break;
        }
        // The window deletes itself after closing; from then on it is closed for the commands.
        CParaGroupDialog* created = slot.data();
        connect(created, &CParaGroupDialog::closed, this, [this, index, created] {
            if (groupWindows_[index] == created)
                groupWindows_[index] = nullptr;
            emit commandStateChanged();
        });
        emit commandStateChanged();
    }
    slot->Present();
    return true;
}

bool CNolvaServoView::OnCustomTable() {
    if (!MayOpenParameterWindow(Command::CustomParameters, Activity()))
        return false;
    if (customWindow_.isNull()) {
        customWindow_ = new CDefParaDialog(settings_.customTable, document_, profile_, *this,
                                           messenger_, window());
        CDefParaDialog* created = customWindow_.data();
        connect(created, &CDefParaDialog::closed, this, [this, created] {
            if (customWindow_ == created)
                customWindow_ = nullptr;
            SetToolWindowOpen(ToolWindow::CustomTable, false);
        });
        SetToolWindowOpen(ToolWindow::CustomTable, true);
    }
    customWindow_->Present();
    return true;
}

bool CNolvaServoView::OnParameterEditor() {
    if (!MayOpenParameterWindow(Command::ParameterEditor, Activity()))
        return false;
    if (editorWindow_.isNull()) {
        editorWindow_ = new CParaEditDialog(settings_.display, settings_.customTable, document_,
                                            profile_, *this, messenger_, tickers_, window());
        connect(editorWindow_.data(), &CParaEditDialog::closed, this,
                [this] { SetToolWindowOpen(ToolWindow::ParameterEditor, false); });
    }
    SetToolWindowOpen(ToolWindow::ParameterEditor, true);
    editorWindow_->Present();
    return true;
}

CParaEditDialog* CNolvaServoView::ParameterEditorWindow() const {
    return editorWindow_.data();
}

bool CNolvaServoView::EditorLinkUp() const {
    return session_->LinkUp();
}

void CNolvaServoView::RunEditorTransfer(std::function<void(ParameterTransfer&)> job) {
    RunExclusive([this, job = std::move(job)] { job(Transfer()); });
}

bool CNolvaServoView::SaveEditorDocument() {
    return saveDocument_ && saveDocument_();
}

CParaGroupDialog* CNolvaServoView::GroupWindow(ParamGroup group) const {
    return IsGroupWindowGroup(group) ? groupWindows_[static_cast<size_t>(group)].data() : nullptr;
}

CDefParaDialog* CNolvaServoView::CustomTableWindow() const {
    return customWindow_.data();
}

void CNolvaServoView::SyncParameterWindows() {
    for (const QPointer<CParaGroupDialog>& window : groupWindows_) {
        if (window)
            window->SyncWithDrive();
    }
    if (customWindow_)
        customWindow_->SyncWithDrive();
}

// ---- Requests of the parameter windows ----

void CNolvaServoView::PostParameterRequest(int message, int request, int argument) {
    QMetaObject::invokeMethod(
        this,
        [this, message, request, argument] {
            RunExclusive([this, message, request, argument] {
                RunParameterRequest(message, request, argument);
            });
        },
        Qt::QueuedConnection);
}

bool CNolvaServoView::LinkUp() const {
    return session_->LinkUp();
}

void CNolvaServoView::RunParameterRequest(int message, int request, int argument) {
    // Decoded against the rows as the table window holds them when the request runs.
    const QList<CustomEntry> rows = CustomTableWindowRows(settings_.customTable);
    const ParameterAction action = DecodeParameterRequest(message, request, argument, rows);
    if (action.kind == ParameterAction::Kind::None)
        return;
    const ParameterOutcome outcome = RunParameterAction(Transfer(), action, rows);
    if (outcome.groupRead) {
        if (CParaGroupDialog* window = GroupWindow(action.group))
            window->RefreshValues();
    }
    if (outcome.customRead && customWindow_)
        customWindow_->RefreshValues();
    if (outcome.failedCustomRow > 0 && customWindow_)
        customWindow_->MarkRowFailed(outcome.failedCustomRow);
}

// ---- Copy commands ----

bool CNolvaServoView::OnCopyToComputer(const FileQuestion& chooseFile) {
    return RunCopy(chooseFile, &ParameterTransfer::CopyDriveToFile);
}

bool CNolvaServoView::OnCopyToDrive(const FileQuestion& chooseFile) {
    return RunCopy(chooseFile, &ParameterTransfer::CopyFileToDrive);
}

bool CNolvaServoView::RunCopy(const FileQuestion& chooseFile,
                              bool (ParameterTransfer::*copy)(const QString&)) {
    // The progress window holds off the user, so only a request already under way can be here.
    if (!session_->LinkUp() || running_)
        return false;
    const std::optional<QString> path = chooseFile();
    if (!path || path->isEmpty() || !session_->LinkUp())
        return false;
    bool copied = false;
    RunExclusive([this, &copied, copy, file = *path] { copied = (Transfer().*copy)(file); });
    return copied;
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
    SyncParameterWindows();
    emit commandStateChanged();
}

void CNolvaServoView::LinkDropped() {
    emit linkDropped();
}
