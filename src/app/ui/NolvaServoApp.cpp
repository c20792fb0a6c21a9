#include "app/ui/NolvaServoApp.h"

#include "app/DocumentCommands.h"
#include "app/DocumentTemplate.h"
#include "app/HelpPage.h"
#include "app/SettingsFile.h"
#include "app/ui/AboutDialog.h"
#include "app/ui/Artwork.h"
#include "app/ui/EmbeddedDrive.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/MainFrame.h"
#include "app/ui/ModalCompanion.h"
#include "app/ui/NolvaServoView.h"
#include "app/ui/QtMessenger.h"
#include "app/ui/SimDriveDialog.h"
#include "app/ui/StopSignals.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "base/Ticker.h"
#include "link/SerialBackend.h"
#include "print/ui/ReportPrinting.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QSettings>
#include <QSplashScreen>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <unistd.h>

namespace {

constexpr char kHelpFileName[] = "NVSDHELP.chm";
// The start-up picture stays at least one second (and less than two) while the program runs.
constexpr int kSplashMs = 1500;

QSettings RecentFileStore() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Orvan"),
                     QStringLiteral("OrvanServo"));
}

// Milliseconds since the kernel started this process (/proc/self/stat, field 22, in clock ticks
// since boot), or -1 when it cannot be read.
double MillisecondsSinceProcessStart() {
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // The command name (field 2) may hold blanks; the fields after it are plain numbers.
    const qsizetype end = line.lastIndexOf(')');
    if (end < 0)
        return -1;
    const QList<QByteArray> fields = line.mid(end + 2).split(' ');
    constexpr int kStartTimeAfterName = 22 - 3;
    if (fields.size() <= kStartTimeAfterName)
        return -1;
    bool ok = false;
    const double startTicks = fields[kStartTimeAfterName].toDouble(&ok);
    timespec now{};
    if (!ok || clock_gettime(CLOCK_BOOTTIME, &now) != 0)
        return -1;
    const double ticksPerSecond = static_cast<double>(sysconf(_SC_CLK_TCK));
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6 - startTicks * 1e3 / ticksPerSecond;
}

} // namespace

CNolvaServoApp::CNolvaServoApp(ProgramOptions options, AppEnvironment environment)
    : options_(std::move(options)), environment_(std::move(environment)), document_(profile_) {
    if (environment_.messenger != nullptr) {
        messenger_ = environment_.messenger;
    } else {
        ownMessenger_ = std::make_unique<QtMessenger>();
        messenger_ = ownMessenger_.get();
    }
    if (environment_.fileChooser != nullptr) {
        chooser_ = environment_.fileChooser;
    } else {
        ownChooser_ = std::make_unique<QtFileChooser>();
        chooser_ = ownChooser_.get();
    }
    if (environment_.tickers != nullptr) {
        tickers_ = environment_.tickers;
    } else {
        ownTickers_ = std::make_unique<QtTickerSource>();
        tickers_ = ownTickers_.get();
    }
    documents_ =
        std::make_unique<DocumentCommands>(document_, profile_, *messenger_, *chooser_, recent_);
}

CNolvaServoApp::~CNolvaServoApp() {
    if (splash_)
        delete splash_;
    if (helpWindow_)
        delete helpWindow_;
    if (simDriveWindow_)
        delete simDriveWindow_;
    frame_.reset(); // the session closes its port before the drive behind it goes
    drive_.reset();
}

CNolvaServoView* CNolvaServoApp::View() const {
    return frame_ ? frame_->View() : nullptr;
}

CHelpWindow* CNolvaServoApp::HelpWindow() const {
    return helpWindow_;
}

QString CNolvaServoApp::RecoveryPath() const {
    return RecoveryFilePath(settingsPath_);
}

bool CNolvaServoApp::InitInstance() {
    // First of all: a stop signal during start-up must still close the program properly, once
    // the event loop runs.
    if (environment_.stopSignals) {
        stopSignals_ = std::make_unique<StopSignals>();
        connect(stopSignals_.get(), &StopSignals::stopRequested, this,
                &CNolvaServoApp::OnStopSignal);
    }
    settingsPath_ = LocateSettingsFile(options_.settingsPath);
    settings_ = ReadSettingsFile(settingsPath_);
    {
        QSettings store = RecentFileStore();
        recent_.Load(store);
    }

    if (options_.simulate) {
        drive_ = std::make_unique<EmbeddedDrive>();
        QString error;
        if (!drive_->Start(&error)) {
            Message message;
            message.text = QStringLiteral("无法启动模拟驱动器：%1").arg(error);
            message.icon = MessageIcon::Error;
            messenger_->Show(message);
            return false;
        }
        runDevice_ = drive_->DevicePath();
    } else if (!options_.port.isEmpty()) {
        runDevice_ = options_.port;
    }

    CreateFrame();
    if (!runDevice_.isEmpty()) {
        // The current COM entry stands for the device in this run only; the settings file keeps
        // the entry's own device.
        if (settings_.link.ComPort >= 0 && settings_.link.ComPort < kComPortCount) {
            runComPort_ = settings_.link.ComPort;
            runComOriginal_ = settings_.comDevices[static_cast<size_t>(runComPort_)];
            settings_.comDevices[static_cast<size_t>(runComPort_)] = runDevice_;
        }
        View()->SetPortOverride(runDevice_);
    }
    if (options_.simulate || options_.connect)
        View()->Session().RequestLink();

    // The document: the file named on the command line, else a new one. The new or opened
    // document's initial update connects when the link is wanted and starts the timer.
    if (options_.documentPath.isEmpty() || !documents_->OpenPath(options_.documentPath))
        documents_->FileNew();

    StartReports();
    frame_->ShowMaximized();
    frame_->RefreshPanes();
    if (environment_.splash) {
        splash_ = new QSplashScreen(SplashPixmap());
        splash_->show();
        QTimer::singleShot(kSplashMs, splash_, &QWidget::close);
    }

    documents_->OfferRecovery(RecoveryPath());
    return true;
}

void CNolvaServoApp::CreateFrame() {
    std::unique_ptr<SerialBackend> backend =
        environment_.makeBackend ? environment_.makeBackend() : nullptr;
    auto* view = new CNolvaServoView(settings_, profile_, status_, document_, *messenger_,
                                     *chooser_, std::move(backend), *tickers_);
    frame_ = std::make_unique<CMainFrame>(view);
    if (ownMessenger_)
        ownMessenger_->SetFallbackParent(frame_.get());
    if (ownChooser_)
        ownChooser_->SetParent(frame_.get());
    reports_ = std::make_unique<ReportPrinting>(
        *messenger_, *chooser_,
        [this] {
            // The footer names the document's file, or its title while it has none.
            const QString& path = documents_->Path();
            return ReportInput{&document_,
                               path.isEmpty()
                                   ? DocumentDisplayName(path, ProgramDocumentTemplate())
                                   : QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())};
        },
        frame_.get());

    documents_->SetChangedHook([this] { DocumentChanged(); });
    connect(view, &CNolvaServoView::documentChanged, this, &CNolvaServoApp::DocumentChanged);
    documents_->SetReplacedHook([this] { View()->OnInitialUpdate(); });
    documents_->SetRecentChangedHook([this] { SaveRecentFiles(); });
    InstallCommands();
    frame_->SetCloseHandler([this] { return OnFrameClose(); });
    frame_->SetDropHandler([this](const QStringList& paths) { documents_->OpenDropped(paths); });
    frame_->SetRecentFiles(recent_.Entries());
    DocumentChanged();
}

void CNolvaServoApp::InstallCommands() {
    CMainFrame& f = *frame_;
    CNolvaServoView* view = View();
    // The tool windows open through the view; the other commands run these.
    const std::map<int, std::function<void()>> handlers = {
        {Command::FileNew, [this] { OnFileNew(); }},
        {Command::FileOpen, [this] { OnFileOpen(); }},
        {Command::FileSave, [this] { documents_->FileSave(); }},
        {Command::FileSaveAs, [this] { documents_->FileSaveAs(); }},
        {Command::AppExit, [this] { frame_->close(); }},
        {Command::PortSettings, [view] { view->OnPortSettings(); }},
        {Command::Connect, [view] { view->OnConnect(); }},
        {Command::Disconnect, [view] { view->OnDisconnect(); }},
        {Command::CopyToComputer,
         [this, view] {
             view->RunChosen(Command::CopyToComputer, [this, view] {
                 view->OnCopyToComputer([this] { return documents_->ChooseCopyToComputerFile(); });
             });
         }},
        {Command::CopyToDrive,
         [this, view] {
             view->RunChosen(Command::CopyToDrive, [this, view] {
                 view->OnCopyToDrive([this] { return documents_->ChooseCopyToDriveFile(); });
             });
         }},
        {Command::FilePrint, [this] { reports_->Print(true); }},
        {Command::FilePrintPreview, [this] { reports_->Preview(); }},
        {Command::FilePrintSetup, [this] { reports_->PrintSetup(); }},
        {Command::FileExportPdf, [this] { reports_->ExportPdf(); }},
        {Command::AppAbout, [this] { OnAppAbout(); }},
        {Command::HelpContents, [this] { OnHelpContents(); }},
    };
    if (drive_) {
        f.SetSimulating(true);
        f.SetCommandHandler(Command::SimulatedDrive, [this] { OpenSimDriveWindow(); });
    }
    for (const CommandRow& row : CommandRows()) {
        if (view->HasToolWindowKind(row.id)) {
            f.SetCommandHandler(row.id, [view, id = row.id] {
                view->RunChosen(id, [view, id] { view->OpenToolWindow(id); });
            });
        } else if (view->HasCommandAction(row.id)) {
            f.SetCommandHandler(row.id, [view, id = row.id] {
                view->RunChosen(id, [view, id] { view->RunCommandAction(id); });
            });
        } else if (const auto handler = handlers.find(row.id); handler != handlers.end()) {
            f.SetCommandHandler(row.id, handler->second);
        }
    }
    f.SetRecentFileHandler([this](int index) { documents_->OpenRecent(index); });
    documents_->SetShowEditorHook([view] { view->OpenToolWindow(Command::ParameterEditor); });
    view->SetSaveDocumentHook([this] { return documents_->FileSave(); });
}

void CNolvaServoApp::OpenSimDriveWindow() {
    if (!simDriveWindow_) {
        EmbeddedDrive* drive = drive_.get();
        simDriveWindow_ = new CSimDriveDialog(
            [drive](const QString& line) { drive->Control(line); }, frame_.get());
        // Usable and on top while a modal dialog runs, so that the servo can be switched during
        // a tuning run.
        new ModalCompanion(simDriveWindow_, frame_.get());
        simDriveWindow_->PlaceOver(frame_->centralWidget());
    }
    simDriveWindow_->show();
    simDriveWindow_->raise();
    simDriveWindow_->activateWindow();
}

CSimDriveDialog* CNolvaServoApp::SimDriveWindow() const {
    return simDriveWindow_;
}

void CNolvaServoApp::DocumentChanged() {
    if (!frame_)
        return;
    frame_->SetDocumentTitle(documents_->Title(QStringLiteral("[*]")), documents_->Modified());
    frame_->SetRecentFiles(recent_.Entries());
}

void CNolvaServoApp::SaveRecentFiles() const {
    QSettings store = RecentFileStore();
    recent_.Save(store);
}

void CNolvaServoApp::OnFileNew() {
    documents_->FileNew();
}

void CNolvaServoApp::OnFileOpen() {
    documents_->FileOpen();
}

void CNolvaServoApp::OnAppAbout() {
    // No poll while the box is open.
    DriveSession& session = View()->Session();
    session.SetBusy(true);
    CAboutDlg about(frame_.get());
    about.exec();
    session.SetBusy(false);
}

void CNolvaServoApp::OnHelpContents() {
    const QString chm =
        QDir(QCoreApplication::applicationDirPath()).filePath(QLatin1String(kHelpFileName));
    if (QFileInfo::exists(chm) && QDesktopServices::openUrl(QUrl::fromLocalFile(chm)))
        return;
    const QString html = ProgramHelpHtml();
    if (html.isEmpty()) {
        messenger_->Show(StringText(StringId::kHelpNotFound));
        return;
    }
    if (!helpWindow_) {
        helpWindow_ = new CHelpWindow(html, frame_.get());
        helpWindow_->setAttribute(Qt::WA_DeleteOnClose);
    }
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}

AppSettings CNolvaServoApp::SettingsForFile() const {
    AppSettings settings = settings_;
    if (runComPort_ >= 0 && settings.comDevices[static_cast<size_t>(runComPort_)] == runDevice_)
        settings.comDevices[static_cast<size_t>(runComPort_)] = runComOriginal_;
    return settings;
}

bool CNolvaServoApp::WriteSettings(QString* error) const {
    return WriteSettingsFile(settingsPath_, SettingsForFile(), error);
}

QStringList CNolvaServoApp::EndMotions() {
    if (!frame_)
        return {};
    DriveSession& session = View()->Session();
    // Straight to the drive, between two exchanges of whatever is running: the program will not
    // come back to a queued request.
    const bool wasBusy = session.Busy();
    session.SetBusy(true);
    const QStringList notEnded = session.Connection().Motions().EndAll();
    session.SetBusy(wasBusy);
    return notEnded;
}

bool CNolvaServoApp::OnFrameClose() {
    if (!terminating_ && !documents_->SaveModified())
        return false;
    if (const QStringList notEnded = EndMotions(); !notEnded.isEmpty()) {
        Message message;
        message.text = notEnded.join(QStringLiteral("\n\n"));
        message.icon = MessageIcon::Warning;
        messenger_->Show(message);
    }
    if (!settingsWritten_) {
        QString error;
        if (!WriteSettings(&error)) {
            Message message;
            message.text = error;
            message.icon = MessageIcon::Warning;
            messenger_->Show(message);
        }
    }
    if (helpWindow_)
        helpWindow_->close();
    if (splash_)
        splash_->close();
    return true;
}

void CNolvaServoApp::OnStopSignal(int signalNumber) {
    if (terminating_)
        return;
    terminating_ = true;
    // The motor first; no box can be answered now, so what could not be ended goes to standard
    // error.
    for (const QString& notEnded : EndMotions())
        std::fprintf(stderr, "orvan-servo: %s\n", qPrintable(notEnded));
    QString error;
    if (settingsPath_.isEmpty()) // before start-up read the settings: nothing to keep yet
        settingsPath_ = LocateSettingsFile(options_.settingsPath);
    if (!documents_->KeepForRecovery(RecoveryPath(), &error))
        std::fprintf(stderr, "orvan-servo: %s\n", qPrintable(error));
    // Written here, not in the close: a question box may be open and turn the close down.
    if (!WriteSettings(&error))
        std::fprintf(stderr, "orvan-servo: %s\n", qPrintable(error));
    settingsWritten_ = true;
    std::fprintf(stderr, "orvan-servo: stopped by signal %d\n", signalNumber);
    if (frame_)
        frame_->close();
    emit terminated();
}

QString CNolvaServoApp::StatusReport() const {
    QStringList lines;
    for (int pane = 0; pane < CMainFrame::kPaneCount; ++pane)
        lines << QStringLiteral("pane %1: %2").arg(pane).arg(frame_->Pane(pane)->text());
    frame_->UpdateCommandUI();
    for (int command : frame_->Commands()) {
        const QAction* action = frame_->Action(command);
        if (!action->isVisible())
            continue;
        lines << QStringLiteral("command %1 %2 %3 %4")
                     .arg(command)
                     .arg(action->isEnabled() ? QStringLiteral("enabled")
                                              : QStringLiteral("disabled"))
                     .arg(action->isChecked() ? QStringLiteral("checked")
                                              : QStringLiteral("unchecked"))
                     .arg(action->text());
    }
    return lines.join(QLatin1Char('\n'));
}

void CNolvaServoApp::Report(const QString& line) const {
    if (environment_.report) {
        environment_.report(line);
        return;
    }
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

void CNolvaServoApp::StartReports() {
    if (options_.reportStartup) {
        connect(View(), &CNolvaServoView::firstPainted, this, [this] {
            Report(QStringLiteral("startup: main window shown %1 ms after the process started; "
                                  "epoch-us %2")
                       .arg(MillisecondsSinceProcessStart(), 0, 'f', 1)
                       .arg(std::chrono::duration_cast<std::chrono::microseconds>(
                                std::chrono::system_clock::now().time_since_epoch())
                                .count()));
        });
    }
    if (options_.reportStatusAfterMs >= 0) {
        QTimer::singleShot(options_.reportStatusAfterMs, this,
                           [this] { Report(StatusReport() + QStringLiteral("\nend of report")); });
    }
}
