#include "params/ui/ParaEditDialog.h"

#include "base/Messenger.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "base/Ticker.h"
#include "drive/ParameterCatalogue.h"
#include "frame/DialogButton.h"
#include "params/ChangeDialogState.h"
#include "params/DriveConnection.h"
#include "params/NolvaServoDoc.h"
#include "params/ParameterCompare.h"
#include "params/ParameterTable.h"
#include "params/ParameterTransfer.h"
#include "params/ui/ChangeDialog.h"
#include "params/ui/CompareDialog.h"
#include "params/ui/ParameterEditors.h"
#include "widgets/ColumnFit.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { kCode = 0, kName, kValue, kUnit, kRange, kDefault, kColumnCount };
constexpr int kWidths[kColumnCount] = {70, 0, 60, 60, 100, 60};
constexpr int kPollMs = 400;

const QColor kValueColour(0, 0, 255);   // "设定值" in blue
const QColor kDefaultColour(255, 0, 0); // "默认值" in red
const QColor kChangedBackground(255, 255, 160);

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

CParaEditDialog::CParaEditDialog(DisplaySettings& display, CustomTable& customTable,
                                 CNolvaServoDoc& document, DriveProfile& profile,
                                 ParaEditHost& host, Messenger& messenger, TickerSource& tickers,
                                 QWidget* parent)
    : QDialog(parent), display_(display), customTable_(customTable), document_(document),
      profile_(profile), host_(host), messenger_(messenger), lastMaxSpeed_(profile.maxMotorSpeed),
      lastModelCode_(profile.modelCode), valueEditor_(&EditParameterValue),
      linkCheck_(tickers.MakeTicker(kPollMs, [this] { CheckLink(); })) {
    setWindowTitle(Utf8("参数设定"));
    setModal(false);

    list_ = new QTableWidget(0, kColumnCount, this);
    list_->setObjectName(QStringLiteral("list"));
    list_->setHorizontalHeaderLabels(EditorColumnHeaders());
    list_->verticalHeader()->hide();
    list_->setShowGrid(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setWordWrap(false);
    // One line of text per row, so that a screen shows as many parameters as it can.
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
    list_->horizontalHeader()->setStretchLastSection(false);
    for (int c = 0; c < kColumnCount; ++c) {
        if (kWidths[c] > 0)
            list_->setColumnWidth(c, kWidths[c]);
    }
    // The name column takes the width the other five leave.
    list_->horizontalHeader()->setSectionResizeMode(kName, QHeaderView::Stretch);
    connect(list_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { EditRow(row); });
    connect(list_, &QTableWidget::cellChanged, this, &CParaEditDialog::OnItemChanged);

    QPushButton* edit = MakeDialogButton("编辑(&E)...", "edit", this);
    QPushButton* write = MakeDialogButton("写入(&W)", "write", this);
    QPushButton* read = MakeDialogButton("读取(&R)", "read", this);
    QPushButton* defaults = MakeDialogButton("默认值(&S)", "defaults", this);
    QPushButton* compare = MakeDialogButton("比较(&M)", "compare", this);
    QPushButton* change = MakeDialogButton("变更(&G)...", "change", this);
    QPushButton* close = MakeDialogButton("关闭(&C)", "close", this);
    selectAllBox_ = new QCheckBox(Utf8("选择所有(&A)"), this);
    selectAllBox_->setObjectName(QStringLiteral("selectAll"));
    displayChoice_ = new QLabel(this);
    displayChoice_->setObjectName(QStringLiteral("displayChoice"));
    connect(edit, &QPushButton::clicked, this, &CParaEditDialog::OnEdit);
    connect(write, &QPushButton::clicked, this, &CParaEditDialog::OnWrite);
    connect(read, &QPushButton::clicked, this, &CParaEditDialog::OnRead);
    connect(defaults, &QPushButton::clicked, this, &CParaEditDialog::OnDefaults);
    connect(compare, &QPushButton::clicked, this, &CParaEditDialog::OnCompare);
    connect(change, &QPushButton::clicked, this, &CParaEditDialog::OnChange);
    connect(close, &QPushButton::clicked, this, &CParaEditDialog::close);
    connect(selectAllBox_, &QCheckBox::clicked, this, &CParaEditDialog::OnSelectAll);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {edit, write, read, defaults, compare, change})
        buttons->addWidget(button);
    buttons->addWidget(selectAllBox_);
    buttons->addSpacing(12);
    buttons->addWidget(new QLabel(Utf8("显示设定"), this));
    buttons->addWidget(displayChoice_);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    resize(760, 560);

    linkCheck_->Start();
    Rebuild();
}

CParaEditDialog::~CParaEditDialog() = default;

void CParaEditDialog::Present() {
    const bool wasVisible = isVisible();
    if (document_.contentReplaced) {
        Rebuild();
        document_.contentReplaced = false;
    } else if (profile_.maxMotorSpeed != lastMaxSpeed_) {
        Rebuild();
    } else {
        RefreshValues();
    }
    show();
    raise();
    activateWindow();
    if (!wasVisible && firstShow_) {
        firstShow_ = false;
        CheckLink(); // once when the window comes up while connected
    }
}

void CParaEditDialog::AdoptMaxSpeed() {
    if (profile_.maxMotorSpeed == lastMaxSpeed_ && profile_.modelCode == lastModelCode_)
        return;
    lastMaxSpeed_ = profile_.maxMotorSpeed;
    lastModelCode_ = profile_.modelCode;
    FillParameterRanges(document_, profile_);
    FillParameterDefaults(document_, profile_);
}

void CParaEditDialog::Rebuild() {
    AdoptMaxSpeed();
    const QList<EditorRow> rows = BuildEditorRows(document_, display_, customTable_, &flags_);
    filling_ = true;
    list_->setUpdatesEnabled(false);
    list_->clearContents();
    list_->setRowCount(static_cast<int>(rows.size()));
    codes_.clear();
    codes_.reserve(rows.size());
    for (int row = 0; row < rows.size(); ++row) {
        codes_.append(rows[row].code);
        FillRow(row, rows[row]);
    }
    WidenColumnsToContent(*list_, *list_->horizontalHeader());
    // The name column stretches over what the others leave: never less than the longest name.
    KeepColumnsInView(*list_, *list_->horizontalHeader(), kName);
    list_->setUpdatesEnabled(true);
    filling_ = false;
    ShowDisplayChoice();
}

void CParaEditDialog::FillRow(int row, const EditorRow& data) {
    const bool wasFilling = filling_;
    filling_ = true;
    const QString texts[kColumnCount] = {data.codeText, data.name,      data.valueText,
                                         data.unitText, data.rangeText, data.defaultText};
    QFont emphasised = list_->font();
    emphasised.setBold(true);
    for (int c = 0; c < kColumnCount; ++c) {
        QTableWidgetItem* item = list_->item(row, c);
        if (item == nullptr) {
            item = new QTableWidgetItem;
            list_->setItem(row, c, item);
        }
        item->setText(texts[c]);
        Qt::ItemFlags itemFlags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (c == kCode) {
            itemFlags |= Qt::ItemIsUserCheckable;
            item->setFlags(itemFlags);
            item->setCheckState(data.checked ? Qt::Checked : Qt::Unchecked);
        } else {
            item->setFlags(itemFlags);
        }
        if (c == kValue || c == kDefault) {
            item->setForeground(c == kValue ? kValueColour : kDefaultColour);
            item->setFont(emphasised);
        }
        item->setBackground(data.highlighted ? QBrush(kChangedBackground) : QBrush());
    }
    filling_ = wasFilling;
}

void CParaEditDialog::RefreshRow(int row) {
    if (row < 0 || row >= codes_.size())
        return;
    FillRow(row, MakeEditorRow(document_, codes_[row], &flags_));
}

void CParaEditDialog::RefreshValues() {
    for (int row = 0; row < codes_.size(); ++row)
        RefreshRow(row);
}

bool CParaEditDialog::event(QEvent* event) {
    // Values may have changed behind the editor (the group windows, the custom table, reads):
    // a user coming back to it sees the document's values before writing any of them.
    if (event->type() == QEvent::WindowActivate)
        RefreshValues();
    return QDialog::event(event);
}

int CParaEditDialog::RowOf(ParamCode code) const {
    return static_cast<int>(codes_.indexOf(code));
}

void CParaEditDialog::OnItemChanged(int row, int column) {
    if (filling_ || column != kCode || row < 0 || row >= codes_.size())
        return;
    flags_.SetChecked(codes_[row], list_->item(row, kCode)->checkState() == Qt::Checked);
}

void CParaEditDialog::ShowDisplayChoice() {
    const DisplaySettings& d = display_;
    QString text;
    if (d.DisplayMode == 0 && d.groupFlags[0])
        text = QStringLiteral("All Parameters");
    else if (d.DisplayMode == 0)
        text = Utf8("选择参数");
    else if (d.DisplayMode == 1)
        text = Utf8("控制模式");
    else
        text = Utf8("自定义参数");
    displayChoice_->setText(text);
}

QList<ParamCode> CParaEditDialog::TickedCodes() const {
    QList<ParamCode> ticked;
    for (const ParamCode& code : codes_) {
        if (flags_.Checked(code))
            ticked.append(code);
    }
    return ticked;
}

bool CParaEditDialog::CheckTicked() {
    if (!TickedCodes().isEmpty())
        return true;
    Message message;
    message.text = StringText(StringId::kNothingSelected);
    message.caption = windowTitle();
    message.icon = MessageIcon::Warning;
    messenger_.Show(message);
    return false;
}

bool CParaEditDialog::CheckLinkForTransfer() {
    if (host_.EditorLinkUp())
        return true;
    ShowNotLinked(messenger_);
    return false;
}

void CParaEditDialog::OnSelectAll() {
    selectAll_ = !selectAll_;
    selectAllBox_->setChecked(selectAll_);
    for (int row = 0; row < codes_.size(); ++row) {
        flags_.SetChecked(codes_[row], selectAll_);
        RefreshRow(row);
    }
}

void CParaEditDialog::OnEdit() {
    EditRow(list_->currentRow());
}

void CParaEditDialog::EditRow(int row) {
    if (row < 0 || row >= codes_.size() || !valueEditor_)
        return;
    const ParamCode code = codes_[row];
    int32_t* slot = document_.values.Slot(code);
    if (slot == nullptr)
        return;
    int32_t value = *slot;
    const int32_t min = *document_.minimums.Slot(code);
    const int32_t max = *document_.maximums.Slot(code);
    if (!valueEditor_(this, code, &value, min, max, messenger_) || value == *slot)
        return;
    // Only this parameter's slot: a quick parameter leaves its speed or position twin alone.
    *slot = value;
    document_.modified = true;
    flags_.SetChanged(code, true);
    flags_.SetChecked(code, true);
    RefreshRow(row);
}

void CParaEditDialog::OnWrite() {
    if (!CheckTicked() || !CheckLinkForTransfer())
        return;
    const QList<ParamCode> codes = TickedCodes();
    QList<int32_t> values;
    for (const ParamCode& code : codes)
        values.append(*document_.values.Slot(code));
    QPointer<CParaEditDialog> self(this);
    host_.RunEditorTransfer([self, codes, values](ParameterTransfer& transfer) {
        qsizetype written = 0;
        transfer.WriteCodes(codes, values, &written);
        if (!self)
            return;
        // Rows written before a failure are in the drive: they lose their highlight.
        for (qsizetype i = 0; i < written; ++i) {
            self->flags_.SetChanged(codes[i], false);
            self->RefreshRow(self->RowOf(codes[i]));
        }
    });
}

void CParaEditDialog::StoreReadValues(const QList<ParamCode>& codes, const QList<int32_t>& values) {
    for (qsizetype i = 0; i < values.size(); ++i) {
        *document_.values.Slot(codes[i]) = values[i];
        flags_.SetChanged(codes[i], false);
    }
    if (!values.isEmpty())
        document_.modified = true;
}

void CParaEditDialog::OnRead() {
    if (!CheckTicked() || !CheckLinkForTransfer())
        return;
    const QList<ParamCode> codes = TickedCodes();
    QPointer<CParaEditDialog> self(this);
    host_.RunEditorTransfer([self, codes](ParameterTransfer& transfer) {
        QList<int32_t> values;
        transfer.ReadCodes(codes, &values);
        if (!self)
            return;
        // A failed read keeps the values read before it.
        self->StoreReadValues(codes, values);
        for (qsizetype i = 0; i < values.size(); ++i)
            self->RefreshRow(self->RowOf(codes[i]));
    });
}

void CParaEditDialog::OnDefaults() {
    if (!CheckTicked())
        return;
    if (messenger_.Show(DefaultsQuestion()) != MessageAnswer::Ok)
        return;
    FillParameterDefaults(document_, profile_);
    for (const ParamCode& code : TickedCodes()) {
        *document_.values.Slot(code) = *document_.defaults.Slot(code);
        flags_.SetChanged(code, true);
        RefreshRow(RowOf(code));
    }
    document_.modified = true;
}

void CParaEditDialog::OnCompare() {
    if (codes_.isEmpty())
        return;
    QPointer<CParaEditDialog> self(this);
    host_.RunEditorTransfer([self](ParameterTransfer& transfer) {
        if (!self)
            return;
        const CompareResult result = CompareParameters(transfer, self->host_.EditorLinkUp(),
                                                       self->document_, self->messenger_);
        if (result.outcome != CompareOutcome::Different)
            return;
        CCompareDialog dialog(result.rows, self);
        dialog.exec();
    });
}

void CParaEditDialog::OnChange() {
    CChangeDialog dialog(display_, customTable_, messenger_, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    ApplyChangeDialog(dialog.State(), display_, customTable_);
    Rebuild();
}

void CParaEditDialog::CheckLink() {
    const bool linkUp = host_.EditorLinkUp();
    // A hidden window asks nothing but notices a lost link, so that showing it again asks for a
    // new connection and not again for the one it already asked about.
    if (!isVisible()) {
        if (!linkUp)
            watch_.Tick(false);
        return;
    }
    if (!watch_.Tick(linkUp))
        return;
    QPointer<CParaEditDialog> self(this);
    host_.RunEditorTransfer([self](ParameterTransfer& transfer) {
        if (self)
            self->ReadWholeDrive(transfer);
    });
}

void CParaEditDialog::ReadWholeDrive(ParameterTransfer& transfer) {
    switch (AskToReadDrive(messenger_, document_.modified)) {
    case DriveReadChoice::Skip: return;
    case DriveReadChoice::SaveThenRead:
        // The read replaces the document's values: without the save they would be lost.
        if (!host_.SaveEditorDocument())
            return;
        document_.modified = false;
        break;
    case DriveReadChoice::Read: break;
    }
    if (!CheckLinkForTransfer())
        return;
    const QList<ParamCode> codes = AllParameterCodes();
    QList<int32_t> values;
    const bool complete = transfer.ReadCodes(codes, &values);
    StoreReadValues(codes, values);
    if (complete) {
        // The quick group shows the speed- and position-loop values it stands for.
        CopyQuickValuesFromTwins(document_.values);
        FillParameterDefaults(document_, profile_);
        FillParameterRanges(document_, profile_);
        lastMaxSpeed_ = profile_.maxMotorSpeed;
        lastModelCode_ = profile_.modelCode;
    }
    Rebuild();
}

void CParaEditDialog::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    // Closing only hides the window; a minimised owner is no closing.
    if (!event->spontaneous())
        emit closed();
}
