#include "analysis/ResponsePlot.h"

#include <algorithm>
#include <cmath>

namespace {

const double kDecadesAcross = std::log10(512.0); // 2500 Hz / 4.8828125 Hz

} // namespace

int FrequencyToPlotX(double hz, int width) {
    return static_cast<int>(width * std::log10(hz * 0.2048) / kDecadesAcross + 0.5);
}

int BinToPlotX(int bin, int width) {
    if (bin <= 1) {
        return 0; // 0 Hz has no place on the logarithmic axis: the curve starts at the edge
    }
    return static_cast<int>(width * std::log10(bin - 1) / kDecadesAcross + 0.5);
}

int PlotXToBin(int x, int width) {
    return static_cast<int>(std::pow(10.0, static_cast<double>(x) / width * kDecadesAcross) + 0.5) +
           1;
}

int FilterFrequencyStart(std::optional<double> resonanceHz) {
    return resonanceHz ? static_cast<int>(*resonanceHz + 0.5) : 0;
}

std::optional<int> ValueToPlotY(double value, int perDiv, int offset, int divisions, int height) {
    if (std::isnan(value) || perDiv <= 0 || divisions <= 0) {
        return std::nullopt;
    }
    const double scaled =
        (value + (divisions - 2 - offset) * static_cast<double>(perDiv)) * height /
            (static_cast<double>(divisions) * perDiv) +
        0.5;
    // Far outside, the exact place does not matter; the clip needs only the side.
    return height - static_cast<int>(std::clamp(scaled, -2.0 * height, 3.0 * height));
}

int ScaleLabelY(int n, int offset, int divisions, int top, int height) {
    return static_cast<int>(top + static_cast<double>(offset - n + 2) * height / divisions - 5);
}

const std::array<int, 25>& GridFrequencies() {
    static const std::array<int, 25> kLines{5,   6,   7,   8,   9,   10,  20,   30,  40,
                                            50,  60,  70,  80,  90,  100, 200,  300, 400,
                                            500, 600, 700, 800, 900, 1000, 2000};
    return kLines;
}
