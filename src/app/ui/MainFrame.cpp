#include "app/ui/MainFrame.h"

#include "app/CommandTable.h"
#include "app/DriveSession.h"
#include "app/RecentFiles.h"
#include "app/ui/Artwork.h"
#include "app/ui/NolvaServoView.h"
#include "base/StringIds.h"
#include "base/StringTable.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QUrl>

#include <algorithm>
#include <vector>

namespace {

QKeySequence KeysOf(Shortcut shortcut) {
    switch (shortcut) {
    case Shortcut::New: return QKeySequence::New;
    case Shortcut::Open: return QKeySequence::Open;
    case Shortcut::Save: return QKeySequence::Save;
    case Shortcut::Print: return QKeySequence::Print;
    case Shortcut::F1: return QKeySequence(Qt::Key_F1);
    case Shortcut::None: break;
    }
    return {};
}

QIcon ToolIcon(const CommandRow& row, const QStyle& style) {
    switch (row.icon) {
    case StandardIcon::File: return style.standardIcon(QStyle::SP_FileIcon);
    case StandardIcon::Open: return style.standardIcon(QStyle::SP_DialogOpenButton);
    case StandardIcon::Save: return style.standardIcon(QStyle::SP_DialogSaveButton);
    case StandardIcon::None: break;
    }
    return GlyphIcon(QString::fromUtf8(row.glyph), QColor(QRgb(row.glyphColour)));
}

bool IsRecentFileCommand(int command) {
    return command >= Command::FileMru1 &&
           command < Command::FileMru1 + RecentFileList::kMaxEntries;
}

// Texts of commands whose status bar prompt and tool tip the string table holds ("prompt\ntip").
void SetPrompts(QAction* action, int command) {
    if (!HasString(command))
        return;
    const QString text = StringText(command);
    if (!text.contains(QLatin1Char('\n')))
        return;
    action->setStatusTip(text.section(QLatin1Char('\n'), 0, 0));
    action->setToolTip(text.section(QLatin1Char('\n'), 1, 1));
}

// The status bar's panes side by side from the left, each as wide as it was designed (a share
// of the screen's width). In a narrower window every pane narrows by the same share, so that all
// eight stay in view; the texts inside a pane are cut at its edge.
class PaneStrip : public QWidget {
public:
    static constexpr int kGap = 2;

    explicit PaneStrip(QWidget* parent) : QWidget(parent) {
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    void Add(QLabel* pane, int designedWidth) {
        pane->setParent(this);
        panes_.push_back({pane, designedWidth});
        Arrange();
        updateGeometry();
    }

    QSize sizeHint() const override {
        int height = 0;
        for (const Pane& pane : panes_)
            height = std::max(height, pane.label->sizeHint().height());
        return {DesignedWidth(), height};
    }
    QSize minimumSizeHint() const override { return {0, sizeHint().height()}; }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        Arrange();
    }

private:
    struct Pane {
        QLabel* label;
        int designedWidth;
    };

    int DesignedWidth() const {
        int width = 0;
        for (const Pane& pane : panes_)
            width += pane.designedWidth + kGap;
        return width;
    }

    void Arrange() {
        const int designed = DesignedWidth();
        const double share =
            designed > 0 && width() > 0 && width() < designed ? double(width()) / designed : 1.0;
        const int height = std::max(this->height(), sizeHint().height());
        int x = 0;
        for (const Pane& pane : panes_) {
            const int paneWidth = static_cast<int>((pane.designedWidth + kGap) * share) - kGap;
            pane.label->setGeometry(x, 0, std::max(0, paneWidth), height);
            x += paneWidth + kGap;
        }
    }

    std::vector<Pane> panes_;
};

} // namespace

CMainFrame::CMainFrame(CNolvaServoView* view, QWidget* parent) : QMainWindow(parent), view_(view) {
    setWindowIcon(ProgramIcon());
    setCentralWidget(view_);
    BuildMenus();
    BuildToolBar();
    BuildStatusBar();
    BuildViewMenu();
    setAcceptDrops(true);
    connect(view_, &CNolvaServoView::paneChanged, this, &CMainFrame::OnPaneChanged);
    connect(view_, &CNolvaServoView::commandStateChanged, this, &CMainFrame::UpdateCommandUI);
    connect(view_, &CNolvaServoView::commandRefused, this,
            [this](const QString& text) { statusBar()->showMessage(text, kRefusalNoteMs); });
    UpdateCommandUI();
}

CMainFrame::~CMainFrame() {
    // The view's tool windows may still hide while the frame's widgets go.
    disconnect(view_, nullptr, this, nullptr);
}

QAction* CMainFrame::AddCommand(QMenu* menu, int command, const QString& label) {
    QAction* action = menu->addAction(label);
    SetPrompts(action, command);
    connect(action, &QAction::triggered, this, [this, command] { Trigger(command); });
    commands_[command].action = action;
    order_.append(command);
    return action;
}

void CMainFrame::BuildMenus() {
    QMenuBar* bar = menuBar();
    std::map<Menu, QMenu*> menus;
    for (Menu menu : {Menu::File, Menu::Parameters, Menu::Monitor, Menu::Tools, Menu::Link,
                      Menu::View, Menu::Help})
        menus[menu] = bar->addMenu(MenuTitle(menu));

    QList<int> recent;
    for (const CommandRow& row : CommandRows()) {
        QMenu* menu = menus[row.menu];
        if (row.separatorBefore)
            menu->addSeparator();
        if (row.recentFiles) {
            // "最近的文件" stands in while the list is empty; the entries come and go with it.
            noRecentFiles_ = menu->addAction(CommandText(row));
            noRecentFiles_->setEnabled(false);
            for (int i = 0; i < RecentFileList::kMaxEntries; ++i) {
                AddCommand(menu, row.id + i, QString())->setVisible(false);
                recent.append(row.id + i);
            }
            continue;
        }
        QAction* action = AddCommand(menu, row.id, CommandText(row));
        action->setShortcut(KeysOf(row.shortcut));
        action->setCheckable(row.checkable);
    }

    // Recent files last in the command order: they come and go with the list.
    for (int command : recent) {
        order_.removeOne(command);
        order_.append(command);
    }

    // The menus show the state of this moment, also between notifications.
    for (const auto& [menu, qmenu] : menus)
        connect(qmenu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
    viewMenu_ = menus[Menu::View];
    SetSimulating(false);
}

void CMainFrame::BuildViewMenu() {
    // The toolbar's own toggle and the status bar's come before the view's commands.
    QAction* first = viewMenu_->actions().value(0);
    QAction* toolBarToggle = toolBar_->toggleViewAction();
    toolBarToggle->setText(QStringLiteral("工具栏(&T)"));
    viewMenu_->insertAction(first, toolBarToggle);
    auto* statusToggle = new QAction(QStringLiteral("状态栏(&S)"), viewMenu_);
    statusToggle->setCheckable(true);
    statusToggle->setChecked(!statusBar()->isHidden());
    viewMenu_->insertAction(first, statusToggle);
    connect(statusToggle, &QAction::toggled, statusBar(), &QWidget::setVisible);
    connect(viewMenu_, &QMenu::aboutToShow, this,
            [this, statusToggle] { statusToggle->setChecked(!statusBar()->isHidden()); });
}

void CMainFrame::SetSimulating(bool simulating) {
    for (const CommandRow& row : CommandRows()) {
        if (row.onlyWhileSimulating)
            Action(row.id)->setVisible(simulating);
    }
}

void CMainFrame::BuildToolBar() {
    toolBar_ = new QToolBar(StringText(StringId::kToolBarTitle), this);
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setMovable(true);
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar_->setIconSize(QSize(16, 16));
    addToolBar(Qt::TopToolBarArea, toolBar_);

    // The buttons by group, each group in menu order.
    std::vector<const CommandRow*> buttons;
    for (const CommandRow& row : CommandRows()) {
        if (row.toolGroup > 0)
            buttons.push_back(&row);
    }
    std::stable_sort(buttons.begin(), buttons.end(), [](const CommandRow* a, const CommandRow* b) {
        return a->toolGroup < b->toolGroup;
    });
    int group = 0;
    for (const CommandRow* row : buttons) {
        if (group != 0 && row->toolGroup != group)
            toolBar_->addSeparator();
        group = row->toolGroup;
        QAction* action = Action(row->id);
        action->setIcon(ToolIcon(*row, *style()));
        toolBar_->addAction(action);
    }
}

void CMainFrame::BuildStatusBar() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenWidth = screen != nullptr ? screen->geometry().width() : 1024;
    auto* strip = new PaneStrip(statusBar());
    strip->setObjectName(QStringLiteral("panes"));
    for (int pane = 0; pane < kPaneCount; ++pane) {
        auto* label = new QLabel(StringText(StringId::kStatusPanes[pane]), strip);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setObjectName(QStringLiteral("pane%1").arg(pane));
        strip->Add(label, screenWidth / kPaneWidthDivisors[pane]);
        panes_[pane] = label;
    }
    statusBar()->addWidget(strip, 1);
}

void CMainFrame::ShowMaximized() {
    // The size the window returns to when it is no longer maximised: most of the screen, centred,
    // so that its title bar and frame stay on the screen. Without a window manager (a bare X
    // server) maximising does nothing and the window keeps this size.
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        QRect normal(QPoint(), area.size() * 0.9);
        normal.moveCenter(area.center());
        setGeometry(normal);
    }
    showMaximized();
}

QAction* CMainFrame::Action(int command) const {
    const auto entry = commands_.find(command);
    return entry == commands_.end() ? nullptr : entry->second.action;
}

QList<int> CMainFrame::Commands() const {
    return order_;
}

void CMainFrame::SetCommandHandler(int command, std::function<void()> handler) {
    const auto entry = commands_.find(command);
    if (entry == commands_.end())
        return;
    entry->second.handler = std::move(handler);
    UpdateCommandUI();
}

bool CMainFrame::Trigger(int command) {
    UpdateCommandUI();
    const auto entry = commands_.find(command);
    if (entry == commands_.end() || !entry->second.handler || !entry->second.action->isEnabled())
        return false;
    // The handler may replace the frame's state; it runs on a copy.
    const std::function<void()> handler = entry->second.handler;
    handler();
    UpdateCommandUI();
    return true;
}

void CMainFrame::UpdateCommandUI() {
    const CommandState state = view_->CommandStatus();
    for (auto& [command, entry] : commands_) {
        const bool available =
            entry.handler && (!IsRecentFileCommand(command) || entry.action->isVisible());
        entry.action->setEnabled(available && IsCommandEnabled(command, state));
        if (entry.action->isCheckable())
            entry.action->setChecked(IsCommandChecked(command, state));
    }
}

void CMainFrame::SetDocumentTitle(const QString& title, bool modified) {
    setWindowTitle(title);
    setWindowModified(modified);
}

void CMainFrame::SetRecentFiles(const QStringList& paths) {
    recentPaths_ = paths;
    for (int i = 0; i < RecentFileList::kMaxEntries; ++i) {
        QAction* action = Action(Command::FileMru1 + i);
        const bool used = i < paths.size();
        action->setVisible(used);
        action->setText(used ? RecentFileList::MenuText(i, paths[i]) : QString());
    }
    noRecentFiles_->setVisible(paths.isEmpty());
    UpdateCommandUI();
}

void CMainFrame::SetRecentFileHandler(std::function<void(int)> handler) {
    recentHandler_ = std::move(handler);
    for (int i = 0; i < RecentFileList::kMaxEntries; ++i) {
        SetCommandHandler(Command::FileMru1 + i, [this, i] {
            if (recentHandler_)
                recentHandler_(i);
        });
    }
}

void CMainFrame::SetCloseHandler(std::function<bool()> handler) {
    closeHandler_ = std::move(handler);
}

void CMainFrame::SetDropHandler(std::function<void(const QStringList&)> handler) {
    dropHandler_ = std::move(handler);
}

QLabel* CMainFrame::Pane(int pane) const {
    return pane >= 0 && pane < kPaneCount ? panes_[pane] : nullptr;
}

void CMainFrame::RefreshPanes() {
    for (int pane = 0; pane < kPaneCount; ++pane)
        OnPaneChanged(pane);
}

void CMainFrame::OnPaneChanged(int pane) {
    if (QLabel* label = Pane(pane))
        label->setText(view_->Session().PaneText(pane));
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (closeHandler_ && !closeHandler_()) {
        event->ignore();
        return;
    }
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* data = event->mimeData();
    if (data->hasUrls() && !data->urls().isEmpty() && data->urls().first().isLocalFile())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    if (dropHandler_)
        dropHandler_(paths);
}
