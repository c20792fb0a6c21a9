#include "app/ui/MainFrame.h"

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

// The status bar's panes side by side, each exactly as wide as it was made, from the left. A
// pane that does not fit is cut off at the right edge, as are the texts inside each pane: no
// pane is ever squeezed onto its neighbour, however narrow the window.
class PaneStrip : public QWidget {
public:
    static constexpr int kGap = 2;

    explicit PaneStrip(QWidget* parent) : QWidget(parent) {
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    void Add(QLabel* pane) {
        pane->setParent(this);
        panes_.push_back(pane);
        Arrange();
        updateGeometry();
    }

    QSize sizeHint() const override {
        int width = 0;
        int height = 0;
        for (const QLabel* pane : panes_) {
            width += pane->width() + kGap;
            height = std::max(height, pane->sizeHint().height());
        }
        return {width, height};
    }
    // The window may be narrower than the panes: those at the right are then cut off.
    QSize minimumSizeHint() const override { return {0, sizeHint().height()}; }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        Arrange();
    }

private:
    void Arrange() {
        int x = 0;
        const int height = std::max(this->height(), sizeHint().height());
        for (QLabel* pane : panes_) {
            pane->setGeometry(x, 0, pane->width(), height);
            x += pane->width() + kGap;
        }
    }

    std::vector<QLabel*> panes_;
};

} // namespace

CMainFrame::CMainFrame(CNolvaServoView* view, QWidget* parent) : QMainWindow(parent), view_(view) {
    setWindowIcon(ProgramIcon());
    setCentralWidget(view_);
    BuildMenus();
    BuildToolBar();
    BuildStatusBar();
    setAcceptDrops(true);
    connect(view_, &CNolvaServoView::paneChanged, this, &CMainFrame::OnPaneChanged);
    connect(view_, &CNolvaServoView::commandStateChanged, this, &CMainFrame::UpdateCommandUI);
    UpdateCommandUI();
}

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::AddCommand(QMenu* menu, int command, const QString& label,
                                const QKeySequence& shortcut) {
    QAction* action = menu->addAction(label);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    SetPrompts(action, command);
    connect(action, &QAction::triggered, this, [this, command] { Trigger(command); });
    commands_[command].action = action;
    order_.append(command);
    return action;
}

void CMainFrame::BuildMenus() {
    QMenuBar* bar = menuBar();

    QMenu* file = bar->addMenu(QStringLiteral("文件(&F)"));
    AddCommand(file, Command::FileNew, QStringLiteral("新建(&N)"), QKeySequence::New);
    AddCommand(file, Command::FileOpen, QStringLiteral("打开(&O)..."), QKeySequence::Open);
    AddCommand(file, FrameCommand::FileSave, QStringLiteral("保存(&S)"), QKeySequence::Save);
    AddCommand(file, FrameCommand::FileSaveAs, QStringLiteral("另存为(&A)..."));
    file->addSeparator();
    AddCommand(file, Command::CopyToDrive, QStringLiteral("复制至驱动器(&D)..."));
    AddCommand(file, Command::CopyToComputer, QStringLiteral("复制至计算机(&C)..."));
    file->addSeparator();
    noRecentFiles_ = file->addAction(QStringLiteral("最近的文件"));
    noRecentFiles_->setEnabled(false);
    QList<int> recent;
    for (int i = 0; i < RecentFileList::kMaxEntries; ++i) {
        const int command = FrameCommand::FileMru1 + i;
        AddCommand(file, command, QString())->setVisible(false);
        recent.append(command);
    }
    file->addSeparator();
    AddCommand(file, FrameCommand::AppExit, QStringLiteral("退出(&X)"));

    QMenu* parameters = bar->addMenu(QStringLiteral("参数(&P)"));
    AddCommand(parameters, Command::ParameterEditor, QStringLiteral("参数设定(&E)..."));
    AddCommand(parameters, Command::OnlineEditing, QStringLiteral("在线参数设定(&O)..."));
    parameters->addSeparator();
    AddCommand(parameters, Command::ControlParameters, QStringLiteral("控制参数(&C)..."));
    AddCommand(parameters, Command::TorqueParameters, QStringLiteral("转矩参数(&T)..."));
    AddCommand(parameters, Command::SpeedParameters, QStringLiteral("速度参数(&S)..."));
    AddCommand(parameters, Command::PositionParameters, QStringLiteral("位置参数(&P)..."));
    parameters->addSeparator();
    AddCommand(parameters, Command::CustomParameters, QStringLiteral("自定义参数(&U)..."));

    QMenu* monitor = bar->addMenu(QStringLiteral("监视(&M)"));
    AddCommand(monitor, Command::StatusMonitor, QStringLiteral("状态表示参数(&S)..."));
    AddCommand(monitor, Command::Diagnostics, QStringLiteral("诊断参数(&D)..."));
    AddCommand(monitor, Command::AlarmHistory, QStringLiteral("异常警报履历参数(&A)..."));
    monitor->addSeparator();
    AddCommand(monitor, Command::Trace, QStringLiteral("追踪波形(&T)..."));

    QMenu* tools = bar->addMenu(QStringLiteral("工具(&T)"));
    AddCommand(tools, Command::Jog, QStringLiteral("点动模式(&J)..."));
    AddCommand(tools, Command::AutoTuning, QStringLiteral("自动增益调谐(A)..."));
    AddCommand(tools, Command::AutoOffset, QStringLiteral("自动偏移调整(&O)..."));
    tools->addSeparator();
    AddCommand(tools, Command::ContactPlanning, QStringLiteral("输入/输出接点规划参数(&I)..."));
    AddCommand(tools, Command::PositionPlanning, QStringLiteral("内部位置命令路径规划(&P)..."));
    tools->addSeparator();
    AddCommand(tools, Command::MachineAnalysis, QStringLiteral("机械特性分析(&M)..."));

    QMenu* link = bar->addMenu(QStringLiteral("通信(&C)"));
    AddCommand(link, Command::PortSettings, QStringLiteral("连接端口设定(&P)..."));
    link->addSeparator();
    AddCommand(link, Command::Connect, StringText(StringId::kConnectCaption))->setCheckable(true);
    AddCommand(link, Command::Disconnect, StringText(StringId::kDisconnectCaption))
        ->setCheckable(true);

    QMenu* viewMenu = bar->addMenu(QStringLiteral("视图(&V)"));

    QMenu* help = bar->addMenu(QStringLiteral("帮助(&H)"));
    AddCommand(help, FrameCommand::HelpContents, QStringLiteral("内容(&C)"),
               QKeySequence(Qt::Key_F1));
    help->addSeparator();
    AddCommand(help, FrameCommand::AppAbout, QStringLiteral("关于 Orvan Servo(&A)..."));

    // Recent files last in the command order: they come and go with the list.
    for (int command : recent) {
        order_.removeOne(command);
        order_.append(command);
    }

    // The menus show the state of this moment, also between notifications.
    for (QMenu* menu : {file, parameters, monitor, tools, link, help})
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);

    // View menu: the toolbar's own toggle and the status bar's.
    connect(viewMenu, &QMenu::aboutToShow, this, [this, viewMenu] {
        viewMenu->clear();
        QAction* toolBarToggle = toolBar_->toggleViewAction();
        toolBarToggle->setText(QStringLiteral("工具栏(&T)"));
        viewMenu->addAction(toolBarToggle);
        QAction* statusToggle = viewMenu->addAction(QStringLiteral("状态栏(&S)"));
        statusToggle->setCheckable(true);
        statusToggle->setChecked(statusBar()->isVisible());
        connect(statusToggle, &QAction::toggled, statusBar(), &QWidget::setVisible);
    });
}

void CMainFrame::BuildToolBar() {
    toolBar_ = new QToolBar(StringText(StringId::kToolBarTitle), this);
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setMovable(true);
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar_->setIconSize(QSize(16, 16));
    addToolBar(Qt::TopToolBarArea, toolBar_);

    struct Button {
        int command;
        QIcon icon;
    };
    using Group = std::vector<Button>;
    QStyle* s = style();
    const QColor blue(0x1F, 0x4E, 0x8C);
    const QColor green(0x2E, 0x7D, 0x32);
    const QColor red(0xB7, 0x1C, 0x1C);
    const QColor teal(0x00, 0x69, 0x5C);
    const QColor purple(0x5E, 0x35, 0xB1);
    const std::vector<Group> groups = {
        {{Command::FileNew, s->standardIcon(QStyle::SP_FileIcon)},
         {Command::FileOpen, s->standardIcon(QStyle::SP_DialogOpenButton)},
         {FrameCommand::FileSave, s->standardIcon(QStyle::SP_DialogSaveButton)}},
        {{Command::PortSettings, GlyphIcon(QStringLiteral("端"), blue)},
         {Command::Connect, GlyphIcon(QStringLiteral("连"), green)},
         {Command::Disconnect, GlyphIcon(QStringLiteral("断"), red)}},
        {{Command::ParameterEditor, GlyphIcon(QStringLiteral("参"), blue)},
         {Command::OnlineEditing, GlyphIcon(QStringLiteral("线"), blue)},
         {Command::ControlParameters, GlyphIcon(QStringLiteral("控"), blue)},
         {Command::TorqueParameters, GlyphIcon(QStringLiteral("转"), blue)},
         {Command::SpeedParameters, GlyphIcon(QStringLiteral("速"), blue)},
         {Command::PositionParameters, GlyphIcon(QStringLiteral("位"), blue)},
         {Command::CustomParameters, GlyphIcon(QStringLiteral("自"), blue)}},
        {{Command::StatusMonitor, GlyphIcon(QStringLiteral("状"), teal)},
         {Command::Diagnostics, GlyphIcon(QStringLiteral("诊"), teal)},
         {Command::Trace, GlyphIcon(QStringLiteral("波"), teal)}},
        {{Command::Jog, GlyphIcon(QStringLiteral("点"), purple)},
         {Command::MachineAnalysis, GlyphIcon(QStringLiteral("析"), purple)},
         {FrameCommand::AppAbout, GlyphIcon(QStringLiteral("?"), blue)}},
    };
    bool first = true;
    for (const Group& group : groups) {
        if (!first)
            toolBar_->addSeparator();
        first = false;
        for (const Button& button : group) {
            QAction* action = Action(button.command);
            action->setIcon(button.icon);
            toolBar_->addAction(action);
        }
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
        label->setFixedWidth(screenWidth / kPaneWidthDivisors[pane]);
        label->setObjectName(QStringLiteral("pane%1").arg(pane));
        strip->Add(label);
        panes_[pane] = label;
    }
    statusBar()->addWidget(strip, 1);
}

void CMainFrame::ShowMaximized() {
    // Without a window manager (a bare X server) maximising does nothing and the window would
    // stay at its small default size: it is first given the screen's available area, which a
    // window manager then maximises as usual.
    if (const QScreen* screen = this->screen())
        setGeometry(screen->availableGeometry());
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
    const ViewActivity activity = view_->Activity();
    for (auto& [command, entry] : commands_) {
        const bool recentEntry = command >= FrameCommand::FileMru1 &&
                                 command < FrameCommand::FileMru1 + RecentFileList::kMaxEntries;
        const bool available = entry.handler && (!recentEntry || entry.action->isVisible());
        entry.action->setEnabled(available && IsCommandEnabled(command, activity));
        if (entry.action->isCheckable())
            entry.action->setChecked(IsCommandChecked(command, activity));
    }
}

void CMainFrame::SetDocumentTitle(const QString& title, bool modified) {
    setWindowTitle(title);
    setWindowModified(modified);
}

void CMainFrame::SetRecentFiles(const QStringList& paths) {
    recentPaths_ = paths;
    for (int i = 0; i < RecentFileList::kMaxEntries; ++i) {
        QAction* action = Action(FrameCommand::FileMru1 + i);
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
        SetCommandHandler(FrameCommand::FileMru1 + i, [this, i] {
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
