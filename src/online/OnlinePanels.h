#pragma once

#include "drive/DriveProfile.h"
#include "drive/ParamCode.h"

#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// The online editor's four panels: which parameters sit on them, how the up and down buttons of
// each digit change a value, and which parameters may be changed while the drive runs.

inline constexpr int kOnlinePanelCount = 4;
// The parameters on the panels; a code with letter 0 leaves its panel unused. Kept for the whole
// run and in the settings file.
using OnlinePanelCodes = std::array<ParamCode, kOnlinePanelCount>;

// One panel as the editor shows it.
struct OnlinePanel {
    ParamCode PanelCode; // letter 0: unused
    bool PanelActive = false;
    int32_t PanelValue = 0; // as last read from or written to the drive
    int32_t PanelMin = 0;
    int32_t PanelMax = 0;
    bool PanelWide = false; // signed: six digit positions instead of five
    bool PanelHex = false;  // shown and stepped as hexadecimal digits
    QString codeText;
    QString nameText;
    QString unitText;
    QString rangeText;
};

// The panel of `code` with its texts and its range for the drive described by `profile`; an
// unused panel for a code with letter 0.
OnlinePanel MakeOnlinePanel(ParamCode code, const DriveProfile& profile);

// The button pairs of a panel, left to right, stand for digits 5 down to 1: the place values
// 10000, 1000, 100, 10 and 1 of a decimal value; of a hexadecimal one digits 4..1 stand for 4096,
// 256, 16 and 1 and digit 5 is not used.
inline constexpr int kDigitPairs = 5;
// The place value of `digit` (1..5); 0 for a digit the mode does not use.
int32_t DigitStep(int digit, bool hex);
// Whether the pair of `digit` is shown: the units pair always, a higher one only when the
// minimum or maximum reaches its place (never digit 5 of a hexadecimal parameter).
bool DigitPairShown(const OnlinePanel& panel, int digit);

// The value after "up" on `digit` (place value `step`), or nothing when the value may not go up
// there. Decimal: nothing at the maximum, else up by the step but not beyond the maximum.
// Hexadecimal: each digit has the maximum's digit as its own limit; nothing when it is there
// already, else up by the step or, where that passes the limit, to the limit, the other digits
// kept.
std::optional<int32_t> StepUp(int32_t value, int32_t step, int32_t max, bool hex, int digit);
// "Down", mirrored: the minimum, or the minimum's digit, is the limit.
std::optional<int32_t> StepDown(int32_t value, int32_t step, int32_t min, bool hex, int digit);

// Whether a parameter may be put on a panel: the ones whose change takes effect at once, no
// contact parameter.
bool OnlineEditable(ParamCode code);
// The quick parameter's speed or position twin, or the quick parameter of a twin; letter 0 when
// the code has none.
ParamCode OnlineTwinOf(ParamCode code);
// What the selection list offers, group by group (C, T, S, P, q): every editable parameter that
// is not on a panel and whose twin is not either.
QList<ParamCode> OfferedParameters(const OnlinePanelCodes& panels);
// Whether the selection list offers `code` beside `panels`.
bool OfferedBeside(ParamCode code, const OnlinePanelCodes& panels);
// A selection list entry: "Sn211 - " followed by the parameter's name.
QString OfferedEntryText(ParamCode code);
// The code at the head of a selection list entry (its first five characters).
ParamCode CodeOfOfferedEntry(const QString& entry);

// Codes as a settings file gave them, made safe to show: each code must be editable and must not
// repeat a panel before it, nor its twin; others leave their panel unused.
OnlinePanelCodes UsablePanelCodes(const OnlinePanelCodes& codes);
