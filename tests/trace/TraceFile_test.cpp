// Trace files: the exact bytes, a round trip, and damaged files refused without a change.

#include "trace/TraceFile.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <functional>

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

TEST(TraceFile, OutOfRangeLaneRowsComeBackAsDefaults) {
    TraceRecord odd = Sample();
    odd.diRow = 0;
    odd.doRow = 10;
    TraceRecord loaded;
    ASSERT_TRUE(LoadTrace(StoreTrace(odd), loaded, nullptr));
    EXPECT_EQ(loaded.diRow, 8);
    EXPECT_EQ(loaded.doRow, 9);
}

// Settings that "START" sends to the drive are refused when out of range, never mended into
// another word: data 2 = 200 would reach the trigger nibble of the configuration word.
TEST(TraceFile, SettingsForTheDriveOutOfRangeAreRefused) {
    const struct {
        const char* what;
        std::function<void(TraceSettings&)> spoil;
        const char* says;
    } cases[] = {
        {"the reported file",
         [](TraceSettings& s) {
             s.intervalCode = 0;
             s.data1 = 9;
             s.data2 = 200;
             s.triggerMode = 2;
             s.triggerLevel = 0;
         },
         "取样间隔 0 超出范围 1~1250"},
        {"interval 1251", [](TraceSettings& s) { s.intervalCode = 1251; }, "取样间隔 1251"},
        {"data 1 = -1", [](TraceSettings& s) { s.data1 = -1; }, "资料 1 -1 超出范围 0~7"},
        {"data 2 = 8", [](TraceSettings& s) { s.data2 = 8; }, "资料 2 8 超出范围 0~7"},
        {"DI 13", [](TraceSettings& s) { s.diSelection = 13; }, "DI 13 超出范围 0~12"},
        {"DO 4", [](TraceSettings& s) { s.doSelection = 4; }, "DO 4 超出范围 0~3"},
        {"mode 16", [](TraceSettings& s) { s.triggerMode = 16; }, "触发方式 16 超出范围 0~15"},
        {"mode -1", [](TraceSettings& s) { s.triggerMode = -1; }, "触发方式 -1"},
        {"level 3001 rpm", [](TraceSettings& s) { s.triggerLevel = 3001; },
         "触发准位 3001 超出范围 0~3000"},
        {"level 301 %",
         [](TraceSettings& s) {
             s.triggerMode = 4;
             s.triggerLevel = 301;
         },
         "触发准位 301 超出范围 0~300"},
        {"a level without one",
         [](TraceSettings& s) {
             s.triggerMode = 5;
             s.triggerLevel = 1;
         },
         "触发准位 1 超出范围 0~0"},
    };
    for (const auto& c : cases) {
        TraceRecord bad = Sample();
        c.spoil(bad.settings);
        TraceRecord kept;
        kept.settings.data2 = 4;
        const QByteArray before = StoreTrace(kept);
        QString error;
        EXPECT_FALSE(LoadTrace(StoreTrace(bad), kept, &error)) << c.what;
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.says)))
            << c.what << ": " << error.toStdString();
        EXPECT_EQ(StoreTrace(kept), before) << c.what;
    }
    // The ends of each range are taken.
    TraceRecord edge = Sample();
    edge.settings = {};
    edge.settings.intervalCode = 1250;
    edge.settings.data1 = 7;
    edge.settings.diSelection = 12;
    edge.settings.doSelection = 3;
    edge.settings.triggerMode = 4;
    edge.settings.triggerLevel = 300;
    TraceRecord loaded;
    EXPECT_TRUE(LoadTrace(StoreTrace(edge), loaded, nullptr));
    EXPECT_EQ(loaded.settings.triggerLevel, 300);
}

} // namespace
