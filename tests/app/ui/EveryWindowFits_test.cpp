// Every window of the program fits the smallest laptop screen in use, 1366x768, with a panel and
// the window's own frame taken off: whatever a window holds, its buttons stay on the screen. Each
// command of the menus runs once (tool windows stay open while their own dialogs are opened from
// them; modal windows are measured and closed as they come up), then the dialogs opened from
// inside windows and the parameter editors of every kind.

#include "support/AppHarness.h"

#include "app/CommandTable.h"
#include "app/ui/SimDriveDialog.h"
#include "drive/DriveProfile.h"
#include "frame/TransferProgressDialog.h"
#include "params/NolvaServoDoc.h"
#include "params/ParameterCompare.h"
#include "params/ParameterEditorRows.h"
#include "params/ui/CompareDialog.h"
#include "params/ui/ParameterEditors.h"
#include "support/ParameterWindowSupport.h"
#include "trace/ui/TraceWaitDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMenu>
#include <QTimer>

#include <map>
#include <set>

namespace {

// 1366x768 less a 40-pixel panel, less the frame a window manager draws around a window (a title
// bar and thin borders).
constexpr QSize kWorkArea(1366, 728);
constexpr QSize kFrame(12, 36);
constexpr QSize kLargestClient(kWorkArea.width() - kFrame.width(),
                               kWorkArea.height() - kFrame.height());

// What a window needs at least: the size it cannot shrink below, and all of a fixed-size one.
// (Other sizes follow the test's screen.)
QSize NeededSize(const QWidget& window) {
    const QSize least = window.minimumSize().expandedTo(window.minimumSizeHint());
    return window.minimumSize() == window.maximumSize() ? least.expandedTo(window.size()) : least;
}

QString Name(const QWidget& window) {
    return QString::fromLatin1(window.metaObject()->className()) + QStringLiteral(" \"") +
           window.windowTitle() + QLatin1Char('"');
}

// Measures every window that is shown and closes modal ones as they come up, after opening the
// dialogs their buttons lead to.
class WindowSurvey : public QObject {
public:
    // Buttons of a window (by class name) that open dialogs of their own.
    std::map<QString, std::vector<const char*>> openers;
    std::map<QString, QSize> needed;

    WindowSurvey() {
        qApp->installEventFilter(this);
        Watch();
    }
    ~WindowSurvey() override { stopped_ = true; }

    // A window that comes and goes between two ticks (a short transfer's progress) is measured
    // as it is shown.
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(object);
        if (event->type() == QEvent::Show && widget != nullptr && widget->isWindow() &&
            qobject_cast<QMenu*>(widget) == nullptr && widget->windowType() != Qt::ToolTip)
            Measure(*widget);
        return false;
    }

    void Measure(const QWidget& window) {
        QSize& size = needed[Name(window)];
        size = size.expandedTo(NeededSize(window));
    }

    void MeasureShown() {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && qobject_cast<QMenu*>(window) == nullptr &&
                window->windowType() != Qt::ToolTip)
                Measure(*window);
        }
    }

    // False when a button ended the window.
    bool Open(QWidget& window) {
        const auto buttons = openers.find(QString::fromLatin1(window.metaObject()->className()));
        if (buttons == openers.end())
            return true;
        for (const char* name : buttons->second) {
            // "!name": the button ends the window (the next window of a sequence comes up).
            const bool ends = name[0] == '!';
            name += ends ? 1 : 0;
            auto* button = window.findChild<QAbstractButton*>(QString::fromLatin1(name));
            EXPECT_NE(button, nullptr) << Name(window).toStdString() << " " << name;
            if (button == nullptr)
                continue;
            button->setEnabled(true); // a dialog a window offers only later is measured too
            button->click();
            Settle(); // what the button queued runs while the window is still there
            MeasureShown();
            if (ends)
                return false;
        }
        return true;
    }

private:
    void Watch() {
        QTimer::singleShot(10, this, [this] { Tick(); });
    }

    void Tick() {
        if (stopped_)
            return;
        Watch(); // first: a dialog opened below is handled in its own event loop
        MeasureShown();
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || qobject_cast<CTransferProgressWindow*>(dialog) != nullptr ||
            handling_.count(dialog) != 0)
            return;
        handling_.insert(dialog);
        if (Open(*dialog))
            dialog->reject();
        handling_.erase(dialog);
    }

    bool stopped_ = false;
    std::set<QDialog*> handling_;
};

TEST(EveryWindow, FitsASmallLaptopScreen) {
    AppHarness h;
    ASSERT_TRUE(h.Start(AppHarness::Connected()));
    ASSERT_TRUE(h.TickUntil([&] { return h.Session().LinkUp(); }, AppHarness::kTicksToConnect));
    WindowSurvey survey;
    survey.openers = {
        {"CParaEditDialog", {"change", "edit"}},
        {"CChangeDialog", {"addRemove"}},
        {"CDefParaDialog", {"addRemoveButton"}},
        {"CCtrlParaDialog", {"readAllButton"}},
        {"COnlineParaEdit", {"setupButton"}},
        {"COnlineParaSetupDialog", {"set1"}},
        {"CTraceGraphDialog", {"settingButton", "startButton"}},
        {"CFRADlg", {"filter"}},
        {"CJogAutoGDialog", {"mode1", "!okButton"}},
        {"COffLineAutoTuning", {"!okButton"}},
        {"CEditCn030Dialog", {"modelButton"}},
        {"CEditValueDialog", {"modelButton"}},
    };
    survey.MeasureShown();

    const std::set<int> skipped = {Command::AppExit, Command::Connect, Command::Disconnect};
    int commands = 0;
    for (const CommandRow& row : CommandRows()) {
        if (skipped.count(row.id) != 0 || row.recentFiles || row.onlyWhileSimulating)
            continue;
        ++commands;
        h.Frame().Trigger(row.id);
        Settle();
        survey.MeasureShown();
        if (QWidget* window = h.View().ToolWindow(row.id)) {
            survey.Open(*window);
            window->close();
            Settle();
        }
    }
    EXPECT_GE(commands, 30);
    // A whole-set read, into a file.
    h.chooser.answers = {h.dir.filePath(QStringLiteral("copy.nvp"))};
    h.Frame().Trigger(Command::CopyToComputer);
    Settle();

    // The compare's list at its longest: every parameter differs.
    DriveProfile profile;
    CNolvaServoDoc document(profile);
    document.OnNewDocument();
    const QList<ParamCode> codes = AllParameterCodes();
    QList<int32_t> driveValues;
    for (const ParamCode& code : codes)
        driveValues.append(*document.values.Slot(code) + 1);
    CCompareDialog compare(DifferingParameters(document, codes, driveValues), &h.Frame());
    compare.show();
    survey.MeasureShown();
    compare.close();

    // The trace read-back's progress (its capture waits on the drive's clock).
    CTraceReadDialog reading(&h.Frame());
    reading.Open(QString(), 10);
    survey.MeasureShown();
    reading.Close();

    // The simulated drive's window (a command only while the program runs its own drive).
    CSimDriveDialog simulated([](const QString&) {});
    simulated.show();
    survey.MeasureShown();
    simulated.close();

    // The parameter editors, one of each kind.
    for (const char* code : {"Cn002", "Cn006", "Cn015", "Cn026", "Cn030", "Cn037", "Pn301", "Pn316",
                             "Pn365", "Hn501", "Hn518", "Hn519", "Sn201"}) {
        int32_t value = 0;
        EditParameterValue(&h.Frame(), ParamCode::FromText(QString::fromLatin1(code)), &value,
                           -32768, 32767, h.messenger);
    }

    // The survey reached each kind of window (Qt's own print dialogs aside).
    std::set<QString> classes;
    for (const auto& [name, size] : survey.needed)
        classes.insert(name.section(QLatin1Char(' '), 0, 0));
    const char* const expectedClasses[] = {
        "CMainFrame",          "CAboutDlg",           "CHelpWindow",
        "CLinkComPort",        "CParaEditDialog",     "CCompareDialog",
        "CChangeDialog",       "CAddRemoveDialog",    "CDefParaDialog",
        "CCtrlParaDialog",     "CTorqueParaDialog",   "CSpeedParaDialog",
        "CPositionParaDialog", "COnlineParaEdit",     "COnlineParaSetupDialog",
        "CSetParaSelDialog",   "CMonUnDialog",        "CMonDnDialog",
        "CMonAnDialog",        "CTraceGraphDialog",   "CTraceSetupDialog",
        "CTraceStartDialog",   "CTraceReadDialog",    "CJogDialog",
        "CJogAutoGDialog",     "COffLineAutoTuning",  "CTuningStartDialog",
        "CInOutParaDialog",    "CPositionCommDialog", "CFRADlg",
        "CEditCn013Dialog",    "CProgressDialog",     "CWaitingDialog",
        "CEditValueDialog",    "CEditFieldsDialog",   "CEditCn026Dialog",
        "CEditCn030Dialog",    "CEditHn501Dialog",    "CModelTypeDialog",
        "CSimDriveDialog"};
    for (const char* expected : expectedClasses)
        EXPECT_EQ(classes.count(QString::fromLatin1(expected)), 1u) << expected;

    for (const auto& [name, size] : survey.needed) {
        EXPECT_LE(size.width(), kLargestClient.width()) << name.toStdString();
        EXPECT_LE(size.height(), kLargestClient.height()) << name.toStdString();
    }
}

} // namespace
