#include "app/ui/NolvaServoView.h"

#include "app/AppSettings.h"
#include "link/DriveOperations.h"
#include "link/SerialBackend.h"
#include "link/ui/LinkComPort.h"
#include "params/NolvaServoDoc.h"
#include "params/ParameterTransfer.h"
#include "params/ui/DefParaDialog.h"
#include "params/ui/ParaEditDialog.h"
#include "params/ui/ParaGroupDialog.h"
#include "params/ui/RequestOutcome.h"
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
                                 std::unique_ptr<SerialBackend> backend, QWidget* parent)
    : QWidget(parent), settings_(settings), profile_(profile), document_(document),
      messenger_(messenger),
      session_(std::make_unique<DriveSession>(settings, profile, status, document, messenger,
                                              std::move(backend))),
      requests_(session_->Connection(), settings.customTable) {
    session_->SetObserver(this);
    requests_.SetProgressSource([this] { return &TransferWindows(); });
    requests_.SetOutcomeHandler(
        [this](const ParameterAction& action, const ParameterOutcome& outcome) {
            ShowRequestOutcome(action, outcome, GroupWindow(action.group), customWindow_.data());
        });
    connect(&session_->Operations(), &DriveOperations::operationsEnded, this, [this] {
        emit commandStateChanged();
        NoteDocumentState();
    });
    timer_.setInterval(DriveSession::kTimerPeriodMs);
    connect(&timer_, &QTimer::timeout, this, &CNolvaServoView::OnTimer);
    setAttribute(Qt::WA_OpaquePaintEvent);
    shownModified_ = document_.modified;
}

CNolvaServoView::~CNolvaServoView() {
    timer_.stop();
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
    if (!timer_.isActive())
        timer_.start();
    emit commandStateChanged();
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
                                            profile_, *this, messenger_, window());
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
    requests_.RunTransfer(job);
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
    requests_.PostParameterRequest(message, request, argument);
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
    SyncParameterWindows();
    emit commandStateChanged();
}

void CNolvaServoView::LinkDropped() {
    emit linkDropped();
}
