#include "analysis/ResponsePlot.h"

#include <cmath>

namespace {

const double kDecadesAcross = std::log10(512.0); // 2500 Hz / 4.8828125 Hz

} // namespace

int FrequencyToPlotX(double hz, int width) {
    return static_cast<int>(width * std::log10(hz * 0.2048) / kDecadesAcross + 0.5);
}

int BinToPlotX(int bin, int width) {
    return static_cast<int>(width * std::log10(bin - 1) / kDecadesAcross + 0.5);
}

int PlotXToBin(int x, int width) {
    return static_cast<int>(std::pow(10.0, static_cast<double>(x) / width * kDecadesAcross) + 0.5) +
           1;
}

int FilterFrequencyStart(std::optional<double> resonanceHz) {
    return resonanceHz ? static_cast<int>(*resonanceHz + 0.5) : 0;
}
