#include "trace/ui/TraceGraphDialog.h"

#include "base/AtomicFile.h"
#include "base/FileChooser.h"
#include "base/FileNames.h"
#include "base/Messenger.h"
#include "base/StringTable.h"
#include "base/Ticker.h"
#include "frame/DialogButton.h"
#include "trace/TraceFile.h"
#include "trace/ui/TracePlot.h"
#include "widgets/PngBytes.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kOpenFilterString = 772;
constexpr int kSaveFilterString = 773;
constexpr int kLinkWatchMs = 400; // as often as the drive session looks at the drive
const char* const kExportFilters = "CSV 文件 (*.csv)|*.csv|PNG 图像 (*.png)|*.png||";

// "Save As" offers the trace file and, beside it, the samples as CSV and the plot as a picture.
QString SaveAsFilter() {
    QString filter = StringText(kSaveFilterString);
    while (filter.endsWith(QLatin1Char('|')))
        filter.chop(1);
    return filter + QLatin1Char('|') + QString::fromUtf8(kExportFilters);
}

// A small filled triangle pointing up or down, drawn rather than loaded.
QIcon ArrowIcon(bool up) {
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 40));
    const QPolygonF triangle =
        up ? QPolygonF{QPointF(6, 2), QPointF(11, 10), QPointF(1, 10)}
           : QPolygonF{QPointF(1, 2), QPointF(11, 2), QPointF(6, 10)};
    p.drawPolygon(triangle);
    return QIcon(pixmap);
}

QToolButton* MakeArrow(bool up, const QString& name, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(ArrowIcon(up));
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QLabel* MakeReadout(const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFrameShape(QFrame::StyledPanel);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("-000000.00")));
    return label;
}

} // namespace

CTraceGraphDialog::CTraceGraphDialog(TraceWindowServices services, TraceRun& run, QWidget* parent)
    : QDialog(parent), services_(std::move(services)), run_(run), view_(run.record),
      baseTitle_(QString::fromUtf8("追踪波形")) {
    setObjectName(QStringLiteral("traceWindow"));
    if (!run_.hasTrace)
        RefreshVerticalScales(run_.record); // an empty trace: each slider in its middle
    plot_ = new TracePlotWidget(view_, this);
    connect(plot_, &TracePlotWidget::cursorMoved, this, &CTraceGraphDialog::Refresh);
    if (services_.tickers != nullptr) {
        linkWatch_ = services_.tickers->MakeTicker(kLinkWatchMs, [this] {
            if (LinkUp() != linkShown_)
                EnableControls();
        });
        linkWatch_->Start();
    }

    BuildScaleColumn(0);
    BuildScaleColumn(1);
    auto* top = new QHBoxLayout;
    for (int line = 0; line < 2; ++line) {
        const auto i = static_cast<size_t>(line);
        if (line == 1)
            top->addStretch();
        top->addWidget(new QLabel(QString::fromUtf8(line == 0 ? "资料 1" : "资料 2"), this));
        top->addWidget(scales_[i]);
        top->addWidget(perDivision_[i]);
    }

    auto* middle = new QHBoxLayout;
    for (int line = 0; line < 2; ++line) {
        auto* column = new QVBoxLayout;
        column->addWidget(offsetArrows_[static_cast<size_t>(2 * line)], 0, Qt::AlignHCenter);
        column->addWidget(offsets_[static_cast<size_t>(line)], 1, Qt::AlignHCenter);
        column->addWidget(offsetArrows_[static_cast<size_t>(2 * line + 1)], 0, Qt::AlignHCenter);
        middle->addLayout(column);
        if (line == 0)
            middle->addWidget(plot_);
    }

    timeScale_ = new QComboBox(this);
    timeScale_->setObjectName(QStringLiteral("timeScale"));
    connect(timeScale_, &QComboBox::activated, this, [this](int index) {
        view_.ChooseTimeScale(index);
        ShowRecord();
    });
    scroll_ = new QScrollBar(Qt::Horizontal, this);
    scroll_->setObjectName(QStringLiteral("timeScroll"));
    scroll_->setPageStep(10);
    connect(scroll_, &QScrollBar::valueChanged, this, [this](int position) {
        view_.ScrollTo(position);
        Refresh();
    });
    zoomIn_ = MakeDialogButton("放大", "zoomInButton", this);
    zoomOut_ = MakeDialogButton("缩小", "zoomOutButton", this);
    connect(zoomIn_, &QPushButton::clicked, this, [this] {
        view_.ZoomIn();
        ShowRecord();
    });
    connect(zoomOut_, &QPushButton::clicked, this, [this] {
        view_.ZoomOut();
        ShowRecord();
    });
    auto* time = new QHBoxLayout;
    time->addWidget(timeScale_);
    time->addWidget(new QLabel(QStringLiteral("[ms/div]"), this));
    time->addWidget(scroll_, 1);
    time->addWidget(zoomIn_);
    time->addWidget(zoomOut_);

    auto* lanes = new QHBoxLayout;
    const std::array<const char*, 4> laneNames{"diUp", "diDown", "doUp", "doDown"};
    for (int i = 0; i < 4; ++i) {
        const int lane = i / 2;
        const int delta = i % 2 == 0 ? -1 : 1;
        laneArrows_[static_cast<size_t>(i)] =
            MakeArrow(delta < 0, QString::fromLatin1(laneNames[static_cast<size_t>(i)]), this);
        connect(laneArrows_[static_cast<size_t>(i)], &QToolButton::clicked, this,
                [this, lane, delta] {
                    view_.MoveLane(lane, delta);
                    Refresh();
                });
        if (delta < 0)
            lanes->addWidget(new QLabel(lane == 0 ? QStringLiteral("DI") : QStringLiteral("DO"),
                                        this));
        lanes->addWidget(laneArrows_[static_cast<size_t>(i)]);
        if (lane == 0 && delta > 0)
            lanes->addSpacing(16);
    }
    lanes->addStretch();
    copy_ = MakeDialogButton("拷贝至剪贴簿中", "copyButton", this);
    connect(copy_, &QPushButton::clicked, this, &CTraceGraphDialog::OnCopy);
    lanes->addWidget(copy_);

    auto* left = new QVBoxLayout;
    left->addLayout(top);
    left->addLayout(middle);
    left->addLayout(time);
    left->addLayout(lanes);
    left->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(BuildRightPanel());

    ShowRecord();
}

CTraceGraphDialog::~CTraceGraphDialog() = default;

void CTraceGraphDialog::BuildScaleColumn(int line) {
    const auto i = static_cast<size_t>(line);
    const QString n = QString::number(line + 1);
    scales_[i] = new QComboBox(this);
    scales_[i]->setObjectName(QStringLiteral("scale") + n);
    scales_[i]->addItems(VerticalScaleTexts());
    scales_[i]->setMaxVisibleItems(VerticalScaleTexts().size());
    connect(scales_[i], &QComboBox::activated, this, [this, line](int index) {
        view_.ChooseScale(line, index);
        ShowRecord();
    });
    perDivision_[i] = new QLabel(this);
    perDivision_[i]->setObjectName(QStringLiteral("perDivision") + n);
    perDivision_[i]->setMinimumWidth(
        perDivision_[i]->fontMetrics().horizontalAdvance(QStringLiteral("[degree/div]")));

    offsets_[i] = new QSlider(Qt::Vertical, this);
    offsets_[i]->setObjectName(QStringLiteral("offset") + n);
    // The start of the range at the top: "up" moves the line up.
    offsets_[i]->setInvertedAppearance(true);
    offsets_[i]->setInvertedControls(true);
    offsets_[i]->setPageStep(10);
    connect(offsets_[i], &QSlider::valueChanged, this, [this, line](int position) {
        view_.MoveOffset(line, position);
        Refresh();
    });
    for (int down = 0; down < 2; ++down) {
        auto* arrow = MakeArrow(down == 0, QStringLiteral("offset%1%2").arg(n).arg(down ? "Down" : "Up"),
                                this);
        offsetArrows_[i * 2 + static_cast<size_t>(down)] = arrow;
        connect(arrow, &QToolButton::clicked, this, [this, line, down] {
            const TraceAxis& axis = view_.Record().axes[static_cast<size_t>(line)];
            view_.MoveOffset(line, axis.offsetPosition + (down ? 1 : -1));
            ShowRecord();
        });
    }
}

QWidget* CTraceGraphDialog::BuildRightPanel() {
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);

    setting_ = MakeDialogButton("Trace Setting", "settingButton", panel);
    start_ = MakeDialogButton("START", "startButton", panel);
    auto* open = MakeDialogButton("Open", "openButton", panel);
    saveAs_ = MakeDialogButton("Save As", "saveAsButton", panel);
    save_ = MakeDialogButton("Save", "saveButton", panel);
    online_ = MakeDialogButton("Online Parameter Editing", "onlineButton", panel);
    connect(setting_, &QPushButton::clicked, this,
            [this] { Press(&CTraceGraphDialog::OnTraceSetting); });
    connect(start_, &QPushButton::clicked, this, [this] { Press(&CTraceGraphDialog::OnStart); });
    connect(open, &QPushButton::clicked, this, &CTraceGraphDialog::OnOpen);
    connect(saveAs_, &QPushButton::clicked, this, &CTraceGraphDialog::OnSaveAs);
    connect(save_, &QPushButton::clicked, this, &CTraceGraphDialog::OnSave);
    connect(online_, &QPushButton::clicked, this, [this] {
        if (services_.onlineEditing)
            services_.onlineEditing(this);
    });
    auto* drive = new QHBoxLayout;
    drive->addWidget(setting_);
    drive->addWidget(start_);
    auto* files = new QHBoxLayout;
    files->addWidget(open);
    files->addWidget(saveAs_);
    files->addWidget(save_);
    column->addLayout(drive);
    column->addLayout(files);
    column->addWidget(online_);

    auto* trigger = new QGroupBox(QString::fromUtf8("触发条件"), panel);
    auto* triggerGrid = new QGridLayout(trigger);
    triggerMode_ = new QLabel(trigger);
    triggerMode_->setObjectName(QStringLiteral("triggerMode"));
    triggerLevel_ = new QLabel(trigger);
    triggerLevel_->setObjectName(QStringLiteral("triggerLevel"));
    triggerGrid->addWidget(new QLabel(QString::fromUtf8("触发方式"), trigger), 0, 0);
    triggerGrid->addWidget(triggerMode_, 0, 1);
    triggerGrid->addWidget(new QLabel(QString::fromUtf8("触发准位"), trigger), 1, 0);
    triggerGrid->addWidget(triggerLevel_, 1, 1);
    triggerGrid->setColumnStretch(1, 1);
    column->addWidget(trigger);

    auto* cursors = new QGroupBox(QString::fromUtf8("游标线"), panel);
    cursorGroup_ = cursors;
    auto* grid = new QGridLayout(cursors);
    vertical_ = new QRadioButton(QString::fromUtf8("垂直"), cursors);
    vertical_->setObjectName(QStringLiteral("verticalCursors"));
    horizontal_ = new QRadioButton(QString::fromUtf8("水平"), cursors);
    horizontal_->setObjectName(QStringLiteral("horizontalCursors"));
    showCursors_ = new QCheckBox(QString::fromUtf8("显示游标线"), cursors);
    showCursors_->setObjectName(QStringLiteral("showCursors"));
    vertical_->setChecked(true);
    connect(vertical_, &QRadioButton::toggled, this, [this](bool on) {
        view_.Cursors().mode = on ? CursorMode::Vertical : CursorMode::Horizontal;
        Refresh();
    });
    connect(showCursors_, &QCheckBox::toggled, this, [this](bool on) {
        view_.Cursors().shown = on;
        Refresh();
    });
    grid->addWidget(vertical_, 0, 0, 1, 2);
    grid->addWidget(horizontal_, 0, 2);
    grid->addWidget(showCursors_, 0, 3, 1, 2);
    const std::array<const char*, 3> heads{"A", "B", "B-A"};
    for (int c = 0; c < 3; ++c)
        grid->addWidget(new QLabel(QString::fromLatin1(heads[static_cast<size_t>(c)]), cursors),
                        1, c + 1, Qt::AlignHCenter);
    for (int row = 0; row < 3; ++row) {
        const auto r = static_cast<size_t>(row);
        for (int c = 0; c < 3; ++c)
            readouts_[r][static_cast<size_t>(c)] =
                MakeReadout(QStringLiteral("readout%1%2").arg(row).arg(c), cursors);
        readoutUnits_[r] = new QLabel(cursors);
        readoutUnits_[r]->setObjectName(QStringLiteral("readoutUnit%1").arg(row));
        for (int c = 0; c < 3; ++c)
            grid->addWidget(readouts_[r][static_cast<size_t>(c)], row + 2, c + 1);
        grid->addWidget(readoutUnits_[r], row + 2, 4);
    }
    frequency_ = new QLabel(cursors);
    frequency_->setObjectName(QStringLiteral("frequency"));
    grid->addWidget(frequency_, 5, 3, 1, 2, Qt::AlignRight);
    column->addWidget(cursors);
    column->addStretch();
    return panel;
}

void CTraceGraphDialog::ShowRecord() {
    const TraceRecord& r = view_.Record();
    const TraceSettings& s = r.settings;
    for (size_t line = 0; line < 2; ++line) {
        const TraceAxis& axis = r.axes[line];
        const QSignalBlocker blockScale(scales_[line]);
        scales_[line]->setCurrentIndex(axis.scaleIndex);
        perDivision_[line]->setText(PerDivisionText(line == 0 ? s.data1 : s.data2));
        const QSignalBlocker blockOffset(offsets_[line]);
        offsets_[line]->setRange(0, std::max(OffsetSliderMax(axis.units), 0));
        offsets_[line]->setValue(axis.offsetPosition);
    }
    {
        const QSignalBlocker block(timeScale_);
        timeScale_->clear();
        timeScale_->addItems(TimeScaleTexts(r.TotalTimeMs(), r.IntervalMs()));
        timeScale_->setCurrentIndex(std::min(r.timeIndex, timeScale_->count() - 1));
    }
    {
        const QSignalBlocker block(scroll_);
        scroll_->setRange(0, view_.ScrollLimit());
        scroll_->setValue(r.scrollPosition);
    }
    triggerMode_->setText(TriggerModeText(s.triggerMode, s.contactFunctions));
    triggerLevel_->setText(TriggerLevelText(s.triggerMode, s.triggerLevel));
    ShowTitle();
    EnableControls();
    Refresh();
}

void CTraceGraphDialog::Refresh() {
    const CursorReadouts readouts = view_.Readouts();
    for (size_t row = 0; row < 3; ++row) {
        const CursorReadout& values = readouts.rows[row];
        readouts_[row][0]->setText(values.a);
        readouts_[row][1]->setText(values.b);
        readouts_[row][2]->setText(values.delta);
        readoutUnits_[row]->setText(readouts.units[row]);
    }
    const QString& hz = readouts.rows[0].frequency;
    frequency_->setText(hz.isEmpty() ? QString() : QString::fromUtf8("1/Δt = ") + hz);
    plot_->Redraw();
}

void CTraceGraphDialog::EnableControls() {
    const bool display = run_.hasTrace;
    for (QWidget* w : std::initializer_list<QWidget*>{
             scales_[0], scales_[1], offsets_[0], offsets_[1], timeScale_, scroll_, copy_,
             saveAs_, save_, cursorGroup_})
        w->setEnabled(display);
    for (QToolButton* arrow : offsetArrows_)
        arrow->setEnabled(display);
    for (QToolButton* arrow : laneArrows_)
        arrow->setEnabled(display);
    zoomIn_->setEnabled(display && view_.CanZoomIn());
    zoomOut_->setEnabled(display && view_.CanZoomOut());
    linkShown_ = LinkUp();
    start_->setEnabled(run_.configured && linkShown_);
    setting_->setEnabled(linkShown_);
    online_->setEnabled(linkShown_);
}

bool CTraceGraphDialog::LinkUp() const {
    return services_.linkUp && services_.linkUp();
}

void CTraceGraphDialog::ShowTitle() {
    setWindowTitle(run_.saved ? baseTitle_ + QStringLiteral(" - [") +
                                    QDir::toNativeSeparators(run_.path) + QLatin1Char(']')
                              : baseTitle_);
}

void CTraceGraphDialog::Warn(const QString& text) {
    Message message;
    message.text = text;
    message.icon = MessageIcon::Warning;
    services_.messenger.Show(message);
}

void CTraceGraphDialog::Press(void (CTraceGraphDialog::*action)()) {
    if (!services_.press) {
        (this->*action)();
        return;
    }
    // The press may wait for the poll's tick: the window may have gone by then.
    const QPointer<CTraceGraphDialog> self(this);
    services_.press([self, action] {
        if (!self.isNull()) {
            (self.data()->*action)();
        }
    });
}

void CTraceGraphDialog::OnTraceSetting() {
    if (!services_.traceSetting || !services_.traceSetting(this, run_.record))
        return;
    run_.hasTrace = true;
    run_.configured = true;
    // The trace shown is no longer the file's: "Save" asks for a name again.
    run_.saved = false;
    view_.Reload();
    ShowRecord();
}

void CTraceGraphDialog::OnStart() {
    if (!services_.traceStart || !services_.traceStart(this, run_.record))
        return;
    run_.hasTrace = true;
    run_.saved = false;
    view_.Reload();
    ShowRecord();
}

void CTraceGraphDialog::OnOpen() {
    const std::optional<QString> path =
        services_.files.ChooseFileToOpen(StringText(kOpenFilterString));
    if (!path || path->isEmpty())
        return;
    QString error;
    if (!OpenTraceFile(*path, run_.record, &error)) {
        Warn(error); // the trace shown stays as it was
        return;
    }
    run_.hasTrace = true;
    run_.path = QFileInfo(*path).absoluteFilePath();
    run_.saved = true;
    view_.Reload();
    ShowRecord();
}

bool CTraceGraphDialog::OnSaveAs() {
    const std::optional<QString> chosen =
        services_.files.ChooseFileToSave(SaveAsFilter(), run_.path);
    if (!chosen || chosen->isEmpty())
        return false;
    const QString suffix = QFileInfo(*chosen).suffix().toLower();
    if (suffix == QLatin1String("csv"))
        return ExportFile(*chosen, TraceCsv(run_.record));
    if (suffix == QLatin1String("png")) {
        return ExportFile(*chosen, PngBytes(plot_->Image()));
    }
    QString path = *chosen;
    if (!HasTraceFileExtension(path)) {
        path += QStringLiteral(".trd");
        // The chooser asked about the name it returned; a name extended here is asked about now.
        if (FileExists(path)) {
            Message question;
            question.text =
                QStringLiteral("%1 已存在。\n要替换它吗？").arg(QDir::toNativeSeparators(path));
            question.icon = MessageIcon::Warning;
            question.buttons = MessageButtons::YesNo;
            if (services_.messenger.Show(question) != MessageAnswer::Yes)
                return false;
        }
    }
    return SaveTrace(path);
}

bool CTraceGraphDialog::OnSave() {
    if (!run_.saved)
        return OnSaveAs();
    return SaveTrace(run_.path);
}

bool CTraceGraphDialog::SaveTrace(const QString& path) {
    QString error;
    if (!SaveTraceFile(path, run_.record, &error)) {
        Warn(error);
        return false;
    }
    run_.path = QFileInfo(path).absoluteFilePath();
    run_.saved = true;
    ShowTitle();
    return true;
}

bool CTraceGraphDialog::ExportFile(const QString& path, const QByteArray& bytes) {
    QString reason;
    if (!WriteFileAtomically(path, bytes, &reason)) {
        Warn(QStringLiteral("无法保存文档 %1：%2").arg(path, reason));
        return false;
    }
    return true;
}

void CTraceGraphDialog::OnCopy() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(plot_->Image());
}
