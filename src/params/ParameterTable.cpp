#include "params/ParameterTable.h"

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "drive/ParameterCatalogue.h"
#include "params/CustomListEditor.h"
#include "params/NolvaServoDoc.h"
#include "params/ParameterRequests.h"
#include "params/ParameterTransfer.h"

#include <algorithm>

namespace {

// The group windows' own texts. The unit tables are these windows' and not the catalogue's:
// unit of row r at units[r - 1], "" for none.
struct GroupWindowInfo {
    int titleId;          // "控制参数" ...
    int nameBase;         // name of row r: string nameBase + r
    const char* codeForm; // code of row r
    std::array<const char*, 16> units;
};

const GroupWindowInfo& WindowInfo(ParamGroup group) {
    static const GroupWindowInfo kControl{
        204,
        400,
        "Cn%03d",
        {"", "", "ms", "", "", "", "rpm", "", "", "%", "%", "W", "Hz", "", "", ""}};
    static const GroupWindowInfo kTorque{
        205,
        440,
        "Tn1%02d",
        {"", "ms", "%/10V", "mV", "rpm", "rpm", "rpm", "", "", "", "", "", "", "", "", ""}};
    static const GroupWindowInfo kSpeed{206,
                                        450,
                                        "Sn2%02d",
                                        {"rpm", "rpm", "rpm", "", "", "ms", "ms", "ms", "rpm",
                                         "rpm", "", "ms", "rpm", "rpm/10V", "mV", "rpm"}};
    static const GroupWindowInfo kPosition{
        207,
        470,
        "Pn3%02d",
        {"", "", "", "", "10Pulse", "10Pulse", "", "", "ms", "", "", "", "", "", "", ""}};
    switch (group) {
    case ParamGroup::Torque: return kTorque;
    case ParamGroup::Speed: return kSpeed;
    case ParamGroup::Position: return kPosition;
    default: return kControl;
    }
}

QString Decimal(int32_t value) {
    return QString::number(value);
}

QString UpTo(int32_t from, int32_t n) {
    return QStringLiteral("%1~%2").arg(from).arg(n);
}

} // namespace

QStringList TableHeaderTexts() {
    QStringList texts;
    for (int i = 0; i < kTableColumnCount; ++i) {
        texts.append(StringText(StringId::kCodeHeader + i));
    }
    return texts;
}

std::array<int, kTableColumnCount> TableColumnWidths() {
    return {70, 250, 70, 80, 110, 70};
}

Message NoParameterSelectedMessage() {
    Message message;
    message.text = StringText(StringId::kNothingSelected);
    message.caption = StringText(StringId::kWriteCaption);
    message.icon = MessageIcon::Warning;
    return message;
}

Message DefaultsQuestion() {
    Message message;
    message.text = StringText(StringId::kDefaultsQuestion);
    message.caption = StringText(StringId::kDefaultsCaption);
    message.icon = MessageIcon::Warning;
    message.buttons = MessageButtons::OkCancel;
    return message;
}

Message WholeListOnlyMessage(const QString& codeText) {
    Message message;
    message.text =
        QString::fromUtf8("%1 不能单独写入，请用“写入所有(A)”写入整个自定义参数表。").arg(codeText);
    message.caption = StringText(StringId::kWriteCaption);
    message.icon = MessageIcon::Information;
    return message;
}

// ---- ParameterTable ----

ParamCode ParameterTable::CodeOfRow(int row) const {
    return row >= 1 && row <= RowCount() ? rows_[row - 1].code : ParamCode{};
}

QString ParameterTable::Text(int row, TableColumn column) const {
    if (row < 1 || row > RowCount()) {
        return {};
    }
    return rows_[row - 1].texts[static_cast<int>(column)];
}

QString& ParameterTable::Cell(int row, TableColumn column) {
    return rows_[row - 1].texts[static_cast<int>(column)];
}

ParameterTable::Row ParameterTable::MakeRow(const CNolvaServoDoc& document, const ParamCode& code,
                                            const QString& codeText, const QString& unit) {
    Row row;
    row.code = code;
    row.texts[static_cast<int>(TableColumn::Code)] = codeText;
    row.texts[static_cast<int>(TableColumn::Name)] = ParameterName(code);
    row.texts[static_cast<int>(TableColumn::Value)] = Decimal(*document.values.Slot(code));
    row.texts[static_cast<int>(TableColumn::Unit)] = unit;
    SetLimitTexts(row, document);
    return row;
}

void ParameterTable::SetLimitTexts(Row& row, const CNolvaServoDoc& document) {
    const int32_t min = *document.minimums.Slot(row.code);
    const int32_t max = *document.maximums.Slot(row.code);
    row.texts[static_cast<int>(TableColumn::Range)] = min == max ? QString() : UpTo(min, max);
    row.texts[static_cast<int>(TableColumn::Default)] = Decimal(*document.defaults.Slot(row.code));
}

void ParameterTable::RefreshValues(const CNolvaServoDoc& document) {
    for (Row& row : rows_) {
        row.texts[static_cast<int>(TableColumn::Value)] = Decimal(*document.values.Slot(row.code));
    }
}

TypedValue ParameterTable::TakeTypedValue(CNolvaServoDoc& document, int row, const QString& text) {
    if (row < 1 || row > RowCount()) {
        return TypedValue::Invalid;
    }
    const ParamCode code = rows_[row - 1].code;
    int32_t* value = document.values.Slot(code);
    const int32_t min = *document.minimums.Slot(code);
    const int32_t max = *document.maximums.Slot(code);
    bool ok = false;
    const int typed = text.trimmed().toInt(&ok, 10);
    const bool inRange = min == max || (typed >= min && typed <= max);
    TypedValue result = TypedValue::Invalid;
    if (ok && inRange) {
        if (*value != typed) {
            *value = typed;
            document.modified = true;
        }
        result = TypedValue::Accepted;
    }
    Cell(row, TableColumn::Value) = Decimal(*value);
    return result;
}

QString ParameterTable::InvalidValueText(const CNolvaServoDoc& document, int row) const {
    const ParamCode code = CodeOfRow(row);
    if (code.letter == 0) {
        return {};
    }
    const int32_t min = *document.minimums.Slot(code);
    const int32_t max = *document.maximums.Slot(code);
    return QString::fromUtf8("%1 的设定值必须是 %2 到 %3 之间的整数。")
        .arg(Text(row, TableColumn::Code))
        .arg(min)
        .arg(max);
}

// ---- GroupTable ----

GroupTable::GroupTable(ParamGroup group, const CNolvaServoDoc& document, int32_t maxMotorSpeed)
    : ParameterTable(maxMotorSpeed), group_(group) {
    const GroupWindowInfo& info = WindowInfo(group);
    const int count = ParameterTransfer::CoveredCount(group);
    for (int r = 1; r <= count; ++r) {
        const ParamCode code{GroupInfo(group).letter, r};
        Row row = MakeRow(document, code, QString::asprintf(info.codeForm, r), UnitOfRow(group, r));
        row.texts[static_cast<int>(TableColumn::Name)] = StringText(info.nameBase + r);
        rows_.append(row);
    }
}

QString GroupTable::Title() const {
    return StringText(WindowInfo(group_).titleId);
}

QString GroupTable::UnitOfRow(ParamGroup group, int row) {
    if (!HasGroupWindow(group) || row < 1 ||
        row > ParameterTransfer::CoveredCount(group)) {
        return {};
    }
    return QString::fromUtf8(WindowInfo(group).units[row - 1]);
}

bool GroupTable::AdoptMaxSpeed(CNolvaServoDoc& document, const DriveProfile& profile) {
    const int32_t n = profile.maxMotorSpeed;
    if (n == lastMaxSpeed_) {
        return false;
    }
    lastMaxSpeed_ = n;
    if (group_ == ParamGroup::Position) {
        return false; // nothing it shows depends on the speed
    }
    if (group_ == ParamGroup::Speed) {
        FillParameterDefaults(document, profile);
    }
    FillParameterRanges(document, profile);
    // Every row shows the document's limits again (so that Sn216's default, N, follows too), then
    // the rows whose texts the window states in terms of N.
    for (Row& row : rows_) {
        SetLimitTexts(row, document);
    }
    switch (group_) {
    case ParamGroup::Control: Cell(7, TableColumn::Range) = UpTo(0, n); break;
    case ParamGroup::Torque:
        for (int r : {5, 6, 7}) {
            Cell(r, TableColumn::Range) = UpTo(0, n);
        }
        break;
    case ParamGroup::Speed:
        for (int r : {1, 2, 3}) {
            Cell(r, TableColumn::Range) = UpTo(-n, n);
        }
        for (int r : {9, 10, 13}) {
            Cell(r, TableColumn::Range) = UpTo(0, n);
        }
        Cell(10, TableColumn::Default) = Decimal(document.defaults.speed[10 - 1]);
        Cell(14, TableColumn::Range) = UpTo(100, n);
        Cell(14, TableColumn::Default) = Decimal(document.defaults.speed[14 - 1]);
        break;
    default: break;
    }
    return true;
}

void GroupTable::ResetToDefaults(CNolvaServoDoc& document) {
    const auto defaults = document.defaults.Group(group_);
    std::copy(defaults.begin(), defaults.end(), document.values.Group(group_).begin());
    document.modified = true;
    RefreshValues(document);
}

// ---- CustomParameterTable ----

void CustomParameterTable::Fill(const QList<CustomEntry>& rows, const CNolvaServoDoc& document) {
    entries_.clear();
    rows_.clear();
    failed_.clear();
    for (const CustomEntry& entry : rows) {
        if (!IsParameterEntry(entry)) {
            continue;
        }
        const ParamCode code{GroupInfo(entry.Group - 1).letter, entry.Index + 1};
        entries_.append(entry);
        rows_.append(MakeRow(document, code, code.Text(), UnitText(code)));
    }
}

void CustomParameterTable::RefreshAfterRead(const CNolvaServoDoc& document) {
    failed_.clear();
    RefreshValues(document);
}

std::optional<ParameterRequest> CustomParameterTable::WriteOneRequestOfRow(int row) const {
    if (row < 1 || row > RowCount()) {
        return std::nullopt;
    }
    const int groupIndex = entries_[row - 1].Group - 1; // custom-list groups count from 1
    if (groupIndex < 0 || groupIndex >= kParamGroupCount ||
        !HasGroupWindow(static_cast<ParamGroup>(groupIndex))) {
        return std::nullopt;
    }
    return ParameterRequest::WriteCustomRow(row, static_cast<ParamGroup>(groupIndex));
}

void CustomParameterTable::MarkFailed(int row) {
    if (row >= 1 && row <= RowCount()) {
        failed_.insert(row);
    }
}

void CustomParameterTable::ClearMark(int row) {
    failed_.erase(row);
}

bool CustomParameterTable::AdoptMaxSpeed(CNolvaServoDoc& document, const DriveProfile& profile) {
    if (profile.maxMotorSpeed == lastMaxSpeed_) {
        return false;
    }
    lastMaxSpeed_ = profile.maxMotorSpeed;
    FillParameterDefaults(document, profile);
    FillParameterRanges(document, profile);
    for (Row& row : rows_) {
        SetLimitTexts(row, document);
    }
    return true;
}

void CustomParameterTable::ResetToDefaults(CNolvaServoDoc& document) {
    document.modified = true;
    for (const Row& row : rows_) {
        *document.values.Slot(row.code) = *document.defaults.Slot(row.code);
    }
    RefreshValues(document);
}
