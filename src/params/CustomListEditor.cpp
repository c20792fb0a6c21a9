#include "params/CustomListEditor.h"

#include "drive/ParamCode.h"
#include "drive/ParameterCatalogue.h"

#include <algorithm>

namespace {

ParamCode CodeOf(const CustomEntry& entry) {
    return ParamCode{GroupInfo(entry.Group - 1).letter, entry.Index + 1};
}

// The selection after the selected row left a list of (now) `size` rows: the row that took its
// place, or the last row, or none.
int SelectionAfterTaking(int taken, qsizetype size) {
    if (size == 0) {
        return -1;
    }
    return std::min(taken, static_cast<int>(size) - 1);
}

} // namespace

bool IsParameterEntry(const CustomEntry& entry) {
    return entry.Group >= 1 && entry.Group <= kParamGroupCount && entry.Index >= 0 &&
           entry.Index < GroupInfo(entry.Group - 1).count;
}

QList<CustomEntry> CustomTableWindowRows(const CustomTable& table) {
    QList<CustomEntry> rows;
    for (const CustomEntry& entry : table.Entries) {
        if (rows.size() == kCustomTableWindowRows) {
            break;
        }
        if (IsParameterEntry(entry)) {
            rows.append(entry);
        }
    }
    return rows;
}

QString CustomEntryText(const CustomEntry& entry) {
    if (!IsParameterEntry(entry)) {
        return {};
    }
    const ParamCode code = CodeOf(entry);
    return code.Text() + QLatin1Char(':') + ParameterName(code);
}

CustomListEditor::CustomListEditor(const QList<CustomEntry>& entries) {
    for (auto& group : availableFlags_) {
        group.fill(true);
    }
    for (const CustomEntry& entry : entries) {
        if (IsParameterEntry(entry) && IsAvailable(entry)) {
            custom_.append(entry);
            Flags(entry)[entry.Index] = false;
        }
    }
    RebuildAvailable();
}

std::array<bool, 70>& CustomListEditor::Flags(const CustomEntry& entry) {
    return availableFlags_[entry.Group - 1];
}

bool CustomListEditor::IsAvailable(const CustomEntry& entry) const {
    return IsParameterEntry(entry) && availableFlags_[entry.Group - 1][entry.Index];
}

void CustomListEditor::RebuildAvailable() {
    available_.clear();
    for (int group = 0; group < kParamGroupCount; ++group) {
        for (int index = 0; index < GroupInfo(group).count; ++index) {
            if (availableFlags_[group][index]) {
                available_.append(CustomEntry{group + 1, index});
            }
        }
    }
}

int CustomListEditor::CatalogueRank(const CustomEntry& entry) const {
    return entry.Group * 100 + entry.Index;
}

QStringList CustomListEditor::AvailableTexts() const {
    QStringList texts;
    for (const CustomEntry& entry : available_) {
        texts.append(CustomEntryText(entry));
    }
    return texts;
}

QStringList CustomListEditor::CustomTexts() const {
    QStringList texts;
    for (const CustomEntry& entry : custom_) {
        texts.append(CustomEntryText(entry));
    }
    return texts;
}

void CustomListEditor::SelectAvailable(int row) {
    availableSelection_ = row >= 0 && row < available_.size() ? row : -1;
}

void CustomListEditor::SelectCustom(int row) {
    customSelection_ = row >= 0 && row < custom_.size() ? row : -1;
}

CustomListEditor::Result CustomListEditor::Add() {
    if (availableSelection_ < 0) {
        return Result::Nothing;
    }
    if (custom_.size() >= kMaxEntries) {
        return Result::Full;
    }
    const CustomEntry entry = available_.takeAt(availableSelection_);
    availableSelection_ = SelectionAfterTaking(availableSelection_, available_.size());
    if (customSelection_ >= 0) {
        custom_.insert(customSelection_, entry);
        ++customSelection_; // the selection stays on the entry it was on
    } else {
        custom_.append(entry);
    }
    Flags(entry)[entry.Index] = false;
    return Result::Done;
}

CustomListEditor::Result CustomListEditor::Remove() {
    if (customSelection_ < 0) {
        return Result::Nothing;
    }
    const CustomEntry entry = custom_.takeAt(customSelection_);
    customSelection_ = SelectionAfterTaking(customSelection_, custom_.size());
    Flags(entry)[entry.Index] = true;
    const auto place =
        std::find_if(available_.begin(), available_.end(), [&](const CustomEntry& other) {
            return CatalogueRank(other) > CatalogueRank(entry);
        });
    const int row = static_cast<int>(place - available_.begin());
    available_.insert(row, entry);
    if (availableSelection_ >= row) {
        ++availableSelection_; // the selection stays on the entry it was on
    }
    return Result::Done;
}

CustomListEditor::Result CustomListEditor::AddAll() {
    if (available_.isEmpty()) {
        return Result::Nothing;
    }
    if (custom_.size() >= kMaxEntries) {
        return Result::Full;
    }
    while (!available_.isEmpty() && custom_.size() < kMaxEntries) {
        const CustomEntry entry = available_.takeFirst();
        custom_.append(entry);
        Flags(entry)[entry.Index] = false;
    }
    availableSelection_ = -1;
    return available_.isEmpty() ? Result::Done : Result::Full;
}

CustomListEditor::Result CustomListEditor::RemoveAll() {
    if (custom_.isEmpty()) {
        return Result::Nothing;
    }
    for (auto& group : availableFlags_) {
        group.fill(true);
    }
    custom_.clear();
    customSelection_ = -1;
    availableSelection_ = -1;
    RebuildAvailable();
    return Result::Done;
}

CustomListEditor::Result CustomListEditor::MoveUp() {
    if (customSelection_ <= 0) {
        return Result::Nothing;
    }
    custom_.swapItemsAt(customSelection_, customSelection_ - 1);
    --customSelection_;
    return Result::Done;
}

CustomListEditor::Result CustomListEditor::MoveDown() {
    if (customSelection_ < 0 || customSelection_ >= custom_.size() - 1) {
        return Result::Nothing;
    }
    custom_.swapItemsAt(customSelection_, customSelection_ + 1);
    ++customSelection_;
    return Result::Done;
}

CustomListEditor::Buttons CustomListEditor::EnabledButtons() const {
    Buttons buttons;
    buttons.add = !available_.isEmpty();
    buttons.addAll = !available_.isEmpty();
    buttons.removeAll = !custom_.isEmpty();
    buttons.remove = customSelection_ >= 0;
    buttons.moveUp = customSelection_ > 0;
    buttons.moveDown = customSelection_ >= 0 && customSelection_ < custom_.size() - 1;
    return buttons;
}

QString CustomListEditor::FullMessageText() {
    return QString::fromUtf8("自定义参数表最多只能加入 %1 个参数。").arg(kMaxEntries);
}
