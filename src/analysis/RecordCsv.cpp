#include "analysis/RecordCsv.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Splits off the next line, without its CR LF or LF.
std::string_view NextLine(std::string_view& rest) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

std::string Quoted(std::string_view s) {
    constexpr size_t kShown = 40;
    std::string shown;
    for (char c : s.substr(0, kShown))
        shown += (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) ? '?' : c;
    return "\"" + shown + (s.size() > kShown ? "...\"" : "\"");
}

// A finite decimal number within the limit, or the reason it is not one.
std::variant<double, std::string> ParseValue(std::string_view field, const char* name) {
    field = Trim(field);
    if (field.empty())
        return std::string(name) + " is empty";
    std::string_view digits = field;
    if (digits.size() > 1 && digits[0] == '+' && digits[1] != '-')
        digits.remove_prefix(1);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                           std::chars_format::general);
    if (digits.empty() || ec == std::errc::invalid_argument || end != digits.data() + digits.size())
        return std::string(name) + " " + Quoted(field) + " is not a number";
    if (ec != std::errc::result_out_of_range && !std::isfinite(value))
        return std::string(name) + " " + Quoted(field) + " is not a finite number";
    if (ec == std::errc::result_out_of_range || std::fabs(value) > kRecordValueLimit)
        return std::string(name) + " " + Quoted(field) + " is out of range (at most 1000000)";
    return value;
}

// Both values of a data row, or the reason the row is refused.
std::variant<std::pair<double, double>, std::string> ParseRow(std::string_view line) {
    const size_t comma = line.find(',');
    if (comma == std::string_view::npos)
        return std::string("expected \"torque,speed\", found ") + Quoted(line);
    if (line.find(',', comma + 1) != std::string_view::npos)
        return std::string("expected two values, found more in ") + Quoted(line);
    const auto torque = ParseValue(line.substr(0, comma), "torque");
    if (const auto* reason = std::get_if<std::string>(&torque))
        return *reason;
    const auto speed = ParseValue(line.substr(comma + 1), "speed");
    if (const auto* reason = std::get_if<std::string>(&speed))
        return *reason;
    return std::pair{std::get<double>(torque), std::get<double>(speed)};
}

std::string ValueText(double value) {
    if (std::isnan(value))
        return "nan";
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace

std::variant<FraRecord, RecordCsvError> ParseRecordCsv(std::string_view text) {
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    std::string_view rest = text;
    int lineNumber = 1;
    if (text.empty())
        return RecordCsvError{1, "the file is empty; expected the header line \"torque,speed\""};
    const std::string_view header = Trim(NextLine(rest));
    if (header.empty())
        return RecordCsvError{1, "the header line is empty"};
    if (std::holds_alternative<std::pair<double, double>>(ParseRow(header)))
        return RecordCsvError{1, "the header line \"torque,speed\" is missing; found numbers"};

    FraRecord record;
    int rows = 0;
    while (rows < kRecordLength) {
        ++lineNumber;
        if (rest.empty())
            return RecordCsvError{lineNumber, "expected 1024 rows, found " + std::to_string(rows)};
        const std::string_view line = NextLine(rest);
        if (Trim(line).empty())
            return RecordCsvError{lineNumber, "empty line inside the record"};
        const auto row = ParseRow(line);
        if (const auto* reason = std::get_if<std::string>(&row))
            return RecordCsvError{lineNumber, *reason};
        ++rows;
        record.torque[rows] = std::get<0>(std::get<std::pair<double, double>>(row));
        record.speed[rows] = std::get<1>(std::get<std::pair<double, double>>(row));
    }
    while (!rest.empty()) {
        ++lineNumber;
        if (!Trim(NextLine(rest)).empty())
            return RecordCsvError{lineNumber, "more than 1024 rows"};
    }
    return record;
}

std::string RecordCsvText(const FraRecord& record) {
    std::string text = "torque,speed\n";
    for (int k = 1; k <= kRecordLength; ++k)
        text += ValueText(record.torque[k]) + "," + ValueText(record.speed[k]) + "\n";
    return text;
}

std::string ResponseCsvText(const FrequencyResponse& response) {
    std::string text = "bin,frequency_hz,gain_db,phase_deg\n";
    for (int j = 1; j <= kRecordLength; ++j) {
        text += std::to_string(j) + "," + ValueText((j - 1) * kBinWidthHz) + "," +
                ValueText(response.gainDb[j]) + "," + ValueText(response.phaseDeg[j]) + "\n";
    }
    return text;
}
