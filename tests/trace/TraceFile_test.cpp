// Trace files: the exact bytes, a round trip, and damaged files refused without a change.

#include "trace/TraceFile.h"

#include <QtEndian>

#include <gtest/gtest.h>

namespace {

constexpr qsizetype kHeader = 27 + 13; // the two lines with their line feeds

TraceRecord Sample() {
    TraceRecord r;
    r.settings.data1 = 3;
    r.settings.data2 = 6;
    r.settings.SetIntervalCode(7);
    r.settings.colours = {1, 5, 9, 14};
    r.settings.diSelection = 4;
    r.settings.doSelection = 2;
    r.settings.triggerMode = 3;
    r.settings.triggerLevel = 1200;
    for (int i = 0; i < TraceSettings::kContactCount; ++i)
        r.settings.contactFunctions[static_cast<size_t>(i)] = 256 + i;
    r.intervalUs = 700.0F;
    r.axes[0] = {10, 1000, 95, 5000};
    r.axes[1] = {3, 5, 12, -60};
    r.timeIndex = 4;
    r.scrollPosition = 2;
    r.diRow = 3;
    r.doRow = 7;
    for (int c = 0; c < 4; ++c)
        for (int k = 0; k < r.points; ++k)
            r.data.channels[static_cast<size_t>(c)][static_cast<size_t>(k)] = (c + 1) * 1000 - k;
    return r;
}

int32_t FieldAt(const QByteArray& bytes, int field) {
    return qFromLittleEndian<int32_t>(bytes.constData() + kHeader + 4 * field);
}

TEST(TraceFile, WritesTheLayoutAndReadsItBackBitForBit) {
    const TraceRecord original = Sample();
    const QByteArray bytes = StoreTrace(original);
    ASSERT_TRUE(bytes.startsWith(";  Orvan Servo v0.9.080331\n[Trace Data]\n"));
    EXPECT_EQ(bytes.size() - kHeader, 8392);
    EXPECT_EQ(FieldAt(bytes, 0), 3);
    EXPECT_EQ(FieldAt(bytes, 4), qFromLittleEndian<int32_t>("\x00\x00\x2f\x44")); // 700.0f
    EXPECT_EQ(FieldAt(bytes, 6), 512);
    EXPECT_EQ(FieldAt(bytes, 18), 1000);            // channel 1, sample 0
    EXPECT_EQ(FieldAt(bytes, 18 + 512), 0);         // its 513th value
    EXPECT_EQ(FieldAt(bytes, 18 + 513), 2000);      // channel 2, sample 0
    EXPECT_EQ(FieldAt(bytes, 18 + 2 * 513 + 4), 3); // DI lane row
    EXPECT_EQ(FieldAt(bytes, 2097), 1200);          // the last field, trigger level

    TraceRecord loaded;
    QString error;
    ASSERT_TRUE(LoadTrace(bytes, loaded, &error)) << error.toStdString();
    EXPECT_EQ(StoreTrace(loaded), bytes);
    EXPECT_EQ(loaded.data.channels[3][511], 4000 - 511);
    EXPECT_EQ(loaded.settings.contactFunctions[19], 275);
    EXPECT_EQ(loaded.axes[1].topValue, -60);
}

TEST(TraceFile, DamagedFilesAreRefusedAndChangeNothing) {
    const QByteArray good = StoreTrace(Sample());
    QByteArray farName = good;
    farName.replace(0, 3, ";" + QByteArray(24, ' '));
    QByteArray trailingBlank = good;
    trailingBlank.replace("[Trace Data]\n", "[Trace Data] \n");
    QByteArray crlf = good;
    crlf.replace("[Trace Data]\n", "[Trace Data]\r\n");
    QByteArray tooMany = good;
    qToLittleEndian<int32_t>(30000, tooMany.data() + kHeader + 4 * 6);
    QByteArray noUnits = good;
    qToLittleEndian<int32_t>(0, noUnits.data() + kHeader + 4 * 10);

    for (const QByteArray& bad : {good.left(good.size() - 1), good.left(kHeader + 10), farName,
                                  trailingBlank, crlf, tooMany, noUnits, QByteArray()}) {
        TraceRecord kept;
        kept.data.channels[1][5] = 42;
        const QByteArray before = StoreTrace(kept);
        QString error;
        EXPECT_FALSE(LoadTrace(bad, kept, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(StoreTrace(kept), before);
    }
}

TEST(TraceFile, OutOfRangeChoicesComeBackAsDefaults) {
    TraceRecord odd = Sample();
    odd.settings.diSelection = 20;
    odd.settings.doSelection = 19;
    odd.settings.triggerMode = 17;
    odd.diRow = 0;
    odd.doRow = 10;
    TraceRecord loaded;
    ASSERT_TRUE(LoadTrace(StoreTrace(odd), loaded, nullptr));
    EXPECT_EQ(loaded.settings.diSelection, 0);
    EXPECT_EQ(loaded.settings.doSelection, 19);
    EXPECT_EQ(loaded.settings.triggerMode, 0);
    EXPECT_EQ(loaded.settings.triggerLevel, 0);
    EXPECT_EQ(loaded.diRow, 8);
    EXPECT_EQ(loaded.doRow, 9);
}

} // namespace
