#include "trace/ui/TraceSetupDialog.h"

#include "base/CFormat.h"
#include "trace/TraceView.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kColourCount = 15;
constexpr int kIntervalDigits = 5;
const QSize kSwatchSize(56, 12);

// The colour table's entry as a swatch: 0x00BBGGRR turned into a filled, framed bar.
QIcon Swatch(int index) {
    const uint32_t ref = TraceColourRef(index);
    QPixmap pixmap(kSwatchSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(QColor(static_cast<int>(ref & 0xFF), static_cast<int>((ref >> 8) & 0xFF),
                            static_cast<int>((ref >> 16) & 0xFF)));
    painter.drawRect(QRect(QPoint(0, 0), kSwatchSize).adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}

QComboBox* ColourList(int chosen, QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setIconSize(kSwatchSize);
    for (int i = 0; i < kColourCount; ++i) {
        list->addItem(Swatch(i), QString());
    }
    list->setCurrentIndex(chosen >= 0 && chosen < kColourCount ? chosen : 0);
    return list;
}

QComboBox* QuantityList(int chosen, QWidget* parent) {
    auto* list = new QComboBox(parent);
    for (int q = 0; q < TraceSettings::kQuantityCount; ++q) {
        list->addItem(QStringLiteral("%1.").arg(q + 1) + QuantityText(q));
    }
    list->setCurrentIndex(chosen);
    return list;
}

} // namespace

CTraceSetupDialog::CTraceSetupDialog(const TraceSettings& settings,
                                     const ContactFunctions& functions, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    settings_.contactFunctions = functions;
    setWindowTitle(QStringLiteral("追踪设置"));
    auto* layout = new QVBoxLayout(this);

    auto* lines = new QGridLayout;
    layout->addLayout(lines);
    auto* data1 =
        AddLineRow(lines, QStringLiteral("资料 1"), QuantityList(settings_.data1, this), 0);
    auto* data2 =
        AddLineRow(lines, QStringLiteral("资料 2"), QuantityList(settings_.data2, this), 1);
    auto* di = new QComboBox(this);
    for (int c = 0; c < TraceSettings::kDiCount; ++c) {
        di->addItem(DiLegendText(functions, c));
    }
    di->setCurrentIndex(settings_.diSelection);
    AddLineRow(lines, QStringLiteral("DI"), di, 2);
    auto* dout = new QComboBox(this);
    for (int c = 0; c < TraceSettings::kDoCount; ++c) {
        dout->addItem(DoLegendText(functions, c));
    }
    dout->setCurrentIndex(settings_.doSelection);
    AddLineRow(lines, QStringLiteral("DO"), dout, 3);
    data1->setObjectName(QStringLiteral("data1List"));
    data2->setObjectName(QStringLiteral("data2List"));
    di->setObjectName(QStringLiteral("diList"));
    dout->setObjectName(QStringLiteral("doList"));
    connect(data1, &QComboBox::currentIndexChanged, this, [this](int i) { settings_.data1 = i; });
    connect(data2, &QComboBox::currentIndexChanged, this, [this](int i) { settings_.data2 = i; });
    connect(di, &QComboBox::currentIndexChanged, this,
            [this](int i) { settings_.diSelection = i; });
    connect(dout, &QComboBox::currentIndexChanged, this,
            [this](int i) { settings_.doSelection = i; });

    auto* timing = new QHBoxLayout;
    layout->addLayout(timing);
    timing->addWidget(new QLabel(QStringLiteral("取样间隔时间:"), this));
    interval_ = new QLineEdit(this);
    interval_->setObjectName(QStringLiteral("intervalEdit"));
    interval_->setMaxLength(kIntervalDigits);
    interval_->setFixedWidth(60);
    timing->addWidget(
        MakeSpin(interval_, QStringLiteral("interval"), &CTraceSetupDialog::StepInterval));
    timing->addWidget(new QLabel(QStringLiteral("*100 us ="), this));
    intervalMs_ = new QLabel(this);
    intervalMs_->setObjectName(QStringLiteral("intervalMs"));
    timing->addWidget(intervalMs_);
    timing->addWidget(new QLabel(QStringLiteral("[ms]"), this));
    timing->addStretch();
    layout->addWidget(new QLabel(QStringLiteral("每条线取样点数: 512点"), this));
    auto* total = new QHBoxLayout;
    layout->addLayout(total);
    total->addWidget(new QLabel(QStringLiteral("取样时间 = 取样间隔时间*取样资料点数 = "), this));
    totalMs_ = new QLabel(this);
    totalMs_->setObjectName(QStringLiteral("totalMs"));
    total->addWidget(totalMs_);
    total->addWidget(new QLabel(QStringLiteral("[ms]"), this));
    total->addStretch();

    auto* trigger = new QHBoxLayout;
    layout->addLayout(trigger);
    trigger->addWidget(new QLabel(QStringLiteral("触发方式:"), this));
    mode_ = new QComboBox(this);
    mode_->setObjectName(QStringLiteral("triggerModeList"));
    for (int m = 0; m < TraceSettings::kTriggerModeCount; ++m) {
        mode_->addItem(TriggerModeText(m, functions));
    }
    trigger->addWidget(mode_);
    trigger->addWidget(new QLabel(QStringLiteral("触发准位:"), this));
    level_ = new QLineEdit(this);
    level_->setObjectName(QStringLiteral("levelEdit"));
    level_->setFixedWidth(50);
    levelSpin_ = MakeSpin(level_, QStringLiteral("level"), &CTraceSetupDialog::StepLevel);
    trigger->addWidget(levelSpin_);
    levelUnit_ = new QLabel(this);
    levelUnit_->setObjectName(QStringLiteral("levelUnit"));
    levelUnit_->setMinimumWidth(110);
    trigger->addWidget(levelUnit_);
    trigger->addStretch();

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole)
        ->setObjectName(QStringLiteral("okButton"));
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    // Reopened, the dialog shows the trigger as it is: only choosing a mode resets the level. A
    // mode or level outside the list's ranges reads as "None" or 0, as the trace window shows it.
    NormalizeTrigger(settings_);
    if (!settings_.SetIntervalCode(settings_.intervalCode)) {
        settings_.intervalCode = TraceSettings::kMinIntervalCode;
    }
    mode_->setCurrentIndex(settings_.triggerMode);
    ShowTriggerRange();
    interval_->setText(QString::number(settings_.intervalCode));
    ShowInterval();
    connect(mode_, &QComboBox::currentIndexChanged, this, &CTraceSetupDialog::ModeChosen);
    connect(interval_, &QLineEdit::textEdited, this, &CTraceSetupDialog::IntervalEdited);
    connect(level_, &QLineEdit::textEdited, this, &CTraceSetupDialog::LevelEdited);
}

QComboBox* CTraceSetupDialog::AddLineRow(QGridLayout* lines, const QString& title, QComboBox* list,
                                         int line) {
    const int row = line;
    lines->addWidget(new QLabel(title, this), row, 0);
    lines->addWidget(list, row, 1);
    lines->addWidget(new QLabel(QStringLiteral("线的颜色"), this), row, 2);
    QComboBox* colour = ColourList(settings_.colours[static_cast<size_t>(line)], this);
    colour->setObjectName(QStringLiteral("colourList%1").arg(line + 1));
    connect(colour, &QComboBox::currentIndexChanged, this,
            [this, line](int i) { settings_.colours[static_cast<size_t>(line)] = i; });
    lines->addWidget(colour, row, 3);
    return list;
}

QWidget* CTraceSetupDialog::MakeSpin(QLineEdit* edit, const QString& name,
                                     void (CTraceSetupDialog::*step)(int)) {
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    edit->setParent(box);
    row->addWidget(edit);
    auto* arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    row->addLayout(arrows);
    for (const int delta : {1, -1}) {
        auto* button = new QToolButton(box);
        button->setArrowType(delta > 0 ? Qt::UpArrow : Qt::DownArrow);
        button->setAutoRepeat(true);
        button->setFixedSize(16, 11);
        button->setObjectName(name + (delta > 0 ? QStringLiteral("Up") : QStringLiteral("Down")));
        connect(button, &QToolButton::clicked, this, [this, step, delta] { (this->*step)(delta); });
        arrows->addWidget(button);
    }
    return box;
}

void CTraceSetupDialog::IntervalEdited(const QString& text) {
    bool number = false;
    const int value = text.toInt(&number);
    if (!number || !settings_.SetIntervalCode(value)) {
        interval_->setText(QString::number(settings_.intervalCode));
        return;
    }
    ShowInterval();
}

void CTraceSetupDialog::LevelEdited(const QString& text) {
    bool number = false;
    const int value = text.isEmpty() ? 0 : text.toInt(&number);
    if ((!text.isEmpty() && !number) || !settings_.SetTriggerLevel(value)) {
        ShowLevel();
    }
}

void CTraceSetupDialog::StepInterval(int delta) {
    if (settings_.SetIntervalCode(settings_.intervalCode + delta)) {
        interval_->setText(QString::number(settings_.intervalCode));
        ShowInterval();
    }
}

void CTraceSetupDialog::StepLevel(int delta) {
    if (TriggerLevelMax(settings_.triggerMode) > 0 &&
        settings_.SetTriggerLevel(settings_.triggerLevel + delta)) {
        ShowLevel();
    }
}

void CTraceSetupDialog::ModeChosen(int mode) {
    settings_.SetTriggerMode(mode);
    ShowTriggerRange();
}

void CTraceSetupDialog::ShowTriggerRange() {
    const int32_t mode = settings_.triggerMode;
    const int32_t max = TriggerLevelMax(mode);
    level_->setMaxLength(max >= 1000 ? 4 : 3);
    levelUnit_->setText(TriggerLevelUnitText(mode));
    levelSpin_->setEnabled(max > 0);
    ShowLevel();
}

void CTraceSetupDialog::ShowInterval() {
    intervalMs_->setText(FormatC("%.1f", static_cast<double>(settings_.IntervalMs())));
    totalMs_->setText(FormatC("%.2f", static_cast<double>(settings_.TotalTimeMs())));
}

void CTraceSetupDialog::ShowLevel() {
    level_->setText(QString::number(settings_.triggerLevel));
}
