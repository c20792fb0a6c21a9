#pragma once

#include "app/DriveSession.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>

struct AppSettings;
class CNolvaServoDoc;
class Messenger;
class SerialBackend;

// The main view: a grey client area, the one drive session with its 400 ms timer, and the link
// commands. What the session reports (pane texts, link state) goes out as Qt signals to the
// frame. Tool windows record here whether they are open; the frame enables its commands from
// Activity().
class CNolvaServoView : public QWidget, private SessionObserver {
    Q_OBJECT
public:
    CNolvaServoView(AppSettings& settings, DriveProfile& profile, DriveStatus& status,
                    CNolvaServoDoc& document, Messenger& messenger,
                    std::unique_ptr<SerialBackend> backend, QWidget* parent = nullptr);
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
    bool TimerRunning() const { return timer_.isActive(); }

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

signals:
    void paneChanged(int pane);
    // The link state or a tool window's flag changed: menus and toolbar follow.
    void commandStateChanged();
    void linkDropped();
    // The view was drawn for the first time (the main window is on the screen).
    void firstPainted();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // SessionObserver
    void PaneChanged(int pane) override;
    void LinkStateChanged() override;
    void LinkDropped() override;

    void OnTimer();
    void RunRequest(int code, int argument);

    AppSettings& settings_;
    std::unique_ptr<DriveSession> session_;
    QTimer timer_;
    ViewActivity tools_;
    QString portOverride_;
    std::map<int, RequestHandler> requestHandlers_;
    bool painted_ = false;
};
