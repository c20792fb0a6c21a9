// The trace file reader. On every input:
// - a refused file leaves the record exactly as it was (its stored bytes are unchanged) and says
//   why;
// - an accepted file stores back to bytes that load again to the same record, and storing is
//   stable.
//
// An accepted file need not store back to itself byte for byte: out-of-range contact choices,
// trigger modes and lane rows are brought back to their defaults as they are read.

#include "FuzzCheck.h"

#include "trace/TraceFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    const TraceRecord before;
    const QByteArray beforeBytes = StoreTrace(before);
    TraceRecord record = before;
    QString error;
    if (!LoadTrace(bytes, record, &error)) {
        FUZZ_CHECK(StoreTrace(record) == beforeBytes);
        FUZZ_CHECK(!error.isEmpty());
        return 0;
    }
    const QByteArray stored = StoreTrace(record);
    TraceRecord again = before;
    FUZZ_CHECK(LoadTrace(stored, again, &error));
    FUZZ_CHECK(StoreTrace(again) == stored);
    return 0;
}
