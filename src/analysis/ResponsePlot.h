#pragma once

#include <optional>

// Where the response plots put frequencies and what their cursors read, and the start values of
// the resonance filter. The frequency axis is logarithmic: 4.8828125 Hz (bin 2) at the left edge,
// 2500 Hz (bin 513) at the right edge of a plot `width` pixels wide.

// The plot-relative x of `hz`: trunc(width x log10(hz x 0.2048) / log10(512) + 0.5).
int FrequencyToPlotX(double hz, int width);

// The plot-relative x of a cursor on `bin` (2 or above).
int BinToPlotX(int bin, int width);

// The bin a cursor at plot-relative `x` reads: trunc(10^(x / width x log10(512)) + 0.5) + 1.
int PlotXToBin(int x, int width);

// The resonance suppression filter: Cn013 in Hz and Cn014.
inline constexpr int kFilterFrequencyMax = 1000;
inline constexpr int kFilterQualityMax = 100;
inline constexpr int kFilterQualityStart = 7;

// The filter frequency the filter dialog starts from: the resonance (or cursor 1) frequency
// rounded, 0 without a resonance.
int FilterFrequencyStart(std::optional<double> resonanceHz);

inline bool FilterFrequencyInRange(int hz) {
    return hz >= 0 && hz <= kFilterFrequencyMax;
}
inline bool FilterQualityInRange(int quality) {
    return quality >= 0 && quality <= kFilterQualityMax;
}
