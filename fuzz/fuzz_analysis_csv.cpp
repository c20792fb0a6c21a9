// The record file of a frequency-response measurement. On every input:
// - a refused file names a line within the file and a reason;
// - an accepted record writes back to text that reads again to the same values, bit for bit,
//   and writing is stable;
// - the analysis of an accepted record runs to its end (the sanitizers watch its arithmetic).

#include "FuzzCheck.h"

#include "analysis/RecordCsv.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <variant>

namespace {

bool SameBits(const RecordArray& a, const RecordArray& b) {
    return std::memcmp(a.data(), b.data(), sizeof(double) * a.size()) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto parsed = ParseRecordCsv(text);
    if (const auto* error = std::get_if<RecordCsvError>(&parsed)) {
        FUZZ_CHECK(error->line >= 1 && !error->reason.empty());
        return 0;
    }
    const FraRecord& record = std::get<FraRecord>(parsed);
    const std::string written = RecordCsvText(record);
    const auto reread = ParseRecordCsv(written);
    FUZZ_CHECK(std::holds_alternative<FraRecord>(reread));
    const FraRecord& again = std::get<FraRecord>(reread);
    FUZZ_CHECK(SameBits(again.torque, record.torque) && SameBits(again.speed, record.speed));
    FUZZ_CHECK(RecordCsvText(again) == written);
    const int32_t modelCode = size > 0 ? data[0] << 4 : 0x121;
    (void)AnalyseResponse(record, modelCode);
    return 0;
}
