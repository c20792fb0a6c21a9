// The trace file reader. On every input:
// - a refused file leaves the record exactly as it was (its stored bytes are unchanged) and says
//   why;
// - an accepted file holds only settings the drive may be sent, stores back to bytes that load
//   again to the same record, and storing is stable.
//
// An accepted file need not store back to itself byte for byte: out-of-range lane rows are
// brought back to their defaults as they are read.

#include "FuzzCheck.h"

#include "trace/TraceFile.h"
#include "trace/TraceSettingsCheck.h"

#include <cstddef>
#include <cstdint>

// A trace holds four channels of 30001 samples (some 480 kB): the records and the stored bytes of
// the empty one are made once and reused by assignment, which copies into memory already there;
// fresh allocations of that size on every input, each passing through the address sanitizer's
// quarantine, held the harness to about a thousand inputs a second.
extern "C" const char* __asan_default_options() {
    return "malloc_context_size=2:quarantine_size_mb=32";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const TraceRecord before;
    static const QByteArray beforeBytes = StoreTrace(before);
    static TraceRecord record;
    static TraceRecord again;
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    record = before;
    QString error;
    if (!LoadTrace(bytes, record, &error)) {
        FUZZ_CHECK(StoreTrace(record) == beforeBytes);
        FUZZ_CHECK(!error.isEmpty());
        return 0;
    }
    FUZZ_CHECK(!FirstBadTraceSetting(record.settings));
    const QByteArray stored = StoreTrace(record);
    again = before;
    FUZZ_CHECK(LoadTrace(stored, again, &error));
    FUZZ_CHECK(StoreTrace(again) == stored);
    return 0;
}
