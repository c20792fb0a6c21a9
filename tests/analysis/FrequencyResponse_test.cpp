#include "analysis/FrequencyResponse.h"
#include "analysis/MotorTorqueFactors.h"
#include "analysis/ResponsePlot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Transforms `x` and compares with the windowed sum computed term by term:
// X[q] = sum w(k) x[k] exp(-2 pi i q (k - 1) / n), w(k) = 0.5 + 0.5 cos(pi k / n).
void ExpectTransformMatches(const std::vector<std::complex<double>>& x) {
    const int n = static_cast<int>(x.size());
    std::vector<double> data(2 * n + 1, 0.0);
    data[0] = 99.0;
    double tolerance = 0.0; // the rounded constants cost a few parts in a million
    for (int k = 1; k <= n; ++k) {
        data[2 * k - 1] = x[k - 1].real();
        data[2 * k] = x[k - 1].imag();
        tolerance += 1e-5 * std::abs(x[k - 1]);
    }
    Fft(data, n, 1);
    EXPECT_EQ(data[0], 99.0);
    for (int q = 0; q < n; ++q) {
        std::complex<double> expected;
        for (int k = 1; k <= n; ++k)
            expected += (0.5 + 0.5 * std::cos(kPi * k / n)) * x[k - 1] *
                        std::polar(1.0, -2.0 * kPi * q * (k - 1) / n);
        EXPECT_NEAR(data[2 * q + 1], expected.real(), tolerance) << "n " << n << " q " << q;
        EXPECT_NEAR(data[2 * q + 2], expected.imag(), tolerance) << "n " << n << " q " << q;
    }
}

TEST(Fft, MatchesTheDirectWindowedTransform) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    std::vector<std::complex<double>> noise(16);
    for (auto& v : noise)
        v = {value(random), value(random)};
    ExpectTransformMatches(noise);

    // An impulse at point 5 and a sine in bin 65 through all 1024 points.
    std::vector<std::complex<double>> impulse(kRecordLength);
    impulse[4] = 1.0;
    ExpectTransformMatches(impulse);
    std::vector<std::complex<double>> sine(kRecordLength);
    for (int k = 0; k < kRecordLength; ++k)
        sine[k] = std::sin(2.0 * kPi * 64 * k / kRecordLength);
    ExpectTransformMatches(sine);
}

TEST(AnalyseResponse, SpeedProportionalToTorqueGivesThatGainAtEveryBin) {
    struct Case {
        int32_t model;
        double torqueFactor; // 0.01 x both motor factors
        double rpmPerPercent;
        double phaseBase;
    };
    const Case cases[] = {
        {0x121, 0.01 * 2.0 * 0.523, 30.0, 0.0},
        {0x7351, 0.01 * 4.96 * 0.715, 2.5, 0.0},   // only the low 12 bits name the motor
        {0x131, 0.01 * 2.0 * 0.524, -4.0, -180.0}, // a motor outside the table; inverted speed
    };
    for (const Case& c : cases) {
        std::mt19937 random(3);
        FraRecord record;
        for (int k = 1; k <= kRecordLength; ++k) {
            record.torque[k] = static_cast<int>(random() % 160) - 80.0;
            record.speed[k] = c.rpmPerPercent * record.torque[k];
        }
        const FrequencyResponse r = AnalyseResponse(record, c.model);
        const double gain = std::fabs(c.rpmPerPercent) * 2.0 * 3.1415926 / 60.0 / c.torqueFactor;
        for (int j : {1, 2, 100, 513, 1024}) {
            EXPECT_NEAR(r.magnitude[j], gain, 1e-9 * gain) << c.model << " bin " << j;
            EXPECT_NEAR(r.gainDb[j], 20.0 * std::log10(gain), 1e-9) << c.model << " bin " << j;
            EXPECT_NEAR(r.phaseDeg[j], c.phaseBase + j * 0.17578125, 1e-6)
                << c.model << " bin " << j;
        }
    }
}

TEST(AnalyseResponse, SineThroughGainAndDelay) {
    // Torque a sine in bin 65 (312.5 Hz); speed the same sine 8 times larger, 3 samples later.
    FraRecord record;
    for (int k = 1; k <= kRecordLength; ++k) {
        record.torque[k] = 50.0 * std::sin(2.0 * kPi * 64 * k / kRecordLength);
        record.speed[k] = 400.0 * std::sin(2.0 * kPi * 64 * (k - 3) / kRecordLength);
    }
    const FrequencyResponse r = AnalyseResponse(record, 0x121);
    const double gain = 8.0 * 2.0 * 3.1415926 / 60.0 / (0.01 * 2.0 * 0.523);
    EXPECT_NEAR(r.gainDb[65], 20.0 * std::log10(gain), 0.05);
    EXPECT_NEAR(r.phaseDeg[65], -360.0 * 64 * 3 / kRecordLength + 65 * 0.17578125, 0.5);
}

BinArray FlatGain(double db) {
    BinArray gain;
    gain.fill(db);
    return gain;
}

TEST(ResponseSearch, ResonanceTakesTheHighestOfBins20To400AndTheLaterOfEqualOnes) {
    BinArray gain = FlatGain(-10.0);
    gain[19] = 50.0; // below the search range
    gain[401] = 50.0;
    EXPECT_EQ(FindResonance(gain), std::nullopt);
    gain[20] = 0.0; // exactly 0 dB is enough
    EXPECT_EQ(FindResonance(gain), 20);
    gain[400] = 6.0;
    gain[150] = 6.0;
    gain[151] = std::nan("");
    EXPECT_EQ(FindResonance(gain), 400);
    // Compared in single precision: a value a hair lower counts as equal, so the later bin wins.
    gain[150] = 7.0;
    gain[300] = 7.0 - 1e-12;
    EXPECT_EQ(FindResonance(gain), 300);
}

TEST(ResponseSearch, AntiResonanceStaysAtOrBelowBin160AndTheResonance) {
    BinArray gain = FlatGain(20.0);
    gain[1] = 10.0;
    EXPECT_EQ(FindAntiResonance(gain, 300), 10); // nothing at or below bin 1's gain
    gain[3] = -40.0;                             // before the search range
    gain[161] = -40.0;                           // above its limit
    EXPECT_EQ(FindAntiResonance(gain, 300), 10);
    gain[50] = 10.0; // equal to the start value
    EXPECT_EQ(FindAntiResonance(gain, 300), 50);
    gain[120] = -5.0;
    gain[160] = -5.0;
    EXPECT_EQ(FindAntiResonance(gain, 300), 160);
    EXPECT_EQ(FindAntiResonance(gain, 140), 120); // not beyond the resonance
    EXPECT_EQ(FindAntiResonance(gain, std::nullopt), 10);
}

TEST(AnalyseResponse, AllZeroRecordFindsNoResonance) {
    const FrequencyResponse r = AnalyseResponse(FraRecord{}, 0x121);
    EXPECT_EQ(r.resonanceBin, std::nullopt);
    EXPECT_EQ(r.antiResonanceBin, 10);
    EXPECT_EQ(FilterFrequencyStart(std::nullopt), 0);
}

TEST(ResponsePlot, EdgesOfTheFrequencyAxisAndFilterStart) {
    constexpr int kWidth = 400;
    EXPECT_EQ(FrequencyToPlotX(kBinWidthHz, kWidth), 0);
    EXPECT_EQ(FrequencyToPlotX(2500.0, kWidth), kWidth);
    EXPECT_EQ(BinToPlotX(513, kWidth), kWidth);
    EXPECT_EQ(PlotXToBin(0, kWidth), 2);
    EXPECT_EQ(PlotXToBin(kWidth, kWidth), 513);
    EXPECT_EQ(PlotXToBin(BinToPlotX(101, kWidth), kWidth), 101);
    EXPECT_EQ(FilterFrequencyStart(BinFrequency(101)), 488);
    EXPECT_TRUE(FilterFrequencyInRange(1000) && FilterQualityInRange(100));
    EXPECT_FALSE(FilterFrequencyInRange(1001) || FilterQualityInRange(101));
}

TEST(ResponsePlot, ScalesSpanTheirDivisionsAndOffsetsMoveThem) {
    constexpr int kHeight = 200;
    // 20 dB a division, offset 1: -60 dB at the bottom, 60 dB at the top; one up: -40..80.
    EXPECT_EQ(ValueToPlotY(-60, 20, 1, kGainDivisions, kHeight), kHeight);
    EXPECT_EQ(ValueToPlotY(60, 20, 1, kGainDivisions, kHeight), 0);
    EXPECT_EQ(ValueToPlotY(-40, 20, 2, kGainDivisions, kHeight), kHeight);
    EXPECT_EQ(ValueToPlotY(80, 20, 2, kGainDivisions, kHeight), 0);
    EXPECT_EQ(ValueToPlotY(-360, 180, 0, kPhaseDivisions, kHeight), kHeight);
    EXPECT_EQ(ValueToPlotY(360, 180, 0, kPhaseDivisions, kHeight), 0);
    EXPECT_EQ(ValueToPlotY(std::nan(""), 20, 1, kGainDivisions, kHeight), std::nullopt);
    EXPECT_EQ(ValueToPlotY(1e300, 20, 1, kGainDivisions, kHeight), -2 * kHeight);
    // The top label (offset + 2) sits 5 pixels above the plot's top, the bottom one above its end.
    EXPECT_EQ(ScaleLabelY(3, 1, kGainDivisions, 16, kHeight), 11);
    EXPECT_EQ(ScaleLabelY(-3, 1, kGainDivisions, 16, kHeight), 211);
    EXPECT_EQ(BinToPlotX(1, 400), 0);
}

} // namespace
