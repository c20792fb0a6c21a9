#include "analysis/FrequencyResponse.h"

#include "analysis/MotorTorqueFactors.h"

#include <cmath>
#include <utility>

namespace {

using SpectrumArray = std::array<double, 2 * kRecordLength + 1>;

constexpr int kResonanceFirstBin = 20;
constexpr int kSearchFirstBin = 4;
constexpr int kSearchLastBin = 400;
constexpr int kAntiResonanceLastBin = 160;
constexpr int kAntiResonanceDefaultBin = 10;

} // namespace

void Fft(std::span<double> data, int n, int sign) {
    for (int k = 1; k <= n; ++k) {
        const double weight = 0.5 + 0.5 * std::cos(3.14159 * k / n);
        data[2 * k - 1] *= weight;
        data[2 * k] *= weight;
    }

    const int elements = 2 * n;
    for (int i = 1, j = 1; i < elements; i += 2) {
        if (j > i) {
            std::swap(data[j], data[i]);
            std::swap(data[j + 1], data[i + 1]);
        }
        int m = n;
        while (m >= 2 && j > m) {
            j -= m;
            m >>= 1;
        }
        j += m;
    }

    for (int half = 2; half < elements; half *= 2) {
        const int step = 2 * half;
        const double theta = 6.28318 / (sign * half);
        const double p = std::sin(0.5 * theta);
        const double wpr = -2.0 * p * p;
        const double wpi = std::sin(theta);
        double wr = 1.0;
        double wi = 0.0;
        for (int m = 1; m < half; m += 2) {
            for (int i = m; i <= elements; i += step) {
                const int j = i + half;
                const double tr = wr * data[j] - wi * data[j + 1];
                const double ti = wr * data[j + 1] + wi * data[j];
                data[j] = data[i] - tr;
                data[j + 1] = data[i + 1] - ti;
                data[i] += tr;
                data[i + 1] += ti;
            }
            const double previous = wr;
            wr = wr + wr * wpr + wi * wpi;
            wi = wi + wi * wpr - previous * wpi;
        }
    }
}

std::optional<int> FindResonance(const BinArray& gainDb) {
    float maximum = 0.0f;
    std::optional<int> bin;
    for (int k = kSearchFirstBin; k <= kSearchLastBin; ++k) {
        const float gain = static_cast<float>(gainDb[k]);
        if (gain >= maximum && k >= kResonanceFirstBin) { // a non-number compares false
            maximum = gain;
            bin = k;
        }
    }
    return bin;
}

int FindAntiResonance(const BinArray& gainDb, std::optional<int> resonanceBin) {
    const int limit = resonanceBin.value_or(0);
    float minimum = static_cast<float>(gainDb[1]);
    int bin = kAntiResonanceDefaultBin;
    for (int k = kSearchFirstBin; k <= kSearchLastBin; ++k) {
        const float gain = static_cast<float>(gainDb[k]);
        if (gain <= minimum && k <= kAntiResonanceLastBin && k <= limit) {
            minimum = gain;
            bin = k;
        }
    }
    return bin;
}

FrequencyResponse AnalyseResponse(const FraRecord& record, int32_t modelCode) {
    const TorqueFactors factors = MotorTorqueFactors(modelCode);
    const double torqueScale = 0.01 * factors.first * factors.second;
    const double speedScale = 2.0 * 3.1415926 / 60.0; // rpm to rad/s

    SpectrumArray x{};
    SpectrumArray y{};
    for (int k = 1; k <= kRecordLength; ++k) {
        x[2 * k - 1] = record.torque[k] * torqueScale;
        y[2 * k - 1] = record.speed[k] * speedScale;
    }
    Fft(x, kRecordLength, 1);
    Fft(y, kRecordLength, 1);
    for (int i = 1; i <= 2 * kRecordLength; ++i) {
        x[i] *= 2.0 / kRecordLength;
        y[i] *= 2.0 / kRecordLength;
    }

    // One record, so the averaged spectra are divided by a count of 1.
    constexpr double kAverages = 1.0;
    FrequencyResponse result;
    for (int j = 1; j <= kRecordLength; ++j) {
        const double xr = x[2 * j - 1];
        const double xi = x[2 * j];
        const double yr = y[2 * j - 1];
        const double yi = y[2 * j];
        const double sxx = (xr * xr + xi * xi) / kRecordLength / kAverages;
        const double sxyr = (xr * yr + xi * yi) / kRecordLength / kAverages;
        const double sxyi = (xr * yi - xi * yr) / kRecordLength / kAverages;
        const double hr = sxyr / sxx;
        const double hi = sxyi / sxx;
        result.magnitude[j] = std::sqrt(hr * hr + hi * hi);
        result.gainDb[j] = 20.0 * std::log10(result.magnitude[j]);
        double phase = std::atan(hi / hr) * 360.0 / 6.28318;
        if (hr < 0.0)
            phase -= 180.0;
        // A fixed correction of half a sample period per bin: j x 360 / 2048 degrees.
        result.phaseDeg[j] = phase + j * 360.0 / 2048.0;
    }
    result.resonanceBin = FindResonance(result.gainDb);
    result.antiResonanceBin = FindAntiResonance(result.gainDb, result.resonanceBin);
    return result;
}
