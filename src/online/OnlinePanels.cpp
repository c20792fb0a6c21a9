#include "online/OnlinePanels.h"

#include "drive/CatalogueTable.h"
#include "drive/ParameterCatalogue.h"
#include "drive/ParameterSet.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Parameters that are never offered: a change of theirs takes effect only after a restart, or
// they belong to the drive's set-up (model, encoder, communication).
constexpr ParamCode kNotOffered[] = {
    {'C', 1},  {'C', 2},  {'C', 5},  {'C', 9},  {'C', 13}, {'C', 14}, {'C', 29},
    {'C', 30}, {'C', 31}, {'C', 36}, {'C', 37}, {'C', 38}, {'C', 39}, {'C', 40},
    {'T', 1},  {'T', 2},  {'P', 1},  {'P', 6},  {'P', 13}, {'P', 16},
};

constexpr char kOfferedGroups[] = {'C', 'T', 'S', 'P', 'q'};

// The hexadecimal digit (1..4) of `value`, in place.
int32_t HexDigit(int32_t value, int digit) {
    return value & (0xF << (4 * (digit - 1)));
}

bool OnPanels(ParamCode code, const OnlinePanelCodes& panels) {
    return code.letter != 0 && std::find(panels.begin(), panels.end(), code) != panels.end();
}

} // namespace

OnlinePanel MakeOnlinePanel(ParamCode code, const DriveProfile& profile) {
    OnlinePanel panel;
    if (code.letter == 0) {
        return panel;
    }
    panel.PanelCode = code;
    panel.PanelActive = true;
    ParameterSet minimums;
    ParameterSet maximums;
    FillRangeTables(minimums, maximums, profile);
    if (const int32_t* min = minimums.Slot(code)) {
        panel.PanelMin = *min;
        panel.PanelMax = *maximums.Slot(code);
    }
    panel.codeText = code.Text();
    const uint8_t attributes = ParamAttributes(code);
    panel.PanelWide = (attributes & kAttrSigned) != 0;
    panel.PanelHex = IsHexFormat(code);
    panel.nameText = ParameterName(code);
    panel.unitText = UnitText(code);
    panel.rangeText = RangeText(code, panel.PanelMin, panel.PanelMax);
    return panel;
}

int32_t DigitStep(int digit, bool hex) {
    constexpr int32_t kDecimal[] = {1, 10, 100, 1000, 10000};
    constexpr int32_t kHex[] = {0x1, 0x10, 0x100, 0x1000, 0};
    if (digit < 1 || digit > kDigitPairs) {
        return 0;
    }
    return hex ? kHex[digit - 1] : kDecimal[digit - 1];
}

bool DigitPairShown(const OnlinePanel& panel, int digit) {
    const int32_t step = DigitStep(digit, panel.PanelHex);
    if (step == 0) {
        return false;
    }
    // Magnitudes in 64 bits: the lowest 32-bit value has none in 32.
    const int64_t reach = std::max(std::llabs(panel.PanelMin), std::llabs(panel.PanelMax));
    return digit == 1 || reach >= step;
}

std::optional<int32_t> StepUp(int32_t value, int32_t step, int32_t max, bool hex, int digit) {
    if (!hex) {
        if (value == max) {
            return std::nullopt;
        }
        return static_cast<int32_t>(std::min<int64_t>(int64_t{value} + step, max));
    }
    const int32_t current = HexDigit(value, digit);
    const int32_t limit = HexDigit(max, digit);
    if (current == limit) {
        return std::nullopt;
    }
    if (current + step <= limit) {
        return value + step;
    }
    return (value & ~HexDigit(-1, digit)) | limit;
}

std::optional<int32_t> StepDown(int32_t value, int32_t step, int32_t min, bool hex, int digit) {
    if (!hex) {
        if (value == min) {
            return std::nullopt;
        }
        return static_cast<int32_t>(std::max<int64_t>(int64_t{value} - step, min));
    }
    const int32_t current = HexDigit(value, digit);
    const int32_t limit = HexDigit(min, digit);
    if (current == limit) {
        return std::nullopt;
    }
    if (current - step >= limit) {
        return value - step;
    }
    return (value & ~HexDigit(-1, digit)) | limit;
}

bool OnlineEditable(ParamCode code) {
    if (code.letter == 'H' || FindParam(code) == nullptr) {
        return false;
    }
    return std::find(std::begin(kNotOffered), std::end(kNotOffered), code) == std::end(kNotOffered);
}

ParamCode OnlineTwinOf(ParamCode code) {
    if (code.letter == 'q') {
        return QuickTwinOf(code.number);
    }
    for (int quick = 1; quick <= GroupInfo(ParamGroup::Quick).count; ++quick) {
        if (code.letter != 0 && QuickTwinOf(quick) == code) {
            return {'q', quick};
        }
    }
    return {};
}

bool OfferedBeside(ParamCode code, const OnlinePanelCodes& panels) {
    return OnlineEditable(code) && !OnPanels(code, panels) && !OnPanels(OnlineTwinOf(code), panels);
}

QList<ParamCode> OfferedParameters(const OnlinePanelCodes& panels) {
    QList<ParamCode> offered;
    for (const char letter : kOfferedGroups) {
        for (int number = 1; number <= GroupInfo(GroupIndexOfLetter(letter)).count; ++number) {
            const ParamCode code{letter, number};
            if (OfferedBeside(code, panels)) {
                offered.append(code);
            }
        }
    }
    return offered;
}

QString OfferedEntryText(ParamCode code) {
    return code.Text() + QStringLiteral(" - ") + ParameterName(code);
}

ParamCode CodeOfOfferedEntry(const QString& entry) {
    return ParamCode::FromText(entry.left(5));
}

OnlinePanelCodes UsablePanelCodes(const OnlinePanelCodes& codes) {
    OnlinePanelCodes usable{};
    for (int p = 0; p < kOnlinePanelCount; ++p) {
        if (OfferedBeside(codes[p], usable)) {
            usable[p] = codes[p];
        }
    }
    return usable;
}
