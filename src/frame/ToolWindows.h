#pragma once

#include "frame/SubsystemServices.h"

#include <QWidget>

#include <functional>
#include <map>

class CNolvaServoDoc;
class DriveConnection;
class FileChooser;
class Messenger;
class ParaEditHost;
class ParameterRequests;
class TickerSource;
class TransferProgress;
struct CustomTable;
struct DisplaySettings;
struct DriveProfile;
struct ParameterAction;
struct ParameterOutcome;

// What the main view lends a tool window it makes: the document and drive profile, its request
// paths, the messenger and the file chooser, the tick source, the application's parameter lists,
// what single subsystems' windows alone use (the monitor poll, the online editor's panels: looked
// up by type in `services`), and the drive connection for windows that run drive operations of
// their own (each through the connection's operations, under Busy).
struct ToolWindowContext {
    CNolvaServoDoc& document;
    DriveProfile& profile;
    ParameterRequests& requests;
    ParaEditHost& editorHost;
    Messenger& messenger;
    FileChooser& files;
    TickerSource& tickers;
    DisplaySettings& display;
    CustomTable& customTable;
    SubsystemServices& services;
    DriveConnection& connection;
};

// How the view makes and shows the window of one command.
struct ToolWindowKind {
    // Null when the window does not open after all (a drive sequence before it failed).
    std::function<QWidget*(ToolWindowContext& context, QWidget* owner)> make;
    // Shows the window again with what it shows brought up to date; null: shown and raised.
    std::function<void(QWidget*)> present;
    // Closing only hides it and the command shows the same window again; otherwise a closed
    // window is deleted and the command makes a new one.
    bool keptWhenClosed = false;
    // Closed when the connect routine ends without a drive.
    bool closedWhenLinkDrops = false;

    // What an existing window of the kind hears from the view (null: nothing).
    // The link came up or went down: its drive buttons follow.
    std::function<void(QWidget*)> linkChanged = nullptr;
    // A drive operation ended: a read may have changed the document's values under it.
    std::function<void(QWidget*)> operationsEnded = nullptr;
    // A parameter request of the windows ended (values read, a custom table row's write failed).
    std::function<void(QWidget*, const ParameterAction&, const ParameterOutcome&)> requestDone =
        nullptr;
};

// Every tool window by the command that opens it. A subsystem's window folder registers its
// windows with a ToolWindowRegistration at start-up; adding a window is its command's row in the
// command table and its registration beside the window.
const std::map<int, ToolWindowKind>& RegisteredToolWindows();

struct ToolWindowRegistration {
    ToolWindowRegistration(int command, ToolWindowKind kind);
};

// Shows a window through its own Present().
template <typename Window> void PresentAs(QWidget* window) {
    static_cast<Window*>(window)->Present();
}

// A command that is no tool window: it runs a drive sequence with a modal window of its own (read,
// ask the user, write). The view lends it the window context, the drive connection (each drive
// step runs through its operations, under Busy), the progress window of transfers and the owner of
// its windows. Registered like the tool windows; the command table enables it.
struct CommandActionContext {
    ToolWindowContext& windows;
    DriveConnection& connection;
    TransferProgress& progress;
    QWidget* owner;
};
using CommandAction = std::function<void(CommandActionContext& context)>;

const std::map<int, CommandAction>& RegisteredCommandActions();

// Runs the action registered for `command` from inside another command's window (the trace
// window's button for the online editor): the same services, its windows owned by `owner`.
// False when no action is registered for it.
bool RunRegisteredAction(int command, const CommandActionContext& context, QWidget* owner);

struct CommandActionRegistration {
    CommandActionRegistration(int command, CommandAction action);
};
