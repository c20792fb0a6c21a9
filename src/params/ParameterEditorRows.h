#pragma once

#include "drive/ParamCode.h"
#include "params/CustomTable.h"
#include "params/DisplaySettings.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

class CNolvaServoDoc;
class Messenger;

// The parameter editor's list without its window: which parameters it lists for the display
// settings, and the texts of each row's columns.

// Control modes a parameter matters in, and the mask the display settings select.
inline constexpr int32_t kTorqueModeBit = 0x1000;
inline constexpr int32_t kSpeedModeBit = 0x0100;
inline constexpr int32_t kInternalPositionModeBit = 0x0010;
inline constexpr int32_t kExternalPulseModeBit = 0x0001;

// Membership mask of a parameter; 0 for a code that is no parameter.
int32_t ControlModeMembership(ParamCode code);

// The mask of the four control-mode flags (torque, speed, internal positions, external pulses).
int32_t ControlModeMaskOf(const std::array<bool, 4>& controlModeFlags);

// Listed parameters in list order. Mode 0: the groups whose flag (Cn..Hn, flags 1..6) is on, in
// group order, numbers ascending. Mode 1: every parameter whose membership meets the settings'
// control-mode mask. Mode 2: the custom list in its order; entries that name no parameter are
// passed over. Any other mode lists nothing.
QList<ParamCode> EditorCodes(const DisplaySettings& settings, const CustomTable& custom);

// Per parameter slot (groups C, T, S, P, q, H; 70 slots each): whether its row is ticked, and
// whether its value was changed in the editor and not yet written or read.
class EditorRowFlags {
public:
    static constexpr int kSlotsPerGroup = 70;

    bool Checked(ParamCode code) const;
    bool Changed(ParamCode code) const;
    // Codes that are no parameter of the six groups are ignored.
    void SetChecked(ParamCode code, bool on);
    void SetChanged(ParamCode code, bool on);

private:
    using Table = std::array<std::array<bool, kSlotsPerGroup>, kParamGroupCount>;
    static bool* Slot(Table& table, ParamCode code);
    static bool Get(const Table& table, ParamCode code);
    Table checked_{};
    Table changed_{};
};

struct EditorRow {
    ParamCode code;
    QString codeText;    // "代号"
    QString name;        // "参数名称"
    QString valueText;   // "设定值": the document value through FormatValue
    QString unitText;    // "单位"
    QString rangeText;   // "设定范围": the document's minimum and maximum
    QString defaultText; // "默认值": FormatValue as a default (Cn005 names the encoder pulses)
    bool checked = false;
    bool highlighted = false; // changed in the editor
};

// One row from the document's current tables.
EditorRow MakeEditorRow(const CNolvaServoDoc& document, ParamCode code,
                        const EditorRowFlags* flags = nullptr);

QList<EditorRow> BuildEditorRows(const CNolvaServoDoc& document, const DisplaySettings& settings,
                                 const CustomTable& custom, const EditorRowFlags* flags = nullptr);

// Column headers: "代号", "参数名称", "设定值", "单位", "设定范围", "默认值".
QStringList EditorColumnHeaders();

// Asking once per connection whether to read the whole drive. The editor's timer passes the
// link state every 400 ms (and once when the window is made); Tick answers true exactly when the
// link is up and the editor has not yet reacted to this connection. A link going down is
// forgotten, so the next connection asks again.
class EditorLinkWatch {
public:
    bool Tick(bool linkUp);

private:
    bool reacted_ = false;
};

// The questions before reading the whole drive at a connection: string 221 (Yes/No), then, for a
// modified document, string 223 (Yes/No/Cancel).
enum class DriveReadChoice {
    Skip,         // No to reading, or Cancel to saving
    SaveThenRead, // save the document first
    Read,
};
DriveReadChoice AskToReadDrive(Messenger& messenger, bool documentModified);

// What the read at a connection covers: all 161 parameters, groups C, T, S, P, q, H.
QList<ParamCode> AllParameterCodes();
