#pragma once

#include "trace/TraceSettings.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// The four recorded channels in display units: data 1, data 2, the input-contact word and the
// output-contact word. Each holds kCapacity entries; a capture fills the first
// TraceSettings::kPoints and leaves the rest 0, a trace file may fill up to its own count.
struct TraceData {
    static constexpr int kCapacity = 30001;
    static constexpr int kChannels = 4;

    TraceData();
    void Clear();

    std::array<std::vector<int32_t>, kChannels> channels;
};

// The read-back of a finished recording: 2048 single-word reads, page by page, each converted by
// its channel's quantity as it arrives. The caller sends the read for NextPage()/NextLocation(),
// shows ProgressText() before it and hands the word to Add(). The samples reach a TraceData only
// through TakeInto(), once every word has arrived, so a failed read leaves the old trace as it was.
class TraceReadBack {
public:
    static constexpr int kPages = 8;
    static constexpr int kWordsPerPage = 256;
    static constexpr int kRequests = kPages * kWordsPerPage; // 2048

    TraceReadBack(const TraceSettings& settings, int32_t maxMotorSpeed);

    bool Done() const { return received_ == kRequests; }
    // Page and location of the next read: pages '0' '1' '2' '3' '4' 'D' 'E' 'F', 0x00..0xFF.
    char NextPage() const;
    int NextLocation() const { return received_ % kWordsPerPage; }
    // "300/2048--->(00FAH)": the number of the next request (1-based) and the last sample.
    QString ProgressText() const;

    // The word read at NextPage()/NextLocation(), as the drive's signed 16 bits.
    void Add(int16_t word);
    // Copies the samples into `data` (the rest of each channel 0); false before Done().
    bool TakeInto(TraceData& data) const;

private:
    std::array<int32_t, TraceData::kChannels> quantities_;
    int32_t maxMotorSpeed_;
    std::array<std::array<int32_t, TraceSettings::kPoints>, TraceData::kChannels> samples_{};
    int received_ = 0;
    int32_t last_ = 0;
};

