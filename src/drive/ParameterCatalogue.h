#pragma once

#include "drive/CatalogueTable.h"
#include "drive/DriveMap.h"
#include "drive/DriveProfile.h"
#include "drive/ParamCode.h"

#include <QString>

#include <cstdint>

struct ParameterSet;

// The drive's parameters and monitor values as static data: where each lives, how its raw word
// converts, its unit, range, default, number format and flags. Unknown codes never fail: they
// give index 0, no unit, attribute 0, an empty help text and unchanged values.

// Attribute bits returned by ParamAttributes.
inline constexpr uint8_t kAttrEncoderDefault = 0x01; // default shown as string 259
inline constexpr uint8_t kAttrSigned = 0x02;         // editors accept negative numbers
inline constexpr uint8_t kAttrFormatMask = 0xE0;     // number format, see FormatValue

// The number formats of the attribute's top three bits; every hexadecimal one has the 0x20 bit.
inline constexpr uint8_t kFormatDecimal = 0x00;  // "%d"
inline constexpr uint8_t kFormatHex = 0x20;      // "%X"
inline constexpr uint8_t kFormatDecimal2 = 0x40; // "%02d"
inline constexpr uint8_t kFormatHex2 = 0x60;     // "%02X"
inline constexpr uint8_t kFormatDecimal3 = 0x80; // "%03d"
inline constexpr uint8_t kFormatHex3 = 0xA0;     // "%03X"
inline constexpr uint8_t kFormatDecimal4 = 0xC0; // "%04d"
inline constexpr uint8_t kFormatHex4 = 0xE0;     // "%04X"
inline constexpr uint8_t kFormatHexBit = 0x20;

// Parameter index: the mailbox index, which is also the page-'5' location of the live copy.
uint8_t ParameterIndexOf(ParamCode code);
bool IsTwoRegister(ParamCode code);
bool IsRestartParameter(ParamCode code);
WriteRule WriteRuleOf(ParamCode code);

// Raw register value (sign-extended, or high<<16|low for two registers) to the shown number,
// and back. `maxMotorSpeed` is N of the DriveProfile.
int32_t RawToDisplay(ParamCode code, int32_t raw, int32_t maxMotorSpeed);
int32_t DisplayToRaw(ParamCode code, int32_t value, int32_t maxMotorSpeed);
// Half away from zero on a single-precision intermediate, as the drive's tools round the status
// values and the trace samples; out of range it saturates.
int32_t RoundSingle(float x);

// Where a status display value (Un-01..Un-19) or a diagnostic (dn-01..dn-04) is read: Un-02 on
// page '9', Un-14..Un-17 and Un-19 on page '8', the other status values on page '6'; the
// diagnostics where the catalogue's table puts them. Page 0 for any other code.
DriveLocation MonitorLocation(ParamCode code);

// Modbus holding register of a parameter: group base plus the number within the group.
uint16_t ModbusRegisterOf(ParamCode code);

QString UnitText(ParamCode code);
uint8_t ParamAttributes(ParamCode code);
// Whether the parameter is shown and entered in hexadecimal.
bool IsHexFormat(ParamCode code);
QString FormatValue(ParamCode code, int32_t value, bool asDefault);
QString RangeText(ParamCode code, int32_t min, int32_t max);
QString HelpText(ParamCode code);

// Input contact functions 0..27 (function number − 1) and output functions 0..7.
QString DiFunctionName(int index);
QString DoFunctionName(int index);

// The speed or position parameter that quick parameter qn4(number) stands for; a code with
// letter 0 when there is none.
ParamCode QuickTwinOf(int number);
// Sets each quick parameter of `set` to the value of the parameter it stands for.
void CopyQuickValuesFromTwins(ParameterSet& set);

// Name of a parameter or monitor value from the string table; empty when unknown.
QString ParameterName(ParamCode code);

// Range and default tables of all 161 parameters for the given drive (quick parameters from
// their twins).
void FillRangeTables(ParameterSet& minimums, ParameterSet& maximums, const DriveProfile& profile);
void FillDefaultTable(ParameterSet& defaults, const DriveProfile& profile);
