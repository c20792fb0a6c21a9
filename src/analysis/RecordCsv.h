#pragma once

#include "analysis/FrequencyResponse.h"

#include <string>
#include <string_view>
#include <variant>

// Text files of a measurement: the record (torque and speed per sample) and the response (gain
// and phase per bin), as comma-separated values with a header line.

// Why a record file was refused: the 1-based line and the reason.
struct RecordCsvError {
    int line = 0;
    std::string reason;
};

// The largest magnitude a record value may have. A drive's words convert to at most a few
// thousand; far larger numbers would overflow the spectra.
inline constexpr double kRecordValueLimit = 1.0e6;

// Reads a record file: a header line, then 1024 rows "torque,speed" (percent, rpm) for samples 1
// to 1024 in order. Accepts CRLF or LF line ends, a UTF-8 byte order mark, spaces around values
// and blank lines after the last row. Refuses anything else with the first offending line.
std::variant<FraRecord, RecordCsvError> ParseRecordCsv(std::string_view text);

// The record as a record file, header "torque,speed".
std::string RecordCsvText(const FraRecord& record);

// The response as "bin,frequency_hz,gain_db,phase_deg" and 1024 rows. Values are written
// exactly; non-numbers as "nan", infinities as "inf" and "-inf".
std::string ResponseCsvText(const FrequencyResponse& response);
