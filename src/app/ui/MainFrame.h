#pragma once

#include <QMainWindow>
#include <QStringList>

#include <array>
#include <functional>
#include <map>

class CNolvaServoView;
class QLabel;
class QMenu;
struct CommandRow;

// The main window: menus and the toolbar "工具栏" as the command table lists them, the eight-pane
// status bar and the view in the middle. A menu item runs the handler set for its command and is
// enabled only when it has one and the table allows it in the view's state (IsCommandEnabled);
// commands whose window does not exist yet therefore stay disabled. Closing asks the close handler
// first. The status bar's panes keep their widths side by side; a narrow window cuts off those at
// its right edge.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kPaneCount = 8;
    // Pane width = screen width / divisor.
    static constexpr std::array<int, kPaneCount> kPaneWidthDivisors{8, 13, 14, 10, 10, 6, 6, 6};
    // How long the status bar says why a command did nothing.
    static constexpr int kRefusalNoteMs = 5000;

    // Takes `view` as its central widget.
    explicit CMainFrame(CNolvaServoView* view, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CNolvaServoView* View() const { return view_; }

    QAction* Action(int command) const;
    // Every command of the menus, in menu order (the recent-file entries last).
    QList<int> Commands() const;
    void SetCommandHandler(int command, std::function<void()> handler);
    // Runs a command as choosing its menu item does: only when it is enabled.
    bool Trigger(int command);
    // Enables and checks every item from the view's state.
    void UpdateCommandUI();
    // Shows the commands that exist only while a simulated drive runs in the program.
    void SetSimulating(bool simulating);

    void SetDocumentTitle(const QString& title, bool modified);
    void SetRecentFiles(const QStringList& paths);
    void SetRecentFileHandler(std::function<void(int index)> handler);
    // Asked when the window is about to close; false keeps it open.
    void SetCloseHandler(std::function<bool()> handler);
    void SetDropHandler(std::function<void(const QStringList& paths)> handler);

    // Shows the window maximised, covering the screen's available area also where nothing
    // maximises it (no window manager).
    void ShowMaximized();

    QLabel* Pane(int pane) const;
    // Sets every pane from the session's texts (the status bar's idle update).
    void RefreshPanes();
    QToolBar* ToolBar() const { return toolBar_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct CommandEntry {
        QAction* action = nullptr;
        std::function<void()> handler;
    };

    QAction* AddCommand(QMenu* menu, int command, const QString& label);
    void BuildMenus();
    void BuildToolBar();
    void BuildStatusBar();
    void BuildViewMenu();
    void OnPaneChanged(int pane);

    CNolvaServoView* view_;
    std::map<int, CommandEntry> commands_;
    QList<int> order_;
    QAction* noRecentFiles_ = nullptr;
    QStringList recentPaths_;
    std::function<void(int)> recentHandler_;
    std::function<bool()> closeHandler_;
    std::function<void(const QStringList&)> dropHandler_;
    std::array<QLabel*, kPaneCount> panes_{};
    QToolBar* toolBar_ = nullptr;
    QMenu* viewMenu_ = nullptr;
};
