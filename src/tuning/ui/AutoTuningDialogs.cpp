#include "tuning/ui/AutoTuningDialogs.h"

#include "base/Messenger.h"
#include "base/StringTable.h"
#include "base/Ticker.h"
#include "drive/DriveProfile.h"
#include "frame/DialogButton.h"
#include "params/DriveConnection.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int kStepMs = 100;
constexpr int kBlinkMs = 400;
constexpr int kRangeText = 800;
constexpr int kWaitForRatio = 737;

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

// "确定" and "取消" at the foot of a dialog.
QHBoxLayout* OkCancel(QDialog* dialog) {
    auto* ok = MakeDialogButton("确定", "okButton", dialog);
    auto* cancel = MakeDialogButton("取消", "cancelButton", dialog);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

} // namespace

// ---- Mode ----

CJogAutoGDialog::CJogAutoGDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(Utf8("自动增益调谐"));
    auto* group = new QGroupBox(Utf8("功能选择"), this);
    auto* column = new QVBoxLayout(group);
    const char* texts[] = {"取消自动增益调谐", "Off-line 自动增益调谐", "On-line 自动增益调谐"};
    auto* buttons = new QButtonGroup(this);
    for (size_t i = 0; i < modes_.size(); ++i) {
        modes_[i] = new QRadioButton(Utf8(texts[i]), group);
        modes_[i]->setObjectName(QStringLiteral("mode%1").arg(i));
        buttons->addButton(modes_[i], static_cast<int>(i));
        column->addWidget(modes_[i]);
    }
    modes_[0]->setChecked(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(OkCancel(this));
    // Choosing a mode moves nothing yet: Enter confirms the choice.
    findChild<QPushButton*>(QStringLiteral("okButton"))->setDefault(true);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

TuningMode CJogAutoGDialog::Choice() const {
    for (size_t i = 0; i < modes_.size(); ++i) {
        if (modes_[i]->isChecked())
            return static_cast<TuningMode>(i);
    }
    return TuningMode::Off;
}

// ---- Pattern drawing ----

SpeedPatternDrawing::SpeedPatternDrawing(QWidget* parent) : QWidget(parent) {
    setMinimumSize(sizeHint());
}

void SpeedPatternDrawing::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    const QFontMetrics metrics(painter.font());
    const int line = metrics.height();
    // The axes: speed up the left, time along the bottom.
    const int left = 14 + metrics.horizontalAdvance(StringText(803));
    const int bottom = height() - line - 8;
    const int top = line + 10;
    const int right = width() - metrics.horizontalAdvance(StringText(805)) - 10;
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(left, top - 6, left, bottom);
    painter.drawLine(left, bottom, right, bottom);
    painter.drawText(QPoint(left - 10, top - 10 - 2), QStringLiteral("(rpm)"));
    painter.drawText(QPoint(right + 4, bottom + line / 3), StringText(805));

    // Ramp up, hold, ramp down, then zero speed, in fifths of the width.
    const int span = right - left;
    const int x1 = left + span / 6;
    const int x2 = left + span * 3 / 6;
    const int x3 = left + span * 4 / 6;
    const int x4 = right - 6;
    painter.setPen(QPen(QColor(20, 90, 200), 2));
    const QPointF trapezoid[] = {{double(left), double(bottom)}, {double(x1), double(top)},
                                 {double(x2), double(top)}, {double(x3), double(bottom)},
                                 {double(x4), double(bottom)}};
    painter.drawPolyline(trapezoid, 5);

    painter.setPen(QPen(Qt::gray, 1, Qt::DashLine));
    painter.drawLine(left, top, x1, top);
    painter.setPen(Qt::black);
    // Labels: the maximum speed at the level, the acceleration on the ramp, the two times under
    // their spans.
    painter.drawText(QRect(2, top - line / 2, left - 4, line), Qt::AlignRight, StringText(803));
    painter.drawText(QRect(x1 - span / 6 + 4, (top + bottom) / 2 - line / 2, span / 6, line),
                     Qt::AlignLeft, StringText(801));
    painter.drawText(QRect(x1, top + 2, x2 - x1, line), Qt::AlignCenter, StringText(802));
    painter.drawText(QRect(x3, bottom - line - 2, x4 - x3, line), Qt::AlignCenter,
                     StringText(804));
    painter.setPen(QPen(Qt::gray, 1, Qt::DotLine));
    painter.drawLine(x1, top, x1, bottom);
    painter.drawLine(x2, top, x2, bottom);
}

// ---- Pattern ----

COffLineAutoTuning::COffLineAutoTuning(const PatternValues& current, int32_t maxSpeed,
                                       PatternWriter& writer, TickerSource& tickers,
                                       QWidget* parent)
    : QDialog(parent), writer_(writer) {
    setWindowTitle(Utf8("Off-line 自动增益调谐"));
    const char* titles[] = {"最大速度", "加速度", "等速或零速时间"};
    const QString ranges[] = {StringText(kRangeText).replace(QStringLiteral("%d"),
                                                             QString::number(maxSpeed)),
                              Utf8("(默认值: 7400 rpm/s, 范围: 2000~90000)"),
                              Utf8("(默认值: 2000*0.1ms, 范围: 0~10000)")};
    const int lengths[] = {4, 5, 5};
    auto* layout = new QVBoxLayout(this);
    auto* drawingBox = new QGroupBox(Utf8("速度模式"), this);
    auto* drawingLayout = new QVBoxLayout(drawingBox);
    drawingLayout->addWidget(new SpeedPatternDrawing(drawingBox));
    layout->addWidget(drawingBox);
    PatternValues values = current;
    for (int group = 1; group <= kPatternGroups; ++group) {
        const auto i = static_cast<size_t>(group - 1);
        auto* box = new QGroupBox(Utf8(titles[i]), this);
        auto* grid = new QGridLayout(box);
        current_[i] = new QLineEdit(QString::number(values[group]), box);
        current_[i]->setReadOnly(true);
        current_[i]->setFocusPolicy(Qt::NoFocus);
        current_[i]->setObjectName(QStringLiteral("current%1").arg(group));
        set_[i] = new QLineEdit(
            QString::number(PatternSetValueShown(group, values[group], maxSpeed)), box);
        set_[i]->setMaxLength(lengths[i]);
        set_[i]->setObjectName(QStringLiteral("set%1").arg(group));
        write_[i] = MakeDialogButton("写入", "writeButton", box);
        write_[i]->setObjectName(QStringLiteral("write%1").arg(group));
        grid->addWidget(new QLabel(Utf8("现在值:"), box), 0, 0);
        grid->addWidget(current_[i], 0, 1);
        grid->addWidget(new QLabel(Utf8("设定值:"), box), 0, 2);
        grid->addWidget(set_[i], 0, 3);
        grid->addWidget(write_[i], 0, 4);
        grid->addWidget(new QLabel(ranges[i], box), 1, 0, 1, 5);
        connect(write_[i], &QPushButton::clicked, this,
                [this, group, i] { writer_.Press(group, set_[i]->text()); });
        layout->addWidget(box);
    }
    writer_.SetListener([this](int group, int32_t value) {
        current_[static_cast<size_t>(group - 1)]->setText(QString::number(value));
    });
    warningText_ = Utf8("[ 注意！如果目前为Servo ON状态，当按下 \"确定\" 后，电机会立即运转。 ]");
    warning_ = new QLabel(warningText_, this);
    warning_->setObjectName(QStringLiteral("warning"));
    warning_->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
    // Blanking keeps the label's place.
    warning_->setMinimumWidth(warning_->sizeHint().width());
    warning_->setMinimumHeight(warning_->sizeHint().height());
    layout->addWidget(warning_);
    layout->addLayout(OkCancel(this));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    blinker_ = tickers.MakeTicker(kBlinkMs, [this] { Blink(); });
    blinker_->Start();
}

COffLineAutoTuning::~COffLineAutoTuning() {
    writer_.SetListener({});
}

void COffLineAutoTuning::Blink() {
    blink_ = !blink_;
    warning_->setText(blink_ ? QString() : warningText_);
}

// ---- Run ----

CTuningStartDialog::CTuningStartDialog(std::shared_ptr<TuningRun> run,
                                       DriveOperations& operations, TickerSource& tickers,
                                       QWidget* parent)
    : QDialog(parent), run_(std::move(run)) {
    setWindowTitle(Utf8("调谐开始"));
    instruction_ = new QLabel(this);
    instruction_->setObjectName(QStringLiteral("instruction"));
    instruction_->setMinimumHeight(fontMetrics().height() * 2);
    instruction_->setMinimumWidth(fontMetrics().horizontalAdvance(StringText(kWaitForRatio)) + 8);
    auto* result = new QGroupBox(Utf8("调谐结果"), this);
    auto* row = new QHBoxLayout(result);
    ratio_ = new QLabel(result);
    ratio_->setObjectName(QStringLiteral("ratio"));
    ratio_->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000000")));
    ratio_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ratio_->setFrameShape(QFrame::StyledPanel);
    row->addWidget(new QLabel(Utf8("Un-19 负载惯量比 = "), result));
    row->addWidget(ratio_);
    row->addWidget(new QLabel(QStringLiteral("*0.1"), result));
    row->addStretch();
    next_ = MakeDialogButton("下一步(&N)", "nextButton", this);
    quit_ = MakeDialogButton("离开(&Q)", "quitButton", this);
    next_->setEnabled(false);
    connect(next_, &QPushButton::clicked, this, &QDialog::accept);
    connect(quit_, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(next_);
    buttons->addWidget(quit_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(instruction_);
    layout->addWidget(result);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    run_->SetListener([this] { Show(); });
    Show();
    instruction_->setText(instructionText_);
    stepper_ = tickers.MakeTicker(kStepMs, [this, ops = &operations] { run_->PostStep(*ops); });
    blinker_ = tickers.MakeTicker(kBlinkMs, [this] { Blink(); });
    stepper_->Start();
    blinker_->Start();
}

CTuningStartDialog::~CTuningStartDialog() {
    run_->SetListener({});
}

void CTuningStartDialog::Show() {
    instructionText_ = run_->Waiting()
                           ? StringText(kWaitForRatio)
                           : Utf8("请将 Servo On 后，开始执行 Off-line 自动增益调谐。");
    if (!blink_)
        instruction_->setText(instructionText_);
    if (run_->RatioShown())
        ratio_->setText(QString::number(run_->Ratio()));
    next_->setEnabled(run_->NextEnabled());
}

void CTuningStartDialog::Blink() {
    blink_ = !blink_;
    instruction_->setText(blink_ ? QString() : instructionText_);
}

// ---- The program's dialogs ----

// The dialogs are modal to the main window only: the simulated drive's window stays usable.
AutoTuningDialogs ProgramTuningDialogs(DriveConnection& connection, const DriveProfile& profile,
                                       Messenger& messenger, TickerSource& tickers,
                                       QWidget* owner) {
    AutoTuningDialogs dialogs;
    dialogs.chooseMode = [owner]() -> std::optional<TuningMode> {
        CJogAutoGDialog dialog(owner);
        dialog.setWindowModality(Qt::WindowModal);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.Choice();
    };
    // The references outlive the command; the dialogs keep pointers to them.
    dialogs.pattern = [drive = &profile, ticks = &tickers,
                       owner](const PatternValues& current, PatternWriter& writer) {
        COffLineAutoTuning dialog(current, drive->maxMotorSpeed, writer, *ticks, owner);
        dialog.setWindowModality(Qt::WindowModal);
        return dialog.exec() == QDialog::Accepted;
    };
    dialogs.run = [ops = &connection.Operations(), ticks = &tickers,
                   owner](const std::shared_ptr<TuningRun>& run) {
        CTuningStartDialog dialog(run, *ops, *ticks, owner);
        dialog.setWindowModality(Qt::WindowModal);
        return dialog.exec() == QDialog::Accepted;
    };
    dialogs.storeResult = [messages = &messenger](int32_t ratio) {
        Message question;
        question.caption = Utf8("调谐结束");
        question.text = Utf8("Off-line 自动增益调谐结束，负载惯量比为") + QString::number(ratio) +
                        Utf8("*0.1，是否变更 Cn025 负载惯量比的设定 ?");
        question.icon = MessageIcon::Question;
        question.buttons = MessageButtons::YesNo;
        return messages->Show(question) == MessageAnswer::Yes;
    };
    return dialogs;
}
