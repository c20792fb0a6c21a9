#pragma once

#include "app/AppSettings.h"
#include "app/DriveSession.h"
#include "app/ProgramOptions.h"
#include "app/RecentFiles.h"
#include "drive/DriveProfile.h"
#include "params/NolvaServoDoc.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class CHelpWindow;
class CMainFrame;
class CSimDriveDialog;
class CNolvaServoView;
class DocumentCommands;
class EmbeddedDrive;
class FileChooser;
class Messenger;
class QSplashScreen;
class QtFileChooser;
class QtMessenger;
class ReportPrinting;
class SerialBackend;
class StopSignals;
class TickerSource;

// What the program takes from its surroundings; tests replace the parts they script.
struct AppEnvironment {
    Messenger* messenger = nullptr;     // null: message boxes
    FileChooser* fileChooser = nullptr; // null: file dialogs
    TickerSource* tickers = nullptr;    // null: Qt timers
    // The serial port under the drive session; null: the system's serial devices.
    std::function<std::unique_ptr<SerialBackend>()> makeBackend;
    bool splash = true;      // the start-up picture
    bool stopSignals = true; // SIGTERM and SIGINT close the program
    // Where the test hooks' lines go; null: standard output.
    std::function<void(const QString& line)> report;
};

// The application: everything that lives for the whole run (settings, drive profile and status,
// the document, the recent files), start-up, and the commands that are not the view's: File
// New/Open/Save, About, Help, and the close of the main window, which writes the settings file.
class CNolvaServoApp : public QObject {
    Q_OBJECT
public:
    explicit CNolvaServoApp(ProgramOptions options, AppEnvironment environment = {});
    ~CNolvaServoApp() override;

    // Start-up. False ends the program (the reason has been shown).
    bool InitInstance();

    AppSettings& Settings() { return settings_; }
    DriveProfile& Profile() { return profile_; }
    DriveStatus& Status() { return status_; }
    CNolvaServoDoc& Document() { return document_; }
    DocumentCommands& Documents() { return *documents_; }
    const RecentFileList& RecentFiles() const { return recent_; }
    CMainFrame* Frame() const { return frame_.get(); }
    CNolvaServoView* View() const;
    const QString& SettingsPath() const { return settingsPath_; }
    QString RecoveryPath() const;
    CHelpWindow* HelpWindow() const;
    // The report commands: print, preview, print setup, PDF export.
    ReportPrinting& Reports() { return *reports_; }

    void OnFileNew();
    void OnFileOpen();
    void OnAppAbout();
    void OnHelpContents();
    // "模拟驱动器" (only with "--simulate"): one window, shown again when asked again.
    void OpenSimDriveWindow();
    CSimDriveDialog* SimDriveWindow() const;

    // The main window is closing: the save question, then the exit of every operation that moves
    // the motor (the user is told of those that did not reach the drive), then the settings
    // file. False keeps the window open.
    bool OnFrameClose();
    // SIGTERM or SIGINT: the exits of the operations that move the motor (one line on standard
    // error for each that did not reach the drive), a modified document is kept as the recovery
    // file, the settings file is written and the window closes without questions.
    void OnStopSignal(int signalNumber);
    // A stop signal has closed the program.
    bool Terminated() const { return terminating_; }

    // The settings as the file gets them: a device that stands for a COM entry only in this run
    // ("--simulate", "--port") is written as the entry's own device.
    AppSettings SettingsForFile() const;
    bool WriteSettings(QString* error) const;

    // The eight panes and every command's state, one per line (the "--report-status-after"
    // hook): "pane 3: Servo 连线中", "command 32775 enabled checked 断开(&D)".
    QString StatusReport() const;

signals:
    // After a stop signal closed the program; the event loop should end.
    void terminated();

private:
    // Runs the exit of every operation that moves the motor; the texts of those that failed.
    QStringList EndMotions();
    void CreateFrame();
    void InstallCommands();
    void StartReports();
    void Report(const QString& line) const;
    void DocumentChanged();
    void SaveRecentFiles() const;

    ProgramOptions options_;
    AppEnvironment environment_;
    AppSettings settings_;
    DriveProfile profile_;
    DriveStatus status_;
    CNolvaServoDoc document_;
    std::unique_ptr<QtMessenger> ownMessenger_;
    std::unique_ptr<QtFileChooser> ownChooser_;
    std::unique_ptr<TickerSource> ownTickers_;
    Messenger* messenger_ = nullptr;
    FileChooser* chooser_ = nullptr;
    TickerSource* tickers_ = nullptr;
    RecentFileList recent_;
    std::unique_ptr<DocumentCommands> documents_;
    QString settingsPath_;
    // The COM entry a device was given for on the command line, and the entry's own device.
    int runComPort_ = -1;
    QString runComOriginal_;
    QString runDevice_;
    std::unique_ptr<EmbeddedDrive> drive_; // outlives the frame, whose session talks to it
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<ReportPrinting> reports_; // drawn over the frame: goes before it
    std::unique_ptr<StopSignals> stopSignals_;
    QPointer<QSplashScreen> splash_;
    QPointer<CHelpWindow> helpWindow_;
    QPointer<CSimDriveDialog> simDriveWindow_; // the frame's tool window
    bool terminating_ = false;
    bool settingsWritten_ = false;
};
