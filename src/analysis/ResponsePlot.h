#pragma once

#include <array>
#include <optional>

// Where the response plots put frequencies and what their cursors read, and the start values of
// the resonance filter. The frequency axis is logarithmic: 4.8828125 Hz (bin 2) at the left edge,
// 2500 Hz (bin 513) at the right edge of a plot `width` pixels wide.

// The plot-relative x of `hz`: trunc(width x log10(hz x 0.2048) / log10(512) + 0.5).
int FrequencyToPlotX(double hz, int width);

// The plot-relative x of `bin`, as the curves and the cursors place it; bin 1 (0 Hz) at 0.
int BinToPlotX(int bin, int width);

// The bin a cursor at plot-relative `x` reads: trunc(10^(x / width x log10(512)) + 0.5) + 1.
int PlotXToBin(int x, int width);

// The vertical scales. The gain plot spans six divisions and the phase plot four; a plot with
// `offset` o and `perDiv` p is labelled from (o - divisions + 2) p at the bottom to (o + 2) p at
// the top.
inline constexpr int kGainDivisions = 6;
inline constexpr int kPhaseDivisions = 4;
inline constexpr std::array<int, 7> kGainScales{1, 2, 5, 10, 20, 40, 60}; // dB per division
inline constexpr std::array<int, 5> kPhaseScales{45, 90, 120, 180, 360};  // degrees per division
inline constexpr int kGainScaleStart = 4;  // 20 dB
inline constexpr int kPhaseScaleStart = 3; // 180 degrees
inline constexpr int kGainOffsetStart = 1;
inline constexpr int kPhaseOffsetStart = 0;

// The plot-relative y of `value` on a plot `height` pixels high, counted down from its top:
// height - trunc((value + (divisions - 2 - offset) x perDiv) x height / (divisions x perDiv) + 0.5).
// Empty for a value that is no number; values far outside the plot are held a plot away from it.
std::optional<int> ValueToPlotY(double value, int perDiv, int offset, int divisions, int height);

// The y of the label of division line n (its value n x perDiv), for a plot whose top is at `top`:
// trunc(top + (offset - n + 2) x height / divisions - 5).
int ScaleLabelY(int n, int offset, int divisions, int top, int height);

// The frequencies of the vertical grid lines: 5..10 Hz, then every tenth of each decade up to
// 2500 Hz (5, 6, ... 10, 20, ... 100, 200, ... 1000, 2000).
const std::array<int, 25>& GridFrequencies();

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
