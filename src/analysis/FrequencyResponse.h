#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

// The frequency response of the machine, speed over torque, from one record of 1024 torque and
// speed samples taken at 5000 samples a second.
//
// Records and results are indexed from 1 as the drive numbers its samples: sample 1 is the first
// recorded one, bin j stands for (j - 1) x 4.8828125 Hz (bin 1 is 0 Hz, bin 513 is 2500 Hz).
// Element 0 of every array is unused.

inline constexpr int kRecordLength = 1024;
inline constexpr double kBinWidthHz = 4.8828125; // 5000 / 1024

using RecordArray = std::array<double, kRecordLength + 1>;
using BinArray = std::array<double, kRecordLength + 1>;

// One measured record: torque in percent of rated torque, speed in rpm.
struct FraRecord {
    RecordArray torque{};
    RecordArray speed{};
};

struct FrequencyResponse {
    BinArray magnitude{};
    BinArray gainDb{};
    BinArray phaseDeg{};
    // The resonance bin, empty when no bin from 20 to 400 reaches 0 dB.
    std::optional<int> resonanceBin;
    // The anti-resonance bin: 10 when no bin qualifies.
    int antiResonanceBin = 10;
};

// The frequency of bin j in Hz: (j - 1) / 0.2048.
inline double BinFrequency(int bin) {
    return (bin - 1) / 0.2048;
}

// In-place windowed radix-2 transform of `n` complex points (n a power of two) held 1-based in
// data[1..2n] as real, imaginary pairs; data[0] is not touched. Each point k is first weighted by
// 0.5 + 0.5 cos(3.14159 k / n), a half cosine bell over the record. With `sign` +1 the result is
// the unscaled forward transform X[q] = sum x[k] exp(-2 pi i q k / n). The constants 3.14159 and
// 6.28318 are kept as they are, not full-precision pi: the measured curves depend on them.
void Fft(std::span<double> data, int n, int sign);

// The highest gain from bin 20 to 400, compared in single precision; equal maxima take the higher
// bin. Empty when no bin reaches 0 dB or all are non-numbers.
std::optional<int> FindResonance(const BinArray& gainDb);

// The lowest gain from bin 4 up to bin 160 and up to the resonance bin, compared in single
// precision against gainDb[1] as start; equal minima take the higher bin. 10 when none qualifies
// (always so without a resonance).
int FindAntiResonance(const BinArray& gainDb, std::optional<int> resonanceBin);

// Gain, phase and the two searches for `record`, with the torque factors of `modelCode`.
// A record without excitation gives non-number gains and no resonance.
FrequencyResponse AnalyseResponse(const FraRecord& record, int32_t modelCode);
