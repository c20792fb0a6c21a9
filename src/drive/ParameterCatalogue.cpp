#include "drive/ParameterCatalogue.h"

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "drive/CatalogueTable.h"
#include "drive/DriveMap.h"
#include "drive/ParameterSet.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace {

// Monitor value locations: status display values Un-01..Un-19.
// clang-format off
constexpr uint8_t kStatusDisplayIndex[19] = {DriveMap::kMotorSpeed.location, 0xB6, 0x91, 0x93, 0x94,
                                             0x78, 0x5C, 0x88, 0x32, 0xB7, 0x95, 0xC0, 0xC1, 0xBB,
                                             0xBA, 0xC5, 0xC4, 0x7E, 0x44};
// clang-format on
// Diagnostics dn-01..dn-04: control mode, output contacts, input contacts, software version.
constexpr uint8_t kDiagnosticsIndex[4] = {DriveMap::kControlMode.location, 0xAF,
                                          DriveMap::kInputContacts.location,
                                          DriveMap::kSoftwareVersion.location};
// The three page-'5' locations the automatic gain tuning reads and writes (O 6..8).
constexpr uint8_t kTuningIndex[3] = {DriveMap::kTuningSpeed.location,
                                     DriveMap::kTuningValue.location,
                                     DriveMap::kTuningResult.location};

constexpr const char* kDiFunctions[28] = {
    "SON",  "ALRS", "PCNT", "CCWL",   "CWL",   "TLMT",   "CLR", "LOK",  "EMC",   "SPD1",
    "SPD2", "MDC",  "INH",  "SPDINV", "G-SEL", "GN1",    "GN2", "PTRG", "PHOLD", "SHOME",
    "ORG",  "POS1", "POS2", "POS3",   "POS4",  "TRQINV", "RS1", "RS2"};
constexpr const char* kDoFunctions[8] = {"RDY", "ALM", "ZS", "BI", "INS", "INP", "HOME", "INT"};

QString FormatWith(uint8_t attributes, int32_t value) {
    const auto u = static_cast<uint32_t>(value); // "%X" shows the 32-bit pattern
    switch (attributes & kAttrFormatMask) {
    case kFormatHex: return QString::asprintf("%X", u);
    case kFormatDecimal2: return QString::asprintf("%02d", value);
    case kFormatHex2: return QString::asprintf("%02X", u);
    case kFormatDecimal3: return QString::asprintf("%03d", value);
    case kFormatHex3: return QString::asprintf("%03X", u);
    case kFormatDecimal4: return QString::asprintf("%04d", value);
    case kFormatHex4: return QString::asprintf("%04X", u);
    default: return QString::asprintf("%d", value);
    }
}

int32_t DriveRangeMin(const ParamSpec& p, const DriveProfile& profile) {
    return p.rangeRule == RangeRule::PlusMinusN ? -profile.maxMotorSpeed : p.min;
}

int32_t DriveRangeMax(const ParamSpec& p, const DriveProfile& profile) {
    return p.rangeRule == RangeRule::Fixed ? p.max : profile.maxMotorSpeed;
}

int32_t DriveDefault(const ParamSpec& p, const DriveProfile& profile) {
    switch (p.defaultRule) {
    case DefaultRule::Fixed: return p.defaultValue;
    case DefaultRule::EncoderPulses: return profile.encoderPulses;
    case DefaultRule::ThirdOfN: return profile.maxMotorSpeed / 3;
    case DefaultRule::ModelCode: return profile.modelCode;
    case DefaultRule::N: return profile.maxMotorSpeed;
    case DefaultRule::N102: {
        // 102 % of N, truncated; a speed near the top of the type saturates.
        const int64_t value = int64_t{profile.maxMotorSpeed} * 102 / 100;
        return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
    }
    }
    return p.defaultValue;
}

} // namespace

ParamCode QuickTwinOf(int number) {
    // qn401..qn407 are the same drive parameters as Sn211..Sn214 and Pn310..Pn312.
    constexpr ParamCode kTwins[7] = {{'S', 11}, {'S', 12}, {'S', 13}, {'S', 14},
                                     {'P', 10}, {'P', 11}, {'P', 12}};
    return number >= 1 && number <= 7 ? kTwins[number - 1] : ParamCode{};
}

void CopyQuickValuesFromTwins(ParameterSet& set) {
    for (int q = 1; q <= static_cast<int>(set.quick.size()); ++q) {
        const ParamCode twin = QuickTwinOf(q);
        if (twin.letter != 0) {
            set.quick[q - 1] = *set.Slot(twin);
        }
    }
}

uint8_t ParameterIndexOf(ParamCode code) {
    const auto [letter, number] = code;
    if (const ParamSpec* p = FindParam({letter, number})) {
        return p->index;
    }
    switch (letter) {
    case 'U': return number >= 1 && number <= 19 ? kStatusDisplayIndex[number - 1] : 0;
    case 'D': return number >= 1 && number <= 4 ? kDiagnosticsIndex[number - 1] : 0;
    case 'A': return number >= 1 && number <= 10 ? static_cast<uint8_t>(number - 1) : 0;
    case 'O': return number >= 6 && number <= 8 ? kTuningIndex[number - 6] : 0;
    default: return 0;
    }
}

DriveLocation MonitorLocation(ParamCode code) {
    const auto [letter, number] = code;
    const int location = ParameterIndexOf(code);
    if (letter == 'U' && number >= 1 && number <= 19) {
        if (number == 2) {
            return {'9', location};
        }
        if ((number >= 14 && number <= 17) || number == 19) {
            return {'8', location};
        }
        return {DriveMap::kStatusPage, location};
    }
    if (letter == 'D' && number >= 1 && number <= 4) {
        return {number == 1 || number == 4 ? DriveMap::kParameterPage : DriveMap::kStatusPage,
                location};
    }
    return {0, 0};
}

bool IsTwoRegister(ParamCode code) {
    const auto [letter, number] = code;
    if (letter == 'U') {
        return number == 7 || number == 8;
    }
    const ParamSpec* p = FindParam({letter, number});
    return p != nullptr && p->twoRegister;
}

bool IsRestartParameter(ParamCode code) {
    const auto [letter, number] = code;
    const ParamSpec* p = FindParam({letter, number});
    return p != nullptr && p->restart;
}

WriteRule WriteRuleOf(ParamCode code) {
    const ParamSpec* p = FindParam(code);
    return p != nullptr ? p->writeRule : WriteRule::Plain;
}

uint16_t ModbusRegisterOf(ParamCode code) {
    const auto [letter, number] = code;
    int base = 0;
    switch (letter) {
    case 'C': base = 0x000; break;
    case 'T': base = 0x100; break;
    case 'S': base = 0x200; break;
    case 'P': base = 0x300; break;
    case 'q': base = 0x400; break;
    case 'H': base = 0x500; break;
    case 'U': base = 0x600; break;
    default: return 0;
    }
    return static_cast<uint16_t>(base + number);
}

QString UnitText(ParamCode code) {
    const ParamSpec* p = FindParam(code);
    return p != nullptr ? QString::fromUtf8(p->unit) : QString();
}

uint8_t ParamAttributes(ParamCode code) {
    const ParamSpec* p = FindParam(code);
    return p != nullptr ? p->attributes : 0;
}

bool IsHexFormat(ParamCode code) {
    return (ParamAttributes(code) & kFormatHexBit) != 0;
}

QString FormatValue(ParamCode code, int32_t value, bool asDefault) {
    const uint8_t attributes = ParamAttributes(code);
    if (asDefault && (attributes & kAttrEncoderDefault) != 0) {
        return StringText(StringId::kEncoderPulsesDefault);
    }
    return FormatWith(attributes, value);
}

QString RangeText(ParamCode code, int32_t min, int32_t max) {
    if (min == max) {
        return {};
    }
    return FormatValue(code, min, false) + QLatin1Char('~') + FormatValue(code, max, false);
}

QString DiFunctionName(int index) {
    return index >= 0 && index < static_cast<int>(std::size(kDiFunctions))
               ? QString::fromLatin1(kDiFunctions[index])
               : QString();
}

QString DoFunctionName(int index) {
    return index >= 0 && index < static_cast<int>(std::size(kDoFunctions))
               ? QString::fromLatin1(kDoFunctions[index])
               : QString();
}

QString ParameterName(ParamCode code) {
    const auto [letter, number] = code;
    if (FindParam({letter, number}) != nullptr) {
        return StringText(GroupInfo(GroupIndexOfLetter(letter)).firstNameId + number - 1);
    }
    switch (letter) {
    case 'U':
        return number >= 1 && number <= 19
                   ? StringText(StringId::kFirstStatusDisplayName + number - 1)
                   : QString();
    case 'D':
        return number >= 1 && number <= 4 ? StringText(StringId::kFirstDiagnosticsName + number - 1)
                                          : QString();
    case 'A':
        return number >= 1 && number <= 10
                   ? StringText(StringId::kFirstAlarmHistoryName + number - 1)
                   : QString();
    default: return {};
    }
}

void FillRangeTables(ParameterSet& minimums, ParameterSet& maximums, const DriveProfile& profile) {
    minimums.Fill(0);
    maximums.Fill(0);
    for (const ParamSpec& p : AllParameters()) {
        if (p.letter == 'q') {
            continue; // taken from the twins below
        }
        *minimums.Slot({p.letter, p.number}) = DriveRangeMin(p, profile);
        *maximums.Slot({p.letter, p.number}) = DriveRangeMax(p, profile);
    }
    CopyQuickValuesFromTwins(minimums);
    CopyQuickValuesFromTwins(maximums);
}

void FillDefaultTable(ParameterSet& defaults, const DriveProfile& profile) {
    defaults.Fill(0);
    for (const ParamSpec& p : AllParameters()) {
        if (p.letter == 'q') {
            continue;
        }
        *defaults.Slot({p.letter, p.number}) = DriveDefault(p, profile);
    }
    CopyQuickValuesFromTwins(defaults);
}
