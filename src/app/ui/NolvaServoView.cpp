#include "app/ui/NolvaServoView.h"

#include "app/AppSettings.h"
#include "link/SerialBackend.h"
#include "link/ui/LinkComPort.h"

#include <QPainter>

namespace {

const QColor kBackground(128, 128, 128);

} // namespace

CNolvaServoView::CNolvaServoView(AppSettings& settings, DriveProfile& profile, DriveStatus& status,
                                 CNolvaServoDoc& document, Messenger& messenger,
                                 std::unique_ptr<SerialBackend> backend, QWidget* parent)
    : QWidget(parent), settings_(settings),
      session_(std::make_unique<DriveSession>(settings, profile, status, document, messenger,
                                              std::move(backend))) {
    session_->SetObserver(this);
    timer_.setInterval(DriveSession::kTimerPeriodMs);
    connect(&timer_, &QTimer::timeout, this, &CNolvaServoView::OnTimer);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CNolvaServoView::~CNolvaServoView() {
    timer_.stop();
    session_->SetObserver(nullptr);
}

ViewActivity CNolvaServoView::Activity() const {
    ViewActivity activity = tools_;
    activity.linkUp = session_->LinkUp();
    activity.linkRequested = session_->LinkRequested();
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
    const auto handler = requestHandlers_.find(code);
    if (handler == requestHandlers_.end())
        return;
    session_->SetBusy(true);
    handler->second(argument);
    session_->SetBusy(false);
    emit commandStateChanged();
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
    emit commandStateChanged();
}

void CNolvaServoView::LinkDropped() {
    emit linkDropped();
}
