#include "params/ParameterEditorRows.h"

#include "base/Messenger.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "drive/CatalogueTable.h"
#include "drive/ParameterCatalogue.h"
#include "params/CustomListEditor.h"
#include "params/NolvaServoDoc.h"

namespace {

constexpr int kColumnCount = 6;

constexpr int32_t kAllModes = 0x1111;

// Ranges of parameter numbers with the control modes they matter in; a parameter not named
// here matters in none.
struct MembershipRange {
    char letter;
    int first;
    int last;
    int32_t mask;
};

constexpr MembershipRange kMembership[] = {
    {'C', 1, 3, kAllModes},   {'C', 4, 4, 0x1100},     {'C', 5, 6, kAllModes},
    {'C', 7, 7, 0x1100},      {'C', 8, 12, kAllModes}, {'C', 13, 26, 0x0111},
    {'C', 27, 31, kAllModes}, {'C', 32, 32, 0x0111},   {'C', 33, 33, 0x0011},
    {'C', 34, 40, kAllModes}, {'T', 1, 7, 0x1000},     {'T', 8, 8, kAllModes},
    {'S', 1, 10, 0x0100},     {'S', 11, 14, 0x0111},   {'S', 15, 18, 0x0100},
    {'P', 1, 1, 0x0011},      {'P', 2, 6, 0x0001},     {'P', 7, 15, 0x0011},
    {'P', 16, 64, 0x0010},    {'P', 65, 69, 0x0011},   {'q', 1, 4, 0x0111},
    {'q', 5, 7, 0x0011},      {'H', 1, 19, kAllModes},
};

ParamCode CodeOfEntry(const CustomEntry& entry) {
    return ParamCode{GroupInfo(entry.Group - 1).letter, entry.Index + 1};
}

} // namespace

int32_t ControlModeMembership(ParamCode code) {
    const auto [letter, number] = code;
    if (FindParam({letter, number}) == nullptr) {
        return 0;
    }
    for (const MembershipRange& range : kMembership) {
        if (range.letter == letter && number >= range.first && number <= range.last) {
            return range.mask;
        }
    }
    return 0;
}

int32_t ControlModeMaskOf(const std::array<bool, 4>& controlModeFlags) {
    constexpr int32_t kBits[4] = {kTorqueModeBit, kSpeedModeBit, kInternalPositionModeBit,
                                  kExternalPulseModeBit};
    int32_t mask = 0;
    for (int i = 0; i < 4; ++i) {
        if (controlModeFlags[i]) {
            mask += kBits[i];
        }
    }
    return mask;
}

QList<ParamCode> EditorCodes(const DisplaySettings& settings, const CustomTable& custom) {
    QList<ParamCode> codes;
    switch (settings.DisplayMode) {
    case 0:
        for (const ParamSpec& p : AllParameters()) {
            if (settings.groupFlags[GroupIndexOfLetter(p.letter) + 1]) {
                codes.append(ParamCode{p.letter, p.number});
            }
        }
        break;
    case 1:
        for (const ParamSpec& p : AllParameters()) {
            if ((ControlModeMembership({p.letter, p.number}) & settings.controlModeMask) != 0) {
                codes.append(ParamCode{p.letter, p.number});
            }
        }
        break;
    case 2:
        for (const CustomEntry& entry : custom.Entries) {
            if (IsParameterEntry(entry)) {
                codes.append(CodeOfEntry(entry));
            }
        }
        break;
    default: break;
    }
    return codes;
}

// ---- Row flags ----

bool* EditorRowFlags::Slot(Table& table, ParamCode code) {
    const int group = GroupIndexOfLetter(code.letter);
    if (group < 0 || code.number < 1 || code.number > kSlotsPerGroup) {
        return nullptr;
    }
    return &table[group][code.number - 1];
}

bool EditorRowFlags::Get(const Table& table, ParamCode code) {
    const bool* slot = Slot(const_cast<Table&>(table), code);
    return slot != nullptr && *slot;
}

bool EditorRowFlags::Checked(ParamCode code) const {
    return Get(checked_, code);
}

bool EditorRowFlags::Changed(ParamCode code) const {
    return Get(changed_, code);
}

void EditorRowFlags::SetChecked(ParamCode code, bool on) {
    if (bool* slot = Slot(checked_, code)) {
        *slot = on;
    }
}

void EditorRowFlags::SetChanged(ParamCode code, bool on) {
    if (bool* slot = Slot(changed_, code)) {
        *slot = on;
    }
}

// ---- Rows ----

EditorRow MakeEditorRow(const CNolvaServoDoc& document, ParamCode code,
                        const EditorRowFlags* flags) {
    EditorRow row;
    row.code = code;
    row.codeText = code.Text();
    row.name = ParameterName(code);
    const int32_t* value = document.values.Slot(code);
    const int32_t* min = document.minimums.Slot(code);
    const int32_t* max = document.maximums.Slot(code);
    const int32_t* def = document.defaults.Slot(code);
    if (value != nullptr) {
        row.valueText = FormatValue(code, *value, false);
        row.unitText = UnitText(code);
        row.rangeText = RangeText(code, *min, *max);
        row.defaultText = FormatValue(code, *def, true);
    }
    if (flags != nullptr) {
        row.checked = flags->Checked(code);
        row.highlighted = flags->Changed(code);
    }
    return row;
}

QList<EditorRow> BuildEditorRows(const CNolvaServoDoc& document, const DisplaySettings& settings,
                                 const CustomTable& custom, const EditorRowFlags* flags) {
    QList<EditorRow> rows;
    for (const ParamCode& code : EditorCodes(settings, custom)) {
        rows.append(MakeEditorRow(document, code, flags));
    }
    return rows;
}

QStringList EditorColumnHeaders() {
    QStringList headers;
    for (int i = 0; i < kColumnCount; ++i) {
        headers.append(StringText(StringId::kCodeHeader + i));
    }
    return headers;
}

// ---- Reading the drive at a connection ----

bool EditorLinkWatch::Tick(bool linkUp) {
    if (!linkUp) {
        reacted_ = false;
        return false;
    }
    if (reacted_) {
        return false;
    }
    reacted_ = true;
    return true;
}

DriveReadChoice AskToReadDrive(Messenger& messenger, bool documentModified) {
    Message read;
    read.text = StringText(StringId::kReadDriveQuestion);
    read.caption = StringText(StringId::kReadDriveCaption);
    read.icon = MessageIcon::Question;
    read.buttons = MessageButtons::YesNo;
    if (messenger.Show(read) != MessageAnswer::Yes) {
        return DriveReadChoice::Skip;
    }
    if (!documentModified) {
        return DriveReadChoice::Read;
    }
    Message save;
    save.text = StringText(StringId::kSaveQuestion);
    save.caption = StringText(StringId::kSaveCaption);
    save.icon = MessageIcon::Warning;
    save.buttons = MessageButtons::YesNoCancel;
    switch (messenger.Show(save)) {
    case MessageAnswer::Yes: return DriveReadChoice::SaveThenRead;
    case MessageAnswer::No: return DriveReadChoice::Read;
    default: return DriveReadChoice::Skip;
    }
}

QList<ParamCode> AllParameterCodes() {
    QList<ParamCode> codes;
    for (const ParamSpec& p : AllParameters()) {
        codes.append(ParamCode{p.letter, p.number});
    }
    return codes;
}
