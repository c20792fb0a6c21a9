#include "trace/TraceData.h"

#include "base/CFormat.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::array<char, TraceReadBack::kPages> kPageOrder{'0', '1', '2', '3',
                                                             '4', 'D', 'E', 'F'};

} // namespace

TraceData::TraceData() {
    for (auto& channel : channels)
        channel.assign(kCapacity, 0);
}

void TraceData::Clear() {
    // 120 k words, cleared as plain memory: an element loop is many times slower in the
    // instrumented builds (sanitizers, fuzzing) that read every trace file.
    for (auto& channel : channels)
        std::memset(channel.data(), 0, channel.size() * sizeof(int32_t));
}

TraceReadBack::TraceReadBack(const TraceSettings& settings, int32_t maxMotorSpeed)
    : quantities_{settings.data1, settings.data2, kContactWordQuantity, kContactWordQuantity},
      maxMotorSpeed_(maxMotorSpeed) {}

char TraceReadBack::NextPage() const {
    return kPageOrder[static_cast<size_t>(std::min(received_ / kWordsPerPage, kPages - 1))];
}

QString TraceReadBack::ProgressText() const {
    return FormatC("%d/%d--->(%04XH)", received_ + 1, kRequests, static_cast<unsigned>(last_));
}

void TraceReadBack::Add(int16_t word) {
    if (Done())
        return;
    const int page = received_ / kWordsPerPage;
    const auto channel = static_cast<size_t>(page / 2);
    const auto index = static_cast<size_t>((page % 2) * kWordsPerPage + NextLocation());
    last_ = ConvertTraceSample(quantities_[channel], word, maxMotorSpeed_);
    samples_[channel][index] = last_;
    ++received_;
}

bool TraceReadBack::TakeInto(TraceData& data) const {
    if (!Done())
        return false;
    for (size_t c = 0; c < data.channels.size(); ++c) {
        auto& channel = data.channels[c];
        std::fill(channel.begin(), channel.end(), 0);
        std::copy(samples_[c].begin(), samples_[c].end(), channel.begin());
    }
    return true;
}
