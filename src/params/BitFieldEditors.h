#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// What the small editors of the parameter editor show and how they turn list choices into a
// parameter value. The windows only show these lists and call these functions; nothing here
// talks to the drive. Values are display values (signed 32-bit), as everywhere else.

// Which editor a parameter opens.
enum class ValueEditorKind {
    Generic,         // plain number: the value editor with range check (CEditValueDialog)
    Digits,          // one list per hexadecimal digit: Cn002, Cn006, Cn015, Cn037, Pn301,
                     // Pn316, Pn365
    ContactFunction, // Hn501..Hn517: function number and active level
    ContactMask,     // Hn518, Hn519: one list per input contact bit
    Rigidity,        // Cn026: level buttons 1..A
    Model,           // Cn030: read-only value and the model list button
};

ValueEditorKind EditorKindOf(const QString& code);

// Caption of every editor window.
QString EditorWindowTitle(); // "编辑"

// The read-only "设定值：" field of the bit-field editors: the value in the parameter's
// catalogue format, four hexadecimal digits.
QString ValueFieldText(const QString& code, int32_t value);

// ---- Digit and bit lists ----

// One drop-down list: a field of `width` bits at bit `shift`; list item i = field value i.
struct FieldList {
    int shift = 0;
    int width = 4;
    QString name;      // "Pn365.2"; "DI-1" for the contact masks
    QString caption;   // what the digit chooses
    QString rangeText; // "(0-2)"; empty for the contact masks
    QStringList items; // "0: ...", "1: ..."

    uint32_t Mask() const { return ((1u << width) - 1u) << shift; }
};

// An editor made of field lists: the digit editors and the contact mask editors.
struct FieldEditor {
    QString code;      // "Pn365"
    QString heading;   // " 原点复归激活模式设定"
    QString rangeText; // "(0000-1225)"
    uint32_t keptMask; // bits a choice leaves in place (those outside every list included)
    std::vector<FieldList> lists;
};

// The editor of a Digits or ContactMask parameter; null for any other code.
const FieldEditor* FieldEditorFor(const QString& code);

// The four hexadecimal digits of a value, digit 0 = bits 0..3 (the parameter's ".0").
std::array<int, 4> HexDigits(int32_t value);

// Field value of one list within `value`.
int FieldValue(const FieldList& list, int32_t value);

// The item a list shows for `value`: the field value, or -1 (nothing selected) when the list
// has no item for it. Such a field keeps its value until an item is chosen.
int SelectedItem(const FieldList& list, int32_t value);
std::vector<int> SelectedItems(const FieldEditor& editor, int32_t value);

// The value after item `item` is chosen in list `listIndex`: the list's field takes the item,
// the other bits of keptMask stay, everything above is cleared (digit editors keep 16 bits,
// the contact masks 13). An item or list index outside the editor leaves `value` unchanged.
int32_t ChooseItem(const FieldEditor& editor, int32_t value, int listIndex, int item);

// ---- Contact function editor (Hn501..Hn517) ----

struct ContactEditor {
    QString code;              // "Hn501"
    QString heading;           // "DI-1接脚功能设定"
    QString rangeText;         // "(0001-011C)" / "(0001-0108)"
    QString functionLabel;     // "Hn501.1 && Hn501.0"
    QString functionCaption;   // "DI-1接脚功能\n"
    QString functionRangeText; // "(01-1C)" / "(01-08)"
    QStringList functionItems; // item i = function number i + 1
    QString levelLabel;        // "Hn501.2"
    QString levelCaption;      // "DI-1接脚功能动作电位\n"
    QStringList levelItems;    // item i = level i
    bool input = true;         // DI contact (Hn501..Hn513) or DO contact
};

// Contact number n is the code's last two digits; 1..13 are inputs, any other an output
// (n − 13 names it: Hn514 is DO-1).
ContactEditor ContactEditorFor(const QString& code);

// Function number (digits 1 and 0) and active level (digit 2) of a contact value.
int ContactFunctionCode(int32_t value);
int ContactLevel(int32_t value);

// Selected items of the two lists, -1 when the list has no item for the value.
int ContactFunctionItem(const ContactEditor& editor, int32_t value);
int ContactLevelItem(const ContactEditor& editor, int32_t value);

// Value after a choice: level × 0x100 + function number; digit 3 and above are cleared.
// An item outside its list leaves `value` unchanged.
int32_t ChooseContactFunction(const ContactEditor& editor, int32_t value, int item);
int32_t ChooseContactLevel(const ContactEditor& editor, int32_t value, int item);

// ---- Rigidity editor (Cn026) ----

struct RigidityGains {
    int positionLoopGain;
    int speedLoopGain;
    int speedIntegralTime;
};

inline constexpr int kRigidityLevels = 10;

struct RigidityEditor {
    QString code;              // "Cn026"
    QString heading;           // " 刚性设定"
    QString rangeText;         // "(0001-000A)"
    QString hint;              // "(1-9, A)"
    QString explanation;       // how to pick a level
    QStringList buttons;       // "1" .. "9", "A": button i = level i + 1
    QStringList gainRowLabels; // position loop gain, speed loop gain, speed integral time
    std::array<RigidityGains, kRigidityLevels> gains; // per level 1..10
};

const RigidityEditor& Cn026Editor();

// Opening keeps only digit 0: the level, which also becomes the value.
int32_t RigidityValueAtOpening(int32_t value);
// Button of a level (0..9), -1 when the level has none.
int RigidityButton(int32_t value);
// Value after choosing button `button`; outside the buttons the value stays.
int32_t ChooseRigidityButton(int32_t value, int button);

// ---- Model editor (Cn030) ----

struct ModelEditor {
    QString code;        // "Cn030"
    QString heading;     // " 系列化机种设定"
    QString rangeText;   // "(0000-1FFF)"
    QString warning;     // read the manual first
    QString modelButton; // "设定型号(&S)..."
};

const ModelEditor& Cn030Editor();

// Value after the model list closes: its code on OK, the old value otherwise.
int32_t AfterModelChoice(int32_t value, std::optional<int32_t> chosenCode);

// ---- Generic value editor ----

inline constexpr int32_t kValueEditorDefaultMin = 0;
inline constexpr int32_t kValueEditorDefaultMax = 99999;
inline constexpr int kValueEditMaxLength = 6;

// Whether the model list button is shown (and enabled): only for Cn030.
bool ValueEditorHasModelButton(const QString& code);

// Number in the edit field; nullopt when the text is no decimal integer.
std::optional<int32_t> ParseValueText(const QString& text);

// Whether typed text may stay: empty text, and a lone "-" when the range reaches below 0, are
// an edit in progress; anything else must be a number within min..max and fit the field.
bool ValueTextAcceptable(const QString& text, int32_t min, int32_t max);

// The spin control: the current value moved by `steps` (1 up, -1 down), held within min..max.
int32_t SpinValue(int32_t current, int steps, int32_t min, int32_t max);

// "确定": above max becomes max, below min becomes min.
int32_t LimitToRange(int32_t value, int32_t min, int32_t max);
